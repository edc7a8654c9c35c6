#pragma once
// Small pieces the layouts of the technical report and of the fill-in sheet build with.
#include "platform/report/ReportEngine.h"
#include <QRectF>
#include <QString>

// A fixed text of the band in the report's type: `pontos` points, bold when asked.
inline ReportText& texto(ReportBand& b, const QString& nome, const QRectF& mm, const QString& t = {},
                         double pontos = 10, bool negrito = false) {
    ReportText& e = b.addText(nome, mm, t);
    e.setFont(reportFont(pontos, negrito));
    return e;
}

// A sample's number as its element names and captions carry it ("qrlAmostra3", "3.").
inline QString numero(int n) {
    return QString::number(n);
}
