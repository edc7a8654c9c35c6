#include "platform/report/ReportPreview.h"
#include "platform/Dialogs.h"
#include <QActionGroup>

#include "platform/Errors.h"
#include "platform/QtTranslations.h"
#include "platform/report/ReportEngine.h"

#include <QAction>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <stdexcept>

namespace {
ReportPreview* g_installed = nullptr;
} // namespace

QPrintPreviewDialog* createReportPreviewDialog(ReportEngine& report, QPrinter& printer, QWidget* parent) {
    installPortugueseQtTranslations();
    report.prepare();
    // The layout first: setting a layout ends full-page mode.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), report.orientation(), QMarginsF(0, 0, 0, 0)));
    printer.setFullPage(true);
    printer.setDocName(report.caption());
    auto* dlg = new QPrintPreviewDialog(&printer, parent);
    dlg->setWindowTitle(report.caption().isEmpty() ? QStringLiteral("Visualização de impressão")
                                                   : report.caption());
    QObject::connect(dlg, &QPrintPreviewDialog::paintRequested, dlg,
                     [&report](QPrinter* p) { report.print(*p); });

    // Saving goes to PDF: a button beside the print button.
    auto* save = new QAction(QStringLiteral("Salvar como PDF"), dlg);
    save->setObjectName(QStringLiteral("actSalvarPdf"));
    save->setToolTip(QStringLiteral("Salvar o relatório em um arquivo PDF"));
    QObject::connect(save, &QAction::triggered, dlg, [&report, dlg] {
        const QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + '/' +
                              (report.caption().isEmpty() ? QStringLiteral("relatorio") : report.caption()) +
                              ".pdf";
        QString path = QFileDialog::getSaveFileName(dlg, QStringLiteral("Salvar como PDF"), start,
                                                    QStringLiteral("Arquivo PDF (*.pdf)"));
        if (path.isEmpty()) return;
        if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) path += QLatin1String(".pdf");
        report.writePdf(path);
    });
    if (auto* bar = dlg->findChild<QToolBar*>())
        bar->addAction(save);
    else
        dlg->addAction(save);

    if (auto* view = dlg->findChild<QPrintPreviewWidget*>()) {
        view->setZoomMode(QPrintPreviewWidget::CustomZoom);
        view->setZoomFactor(1.0);
    }
    // Maximised; sized to the screen as well, for a desktop without a window manager.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dlg->resize(screen->availableGeometry().size());
    dlg->setWindowState(Qt::WindowMaximized);
    return dlg;
}

void QtReportPreview::show(ReportEngine& report) {
    if (seam_detail::runningUnderTest()) seam_detail::refuseUnderTest("Report preview", report.caption());
    QPrinter printer(QPrinter::HighResolution);
    std::unique_ptr<QPrintPreviewDialog> dlg(createReportPreviewDialog(report, printer));
    dlg->showMaximized();
    // The zoom is set again once the window has its size: the first layout fits the page.
    if (auto* view = dlg->findChild<QPrintPreviewWidget*>()) view->setZoomFactor(1.0);
    // The toolbar tells the zoom as it is: 100 %, no "fit" button pressed.
    for (QAction* a : dlg->findChildren<QAction*>()) {
        if (a->objectName() != QLatin1String("fitPageAction") &&
            a->objectName() != QLatin1String("fitWidthAction"))
            continue;
        if (QActionGroup* g = a->actionGroup())
            g->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        a->setChecked(false);
    }
    execModal(*dlg);
}

ReportPreview& reportPreview() {
    static QtReportPreview defaultPreview;
    return g_installed ? *g_installed : defaultPreview;
}

ReportPreview* installReportPreview(ReportPreview* preview) {
    ReportPreview* previous = g_installed;
    g_installed = preview;
    return previous;
}

void ScriptedReportPreview::show(ReportEngine& report) {
    Call call;
    call.caption = report.caption();
    call.pageCount = report.pageCount();
    call.record = report.record();
    if (!m_pdfPath.isEmpty()) {
        call.pdfPath =
            m_pdfPath.contains(QLatin1String("%1")) ? m_pdfPath.arg(m_calls.size() + 1) : m_pdfPath;
        report.writePdf(call.pdfPath);
    }
    if (!m_pngPath.isEmpty()) {
        call.pngPath =
            m_pngPath.contains(QLatin1String("%1")) ? m_pngPath.arg(m_calls.size() + 1) : m_pngPath;
        report.writePng(call.pngPath, m_pngPage, m_pngDpi);
    }
    m_calls.push_back(std::move(call));
}

const ScriptedReportPreview::Call& ScriptedReportPreview::last() const {
    if (m_calls.empty()) throw std::logic_error("no report was previewed");
    return m_calls.back();
}
