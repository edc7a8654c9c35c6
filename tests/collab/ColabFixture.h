#pragma once
// Three users of one database: the logged-in user works on the real screens of a main window
// (its own connection); the test's connection s_db is the other workstation, writing and
// reading rows as another user's program does at the same moment. The permission rows give
// group 2 every button and right of both screens, group 3 the buttons without the record
// rights, and group 4 every right but "Ler Mensagem" and "Tarefa Iniciada".
#include "FrameworkFixture.h"
#include "Utf8Literal.h"
#include "collab/UnAgendaTarefas.h"
#include "collab/UnCorreioInterno.h"
#include "platform/Clock.h"
#include "screens/controls/DBCheckBox.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/DBMemo.h"
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class ColabTest : public FrameworkTest {
protected:
    enum { kMaria = 1, kJoao = 2, kAna = 3 };

    static void SetUpTestSuite() {
        FrameworkTest::SetUpTestSuite();
        s_db->exec("insert into sis_gr_usuario values (4, 'Restrito')");
        // Departments: OPERACIONAL COMERCIAL ADMINISTRATIVO FINANCEIRO COMPRA.
        const struct {
            int id;
            const char *nome, *login, *deptos;
        } users[] = {{kMaria, "Maria Souza", "MARIA", "SNNNN"},
                     {kJoao, "João Pereira", "JOAO", "NSNNN"},
                     {kAna, "Ana Lima", "ANA", "NNNSS"}};
        for (const auto& u : users) {
            QStringList d;
            for (int i = 0; i < 5; ++i)
                d << QString("'%1'").arg(QChar(u.deptos[i]));
            s_db->exec(QString("insert into sis_usuario (id_usuario, nm_usuario, id_gr_usuario, nm_acesso, "
                               "st_operacional, st_comercial, st_administrativo, st_financeiro, st_compra) "
                               "values (%1, '%2', 2, '%3', %4)")
                           .arg(u.id)
                           .arg(QString::fromUtf8(u.nome), u.login, d.join(", ")));
        }
        const char* direitos[] = {"cpfIncluir", "cpfAlterar", "cpfExcluir", "cpfConsulta", "cpfExportaExcel"};
        const std::pair<const char*, QStringList> telas[] = {
            {"frmCorreioInterno",
             {"btnLerMensagem", "btnImprimir", "btnMensagemRecebida", "BitBtn4", "BitBtn5", "BitBtn2"}},
            {"frmAgendaTarefas",
             {"BtnTarefaIniciada", "BtnTarefaConcluida", "BtnCancelarInicio", "BtnCancelarConclusao",
              "btnCancelarAviso", "BtnTarefaPendente", "BtnPendentesDepto", "BtnTodasPendentes", "BitBtn4",
              "btnFechar", "btnCalendario"}}};
        int form = -10, comp = -100, evento = 1000;
        for (const auto& [nome, botoes] : telas) {
            s_db->exec(
                QString("insert into sis_formulario values (%1, '%2', '%2', 3, 'S')").arg(form).arg(nome));
            QStringList todos = botoes;
            for (const char* d : direitos)
                todos << d;
            for (const QString& c : todos) {
                s_db->exec(QString("insert into sis_componente values (%1, %2, '%3', 'X', '%3', 'S', 'S')")
                               .arg(comp)
                               .arg(form)
                               .arg(c));
                const bool direito = c.startsWith("cpf");
                QList<int> grupos{2};
                if (!direito || c == "cpfConsulta") grupos << 3;
                if (c != "btnLerMensagem" && c != "BtnTarefaIniciada") grupos << 4;
                for (int g : grupos)
                    s_db->exec(QString("insert into sis_evento_autorizado values (%1, %2, %3)")
                                   .arg(evento++)
                                   .arg(g)
                                   .arg(comp));
                --comp;
            }
            --form;
        }
        s_db->exec("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values (10, '10', "
                   "'Usina Boa Vista', 'Usina Boa Vista Ltda')");
        s_db->exec("insert into tab_nat_operacao (id_nat_operacao, cd_nat_operacao, nm_natureza_interno) "
                   "values (1, '5102', 'Venda de Mercadoria')");
        s_db->exec("insert into mov_nf_comercio (id_nf_comercio, id_nat_operacao, id_destinatario_remetente, "
                   "ds_serie_nf, nr_nota_fiscal, dt_emissao) values (7, 1, 10, '1', 4711, '2024-03-10')");
    }

    void SetUp() override {
        FrameworkTest::SetUp();
        s_db->exec("delete from sis_comunicacao");
        s_db->exec("delete from tab_tarefa");
    }

    // ---- rows written by the other workstation

    void mensagem(int id, const QString& quando, int remetente, int destinatario, const QString& assunto,
                  const QString& texto, const QString& lidaEm = QString()) {
        const QStringList q = quando.split(' ');
        const QStringList l = lidaEm.split(' ');
        s_db->exec(QString("insert into sis_comunicacao values (%1, '%2', '%3', %4, %5, '%6', '%7', %8, %9)")
                       .arg(id)
                       .arg(q[0], q[1])
                       .arg(remetente)
                       .arg(destinatario)
                       .arg(assunto, texto)
                       .arg(lidaEm.isEmpty() ? "null" : "'" + l[0] + "'",
                            lidaEm.isEmpty() ? "null" : "'" + l[1] + "'"));
    }

    struct Tarefa {
        int id;
        int criador;
        QVariant aviso{};
        QString assunto{};
        QString deptos = "NNNNN"; // COMERCIAL OPERACIONAL ADMINISTRATIVO FINANCEIRO COMPRAS
        QString criacao = "2024-03-01 08:00:00";
        QString dtAviso = "null";
        QString inicio = "null";
        QVariant usuInicio{};
        QString conclusao = "null";
        QVariant usuConclusao{};
        int nf = 0;
    };
    void tarefa(const Tarefa& t) {
        auto v = [](const QVariant& x) { return x.isNull() ? QString("null") : x.toString(); };
        auto s = [](const QString& x) { return x == "null" ? x : "'" + x + "'"; };
        QStringList d;
        for (QChar c : t.deptos)
            d << QString("'%1'").arg(c);
        s_db->exec(
            QString("insert into tab_tarefa values (%1, %2, null, %3, %4, %5, '%6', null, %7, %8, %9, %10, "
                    "%11, %12)")
                .arg(t.id)
                .arg(t.criador)
                .arg(v(t.aviso), v(t.usuConclusao), v(t.usuInicio), t.assunto, d.join(", "), s(t.criacao),
                     s(t.dtAviso), s(t.inicio), s(t.conclusao))
                .arg(t.nf));
    }

    // ---- the screens

    template <class T> T* abre(const QString& nome) {
        main->abreTelaRegistrada(nome);
        pump();
        auto* t = main->findChild<T*>(nome);
        EXPECT_NE(t, nullptr) << nome.toStdString();
        return t;
    }
    TfrmCorreioInterno* correio() { return abre<TfrmCorreioInterno>("frmCorreioInterno"); }
    TfrmAgendaTarefas* agenda() { return abre<TfrmAgendaTarefas>("frmAgendaTarefas"); }

    static void clica(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    static void tecla(QWidget* w, Qt::Key k) {
        w->setFocus();
        QTest::keyClick(w, k);
    }
    // Types into a control, accented letters included, as a keyboard delivers them.
    static void digita(QWidget* w, const QString& texto) {
        w->setFocus();
        for (QChar c : texto) {
            if (c.unicode() < 128) {
                QTest::keyClick(w, c.toLatin1());
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }

    // One column of every row of a list, in list order.
    static QStringList coluna(DataSet* ds, const QString& campo) {
        QStringList r;
        if (!ds || !ds->active()) return r;
        ds->fetchAll();
        Field* f = ds->fieldByName(campo);
        for (int i = 0; i < ds->recordCount(); ++i)
            r << Field::formatValue(*f, ds->valueAt(i, f));
        return r;
    }
    QVariant banco(const QString& sql) { return s_db->scalar(sql); }

    FixedClock relogio{QDateTime(QDate(2024, 3, 15), QTime(10, 30, 25))};
    ScopedClock usaRelogio{relogio};
};
