#include "screens/UnCadastroPadrao.h"
#include "data/DataContext.h"
#include "data/SqlText.h"
#include "data/UnFuncoes.h"
#include "data/UndmPadrao.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "screens/UnPermissoes.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/PaginasTela.h"
#include <QMdiSubWindow>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

PreparacaoSQL PreparaSQL(const QString& input, int passagem, const QString& whereIn, const QString& orderIn,
                         const QString& MostrarTodos, const QString& procuraTela,
                         const QString& procuraPrincipal) {
    PreparacaoSQL r{input, whereIn, orderIn, procuraTela, procuraPrincipal};
    QString& S = r.sql;
    if (passagem != 1) return r;
    // The clauses are those of the statement itself, not words inside quoted text or a subquery.
    const sql::Clauses c = sql::splitClauses(S);
    S = c.head;
    if (!c.where.isEmpty()) r.mywhere = c.where;
    if (!c.orderBy.isEmpty()) r.myorderby = c.orderBy;
    // A wanted record opens the list on it, whether the main window or the screen itself
    // asked for it.
    const bool procura = !r.procuraPrincipal.isEmpty() || !r.procuraTela.isEmpty();
    const QString C = (MostrarTodos == "S" || procura) ? " 0=0 " : " 0=1 ";
    if (!r.mywhere.isEmpty())
        S = S + r.mywhere + " and " + C;
    else
        S = S + " where " + C;
    if (procura) {
        if (!r.procuraTela.isEmpty()) r.procuraPrincipal = r.procuraTela;
        const QString& v = r.procuraPrincipal;
        const int comma = v.indexOf(',');
        const QString T = v.left(comma) + " = " + (comma >= 0 ? v.mid(comma + 1).trimmed() : QString());
        if (!S.contains(T)) S = S + sql::conditionJoin(S) + T;
        r.procuraTela = r.procuraPrincipal;
        r.procuraPrincipal.clear();
    }
    S = S + r.myorderby;
    return r;
}

DataSet* listaDoModulo(Query TdmPadrao::*lista) {
    TdmPadrao* dm = dmPadrao();
    return dm ? &(dm->*lista) : nullptr;
}

TfrmCadastroPadrao::TfrmCadastroPadrao(const QString& name, DataSet* lista, QWidget* parent)
    : ScreenWindow(ScreenKind::Record, name, parent), NomeDataSet(lista) {
    setWindowTitle("Cadastro Padrão");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    pc = new PaginasTela(this);
    pc->setObjectName("pc");
    pc->setFocusPolicy(Qt::NoFocus);
    pagFicha = new QWidget(pc);
    pagFicha->setObjectName("tsFicha");
    pagTabela = new QWidget(pc);
    pagTabela->setObjectName("tsTabela");
    pc->addTab(pagFicha, "Ficha");
    pc->addTab(pagTabela, "Tabela");
    lay->addWidget(pc);
    resize(366, 177);
    dsPadrao.onStateChange = [this] { dsPadraoStateChange(); };
}

TfrmCadastroPadrao::~TfrmCadastroPadrao() {
    if (TfrmClassePrincipal* p = principal()) p->barraRegistro().release(this);
}

Query* TfrmCadastroPadrao::query() const {
    return dynamic_cast<Query*>(dsPadrao.dataSet());
}

bool TfrmCadastroPadrao::reabreLista(const QString& sql, const std::function<void(Query&)>& parametros) {
    TfrmClassePrincipal* p = principal();
    Query* q = query();
    if (!p || !q) return false;
    if (q->editing()) p->resolvePendente(*q);
    q->close();
    q->setSqlText(sql);
    if (parametros) parametros(*q);
    q->open();
    if (p->dsAtual == &dsPadrao) p->TotalRegistros();
    return true;
}

void TfrmCadastroPadrao::montaGrade(const QList<std::tuple<QString, QString, int>>& colunas) {
    auto* lay = new QVBoxLayout(pagTabela);
    lay->setContentsMargins(0, 0, 0, 0);
    DBGrid1 = new DBGrid(pagTabela, &dsPadrao);
    DBGrid1->setObjectName("DBGrid1");
    std::vector<DBGridColumn> cols;
    for (const auto& [field, title, width] : colunas)
        cols.push_back(DBGridColumn{field, title, width});
    DBGrid1->setColumns(cols);
    DBGrid1->onDblClick = [this] { DBGrid1DblClick(); };
    lay->addWidget(DBGrid1);
}

void TfrmCadastroPadrao::DBGrid1DblClick() {
    if (TfrmClassePrincipal* p = principal()) p->bttFichaClick();
}

void TfrmCadastroPadrao::FormShow() {
    TfrmClassePrincipal* p = principal();
    if (NomeDataSet && !dsPadrao.dataSet()) dsPadrao.setDataSet(NomeDataSet);
    if (!verificaAcesso()) return;
    p->barraRegistro().viewReset();
    pc->tabBar()->hide();
    lePosicao(0);
    Query* q = query();
    try {
        if (!q) throw AppError("sem consulta");
        const QString S = q->sqlText();
        if (SqlOriginal.isEmpty()) {
            SqlOriginal = S;
            passagem = 1;
        }
        PreparacaoSQL r =
            PreparaSQL(S, passagem, mywhere, myorderby, MostrarTodos, ProcuraRegistro, p->ProcuraRegistro);
        mywhere = r.mywhere;
        myorderby = r.myorderby;
        ProcuraRegistro = r.procuraTela;
        p->ProcuraRegistro = r.procuraPrincipal;
        if (passagem == 1) q->setSqlText(r.sql);
        AlteraMascaraCampos();
        q->open();
        passagem = 2;
        int k = 0;
        for (DataSource* d : fontes()) {
            if (k >= 61) break;
            MatrizNomeDataSet[static_cast<size_t>(k)] = d->name();
            if (auto* dq = dynamic_cast<Query*>(d->dataSet()))
                MatrizSqlDataSet[static_cast<size_t>(k)] = dq->sqlText();
            ++k;
        }
        for (DBGrid* g : findChildren<DBGrid*>())
            g->setReadOnlyOptions();
    } catch (const SilentAbort&) {
        throw;
    } catch (const DatabaseError& e) {
        // A server that is gone is reported as such (the error report explains it), not as a
        // list that cannot be opened.
        if (isConnectionLost(e)) throw;
        throw AppError("DataSet não pode ser aberto !");
    } catch (...) {
        throw AppError("DataSet não pode ser aberto !");
    }
    // A move of the list (grid, locate) that meets a pending change asks like the toolbar does.
    if (DataSet* ds = dsPadrao.dataSet()) {
        ds->settleEdit = [this](DataSet& d) {
            if (TfrmClassePrincipal* pr = principal()) pr->resolvePendente(d);
        };
    }
    p->barraRegistro().enableViewSwitch();
    PcPermissaoAcesso();
}

std::vector<DataSource*> TfrmCadastroPadrao::fontes() const {
    // The screen's own data sources (its QObject children) and those its controls are bound to,
    // in creation order, each once.
    std::vector<DataSource*> out;
    auto add = [&](DataSource* d) {
        if (d && d != &dsPadrao && std::find(out.begin(), out.end(), d) == out.end()) out.push_back(d);
    };
    for (DataSource* d : findChildren<DataSource*>())
        add(d);
    for (QObject* o : findChildren<QObject*>())
        add(qobject_cast<DataSource*>(o->property("ctvDataSource").value<QObject*>()));
    return out;
}

void TfrmCadastroPadrao::FormActivate() {
    TfrmClassePrincipal* p = principal();
    if (!PermissaoAcesso || !p) return;
    if (p->codusuario == -2)
        p->IncluiObjetos();
    else
        p->gbpainelcontrole->hide();
    incluir = alterar = excluir = bGerarExcel = true;
    FormFechado = false;
    if (p->grupousuario != -1) {
        // The four record rights in one read.
        const QSet<QString> d = ComponentesAutorizados(p->IBQ_Gen, p->grupousuario, objectName(), true);
        incluir = d.contains("cpfIncluir");
        alterar = d.contains("cpfAlterar");
        excluir = d.contains("cpfExcluir");
        bGerarExcel = d.contains("cpfExportaExcel");
    }
    p->barraRegistro().activate(this);
    if (DataSet* ds = dsPadrao.dataSet()) m_estadoAnterior = ds->state();
    dsPadraoStateChange();
    p->TotalRegistros();
}

void TfrmCadastroPadrao::dsPadraoStateChange() {
    TfrmClassePrincipal* p = principal();
    DataSet* ds = dsPadrao.dataSet();
    if (!p || !ds) return;
    const DataSetState st = ds->state();
    const DataSetState antes = m_estadoAnterior;
    m_estadoAnterior = st;
    // The toolbar's buttons follow the new state when this screen's list is the one it acts on.
    notifyChange(Change::State);
    // Rights are enforced on entering a state.
    if (st == DataSetState::Edit && antes != DataSetState::Edit && !alterar) {
        ds->cancel();
        warn("Usuário sem permissão para alterar !");
        throw SilentAbort();
    }
    if (st == DataSetState::Insert && antes != DataSetState::Insert && !incluir) {
        ds->cancel();
        warn("Usuário sem permissão para Inserir !");
        throw SilentAbort();
    }
}

bool TfrmCadastroPadrao::FormClose() {
    TfrmClassePrincipal* p = principal();
    if (!p) return true;
    if (fechaSemAcesso()) return true;
    DataSet* ds = dsPadrao.dataSet();
    if (ds && ds->editing()) {
        const bool confirma = p->confirmaSair();
        DataSource* antes = p->dsAtual;
        p->dsAtual = &dsPadrao;
        try {
            if (confirma) {
                MsgAnswer a = ask("Salvar alterações ?", MsgButtons::YesNoCancel, MsgAnswer::Yes);
                if (a == MsgAnswer::Cancel) {
                    p->dsAtual = antes;
                    return false;
                }
                if (a == MsgAnswer::Yes)
                    p->bttSalvarClick();
                else
                    ds->cancel();
            } else {
                p->bttSalvarClick();
            }
        } catch (...) {
            p->dsAtual = antes;
            throw;
        }
        p->dsAtual = antes;
    }
    gravaPosicao(pc->currentIndex());
    liberaPrincipal(false);
    p->setStatus(0, "");
    if (ds) {
        ds->settleEdit = nullptr;
        ds->close();
    }
    p->ProcuraRegistro.clear();
    if (!FormFechado) {
        if (Query* q = query()) q->setSqlText(SqlOriginal);
        for (DataSource* d : fontes()) {
            auto* dq = dynamic_cast<Query*>(d->dataSet());
            if (d->tag() != 0 || !dq) continue;
            for (size_t k = 0; k < MatrizNomeDataSet.size(); ++k) {
                if (!MatrizNomeDataSet[k].isEmpty() && MatrizNomeDataSet[k] == d->name()) {
                    dq->setSqlText(MatrizSqlDataSet[k]);
                    break;
                }
            }
        }
        FormFechado = true;
    }
    p->barraRegistro().release(this);
    return true;
}

void TfrmCadastroPadrao::FormKeyUp(int key, Qt::KeyboardModifiers mods) {
    ScreenWindow::FormKeyUp(key, mods);
}

void TfrmCadastroPadrao::GravaCFG(int Pagina) {
    IniFile ini(settingsFile());
    if (pc->currentIndex() < 0) pc->setCurrentIndex(0);
    ini.writeString(objectName(), "FichaTabela", QString::number(pc->currentIndex()));
    ini.writeString(objectName(), Pagina == 0 ? "Ficha" : "Tabela", geometria(Pagina != 0));
}

void TfrmCadastroPadrao::LeCFG(int Pagina) {
    IniFile ini(settingsFile());
    garanteSecao(ini);
    pc->setCurrentIndex(Pagina);
    const QString chave = Pagina == 0 ? "Ficha" : "Tabela";
    const QString v = ini.readString(objectName(), chave, "");
    const int top = campo(chave, v, 1), left = campo(chave, v, 2);
    if (Pagina == 0) {
        if (QMdiSubWindow* s = subWindow()) s->showNormal();
        setWindowGeometry(QRect(left, top, w, h));
    } else {
        const int height = campo(chave, v, 3), width = campo(chave, v, 4);
        const QString state = campoTexto(chave, v, 5);
        setWindowGeometry(QRect(left, top, width, height));
        if (QMdiSubWindow* s = subWindow()) {
            if (state == "2")
                s->showMaximized();
            else if (state == "1")
                s->showMinimized();
            else if (state == "0")
                s->showNormal();
        }
    }
}

bool TfrmCadastroPadrao::showsGrid() const {
    return pc->currentIndex() == 1;
}

void TfrmCadastroPadrao::switchView(bool grid) {
    DataSet* ds = dsPadrao.dataSet();
    QMdiSubWindow* sub = subWindow();
    if (!grid) {
        tag = -2;
        AtualizaConfiguracoesTela();
        if (sub) {
            sub->showNormal();
            sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        }
        pc->setCurrentIndex(0);
        if (ds) ds->cancel();
        tag = 0;
        AtualizaConfiguracoesTela();
        if (sub) sub->show();
        for (QWidget* wdg : pagFicha->findChildren<QWidget*>())
            if ((wdg->focusPolicy() & Qt::TabFocus) && wdg->isEnabled() && wdg->isVisibleTo(this)) {
                wdg->setFocus();
                break;
            }
    } else {
        if (ds) ds->cancel();
        tag = -1;
        AtualizaConfiguracoesTela();
        if (sub)
            sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                                Qt::WindowCloseButtonHint);
        if (ds) ds->cancel();
        pc->setCurrentIndex(1);
        tag = 1;
        AtualizaConfiguracoesTela();
        if (sub && !sub->isVisible()) sub->show();
        if (DBGrid1 && DBGrid1->isEnabled()) DBGrid1->setFocus();
    }
}

void TfrmCadastroPadrao::focusForInsert() {
    // A multi-page record form goes back to its first page; the first control of the tab order
    // gets the focus.
    if (pc && pc->count() > 2) pc->setCurrentIndex(0);
    for (QWidget* wdg : pagFicha->findChildren<QWidget*>()) {
        if (wdg->focusPolicy() & Qt::TabFocus && wdg->isEnabled() && wdg->isVisibleTo(this) &&
            !qobject_cast<QTabWidget*>(wdg) && !wdg->inherits("QCheckBox") &&
            !wdg->inherits("QAbstractButton")) {
            wdg->setFocus();
            break;
        }
    }
}

void TfrmCadastroPadrao::AtualizaConfiguracoesTela() {
    if (tag >= 0) {
        lePosicao(tag);
    } else if (tag == -1) {
        tag = 0;
        gravaPosicao(0);
    } else if (tag == -2) {
        tag = 1;
        gravaPosicao(1);
    }
}

void TfrmCadastroPadrao::AlteraMascaraCampos() {
    TfrmClassePrincipal* p = principal();
    if (!p) return;
    std::vector<DataSource*> all{&dsPadrao};
    for (DataSource* d : fontes())
        all.push_back(d);
    for (DataSource* d : all) {
        DataSet* ds = d->dataSet();
        if (!ds) continue;
        for (const auto& f : ds->fields()) {
            if (f->kind() != FieldKind::Float && f->kind() != FieldKind::Double &&
                f->kind() != FieldKind::BCD)
                continue;
            if (f->tag() == 1)
                f->setDisplayFormat(p->sMascaraValor);
            else if (f->tag() == 2)
                f->setDisplayFormat(p->sMascaraQuantidade);
        }
    }
}

void TfrmCadastroPadrao::PcPermissaoAcesso() {
    TfrmClassePrincipal* p = principal();
    ApplyButtonRights(p->IBQ_Gen, p->grupousuario, this, true);
}

bool TfrmCadastroPadrao::EstadoBotao(const QString& sGrupoUsuario, const QString& sNomeForm,
                                     const QString& sNomeComponente) {
    return ::EstadoBotao(principal()->IBQ_Gen, sGrupoUsuario, sNomeForm, sNomeComponente);
}
