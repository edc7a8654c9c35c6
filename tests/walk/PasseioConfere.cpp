// The walk's checks: after every step, on a connection of its own, the lists show only rows the
// database holds, once each, and a record that left its editing was saved as its controls
// showed it or the user was asked.
#include "Passeio.h"
#include "app/UnMenuPrincipal.h"
#include "data/Database.h"
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "platform/Clock.h"
#include "platform/Cp1252.h"
#include "platform/ErrorHook.h"
#include "screens/UnCadastroPadrao.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBGrid.h"
#include "screens/controls/FieldText.h"
#include "search/CampoCombo.h"
#include "search/UnOrdena.h"
#include "search/UnPesquisa.h"
#include "search/UnPesquisaPessoaComercio.h"
#include "support/UnErroSistema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cmath>

namespace {

// Values of the table's rows read on the checks' connection: each key with its values.
struct LinhaBanco {
    bool existe = false;
    QVariantMap valores;
};

LinhaBanco leLinha(Database& db, const QString& tabela, const QString& chave, const QVariant& valor) {
    Transaction tr(&db);
    Query q(&db, &tr);
    q.setSqlText("select * from " + tabela + " where " + chave + " = :K");
    q.setParam("K", valor);
    q.open();
    LinhaBanco l;
    if (!q.isEmpty()) {
        l.existe = true;
        for (int i = 0; i < q.fieldCount(); ++i)
            l.valores.insert(q.field(i)->fieldName().toUpper(), q.field(i)->value());
    }
    q.close();
    tr.rollback();
    return l;
}

std::vector<qint64> chavesDaTabela(Database& db, const QString& tabela, const QString& chave,
                                   qint64 acimaDe = std::numeric_limits<qint64>::min()) {
    Transaction tr(&db);
    Query q(&db, &tr);
    q.setSqlText("select " + chave + " from " + tabela + " where " + chave + " > " +
                 QString::number(acimaDe));
    q.open();
    q.fetchAll();
    std::vector<qint64> r;
    for (int i = 0; i < q.recordCount(); ++i)
        r.push_back(q.valueAt(i, q.field(0)).toLongLong());
    q.close();
    tr.rollback();
    return r;
}

qint64 maiorChave(Database& db, const QString& tabela, const QString& chave) {
    Transaction tr(&db);
    Query q(&db, &tr);
    q.setSqlText("select max(" + chave + ") from " + tabela);
    q.open();
    const qint64 v = q.field(0)->value().toLongLong();
    q.close();
    tr.rollback();
    return v;
}

// Whether a control's text and the value the database holds are the same value of the field.
bool mesmoValor(const Field& f, const QString& texto, bool campoData, const QVariant& banco,
                QString* esperado) {
    QString t = texto;
    if (campoData && QString(t).remove('/').trimmed().isEmpty()) t.clear();
    const fieldtext::Parsed p = fieldtext::parse(f, t);
    if (!p.ok) {
        *esperado = "(texto que não é um valor: \"" + Passeio::resumido(texto) + "\")";
        return false;
    }
    *esperado = p.value.isNull() ? QStringLiteral("(vazio)") : p.value.toString();
    const auto vazio = [](const QVariant& v) {
        return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty());
    };
    if (vazio(p.value) || vazio(banco)) return vazio(p.value) && vazio(banco);
    if (campoData || p.value.typeId() == QMetaType::QDate) {
        const QDate a =
            p.value.typeId() == QMetaType::QDateTime ? p.value.toDateTime().date() : p.value.toDate();
        const QDate b = banco.typeId() == QMetaType::QDateTime ? banco.toDateTime().date() : banco.toDate();
        return a == b;
    }
    if (f.isNumeric()) {
        const double a = p.value.toDouble(), b = banco.toDouble();
        return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a));
    }
    if (p.value.typeId() == QMetaType::QString)
        return p.value.toString().trimmed() == banco.toString().trimmed();
    return fieldtext::sameValue(p.value, banco);
}

} // namespace

// ---------------------------------------------------------------- checks

std::vector<Passeio::Pendente> Passeio::pendentes() {
    std::vector<Pendente> r;
    Database* db = m_amb.conferencia ? m_amb.conferencia() : nullptr;
    for (ScreenWindow* s : m_amb.principal->telasAbertas()) {
        auto* t = dynamic_cast<TfrmCadastroPadrao*>(s);
        DataSet* ds = t ? t->dsPadrao.dataSet() : nullptr;
        // A record entered but not changed holds nothing to lose: a grid drops such a new row
        // when the user leaves it.
        if (!ds || !ds->editing() || !ds->modified() || ds->fieldCount() == 0) continue;
        Pendente p;
        p.tela = t;
        p.nomeTela = t->objectName();
        p.tabela = tableOfOrigin(ds->field(0)->origin()).toUpper();
        p.chave = ds->field(0)->fieldName().toUpper();
        if (p.tabela.isEmpty()) continue;
        p.insercao = ds->state() == DataSetState::Insert;
        p.valorChave = ds->field(0)->value();
        if (p.insercao && db) {
            try {
                p.maiorChave = maiorChave(*db, p.tabela, p.chave);
            } catch (...) {
                continue;
            }
        }
        for (DBEdit* e : t->findChildren<DBEdit*>()) {
            Field* f = e->field();
            if (e->dataSource() != &t->dsPadrao || !f || f->isLookup() || f == ds->field(0)) continue;
            if (tableOfOrigin(f->origin()).toUpper() != p.tabela) continue;
            const bool data = qobject_cast<DBDateEdit*>(e) != nullptr;
            p.controles.push_back({f->fieldName().toUpper(), data ? e->displayText() : e->text(), data});
            if (!fieldtext::sameValue(f->value(), f->oldValue()))
                p.alterados.insert(f->fieldName().toUpper());
        }
        r.push_back(std::move(p));
    }
    return r;
}

bool Passeio::descarteAutorizado(int mensagensAntes) const {
    if (m_f6) return true;
    const auto& ms = m_amb.dialogos->messages();
    for (size_t i = size_t(mensagensAntes); i < ms.size(); ++i) {
        const auto& m = ms[i];
        if (m.buttons == MsgButtons::Ok) continue;
        // The answer given is the last logged one for that question; a question offering "Não"
        // or "Cancelar" lets the user drop the change, a confirmed delete drops it too.
        if (m.text.startsWith(QStringLiteral("Excluir"))) return true;
        for (qsizetype j = m_registro.size() - 1; j >= 0; --j) {
            const QString& l = m_registro[j];
            if (!l.contains("pergunta \"" + resumido(m.text) + "\"")) continue;
            if (l.endsWith(QStringLiteral("Não")) || l.endsWith(QStringLiteral("Cancelar"))) return true;
            break;
        }
    }
    return false;
}

void Passeio::confere(const std::vector<Pendente>& antes, int mensagensAntes) {
    Database* db = m_amb.conferencia ? m_amb.conferencia() : nullptr;
    if (!db) return;
    try {
        for (const Pendente& p : antes)
            confereGravacao(p, *db, mensagensAntes);
        if (TfrmCadastroPadrao* t = cadastroAtivo()) confereLista(t, *db);
    } catch (const std::exception& e) {
        // The checks' connection failed (a server killed under it): no verdict for this step.
        m_registro
            << QStringLiteral("      (conferência não feita: %1)").arg(resumido(QString::fromUtf8(e.what())));
    }
}

void Passeio::confereLista(TfrmCadastroPadrao* tela, Database& db) {
    DataSet* ds = tela->dsPadrao.dataSet();
    if (!ds || !ds->active() || ds->fieldCount() == 0) return;
    const QString tabela = tableOfOrigin(ds->field(0)->origin()).toUpper();
    const QString chave = ds->field(0)->fieldName().toUpper();
    if (tabela.isEmpty()) return;
    const std::vector<qint64> v = chavesDaTabela(db, tabela, chave);
    const QSet<qint64> noBanco(v.begin(), v.end());
    QSet<qint64> vistas;
    const Field* f0 = ds->field(0);
    for (int i = 0; i < ds->recordCount(); ++i) {
        if (i == ds->recNo() && ds->state() == DataSetState::Insert) continue;
        const QVariant k = ds->valueAt(i, f0);
        if (k.isNull()) {
            falha(QStringLiteral("%1: a linha %2 da lista não tem chave").arg(tela->objectName()).arg(i));
            return;
        }
        const qint64 c = k.toLongLong();
        if (vistas.contains(c)) {
            falha(QStringLiteral("%1: a lista mostra duas vezes o registro %2 de %3")
                      .arg(tela->objectName())
                      .arg(c)
                      .arg(tabela));
            return;
        }
        vistas.insert(c);
        if (!noBanco.contains(c)) {
            falha(QStringLiteral("%1: a lista mostra o registro %2 que %3 não tem")
                      .arg(tela->objectName())
                      .arg(c)
                      .arg(tabela));
            return;
        }
    }
}

void Passeio::confereGravacao(const Pendente& p, Database& db, int mensagensAntes) {
    // Still being edited: nothing was settled.
    if (p.tela) {
        DataSet* ds = p.tela->dsPadrao.dataSet();
        if (ds && ds->editing() && ds->state() == (p.insercao ? DataSetState::Insert : DataSetState::Edit)) {
            if (p.insercao || fieldtext::sameValue(ds->field(0)->value(), p.valorChave)) return;
        }
    }
    // The record left its state: it was written as shown, or the user dropped it.
    LinhaBanco linha;
    if (p.insercao) {
        const QSet<qint64> outros = m_amb.chavesDeOutros ? m_amb.chavesDeOutros(p.tabela) : QSet<qint64>();
        std::vector<qint64> novos;
        for (qint64 k : chavesDaTabela(db, p.tabela, p.chave, p.maiorChave))
            if (!outros.contains(k)) novos.push_back(k);
        if (novos.size() > 1) {
            falha(QStringLiteral("%1: uma gravação criou %2 registros em %3")
                      .arg(p.nomeTela)
                      .arg(novos.size())
                      .arg(p.tabela));
            return;
        }
        if (novos.size() == 1) linha = leLinha(db, p.tabela, p.chave, novos.front());
    } else {
        linha = leLinha(db, p.tabela, p.chave, p.valorChave);
    }
    QStringList diferencas;
    if (linha.existe) {
        DataSet* ds = p.tela ? p.tela->dsPadrao.dataSet() : nullptr;
        for (const Controle& c : p.controles) {
            if (m_amb.outraEstacao && !p.insercao && !p.alterados.contains(c.campo)) continue;
            Field* f = ds ? ds->findField(c.campo) : nullptr;
            if (!f) continue;
            QString esperado;
            const QVariant banco = linha.valores.value(c.campo);
            if (m_amb.datasDoPrograma.contains(c.campo) && banco.toDate() == appClock().today()) continue;
            if (!mesmoValor(*f, c.texto, c.data, banco, &esperado))
                diferencas << QStringLiteral("%1 mostrava \"%2\" (%3), o banco tem \"%4\"")
                                  .arg(c.campo, resumido(c.texto), esperado,
                                       linha.valores.value(c.campo).toString());
        }
        if (diferencas.isEmpty()) {
            ++m_salvos;
            return;
        }
    }
    if (descarteAutorizado(mensagensAntes)) return;
    if (!linha.existe)
        falha(
            QStringLiteral("%1: %2 deixou de ser editado sem ser gravado e sem pergunta")
                .arg(p.nomeTela, p.insercao ? "um registro novo" : "o registro " + p.valorChave.toString()));
    else
        falha(QStringLiteral("%1: o registro gravado em %2 não é o que a tela mostrava: %3")
                  .arg(p.nomeTela, p.tabela, diferencas.join("; ")));
}
