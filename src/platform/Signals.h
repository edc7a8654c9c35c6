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
