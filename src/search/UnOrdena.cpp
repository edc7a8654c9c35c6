#include "search/UnOrdena.h"
#include "data/Query.h"
#include "data/SqlText.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "screens/UnPrincipal.h"
#include "search/CampoCombo.h"
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

QString MontaOrdenacaoSQL(const QString& sql, bool semCampos, const QList<QPair<QString, bool>>& colunas) {
    // The list's own ordering, not "order by" inside a filter's quoted value.
    const QString S = sql::beforeClause(sql, "order by");
    if (semCampos) return S;
    QString O = " order by ";
    for (const auto& [coluna, desc] : colunas)
        O += coluna + (desc ? " desc " : " asc ") + ",";
    if (O == " order by ") O.clear();
    if (O.endsWith(',')) O.chop(1);
    return S + O;
}

TfrmOrdena::TfrmOrdena(TfrmClassePrincipal* principal, QWidget* parent)
    : QDialog(parent), m_principal(principal) {
    setObjectName("frmOrdena");
    setWindowTitle("Ordenar");
    setFixedSize(420, 178);
    auto* titulo = new QLabel("Campos Para Ordenar", this);
    titulo->setGeometry(29, 16, 239, 18);
    CampoCombo** caixas[3] = {&cb1, &cb2, &cb3};
    QCheckBox** marcas[3] = {&ckbOrdem1, &ckbOrdem2, &ckbOrdem3};
    const int y[3] = {39, 66, 95};
    for (int i = 0; i < 3; ++i) {
        auto* n = new QLabel(QString("%1º").arg(i + 1), this);
        n->setGeometry(8, y[i], 20, 21);
        CampoCombo* c = new CampoCombo(this, QString("cb%1").arg(i + 1), "Selecione o Campo para Ordenar");
        c->setGeometry(29, y[i], 239, 21);
        connect(c, &CampoCombo::textoAlterado, this, [this, i] { guarded([&] { cbChange(i); }); });
        connect(c, &CampoCombo::escolhaConfirmada, this, [this, i] { guarded([&] { escolheCampo(i); }); });
        *caixas[i] = c;
        auto* k = new QCheckBox("Ordem inversa", this);
        k->setObjectName(QString("ckbOrdem%1").arg(i + 1));
        k->setGeometry(284, y[i], 120, 21);
        *marcas[i] = k;
    }
    auto botao = [this](const char* nome, const QString& texto, int x) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(nome);
        b->setAutoDefault(false);
        b->setGeometry(x, 136, 110, 30);
        return b;
    };
    bttOrdena = botao("bttOrdena", "&Ordenar", 29);
    bttAplicar = botao("bttAplicar", "&Aplicar", 152);
    BitBtn1 = botao("BitBtn1", "&Fechar", 275);
    connect(bttOrdena, &QPushButton::clicked, this, [this] { guarded([this] { bttOrdenaClick(); }); });
    connect(bttAplicar, &QPushButton::clicked, this, [this] { guarded([this] { bttAplicarClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    QWidget* ordem[] = {cb1, ckbOrdem1, cb2, ckbOrdem2, cb3, ckbOrdem3, bttOrdena, bttAplicar, BitBtn1};
    for (size_t k = 1; k < std::size(ordem); ++k)
        setTabOrder(ordem[k - 1], ordem[k]);
}

void TfrmOrdena::executa(TfrmClassePrincipal* principal) {
    auto* f = new TfrmOrdena(principal, principal);
    f->setAttribute(Qt::WA_DeleteOnClose);
    execModal(*f);
}

CampoCombo* TfrmOrdena::caixa(int linha) const {
    return linha == 0 ? cb1 : linha == 1 ? cb2 : cb3;
}

QCheckBox* TfrmOrdena::inversa(int linha) const {
    return linha == 0 ? ckbOrdem1 : linha == 1 ? ckbOrdem2 : ckbOrdem3;
}

DataSet* TfrmOrdena::dataSet() const {
    return m_principal && m_principal->dsAtual ? m_principal->dsAtual->dataSet() : nullptr;
}

void TfrmOrdena::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (m_mostrada) return;
    m_mostrada = true;
    guarded([this] { FormShow(); });
}

void TfrmOrdena::FormShow() {
    MontaCombos();
    cb1->setFocus();
}

void TfrmOrdena::MontaCombos() {
    DataSet* d = dataSet();
    const QStringList rotulos = d ? rotulosOferecidos(*d, false) : QStringList();
    CampoCombo* const caixas[3] = {cb1, cb2, cb3};
    for (CampoCombo* c : caixas)
        if (c->currentText().isEmpty()) c->setRotulos(rotulos);
    habilitaPorQuantidade(caixas, d ? d->fieldCount() : 0);
}

void TfrmOrdena::cbChange(int) {
    MontaCombos();
}

void TfrmOrdena::escolheCampo(int linha) {
    // A field is sorted on once: the row that held it gives it up, on a choice only (a label
    // that typing completes is not one).
    const QString texto = caixa(linha)->currentText();
    for (int i = 0; i < 3; ++i)
        if (i != linha && !texto.isEmpty() && caixa(i)->currentText() == texto) caixa(i)->limpa();
}

void TfrmOrdena::MontaQuery() {
    auto* q = dynamic_cast<Query*>(dataSet());
    if (!q) return;
    CampoCombo* const caixas[3] = {cb1, cb2, cb3};
    exigeCamposDaLista(caixas);
    const bool semCampos =
        cb1->currentText().isEmpty() && cb2->currentText().isEmpty() && cb3->currentText().isEmpty();
    QList<QPair<QString, bool>> colunas;
    for (int i = 0; i < 3 && !semCampos; ++i) {
        const QString texto = caixa(i)->currentText();
        if (texto.trimmed().isEmpty()) continue;
        Field* f = ultimoCampoComRotulo(*q, texto);
        if (!f) continue;
        colunas.append({f->isLookup() ? f->keyFields() : f->fieldName(), inversa(i)->isChecked()});
    }
    // A record being edited is settled first, as the toolbar's Todos does ("Cancelar" ends here).
    if (q->editing()) m_principal->resolvePendente(*q);
    const QString S = q->sqlText();
    q->close();
    q->setSqlText(MontaOrdenacaoSQL(S, semCampos, colunas));
    q->open();
}

void TfrmOrdena::bttOrdenaClick() {
    MontaQuery();
    close();
}

void TfrmOrdena::BitBtn1Click() {
    close();
}
