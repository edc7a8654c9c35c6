#include "platform/WorkbookFiles.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "platform/Shell.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {
// Characters no file name may hold on the workstations that share the folder.
const QString kProibidos = QStringLiteral("\\/:*?\"<>|");

// Names under which the spreadsheet program runs on this workstation.
const QStringList kProgramasPlanilha = {"soffice.bin", "soffice", "oosplash",
                                        "libreoffice", "scalc",   "localc"};

bool mesmaEstacao(const QString& a, const QString& b) {
    // "labpc" and "labpc.lab.local" are one workstation.
    const QString ca = a.section('.', 0, 0).trimmed(), cb = b.section('.', 0, 0).trimmed();
    return !ca.isEmpty() && ca.compare(cb, Qt::CaseInsensitive) == 0;
}

bool programaPlanilhaRodando() {
    for (const ProcessEntry& p : processes().running())
        for (const QString& nome : kProgramasPlanilha)
            if (p.name.compare(nome, Qt::CaseInsensitive) == 0) return true;
    return false;
}

} // namespace

QString CaminhoTravaPlanilha(const QString& caminho) {
    const QFileInfo fi(caminho);
    return fi.absolutePath() + "/.~lock." + fi.fileName() + "#";
}

TravaPlanilha LeTravaPlanilha(const QString& caminho) {
    TravaPlanilha t;
    QFile f(CaminhoTravaPlanilha(caminho));
    if (!f.exists()) return t;
    t.existe = true;
    if (!f.open(QIODevice::ReadOnly)) return t;
    const QString texto = QString::fromUtf8(f.read(4096));
    QStringList partes{QString()};
    for (int i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if (c == '\\' && i + 1 < texto.size()) {
            partes.last() += texto[++i];
        } else if (c == ',') {
            partes << QString();
        } else if (c == ';') {
            break;
        } else {
            partes.last() += c;
        }
    }
    if (partes.size() >= 3) {
        t.usuario = partes[1].trimmed();
        t.estacao = partes[2].trimmed();
        if (partes.size() >= 4) t.quando = partes[3].trimmed();
    }
    return t;
}

void LiberaArquivoPlanilha(const QString& caminho, const QString& nome) {
    const QFileInfo fi(caminho);
    if (!fi.exists() && !fi.isSymLink()) return;
    const QString emUso =
        "Não foi possivel deletar o arquivo " + nome + "\r" + "Feche este arquivo caso esteja em uso.";
    const TravaPlanilha trava = LeTravaPlanilha(caminho);
    if (trava.existe) {
        // A lock of this workstation whose program no longer runs was left by a program that
        // ended without closing the workbook; any other lock may be a workbook really open.
        const bool daqui = !trava.estacao.isEmpty() && mesmaEstacao(trava.estacao, osFacts().hostName());
        if (!daqui || programaPlanilhaRodando()) {
            QString quem;
            if (!trava.usuario.isEmpty() && !trava.estacao.isEmpty())
                quem = "\r(aberto por " + trava.usuario + " na estação " + trava.estacao + ")";
            warnAndAbort(emUso + quem);
        }
        QString marca = "O arquivo " + nome + " está marcado como aberto";
        if (!trava.usuario.isEmpty()) marca += " por " + trava.usuario;
        if (!trava.quando.isEmpty()) marca += " desde " + trava.quando;
        marca += ", mas o programa de planilhas que o abriu não está mais em execução nesta estação.\r"
                 "Deseja substituir o arquivo?";
        if (ask(marca, MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes) throw SilentAbort();
        QFile::remove(CaminhoTravaPlanilha(caminho));
    }
    if (!QFile::remove(caminho)) warnAndAbort(emUso);
}

void AbrePlanilhaGravada(const QString& caminho) {
    if (shell().open(caminho)) return;
    inform("A planilha foi gravada em:\r" + QDir::toNativeSeparators(caminho) +
           "\rNenhum programa deste computador abre este tipo de arquivo: abra-a com um programa de "
           "planilhas.");
}

QString PastaPlanilhas() {
    return QFileInfo(osFacts().executablePath()).absolutePath() + "/Excel";
}

QString CaminhoPlanilha(const QString& nome) {
    return PastaPlanilhas() + "/" + nome + ".xlsx";
}

QString ValidaNomeArquivo(const QString& nome) {
    if (nome.trimmed().isEmpty()) return "Informe o nome do arquivo.";
    for (const QChar c : nome)
        if (kProibidos.contains(c) || c.unicode() < 32)
            return "O nome do arquivo não pode conter os caracteres \\ / : * ? \" < > | nem caracteres de "
                   "controle.";
    if (nome == "." || nome == "..") return "Informe um nome de arquivo válido.";
    if (QFile::encodeName(nome + ".xlsx").size() > 255) return "O nome do arquivo é longo demais.";
    return QString();
}

QString NomeArquivoProposto(const QString& caption) {
    const int traco = caption.indexOf('-');
    return traco >= 0 ? caption.left(traco).trimmed() : caption;
}
