#pragma once
// Capture of the screen for the error report.
#include <QImage>
#include <QRect>

// The given rectangle of the primary screen (in screen coordinates). Where the platform cannot
// read the screen back (offscreen, some Wayland sessions), the program's own visible windows are
// painted at their places over the desktop colour instead, so the capture still shows what the
// user saw of this program.
QImage captureScreenRect(const QRect& rect);
// The whole primary screen.
QImage capturePrimaryScreen();
