#include "search/UnPesquisaPessoaComercio.h"
#include "data/DataContext.h"
#include "data/SqlText.h"
#include "data/UndmLookup.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/TextoColuna.h"
#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

// ---------------------------------------------------------------- search types and statement

const std::array<const char*, kCategoriasPessoa>& colunasCategoriaPessoa() {
    static const std::array<const char*, kCategoriasPessoa> c = {
        "CT_CLIENTE", "CT_FORNECEDOR", "CT_TRANSPORT", "CT_OUTROS", "CT_EMPRESA", "CT_REPRESENT"};
    return c;
}

TipoPesquisaPessoa tipoPesquisaPessoa(const QString& codigo) {
    enum { Cli, Forn, Transp, Mot, Emp, Vend };
    auto tipo = [](const char* legenda, std::initializer_list<int> marcadas) {
        TipoPesquisaPessoa t;
        t.legenda = QString::fromUtf8(legenda);
        t.restringe = true;
        for (int i : marcadas)
            t.marca[static_cast<size_t>(i)] = true;
        return t;
    };
    const QString c = codigo.trimmed().toUpper();
    if (c == "C") return tipo("Parâmetros para Pesquisa de Clientes", {Cli});
    if (c == "R") return tipo("Parâmetros para Pesquisa de Remetente / Destinatário", {Cli, Forn, Emp});
    if (c == "E") return tipo("Parâmetros para Pesquisa de Nossa Empresa", {Emp});
    if (c == "EM") return tipo("Parâmetros para Pesquisa de Emitente", {});
    if (c == "T") return tipo("Parâmetros para Pesquisa de Transportador", {Transp, Mot});
    if (c == "M") return tipo("Parâmetros para Pesquisa de Motorista", {Mot});
    if (c == "TE") return tipo("Parâmetros para Pesquisa de Transportador", {Transp, Mot, Emp});
    if (c == "V") return tipo("Parâmetros para Pesquisa de Vendedor", {Vend});
    TipoPesquisaPessoa g;
    g.legenda = QString::fromUtf8("Parâmetros para Pesquisa de Pessoas");
    return g;
}

QString maiusculasPessoa(const QString& texto) {
    QString out;
    out.reserve(texto.size());
    for (const QChar c : texto) {
        const QString u = QString(c).toUpper();
        out += (u.size() == 1 && cp1252::encodable(u[0].unicode())) ? u[0] : c;
    }
    return out;
}

namespace {

const QChar kEscape('\\');

// A LIKE pattern: pre + the text + pos between single quotes. The text's quotes are doubled and
// its wildcards escaped, so it matches literally; the escape clause follows only when needed,
// which leaves ordinary searches exactly as written.
QString padraoLike(const QString& pre, const QString& texto, const QString& pos) {
    QString t;
    bool escapou = false;
    for (const QChar c : texto) {
        if (c == '%' || c == '_' || c == kEscape) {
            t += kEscape;
            escapou = true;
        }
        t += c;
    }
    t.replace('\'', "''");
    return "'" + pre + t + pos + "'" + (escapou ? QStringLiteral(" escape '\\'") : QString());
}

bool preenchido(const QString& s) {
    return !s.trimmed().isEmpty();
}

} // namespace

QString CondicaoCategoriasPessoa(bool apenasCategorias, const CategoriasPessoa& categorias) {
    if (!apenasCategorias) return {};
    QString lista;
    for (int i = 0; i < kCategoriasPessoa; ++i) {
        if (!categorias[static_cast<size_t>(i)]) continue;
        const QString coluna = QString::fromLatin1(colunasCategoriaPessoa()[static_cast<size_t>(i)]);
        if (lista.isEmpty())
            lista = "(pe." + coluna + " = 'S')";
        else
            lista += "or (pe." + coluna + " = " + "'" + "S" + "'" + ")";
    }
    if (lista.isEmpty()) return {};
    return "and (" + lista + ")";
}

QString MontaSQLPesquisaPessoa(const CriteriosPessoa& c) {
    QString S = " select pe.id_pessoa, pe.cd_pessoa, pe.nm_pesquisa, pe.no_cnpj_cpf from cad_pessoa pe";
    const bool cidade = !c.idCidade.isNull();
    const bool estado = !c.sgEstado.isEmpty();
    // Only the billing address places a person in a city or a state.
    if (cidade || estado)
        S += QString(" inner join cad_end_pessoa cep on (cep.id_pessoa = pe.id_pessoa and cep.st_fatura = ") +
             "'" + "S" + "'" + ")" + " inner join tab_cidade tc on (tc.id_cidade = cep.id_cidade)";
    S += " where 0=0 ";
    if (preenchido(c.parteNome)) {
        const QString T = maiusculasPessoa(c.parteNome);
        S += " and (udf_upper(pe.nm_pesquisa) like " + padraoLike("%", T, "%") +
             " or udf_upper(pe.nm_pessoa) like " + padraoLike("%", T, "%") + ")";
    }
    if (preenchido(c.inicioNome)) {
        const QString T = maiusculasPessoa(c.inicioNome);
        S += " and (udf_upper(pe.nm_pesquisa) like " + padraoLike("", T, "%") +
             " or udf_upper(pe.nm_pessoa) like " + padraoLike("", T, "%") + ")";
    }
    if (preenchido(c.inicioCodigo)) {
        const QString T = maiusculasPessoa(c.inicioCodigo);
        S += " and pe.cd_pessoa like " + padraoLike("", T, c.codigoExato ? "" : "%");
    }
    if (preenchido(c.cnpjCpf))
        S += " and pe.no_cnpj_cpf like " + padraoLike("", maiusculasPessoa(c.cnpjCpf), "%");
    if (cidade) S += " and tc.id_cidade = " + QString::number(c.idCidade.toLongLong());
    if (estado) S += " and tc.sg_estado = " + sql::quoted(c.sgEstado);
    S += CondicaoCategoriasPessoa(c.apenasCategorias, c.categorias);
    S += " order by pe.nm_pesquisa";
    return S;
}

QString SQLPessoaPorCodigo(const QString& codigo, const QString& condicaoCategorias) {
    return " select pe.id_pessoa, pe.cd_pessoa, pe.nm_pesquisa, pe.no_cnpj_cpf from cad_pessoa pe where "
           "pe.cd_pessoa = " +
           sql::quoted(codigo) + condicaoCategorias;
}

// ---------------------------------------------------------------- window

namespace {

// A criteria box: a character the database cannot hold (outside Windows-1252) is refused as it
// is typed or pasted, naming the box by its label. The code boxes stop at their width.
QLineEdit* caixaTexto(QWidget* pai, const char* nome, int maximo = 0) {
    auto* e = new QLineEdit(pai);
    e->setObjectName(nome);
    TextoColunaValidator::install(e, 0, true,
                                  [e] { return textocoluna::nomeDoCampo(e, QString(), e->objectName()); });
    e->setMaxLength(maximo > 0 ? maximo : 32767);
    return e;
}

QLabel* rotulo(QWidget* pai, const QString& texto, QWidget* parceiro) {
    auto* l = new QLabel(texto, pai);
    l->setBuddy(parceiro);
    return l;
}

// The wait cursor while the database answers; put back on every path.
struct CursorEspera {
    CursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QApplication::restoreOverrideCursor(); }
    CursorEspera(const CursorEspera&) = delete;
    CursorEspera& operator=(const CursorEspera&) = delete;
};

} // namespace

namespace {
// Rows shown at once after "Pesquisar", and read per pass while the count follows.
constexpr int kPrimeirasPessoas = 100;
constexpr int kParteContagem = 2000;
} // namespace

TfrmPesquisaPessoaComercio::TfrmPesquisaPessoaComercio(QWidget* parent) : QDialog(parent) {
    setObjectName("frmPesquisaPessoaComercio");
    setWindowTitle("Pesquisa de Pessoas");
    resize(640, 560);
    IBQ_Pessoas.setName("IBQ_Pessoas");
    m_contagem = new QTimer(this);
    m_contagem->setSingleShot(true);
    m_contagem->setInterval(0);
    connect(m_contagem, &QTimer::timeout, this, [this] { contaRestante(); });
    IBQ_Pessoas.setDatabase(dataContext().IBSolution);
    IBQ_Pessoas.setTransaction(dataContext().IBTransaction);
    dsPessoas.setDataSet(&IBQ_Pessoas);

    auto* lay = new QVBoxLayout(this);
    lblLegendaParametro = new QLabel(this);
    lblLegendaParametro->setObjectName("lblLegendaParametro");
    QFont negrito = lblLegendaParametro->font();
    negrito.setBold(true);
    lblLegendaParametro->setFont(negrito);
    lay->addWidget(lblLegendaParametro);

    // Criteria.
    auto* g = new QGridLayout;
    mskCodigo = caixaTexto(this, "mskCodigo", 15);
    mskParteNome = caixaTexto(this, "mskParteNome");
    mskCNPJ_CPF = caixaTexto(this, "mskCNPJ_CPF", 14);
    mskParteCodigo = caixaTexto(this, "mskParteCodigo", 15);
    mskInicioNome = caixaTexto(this, "mskInicioNome");
    TdmLookUp* lk = dmLookUp();
    lkCidade = new DBLookupCombo(this, nullptr, QString(), lk ? &lk->IBQ_Cidades : nullptr, "ID_CIDADE",
                                 "NM_CIDADE", "lkCidade");
    lkCidade->setEmptyText("<Todas>");
    lkCidade->setDropDownCount(8);
    lkEstado = new DBLookupCombo(this, nullptr, QString(), lk ? &lk->IBQ_Estado : nullptr, "SG_ESTADO",
                                 "NM_ESTADO", "lkEstado");
    lkEstado->setEmptyText("<Todos>");
    lkEstado->setDropDownCount(8);
    g->addWidget(rotulo(this, QString::fromUtf8("Código"), mskCodigo), 0, 0);
    g->addWidget(rotulo(this, "Parte do Nome", mskParteNome), 0, 1, 1, 2);
    g->addWidget(mskCodigo, 1, 0);
    g->addWidget(mskParteNome, 1, 1, 1, 2);
    g->addWidget(rotulo(this, "CNPJ / CPF", mskCNPJ_CPF), 2, 0);
    g->addWidget(rotulo(this, QString::fromUtf8("Início do Código"), mskParteCodigo), 2, 1);
    g->addWidget(rotulo(this, QString::fromUtf8("Início do Nome"), mskInicioNome), 2, 2);
    g->addWidget(mskCNPJ_CPF, 3, 0);
    g->addWidget(mskParteCodigo, 3, 1);
    g->addWidget(mskInicioNome, 3, 2);
    g->addWidget(rotulo(this, "Cidade", lkCidade), 4, 0, 1, 2);
    g->addWidget(rotulo(this, "Estado", lkEstado), 4, 2);
    g->addWidget(lkCidade, 5, 0, 1, 2);
    g->addWidget(lkEstado, 5, 2);
    g->setColumnStretch(0, 2);
    g->setColumnStretch(1, 2);
    g->setColumnStretch(2, 3);
    lay->addLayout(g);

    // Categories.
    auto* grupo = new QGroupBox("Categoria da Pessoa", this);
    grupo->setObjectName("gbCategoria");
    auto* gc = new QGridLayout(grupo);
    ckbApenasCategoriasAbaixo = new QCheckBox("Apenas Pessoas das Categorias Abaixo", grupo);
    ckbApenasCategoriasAbaixo->setObjectName("ckbApenasCategoriasAbaixo");
    gc->addWidget(ckbApenasCategoriasAbaixo, 0, 0, 1, 3);
    const std::array<std::pair<QCheckBox**, std::pair<const char*, const char*>>, kCategoriasPessoa> caixas =
        {{
            {&ckbCliente, {"ckbCliente", "Cliente"}},
            {&ckbFornecedor, {"ckbFornecedor", "Fornecedor"}},
            {&ckbTransportadora, {"ckbTransportadora", "Transportadora"}},
            {&ckbMotorista, {"ckbMotorista", "Motorista"}},
            {&ckbNossaEmpresa, {"ckbNossaEmpresa", "Nossa Empresa"}},
            {&ckbVendedor, {"ckbVendedor", "Vendedor"}},
        }};
    for (int i = 0; i < kCategoriasPessoa; ++i) {
        const auto& [alvo, textos] = caixas[static_cast<size_t>(i)];
        *alvo = new QCheckBox(QString::fromUtf8(textos.second), grupo);
        (*alvo)->setObjectName(textos.first);
        gc->addWidget(*alvo, 1 + i / 3, i % 3);
    }
    connect(ckbApenasCategoriasAbaixo, &QCheckBox::toggled, this,
            [this] { guarded([this] { ckbApenasCategoriasAbaixoClick(); }); });
    lay->addWidget(grupo);

    // Buttons: out of the keyboard's tab order, but a click gives them the focus.
    auto* botoes = new QHBoxLayout;
    auto botao = [this, botoes](const char* nome, const QString& texto, const QString& dica) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(nome);
        b->setToolTip(dica);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::ClickFocus);
        botoes->addWidget(b);
        return b;
    };
    BitBtn4 = botao("BitBtn4", "Pesquisar", "Pesquisar (F12)");
    BitBtn2 = botao("BitBtn2", "Confirmar", "Confirmar (Enter)");
    BitBtn3 = botao("BitBtn3", "&Nova Pesquisa", "Limpar os parâmetros para uma nova pesquisa");
    BitBtn1 = botao("BitBtn1", "&Fechar", "Fechar sem escolher (Esc)");
    botoes->addStretch();
    connect(BitBtn4, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn4Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn2Click(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn3Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    lay->addLayout(botoes);

    // Result.
    auto* resultado = new QGroupBox("Resultado da Pesquisa", this);
    resultado->setObjectName("gbResultado");
    auto* rl = new QVBoxLayout(resultado);
    DBGrid1 = new DBGrid(resultado, &dsPessoas, "DBGrid1");
    DBGrid1->setColumns({{"CD_PESSOA", QString::fromUtf8("Código"), 100},
                         {"NM_PESQUISA", "Nome da Pessoa", 320},
                         {"NO_CNPJ_CPF", "CNPJ / CPF", 130}});
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->onDblClick = [this] { guarded([this] { BitBtn2Click(); }); };
    rl->addWidget(DBGrid1);
    auto* contagem = new QHBoxLayout;
    lblQtdePessoas = new QLabel(this);
    lblQtdePessoas->setObjectName("lblQtdePessoas");
    lblQtdePessoas->setFont(negrito);
    contagem->addStretch();
    contagem->addWidget(lblQtdePessoas);
    contagem->addWidget(new QLabel("Pessoas", resultado));
    rl->addLayout(contagem);
    lay->addWidget(resultado, 1);

    setTabOrder(mskCodigo, mskParteNome);
    setTabOrder(mskParteNome, mskCNPJ_CPF);
    setTabOrder(mskCNPJ_CPF, mskParteCodigo);
    setTabOrder(mskParteCodigo, mskInicioNome);
    setTabOrder(mskInicioNome, lkCidade);
    setTabOrder(lkCidade, lkEstado);
    setTabOrder(lkEstado, ckbApenasCategoriasAbaixo);
    QWidget* anterior = ckbApenasCategoriasAbaixo;
    for (QCheckBox* c : caixasCategoria()) {
        setTabOrder(anterior, c);
        anterior = c;
    }
    setTabOrder(anterior, DBGrid1);
    mostraQuantidade(0);
}

TfrmPesquisaPessoaComercio::~TfrmPesquisaPessoaComercio() {
    // The grid goes before the result it shows.
    delete DBGrid1;
    DBGrid1 = nullptr;
}

std::array<QCheckBox*, kCategoriasPessoa> TfrmPesquisaPessoaComercio::caixasCategoria() const {
    return {ckbCliente, ckbFornecedor, ckbTransportadora, ckbMotorista, ckbNossaEmpresa, ckbVendedor};
}

void TfrmPesquisaPessoaComercio::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_mostrada) return;
    m_mostrada = true;
    guarded([this] { FormShow(); });
}

void TfrmPesquisaPessoaComercio::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        guarded([this] { BitBtn2Click(); });
        return;
    case Qt::Key_F12:
        guarded([this] { BitBtn4Click(); });
        return;
    case Qt::Key_Escape:
        BitBtn1Click();
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

void TfrmPesquisaPessoaComercio::FormShow() {
    if (TdmLookUp* lk = dmLookUp()) {
        TdmLookUp::reabre(lk->IBQ_Cidades);
        TdmLookUp::reabre(lk->IBQ_Estado);
    }
    Reinicia();
}

void TfrmPesquisaPessoaComercio::Reinicia() {
    const TipoPesquisaPessoa t = tipoPesquisaPessoa(sTipoPesquisa);
    lblLegendaParametro->setText(t.legenda);
    // Boxes ticked by an earlier search stay ticked; only "G" unticks the restriction and the
    // client category.
    if (t.restringe) {
        ckbApenasCategoriasAbaixo->setChecked(true);
        const auto caixas = caixasCategoria();
        for (size_t i = 0; i < caixas.size(); ++i)
            if (t.marca[i]) caixas[i]->setChecked(true);
    } else {
        ckbApenasCategoriasAbaixo->setChecked(false);
        ckbCliente->setChecked(false);
    }
    ckbApenasCategoriasAbaixoClick();
    for (QLineEdit* e : {mskCodigo, mskParteNome, mskCNPJ_CPF, mskParteCodigo, mskInicioNome})
        e->clear();
    lkCidade->setKeyValue(QVariant());
    lkEstado->setKeyValue(QVariant());
    IBQ_Pessoas.close();
    mostraQuantidade(0);
    mskCodigo->setFocus();
}

void TfrmPesquisaPessoaComercio::ckbApenasCategoriasAbaixoClick() {
    const bool ativo = ckbApenasCategoriasAbaixo->isChecked();
    for (QCheckBox* c : caixasCategoria())
        c->setEnabled(ativo);
}

void TfrmPesquisaPessoaComercio::mostraQuantidade(int n) {
    lblQtdePessoas->setText(formataContagem(n));
}

void TfrmPesquisaPessoaComercio::contaRestante() {
    if (!IBQ_Pessoas.active()) return;
    guarded([&] { IBQ_Pessoas.fetchMore(kParteContagem); });
    if (IBQ_Pessoas.active() && IBQ_Pessoas.canFetchMore()) {
        lblQtdePessoas->setText(formataContagem(IBQ_Pessoas.recordCount()) + " ...");
        m_contagem->start();
        return;
    }
    mostraQuantidade(IBQ_Pessoas.active() ? IBQ_Pessoas.recordCount() : 0);
}

void TfrmPesquisaPessoaComercio::verificaTexto(const QLineEdit* caixa, const QString& nome) const {
    const QString t = caixa->text();
    qsizetype at = cp1252::firstUnencodable(t);
    if (at < 0) {
        for (qsizetype i = 0; i < t.size(); ++i)
            if (t[i].unicode() < 0x20) {
                at = i;
                break;
            }
    }
    if (at < 0) return;
    const_cast<QLineEdit*>(caixa)->setFocus();
    warnAndAbort(cp1252::refusal("O campo \"" + nome + "\"", t, at));
}

bool TfrmPesquisaPessoaComercio::pesquisaExataCodigo() const {
    Query q(dataContext().IBSolution, dataContext().IBTransaction, "IBQ_ParametroPesquisa");
    q.setSqlText(" select first 1 st_pesquisa_exata_pessoa from tab_parametro order by id_parametro");
    q.open();
    const bool exata = !q.isEmpty() && q.fieldByName("ST_PESQUISA_EXATA_PESSOA")->asString() == "S";
    q.close();
    return exata;
}

CriteriosPessoa TfrmPesquisaPessoaComercio::criterios() const {
    CriteriosPessoa c;
    c.parteNome = mskParteNome->text();
    c.inicioNome = mskInicioNome->text();
    c.inicioCodigo = mskParteCodigo->text();
    c.cnpjCpf = mskCNPJ_CPF->text();
    c.idCidade = lkCidade->keyValue();
    c.sgEstado = lkEstado->keyValue().isNull() ? QString() : lkEstado->keyValue().toString().trimmed();
    c.apenasCategorias = ckbApenasCategoriasAbaixo->isChecked();
    const auto caixas = caixasCategoria();
    for (size_t i = 0; i < caixas.size(); ++i)
        c.categorias[i] = caixas[i]->isChecked();
    if (!c.inicioCodigo.trimmed().isEmpty()) c.codigoExato = pesquisaExataCodigo();
    return c;
}

void TfrmPesquisaPessoaComercio::BitBtn4Click() {
    verificaTexto(mskParteNome, "Parte do Nome");
    verificaTexto(mskInicioNome, QString::fromUtf8("Início do Nome"));
    verificaTexto(mskParteCodigo, QString::fromUtf8("Início do Código"));
    verificaTexto(mskCNPJ_CPF, "CNPJ / CPF");
    const QString S = MontaSQLPesquisaPessoa(criterios());
    {
        CursorEspera espera;
        IBQ_Pessoas.close();
        IBQ_Pessoas.setSqlText(S);
        IBQ_Pessoas.open();
        // The first rows, counting those the grid already took when it followed the first record.
        IBQ_Pessoas.fetchMore(std::max(1, kPrimeirasPessoas - IBQ_Pessoas.recordCount()));
    }
    if (IBQ_Pessoas.canFetchMore()) {
        lblQtdePessoas->setText(formataContagem(IBQ_Pessoas.recordCount()) + " ...");
        m_contagem->start();
    } else {
        mostraQuantidade(IBQ_Pessoas.recordCount());
    }
    // The whole current row is marked, as moving through the result marks it.
    if (!IBQ_Pessoas.isEmpty()) DBGrid1->selectRow(IBQ_Pessoas.recNo());
    DBGrid1->setFocus();
}

void TfrmPesquisaPessoaComercio::BitBtn2Click() {
    QWidget* foco = QApplication::focusWidget();
    if (foco && (foco == DBGrid1 || DBGrid1->isAncestorOf(foco) || foco == BitBtn2)) {
        // The user confirms the current row of the result.
        if (!IBQ_Pessoas.active() || IBQ_Pessoas.isEmpty()) return;
        if (IBQ_Pessoas.fieldByName("NM_PESQUISA")->asString().isEmpty()) return;
        iidPessoa = IBQ_Pessoas.fieldByName("ID_PESSOA")->asInteger();
        accept();
        return;
    }
    const QString codigo = mskCodigo->text();
    if (codigo.trimmed().isEmpty()) return;
    verificaTexto(mskCodigo, QString::fromUtf8("Código"));
    CategoriasPessoa marcadas{};
    const auto caixas = caixasCategoria();
    for (size_t i = 0; i < caixas.size(); ++i)
        marcadas[i] = caixas[i]->isChecked();
    const QString categorias = CondicaoCategoriasPessoa(ckbApenasCategoriasAbaixo->isChecked(), marcadas);
    IBQ_Pessoas.close();
    IBQ_Pessoas.setSqlText(SQLPessoaPorCodigo(codigo, categorias));
    IBQ_Pessoas.open();
    IBQ_Pessoas.fetchAll();
    mostraQuantidade(IBQ_Pessoas.recordCount());
    if (!IBQ_Pessoas.isEmpty()) {
        IBQ_Pessoas.first();
        iidPessoa = IBQ_Pessoas.fieldByName("ID_PESSOA")->asInteger();
        accept();
        return;
    }
    // Not found: whether the code exists outside the ticked categories says which message. The
    // check runs apart, so the result never offers a person outside those categories.
    bool existe = false;
    if (!categorias.isEmpty()) {
        Query q(dataContext().IBSolution, dataContext().IBTransaction, "IBQ_CodigoPessoa");
        q.setSqlText(SQLPessoaPorCodigo(codigo, QString()));
        q.open();
        existe = !q.isEmpty();
        q.close();
    }
    warn(existe ? QString::fromUtf8("Esta pessoa não pertence às categorias informadas.")
                : QString::fromUtf8("Código não Encontrado."));
    mskCodigo->setFocus();
    mskCodigo->selectAll();
}

void TfrmPesquisaPessoaComercio::BitBtn3Click() {
    Reinicia();
}

void TfrmPesquisaPessoaComercio::BitBtn1Click() {
    reject();
}

int PesquisaPessoa(const QString& sTipoPesquisa) {
    QWidget* pai = QApplication::activeWindow();
    if (!pai) pai = frmPrincipal();
    auto janela = std::make_unique<TfrmPesquisaPessoaComercio>(pai);
    janela->iidPessoa = 0;
    janela->sTipoPesquisa = sTipoPesquisa;
    execModal(*janela);
    return janela->iidPessoa;
}
