#include "support/Tutoriais.h"
#include "platform/Shell.h"
#include "support/ConfiguracaoSuporte.h"

QString hostSemEsquema(QString host) {
    host = host.trimmed();
    for (const char* esquema : {"https://", "http://"})
        if (host.startsWith(QLatin1String(esquema), Qt::CaseInsensitive))
            host = host.mid(int(qstrlen(esquema)));
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return host;
}

void AbreTutorial(const QString& nomeTela, int topico) {
    const QString base = hostSemEsquema(carregaConfiguracaoSuporte().siteTutoriais);
    const QString encerramento = QStringLiteral("/2024/11/tutorial-abertura-e-encerramento-do.html");
    if (nomeTela == QLatin1String("frmMenuPrincipal") && topico == 1)
        shell().open(QStringLiteral("http://") + base + QStringLiteral("/2012/11/barra-de-ferramentas.html"));
    if (nomeTela == QLatin1String("frmMenuPrincipal") && topico == 2)
        shell().open(QStringLiteral("http://") + base +
                     QStringLiteral("/2024/10/tutorial-abertura-do-sistema.html"));
    if (nomeTela == QLatin1String("frmSplash"))
        shell().open(QStringLiteral("https://") + base + encerramento);
    if (nomeTela == QLatin1String("frmPesquisaSatisfacaoNexmoro"))
        shell().open(QStringLiteral("https://") + base + encerramento);
    if (nomeTela == QLatin1String("frmCadastrodeAnalise"))
        shell().open(QStringLiteral("https://") + base +
                     QStringLiteral("/2026/04/tutorial-como-imprimir-logomarca.html"));
}
