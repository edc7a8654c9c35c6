#pragma once
// The end request of the desktop (SIGTERM at logout or shutdown) delivered to the event loop:
// the handler runs on the user-interface thread like any event, never inside the signal.
#include <functional>

// Installs (or, with an empty function, removes) what runs when the process receives SIGTERM.
void aoReceberSigterm(std::function<void()> fn);
