#pragma once
// Reads a workbook back with an independent reader (Debian's python3-openpyxl), never with the
// writer that made it: every cell's value, type, number format and boldness, the column widths
// and the merged ranges of each sheet.
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

struct LidoCelula {
    QVariant valor;
    QString tipo;    // "s" text, "n" number, "d" date
    QString formato; // number format code
    bool negrito = false;
};

struct LidoFolha {
    QString nome;
    QMap<QString, LidoCelula> celulas; // by address ("A1")
    QMap<QString, double> larguras;    // by column letter
    QStringList mescladas;             // "A1:C1"
    int linhas = 0, colunas = 0;       // used range
    // The cell, or an empty one (tipo empty) when nothing is written there.
    LidoCelula celula(const QString& endereco) const { return celulas.value(endereco); }
    QString texto(const QString& endereco) const { return celulas.value(endereco).valor.toString(); }
};

struct LidoPlanilha {
    bool ok = false;
    QString erro; // the reader's complaint when the file is not a workbook
    QList<LidoFolha> folhas;
};

LidoPlanilha lePlanilha(const QString& caminho);
