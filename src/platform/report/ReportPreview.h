#pragma once
// The modal report preview. Production code reaches it only through reportPreview() (or
// ReportEngine::preview()); tests and the screenshot tool install a ScriptedReportPreview, which
// records the call and can write the pages to a PDF instead of showing a window.
#include "platform/Seam.h"
#include "platform/report/ReportRecord.h"

#include <QString>
#include <vector>

class ReportEngine;
class QPrinter;
class QPrintPreviewDialog;
class QWidget;

class ReportPreview {
public:
    virtual ~ReportPreview() = default;
    // Shows the prepared report and returns when the preview closes.
    virtual void show(ReportEngine& report) = 0;
};

// Qt's print preview window, maximised at 100 % zoom, with Qt's texts in Portuguese, printing
// and "Salvar como PDF" (PDF the default save format).
class QtReportPreview : public ReportPreview {
public:
    void show(ReportEngine& report) override;
};

// The preview window QtReportPreview shows, built but not shown: the report on the printer, the
// title, the zoom and the PDF button set up. The caller owns it.
QPrintPreviewDialog* createReportPreviewDialog(ReportEngine& report, QPrinter& printer,
                                               QWidget* parent = nullptr);

ReportPreview& reportPreview();
// Installs an implementation (nullptr restores the default) and returns the previous one.
ReportPreview* installReportPreview(ReportPreview* preview);
using ScopedReportPreview = ScopedSeam<ReportPreview, &installReportPreview>;

// Test double: records each preview and, when told to, writes its pages to a PDF file.
class ScriptedReportPreview : public ReportPreview {
public:
    struct Call {
        QString caption;
        int pageCount = 0;
        ReportRecord record;
        QString pdfPath; // empty when none was written
        QString pngPath; // empty when none was written
    };
    // Each preview writes its pages to this file; "%1" in it is replaced by the call's number
    // (1 for the first). Empty: nothing is written.
    void setPdfPath(const QString& path) { m_pdfPath = path; }
    // Each preview also writes one page as a PNG picture at the given resolution ("%1" as above).
    // Empty: no picture.
    void setPngPath(const QString& path, int page = 1, int dpi = 96) {
        m_pngPath = path;
        m_pngPage = page;
        m_pngDpi = dpi;
    }

    void show(ReportEngine& report) override;
    const std::vector<Call>& calls() const { return m_calls; }
    int count() const { return static_cast<int>(m_calls.size()); }
    // The last preview; throws std::logic_error when there was none.
    const Call& last() const;
    void clear() { m_calls.clear(); }

private:
    QString m_pdfPath, m_pngPath;
    int m_pngPage = 1, m_pngDpi = 96;
    std::vector<Call> m_calls;
};
