#include "reports/ImagensLaudo.h"

#include "data/DataContext.h"
#include "platform/Errors.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool mesmoNome(const QString& a, const QString& b) {
    return a.normalized(QString::NormalizationForm_C)
               .compare(b.normalized(QString::NormalizationForm_C), Qt::CaseInsensitive) == 0;
}

// The entry of the folder with this name, the exact one first; empty when missing.
QString entrada(const QString& pasta, const QString& nome, QDir::Filters tipo) {
    if (pasta.isEmpty() || nome.isEmpty()) return QString();
    const QDir dir(pasta);
    if (QFileInfo(dir.filePath(nome)).exists() &&
        (tipo == QDir::Dirs ? QFileInfo(dir.filePath(nome)).isDir() : QFileInfo(dir.filePath(nome)).isFile()))
        return dir.filePath(nome);
    const QStringList nomes = dir.entryList(tipo | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString& n : nomes)
        if (mesmoNome(n, nome)) return dir.filePath(n);
    return QString();
}

} // namespace

QString PastaDadosCompartilhados() {
    const QString ini = sessaoUsuario().localarquivoiniteste;
    if (ini.isEmpty()) return QString();
    return QFileInfo(ini).absolutePath();
}

QString PastaImagens() {
    return entrada(PastaDadosCompartilhados(), QStringLiteral("imagens"), QDir::Dirs);
}

QString CriaPastaImagens() {
    const QString existente = PastaImagens();
    if (!existente.isEmpty()) return existente;
    const QString pai = PastaDadosCompartilhados();
    const QString nova = QDir(pai).filePath(QStringLiteral("imagens"));
    if (pai.isEmpty() || !QDir().mkpath(nova))
        throw AppError(QStringLiteral("Não pode ser Criado o Diretório ") +
                       QDir::toNativeSeparators(pai.isEmpty() ? QString() : pai + "/") +
                       QStringLiteral("imagens"));
    return nova;
}

QString ArquivoImagem(const QString& nome) {
    return entrada(PastaImagens(), nome, QDir::Files);
}

QString LocalizaArquivoImagem(const QString& caminho) {
    if (caminho.isEmpty()) return QString();
    const QString limpo = QDir::fromNativeSeparators(caminho);
    if (QFileInfo(limpo).isFile()) return limpo;
    const QFileInfo info(limpo);
    const QFileInfo pasta(info.path());
    const QString achada = entrada(pasta.path(), pasta.fileName(), QDir::Dirs);
    return entrada(achada, info.fileName(), QDir::Files);
}
