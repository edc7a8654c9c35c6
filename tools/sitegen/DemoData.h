#pragma once
// Demo data of a new site: a water and fluid analysis laboratory with its clients,
// equipment, about twenty months of analyses, sales documents, users and permissions.
#include "sitegen/SqlSink.h"
#include <QString>
#include <QStringList>
#include <functional>

// Fills a database freshly created from schema/ (all tables empty). The data is the same on
// every run of the same day: a fixed random seed, with dates relative to today.
// Throws AppError when the logo cannot be encoded as JPEG.
void generateDemoData(SqlSink& db);

// Sizes of the large site; the defaults are those of the benchmarks.
struct LargeDataSize {
    int people = 100000;      // new people (clients, representatives, technicians)
    int analyses = 200000;    // at least this many analyses ...
    qint64 results = 2000000; // ... and at least this many results
    int commitEvery = 20000;  // rows between commits
};

// Adds a large volume of people, client equipment, analyses, analysed equipment and results
// on top of the demo data (which it writes first when the database has no equipment types).
// Keys continue after the largest existing ones. Progress lines go to `progress`.
void generateLargeData(SqlSink& db, const std::function<void(const QString&)>& progress);
void generateLargeData(SqlSink& db, const std::function<void(const QString&)>& progress,
                       const LargeDataSize& size);

// Codes (CD_PESSOA) of the laboratory's own companies in the demo data, for the per-company
// report header and footer images.
QStringList demoOwnCompanyCodes();
