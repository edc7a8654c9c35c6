#pragma once
// The record of a report run: which bands printed, on which page, for which row and with which
// texts. Tests and report code read it instead of parsing the pages.
#include "platform/report/ReportBand.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

struct ReportPrintedBand {
    QString band;
    ReportBandKind kind;
    int page = 0;     // where it started, 1 for the first page
    int lastPage = 0; // where it ended (a band split across pages ends on a later one)
    int row = -1;
    double topMm = 0;      // from the top of the paper, on its first page
    double heightMm = 0;   // as printed, grown elements included
    bool repeated = false; // a group heading printed again on a page where its rows continue
    // Visible elements with their text as printed, in the band's order: texts and system texts
    // as shown, rich text as plain text, an image "[imagem]" or "" when empty.
    std::vector<std::pair<QString, QString>> texts;

    bool has(const QString& element) const;
    // The element's text; "" when it did not print.
    QString text(const QString& element) const;
};

class ReportRecord {
public:
    const std::vector<ReportPrintedBand>& bands() const { return m_bands; }
    int pageCount() const { return m_pages; }
    // The prints of a band, in order.
    std::vector<const ReportPrintedBand*> of(const QString& band) const;
    int count(const QString& band) const;
    // The texts an element printed with, one per print of its band.
    QStringList texts(const QString& band, const QString& element) const;
    // Names of the bands that started on a page, in order.
    QStringList bandsOnPage(int page) const;
    // One line per printed band, for test messages.
    QString dump() const;

    // Filled by the engine.
    void clear() {
        m_bands.clear();
        m_pages = 0;
    }
    ReportPrintedBand& add(ReportPrintedBand b) {
        m_bands.push_back(std::move(b));
        return m_bands.back();
    }
    ReportPrintedBand& at(size_t i) { return m_bands[i]; }
    void setPageCount(int n) { m_pages = n; }

private:
    std::vector<ReportPrintedBand> m_bands;
    int m_pages = 0;
};
