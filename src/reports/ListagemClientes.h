#pragma once
// What the two client listings (clients with samples, clients without samples) share: the
// layout of the report, one group per representative with the columns under its heading and the
// group's count at its foot, and the end of their parameter screens, which opens the rows and
// shows the preview.
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <functional>

class Database;
class Query;
class ReportEngine;
class ReportSource;
class Transaction;

// One column of the listing: its heading "qrl" + nome and its line's field "qrd" + nome.
struct ColunaListagemClientes {
    QString nome;
    QString rotulo;
    QString campo;
    double x;
    double largura;
    QString formato = {};
};

struct ModeloListagemClientes {
    QString titulo;
    // The field whose change starts a representative's group.
    QString campoGrupo;
    QList<ColunaListagemClientes> colunas;
    // The word after the group's count ("Coletas") and its element's name ("qrlColetas").
    QString nomeUnidade;
    QString unidade;
    // The group's count as printed.
    std::function<QString(int)> quantidade;
};

// Lays the listing out on the engine over the rows: the title band, the representative's group
// (heading with the representative and the column headings, kept with its first line), the line
// of each row, the group's footer "Total: n unidade" and the page footer with the system's name.
// `contagem` counts the lines of the group being printed.
void MontaListagemClientes(ReportEngine& r, ReportSource& linhas, int& contagem,
                           const ModeloListagemClientes& m);
// The start of a printing: the count starts again and the company of the parameter row goes
// into the title band.
void IniciaListagemClientes(ReportEngine& r, int& contagem, Database* db, Transaction* tr);

// Opens the listing's statement with the chosen keys as its parameters (a null key means "all"
// and is not set) and shows the preview; without any row it says "Nenhum registro encontrado !".
void MostraListagemClientes(Query& q, ReportEngine& r, const QString& sql,
                            const QList<QPair<QString, QVariant>>& chaves);
