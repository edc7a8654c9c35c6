#include "lab/UnHistoricoAlteracoes.h"
#include "data/DataContext.h"
#include "lab/UnCadastrodeAnalise.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBGrid.h"
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace {

QString quoted(const QString& s) {
    return "'" + QString(s).replace("'", "''") + "'";
}

const std::vector<std::tuple<QString, QString, int>>& colunasGrade() {
    static const std::vector<std::tuple<QString, QString, int>> c{
        {"DH_ALTERACAO", "Quando", 150},
        {"DS_QUEM", "Quem", 100},
        {"DS_OPERACAO", QString::fromUtf8("Operação"), 75},
        {"DS_O_QUE", "O que", 230},
        {"DS_ANTES", "Antes", 140},
        {"DS_DEPOIS", "Depois", 140},
        {"NM_ESTACAO", QString::fromUtf8("Estação"), 160}};
    return c;
}

} // namespace

const std::vector<std::pair<QString, QString>>& ColunasAuditadas() {
    static const std::vector<std::pair<QString, QString>> c{
        {"DT_COLETA", "Data Coleta"},
        {"DT_RECEBIMENTO", "Data Recebto"},
        {"DT_AVALIACAO", QString::fromUtf8("Data Análise")},
        {"DT_ENVIO", "Data Envio"},
        {"ID_CLIENTE", "Cliente"},
        {"ID_RESPONSAVEL_TECNICO", QString::fromUtf8("Responsável")},
        {"ID_EQUIPAMENTO_CLI", "Equipamento"},
        {"TX_COMENTARIO", QString::fromUtf8("Comentário")},
        {"TX_OBS", QString::fromUtf8("Observação")},
        {"VL_RESULTADO", "Resultado"}};
    return c;
}

QString MontaSQLHistorico(int idAnalise, int idAnaliseEquipamento, const QString& coluna, const QDate& de,
                          const QDate& ate) {
    QString rotulo = "case sca.nm_coluna";
    for (const auto& [nome, texto] : ColunasAuditadas())
        rotulo += " when " + quoted(nome) + " then " + quoted(texto);
    rotulo += " else sca.nm_coluna end";
    QString S = "select sca.id_auditoria, sca.dh_alteracao, coalesce(sca.nm_login, sca.nm_usuario_banco || "
                "' (outro aplicativo)') as ds_quem, case sca.tp_operacao when 'I' then " +
                quoted(QString::fromUtf8("Inclusão")) + " when 'A' then " +
                quoted(QString::fromUtf8("Alteração")) + " else " + quoted(QString::fromUtf8("Exclusão")) +
                " end as ds_operacao, coalesce(sca.ds_referencia || ': ', '') || " + rotulo +
                " as ds_o_que, fn_ctv_texto_auditoria(sca.nm_coluna, sca.tx_valor_anterior) as ds_antes, "
                "fn_ctv_texto_auditoria(sca.nm_coluna, sca.tx_valor_novo) as ds_depois, sca.nm_estacao, "
                "sca.nm_usuario_banco, sca.ds_endereco, sca.nm_coluna from sis_ctv_auditoria sca where ";
    S += idAnaliseEquipamento != 0 ? "sca.id_analise_equipamento = " + QString::number(idAnaliseEquipamento)
                                   : "sca.id_analise = " + QString::number(idAnalise);
    if (!coluna.isEmpty()) S += " and sca.nm_coluna = " + quoted(coluna);
    if (de.isValid()) S += " and sca.dh_alteracao >= '" + de.toString("dd.MM.yyyy") + "'";
    if (ate.isValid()) S += " and sca.dh_alteracao < '" + ate.addDays(1).toString("dd.MM.yyyy") + "'";
    return S + " order by sca.dh_alteracao desc, sca.id_auditoria desc";
}

TfrmHistoricoAlteracoes::TfrmHistoricoAlteracoes(int idAnalise, int idAnaliseEquipamento, QWidget* parent)
    : TfrmCadastroPadrao("frmHistoricoAlteracoes", &IBQ_Historico, parent), m_idAnalise(idAnalise),
      m_idAnaliseEquipamento(idAnaliseEquipamento) {
    setWindowTitle(QString::fromUtf8("Histórico de Alterações"));
    const DataContext& ctx = dataContext();
    IBQ_Historico.setName("IBQ_Historico");
    IBQ_Historico.setDatabase(ctx.IBSolution);
    IBQ_Historico.setTransaction(ctx.IBTransaction);
    IBQ_Historico.setSqlText(MontaSQLHistorico(idAnalise, idAnaliseEquipamento));
    // Every row of the history is shown when the screen opens.
    MostrarTodos = "S";

    auto* lay = new QGridLayout(pagFicha);
    lblTitulo = new QLabel(pagFicha);
    lblTitulo->setObjectName("lblTitulo");
    QFont negrito = lblTitulo->font();
    negrito.setBold(true);
    lblTitulo->setFont(negrito);
    lay->addWidget(lblTitulo, 0, 0, 1, 7);
    cbColuna = new QComboBox(pagFicha);
    cbColuna->setObjectName("cbColuna");
    cbColuna->addItem("Todas", QString());
    for (const auto& [nome, texto] : ColunasAuditadas())
        cbColuna->addItem(texto, nome);
    dtInicial = new DBDateEdit(pagFicha, "dtInicial");
    dtFinal = new DBDateEdit(pagFicha, "dtFinal");
    btnFiltrar = new QPushButton("Filtrar", pagFicha);
    btnFiltrar->setObjectName("btnFiltrar");
    btnFiltrar->setAutoDefault(false);
    auto rotulo = [this](const QString& t, QWidget* w) {
        auto* l = new QLabel(t, pagFicha);
        l->setBuddy(w);
        return l;
    };
    lay->addWidget(rotulo("Coluna", cbColuna), 1, 0);
    lay->addWidget(cbColuna, 1, 1);
    lay->addWidget(rotulo(QString::fromUtf8("Período de"), dtInicial), 1, 2);
    lay->addWidget(dtInicial, 1, 3);
    lay->addWidget(rotulo(QString::fromUtf8("até"), dtFinal), 1, 4);
    lay->addWidget(dtFinal, 1, 5);
    lay->addWidget(btnFiltrar, 1, 6);
    dbgHistorico = new DBGrid(pagFicha, &dsPadrao, "dbgHistorico");
    std::vector<DBGridColumn> cols;
    for (const auto& [campo, titulo, largura] : colunasGrade())
        cols.push_back(DBGridColumn{campo, titulo, largura, true});
    dbgHistorico->setColumns(cols);
    dbgHistorico->horizontalHeader()->setStretchLastSection(true);
    lay->addWidget(dbgHistorico, 2, 0, 1, 7);
    lay->setRowStretch(2, 1);
    lay->setColumnStretch(1, 1);
    connect(btnFiltrar, &QPushButton::clicked, this, [this] { guarded([this] { btnFiltrarClick(); }); });
    setTabOrder(cbColuna, dtInicial);
    setTabOrder(dtInicial, dtFinal);
    setTabOrder(dtFinal, btnFiltrar);
    setTabOrder(btnFiltrar, dbgHistorico);
    montaGrade({colunasGrade().begin(), colunasGrade().end()});
    resize(900, 480);
}

void TfrmHistoricoAlteracoes::FormShow() {
    TfrmCadastroPadrao::FormShow();
    if (PermissaoAcesso) CabeNaArea(this);
}

void TfrmHistoricoAlteracoes::FormActivate() {
    TfrmCadastroPadrao::FormActivate();
    if (!PermissaoAcesso) return;
    // What happened is never edited here: only the list tools (move, filter, sort, export).
    incluir = alterar = excluir = false;
    dsPadraoStateChange();
}

void TfrmHistoricoAlteracoes::btnFiltrarClick() {
    const QDate de = dtInicial->date(), ate = dtFinal->date();
    if (!dtInicial->text().remove(QLatin1Char('/')).trimmed().isEmpty() && !de.isValid()) {
        dtInicial->setFocus();
        warnAndAbort(QString::fromUtf8("Data inicial do período inválida."));
    }
    if (!dtFinal->text().remove(QLatin1Char('/')).trimmed().isEmpty() && !ate.isValid()) {
        dtFinal->setFocus();
        warnAndAbort(QString::fromUtf8("Data final do período inválida."));
    }
    if (de.isValid() && ate.isValid() && de > ate) {
        dtInicial->setFocus();
        warnAndAbort(QString::fromUtf8("A data inicial do período é posterior à data final."));
    }
    const QString sql =
        MontaSQLHistorico(m_idAnalise, m_idAnaliseEquipamento, cbColuna->currentData().toString(), de, ate);
    // The framework's own narrowing of the list (the toolbar's filter) starts again from here.
    mywhere.clear();
    myorderby.clear();
    reabreLista(sql);
}

TfrmHistoricoAlteracoes* TfrmHistoricoAlteracoes::abre(int idAnalise, int idAnaliseEquipamento,
                                                       const QString& titulo) {
    TfrmClassePrincipal* p = frmPrincipal();
    if (!p) return nullptr;
    // One history at a time: the one open shows another analysis or sample.
    for (QMdiSubWindow* s : p->mdi->subWindowList())
        if (s->widget() && s->widget()->objectName() == QLatin1String("frmHistoricoAlteracoes")) s->close();
    auto* tela = new TfrmHistoricoAlteracoes(idAnalise, idAnaliseEquipamento);
    tela->lblTitulo->setText(titulo);
    p->abreTela(tela);
    return tela;
}
