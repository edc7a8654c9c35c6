#pragma once
// The embedded engine keeps its lock files in /tmp/firebird; a user who may not write there
// gets a private lock folder (FIREBIRD_LOCK) instead. Nothing changes when FIREBIRD_LOCK is
// already set. Must run before the first attach of the process; returns true when it set the
// variable. The overload names the shared lock folder to test.
#include <QString>

bool prepareEmbeddedEngine();
bool prepareEmbeddedEngine(const QString& sharedLockFolder);
