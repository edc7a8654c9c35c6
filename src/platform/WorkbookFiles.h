#pragma once
// The files of the exported workbooks: their folder and names, the check of a name the user
// typed, making room for a new workbook where an earlier one (perhaps still open in the
// spreadsheet program) stands, and handing the written workbook to the desktop.
#include <QString>

// The folder of exported workbooks: "Excel" beside the executable.
QString PastaPlanilhas();
// "<PastaPlanilhas()>/<nome>.xlsx".
QString CaminhoPlanilha(const QString& nome);

// Makes room for a workbook about to be written at `caminho` (`nome` is the name the user gave
// it): an earlier file of that name is removed. A workbook the spreadsheet program holds open
// (its lock file beside it names a program still running on this workstation, or another
// workstation) stays as it is and the user is told to close it; a lock left by a program that
// is no longer running is offered for replacement. When the file stays the action ends with
// SilentAbort after the message.
void LiberaArquivoPlanilha(const QString& caminho, const QString& nome);
// Hands a written workbook to the desktop's program; with nothing to open it the user is told
// where the file is.
void AbrePlanilhaGravada(const QString& caminho);

// The lock file the spreadsheet program writes beside a workbook it opens, as it reads:
// "name,user,host,date,profile;" (a comma, a semicolon or a backslash inside a part is escaped
// with a backslash).
struct TravaPlanilha {
    bool existe = false;
    QString usuario, estacao, quando;
};
QString CaminhoTravaPlanilha(const QString& caminho);
TravaPlanilha LeTravaPlanilha(const QString& caminho);

// The file-name check: empty when the name can be used, otherwise the message for the user.
QString ValidaNomeArquivo(const QString& nome);
// The name proposed for a screen: its caption up to the first "-", trimmed, or the caption.
QString NomeArquivoProposto(const QString& caption);
