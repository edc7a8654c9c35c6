#include "lab/UnResultadosTodasAmostras.h"
#include "data/DataContext.h"
#include "lab/CalculoGrade.h"
#include "lab/GradeDigitacao.h"
#include "lab/GravacaoResultados.h"
#include "lab/MarcaFaixaResultado.h"
#include "lab/unResultadoAnalise.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/IconePadrao.h"
#include "screens/controls/DBGrid.h"
#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

namespace {

QString listaChaves(const std::vector<int>& chaves) {
    QStringList t;
    for (int k : chaves)
        t << QString::number(k);
    return t.join(',');
}

// The previous collection's values: shown beside the current ones, never typed.
class DelegateAnterior : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->backgroundBrush = QColor(0xEE, 0xEE, 0xEE);
        option->palette.setColor(QPalette::Text, QColor(0x80, 0x80, 0x80));
        option->palette.setColor(QPalette::HighlightedText, QColor(0x80, 0x80, 0x80));
        option->palette.setColor(QPalette::Highlight, QColor(0xDD, 0xDD, 0xDD));
    }
};

// Enter goes down the column (after storing a value being typed), Tab across to the next
// sample's value; the previous values are skipped.
class GradeTodasAmostras : public GradeDigitacao {
public:
    using GradeDigitacao::GradeDigitacao;

protected:
    QModelIndex moveCursor(CursorAction acao, Qt::KeyboardModifiers mods) override {
        if (acao != MoveNext && acao != MovePrevious) return GradeDigitacao::moveCursor(acao, mods);
        const QModelIndex atual = currentIndex();
        const int linhas = model()->rowCount(), colunas = model()->columnCount();
        if (!atual.isValid() || linhas == 0) return atual;
        // The editable cells in reading order; Tab goes to the next one, Shift+Tab back.
        int r = atual.row(), c = atual.column();
        for (int passo = 0; passo < linhas * colunas; ++passo) {
            if (acao == MoveNext) {
                if (++c >= colunas) {
                    c = 0;
                    if (++r >= linhas) return atual;
                }
            } else {
                if (--c < 0) {
                    c = colunas - 1;
                    if (--r < 0) return atual;
                }
            }
            const QModelIndex i = model()->index(r, c);
            if (model()->flags(i) & Qt::ItemIsEditable) return i;
        }
        return atual;
    }
};

} // namespace

DadosGradeResultados LeGradeResultados(Database& db, Transaction& tr, int idAnalise) {
    DadosGradeResultados d;
    tr.ensureActive();
    Query analise(&db, &tr, "IBQ_Analise");
    analise.setSqlText("select ma.id_tp_equipamento from mov_analise ma where ma.id_analise = " +
                       QString::number(idAnalise));
    analise.open();
    const int tipoEquipamento = analise.isEmpty() ? 0 : analise.field(0)->asInteger();
    analise.close();

    for (const LinhaResultado& l : LeTiposAnalise(db, tr, tipoEquipamento)) {
        d.tipos.push_back(l.idTpAnalise);
        d.nomesTipos.push_back(l.tipoAnalise);
        d.ideais.push_back(l.resultadoIdeal);
    }

    // The samples in key order, each with the same equipment's sample at its latest earlier
    // collection.
    Query amostras(&db, &tr, "IBQ_Amostras");
    amostras.setSqlText(
        "select mae.id_analise_equipamento, tec.nm_equipamento, (select first 1 p.id_analise_equipamento "
        "from mov_analise_equipamento p inner join mov_analise pa on pa.id_analise = p.id_analise where "
        "p.id_equipamento_cli = mae.id_equipamento_cli and pa.dt_coleta < ma.dt_coleta order by pa.dt_coleta "
        "desc, p.id_analise_equipamento desc) as anterior from mov_analise_equipamento mae inner join "
        "mov_analise ma on ma.id_analise = mae.id_analise left join tab_equipamento_cli tec on "
        "tec.id_equipamento_cli = mae.id_equipamento_cli where mae.id_analise = " +
        QString::number(idAnalise) + " order by mae.id_analise_equipamento");
    amostras.open();
    amostras.fetchAll();
    for (int r = 0; r < amostras.recordCount(); ++r)
        d.amostras.push_back({amostras.valueAt(r, amostras.field(0)).toInt(),
                              amostras.valueAt(r, amostras.field(1)).toString(),
                              amostras.valueAt(r, amostras.field(2)).toInt()});
    amostras.close();

    d.atuais.assign(d.tipos.size(), std::vector<QVariant>(d.amostras.size()));
    d.anteriores = d.atuais;
    if (d.tipos.empty() || d.amostras.empty()) return d;

    // Every value of the samples and of their previous ones in one read; the first row of a
    // sample and type is its value.
    std::map<int, int> linhaTipo;
    for (size_t t = 0; t < d.tipos.size(); ++t)
        linhaTipo.emplace(d.tipos[t], static_cast<int>(t));
    std::map<int, std::vector<std::pair<int, bool>>> destino; // sample -> (column, previous?)
    std::vector<int> chaves;
    for (size_t a = 0; a < d.amostras.size(); ++a) {
        destino[d.amostras[a].idAnaliseEquipamento].push_back({static_cast<int>(a), false});
        chaves.push_back(d.amostras[a].idAnaliseEquipamento);
        if (d.amostras[a].idAmostraAnterior != 0) {
            destino[d.amostras[a].idAmostraAnterior].push_back({static_cast<int>(a), true});
            chaves.push_back(d.amostras[a].idAmostraAnterior);
        }
    }
    Query valores(&db, &tr, "IBQ_Valores");
    valores.setSqlText("select mar.id_analise_equipamento, mar.id_tp_analise, mar.vl_resultado from "
                       "mov_analise_resultado mar where mar.id_analise_equipamento in (" +
                       listaChaves(chaves) + ") order by mar.id_analise_resultado");
    valores.open();
    valores.fetchAll();
    std::vector<std::vector<bool>> vistoAtual(d.tipos.size(), std::vector<bool>(d.amostras.size()));
    auto vistoAnterior = vistoAtual;
    for (int r = 0; r < valores.recordCount(); ++r) {
        const auto t = linhaTipo.find(valores.valueAt(r, valores.field(1)).toInt());
        if (t == linhaTipo.end()) continue;
        const auto alvo = destino.find(valores.valueAt(r, valores.field(0)).toInt());
        if (alvo == destino.end()) continue;
        const QVariant v = valores.valueAt(r, valores.field(2));
        for (const auto& [coluna, anterior] : alvo->second) {
            auto& visto = anterior ? vistoAnterior : vistoAtual;
            auto& alvoValores = anterior ? d.anteriores : d.atuais;
            const auto ti = static_cast<size_t>(t->second), ci = static_cast<size_t>(coluna);
            if (visto[ti][ci]) continue;
            visto[ti][ci] = true;
            alvoValores[ti][ci] = v;
        }
    }
    valores.close();
    return d;
}

TfrmResultadosTodasAmostras::TfrmResultadosTodasAmostras(QWidget* parent) : QDialog(parent) {
    setObjectName("frmResultadosTodasAmostras");
    setWindowTitle("Resultados de Todas as Amostras");
    setModal(true);
    dsGrade.setDataSet(&cdsGrade);
    auto* lay = new QVBoxLayout(this);
    lblAnalise = new QLabel(this);
    lblAnalise->setObjectName("lblAnalise");
    QFont negrito = lblAnalise->font();
    negrito.setBold(true);
    lblAnalise->setFont(negrito);
    lay->addWidget(lblAnalise);
    dbgResultados = new GradeTodasAmostras(this, &dsGrade, "dbgResultados");
    m_calculo = std::make_unique<CalculoGrade>();
    static_cast<GradeTodasAmostras*>(dbgResultados)->aposEdicao = [this] { m_calculo->recalcula(); };
    lay->addWidget(dbgResultados, 1);
    btnSalvar = new QPushButton("Salvar", this);
    btnSalvar->setObjectName("btnSalvar");
    btnSalvar->setIcon(iconePadrao(QStyle::SP_DialogSaveButton));
    btnCancelar = new QPushButton("Cancelar", this);
    btnCancelar->setObjectName("btnCancelar");
    btnCancelar->setIcon(iconePadrao(QStyle::SP_DialogCancelButton));
    for (QPushButton* b : {btnSalvar, btnCancelar}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(btnSalvar);
    botoes->addWidget(btnCancelar);
    lay->addLayout(botoes);
    connect(btnSalvar, &QPushButton::clicked, this, [this] { guarded([this] { btnSalvarClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this, [this] { guarded([this] { btnCancelarClick(); }); });
    resize(980, 560);
}

TfrmResultadosTodasAmostras::~TfrmResultadosTodasAmostras() = default;

void TfrmResultadosTodasAmostras::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_carregado) return;
    m_carregado = true;
    if (!guarded([this] { CarregaResultados(); })) return;
    dbgResultados->setFocus();
    if (cdsGrade.recordCount() > 0 && !m_dados.amostras.empty())
        dbgResultados->setCurrentIndex(dbgResultados->model()->index(0, colunaAtual(0)));
}

void TfrmResultadosTodasAmostras::CarregaResultados() {
    const DataContext& ctx = dataContext();
    m_dados = LeGradeResultados(*ctx.IBSolution, *ctx.IBT_Gen, IidAnalise);

    Query q(ctx.IBSolution, ctx.IBT_Gen, "IBQ_Cabecalho");
    q.setSqlText("select ma.dt_coleta, cp.nm_pesquisa from mov_analise ma left join cad_pessoa cp on "
                 "cp.id_pessoa = ma.id_cliente where ma.id_analise = " +
                 QString::number(IidAnalise));
    q.open();
    if (!q.isEmpty())
        lblAnalise->setText(QString::fromUtf8("Análise de ") +
                            QLocale(QLocale::Portuguese, QLocale::Brazil)
                                .toString(q.field(0)->asDate(), QStringLiteral("dd/MM/yyyy")) +
                            " - " + q.field(1)->asString());
    q.close();

    {
        ControlsDisabled quiet(cdsGrade);
        cdsGrade.close();
        cdsGrade.clearFieldDefs();
        cdsGrade.addFieldDef("ID_TP_ANALISE", FieldKind::Integer);
        cdsGrade.addFieldDef("TIPO_ANALISE", FieldKind::String, 100);
        cdsGrade.addFieldDef("RESULTADO_IDEAL", FieldKind::String, 100);
        std::vector<DBGridColumn> colunas{{"TIPO_ANALISE", QString::fromUtf8("Tipo de Análise"), 200, true},
                                          {"RESULTADO_IDEAL", "Resultado Ideal", 130, true}};
        const Qt::Alignment centro = Qt::AlignHCenter | Qt::AlignVCenter;
        for (size_t a = 0; a < m_dados.amostras.size(); ++a) {
            const QString vl = QStringLiteral("VL_%1").arg(a), ant = QStringLiteral("ANT_%1").arg(a);
            cdsGrade.addFieldDef(vl, FieldKind::BCD);
            cdsGrade.addFieldDef(ant, FieldKind::BCD);
            FieldDef& fv = cdsGrade.defineField(vl);
            fv.displayLabel = "Resultado Atual";
            fv.displayFormat = "###,##0.00";
            FieldDef& fa = cdsGrade.defineField(ant);
            fa.displayLabel = "Resultado Anterior";
            fa.displayFormat = "###,##0.00";
            // The heading (sample number and equipment) shows whole.
            const QString titulo =
                QStringLiteral("%1 - %2").arg(a + 1).arg(m_dados.amostras[a].nomeEquipamento);
            QFont negrito = dbgResultados->horizontalHeader()->font();
            negrito.setBold(true);
            const int largura = std::max(110, QFontMetrics(negrito).horizontalAdvance(titulo) + 24);
            colunas.push_back({vl, titulo, largura, false, centro});
            colunas.push_back({ant, "Anterior", 80, true, centro});
        }
        cdsGrade.createDataSet();
        Field* tipo = cdsGrade.fieldByName("ID_TP_ANALISE");
        Field* nome = cdsGrade.fieldByName("TIPO_ANALISE");
        Field* ideal = cdsGrade.fieldByName("RESULTADO_IDEAL");
        std::vector<Field*> atuais, anteriores;
        for (size_t a = 0; a < m_dados.amostras.size(); ++a) {
            atuais.push_back(cdsGrade.fieldByName(QStringLiteral("VL_%1").arg(a)));
            anteriores.push_back(cdsGrade.fieldByName(QStringLiteral("ANT_%1").arg(a)));
        }
        for (size_t t = 0; t < m_dados.tipos.size(); ++t) {
            cdsGrade.append();
            tipo->setValue(m_dados.tipos[t]);
            nome->setValue(m_dados.nomesTipos[t]);
            ideal->setValue(m_dados.ideais[t]);
            for (size_t a = 0; a < m_dados.amostras.size(); ++a) {
                atuais[a]->setValue(m_dados.atuais[t][a]);
                anteriores[a]->setValue(m_dados.anteriores[t][a]);
            }
            cdsGrade.post();
        }
        cdsGrade.first();
        dbgResultados->setColumns(colunas);
    }
    dbgResultados->setReadOnly(false);
    // Each sample's values are marked when outside the range of their row's ideal result.
    for (size_t a = 0; a < m_dados.amostras.size(); ++a)
        dbgResultados->setItemDelegateForColumn(
            colunaAtual(static_cast<int>(a)),
            new MarcaFaixaResultado(dbgResultados, "RESULTADO_IDEAL", QStringLiteral("VL_%1").arg(a)));
    auto* delegate = new DelegateAnterior(dbgResultados);
    for (size_t a = 0; a < m_dados.amostras.size(); ++a)
        dbgResultados->setItemDelegateForColumn(colunaAnterior(static_cast<int>(a)), delegate);
    // Calculated types: read-only cells, computed down each sample's column as it is typed.
    QStringList campos;
    std::vector<int> colunasValor;
    for (size_t a = 0; a < m_dados.amostras.size(); ++a) {
        campos << QStringLiteral("VL_%1").arg(a);
        colunasValor.push_back(colunaAtual(static_cast<int>(a)));
    }
    m_calculo->instala(dbgResultados, &cdsGrade, "ID_TP_ANALISE", campos, colunasValor);
    m_calculo->carrega(*ctx.IBSolution, *ctx.IBT_Gen);
    m_calculo->recalcula();
    cdsGrade.first();
}

std::vector<CelulaResultado> TfrmResultadosTodasAmostras::celulas() {
    static_cast<GradeTodasAmostras*>(dbgResultados)->confirmaEdicao();
    if (cdsGrade.editing()) cdsGrade.post();
    std::vector<CelulaResultado> out;
    std::vector<Field*> atuais;
    for (size_t a = 0; a < m_dados.amostras.size(); ++a)
        atuais.push_back(cdsGrade.fieldByName(QStringLiteral("VL_%1").arg(a)));
    for (int r = 0; r < cdsGrade.recordCount() && r < static_cast<int>(m_dados.tipos.size()); ++r) {
        const auto t = static_cast<size_t>(r);
        for (size_t a = 0; a < m_dados.amostras.size(); ++a)
            out.push_back({m_dados.amostras[a].idAnaliseEquipamento, m_dados.tipos[t], m_dados.atuais[t][a],
                           cdsGrade.valueAt(r, atuais[a]),
                           QStringLiteral("%1 - %2 / %3")
                               .arg(a + 1)
                               .arg(m_dados.amostras[a].nomeEquipamento, m_dados.nomesTipos[t])});
    }
    return out;
}

bool TfrmResultadosTodasAmostras::haAlteracoes() {
    for (const CelulaResultado& c : celulas())
        if (c.alterada()) return true;
    return false;
}

void TfrmResultadosTodasAmostras::btnSalvarClick() {
    GravacaoResultados(*dataContext().IBSolution).grava(celulas());
    accept();
}

void TfrmResultadosTodasAmostras::reject() {
    bool fecha = false;
    guarded([&] {
        if (cdsGrade.active() && haAlteracoes()) {
            const MsgAnswer a = ask("Salvar alterações ?", MsgButtons::YesNoCancel, MsgAnswer::Yes);
            if (a == MsgAnswer::Cancel) return;
            if (a == MsgAnswer::Yes) GravacaoResultados(*dataContext().IBSolution).grava(celulas());
        }
        fecha = true;
    });
    if (fecha) QDialog::reject();
}

void TfrmResultadosTodasAmostras::btnCancelarClick() {
    reject();
}
