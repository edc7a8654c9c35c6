#include "reports/GraficoTendencia.h"
#include "data/DataContext.h"
#include "data/Statement.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/report/ReportEngine.h"
#include <QApplication>
#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QDir>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScatterSeries>
#include <QScrollArea>
#include <QSplitter>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace {

const QLocale& ptBR() {
    static const QLocale l(QLocale::Portuguese, QLocale::Brazil);
    return l;
}

const QColor kCorFaixa(0x4C, 0xAF, 0x50, 70);
const QColor kCorLinha(0x1F, 0x4E, 0x9A);
const QColor kCorFora(0xC0, 0x00, 0x00);

qint64 ms(const QDate& d) {
    return QDateTime(d, QTime(12, 0)).toMSecsSinceEpoch();
}

int colunasPara(size_t n) {
    return n <= 1 ? 1 : n <= 8 ? 2 : 3;
}

} // namespace

int SerieTendencia::foraDaFaixa() const {
    if (!faixa) return 0;
    return static_cast<int>(std::count_if(pontos.begin(), pontos.end(), [this](const PontoTendencia& p) {
        return PosicaoNaFaixa(*faixa, p.valor) != PosicaoFaixa::Dentro;
    }));
}

const SerieTendencia* DadosTendencia::serie(int idTpAnalise) const {
    for (const SerieTendencia& s : series)
        if (s.idTpAnalise == idTpAnalise) return &s;
    return nullptr;
}

QString SqlValoresTendencia(int idEquipamentoCli, const QDate& ate, const std::vector<int>& tipos) {
    // The outer join keeps the order of the reads: the equipment's samples by their index, then
    // each sample's results by theirs. With an inner join the optimizer may scan the whole
    // results table first (seconds on a large site). A sample without results gives one row
    // without a type, which the reader skips.
    QString sql = "select ma.dt_coleta, mar.id_tp_analise, mar.vl_resultado from mov_analise_equipamento mae "
                  "inner join mov_analise ma on (ma.id_analise = mae.id_analise) left join "
                  "mov_analise_resultado mar on (mar.id_analise_equipamento = mae.id_analise_equipamento) "
                  "where mae.id_equipamento_cli = " +
                  QString::number(idEquipamentoCli);
    if (ate.isValid()) sql += " and ma.dt_coleta <= '" + ate.toString("dd.MM.yyyy") + "'";
    if (!tipos.empty()) {
        // "+ 0": the type filters the sample's few results; its index would fetch every result
        // of the type on the site for each sample.
        QStringList lista;
        for (int t : tipos)
            lista << QString::number(t);
        sql += " and mar.id_tp_analise + 0 in (" + lista.join(',') + ")";
    }
    return sql + " order by ma.dt_coleta, mae.id_analise_equipamento";
}

namespace {

// Runs a select and hands each row's values (in the order of its columns) to linha. Rows go
// straight from the fetch buffer: a chart reads thousands of values once and keeps none of the
// rows.
void percorre(Database& db, Transaction& tr, const QString& sql,
              const std::function<void(const std::vector<QVariant>&)>& linha) {
    Statement st(&db, &tr);
    st.prepare(sql);
    st.openCursor();
    const RecordLayout& layout = st.outputLayout();
    QByteArray buf(layout.size, '\0');
    std::vector<QVariant> valores(layout.columns.size());
    while (st.fetch(buf.data())) {
        for (size_t i = 0; i < layout.columns.size(); ++i)
            valores[i] = codec::isNull(layout.columns[i], buf.constData())
                             ? QVariant()
                             : codec::decode(layout.columns[i], buf.constData());
        linha(valores);
    }
    st.closeCursor();
    st.free();
}

} // namespace

DadosTendencia LeTendencias(Database& db, Transaction& tr, int idEquipamentoCli, const QDate& ate,
                            const std::vector<int>& tipos) {
    DadosTendencia d;
    d.idEquipamentoCli = idEquipamentoCli;
    tr.ensureActive();
    // The equipment and the analysis types of its type, with their ideal texts.
    std::map<int, size_t> posicao;
    percorre(db, tr,
             "select tec.nm_equipamento, tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal from "
             "tab_equipamento_cli tec left join tab_resultado_ideal tri on (tri.id_tp_equipamento = "
             "tec.id_tp_equipamento) left join tab_tp_analise tta on (tta.id_tp_analise = tri.id_tp_analise) "
             "where tec.id_equipamento_cli = " +
                 QString::number(idEquipamentoCli) + " order by tta.nm_tp_analise",
             [&](const std::vector<QVariant>& v) {
                 d.equipamento = v[0].toString();
                 if (v[1].isNull()) return;
                 const int tp = v[1].toInt();
                 const QString texto = v[3].toString();
                 if (auto it = posicao.find(tp); it != posicao.end()) {
                     // Two ideal texts of one type: the range is in doubt unless both read the same.
                     SerieTendencia& s = d.series[it->second];
                     if (LeFaixaIdeal(texto) != s.faixa) s.faixa.reset();
                     return;
                 }
                 posicao[tp] = d.series.size();
                 d.series.push_back({tp, v[2].toString(), texto, LeFaixaIdeal(texto), {}});
             });
    if (tipos.empty()) {
        std::vector<int> todos;
        for (const SerieTendencia& s : d.series)
            todos.push_back(s.idTpAnalise);
        LeValoresTendencia(db, tr, d, todos, ate);
    } else {
        LeValoresTendencia(db, tr, d, tipos, ate);
    }
    return d;
}

void LeValoresTendencia(Database& db, Transaction& tr, DadosTendencia& d, const std::vector<int>& tipos,
                        const QDate& ate) {
    std::map<int, SerieTendencia*> faltam;
    for (SerieTendencia& s : d.series)
        if (!s.lida && std::find(tipos.begin(), tipos.end(), s.idTpAnalise) != tipos.end())
            faltam[s.idTpAnalise] = &s;
    if (faltam.empty()) return;
    std::vector<int> lista;
    for (const auto& [tipo, s] : faltam)
        lista.push_back(tipo);
    // Every type of the equipment: no filter to write.
    if (lista.size() == d.series.size()) lista.clear();
    tr.ensureActive();
    percorre(db, tr, SqlValoresTendencia(d.idEquipamentoCli, ate, lista),
             [&](const std::vector<QVariant>& v) {
                 if (v[1].isNull() || v[2].isNull()) return;
                 auto it = faltam.find(v[1].toInt());
                 if (it == faltam.end()) return;
                 it->second->pontos.push_back({v[0].toDate(), v[2].toDouble()});
             });
    for (const auto& [tipo, s] : faltam)
        s->lida = true;
}

QChart* MontaGraficoTendencia(const SerieTendencia& s) {
    auto* chart = new QChart;
    chart->setLocale(ptBR());
    chart->setLocalizeNumbers(true);
    chart->setTitle(s.nome + " (ideal: " + s.ideal + ")");
    QFont fonteTitulo = chart->titleFont();
    fonteTitulo.setBold(true);
    chart->setTitleFont(fonteTitulo);
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));

    // Axis extents: every value and every bound, with some room around.
    double lo = 0, hi = 1;
    bool algum = false;
    auto inclui = [&](double v) {
        if (!algum) {
            lo = hi = v;
            algum = true;
        }
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    };
    for (const PontoTendencia& p : s.pontos)
        inclui(p.valor);
    if (s.faixa && s.faixa->minimo) inclui(*s.faixa->minimo);
    if (s.faixa && s.faixa->maximo) inclui(*s.faixa->maximo);
    double folga = (hi - lo) * 0.1;
    if (folga <= 0) folga = std::max(1.0, std::abs(hi) * 0.1);
    const double yMin = lo - folga, yMax = hi + folga;

    QDate primeira = s.pontos.empty() ? QDate::currentDate() : s.pontos.front().coleta;
    QDate ultima = s.pontos.empty() ? QDate::currentDate() : s.pontos.back().coleta;
    const qint64 dias = std::max<qint64>(primeira.daysTo(ultima) / 20, 1);
    primeira = primeira.addDays(-dias);
    ultima = ultima.addDays(dias);

    auto* eixoX = new QDateTimeAxis;
    eixoX->setFormat("dd/MM/yyyy");
    eixoX->setTitleText("Coleta");
    eixoX->setRange(QDateTime(primeira, QTime(0, 0)), QDateTime(ultima, QTime(23, 59)));
    // Few dates under the axis, in a small type, so that a small chart shows them whole.
    eixoX->setTickCount(std::clamp<int>(static_cast<int>(s.pontos.size()), 2, 4));
    QFont fonteRotulos = eixoX->labelsFont();
    fonteRotulos.setPointSizeF(7);
    eixoX->setLabelsFont(fonteRotulos);
    auto* eixoY = new QValueAxis;
    eixoY->setTitleText("Valor");
    eixoY->setRange(yMin, yMax);
    eixoY->applyNiceNumbers();
    eixoY->setLabelFormat(hi - lo >= 100 ? "%.0f" : "%.2f");
    chart->addAxis(eixoX, Qt::AlignBottom);
    chart->addAxis(eixoY, Qt::AlignLeft);

    if (s.faixa) {
        // The band between the bounds; an open side runs to the edge of the axis.
        auto* superior = new QLineSeries(chart);
        auto* inferior = new QLineSeries(chart);
        const double topo = s.faixa->maximo ? *s.faixa->maximo : eixoY->max();
        const double base = s.faixa->minimo ? *s.faixa->minimo : eixoY->min();
        for (const QDate& d : {primeira, ultima}) {
            superior->append(ms(d), topo);
            inferior->append(ms(d), base);
        }
        auto* faixa = new QAreaSeries(superior, inferior);
        faixa->setObjectName("faixaIdeal");
        faixa->setName("Faixa ideal");
        faixa->setColor(kCorFaixa);
        faixa->setBorderColor(kCorFaixa.darker());
        chart->addSeries(faixa);
        faixa->attachAxis(eixoX);
        faixa->attachAxis(eixoY);
    }

    auto* linha = new QLineSeries;
    linha->setObjectName("serieValores");
    linha->setName("Valores");
    linha->setColor(kCorLinha);
    // Each collection a dot while there are few; on a long history the dots cost more to draw
    // than the whole rest of the chart and hide the line.
    linha->setPointsVisible(s.pontos.size() <= 60);
    linha->setMarkerSize(6);
    auto* fora = new QScatterSeries;
    fora->setObjectName("serieForaFaixa");
    fora->setName("Fora da faixa");
    fora->setColor(kCorFora);
    fora->setBorderColor(kCorFora);
    fora->setMarkerSize(11);
    for (const PontoTendencia& p : s.pontos) {
        linha->append(ms(p.coleta), p.valor);
        if (s.faixa && PosicaoNaFaixa(*s.faixa, p.valor) != PosicaoFaixa::Dentro)
            fora->append(ms(p.coleta), p.valor);
    }
    for (QXYSeries* serie : std::initializer_list<QXYSeries*>{linha, fora}) {
        chart->addSeries(serie);
        serie->attachAxis(eixoX);
        serie->attachAxis(eixoY);
    }
    return chart;
}

QImage ImagemTendencias(const std::vector<const SerieTendencia*>& series, const QSizeF& mm, int dpi) {
    const double pxPorMm = dpi / 25.4;
    const QSize tamanho(qRound(mm.width() * pxPorMm), qRound(mm.height() * pxPorMm));
    QImage img(tamanho, QImage::Format_RGB32);
    img.fill(Qt::white);
    if (series.empty()) return img;
    const int colunas = colunasPara(series.size());
    const int linhas = static_cast<int>((series.size() + colunas - 1) / colunas);
    // The charts are laid out at screen size and scaled onto the picture, so their texts keep
    // their proportion to the drawing whatever the resolution.
    const double escala = std::max(1.0, dpi / 96.0);
    const QSizeF celula(tamanho.width() / double(colunas), tamanho.height() / double(linhas));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QGraphicsScene cena;
    for (size_t i = 0; i < series.size(); ++i) {
        QChart* chart = MontaGraficoTendencia(*series[i]);
        cena.addItem(chart);
        const QSizeF logico(celula.width() / escala, celula.height() / escala);
        chart->setGeometry(QRectF(QPointF(0, 0), logico));
        chart->setBackgroundRoundness(0);
        QApplication::sendPostedEvents();
        const QRectF alvo(QPointF((i % colunas) * celula.width(), (i / colunas) * celula.height()), celula);
        cena.render(&p, alvo, QRectF(QPointF(0, 0), logico));
        cena.removeItem(chart);
        delete chart;
    }
    return img;
}

void MontaDocumentoTendencias(ReportEngine& r, const DadosTendencia& d,
                              const std::vector<const SerieTendencia*>& series) {
    r.setCaption(QString::fromUtf8("Gráfico de Tendência"));
    r.setPage(QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
    r.setSource(nullptr);
    ReportBand& b = r.addDetail("QRBandTendencia", 190);
    b.addText("qrlTitulo", {0, 0, 277, 6}, QString::fromUtf8("Gráfico de Tendência"))
        .setFont(reportFont(12, true));
    b.addText("qrlEquipamento", {0, 6.5, 277, 5}, "Equipamento: " + d.equipamento).setFont(reportFont(10));
    QStringList resumo;
    for (const SerieTendencia* s : series)
        resumo << QString::fromUtf8("%1: %2 valores, %3 fora da faixa")
                      .arg(s->nome)
                      .arg(s->pontos.size())
                      .arg(s->foraDaFaixa());
    b.addMemo("qrmResumo", {0, 12, 277, 8}, resumo.join("; ")).setFont(reportFont(8));
    ReportImage& img = b.addImage("imgGraficos", {0, 21, 277, 166});
    img.setImage(ImagemTendencias(series, QSizeF(277, 166), 150));
    img.setFit(ReportImage::Fit::KeepAspect);
}

// ---------------------------------------------------------------- window

TfrmGraficoTendencia::TfrmGraficoTendencia(int idEquipamentoCli, const std::vector<int>& tipos,
                                           QWidget* parent)
    : QDialog(parent) {
    setObjectName("frmGraficoTendencia");
    setWindowTitle(QString::fromUtf8("Gráfico de Tendência"));
    const DataContext& ctx = dataContext();
    if (!ctx.IBSolution || !ctx.IBT_Gen)
        throw AppError(QString::fromUtf8("A conexão com o banco de dados (IBSolution) não está disponível."));
    // The values of the types shown first; the others' when they are ticked.
    m_dados = LeTendencias(*ctx.IBSolution, *ctx.IBT_Gen, idEquipamentoCli, {}, tipos);

    auto* lay = new QVBoxLayout(this);
    lblEquipamento = new QLabel("Equipamento: " + m_dados.equipamento, this);
    lblEquipamento->setObjectName("lblEquipamento");
    QFont negrito = lblEquipamento->font();
    negrito.setBold(true);
    lblEquipamento->setFont(negrito);
    lay->addWidget(lblEquipamento);

    auto* divisao = new QSplitter(this);
    lstTipos = new QListWidget(divisao);
    lstTipos->setObjectName("lstTipos");
    lstTipos->setToolTip(QString::fromUtf8("Marque os tipos de análise a mostrar, cada um em seu gráfico"));
    for (const SerieTendencia& s : m_dados.series) {
        auto* item = new QListWidgetItem(s.nome, lstTipos);
        item->setData(Qt::UserRole, s.idTpAnalise);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        const bool marcado =
            tipos.empty() || std::find(tipos.begin(), tipos.end(), s.idTpAnalise) != tipos.end();
        item->setCheckState(marcado ? Qt::Checked : Qt::Unchecked);
    }
    auto* rolagem = new QScrollArea(divisao);
    rolagem->setWidgetResizable(true);
    m_area = new QWidget;
    m_area->setObjectName("areaGraficos");
    m_grade = new QGridLayout(m_area);
    rolagem->setWidget(m_area);
    divisao->addWidget(lstTipos);
    divisao->addWidget(rolagem);
    divisao->setStretchFactor(1, 1);
    divisao->setSizes({220, 780});
    lay->addWidget(divisao, 1);

    btnSalvarPng = new QPushButton("Salvar PNG", this);
    btnSalvarPng->setObjectName("btnSalvarPng");
    btnSalvarPdf = new QPushButton("Salvar PDF", this);
    btnSalvarPdf->setObjectName("btnSalvarPdf");
    btnImprimir = new QPushButton("Imprimir", this);
    btnImprimir->setObjectName("btnImprimir");
    btnFechar = new QPushButton("Fechar", this);
    btnFechar->setObjectName("btnFechar");
    auto* botoes = new QHBoxLayout;
    for (QPushButton* b : {btnSalvarPng, btnSalvarPdf, btnImprimir}) {
        b->setAutoDefault(false);
        botoes->addWidget(b);
    }
    botoes->addStretch();
    btnFechar->setAutoDefault(false);
    botoes->addWidget(btnFechar);
    lay->addLayout(botoes);
    connect(btnSalvarPng, &QPushButton::clicked, this, [this] { guarded([this] { btnSalvarPngClick(); }); });
    connect(btnSalvarPdf, &QPushButton::clicked, this, [this] { guarded([this] { btnSalvarPdfClick(); }); });
    connect(btnImprimir, &QPushButton::clicked, this, [this] { guarded([this] { btnImprimirClick(); }); });
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);
    connect(lstTipos, &QListWidget::itemChanged, this, [this] { guarded([this] { mostraGraficos(); }); });
    mostraGraficos();
    resize(1000, 640);
}

std::vector<const SerieTendencia*> TfrmGraficoTendencia::escolhidas() const {
    std::vector<const SerieTendencia*> out;
    for (int i = 0; i < lstTipos->count(); ++i)
        if (lstTipos->item(i)->checkState() == Qt::Checked)
            if (const SerieTendencia* s = m_dados.serie(lstTipos->item(i)->data(Qt::UserRole).toInt()))
                out.push_back(s);
    return out;
}

std::vector<QChart*> TfrmGraficoTendencia::graficos() const {
    std::vector<QChart*> out;
    for (QChartView* v : m_vistas)
        out.push_back(v->chart());
    return out;
}

void TfrmGraficoTendencia::mostraGraficos() {
    for (QChartView* v : m_vistas)
        delete v;
    m_vistas.clear();
    std::vector<int> marcados;
    for (int i = 0; i < lstTipos->count(); ++i)
        if (lstTipos->item(i)->checkState() == Qt::Checked)
            marcados.push_back(lstTipos->item(i)->data(Qt::UserRole).toInt());
    const DataContext& ctx = dataContext();
    LeValoresTendencia(*ctx.IBSolution, *ctx.IBT_Gen, m_dados, marcados);
    const auto series = escolhidas();
    const int colunas = colunasPara(series.size());
    for (size_t i = 0; i < series.size(); ++i) {
        auto* vista = new QChartView(MontaGraficoTendencia(*series[i]), m_area);
        vista->setObjectName("grafico" + QString::number(series[i]->idTpAnalise));
        vista->setRenderHint(QPainter::Antialiasing);
        vista->setMinimumSize(series.size() == 1 ? QSize(600, 400) : QSize(360, 240));
        m_grade->addWidget(vista, static_cast<int>(i) / colunas, static_cast<int>(i) % colunas);
        m_vistas.push_back(vista);
    }
    const bool algum = !series.empty();
    for (QPushButton* b : {btnSalvarPng, btnSalvarPdf, btnImprimir})
        b->setEnabled(algum);
}

namespace {

QString inicioArquivo(const QString& equipamento, const char* extensao) {
    QString nome = QString::fromUtf8("Tendência ") + equipamento;
    nome.replace(QRegularExpression(R"([\\/:*?"<>|])"), "-");
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + '/' + nome + extensao;
}

} // namespace

void TfrmGraficoTendencia::btnSalvarPngClick() {
    QString arquivo =
        dialogs().saveFile("Salvar como PNG", inicioArquivo(m_dados.equipamento, ".png"), "Imagem PNG|*.png");
    if (arquivo.isEmpty()) return;
    if (!arquivo.endsWith(".png", Qt::CaseInsensitive)) arquivo += ".png";
    const auto series = escolhidas();
    const int colunas = colunasPara(series.size());
    const int linhas = static_cast<int>((series.size() + colunas - 1) / colunas);
    // Each small chart as large as it is on the screen, at twice the screen's resolution, the
    // picture at most 6000 pixels high (forty charts).
    const QSizeF mm(colunas * 120.0, linhas * 80.0);
    const int dpi = std::clamp(static_cast<int>(6000 / (mm.height() / 25.4)), 96, 192);
    const QImage img = ImagemTendencias(series, mm, dpi);
    if (!img.save(arquivo, "PNG"))
        throw AppError(QString::fromUtf8("Não foi possível gravar o arquivo ") +
                       QDir::toNativeSeparators(arquivo));
}

void TfrmGraficoTendencia::btnSalvarPdfClick() {
    QString arquivo = dialogs().saveFile("Salvar como PDF", inicioArquivo(m_dados.equipamento, ".pdf"),
                                         "Arquivo PDF|*.pdf");
    if (arquivo.isEmpty()) return;
    if (!arquivo.endsWith(".pdf", Qt::CaseInsensitive)) arquivo += ".pdf";
    ReportEngine r;
    MontaDocumentoTendencias(r, m_dados, escolhidas());
    r.writePdf(arquivo);
}

void TfrmGraficoTendencia::btnImprimirClick() {
    ReportEngine r;
    MontaDocumentoTendencias(r, m_dados, escolhidas());
    r.preview();
}
