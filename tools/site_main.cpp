// cortivandela-site: creates a site folder with its settings files, database and demo data.
#include "platform/Errors.h"
#include "sitegen/SiteBuilder.h"
#include <QGuiApplication>
#include <cstdio>

static int usage() {
    std::fprintf(stderr, "uso: cortivandela-site create PASTA [--large]\n"
                         "  cria um site novo: Sistema/, Dados/ (banco, conexão, imagens) e Update/\n"
                         "  --large  dados em volume para os benchmarks\n");
    return 2;
}

int main(int argc, char** argv) {
    // Drawing the report images needs a GUI application, without a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || args[0] != "create") return usage();
    SiteOptions opt;
    QString dir;
    for (const QString& a : args.mid(1)) {
        if (a == "--large")
            opt.large = true;
        else if (a.startsWith("--"))
            return usage();
        else
            dir = a;
    }
    if (dir.isEmpty()) return usage();
    try {
        createSite(dir, opt, [](const QString& line) {
            std::printf("%s\n", line.toLocal8Bit().constData());
            std::fflush(stdout);
        });
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
