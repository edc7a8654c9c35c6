#include "platform/QuietOffscreen.h"
#include <QString>
#include <QtGlobal>

namespace {
QtMessageHandler g_anterior = nullptr;

void filtro(QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
    if (msg.contains(QLatin1String("does not support propagateSizeHints")) ||
        msg.contains(QLatin1String("does not support raise()")))
        return;
    if (g_anterior) g_anterior(type, ctx, msg);
}
} // namespace

void silenciaAvisosOffscreen() {
    if (g_anterior) return;
    g_anterior = qInstallMessageHandler(filtro);
}
