#pragma once
// Spreadsheet export of the active list: the rows of the list with its current filter and
// ordering, the columns of its grid "DBGrid1" in grid order under a bold title row, written to
// "<folder of the executable>/Excel/<name>.xlsx" and then opened with the desktop's program.
#include "data/Query.h"
#include "platform/WorkbookFiles.h"
#include <QDialog>
#include <QHash>
#include <QPointer>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class TfrmClassePrincipal;
class WorkbookWriter;

// One column of the workbook: the field it shows and its title.
struct ColunaPlanilha {
    QString campo;
    QString titulo;
};

// The texts of one lookup field for the export, each key's text read once. The text of a key
// is what " select <result> from <list's tables and condition> where/and <key> = '<key>'"
// gives; after a few dozen different keys the whole list is read in one statement instead.
class TextosLookup {
public:
    TextosLookup(const Field& lookup, Query& consulta);
    QString texto(const QVariant& chave);
    // Statements run so far (for tests and measurements).
    int consultas() const { return m_consultas; }

private:
    void leTodos();
    static QString normaliza(const QVariant& chave);
    Query& m_q;
    DataSet* m_lista = nullptr; // a list that is not a query is read directly
    QString m_resultado, m_chave, m_de, m_juncao;
    QHash<QString, QString> m_textos;
    bool m_todos = false;
    int m_faltas = 0, m_consultas = 0;
};

// Writes the title row and one row per record of `copia` (opened here from the list's
// statement) into sheet `folha`: lookup columns as their texts, integers as numbers, fixed-point
// decimals as numbers with the list field's display format, long texts cut to 255 characters,
// everything else as the text shown. `aCadaLinha` runs after every row. Returns the rows written.
int EscrevePlanilha(WorkbookWriter& wb, int folha, const Query& lista, const QList<ColunaPlanilha>& colunas,
                    Query& copia, Query& consulta, const std::function<void()>& aCadaLinha = {});

class TfrmParametroExcel : public QDialog {
    Q_OBJECT
public:
    explicit TfrmParametroExcel(TfrmClassePrincipal* principal, QWidget* parent = nullptr);
    ~TfrmParametroExcel() override;

    // Creates the window on the active screen, proposes the file name and shows it modally.
    static void executa(TfrmClassePrincipal* principal);

    QLineEdit* mskNomeArquivo;
    QPushButton *btnGerarArquivo, *BitBtn1;
    QProgressBar* Gauge1;
    QLabel* lblAguarde;
    int iQtdeRegistros = 0;
    Query IBQ_Gen, IBQ_Padrao;

    // The workbook written by the last export.
    QString arquivo() const;
    void btnGerarArquivoClick();
    // Writes the workbook; false when it stopped with a message.
    bool GeraPlanilha();
    void BitBtn1Click();

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    Query* lista() const;
    TfrmClassePrincipal* m_principal;
    QPointer<QWidget> m_tela;
};

// The open export window, or nullptr.
TfrmParametroExcel* frmParametroExcel();
