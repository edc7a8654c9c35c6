#include "support/ConfiguracaoEmailLaudo.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "support/ConfiguracaoSuporte.h"
#include "support/UnProgressoGeral.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

namespace {
const QString kSecao = QStringLiteral("EmailLaudo");

void somenteDono(const QString& arquivo) {
    QFile::setPermissions(arquivo, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
} // namespace

QString ConfiguracaoEmailLaudo::enderecoRemetente() const {
    return remetente.trimmed().isEmpty() ? usuario.trimmed() : remetente.trimmed();
}

QString arquivoConfiguracaoEmailLaudo() {
    const QString exe = osFacts().executablePath();
    if (exe.isEmpty()) return QString();
    return QFileInfo(exe).absolutePath() + QStringLiteral("/EmailLaudo.ini");
}

ConfiguracaoEmailLaudo carregaConfiguracaoEmailLaudo() {
    ConfiguracaoEmailLaudo c;
    const QString arquivo = arquivoConfiguracaoEmailLaudo();
    if (arquivo.isEmpty()) return c;
    const IniFile ini(arquivo);
    if (!ini.exists()) return c;
    auto texto = [&](const char* chave) { return ini.readString(kSecao, QLatin1String(chave)).trimmed(); };
    c.servidor = texto("Servidor");
    c.porta = ini.readInteger(kSecao, QStringLiteral("Porta"), c.porta);
    if (c.porta <= 0 || c.porta > 65535) c.porta = 587;
    const QString seguranca = texto("Seguranca").toUpper();
    if (seguranca == QLatin1String("TLS") || seguranca == QLatin1String("SSL"))
        c.seguranca = MailSecurity::ImplicitTls;
    c.usuario = texto("Usuario");
    c.remetente = texto("Remetente");
    c.nomeRemetente = texto("NomeRemetente");
    c.certificadoCA = texto("CertificadoCA");
    const int limite = ini.readInteger(kSecao, QStringLiteral("TempoLimite"), -1);
    if (limite > 0) c.tempoLimite = std::min(limite, kTempoLimiteEmailLaudoMaximo);
    // Blanks may belong to a password: it is taken as written.
    const QString senha = ini.readString(kSecao, QStringLiteral("Senha"));
    if (!senha.isEmpty()) {
        if (somenteDonoLe(arquivo))
            c.senha = senha;
        else
            c.avisoSenha = QStringLiteral("A senha do e-mail dos laudos foi ignorada porque o arquivo ") +
                           arquivo +
                           QStringLiteral(" pode ser lido por outros usuários (permissão 600 exigida).");
    }
    return c;
}

void gravaConfiguracaoEmailLaudo(const ConfiguracaoEmailLaudo& c) {
    const QString arquivo = arquivoConfiguracaoEmailLaudo();
    IniFile ini(arquivo);
    ini.createEmpty();
    somenteDono(arquivo);
    ini.writeString(kSecao, QStringLiteral("Servidor"), c.servidor.trimmed());
    ini.writeInteger(kSecao, QStringLiteral("Porta"), c.porta);
    ini.writeString(kSecao, QStringLiteral("Seguranca"),
                    c.seguranca == MailSecurity::ImplicitTls ? QStringLiteral("TLS")
                                                             : QStringLiteral("STARTTLS"));
    ini.writeString(kSecao, QStringLiteral("Usuario"), c.usuario.trimmed());
    ini.writeString(kSecao, QStringLiteral("Remetente"), c.remetente.trimmed());
    ini.writeString(kSecao, QStringLiteral("NomeRemetente"), c.nomeRemetente.trimmed());
    ini.writeString(kSecao, QStringLiteral("CertificadoCA"), c.certificadoCA.trimmed());
    ini.writeInteger(kSecao, QStringLiteral("TempoLimite"),
                     std::clamp(c.tempoLimite, 1, kTempoLimiteEmailLaudoMaximo));
    ini.writeString(kSecao, QStringLiteral("Senha"), c.senha);
    // The file is rewritten through a new one: its mode is set again.
    somenteDono(arquivo);
}

bool enderecoEmailValido(const QString& endereco) {
    static const QRegularExpression forma(
        QStringLiteral(R"(^[^@\s<>(),;:"\[\]\\]+@[^@\s<>(),;:"\[\]\\]+\.[^@\s<>(),;:"\[\]\\.]+$)"));
    // Plain ASCII: an address outside it needs an extension of SMTP that servers seldom offer.
    for (QChar ch : endereco)
        if (ch.unicode() < 0x21 || ch.unicode() > 0x7E) return false;
    return forma.match(endereco).hasMatch();
}

QString faltaNaConfiguracaoEmailLaudo(const ConfiguracaoEmailLaudo& c) {
    if (c.servidor.trimmed().isEmpty()) return QStringLiteral("Informe o servidor de e-mail (SMTP).");
    if (c.usuario.trimmed().isEmpty()) return QStringLiteral("Informe o usuário da conta de e-mail.");
    if (!enderecoEmailValido(c.enderecoRemetente()))
        return QStringLiteral("O endereço do remetente \"") + c.enderecoRemetente() +
               QStringLiteral("\" não é um endereço de e-mail válido.");
    if (c.senha.isEmpty())
        return c.avisoSenha.isEmpty() ? QStringLiteral("Informe a senha da conta de e-mail.") : c.avisoSenha;
    return QString();
}

MailServer servidorEmailLaudo(const ConfiguracaoEmailLaudo& c) {
    MailServer s;
    s.host = c.servidor.trimmed();
    s.smtpPort = c.porta;
    s.security = c.seguranca;
    s.user = c.usuario.trimmed();
    s.password = c.senha;
    s.caFile = c.certificadoCA;
    s.timeoutSeconds = std::clamp(c.tempoLimite, 1, kTempoLimiteEmailLaudoMaximo);
    return s;
}

QString MensagemFalhaEmailLaudo(const MailResult& r) {
    QString motivo;
    switch (r.failure) {
    case MailFailure::None:
        return QString();
    case MailFailure::Connect:
        motivo = QStringLiteral("Não foi possível conectar ao servidor de e-mail.");
        break;
    case MailFailure::Certificate:
        motivo = QStringLiteral("O certificado do servidor de e-mail não é confiável.");
        break;
    case MailFailure::Authentication:
        motivo = QStringLiteral("O servidor de e-mail recusou o usuário ou a senha.");
        break;
    case MailFailure::Refused:
        motivo = QStringLiteral("O servidor de e-mail recusou a mensagem ou um dos destinatários.");
        break;
    case MailFailure::Timeout:
        motivo = QStringLiteral("O servidor de e-mail não respondeu a tempo.");
        break;
    case MailFailure::Other:
        motivo = QStringLiteral("Falha no envio do e-mail.");
        break;
    }
    if (!r.serverReply.isEmpty())
        return motivo + QChar(13) + QStringLiteral("Resposta do servidor: ") + r.serverReply;
    if (!r.detail.isEmpty()) return motivo + QChar(13) + QStringLiteral("Detalhe: ") + r.detail;
    return motivo;
}

MailResult EnviaEmailComProgresso(const MailServer& servidor, const MailMessage& mensagem,
                                  const QString& titulo) {
    // The window and control that had the keyboard get it back when the progress window closes.
    const KeyboardKeeper teclado;
    MostraProgresso();
    // The gauge runs against the time limit, in tenths of a second.
    ConfiguraProgresso(QStringLiteral("Aguarde ..."), titulo, QStringLiteral("Enviando o e-mail..."), 0,
                       std::max(1, servidor.timeoutSeconds) * 10);
    QTimer passo;
    passo.setInterval(100);
    QObject::connect(&passo, &QTimer::timeout, [] { AvancaProgresso(); });
    passo.start();
    struct Fecha {
        const KeyboardKeeper& teclado;
        ~Fecha() {
            FechaProgresso();
            teclado.giveBack();
        }
    } fecha{teclado};
    MailTransport& transporte = mailTransport();
    return runWithoutFreezing([&] { return transporte.sendSmtp(servidor, mensagem); });
}
