#include "lab/UnEmailLaudo.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/PasswordEcho.h"
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TfrmEmailLaudo::TfrmEmailLaudo(QWidget* parent) : QDialog(parent), m_lida(carregaConfiguracaoEmailLaudo()) {
    setObjectName("frmEmailLaudo");
    setWindowTitle(QString::fromUtf8("E-mail para Envio dos Laudos"));
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto edit = [this](const char* nome, const QString& valor) {
        auto* e = new QLineEdit(valor, this);
        e->setObjectName(nome);
        return e;
    };
    edtServidor = edit("edtServidor", m_lida.servidor);
    edtPorta = new QSpinBox(this);
    edtPorta->setObjectName("edtPorta");
    edtPorta->setRange(1, 65535);
    edtPorta->setValue(m_lida.porta);
    cbSeguranca = new QComboBox(this);
    cbSeguranca->setObjectName("cbSeguranca");
    cbSeguranca->addItems(
        {QStringLiteral("STARTTLS (porta 587)"), QString::fromUtf8("TLS implícito (porta 465)")});
    cbSeguranca->setCurrentIndex(m_lida.seguranca == MailSecurity::ImplicitTls ? 1 : 0);
    edtUsuario = edit("edtUsuario", m_lida.usuario);
    edtSenha = edit("edtSenha", m_lida.senha);
    setPasswordEcho(edtSenha);
    edtRemetente = edit("edtRemetente", m_lida.remetente);
    edtRemetente->setPlaceholderText(QString::fromUtf8("o mesmo do usuário"));
    edtNomeRemetente = edit("edtNomeRemetente", m_lida.nomeRemetente);
    form->addRow(QString::fromUtf8("Servidor SMTP"), edtServidor);
    form->addRow("Porta", edtPorta);
    form->addRow(QString::fromUtf8("Segurança"), cbSeguranca);
    form->addRow(QString::fromUtf8("Usuário"), edtUsuario);
    form->addRow("Senha", edtSenha);
    form->addRow("E-mail do remetente", edtRemetente);
    form->addRow("Nome do remetente", edtNomeRemetente);
    lay->addLayout(form);
    lblArquivo = new QLabel(this);
    lblArquivo->setObjectName("lblArquivo");
    lblArquivo->setWordWrap(true);
    lblArquivo->setText(m_lida.avisoSenha.isEmpty()
                            ? QString::fromUtf8("Guardado em ") + arquivoConfiguracaoEmailLaudo() +
                                  QString::fromUtf8(", legível somente pelo seu dono.")
                            : m_lida.avisoSenha);
    lay->addWidget(lblArquivo);

    btnTestar = new QPushButton(QString::fromUtf8("Enviar E-mail de &Teste"), this);
    btnTestar->setObjectName("btnTestar");
    btnSalvar = new QPushButton("&Salvar", this);
    btnSalvar->setObjectName("btnSalvar");
    btnCancelar = new QPushButton("&Cancelar", this);
    btnCancelar->setObjectName("btnCancelar");
    for (QPushButton* b : {btnTestar, btnSalvar, btnCancelar})
        b->setAutoDefault(false);
    auto* botoes = new QHBoxLayout;
    botoes->addWidget(btnTestar);
    botoes->addStretch();
    botoes->addWidget(btnSalvar);
    botoes->addWidget(btnCancelar);
    lay->addLayout(botoes);
    connect(btnTestar, &QPushButton::clicked, this, [this] { guarded([this] { btnTestarClick(); }); });
    connect(btnSalvar, &QPushButton::clicked, this, [this] { guarded([this] { btnSalvarClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbSeguranca, &QComboBox::currentIndexChanged, this, [this](int i) { cbSegurancaChange(i); });
    resize(460, sizeHint().height());
}

void TfrmEmailLaudo::cbSegurancaChange(int indice) {
    // The usual port of the other security follows, unless the user typed a port of their own.
    if (indice == 1 && edtPorta->value() == 587) edtPorta->setValue(465);
    if (indice == 0 && edtPorta->value() == 465) edtPorta->setValue(587);
}

ConfiguracaoEmailLaudo TfrmEmailLaudo::configuracaoDaTela() const {
    ConfiguracaoEmailLaudo c = m_lida;
    c.servidor = edtServidor->text().trimmed();
    c.porta = edtPorta->value();
    c.seguranca = cbSeguranca->currentIndex() == 1 ? MailSecurity::ImplicitTls : MailSecurity::StartTls;
    c.usuario = edtUsuario->text().trimmed();
    c.senha = edtSenha->text();
    c.remetente = edtRemetente->text().trimmed();
    c.nomeRemetente = edtNomeRemetente->text().trimmed();
    c.avisoSenha.clear();
    return c;
}

void TfrmEmailLaudo::btnTestarClick() {
    const ConfiguracaoEmailLaudo c = configuracaoDaTela();
    if (const QString falta = faltaNaConfiguracaoEmailLaudo(c); !falta.isEmpty()) warnAndAbort(falta);
    MailMessage m;
    m.fromAddress = c.enderecoRemetente();
    m.fromName = c.nomeRemetente;
    m.to = c.enderecoRemetente();
    m.subject = QString::fromUtf8("Teste do e-mail dos laudos - Nexmoro Cortivandela");
    const QLocale br(QLocale::Portuguese, QLocale::Brazil);
    m.bodyLines = {
        QString::fromUtf8("Este é um e-mail de teste da conta que envia os laudos técnicos aos clientes."),
        QString::fromUtf8("Enviado em ") + br.toString(appClock().now(), "dd/MM/yyyy hh:mm:ss") + "."};
    const MailResult r =
        EnviaEmailComProgresso(servidorEmailLaudo(c), m, QString::fromUtf8("Enviando o e-mail de teste..."));
    if (!r.ok()) {
        showMessage(QString::fromUtf8("O e-mail de teste não foi enviado.") + QChar(13) +
                        MensagemFalhaEmailLaudo(r),
                    kSystemCaption, MsgIcon::Warning);
        return;
    }
    inform(QString::fromUtf8("E-mail de teste enviado para ") + m.to + ".");
}

void TfrmEmailLaudo::btnSalvarClick() {
    const ConfiguracaoEmailLaudo c = configuracaoDaTela();
    if (!c.remetente.isEmpty() && !enderecoEmailValido(c.remetente))
        warnAndAbort(QString::fromUtf8("O endereço do remetente \"") + c.remetente +
                     QString::fromUtf8("\" não é um endereço de e-mail válido."));
    gravaConfiguracaoEmailLaudo(c);
    accept();
}
