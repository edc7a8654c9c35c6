#pragma once
// "Histórico de Alterações": the audit trail of one analysis (its dates, client and technician,
// its samples and their results) or of one sample, read-only: who, when, what, the value before
// and after, newest first. The list narrows to one column and a period; the toolbar's "Excel"
// exports it like any list. The rows are written by the database's triggers (schema
// 51_auditoria.sql), never by this screen.
#include "screens/UnCadastroPadrao.h"

class DBDateEdit;
class QComboBox;
class QLabel;
class QPushButton;

// The audited columns, as the history names them ("Data Coleta", "Resultado", ...).
const std::vector<std::pair<QString, QString>>& ColunasAuditadas();

// The history's statement: the rows of the analysis (idAnaliseEquipamento 0) or of the sample,
// optionally only one audited column and only a period (an invalid date leaves that end open),
// newest first.
QString MontaSQLHistorico(int idAnalise, int idAnaliseEquipamento, const QString& coluna = QString(),
                          const QDate& de = QDate(), const QDate& ate = QDate());

class TfrmHistoricoAlteracoes : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    // The history of an analysis, or of one of its samples (idAnaliseEquipamento not 0).
    TfrmHistoricoAlteracoes(int idAnalise, int idAnaliseEquipamento, QWidget* parent = nullptr);

    Query IBQ_Historico;
    QLabel* lblTitulo = nullptr;
    QComboBox* cbColuna = nullptr;
    DBDateEdit *dtInicial = nullptr, *dtFinal = nullptr;
    QPushButton* btnFiltrar = nullptr;
    DBGrid* dbgHistorico = nullptr;

    void FormShow() override;
    void FormActivate() override;
    void btnFiltrarClick();

    // Opens the history (closing one open already) over the main window.
    static TfrmHistoricoAlteracoes* abre(int idAnalise, int idAnaliseEquipamento, const QString& titulo);

private:
    int m_idAnalise, m_idAnaliseEquipamento;
};
