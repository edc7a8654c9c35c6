#include "WorkbookReader.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace {
const char* kScript = R"PY(
import sys, json, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
out = []
for ws in wb.worksheets:
    cells = {}
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            v = c.value
            if isinstance(v, (datetime.datetime, datetime.date)):
                v = v.isoformat()
            cells[c.coordinate] = {"v": v, "t": c.data_type, "f": c.number_format, "b": bool(c.font.b)}
    widths = {}
    for k, d in ws.column_dimensions.items():
        if d.customWidth or d.width:
            for i in range(d.min or 0, (d.max or 0) + 1):
                if i > 0:
                    widths[openpyxl.utils.get_column_letter(i)] = d.width
    out.append({"name": ws.title, "cells": cells, "widths": widths,
                "merged": [str(r) for r in ws.merged_cells.ranges],
                "rows": ws.max_row, "cols": ws.max_column})
print(json.dumps(out))
)PY";
} // namespace

LidoPlanilha lePlanilha(const QString& caminho) {
    LidoPlanilha r;
    QProcess p;
    // The system interpreter, where Debian's openpyxl lives.
    p.start("/usr/bin/python3", {"-c", kScript, caminho});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        r.erro = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    const QJsonArray folhas = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    for (const QJsonValue& fv : folhas) {
        const QJsonObject f = fv.toObject();
        LidoFolha folha;
        folha.nome = f["name"].toString();
        folha.linhas = f["rows"].toInt();
        folha.colunas = f["cols"].toInt();
        const QJsonObject cells = f["cells"].toObject();
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            const QJsonObject c = it.value().toObject();
            folha.celulas.insert(it.key(), LidoCelula{c["v"].toVariant(), c["t"].toString(),
                                                      c["f"].toString(), c["b"].toBool()});
        }
        const QJsonObject w = f["widths"].toObject();
        for (auto it = w.begin(); it != w.end(); ++it)
            folha.larguras.insert(it.key(), it.value().toDouble());
        for (const QJsonValue& m : f["merged"].toArray())
            folha.mescladas << m.toString();
        r.folhas.append(folha);
    }
    r.ok = true;
    return r;
}
