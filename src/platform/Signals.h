#pragma once
// The end request of the desktop (SIGTERM at logout or shutdown) delivered to the event loop:
// the handler runs on the user-interface thread like any event, never inside the signal.
#include <functional>

// Called first thing in main(), before any thread exists: SIGTERM and SIGINT are then taken by
// one waiting thread only, never delivered into a thread of the database engine (an interrupted
// engine wait can leave its shared memory stuck, so the final detach never returns).
void bloqueiaSinaisDeTermino();

// Installs (or, with an empty function, removes) what runs when the process receives SIGTERM.
void aoReceberSigterm(std::function<void()> fn);

// Delivers the end request as if SIGTERM had arrived (async-signal-safe: for handlers and
// threads of libraries that catch the signal themselves).
void sinalizaTermino();

// A program that does not end within this time after an end request (its first SIGTERM or
// SIGINT, or limitaTempoDeSaida) ends at once without its shutdown: a wait inside a library that
// never returns (a connection to a server that died) must not keep it, and the database it
// holds, for ever. A second signal ends it at once. Default 15000 ms.
void defineLimiteDeTermino(int ms);
// From now on the process has the limit above to end; then it ends with the given exit code.
void limitaTempoDeSaida(int codigo);
