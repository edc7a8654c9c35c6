#pragma once
// What the two commercial control workbooks (analyses and proposals; analyses per client) share:
// the collection month typed as mm/aaaa and its bounds, the workbook file in the Excel folder
// beside the program, the purchase answer and a statement prepared once and run per row.
#include "data/Statement.h"
#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class QLineEdit;
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

// A select prepared once and run many times with named parameters (:NAME), returning the first
// column of its first row (null without a row).
class ConsultaRepetida {
public:
    ConsultaRepetida(Database* db, Transaction* tr, const QString& sqlText);
    void setParam(const QString& nome, const QVariant& valor);
    QVariant valor();
    // Times the statement ran.
    int execucoes() const { return m_execucoes; }

private:
    Statement m_st;
    QStringList m_nomes;
    std::vector<char> m_buf;
    int m_execucoes = 0;
};

// Whether a client bought, in the month, a product whose base product is used on one of its
// equipment types, on a sales document of an operation counted as a sale, given that the
// client has analyses with the representative: "S" or "N". Each pair of representative and
// client is asked once per workbook. A missing representative (an analysis written by another
// application without one) asks for the client's analyses without a representative.
class RespostaCompra {
public:
    RespostaCompra(Database* db, Transaction* tr, const MesColeta& mes);
    QString comprou(const QVariant& idRepresentante, const QVariant& idCliente);
    // Statements run so far.
    int consultas() const;

    // The statement, with ":ID_REPRESENTANTE" or "is null" for a missing representative.
    static QString sql(bool semRepresentante);

private:
    ConsultaRepetida& consulta(bool semRepresentante);
    Database* m_db;
    Transaction* m_tr;
    MesColeta m_mes;
    std::unique_ptr<ConsultaRepetida> m_comRep, m_semRep;
    QHash<QString, QString> m_respostas;
};

// A representative's key as the statements compare it, "" when missing (for cache keys).
QString chaveTexto(const QVariant& v);
