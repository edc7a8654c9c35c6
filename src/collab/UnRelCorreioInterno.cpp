#include "collab/UnRelCorreioInterno.h"
#include "data/Query.h"
#include "platform/Dialogs.h"

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

// The default output until the preview of the band report is connected: the user is told, and
// nothing is printed.
void saidaPadrao(const RelCorreioInterno&) {
    warn(QStringLiteral("A impressão do Correio Interno ainda não está disponível nesta versão."));
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
