#pragma once
// Starting a program that outlives this one, without handing it this program's open files.
//
// A program started the usual way inherits every open descriptor without the close-on-exec
// mark: the embedded engine's database and lock files among them. A program it starts in turn
// (the updated executable, after the updater's work) then finds the database "already opened
// with engine instance". Here the started program gets the null device as its standard input
// and output and nothing else of ours.
#include <QString>
#include <QStringList>

// Starts program with arguments in workingDirectory (the current one when empty), in a session
// of its own, detached: nobody waits for it. False when it could not be started (not found, not
// executable, folder missing). pid, when given, receives the started process's id.
bool startDetachedWithoutOpenFiles(const QString& program, const QStringList& arguments,
                                   const QString& workingDirectory = QString(), qint64* pid = nullptr);
