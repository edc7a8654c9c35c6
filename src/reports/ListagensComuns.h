#pragma once
// Pieces the commercial listings and workbooks share: the parameter fields of their screens
// (labels, period, drop-downs with an "all" entry), the check of the collection period, the
// parameter row the reports print (company name, logo, quantity format) and the page footer.
#include "platform/report/ReportSource.h"
#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QPair>
#include <QString>
#include <QVariant>

class Database;
class DataSet;
class DBDateEdit;
class DBLookupCombo;
class QGridLayout;
class QPushButton;
class QWidget;
class ReportBand;
class ReportEngine;
class ReportImage;
class TfrmParametroRelatorio;
class Transaction;

// The grid of parameter fields in the screen's body: label at the left, field at the right.
QGridLayout* GradeParametros(TfrmParametroRelatorio& tela);
// Adds a row "label field" (and returns the field).
QWidget* LinhaParametro(QGridLayout& grade, const QString& rotulo, QWidget* campo);
// The period row "rotulo dtInicial a dtFinal"; both are free date fields.
void LinhaPeriodo(QGridLayout& grade, const QString& rotulo, DBDateEdit* inicial, DBDateEdit* final);
// A free drop-down over a list of dmLookUp, with its empty entry meaning "all" and eight rows.
DBLookupCombo* ListaTodos(QWidget* pai, const QString& nome, DataSet* lista, const QString& chave,
                          const QString& mostra, const QString& todos = QStringLiteral("<TODOS>"));
// Puts a button into the screen's bottom strip, before "&Fechar".
void BotaoNaFaixa(TfrmParametroRelatorio& tela, QPushButton* botao);

// The period of the listings: an empty first or last date is told to the user ("Período
// inicial não informado !", "Período final não informado !"), the focus goes to that field and
// the action ends with SilentAbort. With `ordemExigida` a first date after the last is refused
// too: the listings of what is missing in a period would list everything.
void ValidaPeriodo(DBDateEdit* inicial, DBDateEdit* final, bool ordemExigida);
// The date of a period field of a listing that takes an empty date: an empty field is the zero
// of the date system, 30/12/1899, so an empty first date counts from the beginning. What is
// typed but not a date ("31/02/2024") is told ("Data inválida"), the focus goes to the field
// and the action ends with SilentAbort.
QDate DataDoPeriodo(DBDateEdit* campo);
// A first date after the last told and refused ("O período inicial é posterior ao período
// final !"), the focus on the empty last date or else on the first.
void ValidaOrdemPeriodo(DBDateEdit* inicial, DBDateEdit* final, const QDate& de, const QDate& ate);
// "Período de: 01/03/2024 a 31/03/2024" from the fields as they show their dates.
QString TextoPeriodo(const DBDateEdit* inicial, const DBDateEdit* final, const QString& prefixo);

// The parameter row as the reports print it.
struct ParametrosRelatorio {
    QString nmEmpresa;
    QByteArray logo;           // LOGO_EMPRESA; empty when null
    QString mascaraQuantidade; // FM_MASCARA_QUANTIDADE without surrounding blanks
};
// "select * from TAB_PARAMETRO" on the connection; empty values without a row.
ParametrosRelatorio LeParametrosRelatorio(Database* db, Transaction* tr);
// Loads the logo into the image (empty when there is none or it is not a picture).
void CarregaLogo(ReportImage& imagem, const ParametrosRelatorio& p);
// The company of a listing: the logo into "qrImgLogo" and the name into "qrlEmpresa".
void EmpresaNaListagem(ReportEngine& r, const ParametrosRelatorio& p);

// Page footer of the listings: a rule; at the left the company name (element "qrlEmpresa"); in
// the middle "Nexmoro Cortivandela" when asked; at the right "Data:" with the printing date and
// time and "Página" with the page number.
ReportBand& RodapeListagem(ReportEngine& r, const QString& empresa, bool nomeDoSistema);

// Title band of the client listings (first page only): framed on all four sides, the title in
// large bold type ("qrlTitulo"), the period ("qrlPeriodo") and the logo at the right
// ("qrImgLogo").
ReportBand& TituloListagem(ReportEngine& r, const QString& titulo);

// The rows of one key out of rows read once for every key and ordered by it (the pending
// equipment of each client): a sub-detail's source that is pointed at the key's rows before its
// master row prints, instead of a statement per master row.
class TrechoPorChave : public ReportSource {
public:
    explicit TrechoPorChave(const ReportSource& linhas) : m_linhas(linhas) {}
    // Indexes the rows by the key field's value; rows of one key must follow each other.
    void indexa(const QString& campoChave);
    // Points at the rows of the key (none when it has no rows).
    void seleciona(const QVariant& chave);

    int rowCount() const override { return m_quantas; }
    QVariant value(int row, const QString& field) const override {
        return m_linhas.value(m_inicio + row, field);
    }
    QString text(int row, const QString& field) const override {
        return m_linhas.text(m_inicio + row, field);
    }

private:
    const ReportSource& m_linhas;
    QHash<QString, QPair<int, int>> m_trechos; // key -> (first row, rows)
    int m_inicio = 0, m_quantas = 0;
};
