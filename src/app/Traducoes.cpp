#include "app/Traducoes.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool carregaTraducoes() {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale ptBR(QLocale::Portuguese, QLocale::Brazil);
    bool algum = false;
    for (const char* catalogo : {"qtbase"}) {
        auto* t = new QTranslator(QCoreApplication::instance());
        if (t->load(ptBR, QString::fromLatin1(catalogo), QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(t);
            algum = true;
        } else {
            delete t;
        }
    }
    QLocale::setDefault(ptBR);
    return algum;
}
