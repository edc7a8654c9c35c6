#include "collab/UnRelCorreioInterno.h"
#include "data/Query.h"
#include "platform/Dialogs.h"
#include <map>

// The banded report engine draws the pages where the program has it; until then the user is
// told that the printout is not available.
#if __has_include("platform/report/ReportEngine.h")
#include "platform/report/ReportEngine.h"
#define CTV_MOTOR_RELATORIO 1
#endif

namespace {

// Width between the margins of an A4 portrait page with 10 mm margins.
constexpr double kLargura = 190;

SaidaRelCorreioInterno& saidaInstalada() {
    static SaidaRelCorreioInterno s;
    return s;
}

QString dataBr(const QDate& d) {
    return d.isValid() ? d.toString("dd/MM/yyyy") : QString();
}
QString horaBr(const QTime& t) {
    return t.isValid() ? t.toString("hh:mm") : QString();
}

ElementoRel texto(const QString& nome, const QRectF& mm, const QString& t, bool negrito = false) {
    ElementoRel e;
    e.tipo = ElementoRel::Tipo::Texto;
    e.nome = nome;
    e.mm = mm;
    e.texto = t;
    e.negrito = negrito;
    return e;
}
ElementoRel rotulo(const QString& nome, const QRectF& mm, const QString& t) {
    return texto(nome, mm, t, true);
}
ElementoRel linha(const QString& nome, double y, double espessura) {
    ElementoRel e;
    e.tipo = ElementoRel::Tipo::Linha;
    e.nome = nome;
    e.mm = QRectF(0, y, kLargura, espessura);
    e.espessuraMm = espessura;
    return e;
}

} // namespace

#ifdef CTV_MOTOR_RELATORIO
void desenhaRelCorreioInterno(ReportEngine& r, const RelCorreioInterno& rel, ReportTableSource& linhas) {
    r.setCaption(rel.caption);
    r.setPage(QPageLayout::Portrait, QMarginsF(rel.margemMm, rel.margemMm, rel.margemMm, rel.margemMm));
    linhas.setFields({"LINHA"});
    linhas.clear();
    ReportBand* detalhe = nullptr;
    for (const FaixaRel& f : rel.faixas) {
        ReportBand* b = nullptr;
        switch (f.tipo) {
        case FaixaRel::Tipo::Titulo:
            b = &r.addTitle(f.nome, f.alturaMm);
            break;
        case FaixaRel::Tipo::Detalhe:
            b = detalhe = &r.addDetail(f.nome, f.alturaMm);
            for (int i = 0; i < f.vezes; ++i)
                linhas.addRow({i + 1});
            break;
        case FaixaRel::Tipo::FilhaDoDetalhe:
            if (detalhe) b = &detalhe->addChild(f.nome, f.alturaMm);
            break;
        case FaixaRel::Tipo::RodapePagina:
            b = &r.addPageFooter(f.nome, f.alturaMm);
            break;
        }
        if (!b) continue;
        std::map<QString, ReportElement*> porNome;
        for (const ElementoRel& e : f.elementos) {
            ReportElement* el = nullptr;
            ReportText* t = nullptr;
            switch (e.tipo) {
            case ElementoRel::Tipo::Texto:
                el = t = &b->addText(e.nome, e.mm, e.texto);
                break;
            case ElementoRel::Tipo::Memo:
                el = t = &b->addMemo(e.nome, e.mm, e.texto);
                break;
            case ElementoRel::Tipo::Imagem: {
                ReportImage& img = b->addImage(e.nome, e.mm);
                img.loadData(e.imagem);
                img.setFit(ReportImage::Fit::Stretch);
                el = &img;
                break;
            }
            case ElementoRel::Tipo::Linha:
                el = &b->addHLine(e.mm.x(), e.mm.y(), e.mm.width(), e.espessuraMm);
                break;
            case ElementoRel::Tipo::DataImpressao:
                el = t = &b->addSystemText(e.nome, e.mm, ReportSystemText::Data::Date, e.texto);
                break;
            case ElementoRel::Tipo::HoraImpressao:
                el = t = &b->addSystemText(e.nome, e.mm, ReportSystemText::Data::Time, e.texto);
                break;
            case ElementoRel::Tipo::Pagina:
                el = t = &b->addSystemText(e.nome, e.mm, ReportSystemText::Data::PageNumber, e.texto);
                break;
            }
            if (t) {
                t->setFont(reportFont(e.pontos, e.negrito));
                t->setAlignment(e.alinhamento | Qt::AlignTop);
            }
            if (el && !e.abaixoDe.isEmpty())
                if (auto it = porNome.find(e.abaixoDe); it != porNome.end()) el->setShiftWith(it->second);
            if (el) porNome[e.nome] = el;
        }
    }
    r.setSource(&linhas);
}
#endif

namespace {
// The default output: the modal preview of the band report.
void saidaPadrao(const RelCorreioInterno& rel) {
#ifdef CTV_MOTOR_RELATORIO
    ReportEngine r(rel.caption);
    ReportTableSource linhas;
    desenhaRelCorreioInterno(r, rel, linhas);
    r.preview();
#else
    (void)rel;
    warn(QStringLiteral("A impressão do Correio Interno ainda não está disponível nesta versão."));
#endif
}
} // namespace

const ElementoRel* FaixaRel::elemento(const QString& n) const {
    for (const ElementoRel& e : elementos)
        if (e.nome == n) return &e;
    return nullptr;
}

const FaixaRel* RelCorreioInterno::faixa(const QString& n) const {
    for (const FaixaRel& f : faixas)
        if (f.nome == n) return &f;
    return nullptr;
}

QStringList RelCorreioInterno::textos() const {
    QStringList out;
    auto linhaDe = [](const FaixaRel& f) {
        QStringList partes;
        for (const ElementoRel& e : f.elementos) {
            switch (e.tipo) {
            case ElementoRel::Tipo::Texto:
            case ElementoRel::Tipo::Memo:
                if (!e.texto.isEmpty()) partes << e.texto;
                break;
            case ElementoRel::Tipo::DataImpressao:
                partes << (e.texto + "<data>").trimmed();
                break;
            case ElementoRel::Tipo::HoraImpressao:
                partes << (e.texto + "<hora>").trimmed();
                break;
            case ElementoRel::Tipo::Pagina:
                partes << (e.texto + "<pagina>").trimmed();
                break;
            case ElementoRel::Tipo::Imagem:
            case ElementoRel::Tipo::Linha:
                break;
            }
        }
        return partes.join(' ');
    };
    // Bands in the order a one-page report prints them: the title, each detail followed by its
    // child, the page footer.
    auto de = [&](FaixaRel::Tipo t) {
        for (const FaixaRel& f : faixas)
            if (f.tipo == t) return &f;
        return static_cast<const FaixaRel*>(nullptr);
    };
    if (const FaixaRel* t = de(FaixaRel::Tipo::Titulo))
        for (int i = 0; i < t->vezes; ++i)
            out << linhaDe(*t);
    const FaixaRel* det = de(FaixaRel::Tipo::Detalhe);
    const FaixaRel* filha = de(FaixaRel::Tipo::FilhaDoDetalhe);
    for (int i = 0; det && i < det->vezes; ++i) {
        out << linhaDe(*det);
        if (filha) out << linhaDe(*filha);
    }
    if (const FaixaRel* r = de(FaixaRel::Tipo::RodapePagina)) out << linhaDe(*r);
    return out;
}

DadosRelCorreio leDadosRelCorreio(Query& comunicacao, const DataSet& correio, const QString& destinatario,
                                  const QString& conteudo) {
    DadosRelCorreio d;
    if (comunicacao.active()) {
        comunicacao.fetchAll();
        d.linhas = comunicacao.recordCount();
    }
    if (correio.active() && (correio.editing() || !correio.isEmpty())) {
        d.emissao = correio.fieldByName("DT_COMUNICACAO")->asDate();
        d.hora = correio.fieldByName("HO_COMUNICACAO")->value().toTime();
        d.remetente = correio.fieldByName("lkRemetente")->asString();
        d.assunto = correio.fieldByName("DS_ASSUNTO")->asString();
        d.leitura = correio.fieldByName("DT_RECEB")->asDate();
        d.horaLeitura = correio.fieldByName("HO_RECEB")->value().toTime();
    }
    d.destinatario = destinatario;
    d.conteudo = conteudo;
    // The report's own parameter query: the company logo, when the parameter row holds one.
    Query par(comunicacao.database(), comunicacao.transaction(), "IBQ_Parametro");
    par.setSqlText("select * from tab_parametro");
    par.open();
    if (!par.isEmpty())
        if (Field* logo = par.findField("LOGO_EMPRESA"); logo && !logo->isNull()) d.logo = logo->asBytes();
    par.close();
    return d;
}

RelCorreioInterno montaRelCorreioInterno(const DadosRelCorreio& d) {
    RelCorreioInterno r;

    FaixaRel titulo;
    titulo.tipo = FaixaRel::Tipo::Titulo;
    titulo.nome = "Title";
    titulo.alturaMm = 22;
    ElementoRel tituloTexto = rotulo("qrlTitulo", {0, 7, 100, 8}, "Correio Interno");
    tituloTexto.pontos = 14;
    titulo.elementos.push_back(tituloTexto);
    if (!d.logo.isEmpty()) {
        ElementoRel logo;
        logo.tipo = ElementoRel::Tipo::Imagem;
        logo.nome = "imgLogo";
        logo.mm = QRectF(kLargura - 50, 0, 50, 20);
        logo.imagem = d.logo;
        titulo.elementos.push_back(logo);
    }
    r.faixas.push_back(titulo);

    FaixaRel det;
    det.tipo = FaixaRel::Tipo::Detalhe;
    det.nome = "Detail";
    det.alturaMm = 40;
    det.vezes = d.linhas;
    det.elementos = {
        rotulo("qrlCriada", {0, 2, 36, 5}, "Mensagem criada em"),
        texto("qrdbDataComunicacao", {37, 2, 22, 5}, dataBr(d.emissao)),
        rotulo("qrlAs", {60, 2, 6, 5}, QStringLiteral("às")),
        texto("qrdbHoraComunicacao", {67, 2, 14, 5}, horaBr(d.hora)),
        rotulo("qrlRemetente", {105, 2, 22, 5}, "Remetente:"),
        texto("qrdbRemetente", {128, 2, 62, 5}, d.remetente),
        rotulo("qrlAssunto", {0, 9, 17, 5}, "Assunto:"),
        texto("qrdbAssunto", {18, 9, 86, 5}, d.assunto),
        rotulo("qrlDestinatario", {105, 9, 25, 5}, QStringLiteral("Destinatário:")),
        texto("qrlNomeDestinatario", {131, 9, 59, 5}, d.destinatario),
        linha("qrsLinhaGrossa", 16, 0.8),
        rotulo("qrlConteudo", {0, 19, 60, 5}, QStringLiteral("Conteúdo da Mensagem:")),
    };
    ElementoRel memo;
    memo.tipo = ElementoRel::Tipo::Memo;
    memo.nome = "qrmMensagem";
    memo.mm = QRectF(0, 26, kLargura, 5);
    memo.texto = d.conteudo;
    det.elementos.push_back(memo);
    ElementoRel sob = linha("qrsLinhaMensagem", 33, 0.26);
    sob.abaixoDe = memo.nome;
    det.elementos.push_back(sob);
    r.faixas.push_back(det);

    FaixaRel filha;
    filha.tipo = FaixaRel::Tipo::FilhaDoDetalhe;
    filha.nome = "ChildBand1";
    filha.alturaMm = 8;
    filha.vezes = d.linhas;
    filha.elementos = {
        rotulo("qrlLida", {0, 1, 34, 5}, "Mensagem Lida em:"),
        texto("qrdbDataLeitura", {35, 1, 22, 5}, dataBr(d.leitura)),
        rotulo("qrlAsLeitura", {58, 1, 6, 5}, QStringLiteral("às")),
        texto("qrdbHoraLeitura", {65, 1, 14, 5}, horaBr(d.horaLeitura)),
    };
    r.faixas.push_back(filha);

    FaixaRel rodape;
    rodape.tipo = FaixaRel::Tipo::RodapePagina;
    rodape.nome = "PageFooter";
    rodape.alturaMm = 10;
    rodape.elementos.push_back(linha("qrsLinhaRodape", 1, 0.26));
    rodape.elementos.push_back(rotulo("qrlSistema", {0, 3, 60, 5}, "Nexmoro Cortivandela"));
    ElementoRel data;
    data.tipo = ElementoRel::Tipo::DataImpressao;
    data.nome = "qrsData";
    data.mm = QRectF(112, 3, 32, 5);
    data.texto = "Data: ";
    data.alinhamento = Qt::AlignRight;
    ElementoRel hora;
    hora.tipo = ElementoRel::Tipo::HoraImpressao;
    hora.nome = "qrsHora";
    hora.mm = QRectF(146, 3, 12, 5);
    hora.alinhamento = Qt::AlignRight;
    ElementoRel pagina;
    pagina.tipo = ElementoRel::Tipo::Pagina;
    pagina.nome = "qrsPagina";
    pagina.mm = QRectF(160, 3, 30, 5);
    pagina.texto = QStringLiteral("Página ");
    pagina.alinhamento = Qt::AlignRight;
    rodape.elementos.push_back(data);
    rodape.elementos.push_back(hora);
    rodape.elementos.push_back(pagina);
    r.faixas.push_back(rodape);
    return r;
}

void ImprimeCorreioInterno(Query& comunicacao, const DataSet& correio, const QString& destinatario,
                           const QString& conteudo) {
    const RelCorreioInterno rel =
        montaRelCorreioInterno(leDadosRelCorreio(comunicacao, correio, destinatario, conteudo));
    const SaidaRelCorreioInterno& saida = saidaInstalada();
    if (saida)
        saida(rel);
    else
        saidaPadrao(rel);
}

SaidaRelCorreioInterno instalaSaidaRelCorreioInterno(SaidaRelCorreioInterno saida) {
    SaidaRelCorreioInterno antes = std::move(saidaInstalada());
    saidaInstalada() = std::move(saida);
    return antes;
}
