#include "platform/ErrorHook.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"

namespace {
ErrorHookFn& hook() {
    static ErrorHookFn h;
    return h;
}
} // namespace

ErrorHookFn installErrorHook(ErrorHookFn h) {
    return std::exchange(hook(), std::move(h));
}

QString exceptionText(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const AppError& a) {
        return a.message();
    } catch (const std::exception& x) {
        return QString::fromLocal8Bit(x.what());
    } catch (...) {
        return QStringLiteral("Erro desconhecido");
    }
}

void reportException(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const SilentAbort&) {
        return;
    } catch (...) {
    }
    if (hook()) {
        hook()(e);
        return;
    }
    // A message written for the user (a refused value, a rule) is a warning; anything else an
    // error. Both carry the system's caption.
    bool paraUsuario = false;
    try {
        std::rethrow_exception(e);
    } catch (const ValidationError&) {
        paraUsuario = true;
    } catch (...) {
    }
    showMessage(exceptionText(e), kSystemCaption, paraUsuario ? MsgIcon::Warning : MsgIcon::Error,
                MsgButtons::Ok, MsgAnswer::Ok);
}
