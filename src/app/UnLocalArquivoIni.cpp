#include "app/UnLocalArquivoIni.h"
#include "data/DataContext.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <algorithm>

namespace {
// The first n characters; nothing for n <= 0 (QString::left would return the whole text).
QString firstChars(const QString& s, qsizetype n) {
    return n <= 0 ? QString() : s.left(n);
}

QString withoutQuotes(const QString& text) {
    QString s = text;
    s.remove(QLatin1Char('"'));
    return s;
}

QPixmap warningPicture() {
    QPixmap pix(48, 48);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xf2, 0xb7, 0x05));
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 2));
    const QPointF tri[3] = {{24, 3}, {45, 44}, {3, 44}};
    p.drawPolygon(tri, 3);
    p.setPen(Qt::black);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(26);
    p.setFont(f);
    p.drawText(QRect(0, 12, 48, 32), Qt::AlignCenter, QStringLiteral("!"));
    return pix;
}
} // namespace

TfrmLocalIni::TfrmLocalIni(QWidget* parent) : QDialog(parent) {
    setObjectName("frmLocalIni");
    setWindowTitle(QStringLiteral("Conexão com o Banco de Dados"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // Wide enough for its longest line in the font in use: nothing is cut off.
    QFont negrito = font();
    negrito.setBold(true);
    const QString indique =
        QStringLiteral("Indique o arquivo do Banco de Dados que será utilizado no aplicativo:");
    const int W = std::max(470, QFontMetrics(negrito).horizontalAdvance(indique) + 40);
    setFixedSize(W, 190);

    auto* picture = new QLabel(this);
    picture->setObjectName("imgAviso");
    picture->setPixmap(warningPicture());
    picture->setGeometry(16, 14, 48, 48);

    QFont bold = font();
    bold.setBold(true);

    auto* lblAviso = new QLabel(QStringLiteral("AVISO:"), this);
    lblAviso->setObjectName("lblAviso");
    lblAviso->setFont(bold);
    lblAviso->setStyleSheet("color: red;");
    lblAviso->setGeometry(80, 12, W - 100, 18);

    auto* lblTexto = new QLabel(
        QStringLiteral("O Sistema não encontrou uma conexão\nválida para o Banco de Dados."), this);
    lblTexto->setObjectName("lblTexto");
    lblTexto->setFont(bold);
    lblTexto->setGeometry(80, 32, W - 100, 36);

    auto* lblIndique = new QLabel(indique, this);
    lblIndique->setObjectName("lblIndique");
    lblIndique->setFont(bold);
    lblIndique->setGeometry(16, 84, W - 30, 18);

    fe = new QLineEdit(this);
    fe->setObjectName("fe");
    fe->setReadOnly(true);
    fe->setStyleSheet("QLineEdit { background-color: #ffffe1; }");
    fe->setGeometry(16, 106, W - 60, 24);

    feButton = new QToolButton(this);
    feButton->setObjectName("feButton");
    feButton->setText(QStringLiteral("..."));
    feButton->setGeometry(W - 42, 106, 26, 24);
    connect(feButton, &QToolButton::clicked, this, [this] { guarded([this] { feButtonClick(); }); });

    bttPesquisar = new QPushButton(QStringLiteral("Confirmar"), this);
    bttPesquisar->setObjectName("bttPesquisar");
    bttPesquisar->setGeometry(W - 106, 146, 90, 30);
    connect(bttPesquisar, &QPushButton::clicked, this, [this] { guarded([this] { bttPesquisarClick(); }); });

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmLocalIni::feBeforeDialog() {
    m_startDir = QFileInfo(osFacts().executablePath()).absolutePath();
    m_filter = QStringLiteral("Banco de Dados ( *.fdb )|*.fdb|Todos os Arquivos|*");
}

void TfrmLocalIni::feButtonClick() {
    feBeforeDialog();
    const QString chosen = dialogs().openFile(windowTitle(), m_startDir, m_filter);
    if (!chosen.isEmpty()) fe->setText(chosen);
}

// A name shown between double quotes is two characters longer than the file name: reading
// it as quoted drops ".fdb" plus the closing quote's length (A), reading it as plain drops
// "fdb" (B).
QString TfrmLocalIni::candidatoA(const QString& text) {
    return firstChars(withoutQuotes(text), text.size() - 5) + QStringLiteral("ini");
}

QString TfrmLocalIni::candidatoB(const QString& text) {
    return firstChars(withoutQuotes(text), text.size() - 3) + QStringLiteral("ini");
}

void TfrmLocalIni::bttPesquisarClick() {
    const QString text = fe->text();
    if (text.isEmpty()) {
        warn(QStringLiteral("Banco de Dados não informado !"));
        fe->setFocus();
        return;
    }
    const QString a = candidatoA(text);
    const QString b = candidatoB(text);
    const bool hasA = IniFile::fileExists(a);
    const bool hasB = IniFile::fileExists(b);
    if (!hasA && !hasB) {
        warn(QStringLiteral("Arquivo de iniciliazação do Banco de Dados não Encontrado !") + QChar(13) +
             firstChars(withoutQuotes(text), text.size() - 4) + QStringLiteral(".ini") + QChar(13) +
             QStringLiteral("Solicite auxílio do Administrador do Sistema"));
        fe->setFocus();
        return;
    }
    if (hasA) sessaoUsuario().localarquivoiniteste = a;
    if (hasB) sessaoUsuario().localarquivoiniteste = b;
    close();
}
