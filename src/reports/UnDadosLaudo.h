#pragma once
// Data of the technical report and of the fill-in sheet of an analysis: the numbering of its
// samples in blocks of four, the report table cdsRelatorio and the two assemblies that fill it,
// with the lookups of the previous collection of each equipment. Everything reads the database
// through the general transaction (dataContext().IBT_Gen).
#include "data/Query.h"

#include <QDate>
#include <QString>

// What the print buttons of the analysis registration screen hand to the reports: the current
// analysis (saved) and what the screen shows beside it.
struct TAnaliseImpressao {
    int idAnalise = 0;
    QDate dtColeta, dtRecebimento, dtAvaliacao;
    int idCliente = 0;
    int idTpEquipamento = 0;
    int idResponsavelTecnico = 0;
    QString cliente;                // text of the "Cliente" drop-down (the client's search name)
    QString representante;          // text of the "Representante" drop-down
    QDate dtEnvio;                  // the "Data do Envio" shown on the screen; null when empty
    bool imprimirLogomarca = false; // "Imprimir logomarca, assinatura e rodapé"
    int idEmpresa = 0;              // the company chosen in "Nossa Empresa"; 0 for none
};

// The analysis as stored, with its client's and representative's search names in place of the
// drop-down texts (the screenshot tool, the benchmark and tests print without the screen).
// Throws AppError when the analysis does not exist.
TAnaliseImpressao LeAnaliseImpressao(int idAnalise);

// Columns of the report table.
namespace cds {
inline const QString NoPagina = QStringLiteral("cdsNO_PAGINA");
inline const QString NmTpAnalise = QStringLiteral("cdsNM_TP_ANALISE");
inline const QString DsResultadoIdeal = QStringLiteral("cdsDS_RESULTADO_IDEAL");
// Sample n (1 to 4): the value now (technical report) or at the previous collection (sheet).
QString equipamento(int n);
// Sample n (1 to 4): the value at the previous collection (technical report).
QString anterior(int n);
} // namespace cds

// Defines the report table's columns and opens it empty.
void CriaCdsRelatorio(MemTable& cdsRelatorio);
// Copies every row of one report table into another made by CriaCdsRelatorio.
void CopiaCdsRelatorio(MemTable& origem, MemTable& destino);

// Gives every analysed equipment of the analysis its block (NO_PAGINA) and its position in the
// block (NO_AMOSTRA, 1 to 4), four per block in the order of their keys, and commits.
void NumeraPaginasAmostras(int idAnalise);

// The analysis in which the equipment was last collected before the date; 0 for none.
int BuscaAnaliseAnterior(int idEquipamentoCli, const QDate& dtColeta);
// The greatest proposal number of the client's equipment of the type; empty for none.
QString BuscaNumeroProposta(int idTpEquipamento, int idCliente);
// The value of the analysis type measured on the equipment in the analysis; 0 for none.
double BuscaResultadoAnalise(int idAnalise, int idTpAnalise, int idEquipamentoCli);

// Technical report: one row per block and analysis type with an ideal result for the
// equipment type, with each sample's value now and at its previous collection. Once the
// dispatch date is set, a type that no sample of a block measured is left out of the block.
// Shows the general progress window, one step per row. Appends to the table.
void MontaDadosLaudo(MemTable& cdsRelatorio, const TAnaliseImpressao& analise);
// Fill-in sheet: the same rows, each sample's column holding its value at the previous
// collection (0 without one). Appends to the table.
void MontaDadosPlanilha(MemTable& cdsRelatorio, const TAnaliseImpressao& analise);
// What the fill-in sheet adds to the name of a calculated analysis type.
inline const QString kMarcaCalculado = QStringLiteral(" (calculado: não medir)");
