#pragma once
// Self-update at start-up. Two mechanisms: (1) a newer executable in the folder of the
// connection settings file is copied over this one by a small shell script that waits for this
// program to end ("Atualiza.sh" in the program folder); (2) when the copy in the update folder
// differs in date from this executable, the maker's updater program "nexmoroAtualizador.exe"
// of that folder takes over and this program ends at once. Later starts clean up what the
// updater left and put a shortcut on the desktop.
#include "data/Database.h"

#include <QString>
#include <functional>

class TfrmSplash;

// The paths of mechanism 2, computed once per start by PreparaAtualizacao.
struct CaminhosAtualizacao {
    QString nomeExecutavel;           // file name with extension
    QString pastaExecutavel;          // without a trailing separator
    QString pastaAtualizacao;         // <settings file's folder's parent>/Update; empty when unknown
    QString pastaAtualizacaoEscapada; // blanks as "§"
    QString pastaExecutavelEscapada;
};
CaminhosAtualizacao& caminhosAtualizacao();

// What the start sequence lends to the update.
struct AmbienteAtualizacao {
    std::function<void()> solicitaFim;          // requests the end of the application
    std::function<void()> encerraImediatamente; // ends the process without the usual shutdown
    std::function<void(Database&)> verificaScript;
};

inline const QString kArquivoAtualizaScript = QStringLiteral("Atualiza.sh");
inline const QString kAtualizador = QStringLiteral("nexmoroAtualizador.exe");

// Notice of an update finished by the script: deletes the script and tells the user.
void AvisoAtualizacaoConcluida();
// Mechanism 1. True when the update was handed to the script (the end has been requested).
bool VerificaNovaVersao(const std::function<void()>& solicitaFim);
// The shell script of mechanism 1 for this process (it waits for processo to end).
QString ScriptAtualizacao(qint64 processo, const QString& executavel, const QString& copiaServidor);
// Computes caminhosAtualizacao() from the path of the connection settings file.
void PreparaAtualizacao(const QString& localiniservidor);
// The update folder for a connection settings file: the path up to its second-to-last separator
// + "Update"; empty with fewer than two separators.
QString PastaAtualizacao(const QString& localiniservidor);
// Mechanism 2; modo 1 compares and updates, any other mode only cleans up and checks.
void AtualizaSistema(Database& db, int modo, const AmbienteAtualizacao& ambiente);
// Removes the updater's leftover files, creating the desktop shortcut when it had left them.
void FinalizaAtualizacao();
// The desktop launcher "Novo <name>.desktop" for this executable.
void CriaAtalho();
QString RetornaPastaDesktop();
// Copies every *.exe of the folder `pastamestre` (section configuracao of the settings file)
// that the update folder lacks.
void CopiaExecutaveis(const QString& arquivoIni);

// Installs the update steps into the login window's start sequence.
void InstalaAtualizacao(TfrmSplash& splash);
