#pragma once
// The offscreen platform (tests, the screenshot tool) says "This plugin does not support
// propagateSizeHints()" (or "raise()") for every window it shows or raises; those lines carry
// nothing and bury the messages that matter. This handler drops them and passes the rest on.
void silenciaAvisosOffscreen();
