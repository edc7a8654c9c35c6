#pragma once
// A laboratory with known analyses on a fresh embedded database, for the report tests: the
// general transaction and the shared data folder (with or without the images folder) in place,
// and the report preview scripted to write each report to a PDF.
//
// Data:
//   client 10 (legal person, CNPJ 11222333000181, billing city Curitiba - PR, main phone),
//   client 11 (natural person, CPF 12345678909, billing address without city, main phone),
//   representative 20, technician 30 (Químico, CRQ-IV 0412), own company 40 (code " 00042 ").
//   Equipment type 1 "Caldeira" (report title "Relatório de Análise de Caldeira") with five
//   analysis types: pH, Condutividade, Alcalinidade Total, Sílica, Ferro; type 2 "Torre" with a
//   blank report title and pH only.
//   Client 10's boilers 101..105 ("Caldeira 01".."Caldeira 05"); client 11's tower 201.
//   Analysis 1 (10/01/2024): boilers 101 and 102; 101 measured every type but Sílica, 102 pH only.
//   Analysis 2 (10/02/2024): boilers 101..105 (two blocks); Sílica measured on none; Ferro only
//   on 105; comments: 101 text, 102 blanks only, 103 none, 104 text, 105 text with accents.
//   Analysis 3 (05/03/2024): client 11, the tower, pH.
#include "ReportReadBack.h"
#include "TestDb.h"
#include "Utf8Literal.h"
#include "data/DataContext.h"
#include "platform/Clock.h"
#include "platform/report/ReportPreview.h"
#include "reports/UnDadosLaudo.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

class LaudoTest : public ::testing::Test {
protected:
    TestDb db;
    Transaction gen;
    QTemporaryDir site;
    ScriptedReportPreview preview;
    ScopedReportPreview usePreview{preview};

    void SetUp() override {
        gen.setDatabase(&db.db);
        dataContext() = DataContext{&db.db, &db.tr, &gen};
        QDir(site.path()).mkpath("Dados");
        sessaoUsuario() = TSessaoUsuario{};
        sessaoUsuario().localarquivoiniteste = dados() + "/base.ini";
        QFile ini(sessaoUsuario().localarquivoiniteste);
        ini.open(QIODevice::WriteOnly);
        preview.setPdfPath(site.filePath("relatorio%1.pdf"));
        cria();
    }

    void TearDown() override {
        dataContext() = DataContext{};
        sessaoUsuario() = TSessaoUsuario{};
    }

    QString dados() const { return site.filePath("Dados"); }

    // The analysis as the registration screen hands it over.
    TAnaliseImpressao analise(int id) {
        TAnaliseImpressao a = LeAnaliseImpressao(id);
        return a;
    }

    void exec(const QString& sql) { db.exec(sql); }

    static QString rtf(const QString& texto) {
        QString escapado;
        for (QChar c : texto)
            escapado += c.unicode() < 128 ? QString(c) : QString("\\'%1").arg(c.unicode(), 2, 16, QChar('0'));
        return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}\\pard\\f0\\fs16 " + escapado +
               "\\par}";
    }

    static QString quoted(const QString& s) {
        QString t = s;
        t.replace("'", "''");
        return "'" + t + "'";
    }

    void amostra(int id, int analise, int equipamento, const QString& comentario = {}) {
        exec(QString("insert into MOV_ANALISE_EQUIPAMENTO (ID_ANALISE_EQUIPAMENTO, ID_ANALISE, "
                     "ID_EQUIPAMENTO_CLI, TX_COMENTARIO) values (%1, %2, %3, %4)")
                 .arg(id)
                 .arg(analise)
                 .arg(equipamento)
                 .arg(comentario.isNull() ? QString("NULL") : quoted(comentario)));
    }

    int m_resultado = 1;
    void resultado(int amostra, int tipo, const QString& valor) {
        exec(QString("insert into MOV_ANALISE_RESULTADO values (%1, %2, %3, %4)")
                 .arg(m_resultado++)
                 .arg(tipo)
                 .arg(amostra)
                 .arg(valor));
    }

    // Writes an image file of one colour.
    static void imagem(const QString& arquivo, const QColor& cor, QSize tamanho = QSize(400, 60)) {
        QImage img(tamanho, QImage::Format_RGB32);
        img.fill(cor);
        ASSERT_TRUE(img.save(arquivo)) << arquivo.toStdString();
    }

private:
    void cria() {
        exec("insert into TAB_ESTADO values ('PR', 'Paraná')");
        exec("insert into TAB_ESTADO values ('SP', 'São Paulo')");
        exec("insert into TAB_CIDADE (ID_CIDADE, NM_CIDADE, SG_ESTADO) values (1, 'Curitiba', 'PR')");
        exec("insert into TAB_ATIVIDADE values (1, 'Químico')");
        auto pessoa = [this](int id, const QString& cd, const QString& nome, const QString& doc,
                             const QString& tipo, const QString& extra = "NULL, NULL") {
            exec(QString("insert into CAD_PESSOA (ID_PESSOA, CD_PESSOA, NM_PESQUISA, NM_PESSOA, NO_CNPJ_CPF, "
                         "TP_PESSOA, ID_ATIVIDADE, NO_REG_CONS_REGIONAL) values (%1, %2, %3, %3, %4, %5, %6)")
                     .arg(id)
                     .arg(quoted(cd), quoted(nome), quoted(doc), quoted(tipo), extra));
        };
        pessoa(10, "000010", "Laticínios Araucária", "11222333000181", "J");
        pessoa(11, "000011", "João da Conceição", "12345678909", "F");
        pessoa(20, "000020", "Rita Vendas", "98765432100", "F");
        pessoa(30, "000030", "Dra. Helena Souza", "11144477735", "F", "1, 'CRQ-IV 0412'");
        pessoa(40, " 00042 ", "Nexmoro Análises", "44555666000199", "J");
        exec("insert into CAD_END_PESSOA (ID_END_PESSOA, ID_PESSOA, ID_CIDADE, ST_FATURA) values (1, 10, 1, "
             "'S')");
        exec("insert into CAD_END_PESSOA (ID_END_PESSOA, ID_PESSOA, ID_CIDADE, ST_FATURA) "
             "values (2, 11, NULL, 'S')");
        exec("insert into CAD_CONTATO_PESSOA (ID_CONTATO_PESSOA, ID_PESSOA, NO_FONE, ST_FONE_PRINCIPAL) "
             "values (1, 10, '(41) 3333-4444', 'S')");
        exec("insert into CAD_CONTATO_PESSOA (ID_CONTATO_PESSOA, ID_PESSOA, NO_FONE, ST_FONE_PRINCIPAL) "
             "values (2, 11, '(11) 5555-0000', 'S')");
        exec("insert into TAB_PARAMETRO (ID_PARAMETRO, NM_EMPRESA, TX_LAUDO_TECNICO) values (1, "
             "'Nexmoro Análises', " +
             quoted(rtf("Resultados expressos em mg/L, exceto pH. Amostras coletadas pelo cliente.")) + ")");

        exec("insert into TAB_TP_EQUIPAMENTO values (1, 'Caldeira', 'Relatório de Análise de Caldeira')");
        exec("insert into TAB_TP_EQUIPAMENTO values (2, 'Torre', '')");
        const char* const tipos[] = {"pH", "Condutividade", "Alcalinidade Total", "Sílica", "Ferro"};
        const char* const ideais[] = {"10,5 a 11,5", "Máx. 3.500", "150 a 300", "Máx. 150", "Máx. 1,0"};
        for (int i = 0; i < 5; ++i) {
            exec(QString("insert into TAB_TP_ANALISE values (%1, %2)").arg(i + 1).arg(quoted(tipos[i])));
            exec(QString("insert into TAB_RESULTADO_IDEAL values (%1, %1, 1, %2)")
                     .arg(i + 1)
                     .arg(quoted(ideais[i])));
        }
        exec("insert into TAB_RESULTADO_IDEAL values (6, 1, 2, '7,0 a 8,5')");

        for (int i = 1; i <= 5; ++i)
            exec(
                QString("insert into TAB_EQUIPAMENTO_CLI (ID_EQUIPAMENTO_CLI, ID_CLIENTE, ID_TP_EQUIPAMENTO, "
                        "NM_EQUIPAMENTO, NO_PROPOSTA) values (%1, 10, 1, 'Caldeira 0%2', %3)")
                    .arg(100 + i)
                    .arg(i)
                    .arg(i == 2 ? "'PR-2024/0007'" : "'PR-2023/0001'"));
        exec("insert into TAB_EQUIPAMENTO_CLI (ID_EQUIPAMENTO_CLI, ID_CLIENTE, ID_TP_EQUIPAMENTO, "
             "NM_EQUIPAMENTO) "
             "values (201, 11, 2, 'Torre Norte')");

        auto analise = [this](int id, const QString& coleta, int cliente, int tipo,
                              const QString& avaliacao) {
            exec(QString("insert into MOV_ANALISE values (%1, '%2', '%2', %3, NULL, %4, 20, 30, %5)")
                     .arg(id)
                     .arg(coleta)
                     .arg(avaliacao)
                     .arg(cliente)
                     .arg(tipo));
        };
        analise(1, "10.01.2024", 10, 1, "'12.01.2024'");
        amostra(1, 1, 101, rtf("Primeira coleta."));
        amostra(2, 1, 102);
        resultado(1, 1, "10.8");
        resultado(1, 2, "3100");
        resultado(1, 3, "210.5");
        resultado(1, 5, "0.45");
        resultado(2, 1, "11.05");

        analise(2, "10.02.2024", 10, 1, "NULL");
        amostra(11, 2, 101, rtf("Condutividade próxima do limite."));
        amostra(12, 2, 102, rtf("   "));
        amostra(13, 2, 103);
        amostra(14, 2, 104, rtf("Alcalinidade dentro do esperado."));
        amostra(15, 2, 105, rtf("Ferro elevado; verificar a corrosão na linha de retorno."));
        const char* const ph[] = {"10.7", "11.2", "10.9", "11.0", "10.6"};
        const char* const cond[] = {"3250", "2900", "1234.5", "2800", "3000"};
        const char* const alc[] = {"220", "180", "160", "240", "200"};
        for (int i = 0; i < 5; ++i) {
            resultado(11 + i, 1, ph[i]);
            resultado(11 + i, 2, cond[i]);
            resultado(11 + i, 3, alc[i]);
        }
        resultado(15, 5, "1.35");

        analise(3, "05.03.2024", 11, 2, "'06.03.2024'");
        amostra(21, 3, 201);
        resultado(21, 1, "7.7");
    }
};

// Words of a PDF page with their boxes in millimetres from the paper's top-left corner, read by
// pdftotext -bbox.
struct PalavraPdf {
    QString texto;
    QRectF mm;
};
inline std::vector<PalavraPdf> palavrasPdf(const QString& pdf, int pagina) {
    std::vector<PalavraPdf> out;
    const QString html = reporttest::run(
        "pdftotext", {"-bbox", "-f", QString::number(pagina), "-l", QString::number(pagina), pdf, "-"});
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    constexpr double mmPorPonto = 25.4 / 72.0;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        QString t = m.captured(5);
        t.replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"");
        out.push_back(
            {t,
             QRectF(QPointF(m.captured(1).toDouble() * mmPorPonto, m.captured(2).toDouble() * mmPorPonto),
                    QPointF(m.captured(3).toDouble() * mmPorPonto, m.captured(4).toDouble() * mmPorPonto))});
    }
    return out;
}
