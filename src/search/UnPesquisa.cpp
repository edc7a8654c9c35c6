#include "search/UnPesquisa.h"
#include "data/SqlText.h"
#include "data/UnFuncoes.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include "screens/controls/TextoColuna.h"
#include "search/CampoCombo.h"
#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {
QLocale ptBR() {
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

// Window arrangement: three rows, the field box at the left and the value editor beside it.
constexpr int kLinhaY[3] = {39, 66, 95};
constexpr int kAltura = 21;
constexpr int kCaixaX = 29, kCaixaL = 239;
constexpr int kEditorX = 276, kEditorL = 264;
constexpr int kParL = 107, kParX2 = 410, kRotuloX = 393;
} // namespace

// ---------------------------------------------------------------- statement pieces

QString TextoSQL(const QString& texto) {
    return "'" + QString(texto).replace("'", "''") + "'";
}

QString NumeroPesquisaSQL(double valor) {
    // General format with the Brazilian decimal comma, then the SQL form.
    return FormataNumeroSQL(QString::number(valor, 'g', 15).replace('.', ','));
}

QString DataPesquisaSQL(const QDate& data) {
    return data.isValid() ? data.toString("MM/dd/yyyy") : QStringLiteral("12/30/1899");
}

QString CondicaoTexto(const QString& campo, const QString& texto) {
    if (texto.isEmpty()) return campo + " is Null and ";
    return "UPPER(" + campo + ") like UPPER(" + TextoSQL(texto + "%") + ") and ";
}

QString CondicaoMemo(const QString& campo, const QString& texto) {
    if (texto.isEmpty()) return campo + " is Null and ";
    return campo + " like " + TextoSQL(texto + "%") + " and ";
}

QString CondicaoNumero(const QString& campo, double de, double ate) {
    if (ate != 0)
        return campo + " between " + NumeroPesquisaSQL(de) + " and " + NumeroPesquisaSQL(ate) + " and ";
    if (de != 0) return campo + " = " + NumeroPesquisaSQL(de) + " and ";
    return " ( " + campo + " is Null or " + campo + " = 0 )  and ";
}

QString CondicaoData(const QString& campo, const QDate& de, const QDate& ate) {
    if (ate.isValid())
        return campo + " between '" + DataPesquisaSQL(de) + "' and '" + DataPesquisaSQL(ate) + "' and ";
    if (de.isValid()) return campo + " = '" + DataPesquisaSQL(de) + "' and ";
    return campo + " is Null and ";
}

QString CondicaoLookup(const QString& colunaChave, const QVariant& chave) {
    if (chave.isNull()) return colunaChave + " is Null and ";
    // The state abbreviation is a text key; so is any key that is not a number.
    bool numero = false;
    const double v = chave.toDouble(&numero);
    const bool texto = chave.typeId() == QMetaType::QString || chave.typeId() == QMetaType::QByteArray;
    if (colunaChave.compare("SG_ESTADO", Qt::CaseInsensitive) == 0 || texto || !numero)
        return colunaChave + " = " + TextoSQL(chave.toString()) + " and ";
    return colunaChave + " = " + NumeroPesquisaSQL(v) + " and ";
}

QString MontaSQLPesquisa(const QString& sql, const QString& mywhere, const QString& myorderby, bool semCampos,
                         const QStringList& condicoes) {
    const QString B = mywhere.mid(5);
    const QString M = myorderby.mid(9);
    if (semCampos) {
        QString W = " where 0=1 ";
        if (!B.isEmpty()) W += " and " + B;
        return sql::beforeClause(sql, "where") + W;
    }
    QString W = B.isEmpty() ? QStringLiteral(" where ") : " where " + B + " and ";
    for (const QString& c : condicoes)
        W += c;
    if (W == " where ") W = " where 0=1 ";
    if (W.endsWith("and ")) W.chop(4);
    QString r = sql::beforeClause(sql, "where") + W;
    if (!M.isEmpty()) r += " order by " + M;
    return r;
}

QString MostrarTodosSQL(const QString& sql, const QString& mywhere, const QString& myorderby) {
    return sql::showAllStatement(sql, mywhere, myorderby);
}

// ---------------------------------------------------------------- number box

NumeroEdit::NumeroEdit(QWidget* parent, const QString& name, int decimais)
    : QLineEdit(parent), m_decimais(decimais) {
    setObjectName(name);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setValidator(new QRegularExpressionValidator(QRegularExpression("-?[0-9.]*(,[0-9]*)?"), this));
}

double NumeroEdit::valor() const {
    const QString t = text().trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const double v = FormataNumeroSQL(t).toDouble(&ok);
    if (!ok) {
        const_cast<NumeroEdit*>(this)->setFocus();
        warnAndAbort("'" + t + "' não é um valor numérico válido");
    }
    return v;
}

void NumeroEdit::setValor(double v) {
    QString t = ptBR().toString(v, 'f', m_decimais);
    t.remove(ptBR().groupSeparator());
    setText(t);
}

void NumeroEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    const QString t = text().trimmed();
    bool ok = false;
    const double v = FormataNumeroSQL(t).toDouble(&ok);
    if (t.isEmpty() || ok) setValor(t.isEmpty() ? 0 : v);
}

// ---------------------------------------------------------------- window

TfrmPesquisa::TfrmPesquisa(TfrmClassePrincipal* principal, QWidget* parent)
    : QDialog(parent), m_principal(principal) {
    setObjectName("frmPesquisa");
    setWindowTitle("Pesquisar");
    setFixedSize(560, 178);
    auto* h1 = new QLabel("Campo para Pesquisar", this);
    h1->setGeometry(kCaixaX, 16, kCaixaL, 18);
    auto* h2 = new QLabel("Conteúdo a Pesquisar", this);
    h2->setGeometry(kEditorX, 16, kEditorL, 18);
    CampoCombo** caixas[3] = {&cb1, &cb2, &cb3};
    for (int i = 0; i < 3; ++i) {
        auto* n = new QLabel(QString("%1º").arg(i + 1), this);
        n->setGeometry(8, kLinhaY[i], 20, kAltura);
        CampoCombo* c = new CampoCombo(this, QString("cb%1").arg(i + 1), "Selecione o Campo para Pesquisa");
        c->setGeometry(kCaixaX, kLinhaY[i], kCaixaL, kAltura);
        connect(c, &CampoCombo::textoAlterado, this, [this, i] { guarded([&] { cbChange(i); }); });
        connect(c, &CampoCombo::escolhaConfirmada, this, [this, i] { guarded([&] { escolheCampo(i); }); });
        *caixas[i] = c;
    }
    auto botao = [this](const char* nome, const QString& texto, int x) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(nome);
        b->setAutoDefault(false);
        b->setGeometry(x, 136, 120, 30);
        return b;
    };
    bttPesquisar = botao("bttPesquisar", "&Pesquisar", 29);
    bttAplicar = botao("bttAplicar", "&Aplicar", 156);
    bttMostrarTodos = botao("bttMostrarTodos", "&Mostrar Todos", 283);
    BitBtn1 = botao("BitBtn1", "&Fechar", 410);
    connect(bttPesquisar, &QPushButton::clicked, this, [this] { guarded([this] { bttPesquisarClick(); }); });
    connect(bttAplicar, &QPushButton::clicked, this, [this] { guarded([this] { bttAplicarClick(); }); });
    connect(bttMostrarTodos, &QPushButton::clicked, this,
            [this] { guarded([this] { bttMostrarTodosClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    ordenaTab();
}

TfrmPesquisa::~TfrmPesquisa() {
    // The editors go before the lookup queries they show.
    for (int i = 0; i < 3; ++i)
        ExcluiCamposSobrepostos(i);
}

void TfrmPesquisa::executa(TfrmClassePrincipal* principal) {
    auto* f = new TfrmPesquisa(principal, principal);
    f->setAttribute(Qt::WA_DeleteOnClose);
    execModal(*f);
}

CampoCombo* TfrmPesquisa::caixa(int linha) const {
    return linha == 0 ? cb1 : linha == 1 ? cb2 : cb3;
}

DataSet* TfrmPesquisa::dataSet() const {
    return m_principal && m_principal->dsAtual ? m_principal->dsAtual->dataSet() : nullptr;
}

Query* TfrmPesquisa::lista() const {
    return dynamic_cast<Query*>(dataSet());
}

void TfrmPesquisa::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_mostrada) return;
    m_mostrada = true;
    guarded([this] { FormShow(); });
}

void TfrmPesquisa::FormShow() {
    MontaCombos();
    cb1->setFocus();
}

void TfrmPesquisa::MontaCombos() {
    DataSet* d = dataSet();
    const QStringList rotulos = d ? rotulosOferecidos(*d, true) : QStringList();
    CampoCombo* const caixas[3] = {cb1, cb2, cb3};
    for (CampoCombo* c : caixas)
        if (c->currentText().isEmpty()) c->setRotulos(rotulos);
    habilitaPorQuantidade(caixas, d ? d->fieldCount() : 0);
}

void TfrmPesquisa::cbChange(int linha) {
    ++m_regra;
    struct Saida {
        int& n;
        ~Saida() { --n; }
    } saida{m_regra};
    VerificaTipoCampo(linha);
    VerificaCamposBrancos();
    MontaCombos();
}

void TfrmPesquisa::escolheCampo(int linha) {
    // A field cannot be chosen in two rows: the row that held it before gives it up. Only a
    // choice does this; a label that typing merely completes leaves the other rows alone.
    const QString texto = caixa(linha)->currentText();
    for (int i = 0; i < 3; ++i)
        if (i != linha && !texto.isEmpty() && caixa(i)->currentText() == texto) caixa(i)->limpa();
}

void TfrmPesquisa::VerificaTipoCampo(int linha) {
    DataSet* d = dataSet();
    if (!d) return;
    const QString texto = caixa(linha)->currentText();
    if (texto.isEmpty()) return;
    // The box came back to the field its editor already serves (a stray text put back): the
    // editor and what was typed in it stay.
    const size_t i = static_cast<size_t>(linha);
    if (m_editor[i] != Editor::Nenhum && m_rotulo[i] == texto) return;
    for (const auto& f : d->fields()) {
        if (f->displayLabel() != texto) continue;
        Editor tipo = Editor::Nenhum;
        if (f->isLookup()) {
            tipo = Editor::Lookup;
        } else if (f->fieldClass() == FieldClass::StringColumn && f->tag() == 1) {
            tipo = Editor::Marcador;
        } else {
            switch (f->fieldClass()) {
            case FieldClass::StringColumn:
                tipo = Editor::Texto;
                break;
            case FieldClass::Memo:
                tipo = Editor::Memo;
                break;
            case FieldClass::String:
                tipo = Editor::TextoSemColuna;
                break;
            case FieldClass::BCD:
            case FieldClass::Float:
            case FieldClass::Integer:
                tipo = Editor::Numero;
                break;
            case FieldClass::Date:
            case FieldClass::DateTime:
                tipo = Editor::Data;
                break;
            default:
                break;
            }
        }
        MontaConteudoPesquisa(linha, tipo, f.get());
    }
}

void TfrmPesquisa::ExcluiCamposSobrepostos(int linha) {
    const size_t i = static_cast<size_t>(linha);
    for (QWidget* w : std::initializer_list<QWidget*>{Me[i], m_semNome[i], ce[i], ceb[i], lb[i], de[i],
                                                      deb[i], lc[i], ch[i]})
        delete w;
    ds[i].reset();
    ib[i].reset();
    m_editor[i] = Editor::Nenhum;
    m_rotulo[i].clear();
}

void TfrmPesquisa::MontaConteudoPesquisa(int linha, Editor tipo, Field* campo) {
    ExcluiCamposSobrepostos(linha);
    if (tipo == Editor::Nenhum) throw AppError("Tipo de Campo não encontrado.");
    const size_t i = static_cast<size_t>(linha);
    const QString n = QString::number(linha + 1);
    const int y = kLinhaY[linha];
    switch (tipo) {
    case Editor::Texto:
    case Editor::Memo:
    case Editor::TextoSemColuna: {
        auto* e = new QLineEdit(this);
        if (tipo == Editor::TextoSemColuna) {
            m_semNome[i] = e;
        } else {
            e->setObjectName((tipo == Editor::Texto ? "me" : "memo") + n);
            // What the column cannot hold (too long, a character outside the database's
            // alphabet) is refused as it is typed or pasted, naming the field.
            const QString nome = campo->displayLabel();
            TextoColunaValidator::install(e, tipo == Editor::Texto && campo->size() > 0 ? campo->size() : 0,
                                          true, [nome] { return nome; });
            Me[i] = e;
        }
        e->setGeometry(kEditorX, y, kEditorL, kAltura);
        break;
    }
    case Editor::Numero: {
        const int decimais = campo->fieldClass() == FieldClass::Integer ? 0 : 2;
        ce[i] = new NumeroEdit(this, "ce" + n, decimais);
        ce[i]->setGeometry(kEditorX, y, kParL, kAltura);
        ce[i]->setValor(0);
        ceb[i] = new NumeroEdit(this, "ce" + n + "b", decimais);
        ceb[i]->setGeometry(kParX2, y, kParL, kAltura);
        ceb[i]->setValor(9999999);
        break;
    }
    case Editor::Data: {
        de[i] = new DBDateEdit(this, "de" + n);
        de[i]->setGeometry(kEditorX, y, kParL, kAltura);
        de[i]->setDate(appClock().today());
        deb[i] = new DBDateEdit(this, "de" + n + "b");
        deb[i]->setGeometry(kParX2, y, kParL, kAltura);
        deb[i]->setDate(appClock().today());
        break;
    }
    case Editor::Lookup: {
        LookupAtual = campo;
        DataSet* listaOrigem = campo->lookupDataSet();
        DataSet* fonte = listaOrigem;
        if (auto* q = dynamic_cast<Query*>(listaOrigem)) {
            // A copy of the lookup list of its own, on the list's connection and transaction.
            ib[i] = std::make_unique<Query>(q->database(), q->transaction(), "ib" + n);
            ib[i]->setSqlText(q->sqlText());
            for (const QString& p : q->paramNames())
                ib[i]->setParam(p, q->param(p));
            ib[i]->open();
            // The editor offers the whole list from the start.
            ib[i]->fetchAll();
            fonte = ib[i].get();
        }
        ds[i] = std::make_unique<DataSource>("ds" + n, fonte);
        lc[i] = new DBLookupCombo(this, nullptr, QString(), fonte, campo->lookupKeyFields(),
                                  campo->lookupResultField(), "lc" + n);
        lc[i]->setGeometry(kEditorX, y, kEditorL, kAltura);
        lc[i]->reloadList();
        lc[i]->setKeyValue(QVariant());
        break;
    }
    case Editor::Marcador: {
        ch[i] = new QCheckBox(this);
        ch[i]->setObjectName("ch" + n);
        ch[i]->setChecked(true);
        ch[i]->setGeometry(kEditorX, y, kEditorL, kAltura);
        break;
    }
    case Editor::Nenhum:
        break;
    }
    if (tipo == Editor::Numero || tipo == Editor::Data) {
        lb[i] = new QLabel("à", this);
        lb[i]->setObjectName("lb" + n);
        QFont f = lb[i]->font();
        f.setBold(true);
        f.setPointSize(10);
        lb[i]->setFont(f);
        lb[i]->setGeometry(kRotuloX, y, 14, kAltura);
        lb[i]->show();
    }
    m_editor[i] = tipo;
    m_rotulo[i] = campo->displayLabel();
    for (QWidget* w :
         std::initializer_list<QWidget*>{Me[i], m_semNome[i], ce[i], ceb[i], de[i], deb[i], lc[i], ch[i]})
        if (w) w->show();
    ordenaTab();
}

void TfrmPesquisa::ordenaTab() {
    // Field box, then its editors, row after row; the buttons last.
    QList<QWidget*> ordem;
    for (int n = 0; n < 3; ++n) {
        const size_t i = static_cast<size_t>(n);
        ordem << caixa(n);
        for (QWidget* w :
             std::initializer_list<QWidget*>{Me[i], m_semNome[i], ce[i], ceb[i], de[i], deb[i], lc[i], ch[i]})
            if (w) ordem << w;
    }
    ordem << bttPesquisar << bttAplicar << bttMostrarTodos << BitBtn1;
    for (int k = 1; k < ordem.size(); ++k)
        setTabOrder(ordem[k - 1], ordem[k]);
}

void TfrmPesquisa::VerificaCamposBrancos() {
    for (int i = 0; i < 3; ++i)
        if (caixa(i)->currentText().isEmpty()) ExcluiCamposSobrepostos(i);
}

QString TfrmPesquisa::condicaoDaLinha(int linha, const DataSet& d) const {
    const size_t i = static_cast<size_t>(linha);
    Field* f = ultimoCampoComRotulo(d, caixa(linha)->currentText());
    if (!f) return QString();
    const QString F = f->fieldName();
    switch (m_editor[i]) {
    case Editor::Texto:
        return CondicaoTexto(F, Me[i]->text());
    case Editor::Memo:
        return CondicaoMemo(F, Me[i]->text());
    case Editor::Numero:
        return CondicaoNumero(F, ce[i]->valor(), ceb[i]->valor());
    case Editor::Data: {
        auto data = [](DBDateEdit* e) {
            if (e->displayText() == DBDateEdit::emptyMask()) return QDate();
            const QDate d = e->date();
            if (!d.isValid()) {
                e->setFocus();
                warnAndAbort("Data inválida");
            }
            return d;
        };
        const QDate ate = data(deb[i]);
        const QDate de1 = data(de[i]);
        return CondicaoData(F, de1, ate);
    }
    case Editor::Lookup:
        return CondicaoLookup(f->keyFields(), lc[i]->keyValue());
    case Editor::TextoSemColuna:
    case Editor::Marcador:
    case Editor::Nenhum:
        break;
    }
    return QString();
}

void TfrmPesquisa::bttAplicarClick() {
    Query* q = lista();
    if (!q) return;
    CampoCombo* const caixas[3] = {cb1, cb2, cb3};
    exigeCamposDaLista(caixas);
    const bool semCampos =
        cb1->currentText().isEmpty() && cb2->currentText().isEmpty() && cb3->currentText().isEmpty();
    // Every row's value is read before the list closes: a value that is not valid ends the
    // apply with its message and leaves the list as it was.
    QStringList condicoes;
    if (!semCampos)
        for (int i = 0; i < 3; ++i)
            if (!caixa(i)->currentText().isEmpty()) condicoes << condicaoDaLinha(i, *q);
    // A record being edited is settled first, as the toolbar's Todos does ("Cancelar" ends here).
    if (q->editing()) m_principal->resolvePendente(*q);
    const QString S = q->sqlText();
    q->close();
    q->setSqlText(MontaSQLPesquisa(S, m_principal->mywhere, m_principal->myorderby, semCampos, condicoes));
    q->open();
}

void TfrmPesquisa::bttPesquisarClick() {
    bttAplicarClick();
    close();
}

void TfrmPesquisa::bttMostrarTodosClick() {
    Query* q = lista();
    if (!q) return;
    if (q->editing()) m_principal->resolvePendente(*q);
    const QString S = q->sqlText();
    q->close();
    q->setSqlText(MostrarTodosSQL(S, m_principal->mywhere, m_principal->myorderby));
    q->open();
}

void TfrmPesquisa::BitBtn1Click() {
    close();
}
