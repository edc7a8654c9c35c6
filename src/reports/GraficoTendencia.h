#pragma once
// Trend charts of a client equipment: for each analysis type of its equipment type, the values
// measured at every collection (collection date on the x axis, value on the y axis), the range
// read from the ideal result drawn as a band and the values outside it marked. Several types
// are drawn together as small charts, each on its own axes.
//
//   DadosTendencia d = LeTendencias(db, tr, idEquipamentoCli);
//   TfrmGraficoTendencia frm(idEquipamentoCli, {idTpAnalise});   // the window
//   QImage img = ImagemTendencias(series, QSizeF(190, 180), 150); // for a page
#include "data/FaixaIdeal.h"
#include "data/Query.h"
#include <QDate>
#include <QDialog>
#include <QImage>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;
class ReportEngine;

struct PontoTendencia {
    QDate coleta;
    double valor = 0;
};

struct SerieTendencia {
    int idTpAnalise = 0;
    QString nome, ideal;
    // None when the ideal text gives no range (or the type has two ideal texts that differ).
    std::optional<FaixaIdeal> faixa;
    std::vector<PontoTendencia> pontos; // by collection date
    bool lida = false;                  // whether its values were read
    // The points outside the range.
    int foraDaFaixa() const;
};

struct DadosTendencia {
    int idEquipamentoCli = 0;
    QString equipamento;
    std::vector<SerieTendencia> series; // every type with an ideal result, by name
    const SerieTendencia* serie(int idTpAnalise) const;
};

// The equipment's name, its types and their values up to the collection date ate (inclusive;
// null: all), the values of the types given only (every type's when empty). Reads on tr.
DadosTendencia LeTendencias(Database& db, Transaction& tr, int idEquipamentoCli, const QDate& ate = {},
                            const std::vector<int>& tipos = {});
// Reads the values of the types given that were not read yet.
void LeValoresTendencia(Database& db, Transaction& tr, DadosTendencia& d, const std::vector<int>& tipos,
                        const QDate& ate = {});

// The statement that reads the values of an equipment, of the types given (all when empty).
QString SqlValoresTendencia(int idEquipamentoCli, const QDate& ate = {}, const std::vector<int>& tipos = {});

// The chart of one type. Its series carry object names: "serieValores" (the values, line),
// "serieForaFaixa" (the values outside the range) and "faixaIdeal" (an area between the
// lower and the upper bound; an open side reaches the edge of the axis).
QChart* MontaGraficoTendencia(const SerieTendencia& s);

// The charts of several types as one picture of the given size (millimetres) at a resolution.
QImage ImagemTendencias(const std::vector<const SerieTendencia*>& series, const QSizeF& mm, int dpi);

// One landscape page with the chosen types' charts of an equipment, for printing and PDF.
void MontaDocumentoTendencias(ReportEngine& r, const DadosTendencia& d,
                              const std::vector<const SerieTendencia*>& series);

class TfrmGraficoTendencia : public QDialog {
    Q_OBJECT
public:
    // The charts of the equipment, starting with the types given (all when empty) ticked.
    TfrmGraficoTendencia(int idEquipamentoCli, const std::vector<int>& tipos, QWidget* parent = nullptr);

    const DadosTendencia& dados() const { return m_dados; }
    // The charts shown, in the order of the ticked types.
    std::vector<QChart*> graficos() const;

    QLabel* lblEquipamento = nullptr;
    QListWidget* lstTipos = nullptr;
    QPushButton *btnSalvarPng = nullptr, *btnSalvarPdf = nullptr, *btnImprimir = nullptr,
                *btnFechar = nullptr;

    void btnSalvarPngClick();
    void btnSalvarPdfClick();
    void btnImprimirClick();

private:
    void mostraGraficos();
    std::vector<const SerieTendencia*> escolhidas() const;
    DadosTendencia m_dados;
    QWidget* m_area = nullptr;
    QGridLayout* m_grade = nullptr;
    std::vector<QChartView*> m_vistas;
};
