#pragma once
// The offscreen platform (tests, the screenshot tool) says "This plugin does not support
// propagateSizeHints()" for every window it shows; that line carries nothing and buries the
// messages that matter. This handler drops it and passes everything else on.
void silenciaAvisosOffscreen();
