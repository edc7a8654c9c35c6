#include "screens/RecordToolbar.h"
#include "data/DataSource.h"
#include "data/KeyAllocation.h"
#include "data/PreparedQuery.h"
#include "data/SqlText.h"
#include "data/UndmPadrao.h"
#include "data/UpdateSql.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/MensagensBanco.h"
#include "screens/ScreenWindow.h"
#include "screens/UnPrincipal.h"
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace {
// A count that has not arrived after this long says so in the status bar.
constexpr int kEsperaAntesDeContando = 300;
const QString kContando = QStringLiteral("Registros Encontrados: contando...");
} // namespace

RecordToolbar::RecordToolbar(TfrmClassePrincipal& principal) : QObject(&principal), m_p(principal) {
    connect(&m_contagem, &ContagemParalela::contada, this, &RecordToolbar::mostraContagem);
    connect(&m_contagem, &ContagemParalela::falhou, this,
            [this] { contaAqui(&m_p.IBSolution, &m_p.IBTransaction, m_contagemSql, m_contagemParams); });
    m_aguardaContagem.setSingleShot(true);
    m_aguardaContagem.setInterval(kEsperaAntesDeContando);
    connect(&m_aguardaContagem, &QTimer::timeout, this, [this] {
        if (!m_contagem.pendente()) return;
        m_textoAntesDaContagem = m_p.sbPanel[0]->text();
        m_p.sbPanel[0]->setText(kContando);
    });
}

void RecordToolbar::descartaContagem() {
    m_contagem.descarta();
    m_aguardaContagem.stop();
}

ActiveScreen* RecordToolbar::listOwner() const {
    if (!m_p.dsAtual) return nullptr;
    for (ScreenWindow* t : m_p.telasAbertas())
        if (auto* a = dynamic_cast<ActiveScreen*>(t); a && a->listSource() == m_p.dsAtual) return a;
    return nullptr;
}

void RecordToolbar::activate(ActiveScreen* tela) {
    m_p.ProcGen.clear();
    m_p.dsAtual = tela->listSource();
    m_p.mywhere = tela->baseCondition();
    m_p.myorderby = tela->baseOrdering();
    m_p.sFichaTabela = tela->showsGrid() ? "T" : "F";
    atualizaBotaoFicha();
    m_p.mostraBotoesRegistro(true);
    QPointer<RecordToolbar> self(this);
    tela->setListener([self, tela](ActiveScreen::Change c) {
        if (self) self->screenChanged(*tela, c);
    });
}

void RecordToolbar::release(ActiveScreen* tela) {
    if (m_p.dsAtual && m_p.dsAtual == tela->listSource()) m_p.dsAtual = nullptr;
}

void RecordToolbar::viewReset() {
    m_p.sFichaTabela = "F";
    atualizaBotaoFicha();
}

void RecordToolbar::enableViewSwitch() {
    m_p.bttFicha->setEnabled(true);
}

void RecordToolbar::showEditButtons(bool visible) {
    for (QToolButton* b : {m_p.bttAnterior, m_p.bttAtualiza, m_p.bttCancelar, m_p.bttExcluir, m_p.bttFechar,
                           m_p.bttIncluir, m_p.bttMostrarTodos, m_p.bttOrdena, m_p.bttPesquisa,
                           m_p.bttPrimeiro, m_p.bttSalvar, m_p.bttSeguinte, m_p.bttUltimo})
        m_p.mostraBotao(b, visible);
    // Without the record buttons their separators would stand side by side.
    for (QAction* a : m_p.tb1->actions())
        if (a->isSeparator()) a->setVisible(visible);
    m_p.assentaBarra();
}

void RecordToolbar::hideForStandardScreen() {
    for (QToolButton* b : m_p.botoesRegistro())
        if (b != m_p.bttExcel) m_p.mostraBotao(b, false);
    m_p.assentaBarra();
}

void RecordToolbar::screenChanged(ActiveScreen& tela, ActiveScreen::Change c) {
    DataSource* fonte = tela.listSource();
    if (!fonte || m_p.dsAtual != fonte) return;
    const RecordRights r = tela.rights();
    if (c == ActiveScreen::Change::DeleteRule) {
        m_p.bttExcluir->setEnabled(r.excluir && tela.mayDeleteCurrent());
        return;
    }
    DataSet* ds = fonte->dataSet();
    if (!ds) return;
    const bool editando = ds->editing();
    const bool linhas = ds->active() && ds->recordCount() > 0;
    m_p.bttIncluir->setEnabled(r.incluir);
    m_p.bttSalvar->setEnabled(editando);
    m_p.bttCancelar->setEnabled(editando);
    m_p.bttExcluir->setEnabled(r.excluir);
    m_p.bttAtualiza->setEnabled(!editando);
    for (QToolButton* b : {m_p.bttPrimeiro, m_p.bttAnterior, m_p.bttSeguinte, m_p.bttUltimo})
        b->setEnabled(linhas);
    m_p.bttOrdena->setEnabled(linhas);
    m_p.bttExcel->setEnabled(linhas && r.exportar);
}

void RecordToolbar::pressKey(ScreenWindow* tela, int key, Qt::KeyboardModifiers mods) {
    const bool record = tela->screenKind() == ScreenKind::Record;
    if (tela->screenKind() == ScreenKind::Report) {
        if (key == Qt::Key_Escape) closeScreen();
        return;
    }
    // A standard screen acts on the current data source only when a record screen owns it.
    if (!record && !listOwner() && key != Qt::Key_Escape) return;
    // Like the function keys, a move acts only while its button does (a list with rows).
    if (mods == Qt::AltModifier) {
        switch (key) {
        case Qt::Key_Home:
            if (m_p.bttPrimeiro->isEnabled()) first();
            return;
        case Qt::Key_Left:
            if (m_p.bttAnterior->isEnabled()) prior();
            return;
        case Qt::Key_Right:
            if (m_p.bttSeguinte->isEnabled()) next();
            return;
        case Qt::Key_End:
            if (m_p.bttUltimo->isEnabled()) last();
            return;
        default:
            break;
        }
    }
    switch (key) {
    case Qt::Key_F2:
        if (m_p.bttIncluir->isEnabled()) insert();
        break;
    case Qt::Key_F3:
        if (m_p.bttSalvar->isEnabled()) save();
        break;
    case Qt::Key_F4:
        if (!record || m_p.bttAtualiza->isEnabled()) refresh();
        break;
    case Qt::Key_F5:
        if (m_p.bttExcluir->isEnabled()) remove();
        break;
    case Qt::Key_F6:
        cancel();
        break;
    case Qt::Key_F7:
        if (m_p.bttMostrarTodos->isEnabled()) showAll();
        break;
    case Qt::Key_F8:
        if (m_p.bttPesquisa->isEnabled()) filter();
        break;
    case Qt::Key_F9:
        if (m_p.bttOrdena->isEnabled()) sort();
        break;
    case Qt::Key_F12:
        if (record) switchView();
        break;
    case Qt::Key_Escape:
        closeScreen();
        break;
    default:
        break;
    }
}

DataSet* RecordToolbar::dataSetAtual() const {
    return m_p.dsAtual ? m_p.dsAtual->dataSet() : nullptr;
}

static Query* comoQuery(DataSet* ds) {
    return dynamic_cast<Query*>(ds);
}

void RecordToolbar::insert() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    if (ds->editing()) save();
    if (ActiveScreen* tela = listOwner()) tela->focusForInsert();
    ds->insert();
    TotalRegistros();
}

void RecordToolbar::save() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    if (!ds->editing()) throw SilentAbort();
    salvaDataSet(*ds);
    TotalRegistros();
}

namespace {

QString textoDoCampo(const Field& f, const QVariant& v) {
    if (v.isNull()) return QStringLiteral("(vazio)");
    QString t = Field::formatValue(f, v);
    if (t.startsWith(QLatin1String("{\\rtf"))) return QStringLiteral("(texto formatado)");
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t.size() > 60 ? t.left(60) + QStringLiteral("...") : t;
}

} // namespace

void RecordToolbar::salvaDataSet(DataSet& ds) {
    Query* q = comoQuery(&ds);
    Transaction* tr = q ? q->transaction() : nullptr;
    if (tr) tr->ensureActive();
    const bool novo = ds.state() == DataSetState::Insert && ds.fieldCount() > 0;
    const QString tabela = novo ? tableOfOrigin(ds.field(0)->origin()) : QString();
    // Keys are the largest plus one, read without a lock: another workstation saving a new
    // record at the same moment can take the same one. Its primary key refuses the second
    // insert; the record is then saved with a fresh key, a few times at most.
    constexpr int kTentativas = 3;
    for (int tentativa = 1;; ++tentativa) {
        qint64 chave = 0;
        if (novo) {
            chave = m_p.AdicionaID(tabela, ds.field(0)->fieldName());
            ds.field(0)->setValue(chave);
        }
        ds.post();
        try {
            if (q)
                q->applyAndCommit();
            else
                ds.applyUpdates();
            return;
        } catch (const RecordConflict& e) {
            ds.reopenPostedRecord();
            if (e.kind() != UpdateKind::Modify || !q) throw;
            resolveConflito(*q);
            return;
        } catch (const DatabaseError& e) {
            // Nothing of the record reached the database: it goes back to its edit or insert
            // state with what the user typed, and the list shows only what the database holds.
            ds.reopenPostedRecord();
            if (!novo || !chaveDuplicada(e) || ds.state() != DataSetState::Insert) throw;
            // A refusal of another unique key leaves the largest key as it was.
            if (m_p.AdicionaID(tabela, ds.field(0)->fieldName()) == chave) throw;
            if (tentativa >= kTentativas)
                warnAndAbort(
                    "Outras estações de trabalho gravaram ao mesmo tempo registros com o código que "
                    "este receberia. O registro não foi gravado e continua na tela: salve-o novamente.");
        } catch (...) {
            ds.reopenPostedRecord();
            throw;
        }
    }
}

void RecordToolbar::resolveConflito(Query& q) {
    switch (q.rereadEditedRow()) {
    case Query::RowReread::Gone:
        warnAndAbort("Este registro não existe mais no banco de dados: outra estação de trabalho o excluiu "
                     "depois que ele foi lido. A sua alteração não foi gravada e continua na tela.");
    case Query::RowReread::Unknown:
        warnAndAbort(
            "Outra estação de trabalho alterou ou excluiu este registro depois que ele foi lido. A sua "
            "alteração não foi gravada e continua na tela; cancele-a (F6) para ver os valores atuais.");
    case Query::RowReread::Found:
        break;
    }
    QStringList atuais, suas;
    bool mesmaAlteracao = true;
    for (int col : q.changedColumns()) {
        const Field* f = q.field(col);
        const QVariant agora = q.databaseRowValue(col), sua = f->value();
        if (agora.isNull() != sua.isNull() || agora != sua) mesmaAlteracao = false;
        atuais.append("  " + f->displayLabel() + ": " + textoDoCampo(*f, agora));
        suas.append("  " + f->displayLabel() + ": " + textoDoCampo(*f, sua));
    }
    // The other workstation wrote what this user wanted: there is nothing left to write.
    if (mesmaAlteracao) {
        q.takeDatabaseRow(false);
        return;
    }
    const MsgAnswer a = ask("Outra estação de trabalho alterou este registro depois que ele foi lido; a sua "
                            "alteração não foi gravada.\n\nValores atuais:\n" +
                                atuais.join('\n') + "\n\nA sua alteração:\n" + suas.join('\n') +
                                "\n\nGravar a sua alteração sobre os valores atuais ?",
                            MsgButtons::YesNo, MsgAnswer::No);
    if (a != MsgAnswer::Yes) {
        // The record shows what the database holds now.
        q.takeDatabaseRow(false);
        throw SilentAbort();
    }
    q.takeDatabaseRow(true);
    salvaDataSet(q);
}

void RecordToolbar::cancel() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    ds->cancel();
    refresh();
}

void RecordToolbar::remove() {
    DataSet* ds = dataSetAtual();
    if (!ds || !m_p.bttExcluir->isEnabled()) return;
    if (ask("Excluir este registro ?", MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes) return;
    Query* q = comoQuery(ds);
    if (q) q->transaction()->ensureActive();
    if (ds->isEmpty() || ds->fieldCount() == 0) return;
    const QVariant k = ds->field(0)->value();
    const QString keyName = ds->field(0)->fieldName();
    const qint64 K = k.toLongLong();
    bool reposiciona = false;
    QString motivo;
    try {
        if (K > 0) {
            ds->remove();
            try {
                if (q)
                    q->applyAndCommit();
                else
                    ds->applyUpdates();
            } catch (const RecordConflict& e) {
                // The row was gone already: the list no longer shows it, and the user is told.
                ds->commitUpdates();
                motivo = e.message();
            } catch (const DatabaseError& e) {
                ds->cancelUpdates();
                reposiciona = true;
                motivo = motivoExclusaoRecusada(e);
            } catch (...) {
                ds->cancelUpdates();
                reposiciona = true;
            }
        } else if (K < 0) {
            warn("Exclusão não permitida. Registro necessário para funções internas do sistema.");
            reposiciona = true;
        }
    } catch (...) {
        reposiciona = true;
    }
    if (reposiciona && !k.isNull()) guarded([&] { ds->locate(keyName, k); });
    // The row came back; the user is told why, so the refusal is not mistaken for a failure.
    if (!motivo.isEmpty()) warn(motivo);
    TotalRegistros();
}

void RecordToolbar::SalvaNavegacao() {
    DataSet* ds = dataSetAtual();
    if (!ds || !ds->editing()) return;
    resolvePendente(*ds);
}

void RecordToolbar::resolvePendente(DataSet& ds) {
    if (!ds.editing()) return;
    if (confirmaSair()) {
        MsgAnswer a = ask("Salvar alterações ?", MsgButtons::YesNoCancel, MsgAnswer::Yes);
        if (a == MsgAnswer::Cancel) throw SilentAbort();
        if (a == MsgAnswer::No) {
            // "Não" discards the change: nothing of it stays behind for a later save.
            ds.cancel();
            return;
        }
    }
    salvaDataSet(ds);
    TotalRegistros();
}

bool RecordToolbar::confirmaSair() const {
    TdmPadrao* dm = dmPadrao();
    if (!dm) return true;
    if (!dm->IBQ_Parametros.active()) dm->IBQ_Parametros.open();
    return dm->IBQ_Parametros.fieldByName("ST_CONFIRMA_SAIR")->asString() == "S";
}

void RecordToolbar::Navegacao() {
    DataSet* ds = dataSetAtual();
    for (QToolButton* b : {m_p.bttPrimeiro, m_p.bttAnterior, m_p.bttSeguinte, m_p.bttUltimo})
        b->setEnabled(true);
    if (!ds) return;
    if (ds->eof()) {
        m_p.bttSeguinte->setEnabled(false);
        m_p.bttUltimo->setEnabled(false);
    }
    if (ds->bof()) {
        m_p.bttPrimeiro->setEnabled(false);
        m_p.bttAnterior->setEnabled(false);
    }
}

#define MOVE_ACTION(fn, op)                                                                                  \
    void RecordToolbar::fn() {                                                                               \
        DataSet* ds = dataSetAtual();                                                                        \
        if (!ds) return;                                                                                     \
        SalvaNavegacao();                                                                                    \
        ds->op();                                                                                            \
        Navegacao();                                                                                         \
        TotalRegistros();                                                                                    \
    }
MOVE_ACTION(first, first)
MOVE_ACTION(prior, prior)
MOVE_ACTION(next, next)
MOVE_ACTION(last, last)
#undef MOVE_ACTION

void RecordToolbar::refresh() {
    DataSet* ds = dataSetAtual();
    if (!ds) return;
    Query* q = comoQuery(ds);
    if (q) {
        if (UpdateSql* u = q->updateObject()) {
            // The stored refresh statements have an empty column list.
            const QString text = u->refreshSql.join('\n');
            const int from = sql::clausePos(text, "from");
            if (from >= 0) u->refreshSql = QStringList{"Select * " + text.mid(from)};
        }
        q->transaction()->ensureActive();
    }
    // A list left closed (its reopening failed, the server was away) opens again.
    if (ds->active())
        ds->refresh();
    else if (q)
        q->open();
    TotalRegistros();
}

void RecordToolbar::showAll() {
    DataSet* ds = dataSetAtual();
    Query* q = comoQuery(ds);
    if (!q) return;
    SalvaNavegacao();
    q->close();
    q->setSqlText(sql::showAllStatement(q->sqlText(), m_p.mywhere, m_p.myorderby));
    // The count goes first: the server counts the whole list while the list reads and shows its
    // first rows.
    TotalRegistros();
    try {
        q->open();
    } catch (...) {
        descartaContagem();
        throw;
    }
    if (ActiveScreen* tela = listOwner()) tela->showAllDone();
}

void RecordToolbar::filter() {
    if (!dataSetAtual() || !m_p.ferramentasLista.pesquisar) return;
    m_p.ferramentasLista.pesquisar();
    TotalRegistros();
}

void RecordToolbar::sort() {
    if (!dataSetAtual() || !m_p.ferramentasLista.ordenar) return;
    m_p.ferramentasLista.ordenar();
    TotalRegistros();
}

void RecordToolbar::exportList() {
    if (!dataSetAtual() || !m_p.ferramentasLista.exportar) return;
    m_p.ferramentasLista.exportar();
}

void RecordToolbar::switchView() {
    auto* tela = dynamic_cast<ActiveScreen*>(m_p.telaAtiva());
    if (!tela || tela->listSource() != m_p.dsAtual) return;
    DataSet* ds = dataSetAtual();
    SalvaNavegacao();
    if (m_p.sFichaTabela == "T") {
        tela->switchView(false);
        const RecordRights r = tela->rights();
        m_p.bttIncluir->setEnabled(r.incluir);
        m_p.bttExcluir->setEnabled(r.excluir && ds && !ds->isEmpty());
        m_p.sFichaTabela = "F";
    } else {
        tela->switchView(true);
        m_p.bttIncluir->setEnabled(false);
        if (ds && ds->isEmpty()) m_p.bttExcluir->setEnabled(false);
        m_p.sFichaTabela = "T";
    }
    atualizaBotaoFicha();
    TotalRegistros();
}

void RecordToolbar::atualizaBotaoFicha() {
    if (m_p.sFichaTabela == "T") {
        m_p.bttFicha->setToolTip("Mostra os Dados no Formato de Ficha (F12)");
        m_p.bttFicha->setText("Ficha");
    } else {
        m_p.bttFicha->setToolTip("Mostra os Dados no Formato de Tabela (F12)");
        m_p.bttFicha->setText("Tabela");
    }
}

void RecordToolbar::closeScreen() {
    if (QMdiSubWindow* w = m_p.mdi->activeSubWindow()) w->close();
}

void RecordToolbar::TotalRegistros() {
    try {
        Query* q = comoQuery(dataSetAtual());
        if (!q) return;
        // The clauses are found outside quoted text: a filter value may hold "order by".
        const QString contagem = sql::countStatement(q->sqlText(), "total");
        if (contagem.isEmpty()) return;
        descartaContagem();
        if (sql::conditionAlwaysFalse(contagem)) {
            // A list opened empty on purpose holds no row: nothing to ask the server.
            mostraContagem(0);
            return;
        }
        ContagemParalela::Parametros params;
        for (const QString& p : q->paramNames())
            params.emplace_back(p, q->param(p));
        Transaction* tr = q->transaction();
        if (!q->database()) return;
        if (tr && tr->hasUncommittedWrites()) {
            contaAqui(q->database(), tr, contagem, params);
            return;
        }
        m_contagemSql = contagem;
        m_contagemParams = params;
        m_contagem.conta(*q->database(), contagem, std::move(params));
        m_aguardaContagem.start();
    } catch (...) {
        // The record count never reports an error.
    }
}

void RecordToolbar::contaAqui(Database* db, Transaction* tr, const QString& contagem,
                              const ContagemParalela::Parametros& params) {
    try {
        PreparedQuery q(db, tr, contagem);
        for (const auto& [nome, valor] : params)
            if (q.hasParam(nome)) q.setParam(nome, valor);
        const qlonglong total = q.first() ? q.value(0).toLongLong() : 0;
        q.close();
        mostraContagem(total);
    } catch (...) {
        // The record count never reports an error.
        if (m_p.sbPanel[0]->text() == kContando) m_p.sbPanel[0]->setText(m_textoAntesDaContagem);
    }
}

void RecordToolbar::mostraContagem(qlonglong total) {
    m_aguardaContagem.stop();
    // The count is the last step of the gesture: it paints with the list's rows when the event
    // loop paints the window, instead of forcing a paint of everything pending on its own.
    m_p.sbPanel[0]->setText("Registros Encontrados: " + formataContagem(total));
}

QString formataContagem(qlonglong total) {
    // The pattern "000,000": at least six digits, grouped by thousands (pt_BR).
    const QString sep = QLocale(QLocale::Portuguese, QLocale::Brazil).groupSeparator();
    const QString digits = QString::number(total).rightJustified(6, '0');
    QString grouped;
    for (int i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += sep;
        grouped += digits[i];
    }
    return grouped;
}
