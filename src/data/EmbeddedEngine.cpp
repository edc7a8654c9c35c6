#include "data/EmbeddedEngine.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

bool prepareEmbeddedEngine(const QString& sharedLockFolder) {
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK")) return false;
    // The engine creates the shared folder itself when it is missing and its parent is writable.
    const QFileInfo shared(sharedLockFolder);
    const QString tested = shared.exists() ? sharedLockFolder : shared.absolutePath();
    if (access(QFile::encodeName(tested).constData(), W_OK) == 0) return false;
    // Every process of this user picks the same private folder, so that two of them still see
    // each other's locks on a database file.
    const QString lock = QDir::tempPath() + "/ctv-fblock-" + QString::number(getuid());
    if (!QDir().mkpath(lock)) return false;
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lock));
    return true;
}

bool prepareEmbeddedEngine() {
    return prepareEmbeddedEngine(QStringLiteral("/tmp/firebird"));
}
