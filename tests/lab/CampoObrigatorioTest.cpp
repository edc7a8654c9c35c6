// A save with an empty required field is a slip, not a fault: on every record screen F2 then F3
// opens the error report with "O campo X é obrigatório." and its advice, nothing is mailed, and
// the record stays being inserted; the refusal the database itself raises for a NOT NULL column
// is explained the same way.
#include "AnaliseFixture.h"
#include "QtPrinters.h"
#include "platform/MailTransport.h"
#include "screens/ScreenRegistry.h"
#include "support/ExibeJanela.h"
#include "support/UnErroSistema.h"
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

struct Relatorio {
    QString problema, solucao, original;
    bool explicado = false;
};

class CampoObrigatorioTest : public AnaliseTest {
protected:
    void SetUp() override {
        AnaliseTest::SetUp();
        // The program file is where a site has it (screens read its date).
        QFile programa(exe);
        programa.open(QIODevice::WriteOnly);
        programa.close();
        // With a mail password a report that no rule explains would be mailed to support.
        QFile f(s_db->folder() + "/Sistema/Suporte.ini");
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write("[Suporte]\r\nServidorEmail=127.0.0.1\r\nEmailAlerta=alerta@teste.local\r\nSenhaEmail=x\r\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // F2 and F3 on the focused control of the screen; returns the labels of the required fields
    // that the new record left empty (its key excepted: the save allocates it), empty when the
    // screen refused F2 or fills every required field itself (then nothing is saved).
    QStringList incluiVazio(TfrmCadastroPadrao* t) {
        DataSet* ds = t->dsPadrao.dataSet();
        QWidget* alvo = foco() && t->isAncestorOf(foco()) ? foco() : t;
        QTest::keyClick(alvo, Qt::Key_F2);
        if (!ds || ds->state() != DataSetState::Insert) return {};
        QStringList vazios;
        for (int i = 1; i < ds->fieldCount(); ++i) {
            Field* f = ds->field(i);
            if (f->required() && !f->isLookup() && f->isNull()) vazios << f->displayLabel();
        }
        if (vazios.isEmpty()) {
            ds->cancel();
            return {};
        }
        alvo = foco() && t->isAncestorOf(foco()) ? foco() : t;
        QTest::keyClick(alvo, Qt::Key_F3);
        return vazios;
    }

    // Checks the one report the save opened.
    void confereRelatorio(const QString& tela, const QStringList& vazios, int antes) {
        ASSERT_EQ(relatorios.size(), antes + 1) << tela.toStdString();
        const Relatorio& r = relatorios.back();
        const QString inicio = QString::fromUtf8("O campo "), fim = QString::fromUtf8(" é obrigatório.");
        ASSERT_TRUE(r.problema.startsWith(inicio) && r.problema.endsWith(fim))
            << tela.toStdString() << ": " << r.problema.toStdString();
        const QString campo = r.problema.mid(inicio.size(), r.problema.size() - inicio.size() - fim.size());
        EXPECT_TRUE(vazios.contains(campo)) << tela.toStdString() << ": " << campo.toStdString() << " not in "
                                            << vazios.join(", ").toStdString();
        EXPECT_EQ(r.solucao, QString::fromUtf8("Para continuar, por favor, preencha o campo ") + campo +
                                 QString::fromUtf8(". Ele é essencial para o cadastro."))
            << tela.toStdString();
        EXPECT_TRUE(r.explicado) << tela.toStdString();
        QStringList todos;
        for (const Relatorio& x : relatorios)
            todos << x.problema + " [" + x.original + "]";
        EXPECT_TRUE(mail.calls.empty()) << tela.toStdString() << ": " << todos.join(" | ").toStdString();
    }

    ScriptedMailTransport mail;
    ScopedMailTransport mailScope{mail};
    std::vector<Relatorio> relatorios;
    ScopedExibeJanela presenter{[this](QDialog& d) {
        auto& frm = static_cast<TfrmErroSistema&>(d);
        relatorios.push_back({frm.mmErro->toPlainText(), frm.mmSolucao->toPlainText(), frm.errooriginal,
                              frm.resultado.explicado});
        frm.show();
        QTest::mouseClick(frm.BitBtn3, Qt::LeftButton);
    }};
};

TEST_F(CampoObrigatorioTest, EveryRecordScreenExplainsAnEmptyRequiredFieldWithoutMail) {
    QStringList testadas;
    for (const TelaRegistrada& r : telasRegistradas()) {
        main->activateWindow();
        QApplication::setActiveWindow(main);
        main->abreTelaRegistrada(r.nome);
        pump();
        auto* t = main->findChild<TfrmCadastroPadrao*>(r.nome);
        if (!t) {
            for (QMdiSubWindow* w : main->mdi->subWindowList())
                w->close();
            pump();
            continue;
        }
        const int antes = int(relatorios.size());
        const QStringList vazios = incluiVazio(t);
        if (!vazios.isEmpty()) {
            testadas << r.nome;
            confereRelatorio(r.nome, vazios, antes);
            EXPECT_EQ(t->dsPadrao.dataSet()->state(), DataSetState::Insert) << r.nome.toStdString();
        }
        if (DataSet* ds = t->dsPadrao.dataSet(); ds && ds->editing()) ds->cancel();
        t->subWindow()->close();
        pump();
    }
    EXPECT_EQ(testadas, (QStringList{"frmTipoEquipamento", "frmTipoAnalise", "frmResultadoIdeal",
                                     "frmCadastroEquipamentodoCliente", "frmCadastrodeAnalise",
                                     "frmCorreioInterno", "frmAgendaTarefas"}));

    // The analysed equipment, opened from an analysis with "Incluir Equipamento".
    main->activateWindow();
    QApplication::setActiveWindow(main);
    Cadastro* c = abreNaAnalise(1);
    clica(c->btnIncluir);
    pump();
    Equipamentos* e = telaEquipamentos();
    ASSERT_TRUE(e);
    ASSERT_EQ(ds(e)->state(), DataSetState::Insert);
    QStringList vazios;
    for (int i = 1; i < ds(e)->fieldCount(); ++i)
        if (ds(e)->field(i)->required() && !ds(e)->field(i)->isLookup() && ds(e)->field(i)->isNull())
            vazios << ds(e)->field(i)->displayLabel();
    const int antes = int(relatorios.size());
    QTest::keyClick(foco() && e->isAncestorOf(foco()) ? foco() : e, Qt::Key_F3);
    confereRelatorio("frmEquipamentosAnalisados", vazios, antes);
    EXPECT_EQ(ds(e)->state(), DataSetState::Insert);
    EXPECT_EQ(scalar("select count(*) from mov_analise_equipamento").toInt(), 1);
}

TEST_F(CampoObrigatorioTest, TheDatabasesOwnNotNullRefusalIsExplainedToo) {
    // A rule of the shared database turns a name of blanks into no name: the NOT NULL column
    // then refuses the row, in the engine's words.
    s_db->exec("create or alter trigger trg_nome_em_branco for tab_tp_analise before insert or update as "
               "begin new.nm_tp_analise = nullif(trim(new.nm_tp_analise), ''); end");
    auto* t = abre<TfrmCadastroPadrao>("frmTipoAnalise");
    ASSERT_TRUE(t);
    auto* nome = t->findChild<QLineEdit*>("DBEdit1");
    ASSERT_TRUE(nome);
    nome->setFocus();
    tecla(Qt::Key_F2);
    digita("   ");
    tecla(Qt::Key_F3);
    s_db->exec("drop trigger trg_nome_em_branco");
    ASSERT_EQ(relatorios.size(), 1u);
    EXPECT_EQ(relatorios[0].problema, QString::fromUtf8("O Campo  NM_TP_ANALISE é obrigatório."));
    EXPECT_EQ(relatorios[0].solucao,
              QString::fromUtf8("Para continuar, por favor, preencha o campo  NM_TP_ANALISE. Ele é essencial "
                                "para o cadastro."));
    EXPECT_TRUE(relatorios[0].explicado);
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_EQ(ds(t)->state(), DataSetState::Insert);
    EXPECT_EQ(scalar("select count(*) from tab_tp_analise").toInt(), 5);
}

} // namespace
