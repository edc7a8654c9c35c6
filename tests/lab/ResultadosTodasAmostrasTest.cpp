// Every sample's results of an analysis in one grid, typed with the keys and saved as one: only
// the values changed are written, and a failure anywhere in the save (a statement or the commit)
// leaves the database, and its audit trail, as they were.
#include "AnaliseFixture.h"
#include "lab/MarcaFaixaResultado.h"
#include "lab/UnResultadosTodasAmostras.h"
#include "lab/unResultadoAnalise.h"
#include "screens/controls/FieldText.h"
#include <QPushButton>

namespace {

class ResultadosTodasAmostrasTest : public AnaliseTest {
protected:
    static void SetUpTestSuite() {
        AnaliseTest::SetUpTestSuite();
        // A commit refused on demand: a database trigger, read by a connection when it attaches.
        s_db->exec("create or alter exception e_teste_grade 'recusado pelo teste'");
        s_db->exec("create or alter trigger trg_teste_commit on transaction commit as begin if "
                   "(rdb$get_context('USER_TRANSACTION', 'FALHAR') = '1') then exception e_teste_grade "
                   "'commit recusado pelo teste'; end");
    }
    void SetUp() override {
        AnaliseTest::SetUp();
        // Boiler 01 was last collected in February (analysis 1, sample 1); analysis 7 of March
        // samples boilers 01 and 03 (samples 70 and 71).
        resultado(1, 1, 1, "7.0");
        resultado(2, 1, 2, "3000");
        analise(7, "2024-03-10");
        amostra(70, 7, 1);
        amostra(71, 7, 3);
        resultado(6, 70, 1, "8.1");
        resultado(7, 70, 2, "2500");
        resultado(8, 71, 3, "1");
        m_ultimaAuditoria =
            scalar("select coalesce(max(id_auditoria), 0) from sis_ctv_auditoria").toLongLong();
    }

    // Opens the grid of analysis 7 from the registration screen and runs the steps in it.
    void naGrade(std::function<void(TfrmResultadosTodasAmostras&)> passos) {
        Cadastro* t = abreNaAnalise(7);
        ASSERT_TRUE(t->btnResultadosAmostras->isEnabled());
        noDialogo<TfrmResultadosTodasAmostras>(std::move(passos));
        clica(t->btnResultadosAmostras);
        pump();
        EXPECT_TRUE(m_dialogoVisto);
    }
    static void digitaValor(const QString& valor, Qt::Key fim = Qt::Key_Return) {
        if (valor.isEmpty()) {
            tecla(Qt::Key_Space);
            tecla(Qt::Key_Backspace);
        } else {
            digita(valor);
        }
        tecla(fim);
        QApplication::processEvents();
    }
    static QModelIndex atual(TfrmResultadosTodasAmostras& d) { return d.dbgResultados->currentIndex(); }
    // "table/column/operation old>new" of the audit rows written since the test began.
    QStringList auditoria() {
        QStringList r;
        Query q(&s_db->db, &s_db->tr);
        q.setSqlText(QString("select nm_tabela, id_analise_equipamento, id_tp_analise, tp_operacao, "
                             "cast(tx_valor_anterior as varchar(40)), cast(tx_valor_novo as varchar(40)), "
                             "nm_login from sis_ctv_auditoria where id_auditoria > %1 order by id_auditoria")
                         .arg(m_ultimaAuditoria));
        q.open();
        for (q.first(); !q.eof(); q.next())
            r << QString("%1 %2/%3 %4 %5>%6 %7")
                     .arg(q.field(0)->asString())
                     .arg(q.field(1)->asInteger())
                     .arg(q.field(2)->asInteger())
                     .arg(q.field(3)->asString(), q.field(4)->asString(), q.field(5)->asString(),
                          q.field(6)->asString());
        q.close();
        return r;
    }
    QString chaves(int amostraId) {
        return scalar(
                   QString("select list(id_analise_resultado || ':' || id_tp_analise) from (select * from "
                           "mov_analise_resultado where id_analise_equipamento = %1 order by id_tp_analise)")
                       .arg(amostraId))
            .toString();
    }
    // Types the same changes each time: sample 70 type 1 := 8,3; sample 71 type 2 := 12; sample
    // 70 type 2 cleared; sample 71 type 3 := 666 (the value the failing tests refuse).
    static void digitaAlteracoes() {
        digitaValor("8,3");                // (0, 70) -> moves down to (1, 70)
        digitaValor("", Qt::Key_Tab);      // (1, 70) cleared, Tab to (1, 71)
        digitaValor("12", Qt::Key_Return); // (1, 71) -> (2, 71)
        digitaValor("666");                // (2, 71)
    }
    qint64 m_ultimaAuditoria = 0;
};

TEST_F(ResultadosTodasAmostrasTest, TheGridIsTypedWithEnterAndTabAndSavesOnlyWhatChanged) {
    naGrade([this](TfrmResultadosTodasAmostras& d) {
        EXPECT_EQ(d.windowTitle(), "Resultados de Todas as Amostras");
        EXPECT_EQ(d.lblAnalise->text(), QString::fromUtf8("Análise de 10/03/2024 - HOTEL SERRA AZUL"));
        QAbstractItemModel* m = d.dbgResultados->model();
        ASSERT_EQ(m->rowCount(), 3);
        ASSERT_EQ(m->columnCount(), 6);
        EXPECT_EQ(m->headerData(2, Qt::Horizontal).toString(), "1 - Caldeira 01");
        EXPECT_EQ(m->headerData(4, Qt::Horizontal).toString(), "2 - Caldeira 03");
        // Current values, and beside them the February values of boiler 01 (boiler 03 has no
        // earlier collection), which cannot be typed.
        EXPECT_EQ(celula(d.dbgResultados, 0, 2), "8,10");
        EXPECT_EQ(celula(d.dbgResultados, 0, 3), "7,00");
        EXPECT_EQ(celula(d.dbgResultados, 1, 3), "3.000,00");
        EXPECT_EQ(celula(d.dbgResultados, 2, 4), "1,00");
        EXPECT_EQ(celula(d.dbgResultados, 0, 5), "");
        EXPECT_FALSE(m->flags(m->index(0, 3)) & Qt::ItemIsEditable);
        EXPECT_TRUE(m->flags(m->index(0, 4)) & Qt::ItemIsEditable);

        EXPECT_EQ(QApplication::focusWidget(), d.dbgResultados);
        EXPECT_EQ(atual(d), m->index(0, 2));
        digitaValor("9,1");
        EXPECT_EQ(atual(d), m->index(1, 2));
        // Above the ideal "7,0 a 8,5": marked.
        auto* marca = qobject_cast<MarcaFaixaResultado*>(d.dbgResultados->itemDelegateForColumn(2));
        ASSERT_TRUE(marca);
        EXPECT_EQ(marca->posicao(0), PosicaoFaixa::Acima);
        digitaValor("", Qt::Key_Tab);
        // Tab skips the previous collection's column.
        EXPECT_EQ(atual(d), m->index(1, 4));
        digitaValor("12");
        EXPECT_EQ(atual(d), m->index(2, 4));
        // A text that is no number: the results window's own message, and nothing stored.
        digitaValor("abc");
        ASSERT_EQ(dialogs.messageCount(), 1);
        TfrmResultadoAnalise janela;
        janela.cdsResultado.createDataSet();
        EXPECT_EQ(dialogs.lastMessage().text,
                  fieldtext::parse(*janela.cdsResultado.fieldByName("VL_RESULTADO"), "abc").error);
        EXPECT_EQ(atual(d), m->index(2, 4));
        EXPECT_EQ(celula(d.dbgResultados, 2, 4), "1,00");
        // Tab at the end of a row goes on to the next row's first sample.
        d.dbgResultados->setCurrentIndex(m->index(0, 4));
        tecla(Qt::Key_Tab);
        EXPECT_EQ(atual(d), m->index(1, 2));
        clica(d.btnSalvar);
    });
    EXPECT_EQ(dialogs.messageCount(), 1) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(resultados(70), QStringList({"1=9.1"}));
    EXPECT_EQ(resultados(71), QStringList({"2=12", "3=1"}));
    // The changed value kept its row; the unchanged one was not touched; the new one has the
    // next key.
    EXPECT_EQ(chaves(70), "6:1");
    EXPECT_EQ(chaves(71), "9:2,8:3");
    EXPECT_EQ(auditoria(), QStringList({"MOV_ANALISE_RESULTADO 70/1 A 8.1000>9.1000 maria",
                                        "MOV_ANALISE_RESULTADO 70/2 E 2500.0000> maria",
                                        "MOV_ANALISE_RESULTADO 71/2 I >12.0000 maria"}));
}

TEST_F(ResultadosTodasAmostrasTest, AFailureInTheMiddleOfTheSaveOrAtItsCommitWritesNothing) {
    // A value the database refuses half-way through the save, and a commit refused at the end.
    s_db->exec(
        "create or alter trigger trg_teste_grade for mov_analise_resultado before insert or update as "
        "declare r integer; begin if (new.vl_resultado = 666) then exception e_teste_grade 'valor 666 "
        "recusado pelo teste'; if (new.vl_resultado = 777) then r = rdb$set_context('USER_TRANSACTION', "
        "'FALHAR', '1'); end");
    naGrade([this](TfrmResultadosTodasAmostras& d) {
        digitaAlteracoes();
        clica(d.btnSalvar);
        EXPECT_TRUE(d.isVisible());
        const QString texto = dialogs.lastMessage().text;
        EXPECT_TRUE(texto.contains("2 - Caldeira 03 / Análise 3")) << texto.toStdString();
        EXPECT_TRUE(texto.contains("valor 666 recusado pelo teste")) << texto.toStdString();
        EXPECT_TRUE(texto.contains("Nenhum resultado foi gravado")) << texto.toStdString();
        // The values typed are still there: the last one made acceptable to the value trigger,
        // but refused by the commit.
        d.dbgResultados->setFocus();
        d.dbgResultados->setCurrentIndex(d.dbgResultados->model()->index(2, 4));
        digitaValor("777");
        clica(d.btnSalvar);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(dialogs.lastMessage().text.contains("commit recusado pelo teste"))
            << dialogs.lastMessage().text.toStdString();
        EXPECT_EQ(celula(d.dbgResultados, 0, 2), "8,30");
        // Leaving asks about the values typed; "Não" leaves them unsaved.
        dialogs.queueAnswer(MsgAnswer::No);
        clica(d.btnCancelar);
        EXPECT_EQ(dialogs.lastMessage().text, "Salvar alterações ?");
        EXPECT_FALSE(d.isVisible());
    });
    s_db->exec("drop trigger trg_teste_grade");
    EXPECT_EQ(resultados(70), QStringList({"1=8.1", "2=2500"}));
    EXPECT_EQ(resultados(71), QStringList({"3=1"}));
    EXPECT_EQ(auditoria(), QStringList());
}

TEST_F(ResultadosTodasAmostrasTest, AValueChangedMeanwhileByAnotherWorkstationIsNotOverwritten) {
    naGrade([this](TfrmResultadosTodasAmostras& d) {
        digitaValor("8,3");
        // Another application changes the same value after the grid read it.
        s_db->exec("update mov_analise_resultado set vl_resultado = 9 where id_analise_resultado = 6");
        clica(d.btnSalvar);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(dialogs.lastMessage().text.contains("Outra estação de trabalho alterou"))
            << dialogs.lastMessage().text.toStdString();
        // Esc with a value typed: "Cancelar" on the question stays in the window.
        dialogs.queueAnswer(MsgAnswer::Cancel);
        d.dbgResultados->setFocus();
        tecla(Qt::Key_Escape);
        EXPECT_EQ(dialogs.lastMessage().text, "Salvar alterações ?");
        EXPECT_TRUE(d.isVisible());
        dialogs.queueAnswer(MsgAnswer::No);
        clica(d.btnCancelar);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(resultados(70), QStringList({"1=9", "2=2500"}));
    // Only the other application's change is in the trail, with its database user.
    EXPECT_EQ(auditoria(), QStringList({"MOV_ANALISE_RESULTADO 70/1 A 8.1000>9.0000 "}));
}

} // namespace

namespace {

TEST_F(ResultadosTodasAmostrasTest, AKeyTakenMeanwhileByAnotherWorkstationIsReplacedAndTheSaveGoesOn) {
    // Another workstation inserts a result with the key this save is about to use, and commits,
    // between the save's reading of the largest key and its insert.
    // (The table and trigger stay: the table is empty once the collision has happened.)
    s_db->exec("recreate table teste_colisao (n integer)");
    s_db->exec("insert into teste_colisao values (1)");
    s_db->exec(
        "create or alter trigger trg_teste_colisao for mov_analise_resultado before insert position 0 as "
        "begin if (exists(select 1 from teste_colisao)) then in autonomous transaction do begin delete "
        "from teste_colisao; insert into mov_analise_resultado values (new.id_analise_resultado, 1, 1, "
        "42); end end");
    naGrade([](TfrmResultadosTodasAmostras& d) {
        d.dbgResultados->setCurrentIndex(d.dbgResultados->model()->index(1, 4));
        digitaValor("12");
        clica(d.btnSalvar);
    });
    EXPECT_EQ(dialogs.messageCount(), 0) << dialogs.texts().join('|').toStdString();
    EXPECT_EQ(resultados(71), QStringList({"2=12", "3=1"}));
    // The other workstation's row kept its key; this save's row took the next one.
    EXPECT_EQ(chaves(71), "10:2,8:3");
    EXPECT_EQ(
        scalar("select id_analise_equipamento from mov_analise_resultado where id_analise_resultado = 9")
            .toInt(),
        1);
}

} // namespace
