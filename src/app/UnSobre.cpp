#include "app/UnSobre.h"
#include "app/UnFuncaoNexmoro.h"
#include "data/UnFuncoes.h"
#include "platform/ErrorHook.h"
#include "platform/OsFacts.h"
#include "platform/Shell.h"
#include "screens/UnPrincipal.h"
#include "support/ConfiguracaoSuporte.h"
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A link label: blue, underlined, hand cursor; runs its action on click.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> fn)
        : QLabel(text, parent), m_fn(std::move(fn)) {
        setStyleSheet("color: blue; text-decoration: underline;");
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent*) override { guarded(m_fn); }

private:
    std::function<void()> m_fn;
};

} // namespace

TfrmSobre::TfrmSobre(QWidget* parent) : TfrmFormPadrao("frmSobre", parent) {
    setWindowTitle("Sobre o Nexmoro Cortivandela");
    auto* lay = new QGridLayout(this);
    auto* pic = new QLabel(this);
    pic->setPixmap(iconePrograma().pixmap(96, 96));
    lay->addWidget(pic, 0, 0, 3, 1, Qt::AlignTop);
    auto* produto = new QLabel("<b style='font-size:14pt'>Nexmoro Cortivandela</b>", this);
    lay->addWidget(produto, 0, 1);
    lay->addWidget(new QLabel("Versão 1.0", this), 1, 1);
    lbVersao = new QLabel("Atualização: ", this);
    lbVersao->setObjectName("lbVersao");
    lay->addWidget(lbVersao, 2, 1);
    auto* box = new QGroupBox("Entre em Contato Conosco", this);
    auto* bl = new QGridLayout(box);
    auto add = [&](int row, const char* caption, const char* name, const QString& text,
                   std::function<void()> fn) {
        bl->addWidget(new QLabel(caption, box), row, 0);
        auto* l = new LinkLabel(text, box, std::move(fn));
        l->setObjectName(name);
        bl->addWidget(l, row, 1);
    };
    // The maker's addresses are settings of the site.
    const ConfiguracaoSuporte cfg = carregaConfiguracaoSuporte();
    add(0, "Visite nosso site:", "Label15", cfg.site, [this] { Label15Click(); });
    add(1, "Em caso de dúvidas:", "Label25", cfg.emailSuporte, [this] { Label25Click(); });
    add(2, "Mais informações:", "Label16", cfg.emailInformacoes, [this] { Label16Click(); });
    lay->addWidget(box, 3, 0, 1, 2);
    auto* fechar = new QPushButton("Fechar", this);
    fechar->setObjectName("btnFechar");
    connect(fechar, &QPushButton::clicked, this, [this] { fecha(); });
    lay->addWidget(fechar, 4, 1, Qt::AlignRight);
    resize(430, 300);
}

void TfrmSobre::FormShow() {
    TfrmFormPadrao::FormShow();
    if (!PermissaoAcesso) return;
    const QString data = RetornaDataArquivo(osFacts().executablePath());
    lbVersao->setText("Atualização: " + data.left(data.size() - 3));
}

void TfrmSobre::Label15Click() {
    shell().open(RetornaSiteNexmoro());
}
void TfrmSobre::Label25Click() {
    shell().open(QString("mailto: ") + carregaConfiguracaoSuporte().emailSuporte +
                 "?Subject=" + "Dúvidas Nexmoro Talvena");
}
void TfrmSobre::Label16Click() {
    shell().open(QString("mailto: ") + carregaConfiguracaoSuporte().emailInformacoes +
                 "?Subject=" + "Nexmoro Talvena");
}
