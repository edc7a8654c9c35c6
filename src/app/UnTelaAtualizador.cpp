#include "app/UnTelaAtualizador.h"
#include "app/UnScript.h"
#include "app/UnSplash.h"
#include "data/DataContext.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include "support/UnMensagemConfirmarGenerica.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>

namespace {

const QChar CR(13);
const QStringList kExecutaveisERP = {QStringLiteral("nexmoroTalvena.exe"),
                                     QStringLiteral("nexmoroTalvena4.exe")};

QString pastaDoExecutavel() {
    const QString exe = osFacts().executablePath();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

// Dates compare at whole seconds, as their text forms do.
QDateTime dataArquivo(const QString& arquivo) {
    QDateTime d = QFileInfo(arquivo).lastModified();
    d.setTime(QTime(d.time().hour(), d.time().minute(), d.time().second()));
    return d;
}

qsizetype ultimoSeparador(const QString& caminho, qsizetype antesDe) {
    for (qsizetype i = std::min(antesDe, caminho.size()) - 1; i >= 0; --i)
        if (caminho.at(i) == QLatin1Char('/') || caminho.at(i) == QLatin1Char('\\')) return i;
    return -1;
}

// A text as one argument of the POSIX shell, whatever it holds.
QString argumentoShell(const QString& texto) {
    QString t = texto;
    t.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// A text as one argument of a desktop entry's Exec key.
QString argumentoDesktop(const QString& texto) {
    QString t;
    for (QChar c : texto) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            t += QLatin1Char('\\');
        t += c;
    }
    t.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// The executable name without its ".exe" (any letter case); other names stay whole.
QString semExe(const QString& nome) {
    return nome.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ? nome.left(nome.size() - 4) : nome;
}

} // namespace

CaminhosAtualizacao& caminhosAtualizacao() {
    static CaminhosAtualizacao caminhos;
    return caminhos;
}

// ------------------------------------------------------------------ mechanism 1

void AvisoAtualizacaoConcluida() {
    const QString pasta = pastaDoExecutavel();
    if (pasta.isEmpty()) return;
    const QString script = pasta + QLatin1Char('/') + kArquivoAtualizaScript;
    if (!QFileInfo::exists(script)) return;
    QFile::remove(script);
    warn(QStringLiteral("Seu sistema foi atualizado com uma nova versão."));
}

QString ScriptAtualizacao(qint64 processo, const QString& executavel, const QString& copiaServidor) {
    const QString e = argumentoShell(executavel);
    const QString novo = argumentoShell(executavel + QStringLiteral(".novo"));
    QStringList linhas;
    linhas << QStringLiteral("#!/bin/sh")
           << QStringLiteral("# Atualização automática: espera o programa terminar, copia a nova versão do "
                             "servidor sobre ele e o inicia de novo.")
           << QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done").arg(processo)
           << QStringLiteral("cp -p ") + argumentoShell(copiaServidor) + QLatin1Char(' ') + novo +
                  QStringLiteral(" && chmod +x ") + novo + QStringLiteral(" && mv -f ") + novo +
                  QLatin1Char(' ') + e
           << QStringLiteral("cd ") + argumentoShell(QFileInfo(executavel).absolutePath()) +
                  QStringLiteral(" && exec ") + e;
    return linhas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool VerificaNovaVersao(const std::function<void()>& solicitaFim) {
    const QString exe = osFacts().executablePath();
    if (exe.isEmpty()) return false;
    const QString localiniservidor =
        IniFile(programSettingsPath(exe))
            .readString(QStringLiteral("IniServidor"), QStringLiteral("nomearquivo"));
    const qsizetype barra = ultimoSeparador(localiniservidor, localiniservidor.size());
    if (barra < 0) return false;
    const QString copia = localiniservidor.left(barra + 1) + QFileInfo(exe).fileName();
    if (!QFileInfo(copia).isFile()) return false;
    if (dataArquivo(copia) <= dataArquivo(exe)) return false;

    // Written to the program folder, where the next start looks for it.
    const QString script = QFileInfo(exe).absolutePath() + QLatin1Char('/') + kArquivoAtualizaScript;
    QFile f(script);
    const QByteArray texto =
        QFile::encodeName(ScriptAtualizacao(QCoreApplication::applicationPid(), exe, copia));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(texto) != texto.size()) return false;
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    // Without the script running, nothing would be updated: the program then simply goes on.
    if (!shell().startHidden(QStringLiteral("/bin/sh"), {script})) {
        QFile::remove(script);
        return false;
    }
    warn(QStringLiteral("Existe uma nova versão do sistema disponível.") + CR +
         QStringLiteral("O seu sistema será atualizado automaticamente.") + CR +
         QStringLiteral("Clique no botão OK e aguarde o sistema ser reiniciado.") + CR +
         QStringLiteral("Esta operação pode demorar até 1 minuto."));
    if (solicitaFim) solicitaFim();
    return true;
}

// ------------------------------------------------------------------ mechanism 2

QString PastaAtualizacao(const QString& localiniservidor) {
    // Separators are looked for up to the one before the last character.
    const qsizetype ultimo = ultimoSeparador(localiniservidor, localiniservidor.size() - 1);
    if (ultimo < 0) return QString();
    const qsizetype penultimo = ultimoSeparador(localiniservidor, ultimo);
    if (penultimo < 0) return QString();
    return localiniservidor.left(penultimo + 1) + QStringLiteral("Update");
}

void PreparaAtualizacao(const QString& localiniservidor) {
    CaminhosAtualizacao& c = caminhosAtualizacao();
    const QString exe = osFacts().executablePath();
    c.nomeExecutavel = QFileInfo(exe).fileName();
    c.pastaExecutavel = pastaDoExecutavel();
    c.pastaAtualizacao = PastaAtualizacao(localiniservidor);
    c.pastaAtualizacaoEscapada = QString(c.pastaAtualizacao).replace(QLatin1Char(' '), QStringLiteral("§"));
    c.pastaExecutavelEscapada = QString(c.pastaExecutavel).replace(QLatin1Char(' '), QStringLiteral("§"));
}

QString RetornaPastaDesktop() {
    return osFacts().desktopFolder();
}

void CriaAtalho() {
    const CaminhosAtualizacao& c = caminhosAtualizacao();
    const QString desktop = RetornaPastaDesktop();
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) return;
    const QString descricao = semExe(c.nomeExecutavel);
    const QString executavel = c.pastaExecutavel + QLatin1Char('/') + c.nomeExecutavel;
    const QString atalho = desktop + QStringLiteral("/Novo ") + descricao + QStringLiteral(".desktop");
    QStringList linhas;
    linhas << QStringLiteral("[Desktop Entry]") << QStringLiteral("Type=Application")
           << QStringLiteral("Name=") + descricao << QStringLiteral("Comment=") + descricao
           << QStringLiteral("Exec=") + argumentoDesktop(executavel)
           << QStringLiteral("Path=") + c.pastaExecutavel << QStringLiteral("Terminal=false");
    QFile f(atalho);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    f.write((linhas.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

void CopiaExecutaveis(const QString& arquivoIni) {
    const CaminhosAtualizacao& c = caminhosAtualizacao();
    const QString mestre =
        IniFile(arquivoIni).readString(QStringLiteral("configuracao"), QStringLiteral("pastamestre"));
    if (mestre.isEmpty() || c.pastaAtualizacao.isEmpty()) return;
    const QDir pasta(mestre);
    for (const QString& nome : pasta.entryList({QStringLiteral("*.exe")}, QDir::Files)) {
        const QString destino = c.pastaAtualizacao + QLatin1Char('/') + nome;
        if (!QFileInfo::exists(destino)) QFile::copy(pasta.filePath(nome), destino);
    }
}

void FinalizaAtualizacao() {
    const CaminhosAtualizacao& c = caminhosAtualizacao();
    if (c.pastaExecutavel.isEmpty() || c.nomeExecutavel.isEmpty()) return;
    const QString exec = c.pastaExecutavel + QStringLiteral("/Exec-") + c.nomeExecutavel;
    // The updater's settings file: the name with ".exe" made ".ini" (a name without ".exe"
    // gets ".ini" added, so that it never is the other leftover file).
    QString nomeIni = c.nomeExecutavel;
    if (nomeIni.contains(QLatin1String(".exe"), Qt::CaseInsensitive))
        nomeIni.replace(QLatin1String(".exe"), QLatin1String(".ini"), Qt::CaseInsensitive);
    else
        nomeIni += QStringLiteral(".ini");
    const QString ini = c.pastaExecutavel + QStringLiteral("/Exec-") + nomeIni;
    if (QFileInfo::exists(ini)) {
        CriaAtalho();
        QFile::remove(exec);
        if (kExecutaveisERP.contains(c.nomeExecutavel)) CopiaExecutaveis(ini);
        QFile::remove(ini);
    }
    QFile::remove(exec);
}

void AtualizaSistema(Database& db, int modo, const AmbienteAtualizacao& ambiente) {
    const CaminhosAtualizacao& c = caminhosAtualizacao();
    auto fim = [&] {
        if (ambiente.solicitaFim) ambiente.solicitaFim();
    };
    if (QFileInfo::exists(c.pastaExecutavel + QStringLiteral("/DebugarAmbiente.tmp"))) {
        warn(QStringLiteral("O aplicativo ") + c.nomeExecutavel +
             QStringLiteral(" não será atualizado. A pasta ") + c.pastaExecutavel +
             QStringLiteral(" está com o arquivo DebugarAmbiente.tmp"));
        return;
    }
    // Without a settings path with a parent folder there is no update folder to look at.
    if (c.pastaAtualizacao.isEmpty()) return;
    if (!QFileInfo(c.pastaAtualizacao).isDir()) QDir().mkdir(c.pastaAtualizacao);
    FinalizaAtualizacao();

    const QString atualizador = c.pastaAtualizacao + QLatin1Char('/') + kAtualizador;
    if (!QFileInfo::exists(atualizador)) {
        showMessage(
            QStringLiteral("Não foi encontrado o nexmoro Atualizador no Servidor. Entre em contato com o "
                           "suporte técnico da nexmoro."),
            kSystemCaption, MsgIcon::None);
        fim();
    }
    if (ambiente.verificaScript) ambiente.verificaScript(db);
    if (modo != 1) return;

    const QString copia = c.pastaAtualizacao + QLatin1Char('/') + c.nomeExecutavel;
    if (!QFileInfo::exists(copia)) {
        warn(QStringLiteral("Falha na atualização do aplicativo. Não foi encontrado o arquivo ") +
             c.nomeExecutavel + QStringLiteral(" na pasta ") + c.pastaAtualizacao + QLatin1Char('.') + CR +
             QStringLiteral("O Sistema será finalizado."));
        fim();
        return;
    }
    if (dataArquivo(copia) == dataArquivo(c.pastaExecutavel + QLatin1Char('/') + c.nomeExecutavel)) return;
    if (!QFileInfo::exists(atualizador)) {
        warn(QStringLiteral(
                 "Falha na atualização do aplicativo. Não foi encontrado o arquivo nexmoroAtualizador.exe "
                 "na pasta ") +
             c.pastaAtualizacao + QLatin1Char('.') + CR + QStringLiteral("O Sistema será finalizado."));
        // Nothing could take over: the program ends normally instead of announcing an update.
        fim();
        return;
    }
    // The updater replaces this executable and starts it again: that program must find the
    // database free, so the test connection goes now and the updater gets none of our files.
    try {
        db.disconnect();
    } catch (...) {
    }
    MostraAviso(QStringLiteral("AVISO: Existe uma nova versão do aplicativo ") +
                    c.nomeExecutavel.section('.', 0, 0) +
                    QStringLiteral(". A atualização será feita automaticamente. Aguarde..."),
                true);
    const QString parametros = QStringLiteral("@F1 @M") + c.pastaAtualizacaoEscapada + QStringLiteral(" @E") +
                               c.pastaExecutavelEscapada + QStringLiteral(" @A") + c.nomeExecutavel;
    if (!shell().openProgram(atualizador, parametros)) {
        warn(QStringLiteral("Não foi possível iniciar o programa ") + atualizador + QLatin1Char('.') + CR +
             QStringLiteral("O Sistema será finalizado."));
        fim();
        return;
    }
    if (ambiente.encerraImediatamente) ambiente.encerraImediatamente();
}

void InstalaAtualizacao(TfrmSplash& splash) {
    TfrmSplash* s = &splash;
    s->updateSteps.completion = [] { AvisoAtualizacaoConcluida(); };
    s->updateSteps.newVersion = [s] { VerificaNovaVersao([s] { s->SolicitaFimAplicacao(); }); };
    s->updateSteps.preparePaths = [s] {
        // A start that needed the settings locator has no saved path yet: the file it found serves.
        PreparaAtualizacao(s->localiniservidor.isEmpty() ? sessaoUsuario().localarquivoiniteste
                                                         : s->localiniservidor);
    };
    s->updateSteps.updater = [s](Database& db) {
        AmbienteAtualizacao ambiente;
        ambiente.solicitaFim = [s] { s->SolicitaFimAplicacao(); };
        ambiente.encerraImediatamente = [] { std::_Exit(0); };
        ambiente.verificaScript = [](Database& d) { VerificaScript(d); };
        AtualizaSistema(db, 1, ambiente);
    };
}
