#pragma once
// The laboratory of LabFixture with what the analysis screens need: a representative and a
// technician (CARLOS MENDES is both), a second representative, an own company, ideal results of
// three analysis types for the boiler type, ten boilers of HOTEL SERRA AZUL (keys 1 and 3 to 11),
// and the rights of group -1 on the buttons of the analysis screens. Helpers open the screens and
// write analyses, samples and results directly.
#include "LabFixture.h"
#include "lab/UnCadastrodeAnalise.h"
#include "lab/UnEquipamentosAnalisados.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <QMdiSubWindow>

class AnaliseTest : public LabTest {
protected:
    static void SetUpTestSuite() {
        LabTest::SetUpTestSuite();
        const std::pair<const char*, QStringList> telas[] = {
            {"frmCadastrodeAnalise",
             {"btnPesquisaPessoa", "btnIncluir", "btnExcluir", "btnConsultar", "BitBtn1", "BTImpRelPreench",
              "btnResultadosAmostras", "btnHistorico", "btnEnviarLaudoEmail"}},
            {"frmEquipamentosAnalisados",
             {"btnConsultar", "btnGrafico", "btnFechar", "btnLimparConteudoComentarioAtual",
              "btnLimparConteudoObservacaoAtual", "btnTipoFonte", "btnNumerar", "btnIdentar", "BitBtn1",
              "BitBtn2", "BitBtn3", "btnHistorico"}},
            {"frmHistoricoAlteracoes", {"btnFiltrar", "cpfExportaExcel"}},
            {"frmPesquisarAnalises",
             {"btnPesquisar", "btnCancelar", "btnConsultarAnalise", "btnPesquisarCliente",
              "btnPesquisarRepresentante"}},
            {"frmConfiguracoesGerais",
             {"BitBtn1", "btnTipoFonte", "btnNumerar", "btnIdentar", "btnEmailLaudo"}}};
        int form = -20, comp = -20, evento = 200;
        for (const auto& [nome, botoes] : telas) {
            s_db->exec(
                QString("insert into sis_formulario values (%1, '%2', '%2', 3, 'S')").arg(form).arg(nome));
            for (const QString& b : botoes) {
                s_db->exec(
                    QString("insert into sis_componente values (%1, %2, '%3', 'TBitBtn', '%3', 'S', 'S')")
                        .arg(comp)
                        .arg(form)
                        .arg(b));
                s_db->exec(
                    QString("insert into sis_evento_autorizado values (%1, -1, %2)").arg(evento++).arg(comp));
                --comp;
            }
            --form;
        }
    }

    void SetUp() override {
        LabTest::SetUp();
        s_db->exec("update cad_pessoa set ct_represent = 'S', ct_funcionario = 'S' where id_pessoa = 32");
        s_db->exec(QString::fromUtf8("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, "
                                     "ct_represent) values (33, '33', 'JOÃO VENDAS', 'João Vendas', 'S')"));
        s_db->exec(
            "insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, ct_empresa) values (34, "
            "'34', 'HIDROLAB CAMPINAS', 'Hidrolab Campinas', 'S')");
        s_db->exec("insert into tab_resultado_ideal values (1, 1, 1, '7,0 a 8,5')");
        s_db->exec(QString::fromUtf8("insert into tab_resultado_ideal values (2, 2, 1, 'Máx. 3.500')"));
        s_db->exec("insert into tab_resultado_ideal values (3, 3, 1, 'Ausente')");
        s_db->exec("insert into tab_resultado_ideal values (4, 4, 2, 'Até 10')");
        for (int i = 3; i <= 11; ++i)
            s_db->exec(
                QString("insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, "
                        "nm_equipamento) values (%1, 30, 1, 'Caldeira %2')")
                    .arg(i)
                    .arg(i, 2, 10, QChar('0')));
    }

    using Cadastro = TfrmCadastrodeAnalise;
    using Equipamentos = TfrmEquipamentosAnalisados;

    Cadastro* abreCadastro() { return abre<Cadastro>("frmCadastrodeAnalise"); }
    static DataSet* ds(TfrmCadastroPadrao* t) { return t->dsPadrao.dataSet(); }

    // Opens the registration screen, shows every analysis (F7) and moves to the one of that key.
    Cadastro* abreNaAnalise(int id) {
        Cadastro* t = abreCadastro();
        t->dtColeta->setFocus();
        tecla(Qt::Key_F7);
        tecla(Qt::Key_Home, Qt::AltModifier);
        while (ds(t)->fieldByName("ID_ANALISE")->asInteger() != id && !ds(t)->eof())
            tecla(Qt::Key_Right, Qt::AltModifier);
        EXPECT_EQ(ds(t)->fieldByName("ID_ANALISE")->asInteger(), id);
        return t;
    }

    // The analysed-equipment screen open now (null when none).
    Equipamentos* telaEquipamentos() { return main->findChild<Equipamentos*>("frmEquipamentosAnalisados"); }

    static void analise(int id, const QString& coleta, int cliente = 30, int tipo = 1,
                        int representante = 32) {
        s_db->exec(
            QString(
                "insert into mov_analise (id_analise, dt_coleta, dt_recebimento, id_cliente, "
                "id_representante, id_responsavel_tecnico, id_tp_equipamento) values (%1, '%2', '%2', %3, "
                "%4, 32, %5)")
                .arg(id)
                .arg(coleta)
                .arg(cliente)
                .arg(representante)
                .arg(tipo));
    }
    static void amostra(int id, int analise, int equipamento, const QString& comentario = QString(),
                        const QString& obs = QString()) {
        auto texto = [](const QString& t) {
            return t.isNull() ? QString("null") : "'" + QString(t).replace("'", "''") + "'";
        };
        s_db->exec(QString("insert into mov_analise_equipamento (id_analise_equipamento, id_analise, "
                           "id_equipamento_cli, tx_comentario, tx_obs) values (%1, %2, %3, %4, %5)")
                       .arg(id)
                       .arg(analise)
                       .arg(equipamento)
                       .arg(texto(comentario), texto(obs)));
    }
    static void resultado(int id, int amostra, int tipo, const QString& valor) {
        s_db->exec(QString("insert into mov_analise_resultado values (%1, %2, %3, %4)")
                       .arg(id)
                       .arg(tipo)
                       .arg(amostra)
                       .arg(valor));
    }
    // "tipo=valor" of the results of a sample, by type.
    QStringList resultados(int amostra) {
        QStringList r;
        Query q(&s_db->db, &s_db->tr);
        q.setSqlText(QString("select id_tp_analise, vl_resultado from mov_analise_resultado where "
                             "id_analise_equipamento = %1 order by id_tp_analise")
                         .arg(amostra));
        q.open();
        for (q.first(); !q.eof(); q.next())
            r << QString("%1=%2").arg(q.field(0)->asInteger()).arg(q.field(1)->asFloat());
        q.close();
        return r;
    }
};
