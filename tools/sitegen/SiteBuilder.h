#pragma once
// Creation of a site: the folders, the settings files, the database from schema/, the demo
// data and the report images.
#include <QString>
#include <functional>

struct SiteOptions {
    bool large = false;
    QString schemaDir; // empty: the schema folder of the source tree
    QString databaseName = "CORTIVANDELA.FDB";
};

// Layout of a site folder.
struct SiteLayout {
    explicit SiteLayout(const QString& root);
    QString root, sistema, dados, imagens, update, excel, pesquisa;
    QString connectionSettings() const; // <dados>/CORTIVANDELA.ini
    QString supportSettings() const;    // <sistema>/Suporte.ini (owner-only: the mail password)
    QString database(const QString& name) const;
    QString programSettings(const QString& exeName = "cortivandela") const;
};

// Throws AppError with a clear message when DIR already holds a site or anything fails.
void createSite(const QString& dir, const SiteOptions& options,
                const std::function<void(const QString&)>& progress);
