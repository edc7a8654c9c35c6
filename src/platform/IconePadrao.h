#pragma once
// The style's standard icons, decoded once per run: the style reads each one from its image
// files on every call, and the screens ask for the same few every time they open.
#include <QIcon>
#include <QStyle>

QIcon iconePadrao(QStyle::StandardPixmap icone);
