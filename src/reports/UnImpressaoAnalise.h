#pragma once
// The two prints of the analysis registration screen. Each numbers the analysis's samples in
// blocks of four, assembles the report table, fills the report's header and shows the report
// in the modal preview (through the reportPreview() seam). The screen saves the analysis
// first, disables its button while the print runs and enables it again afterwards; errors
// propagate to it with the progress window closed and the report table emptied.
//
//   TAnaliseImpressao a;            // from the current record and the screen's controls
//   a.idAnalise = ...; a.cliente = cbCliente->currentText(); ...
//   ImprimeRelatorioAnalise(a);     // "Imprimir Relatório de Análise"
//   ImprimePlanilhaPreenchimento(a); // "Imprimir Planilha de Preenchimento"
//   // then the screen reopens its list of analysed equipment (the numbers changed)
#include "reports/UnDadosLaudo.h"

// The technical report. cdsRelatorio, when given, is the screen's report table: filled for the
// print and left empty afterwards.
void ImprimeRelatorioAnalise(const TAnaliseImpressao& analise, MemTable* cdsRelatorio = nullptr);
// The technical report made exactly as the print makes it (the same numbering, data, header,
// images and choices), written as a PDF file at path instead of being previewed. Throws
// AppError when the file cannot be written.
void GeraPdfRelatorioAnalise(const TAnaliseImpressao& analise, const QString& path,
                             MemTable* cdsRelatorio = nullptr);
// The fill-in sheet.
void ImprimePlanilhaPreenchimento(const TAnaliseImpressao& analise, MemTable* cdsRelatorio = nullptr);
