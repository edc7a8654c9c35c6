#include "support/UnPesquisaSatisfacaoNexmoro.h"
#include "data/Query.h"
#include "platform/Clock.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QTimer>

namespace {

// A file of the folder whose name equals `nome` without regard to letter case (the maker's
// programs come from a system where names are compared that way).
QString arquivoNaPasta(const QString& pasta, const QString& nome) {
    const QStringList nomes = QDir(pasta).entryList(QDir::Files);
    for (const QString& n : nomes)
        if (n.compare(nome, Qt::CaseInsensitive) == 0) return QDir(pasta).filePath(n);
    return QString();
}

// The folder of a path up to and including its last separator.
QString pastaDe(const QString& caminho) {
    const qsizetype barra =
        std::max(caminho.lastIndexOf(QLatin1Char('/')), caminho.lastIndexOf(QLatin1Char('\\')));
    return caminho.left(barra + 1);
}

QPixmap figuraAjuda() {
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setBrush(QColor(0x1f, 0x5f, 0x8b));
    g.setPen(Qt::NoPen);
    g.drawEllipse(1, 1, 30, 30);
    g.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(20);
    g.setFont(f);
    g.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("?"));
    return p;
}

} // namespace

QString RetornaPastaDados(const std::function<void()>& solicitaFim) {
    const QString exe = osFacts().executablePath();
    const QString pasta = QFileInfo(exe).absolutePath();
    auto falta = [&](const QString& mensagem) {
        showError(mensagem);
        if (solicitaFim) solicitaFim();
    };
    auto deConfiguracao = [&](const QString& ini) {
        const QString nomearquivo =
            IniFile(ini).readString(QStringLiteral("IniServidor"), QStringLiteral("nomearquivo"));
        if (!IniFile::fileExists(nomearquivo))
            falta(QStringLiteral(
                "Não foi encontrado o arquivo de inicialização dentro da pasta nexmoro Talvena"));
        return pastaDe(nomearquivo);
    };

    const QString nome = arquivoNaPasta(pasta, QStringLiteral("nexmorotalvena4.exe")).isEmpty()
                             ? QStringLiteral("nexmorotalvena")
                             : QStringLiteral("nexmorotalvena4");
    const QString iniMaker = arquivoNaPasta(pasta, nome + QStringLiteral(".ini"));
    if (!iniMaker.isEmpty()) return deConfiguracao(iniMaker);

    // This program's own settings file names the connection settings file just as well.
    const QString proprio = programSettingsPath(exe);
    if (IniFile::fileExists(proprio) &&
        !IniFile(proprio).readString(QStringLiteral("IniServidor"), QStringLiteral("nomearquivo")).isEmpty())
        return deConfiguracao(proprio);

    QDir acima(pasta);
    acima.cdUp();
    const QString dados = acima.absolutePath() + QStringLiteral("/Dados/");
    if (!QFileInfo(dados).isDir()) falta(QStringLiteral("Não foi encontrado a pasta Dados no servidor"));
    return dados;
}

QString RetornaCNPJEmpresa(Database& db) {
    Query q(&db);
    q.setSqlText(QStringLiteral(" select NO_CNPJCPF from tab_parametro where id_parametro = 1"));
    q.open();
    const QString cnpj = q.isEmpty() ? QString() : q.fieldByName(QStringLiteral("NO_CNPJCPF"))->asString();
    q.close();
    return cnpj;
}

QString LimpaQuebrasLinha(const QString& texto) {
    QString t = texto;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.remove(QLatin1Char('\n'));
    return t;
}

QString NomeArquivoPesquisa(const QString& pastaDados, const RespostaPesquisa& r) {
    const QString finalIp = r.ip.mid(r.ip.lastIndexOf(QLatin1Char('.')) + 1).left(3);
    return pastaDados + QStringLiteral("PESQUISA/PQS_") + r.cnpj + QLatin1Char('_') + finalIp +
           QLatin1Char('_') + QStringLiteral("%1").arg(r.aleatorio, 4, 10, QLatin1Char('0')) +
           QLatin1Char('_') + r.momento.toString(QStringLiteral("ddMMyyyyhhmmss")) + QStringLiteral(".txt");
}

QString LinhaPesquisa(const RespostaPesquisa& r) {
    const QChar s(QLatin1Char('|'));
    return s + r.momento.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) + s + r.cnpj + s + r.login + s +
           r.grupo + s + r.ip + s + r.executavel + s + QString::number(r.nota) + s + r.comentario + s;
}

// ------------------------------------------------------------------ window

TfrmPesquisaSatisfacaoNexmoro::TfrmPesquisaSatisfacaoNexmoro(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPesquisaSatisfacaoNexmoro"));
    setWindowTitle(QStringLiteral("Pesquisa de Satisfação nexmoro"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(529, 433);
    solicitaFim = [] { QTimer::singleShot(0, qApp, &QCoreApplication::quit); };

    lblTitulo = new QLabel(QStringLiteral("Olá, <nome_login>. "), this);
    lblTitulo->setObjectName(QStringLiteral("lblTitulo"));
    lblTitulo->setGeometry(16, 12, 440, 28);
    lblTitulo->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold; color: #1f5f8b;"));

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(figuraAjuda());
    Image2->setGeometry(481, 10, 32, 32);
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->setToolTip(QStringLiteral("TUTORIAL - Abertura e Encerramento do Sistema nexmoro Talvena"));
    Image2->installEventFilter(this);

    auto* pergunta = new QLabel(
        QStringLiteral("Como foi sua experiência com o sistema nexmoro?\nFaça aqui seus comentários:"), this);
    pergunta->setGeometry(16, 52, 330, 40);

    btnSair = new QPushButton(QStringLiteral("Sair Sem Responder"), this);
    btnSair->setObjectName(QStringLiteral("btnSair"));
    btnSair->setGeometry(363, 56, 150, 30);
    connect(btnSair, &QPushButton::clicked, this, [this] { btnSairClick(); });

    mmComentario = new QPlainTextEdit(this);
    mmComentario->setObjectName(QStringLiteral("mmComentario"));
    mmComentario->setGeometry(16, 100, 497, 170);
    mmComentario->setTabChangesFocus(true);

    auto nota = [this](const char* nome, const QString& texto, const QString& dica, int valor, int x, int y) {
        auto* b = new QPushButton(texto, this);
        b->setObjectName(QLatin1String(nome));
        b->setToolTip(dica);
        b->setGeometry(x, y, 240, 40);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, valor] { notaClick(valor); });
        return b;
    };
    btnGostei = nota("btnGostei", QStringLiteral("Gostei"), QStringLiteral("Atendeu às minhas expectativas"),
                     1, 16, 282);
    btnMaisOuMenos = nota("btnMaisOuMenos", QStringLiteral("Razoável"),
                          QStringLiteral("Algumas coisas boas e outras nem tanto"), 2, 273, 282);
    btnGosteiMuito = nota("btnGosteiMuito", QStringLiteral("Gostei Muito"),
                          QStringLiteral("Merece um elogio ( escreva nos comentários )"), 3, 16, 330);
    btnNaoGostei = nota("btnNaoGostei", QStringLiteral("Não Foi Muito Boa"),
                        QStringLiteral("Precisa melhorar"), 4, 273, 330);

    auto* obrigado =
        new QLabel(QStringLiteral("Muito obrigado pela sua opinião. Isso é muito importante para "
                                  "nosso processo de melhoria."),
                   this);
    obrigado->setWordWrap(true);
    obrigado->setGeometry(16, 382, 497, 40);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmPesquisaSatisfacaoNexmoro::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_mostrado) return;
    m_mostrado = true;
    FormShow();
}

void TfrmPesquisaSatisfacaoNexmoro::FormShow() {
    lblTitulo->setText(QStringLiteral("Olá, ") + it_sNomeUsuario + QLatin1Char('.'));
    it_sIPComputador = osFacts().ipv4Address().trimmed();
    btnSair->setFocus();
}

bool TfrmPesquisaSatisfacaoNexmoro::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Image2Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPesquisaSatisfacaoNexmoro::notaClick(int nota) {
    it_iOpcaoEscolhida = nota;
    // The answer file is written in the peers' 8-bit code page: a character it cannot hold is
    // refused here rather than changed in the file.
    const QString comentario = mmComentario->toPlainText();
    if (const qsizetype fora = cp1252::firstUnencodable(comentario); fora >= 0) {
        warn(cp1252::refusal(QStringLiteral("O comentário"), comentario, fora));
        mmComentario->setFocus();
        return;
    }
    try {
        if (nota == 4 && mmComentario->toPlainText().trimmed().isEmpty()) {
            const MsgAnswer resposta = showMessage(
                QStringLiteral("Obrigado pela sua opinião. Vamos fazer de tudo para melhorar e deixar você "
                               "plenamente satisfeito. Poderia escrever nos comentários o motivo da sua "
                               "insatisfação?"),
                kSystemCaption, MsgIcon::Warning, MsgButtons::YesNo, MsgAnswer::Yes);
            if (resposta == MsgAnswer::Yes) {
                mmComentario->setFocus();
                return;
            }
        }
        if (it_sCNPJEmpresa != kCNPJNexmoro) GravaPesquisa();
        close();
    } catch (...) {
        // A failure to write keeps the window open without a message; the user may still leave.
    }
}

void TfrmPesquisaSatisfacaoNexmoro::GravaPesquisa() {
    const QString pasta = RetornaPastaDados(solicitaFim);
    if (pasta.isEmpty()) throw AppError(QStringLiteral("Pasta de dados não encontrada"));
    for (const QString& sub : {QStringLiteral("PESQUISA"), QStringLiteral("PESQUISA/ERRO")}) {
        const QString caminho = pasta + sub;
        if (!QFileInfo(caminho).isDir() && !QDir().mkdir(caminho))
            throw AppError(QStringLiteral("Não pode ser Criado o Diretório ") + caminho);
    }
    RespostaPesquisa r;
    r.momento = appClock().now();
    r.cnpj = it_sCNPJEmpresa;
    r.login = it_sNomeUsuario;
    r.grupo = it_sNomeGrupoUsuario;
    r.ip = it_sIPComputador;
    r.executavel = executableFileName(osFacts().executablePath());
    r.nota = it_iOpcaoEscolhida;
    // The comment box separates lines with a line feed alone; in the file's terms that is CR LF.
    QString comentario = mmComentario->toPlainText();
    comentario.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    r.comentario = LimpaQuebrasLinha(comentario);
    r.aleatorio = int(QRandomGenerator::global()->bounded(9999));
    const QString nome = NomeArquivoPesquisa(pasta, r);
    QFile f(nome);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw AppError(QStringLiteral("Não foi possível gravar ") + nome);
    const QByteArray bytes = cp1252::encodeVisible(LinhaPesquisa(r)) + "\r\n";
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.close();
        f.remove();
        throw AppError(QStringLiteral("Não foi possível gravar ") + nome);
    }
    f.close();
    it_sNomeArquivo = nome;
}

void TfrmPesquisaSatisfacaoNexmoro::btnSairClick() {
    close();
}

void TfrmPesquisaSatisfacaoNexmoro::Image2Click() {
    if (abreTutorial) abreTutorial(QStringLiteral("frmPesquisaSatisfacaoNexmoro"), 1);
}
