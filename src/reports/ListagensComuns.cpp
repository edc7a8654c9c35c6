#include "reports/ListagensComuns.h"
#include "data/Query.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/report/ReportEngine.h"
#include "screens/UnParametroRelatorio.h"
#include "screens/controls/DBDateEdit.h"
#include "screens/controls/DBLookupCombo.h"
#include <QBoxLayout>
#include <QGridLayout>
#include <QLabel>

QGridLayout* GradeParametros(TfrmParametroRelatorio& tela) {
    if (auto* g = tela.corpo->findChild<QGridLayout*>("gradeParametros")) return g;
    // The fields at the top, any spare height below them.
    auto* v = new QVBoxLayout(tela.corpo);
    v->setContentsMargins(0, 0, 0, 0);
    auto* g = new QGridLayout;
    g->setObjectName("gradeParametros");
    g->setColumnStretch(1, 1);
    v->addLayout(g);
    v->addStretch(1);
    return g;
}

QWidget* LinhaParametro(QGridLayout& grade, const QString& rotulo, QWidget* campo) {
    const int linha = grade.count() / 2;
    auto* l = new QLabel(rotulo, grade.parentWidget());
    l->setBuddy(campo);
    grade.addWidget(l, linha, 0);
    // A field narrower than the column keeps to its left.
    grade.addWidget(campo, linha, 1,
                    campo->maximumWidth() < QWIDGETSIZE_MAX ? Qt::AlignLeft : Qt::Alignment());
    return campo;
}

void LinhaPeriodo(QGridLayout& grade, const QString& rotulo, DBDateEdit* inicial, DBDateEdit* final) {
    auto* faixa = new QWidget(grade.parentWidget());
    faixa->setObjectName("faixaPeriodo");
    auto* h = new QHBoxLayout(faixa);
    h->setContentsMargins(0, 0, 0, 0);
    inicial->setParent(faixa);
    final->setParent(faixa);
    inicial->setMinimumWidth(110);
    final->setMinimumWidth(110);
    h->addWidget(inicial);
    h->addWidget(new QLabel("a", faixa));
    h->addWidget(final);
    h->addStretch();
    LinhaParametro(grade, rotulo, faixa);
}

DBLookupCombo* ListaTodos(QWidget* pai, const QString& nome, DataSet* lista, const QString& chave,
                          const QString& mostra, const QString& todos) {
    auto* c = new DBLookupCombo(pai, nullptr, QString(), lista, chave, mostra, nome);
    c->setEmptyText(todos);
    c->setDropDownCount(8);
    return c;
}

namespace {
QBoxLayout* faixaDe(QLayout* l, QWidget* w) {
    if (!l) return nullptr;
    for (int i = 0; i < l->count(); ++i) {
        QLayoutItem* it = l->itemAt(i);
        if (it->widget() == w) return qobject_cast<QBoxLayout*>(l);
        if (QBoxLayout* achou = faixaDe(it->layout(), w)) return achou;
    }
    return nullptr;
}
} // namespace

void BotaoNaFaixa(TfrmParametroRelatorio& tela, QPushButton* botao) {
    QBoxLayout* faixa = faixaDe(tela.layout(), tela.btnFechar);
    if (!faixa) throw std::logic_error("faixa de botões não encontrada");
    botao->setParent(&tela);
    faixa->insertWidget(faixa->indexOf(tela.btnFechar), botao);
    QWidget::setTabOrder(botao, tela.btnFechar);
}

namespace {
bool emBranco(const DBDateEdit* campo) {
    return QString(campo->displayText()).remove(QLatin1Char('/')).trimmed().isEmpty();
}
// The date as the field shows it; nothing for an empty one.
QString textoData(const DBDateEdit* campo) {
    return emBranco(campo) ? QString() : campo->displayText();
}
} // namespace

void ValidaPeriodo(DBDateEdit* inicial, DBDateEdit* final, bool ordemExigida) {
    if (!inicial->date().isValid()) {
        warn("Período inicial não informado !");
        inicial->setFocus();
        throw SilentAbort();
    }
    if (!final->date().isValid()) {
        warn("Período final não informado !");
        final->setFocus();
        throw SilentAbort();
    }
    if (ordemExigida) ValidaOrdemPeriodo(inicial, final, inicial->date(), final->date());
}

QDate DataDoPeriodo(DBDateEdit* campo) {
    if (emBranco(campo)) return QDate(1899, 12, 30);
    const QDate d = campo->date();
    if (!d.isValid()) {
        warn("Data inválida");
        campo->setFocus();
        throw SilentAbort();
    }
    return d;
}

void ValidaOrdemPeriodo(DBDateEdit* inicial, DBDateEdit* final, const QDate& de, const QDate& ate) {
    if (de <= ate) return;
    warn("O período inicial é posterior ao período final !");
    (final->date().isValid() ? inicial : final)->setFocus();
    throw SilentAbort();
}

QString TextoPeriodo(const DBDateEdit* inicial, const DBDateEdit* final, const QString& prefixo) {
    return prefixo + textoData(inicial) + " a " + textoData(final);
}

ParametrosRelatorio LeParametrosRelatorio(Database* db, Transaction* tr) {
    ParametrosRelatorio p;
    Query q(db, tr, "IBQ_Parametros");
    q.setSqlText("select * from TAB_PARAMETRO");
    q.open();
    if (!q.isEmpty()) {
        p.nmEmpresa = q.fieldByName("NM_EMPRESA")->asString();
        if (Field* f = q.findField("LOGO_EMPRESA"); f && !f->isNull()) p.logo = f->asBytes();
        if (Field* f = q.findField("FM_MASCARA_QUANTIDADE")) p.mascaraQuantidade = f->asString().trimmed();
    }
    q.close();
    return p;
}

void CarregaLogo(ReportImage& imagem, const ParametrosRelatorio& p) {
    imagem.clear();
    if (!p.logo.isEmpty()) imagem.loadData(p.logo);
}

void EmpresaNaListagem(ReportEngine& r, const ParametrosRelatorio& p) {
    CarregaLogo(r.image("qrImgLogo"), p);
    r.text("qrlEmpresa").setText(p.nmEmpresa);
}

ReportBand& RodapeListagem(ReportEngine& r, const QString& empresa, bool nomeDoSistema) {
    const double w = r.printableWidthMm();
    ReportBand& b = r.addPageFooter("PageFooter", 8);
    b.addHLine(0, 0.5, w);
    b.addText("qrlEmpresa", {0, 2, 80, 5}, empresa).setFont(reportFont(8));
    if (nomeDoSistema) {
        ReportText& s = b.addText("qrlSistema", {w / 2 - 30, 2, 60, 5}, "Nexmoro Cortivandela");
        s.setFont(reportFont(8));
        s.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    ReportSystemText& data =
        b.addSystemText("qrsData", {w - 72, 2, 30, 5}, ReportSystemText::Data::Date, "Data: ");
    data.setFont(reportFont(8));
    ReportSystemText& hora = b.addSystemText("qrsHora", {w - 42, 2, 12, 5}, ReportSystemText::Data::Time);
    hora.setFont(reportFont(8));
    ReportSystemText& pag =
        b.addSystemText("qrsPagina", {w - 28, 2, 28, 5}, ReportSystemText::Data::PageNumber, "Página ");
    pag.setFont(reportFont(8));
    pag.setAlignment(Qt::AlignRight | Qt::AlignTop);
    return b;
}

ReportBand& TituloListagem(ReportEngine& r, const QString& titulo) {
    const double w = r.printableWidthMm();
    ReportBand& b = r.addTitle("QRBandTitulo", 26);
    b.setFrame(ReportFrame::all());
    b.addText("qrlTitulo", {3, 3, w - 55, 9}, titulo).setFont(reportFont(16, true));
    b.addText("qrlPeriodo", {3, 15, w - 55, 6}).setFont(reportFont(10));
    b.addImage("qrImgLogo", {w - 48, 2, 45, 22}).setFit(ReportImage::Fit::KeepAspect);
    return b;
}

void TrechoPorChave::indexa(const QString& campoChave) {
    m_trechos.clear();
    const int n = m_linhas.rowCount();
    for (int r = 0; r < n; ++r) {
        const QString k = m_linhas.value(r, campoChave).toString();
        auto it = m_trechos.find(k);
        if (it == m_trechos.end())
            m_trechos.insert(k, {r, 1});
        else if (it->first + it->second == r)
            ++it->second;
        else
            throw std::logic_error("linhas fora da ordem da chave " + campoChave.toStdString());
    }
    m_inicio = m_quantas = 0;
}

void TrechoPorChave::seleciona(const QVariant& chave) {
    const QPair<int, int> t = m_trechos.value(chave.toString(), {0, 0});
    m_inicio = t.first;
    m_quantas = t.second;
}
