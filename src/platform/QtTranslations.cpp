#include "platform/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installPortugueseQtTranslations() {
    static bool loaded = [] {
        if (!QCoreApplication::instance()) return false;
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(QStringLiteral("qtbase_pt_BR"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete translator;
            return false;
        }
        QCoreApplication::installTranslator(translator);
        return true;
    }();
    return loaded;
}
