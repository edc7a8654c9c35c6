#include "support/ConfiguracaoSuporte.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"

#include <QFileInfo>

#include <algorithm>

QString arquivoConfiguracaoSuporte() {
    const QString exe = osFacts().executablePath();
    if (exe.isEmpty()) return QString();
    return QFileInfo(exe).absolutePath() + QStringLiteral("/Suporte.ini");
}

bool somenteDonoLe(const QString& arquivo) {
    const QFileInfo info(arquivo);
    if (!info.exists()) return false;
    const auto outros =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    return (info.permissions() & outros) == 0;
}

ConfiguracaoSuporte carregaConfiguracaoSuporte() {
    ConfiguracaoSuporte c;
    const QString arquivo = arquivoConfiguracaoSuporte();
    if (arquivo.isEmpty()) return c;
    const IniFile ini(arquivo);
    if (!ini.exists()) return c;
    auto texto = [&](const char* secao, const char* chave, QString& valor) {
        const QString lido = ini.readString(QLatin1String(secao), QLatin1String(chave)).trimmed();
        if (!lido.isEmpty()) valor = lido;
    };
    auto numero = [&](const char* secao, const char* chave, int& valor) {
        const int lido = ini.readInteger(QLatin1String(secao), QLatin1String(chave), -1);
        if (lido > 0) valor = lido;
    };
    texto("Suporte", "ServidorEmail", c.servidorEmail);
    numero("Suporte", "PortaSMTP", c.portaSmtp);
    numero("Suporte", "PortaPOP3", c.portaPop3);
    texto("Suporte", "EmailAlerta", c.emailAlerta);
    texto("Suporte", "CertificadoCA", c.certificadoCA);
    numero("Suporte", "TempoLimiteEmail", c.tempoLimiteEmail);
    // The mail is tried while an error report waits for it: a few seconds at most.
    c.tempoLimiteEmail = std::min(c.tempoLimiteEmail, kTempoLimiteEmailMaximo);
    texto("Suporte", "EmailSuporte", c.emailSuporte);
    texto("Suporte", "EmailInformacoes", c.emailInformacoes);
    texto("Web", "ServidorArquivos", c.servidorArquivos);
    texto("Web", "Site", c.site);
    texto("Web", "SiteTutoriais", c.siteTutoriais);
    numero("Web", "TempoLimite", c.tempoLimiteWeb);

    // The password is used only when nobody else can read the file.
    const QString senha = ini.readString(QStringLiteral("Suporte"), QStringLiteral("SenhaEmail"));
    if (!senha.isEmpty()) {
        if (somenteDonoLe(arquivo))
            c.senhaEmail = senha;
        else
            c.avisoSenha = QStringLiteral("a senha do e-mail foi ignorada porque o arquivo ") + arquivo +
                           QStringLiteral(" pode ser lido por outros usuários (permissão 600 exigida)");
    }
    return c;
}
