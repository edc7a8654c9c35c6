#pragma once
// What the two commercial control workbooks (analyses and proposals; analyses per client) share:
// the collection month typed as mm/aaaa and its bounds, the workbook file in the Excel folder
// beside the program, the purchase answers and the sample counts per representative and client.
#include "data/Database.h"
#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class QLineEdit;
class Query;
class WorkbookWriter;

// The first and the last day of a collection month.
struct MesColeta {
    QDate inicio;
    QDate fim;
};

// "mm/aaaa" as the month edits give it (blanks or "_" where no digit was typed; a month of one
// digit is accepted): the bounds of that month, nothing when the text is not a month of a year
// from 1900 to 9999. February has 29 days in leap years only.
std::optional<MesColeta> LeMesColeta(const QString& texto);
// The month of a date as the month edits show it: "03/2024".
QString TextoMes(const QDate& dia);
// Prepares a month edit: the input mask of digits "00/0000" with the given character for the
// places not yet typed.
void ConfiguraCampoMes(QLineEdit& campo, QChar branco);
// Shows the month of a date in a month edit with the cursor at its start: a masked edit left
// with the cursor after its text would drop the month typed next.
void MostraMes(QLineEdit& campo, const QDate& dia);

// The month typed in the month edit; an edit that holds no month gets the focus back and the
// action ends with its message.
MesColeta MesInformado(QLineEdit& campo);
// Opens the month's analyses with the statement given, binding the representative chosen (none:
// every representative). When no row answers the user is told and the result is false.
bool AbreAnalisesDoMes(Query& analises, const QVariant& representante, const QString& sql);
// Ends a control workbook: a failure met while writing its rows is shown, the columns are fitted,
// the file is closed and opened on the desktop.
void FinalizaPlanilhaControle(WorkbookWriter& wb, const QString& erro, const QString& caminho);

// <folder of the executable>/Excel/<nome>.xlsx
QString CaminhoPlanilhaControle(const QString& nome);
// Makes the workbook's place ready: the name must be usable as a file name, the Excel folder
// is created when missing and an earlier workbook of that name is removed. Otherwise the user
// is told why (the workbook open in the spreadsheet program included) and the action ends with
// SilentAbort. Returns the path.
QString PreparaArquivoControle(const QString& nomeRelatorio);
// The writer of the workbook with its one sheet "Plan1"; when the file cannot be created the
// user is told and the action ends with SilentAbort.
std::unique_ptr<WorkbookWriter> CriaPlanilhaControle(const QString& caminho);

// Whether a client bought, in the month, a product whose base product is used on one of its
// equipment types, on a sales document of an operation counted as a sale, given that the
// client has analyses with the representative: "S" or "N". The answers of every pair of
// representative and client are read in one statement, the first time one is asked for. A
// missing representative (an analysis written by another application without one) is a pair of
// its own: the client's analyses without a representative.
class RespostaCompra {
public:
    RespostaCompra(Database* db, Transaction* tr, const MesColeta& mes);
    QString comprou(const QVariant& idRepresentante, const QVariant& idCliente);
    // Statements run so far.
    int consultas() const { return m_consultas; }

    // The statement: per representative and client, the answer (":DT_INICIAL", ":DT_FINAL").
    static QString sql();

private:
    Database* m_db;
    Transaction* m_tr;
    MesColeta m_mes;
    bool m_lido = false;
    int m_consultas = 0;
    QHash<QString, QString> m_respostas;
};

// The number of analysed equipment (samples) of a client's analyses with a representative
// collected in the month, read for every pair in one statement the first time one is asked for.
class ContagemAnalises {
public:
    ContagemAnalises(Database* db, Transaction* tr, const MesColeta& mes);
    qlonglong quantas(const QVariant& idRepresentante, const QVariant& idCliente);
    int consultas() const { return m_consultas; }
    static QString sql();

private:
    Database* m_db;
    Transaction* m_tr;
    MesColeta m_mes;
    bool m_lido = false;
    int m_consultas = 0;
    QHash<QString, qlonglong> m_quantas;
};

// The key of a pair of representative (empty when missing) and client.
QString chavePar(const QVariant& idRepresentante, const QVariant& idCliente);
