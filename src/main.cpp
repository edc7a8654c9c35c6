// Process start: the login window, then the main window with the data modules.
#include "app/Programa.h"
#include "app/UnLocalArquivoIni.h"
#include "app/UnMenuPrincipal.h"
#include "app/UnSplash.h"
#include "app/UnTelaAtualizador.h"
#include "data/EmbeddedEngine.h"
#include "platform/ErrorHook.h"
#include "platform/Fonts.h"
#include "platform/QtTranslations.h"
#include "platform/Signals.h"
#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {
// No exception crosses the event loop: whatever escapes an event handler reaches the hook.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            reportException(std::current_exception());
            return false;
        }
    }
};

bool temTela() {
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* s = std::getenv(v); s && *s) return true;
    return false;
}
} // namespace

int main(int argc, char** argv) {
    if (!temTela()) {
        std::fprintf(stderr, "Nexmoro Cortivandela: nenhuma tela gráfica disponível (DISPLAY não definido); "
                             "execute-o numa sessão gráfica ou com xvfb-run.\n");
        return 1;
    }
    bloqueiaSinaisDeTermino();
    Application app(argc, argv);
    app.setApplicationName("Nexmoro Cortivandela");
    app.setFont(QFont("DejaVu Sans", 9));
    // The rich-text fields and the laboratory settings are written in Tahoma.
    loadCompatibleFonts();
    installPortugueseQtTranslations();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    prepareEmbeddedEngine();

    // The desktop's end request during the login simply ends the program.
    aoReceberSigterm([] { QCoreApplication::exit(0); });
    auto splash = std::make_unique<TfrmSplash>();
    InstalaAtualizacao(*splash);
    if (!splash->execStart()) {
        limitaTempoDeSaida(0);
        return 0;
    }

    Programa programa;
    TfrmMenuPrincipal* principal = programa.principal();
    auto localIni = std::make_unique<TfrmLocalIni>();
    splash->hide();
    // Without a window manager "maximized" means nothing: fill the screen ourselves.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        principal->setGeometry(screen->availableGeometry());
    principal->showMaximized();
    // From now on it ends like closing the main window, without any question.
    aoReceberSigterm([principal] { principal->encerraSemPerguntas(); });
    const int rc = app.exec();
    aoReceberSigterm({});
    // Closing the connection and the client library's own shutdown come next; should either
    // never return (a server that died), the process still ends.
    limitaTempoDeSaida(rc);

    // Leaving, the program object takes the data modules down before the connection, and the
    // screens with the main window's frame.
    principal->hide();
    localIni.reset();
    return rc;
}
