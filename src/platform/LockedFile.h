#pragma once
// Appending to a text file that several workstations share, one writer at a time.
#include <QString>
#include <QStringList>

// Appends the lines to the file under an exclusive lock on the whole file, so that two
// processes (on this machine or on workstations sharing the folder) appending at once never
// lose each other's lines. A file that is missing or empty when the lock is held first gets
// headerForNewFile. Lines are written in Windows-1252 with CR LF ends. Waits at most waitMs for
// another writer's lock. Throws AppError with a Portuguese message naming the file when the
// file cannot be opened, locked or written.
void appendLinesLocked(const QString& path, const QStringList& headerForNewFile, const QStringList& lines,
                       int waitMs = 10000);
