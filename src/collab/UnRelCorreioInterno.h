#pragma once
// The printout of one internal-mail message, "Relatório de Correio Interno": A4 portrait in
// millimetres. Its rows are those of the report query IBQ_COMUNICACAO (the message chosen on the
// screen, one row); the values printed come from the mail screen's current record, the addressee
// as the screen's addressee list shows it and the text as the screen's memo shows it.
//
// The printout is assembled in two steps that need no page drawing: the values (DadosRelCorreio)
// and the bands with their elements (RelCorreioInterno), laid out as the page shows them. The
// last step, ImprimeRelCorreioInterno, hands the bands to the page output.
#include <QByteArray>
#include <QDate>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>
#include <vector>

class DataSet;
class Query;

// The values one printout shows.
struct DadosRelCorreio {
    int linhas = 0; // rows of the report query: the detail (and its child) print once per row
    QDate emissao;  // DT_COMUNICACAO
    QTime hora;     // HO_COMUNICACAO
    QString remetente, destinatario, assunto, conteudo;
    QDate leitura;     // DT_RECEB
    QTime horaLeitura; // HO_RECEB
    QByteArray logo;   // LOGO_EMPRESA of the parameter row (JPEG), empty when none
};

// An element of a band, in millimetres from the band's top-left corner (the page's left margin).
struct ElementoRel {
    enum class Tipo {
        Texto,         // a fixed caption or a value, one line
        Memo,          // word-wrapped text that grows downwards with its content
        Imagem,        // a picture stretched to its frame
        Linha,         // a horizontal rule along the width, espessuraMm thick
        DataImpressao, // the printing date "dd/mm/yyyy" after the caption in texto
        HoraImpressao, // the printing time "hh:mm"
        Pagina         // the page number after the caption in texto
    };
    Tipo tipo = Tipo::Texto;
    QString nome;
    QRectF mm;
    QString texto;
    bool negrito = false;
    double pontos = 10; // font size
    Qt::Alignment alinhamento = Qt::AlignLeft;
    double espessuraMm = 0.26;
    QByteArray imagem; // encoded picture (JPEG) of an Imagem
    // The element sits under a growing memo and moves down by as much as the memo grew.
    QString abaixoDe;
};

struct FaixaRel {
    enum class Tipo { Titulo, Detalhe, FilhaDoDetalhe, RodapePagina };
    Tipo tipo = Tipo::Detalhe;
    QString nome;
    double alturaMm = 0;
    int vezes = 1; // how many times the band prints (the detail and its child: once per row)
    std::vector<ElementoRel> elementos;

    const ElementoRel* elemento(const QString& nome) const;
};

struct RelCorreioInterno {
    QString caption = QStringLiteral("Relatório de Correio Interno");
    double margemMm = 10; // every side of the A4 portrait page
    std::vector<FaixaRel> faixas;

    const FaixaRel* faixa(const QString& nome) const;
    // What the bands print, one line of text per band print, element texts joined by blanks in
    // their order (pictures and rules left out; the printing date, time and page number as
    // "<data>", "<hora>" and "<pagina>").
    QStringList textos() const;
};

// The values of a printout: one detail per row of the report query `comunicacao`, the values of
// the current record of the screen's list `correio`, the addressee's name and the text as the
// screen shows them, and the company logo of the parameter row (read on `comunicacao`'s
// connection and transaction).
DadosRelCorreio leDadosRelCorreio(Query& comunicacao, const DataSet& correio, const QString& destinatario,
                                  const QString& conteudo);
// The bands of the printout for those values.
RelCorreioInterno montaRelCorreioInterno(const DadosRelCorreio& dados);

// The printout of the screen's current message: reads the values, assembles the bands and shows
// them in the modal preview. The report query must be open on the message.
void ImprimeCorreioInterno(Query& comunicacao, const DataSet& correio, const QString& destinatario,
                           const QString& conteudo);

class ReportEngine;
class ReportTableSource;
// The bands as a report of the banded report engine: one detail (and its child) per row of
// `linhas`, which it fills. Defined where the program has the engine.
void desenhaRelCorreioInterno(ReportEngine& r, const RelCorreioInterno& rel, ReportTableSource& linhas);

// The page output of the bands (by default the modal preview of the engine). Tests replace it to
// receive the assembled printout; an empty function restores the default. Returns the one
// installed before.
using SaidaRelCorreioInterno = std::function<void(const RelCorreioInterno&)>;
SaidaRelCorreioInterno instalaSaidaRelCorreioInterno(SaidaRelCorreioInterno saida);
