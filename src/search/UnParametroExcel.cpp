#include "search/UnParametroExcel.h"
#include "data/DataSource.h"
#include "data/SqlText.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/WorkbookWriter.h"
#include "screens/ScreenWindow.h"
#include "screens/UnPrincipal.h"
#include "screens/controls/DBGrid.h"
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {
TfrmParametroExcel* g_frm = nullptr;
} // namespace

TfrmParametroExcel* frmParametroExcel() {
    return g_frm;
}

// ---------------------------------------------------------------- lookup texts

namespace {
// A shared query read once from first to last while this lives (an export's rows, a whole
// lookup list), then closed and back to its ordinary reading.
class LeituraUnica {
public:
    explicit LeituraUnica(Query& q) : m_q(q) { m_q.setForwardOnly(true); }
    ~LeituraUnica() {
        m_q.close();
        m_q.setForwardOnly(false);
    }
    LeituraUnica(const LeituraUnica&) = delete;
    LeituraUnica& operator=(const LeituraUnica&) = delete;

private:
    Query& m_q;
};
} // namespace

TextosLookup::TextosLookup(const Field& lookup, Query& consulta)
    : m_q(consulta), m_resultado(lookup.lookupResultField()), m_chave(lookup.lookupKeyFields()) {
    auto* lista = dynamic_cast<Query*>(lookup.lookupDataSet());
    if (!lista) {
        m_lista = lookup.lookupDataSet();
        return;
    }
    // The list's tables and condition, without its ordering.
    const QString L = sql::fromPart(lista->sqlText().toUpper(), Qt::CaseInsensitive).mid(4);
    m_de = L.trimmed();
    m_juncao = sql::conditionJoin(L, Qt::CaseInsensitive);
}

QString TextosLookup::normaliza(const QVariant& chave) {
    QString k = keyText(chave);
    // Text keys compare as the database compares them: trailing blanks do not count.
    while (k.endsWith(' '))
        k.chop(1);
    return k;
}

QString TextosLookup::texto(const QVariant& chave) {
    if (m_lista) {
        const QVariant v = m_lista->lookup(m_chave, chave, m_resultado);
        return v.isNull() ? QString() : v.toString();
    }
    const QString k = normaliza(chave);
    if (auto it = m_textos.constFind(k); it != m_textos.constEnd()) return *it;
    if (m_todos) return QString();
    if (++m_faltas > 32) {
        leTodos();
        return m_textos.value(k);
    }
    m_q.close();
    m_q.setSqlText(" select " + m_resultado + " from " + m_de + m_juncao + m_chave + " = " + "'" +
                   keyText(chave).replace("'", "''") + "'");
    m_q.open();
    ++m_consultas;
    const QString t = m_q.isEmpty() ? QString() : m_q.field(0)->displayText();
    m_q.close();
    m_textos.insert(k, t);
    return t;
}

void TextosLookup::leTodos() {
    // Many different keys: one statement for the whole list. The first row of a key gives its
    // text, as the statement per key would.
    // The list is read once from first to last, so only its texts stay in memory.
    m_q.close();
    m_q.setSqlText(" select " + m_chave + ", " + m_resultado + " from " + m_de);
    const LeituraUnica leitura(m_q);
    m_q.open();
    ++m_consultas;
    Field* fk = m_q.field(0);
    Field* fr = m_q.field(1);
    QHash<QString, QString> lidos;
    for (m_q.first(); !m_q.eof(); m_q.next()) {
        const QString k = normaliza(fk->value());
        if (!lidos.contains(k)) lidos.insert(k, Field::formatValue(*fr, fr->value()));
    }
    m_q.close();
    // Texts already read by key stay as they were read.
    for (auto it = m_textos.constBegin(); it != m_textos.constEnd(); ++it)
        lidos.insert(it.key(), it.value());
    m_textos = std::move(lidos);
    m_todos = true;
}

// ---------------------------------------------------------------- writing the rows

namespace {
enum class Celula { Lookup, Inteiro, Decimal, Memo, Texto, Ausente };

struct Coluna {
    Celula tipo = Celula::Ausente;
    Field* campo = nullptr;         // field of the copy
    Field* chave = nullptr;         // key field of the copy, for a lookup column
    const Field* formato = nullptr; // field of the list whose formats the cell follows
    std::unique_ptr<TextosLookup> textos;
    WorkbookWriter::Format numero = 0;
};
} // namespace

int EscrevePlanilha(WorkbookWriter& wb, int folha, const Query& lista, const QList<ColunaPlanilha>& colunas,
                    Query& copia, Query& consulta, const std::function<void()>& aCadaLinha) {
    CellFormat negrito;
    negrito.bold = true;
    const WorkbookWriter::Format titulo = wb.format(negrito);
    for (int c = 0; c < colunas.size(); ++c)
        wb.writeText(folha, 0, c, colunas[c].titulo, titulo);

    copia.close();
    copia.setSqlText(lista.sqlText());
    for (const QString& p : lista.paramNames())
        copia.setParam(p, lista.param(p));
    // The copy is read once, row after row, straight into the workbook: the memory stays that
    // of one part of rows whatever the list's size. The copy is the screens' shared query, so
    // it goes back to its ordinary reading afterwards.
    const LeituraUnica leitura(copia);
    copia.open();

    std::vector<Coluna> cols(static_cast<size_t>(colunas.size()));
    for (int c = 0; c < colunas.size(); ++c) {
        Coluna& k = cols[static_cast<size_t>(c)];
        const QString& F = colunas[c].campo;
        Field* daLista = lista.findField(F);
        k.campo = copia.findField(F);
        k.formato =
            daLista && daLista->kind() == (k.campo ? k.campo->kind() : FieldKind::Lookup) ? daLista : k.campo;
        if (daLista && daLista->isLookup()) {
            k.tipo = Celula::Lookup;
            k.chave = copia.findField(daLista->keyFields());
            k.textos = std::make_unique<TextosLookup>(*daLista, consulta);
            if (!k.chave) k.tipo = Celula::Ausente;
            continue;
        }
        if (!k.campo) continue;
        switch (k.campo->fieldClass()) {
        case FieldClass::Integer:
            k.tipo = Celula::Inteiro;
            break;
        case FieldClass::BCD: {
            k.tipo = Celula::Decimal;
            CellFormat f;
            f.numberFormat = daLista ? daLista->displayFormat() : QString();
            k.numero = wb.format(f);
            break;
        }
        case FieldClass::Memo:
            k.tipo = Celula::Memo;
            break;
        default:
            k.tipo = Celula::Texto;
            break;
        }
    }

    int r = 1;
    for (copia.first(); !copia.eof(); copia.next()) {
        for (size_t c = 0; c < cols.size(); ++c) {
            Coluna& k = cols[c];
            const int col = static_cast<int>(c);
            switch (k.tipo) {
            case Celula::Lookup: {
                const QVariant chave = k.chave->value();
                if (chave.isNull() || keyText(chave).isEmpty()) break;
                const QString t = k.textos->texto(chave);
                if (!t.isEmpty()) wb.writeText(folha, r, col, t);
                break;
            }
            case Celula::Inteiro: {
                const QVariant v = k.campo->value();
                if (!v.isNull()) wb.writeNumber(folha, r, col, v.toDouble());
                break;
            }
            case Celula::Decimal: {
                const QVariant v = k.campo->value();
                if (!v.isNull()) wb.writeNumber(folha, r, col, v.toDouble(), k.numero);
                break;
            }
            case Celula::Memo: {
                const QString t = k.campo->asString().left(255);
                if (!t.isEmpty()) wb.writeText(folha, r, col, t);
                break;
            }
            case Celula::Texto: {
                const QString t = Field::formatValue(*k.formato, k.campo->value());
                if (!t.isEmpty()) wb.writeText(folha, r, col, t);
                break;
            }
            case Celula::Ausente:
                break;
            }
        }
        ++r;
        if (aCadaLinha) aCadaLinha();
    }
    copia.close();
    return r - 1;
}

// ---------------------------------------------------------------- window

TfrmParametroExcel::TfrmParametroExcel(TfrmClassePrincipal* principal, QWidget* parent)
    : QDialog(parent), m_principal(principal), m_tela(principal ? principal->telaAtiva() : nullptr) {
    g_frm = this;
    setObjectName("frmParametroExcel");
    setWindowTitle("Exporta Dados para o Excel");
    setFixedSize(420, 150);
    if (principal) {
        IBQ_Gen.setDatabase(&principal->IBSolution);
        IBQ_Padrao.setDatabase(&principal->IBSolution);
    }
    IBQ_Gen.setName("IBQ_Gen");
    IBQ_Padrao.setName("IBQ_Padrao");
    auto* rotulo = new QLabel("Nome do Arquivo", this);
    rotulo->setGeometry(16, 14, 200, 18);
    mskNomeArquivo = new QLineEdit(this);
    mskNomeArquivo->setObjectName("mskNomeArquivo");
    mskNomeArquivo->setGeometry(16, 34, 388, 24);
    rotulo->setBuddy(mskNomeArquivo);
    auto* painel = new QWidget(this);
    painel->setObjectName("Panel1");
    painel->setGeometry(0, 66, 420, 84);
    lblAguarde = new QLabel("Aguarde ...", painel);
    lblAguarde->setObjectName("lblAguarde");
    lblAguarde->setGeometry(16, 4, 200, 18);
    lblAguarde->hide();
    Gauge1 = new QProgressBar(painel);
    Gauge1->setObjectName("Gauge1");
    Gauge1->setGeometry(16, 22, 388, 16);
    Gauge1->hide();
    btnGerarArquivo = new QPushButton("Gerar Arquivo", painel);
    btnGerarArquivo->setObjectName("btnGerarArquivo");
    btnGerarArquivo->setGeometry(184, 44, 110, 30);
    btnGerarArquivo->setAutoDefault(false);
    BitBtn1 = new QPushButton("Fechar", painel);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(300, 44, 104, 30);
    BitBtn1->setAutoDefault(false);
    connect(btnGerarArquivo, &QPushButton::clicked, this,
            [this] { guarded([this] { btnGerarArquivoClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

TfrmParametroExcel::~TfrmParametroExcel() {
    if (g_frm == this) g_frm = nullptr;
}

void TfrmParametroExcel::executa(TfrmClassePrincipal* principal) {
    auto* f = new TfrmParametroExcel(principal, principal);
    f->setAttribute(Qt::WA_DeleteOnClose);
    if (f->m_tela) f->mskNomeArquivo->setText(NomeArquivoProposto(f->m_tela->windowTitle()));
    execModal(*f);
}

Query* TfrmParametroExcel::lista() const {
    return m_principal && m_principal->dsAtual ? dynamic_cast<Query*>(m_principal->dsAtual->dataSet())
                                               : nullptr;
}

QString TfrmParametroExcel::arquivo() const {
    return CaminhoPlanilha(mskNomeArquivo->text());
}

void TfrmParametroExcel::btnGerarArquivoClick() {
    Query* q = lista();
    if (!q) return;
    const QString problema = ValidaNomeArquivo(mskNomeArquivo->text());
    if (!problema.isEmpty()) {
        mskNomeArquivo->setFocus();
        warnAndAbort(problema);
    }
    // The count of the list's rows: its tables and condition, without its ordering. The clauses
    // are found outside quoted text, so a filter on "recorder" counts what it finds.
    IBQ_Gen.close();
    IBQ_Gen.setSqlText(sql::countStatement(q->sqlText(), "qtde"));
    for (const QString& p : IBQ_Gen.paramNames())
        IBQ_Gen.setParam(p, q->param(p));
    IBQ_Gen.open();
    iQtdeRegistros = IBQ_Gen.fieldByName("qtde")->asInteger();
    IBQ_Gen.close();
    if (iQtdeRegistros == 0) {
        warn("Não foi encontrado nenhum registro para geração do arquivo.");
        return;
    }
    if (!GeraPlanilha()) return;
    AbrePlanilhaGravada(arquivo());
}

bool TfrmParametroExcel::GeraPlanilha() {
    Query* q = lista();
    if (!q) return false;
    lblAguarde->show();
    Gauge1->show();
    Gauge1->setMinimum(0);
    Gauge1->setMaximum(iQtdeRegistros + 3);
    Gauge1->setValue(1);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    const QString pasta = PastaPlanilhas();
    if (!QDir().mkpath(pasta)) throw AppError("Não pode ser Criado o Diretório " + pasta);
    const QString caminho = arquivo();
    LiberaArquivoPlanilha(caminho, mskNomeArquivo->text());
    std::unique_ptr<WorkbookWriter> wb;
    int folha = 0;
    try {
        wb = std::make_unique<WorkbookWriter>(caminho, WorkbookWriter::Options{true});
        folha = wb->addSheet("Plan1");
    } catch (const WorkbookError&) {
        warn("O sistema não conseguiu criar o Arquivo, verifique se existe o\rprograma Excel instalado nesta "
             "máquina.");
        return false;
    }
    Gauge1->setValue(2);

    std::exception_ptr erro;
    try {
        const QList<DBGrid*> grades = m_tela ? m_tela->findChildren<DBGrid*>("DBGrid1") : QList<DBGrid*>();
        for (DBGrid* g : grades) {
            QList<ColunaPlanilha> colunas;
            DBGridModel* m = g->gridModel();
            for (int c = 0; c < m->columnCount(); ++c)
                colunas.append({m->columns().empty()
                                    ? (m->columnField(c) ? m->columnField(c)->fieldName() : QString())
                                    : m->columns()[static_cast<size_t>(c)].fieldName,
                                m->columnTitle(c)});
            int linha = 0;
            EscrevePlanilha(*wb, folha, *q, colunas, IBQ_Padrao, IBQ_Gen, [&] {
                // The bar moves and the window repaints now and then; clicks wait for the end.
                if (++linha % 256 == 0) {
                    Gauge1->setValue(std::min(Gauge1->maximum(), 2 + linha));
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                }
            });
        }
    } catch (...) {
        erro = std::current_exception();
    }
    Gauge1->setValue(Gauge1->maximum());
    Gauge1->hide();
    lblAguarde->hide();
    try {
        wb->fitColumns(folha);
        wb->close();
    } catch (const WorkbookError& e) {
        if (!erro) throw AppError(e.message());
    }
    if (erro) std::rethrow_exception(erro);
    return true;
}

void TfrmParametroExcel::BitBtn1Click() {
    close();
}

void TfrmParametroExcel::closeEvent(QCloseEvent* e) {
    QDialog::closeEvent(e);
    if (g_frm == this) g_frm = nullptr;
}

void TfrmParametroExcel::keyReleaseEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyReleaseEvent(e);
}
