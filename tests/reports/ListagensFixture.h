#pragma once
// The commercial workbooks and listings on one embedded database with known rows: three
// representatives, clients with one, two or no billing address, with and without a
// representative of their own and with and without equipment, equipment in every situation,
// analyses around February 2024 (the 29th included) and February 2023, and sales documents of
// selling and non-selling operations. A logged-in main window (group 1), the program folder,
// scripted dialogs, a recording shell and a report preview that keeps its pages as PDF.
#include "DatabaseSuite.h"
#include "Gestos.h"
#include "ProgramaAberto.h"
#include "QtPrinters.h"
#include "app/Programa.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "data/UndmLookup.h"
#include "data/UndmPadrao.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "platform/Shell.h"
#include "platform/report/ReportPreview.h"
#include "screens/ScreenWindow.h"
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace listagens {

// Expected texts as QString (Qt 6.4 compares long UTF-8 literals with accents wrongly).
inline QString operator""_t(const char* text, size_t size) {
    return QString::fromUtf8(text, qsizetype(size));
}

// Keys of the known rows.
enum : int {
    kAna = 100,   // representative "Ana Representante"
    kBruno = 101, // representative "Bruno Vendas"
    kCarla = 102, // representative without clients of her own
    kTecnico = 200,
    kAlfa = 1,    // Ana's; one billing address (Campinas); five samples with Ana in 02/2024
    kBeta = 2,    // Ana's; billing address in Santos; one non-billing address elsewhere
    kGama = 3,    // Bruno's; two billing addresses (Curitiba, Londrina)
    kDelta = 4,   // Bruno's; no address; no sample in 02/2024
    kEpsilon = 5, // Ana's; an analysis but no equipment
    kZeta = 6,    // no representative of its own
    kOBrien = 7,  // Ana's; "O'Brien Química"
};

class ListagemTest : public DatabaseSuite<ListagemTest>, protected Gestos, protected ProgramaAberto {
protected:
    static void exec(const QString& sql) { s_db->exec(sql); }

    static QByteArray logoJpeg() {
        QImage img(120, 40, QImage::Format_RGB32);
        img.fill(QColor(20, 90, 160));
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "JPEG");
        return bytes;
    }

    static void pessoa(int id, const QString& pesquisa, const QString& nome, const QString& vendedor,
                       const char* flags, const char* cadastro = "2022-05-10") {
        exec(QString(
                 "insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa, id_vendedor, "
                 "ct_represent, ct_funcionario, ct_cliente, dt_cadastro) values (%1, '%1', '%2', '%3', %4, "
                 "'%5', '%6', '%7', '%8')")
                 .arg(id)
                 .arg(QString(pesquisa).replace("'", "''"), QString(nome).replace("'", "''"), vendedor)
                 .arg(QChar(flags[0]))
                 .arg(QChar(flags[1]))
                 .arg(QChar(flags[2]))
                 .arg(cadastro));
    }
    static void endereco(int id, int pessoa, int cidade, const char* fatura) {
        exec(QString(
                 "insert into cad_end_pessoa (id_end_pessoa, id_pessoa, id_cidade, ds_endereco, st_fatura) "
                 "values (%1, %2, %3, 'Rua %1', '%4')")
                 .arg(id)
                 .arg(pessoa)
                 .arg(cidade)
                 .arg(fatura));
    }
    static void equipamento(int id, int cliente, int tipo, const QString& nome, int situacao,
                            const QString& produtos = "HIDROX 110, HIDROALC 50") {
        exec(QString(
                 "insert into tab_equipamento_cli (id_equipamento_cli, id_cliente, id_tp_equipamento, "
                 "nm_equipamento, dt_proposta, ds_produtos, id_sitaucao_equipamento, "
                 "dt_situacao_equipamento) values (%1, %2, %3, '%4', '2023-11-20', '%5', %6, '2023-12-01')")
                 .arg(id)
                 .arg(cliente)
                 .arg(tipo)
                 .arg(QString(nome).replace("'", "''"), produtos)
                 .arg(situacao));
    }
    static inline int s_amostra = 1000;
    // An analysis with its samples (equipment keys); representative 0 means none.
    static void analise(int id, const char* coleta, int cliente, int rep, int tipo, std::vector<int> amostras,
                        const char* envio = nullptr) {
        exec(
            QString("insert into mov_analise (id_analise, dt_coleta, dt_recebimento, dt_avaliacao, dt_envio, "
                    "id_cliente, id_representante, id_responsavel_tecnico, id_tp_equipamento) values (%1, "
                    "'%2', '%2', '%2', %3, %4, %5, %6, %7)")
                .arg(id)
                .arg(coleta)
                .arg(envio ? QString("'%1'").arg(envio) : QString("null"))
                .arg(cliente)
                .arg(rep ? QString::number(rep) : QString("null"))
                .arg(kTecnico)
                .arg(tipo));
        for (int e : amostras)
            exec(QString("insert into mov_analise_equipamento (id_analise_equipamento, id_analise, "
                         "id_equipamento_cli) values (%1, %2, %3)")
                     .arg(s_amostra++)
                     .arg(id)
                     .arg(e));
    }
    static inline int s_item = 1;
    static void nota(int id, const char* emissao, int cliente, int natureza, int produto, double qt) {
        exec(QString(
                 "insert into mov_nf_comercio (id_nf_comercio, id_nat_operacao, id_destinatario_remetente, "
                 "dt_emissao) values (%1, %2, %3, '%4')")
                 .arg(id)
                 .arg(natureza)
                 .arg(cliente)
                 .arg(emissao));
        exec(QString("insert into mov_nf_comercio_item (id_nf_comercio_item, id_nf_comercio, id_produto, "
                     "qt_produto, vl_unitario) values (%1, %2, %3, %4, 10)")
                 .arg(s_item++)
                 .arg(id)
                 .arg(produto)
                 .arg(qt));
    }

    static void SetUpTestSuite() {
        DatabaseSuite::SetUpTestSuite();
        // Analyses written by another application may lack a representative.
        exec("alter table mov_analise alter id_representante drop not null");
        exec("insert into tab_parametro (id_parametro, nm_empresa, fm_mascara_quantidade, st_confirma_sair) "
             "values (1, 'Hidrolab Análises', ' ###,##0.000 ', 'N')");
        {
            s_db->tr.ensureActive();
            Statement st(&s_db->db, &s_db->tr);
            st.prepare("update tab_parametro set logo_empresa = ?");
            st.setParam(0, logoJpeg());
            st.execute();
            s_db->tr.commitRetaining();
        }
        for (auto [id, nome] : {std::pair{-1, "Suporte"}, {1, "Administrador"}})
            exec(QString("insert into sis_gr_usuario values (%1, '%2')").arg(id).arg(nome));
        // Group 1 may open every screen of the listings.
        int id = 1;
        for (const char* tela : {"frmParRelAnaliseProposta", "frmParRelControleAnalise",
                                 "frmParRelAnaliseColeta", "frmParRelatorioClientesSemAmostras",
                                 "frmParRelClientesComAmostras", "frmParRelEquipamentosComPendencias"}) {
            exec(QString("insert into sis_formulario values (%1, '%2', '%2', 3, 'S')").arg(id).arg(tela));
            exec(QString(
                     "insert into sis_componente values (%1, %1, 'btnFechar', 'TBitBtn', 'Fechar', 'S', 'S')")
                     .arg(id));
            exec(QString("insert into sis_evento_autorizado values (%1, 1, %1)").arg(id));
            ++id;
        }

        exec("insert into tab_estado values ('SP', 'São Paulo')");
        exec("insert into tab_estado values ('PR', 'Paraná')");
        exec("insert into tab_cidade (id_cidade, nm_cidade, sg_estado) values (1, 'Campinas', 'SP')");
        exec("insert into tab_cidade (id_cidade, nm_cidade, sg_estado) values (2, 'Santos', 'SP')");
        exec("insert into tab_cidade (id_cidade, nm_cidade, sg_estado) values (3, 'Curitiba', 'PR')");
        exec("insert into tab_cidade (id_cidade, nm_cidade, sg_estado) values (4, 'Londrina', 'PR')");
        for (auto [sit, nome] : {std::pair{-245, "Aprovada"},
                                 {-246, "Aguardando Aprovação"},
                                 {-247, "Recusada"},
                                 {-248, "Desativado"}})
            exec(QString("insert into tab_opcao_tabela (id_opcao_tabela, id_tabela, ds_opcao_tabela) values "
                         "(%1, 75, '%2')")
                     .arg(sit)
                     .arg(nome));

        pessoa(kAna, "Ana Representante", "Ana Paula Souza", "null", "SNN");
        pessoa(kBruno, "Bruno Vendas", "Bruno Almeida", "null", "SNN");
        pessoa(kCarla, "Carla Sem Clientes", "Carla Dias", "null", "SNN");
        pessoa(kTecnico, "Técnico Químico", "Rafael Técnico", "null", "NSN");
        pessoa(kAlfa, "Alfa Laticínios", "Alfa Laticínios Ltda", QString::number(kAna), "NNS", "2021-03-04");
        pessoa(kBeta, "Beta Hotel", "Beta Hotel e Turismo", QString::number(kAna), "NNS");
        pessoa(kGama, "Gama Usina", "Gama Usina de Açúcar", QString::number(kBruno), "NNS");
        pessoa(kDelta, "Delta Têxtil", "Delta Têxtil S.A.", QString::number(kBruno), "NNS");
        pessoa(kEpsilon, "Épsilon Serviços", "Épsilon Serviços", QString::number(kAna), "NNS");
        pessoa(kZeta, "Zeta Metais", "Zeta Metais", "null", "NNS");
        pessoa(kOBrien, "O'Brien Química", "O'Brien Química Ltda", QString::number(kAna), "NNS");
        endereco(1, kAlfa, 1, "S");
        endereco(2, kBeta, 2, "S");
        endereco(3, kBeta, 3, "N");
        endereco(4, kGama, 3, "S");
        endereco(5, kGama, 4, "S");
        endereco(6, kOBrien, 1, "S");

        exec("insert into tab_tp_equipamento (id_tp_equipamento, nm_tp_equipamento) values (1, 'Caldeira')");
        exec("insert into tab_tp_equipamento (id_tp_equipamento, nm_tp_equipamento) values (2, 'Torre de "
             "Resfriamento')");
        exec("insert into tab_tp_equipamento (id_tp_equipamento, nm_tp_equipamento) values (3, 'Efluente')");
        exec("insert into cad_produto_base values (10, 'Sequestrante de Oxigênio', 'KG')");
        exec("insert into cad_produto_base values (11, 'Alcalinizante', 'KG')");
        exec("insert into cad_produto_base values (20, 'Biocida', 'L')");
        exec("insert into cad_produto_base values (30, 'Coagulante', 'KG')");
        for (auto [p, base] : {std::pair{1000, 10}, {1001, 11}, {1002, 10}, {2000, 20}, {3000, 30}})
            exec(QString(
                     "insert into cad_produto (id_produto, cd_produto, nm_produto, id_produto_base) values "
                     "(%1, '%1', 'Produto %1', %2)")
                     .arg(p)
                     .arg(base));
        exec("insert into tab_produto_equipamento values (1, 1, 10)");
        exec("insert into tab_produto_equipamento values (2, 1, 11)");
        exec("insert into tab_produto_equipamento values (3, 2, 20)");
        exec("insert into tab_produto_equipamento values (4, 3, 30)");
        exec("insert into tab_nat_operacao (id_nat_operacao, cd_nat_operacao, nm_natureza_interno, "
             "st_estat_venda) values (1, '5102', 'Venda', 'S')");
        exec("insert into tab_nat_operacao (id_nat_operacao, cd_nat_operacao, nm_natureza_interno, "
             "st_estat_venda) values (3, '5910', 'Bonificação', 'N')");

        equipamento(11, kAlfa, 1, "Caldeira 01", -245);
        equipamento(12, kAlfa, 2, "Torre TR-01", -245, "A, B,C");
        equipamento(13, kAlfa, 1, "Caldeira 02", -246);
        equipamento(14, kAlfa, 2, "Torre TR-02", -245);
        equipamento(21, kBeta, 1, "Caldeira Hotel", -246);
        equipamento(31, kGama, 2, "Torre Usina", -245);
        equipamento(32, kGama, 3, "ETE Usina", -247);
        equipamento(33, kGama, 2, "Torre Usina 2", -245);
        equipamento(41, kDelta, 1, "Caldeira Delta", -245);
        equipamento(42, kDelta, 1, "Caldeira Delta Antiga", -248);
        equipamento(43, kDelta, 2, "Torre Delta", -245);
        equipamento(61, kZeta, 2, "Torre Zeta", -245);
        equipamento(71, kOBrien, 1, "Caldeira O'Brien", -245);

        // February 2024 (a leap year).
        analise(1, "2024-02-01", kAlfa, kAna, 1, {11, 13, 12}, "2024-02-03");
        analise(2, "2024-02-29", kAlfa, kAna, 2, {12, 11});
        analise(3, "2024-02-10", kBeta, kAna, 1, {21});
        analise(4, "2024-02-15", kGama, kBruno, 2, {31});
        analise(5, "2024-02-20", kAlfa, kBruno, 1, {11});
        analise(8, "2024-02-12", kEpsilon, kAna, 1, {});
        analise(9, "2024-02-05", kOBrien, kAna, 1, {71});
        // Just outside it.
        analise(6, "2024-03-01", kDelta, kBruno, 1, {41});
        analise(7, "2024-01-31", kBeta, kAna, 1, {21});
        analise(10, "2024-01-20", kAlfa, kAna, 2, {14});
        // February 2023: Carla's visits alternate between two clients; the 28th is the last day.
        analise(20, "2023-02-01", kAlfa, kCarla, 1, {11});
        analise(21, "2023-02-14", kBeta, kCarla, 1, {21});
        analise(22, "2023-02-28", kAlfa, kCarla, 1, {13});
        analise(23, "2023-03-01", kAlfa, kCarla, 1, {11});
        // May 2024: an analysis another application wrote without a representative.
        analise(30, "2024-05-06", kBeta, 0, 1, {21, 21});
        analise(31, "2024-05-07", kBeta, kAna, 1, {21});

        // Sales documents: selling (1) and non-selling (3) operations.
        nota(1, "2024-02-05", kAlfa, 1, 1000, 10);  // base product of a boiler: Alfa bought
        nota(2, "2024-02-05", kAlfa, 1, 1002, 2.5); // same base product, another product
        nota(3, "2024-02-07", kBeta, 3, 1000, 8);   // a bonus, not a sale
        nota(4, "2024-01-31", kGama, 1, 2000, 5);   // outside the month
        nota(5, "2024-02-16", kGama, 1, 1000, 5);   // boiler product, but Gama has no boiler
        nota(6, "2024-02-29", kOBrien, 1, 1001, 1); // the last day of the month
        nota(7, "2024-05-10", kBeta, 1, 1000, 3);
        nota(8, "2023-02-28", kBeta, 1, 1000, 1);
        nota(9, "2024-02-07", kBeta, 3, 1001, 4); // another bonus
    }
    void SetUp() override {
        QDir(s_db->folder()).mkpath("Sistema");
        exe = s_db->folder() + "/Sistema/cortivandela";
        os.setExecutablePath(exe);
        QDir(pastaExcel()).removeRecursively();
        IniFile conn(s_db->folder() + "/TESTE.ini");
        conn.writeString("Database", "servidor", "");
        conn.writeString("Database", "path", s_db->folder() + "/");
        conn.writeString("Database", "name", "test.fdb");
        QFile::remove(programSettingsPath(exe));
        IniFile(programSettingsPath(exe))
            .writeString("IniServidor", "nomearquivo", s_db->folder() + "/TESTE.ini");
        preview.setPdfPath(pdfs.filePath("pagina-%1.pdf"));
        login(1);
    }
    void TearDown() override { logout(); }

    void login(int grupo) { abrePrograma(1, grupo, "Roberto", s_db->folder() + "/TESTE.ini"); }
    void logout() { fechaPrograma(); }

    // Opens a screen from its menu item, as the user does.
    template <class T> T* abreMenu(const QString& item) {
        QAction* a = main->findChild<QAction*>(item);
        if (!a) {
            ADD_FAILURE() << "menu item " << item.toStdString();
            return nullptr;
        }
        a->trigger();
        pump();
        return qobject_cast<T*>(main->telaAtiva());
    }

    // Replaces what a field shows by typing, as the user does.
    static void digitaEm(QWidget* campo, const QString& texto) {
        campo->setFocus();
        QTest::mouseClick(campo, Qt::LeftButton);
        QTest::keyClick(campo, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(campo, Qt::Key_Backspace);
        if (auto* le = qobject_cast<QLineEdit*>(campo); le && !le->inputMask().isEmpty())
            QTest::keyClick(campo, Qt::Key_Home);
        for (const QChar c : texto) {
            if (c.unicode() < 128)
                QTest::keyClick(campo, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, campo, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }

    QString pastaExcel() const { return QFileInfo(exe).absolutePath() + "/Excel"; }

    FakeOsFacts os;
    ScopedOsFacts osScope{os};
    ScriptedDialogs dialogs;
    ScopedDialogs dialogScope{dialogs};
    RecordingShell shellRec;
    ScopedShell shellScope{shellRec};
    FixedClock relogio{QDateTime(QDate(2024, 2, 20), QTime(9, 15, 0))};
    ScopedClock relogioScope{relogio};
    QTemporaryDir pdfs;
    ScriptedReportPreview preview;
    ScopedReportPreview previewScope{preview};
    QString exe;
};

} // namespace listagens
