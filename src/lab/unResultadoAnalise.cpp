#include "lab/unResultadoAnalise.h"
#include "data/DataContext.h"
#include "data/SqlText.h"
#include "lab/CalculoGrade.h"
#include "lab/GradeDigitacao.h"
#include "lab/GravacaoResultados.h"
#include "lab/MarcaFaixaResultado.h"
#include "lab/ResultadosCalculados.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/IconePadrao.h"
#include "reports/GraficoTendencia.h"
#include "screens/controls/DBGrid.h"
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <map>
#include <set>

namespace {

// The values of a sample, and of the previous collection, share one statement up to "where 1=1 ".
const char* const kValores =
    "select mae.id_analise, mar.id_analise_resultado, mae.id_analise_equipamento, mar.id_tp_analise, "
    "ma.id_tp_equipamento, mar.vl_resultado from mov_analise_equipamento mae inner join "
    "mov_analise_resultado mar "
    "on mar.id_analise_equipamento = mae.id_analise_equipamento inner join mov_analise ma on ma.id_analise = "
    "mae.id_analise where 1=1 ";

// The value of each analysis type in the first row that holds it.
std::map<int, QVariant> valoresPorTipo(Database& db, Transaction& tr, const QString& sqlText) {
    std::map<int, QVariant> out;
    Query q(&db, &tr, "IBQ_Valores");
    q.setSqlText(sqlText);
    q.open();
    q.fetchAll();
    Field* tipo = q.fieldByName("ID_TP_ANALISE");
    Field* valor = q.fieldByName("VL_RESULTADO");
    for (int r = 0; r < q.recordCount(); ++r)
        out.emplace(q.valueAt(r, tipo).toInt(), q.valueAt(r, valor));
    q.close();
    return out;
}

// Enter in the grid goes to the next row (after storing a value being typed), except on the last.
using GradeResultados = GradeDigitacao;

} // namespace

std::vector<LinhaResultado> LeTiposAnalise(Database& db, Transaction& tr, int idTpEquipamento) {
    std::vector<LinhaResultado> linhas;
    tr.ensureActive();
    Query tipos(&db, &tr, "IBQ_TiposAnalise");
    tipos.setSqlText(
        "select tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal from tab_resultado_ideal "
        "tri join tab_tp_analise tta on tta.id_tp_analise = tri.id_tp_analise where "
        "tri.id_tp_equipamento = " +
        QString::number(idTpEquipamento) + " order by tta.nm_tp_analise");
    tipos.open();
    tipos.fetchAll();
    Field* id = tipos.fieldByName("ID_TP_ANALISE");
    Field* nome = tipos.fieldByName("NM_TP_ANALISE");
    Field* ideal = tipos.fieldByName("DS_RESULTADO_IDEAL");
    std::set<int> vistos;
    for (int r = 0; r < tipos.recordCount(); ++r) {
        const int tp = tipos.valueAt(r, id).toInt();
        // An analysis type entered twice for the equipment type is one row: a sample has one
        // value per type.
        if (!vistos.insert(tp).second) continue;
        linhas.push_back({tp, tipos.valueAt(r, nome).toString(), tipos.valueAt(r, ideal).toString(), {}, {}});
    }
    tipos.close();
    return linhas;
}

std::vector<LinhaResultado> LeResultados(Database& db, Transaction& tr, int idTpEquipamento,
                                         int idAnaliseEquipamento, int idAnaliseAnterior,
                                         int idEquipamentoCli) {
    std::vector<LinhaResultado> linhas = LeTiposAnalise(db, tr, idTpEquipamento);
    if (linhas.empty()) return linhas;

    if (idAnaliseAnterior != 0) {
        // The equipment's sample in the previous analysis first, then its values by the sample's
        // key: a plan that reads a handful of rows whatever the size of the results table.
        Query anterior(&db, &tr, "IBQ_AmostraAnterior");
        anterior.setSqlText(
            "select mae.id_analise_equipamento from mov_analise_equipamento mae where mae.id_analise = " +
            QString::number(idAnaliseAnterior) + " and mae.id_equipamento_cli = " +
            QString::number(idEquipamentoCli) + " order by mae.id_analise_equipamento desc");
        anterior.open();
        const QVariant amostraAnterior = anterior.isEmpty() ? QVariant() : anterior.field(0)->value();
        anterior.close();
        if (!amostraAnterior.isNull()) {
            const auto anteriores =
                valoresPorTipo(db, tr,
                               QString::fromLatin1(kValores) + " and mae.id_analise_equipamento = " +
                                   QString::number(amostraAnterior.toInt()));
            for (LinhaResultado& l : linhas)
                if (auto it = anteriores.find(l.idTpAnalise); it != anteriores.end()) l.anterior = it->second;
        }
    }
    const auto atuais = valoresPorTipo(db, tr,
                                       QString::fromLatin1(kValores) + " and mae.id_analise_equipamento = " +
                                           QString::number(idAnaliseEquipamento));
    for (LinhaResultado& l : linhas)
        if (auto it = atuais.find(l.idTpAnalise); it != atuais.end()) l.atual = it->second;
    return linhas;
}

TfrmResultadoAnalise::TfrmResultadoAnalise(QWidget* parent) : QDialog(parent) {
    setObjectName("frmResultadoAnalise");
    setWindowTitle(QString::fromUtf8("Resultado das Análises"));
    setModal(true);
    cdsResultado.addFieldDef("ID_ANALISE_RESULTADO", FieldKind::Integer);
    cdsResultado.addFieldDef("ID_ANALISE_EQUIPAMENTO", FieldKind::Integer);
    cdsResultado.addFieldDef("ID_TP_ANALISE", FieldKind::Integer);
    cdsResultado.addFieldDef("TIPO_ANALISE", FieldKind::String, 100);
    cdsResultado.addFieldDef("RESULTADO_IDEAL", FieldKind::String, 100);
    cdsResultado.addFieldDef("RESULTADO_ANTERIOR", FieldKind::BCD);
    cdsResultado.addFieldDef("VL_RESULTADO", FieldKind::BCD);
    cdsResultado.defineField("TIPO_ANALISE").displayLabel = QString::fromUtf8("Tipo de Análise");
    cdsResultado.defineField("RESULTADO_IDEAL").displayLabel = "Resultado Ideal";
    FieldDef& anterior = cdsResultado.defineField("RESULTADO_ANTERIOR");
    anterior.displayLabel = "Resultado Anterior";
    anterior.displayFormat = "###,##0.00";
    FieldDef& atual = cdsResultado.defineField("VL_RESULTADO");
    atual.displayLabel = "Resultado Atual";
    atual.displayFormat = "###,##0.00";
    dsResultado.setDataSet(&cdsResultado);

    auto* lay = new QVBoxLayout(this);
    lblEquipamento = new QLabel("Equipamento: ", this);
    lblEquipamento->setObjectName("lblEquipamento");
    QFont negrito = lblEquipamento->font();
    negrito.setBold(true);
    lblEquipamento->setFont(negrito);
    lay->addWidget(lblEquipamento);
    DBGrid1 = new GradeResultados(this, &dsResultado, "DBGrid1");
    const Qt::Alignment centro = Qt::AlignHCenter | Qt::AlignVCenter;
    DBGrid1->setColumns({{"TIPO_ANALISE", QString::fromUtf8("Tipo de Análise"), 232, true},
                         {"RESULTADO_IDEAL", "Resultado Ideal", 215, true},
                         {"RESULTADO_ANTERIOR", "Resultado Anterior", 125, true, centro},
                         {"VL_RESULTADO", "Resultado Atual", 125, false, centro}});
    DBGrid1->setReadOnly(false);
    m_calculo = std::make_unique<CalculoGrade>();
    m_calculo->instala(DBGrid1, &cdsResultado, "ID_TP_ANALISE", {"VL_RESULTADO"}, {3});
    static_cast<GradeResultados*>(DBGrid1)->aposEdicao = [this] { m_calculo->recalcula(); };
    marcaFaixa = new MarcaFaixaResultado(DBGrid1, "RESULTADO_IDEAL", "VL_RESULTADO");
    // A double click on a row opens its chart; on the current value it types the value.
    DBGrid1->onDblClick = [this] {
        if (DBGrid1->currentIndex().isValid() && DBGrid1->currentIndex().column() != 3) btnGraficoClick();
    };
    lay->addWidget(DBGrid1, 1);
    btnSalvar = new QPushButton("Salvar", this);
    btnSalvar->setObjectName("btnSalvar");
    btnSalvar->setIcon(iconePadrao(QStyle::SP_DialogSaveButton));
    btnCancelar = new QPushButton("Cancelar", this);
    btnCancelar->setObjectName("btnCancelar");
    btnCancelar->setIcon(iconePadrao(QStyle::SP_DialogCancelButton));
    btnGrafico = new QPushButton(QString::fromUtf8("Gráfico"), this);
    btnGrafico->setObjectName("btnGrafico");
    btnGrafico->setToolTip(
        QString::fromUtf8("Tendência do tipo de análise da linha em todas as coletas do equipamento"));
    for (QPushButton* b : {btnSalvar, btnCancelar, btnGrafico}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(btnGrafico);
    botoes->addStretch();
    botoes->addWidget(btnSalvar);
    botoes->addWidget(btnCancelar);
    lay->addLayout(botoes);
    connect(btnSalvar, &QPushButton::clicked, this, [this] { guarded([this] { btnSalvarClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this, [this] { guarded([this] { btnCancelarClick(); }); });
    connect(btnGrafico, &QPushButton::clicked, this, [this] { guarded([this] { btnGraficoClick(); }); });
    resize(760, 480);
}

TfrmResultadoAnalise::~TfrmResultadoAnalise() = default;

void TfrmResultadoAnalise::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    // Read once: a message box shown over the window must not bring back the values read.
    if (m_carregado) return;
    m_carregado = true;
    if (!guarded([this] { CarregaResultados(); })) return;
    DBGrid1->setFocus();
    if (cdsResultado.recordCount() > 0) DBGrid1->setCurrentIndex(DBGrid1->model()->index(0, 3));
}

void TfrmResultadoAnalise::CarregaResultados() {
    const DataContext& ctx = dataContext();
    {
        ControlsDisabled quiet(cdsResultado);
        cdsResultado.createDataSet();
        const std::vector<LinhaResultado> linhas =
            LeResultados(*ctx.IBSolution, *ctx.IBT_Gen, IidTpEquipamento, IidAnaliseEquipamento,
                         IidAnaliseAnterior, IidEquipamentoCli);
        m_lidos.clear();
        for (const LinhaResultado& l : linhas)
            m_lidos.push_back(l.atual);
        for (const LinhaResultado& l : linhas) {
            cdsResultado.append();
            cdsResultado.fieldByName("ID_ANALISE_EQUIPAMENTO")->setValue(IidAnaliseEquipamento);
            cdsResultado.fieldByName("ID_TP_ANALISE")->setValue(l.idTpAnalise);
            cdsResultado.fieldByName("TIPO_ANALISE")->setValue(l.tipoAnalise);
            cdsResultado.fieldByName("RESULTADO_IDEAL")->setValue(l.resultadoIdeal);
            cdsResultado.fieldByName("RESULTADO_ANTERIOR")->setValue(l.anterior);
            cdsResultado.fieldByName("VL_RESULTADO")->setValue(l.atual);
            cdsResultado.post();
        }
        cdsResultado.first();
    }
    m_calculo->carrega(*ctx.IBSolution, *ctx.IBT_Gen);
    m_calculo->recalcula();
    cdsResultado.first();

    Query q(ctx.IBSolution, ctx.IBT_Gen, "IBQ_Equipamento");
    ctx.IBT_Gen->ensureActive();
    q.setSqlText("select tec.id_equipamento_cli, tec.nm_equipamento from tab_equipamento_cli tec  where "
                 "tec.id_tp_equipamento = " +
                 QString::number(IidTpEquipamento) +
                 " and tec.id_equipamento_cli = " + QString::number(IidEquipamentoCli));
    q.open();
    lblEquipamento->setText("Equipamento: " + q.fieldByName("NM_EQUIPAMENTO")->asString());
    q.close();
}

void TfrmResultadoAnalise::btnSalvarClick() {
    // A value still being typed in the grid is stored first.
    static_cast<GradeResultados*>(DBGrid1)->confirmaEdicao();
    if (cdsResultado.editing()) cdsResultado.post();
    // Only what changed is written, in one transaction: a failure leaves the sample as it was.
    std::vector<CelulaResultado> celulas;
    Field* tipo = cdsResultado.fieldByName("ID_TP_ANALISE");
    Field* nome = cdsResultado.fieldByName("TIPO_ANALISE");
    Field* valor = cdsResultado.fieldByName("VL_RESULTADO");
    const QString equipamento = lblEquipamento->text().mid(QStringLiteral("Equipamento: ").size());
    for (int r = 0; r < cdsResultado.recordCount(); ++r)
        celulas.push_back(
            {IidAnaliseEquipamento, cdsResultado.valueAt(r, tipo).toInt(),
             r < static_cast<int>(m_lidos.size()) ? m_lidos[static_cast<size_t>(r)] : QVariant(),
             cdsResultado.valueAt(r, valor), equipamento + " / " + cdsResultado.valueAt(r, nome).toString()});
    GravacaoResultados(*dataContext().IBSolution).grava(celulas);
    accept();
}

void TfrmResultadoAnalise::btnCancelarClick() {
    reject();
}

void TfrmResultadoAnalise::btnGraficoClick() {
    // The chart shows what is stored: values typed and not saved are not in it yet.
    const int tipo = cdsResultado.active() && !cdsResultado.isEmpty()
                         ? cdsResultado.fieldByName("ID_TP_ANALISE")->asInteger()
                         : 0;
    TfrmGraficoTendencia frm(IidEquipamentoCli, tipo ? std::vector<int>{tipo} : std::vector<int>{}, this);
    execModal(frm);
}
