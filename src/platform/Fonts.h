#pragma once
// Fonts the screens ask for that a Linux desktop lacks, and the font dialog's starting point.
#include <QFont>
#include <QString>

// The Tahoma- and MS Sans Serif-compatible fonts of Wine (Debian's fonts-wine) lie in a folder
// fontconfig does not search: they are loaded for this program when present. Returns how many
// files were loaded.
int loadCompatibleFonts(const QString& folder = QStringLiteral("/usr/share/wine/fonts"));

// The font a font dialog opens on for `current`: the family the machine really shows for it
// and, of that family's styles, the one of the same weight and slant, so that confirming the
// dialog without touching it changes nothing (the first style of a substitute family can be
// "Oblique").
QFont fontForDialog(const QFont& current);
