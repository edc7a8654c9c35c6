#include "lab/UnEnviaLaudoEmail.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmEnviaLaudoEmail::TfrmEnviaLaudoEmail(const ConfiguracaoEmailLaudo& configuracao,
                                         const std::vector<DestinatarioLaudo>& destinatarios,
                                         const QString& assunto, const QString& texto,
                                         const QString& nomeArquivo, const QByteArray& pdf, QWidget* parent)
    : QDialog(parent), m_configuracao(configuracao), m_destinatarios(destinatarios),
      m_nomeArquivo(nomeArquivo), m_pdf(pdf) {
    setObjectName("frmEnviaLaudoEmail");
    setWindowTitle(QString::fromUtf8("Enviar Laudo por E-mail"));
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    auto* grupo = new QGroupBox(QString::fromUtf8("Destinatários"), this);
    auto* caixas = new QVBoxLayout(grupo);
    for (size_t i = 0; i < m_destinatarios.size(); ++i) {
        const DestinatarioLaudo& d = m_destinatarios[i];
        auto* c = new QCheckBox(d.descricao + " <" + d.endereco + ">", grupo);
        c->setObjectName(QStringLiteral("chkDestinatario%1").arg(i + 1));
        // The client's own address is the usual one; the contacts' are chosen.
        c->setChecked(d.descricao == QLatin1String("Cliente"));
        caixas->addWidget(c, 0, Qt::AlignLeft);
        chkDestinatarios.push_back(c);
    }
    if (m_destinatarios.empty())
        caixas->addWidget(
            new QLabel(QString::fromUtf8("O cliente e seus contatos não têm e-mail cadastrado."), grupo));
    lay->addWidget(grupo);
    auto* form = new QFormLayout;
    edtOutros = new QLineEdit(this);
    edtOutros->setObjectName("edtOutros");
    edtOutros->setPlaceholderText(QString::fromUtf8("outros endereços, separados por ponto e vírgula"));
    form->addRow(QString::fromUtf8("Outros endereços"), edtOutros);
    edtAssunto = new QLineEdit(assunto, this);
    edtAssunto->setObjectName("edtAssunto");
    edtAssunto->setCursorPosition(0);
    form->addRow("Assunto", edtAssunto);
    lay->addLayout(form);
    memTexto = new QPlainTextEdit(texto, this);
    memTexto->setObjectName("memTexto");
    memTexto->setTabChangesFocus(true);
    lay->addWidget(memTexto, 1);
    lblAnexo = new QLabel(
        QStringLiteral("Anexo: ") + m_nomeArquivo + " (" + TamanhoArquivo(m_pdf.size()) + ")", this);
    lblAnexo->setObjectName("lblAnexo");
    lay->addWidget(lblAnexo);
    btnEnviar = new QPushButton("&Enviar", this);
    btnEnviar->setObjectName("btnEnviar");
    btnCancelar = new QPushButton("&Cancelar", this);
    btnCancelar->setObjectName("btnCancelar");
    for (QPushButton* b : {btnEnviar, btnCancelar})
        b->setAutoDefault(false);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(btnEnviar);
    botoes->addWidget(btnCancelar);
    lay->addLayout(botoes);
    connect(btnEnviar, &QPushButton::clicked, this, [this] { guarded([this] { btnEnviarClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, 420);
}

QStringList TfrmEnviaLaudoEmail::enderecosEscolhidos() const {
    QStringList enderecos;
    auto junta = [&](const QString& e) {
        if (!enderecos.contains(e, Qt::CaseInsensitive)) enderecos << e;
    };
    for (size_t i = 0; i < chkDestinatarios.size(); ++i)
        if (chkDestinatarios[i]->isChecked()) junta(m_destinatarios[i].endereco);
    for (const QString& e : SeparaEnderecos(edtOutros->text()))
        junta(e);
    return enderecos;
}

void TfrmEnviaLaudoEmail::btnEnviarClick() {
    const QStringList enderecos = enderecosEscolhidos();
    const QString assunto = edtAssunto->text().trimmed();
    if (const QString problema = ConfereEnvioLaudo(enderecos, assunto); !problema.isEmpty())
        warnAndAbort(problema);
    MailMessage m;
    m.fromAddress = m_configuracao.enderecoRemetente();
    m.fromName = m_configuracao.nomeRemetente;
    m.to = enderecos.first();
    m.moreTo = enderecos.mid(1);
    m.subject = assunto;
    m.bodyLines = memTexto->toPlainText().split('\n');
    m.attachments.push_back({m_nomeArquivo, "application/pdf", m_pdf});
    btnEnviar->setEnabled(false);
    const MailResult r = EnviaEmailComProgresso(servidorEmailLaudo(m_configuracao), m,
                                                QString::fromUtf8("Enviando o laudo por e-mail..."));
    btnEnviar->setEnabled(true);
    if (!r.ok()) {
        showMessage(QString::fromUtf8("O laudo não foi enviado.") + QChar(13) + MensagemFalhaEmailLaudo(r),
                    kSystemCaption, MsgIcon::Warning);
        return;
    }
    enviados = enderecos;
    assuntoEnviado = assunto;
    momento = appClock().now();
    accept();
}
