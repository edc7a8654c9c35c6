#include "app/UnSplash.h"
#include "app/UnFuncaoNexmoro.h"
#include "app/UnLocalArquivoIni.h"
#include "app/UnScript.h"
#include "data/EmbeddedEngine.h"
#include "data/SqlText.h"
#include "platform/Clock.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "platform/OsFacts.h"
#include "platform/PasswordEcho.h"
#include "support/UnErroSistema.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>

// ------------------------------------------------------------------ helpers

namespace {
const QChar CR(13);

const QString kSecaoIniServidor = QStringLiteral("IniServidor");
const QString kChaveNomeArquivo = QStringLiteral("nomearquivo");

QString mensagemM1() {
    return QStringLiteral("Não foi possível fazer a conexão com o banco de dados.") + CR +
           QStringLiteral("Possíveis causas:") + CR +
           QStringLiteral("(1) O Firebird não está ativo no servidor.") + CR +
           QStringLiteral("(2) A porta 3050 não foi liberada no Firewall do Servidor.") + CR +
           QStringLiteral("(3) O Firebird Client não foi instalado neste computador.") + CR +
           QStringLiteral("Verifique estes casos ou entre em contato com o suporte técnico.");
}

// M1, and for a file the engine found cut short or damaged the cause in Portuguese, then the
// engine's own words (support tells the cases apart by them).
QString mensagemFalhaBanco(const QString& motivo) {
    QString m = mensagemM1();
    const QString t = motivo.toLower();
    for (const char* dano :
         {"file size is less than expected", "database file appears corrupt", "wrong page type",
          "page appears encrypted", "not a valid database", "unsupported on-disk structure", "checksum error",
          "i/o error during \"read\""}) {
        if (!t.contains(QLatin1String(dano))) continue;
        m += CR + QString(CR) +
             QStringLiteral(
                 "O arquivo do banco de dados está danificado ou incompleto. Restaure a última cópia "
                 "de segurança (backup) ou entre em contato com o suporte técnico.");
        break;
    }
    if (!motivo.trimmed().isEmpty())
        m += CR + QString(CR) + QStringLiteral("Mensagem do banco de dados: ") + motivo.trimmed();
    return m;
}

QString mensagemM2(const QString& marcador) {
    return QStringLiteral("Não foi encontrado o arquivo ") + marcador +
           QStringLiteral(" do banco de dados.") + CR +
           QStringLiteral("Entre em contato com o suporte técnico.");
}

QString mensagemM3(const QString& arquivo) {
    return QStringLiteral("Não foi encontrado o arquivo ") + arquivo +
           QStringLiteral(" necessário para fazer ") + CR +
           QStringLiteral("a conexão com o banco de dados. Entre em contato com o suporte técnico.");
}

// The hourglass while it lives.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QString executableFolder() {
    const QString exe = osFacts().executablePath();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath();
}

// A date written by hand or by the backup tool: "05/03/2024" or "5/3/2024".
QDate readDate(const QString& text) {
    QDate d = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
    if (!d.isValid()) d = QDate::fromString(text, QStringLiteral("d/M/yyyy"));
    return d;
}

// The product's emblem: a drop of fluid on a blue field, with the product's name.
QPixmap emblem(int w, int h) {
    QPixmap pix(w, h);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, h);
    bg.setColorAt(0, QColor(0x0b, 0x3d, 0x6e));
    bg.setColorAt(1, QColor(0x1c, 0x7c, 0xb8));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(0, 0, w, h), 10, 10);

    const double cx = w * 0.2, top = h * 0.18, bottom = h * 0.82, r = (bottom - top) * 0.36;
    QPainterPath drop;
    drop.moveTo(cx, top);
    drop.cubicTo(cx + r * 0.4, top + r * 0.9, cx + r, bottom - r * 1.3, cx + r, bottom - r);
    drop.arcTo(QRectF(cx - r, bottom - 2 * r, 2 * r, 2 * r), 0, -180);
    drop.cubicTo(cx - r, bottom - r * 1.3, cx - r * 0.4, top + r * 0.9, cx, top);
    QLinearGradient fluid(cx - r, top, cx + r, bottom);
    fluid.setColorAt(0, QColor(0xf7, 0xd3, 0x5c));
    fluid.setColorAt(1, QColor(0xd9, 0x8a, 0x0b));
    p.setBrush(fluid);
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.drawPath(drop);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(QPointF(cx - r * 0.4, bottom - r * 1.1), r * 0.18, r * 0.3);

    p.setPen(Qt::white);
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPixelSize(std::max(12, h / 6));
    p.setFont(f);
    const QRectF text(w * 0.36, 0, w * 0.62, h);
    p.drawText(text.adjusted(0, 0, 0, -h * 0.18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Nexmoro"));
    p.drawText(text.adjusted(0, h * 0.18, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Cortivandela"));
    f.setBold(false);
    f.setPixelSize(std::max(9, h / 14));
    p.setFont(f);
    p.setPen(QColor(255, 255, 255, 190));
    p.drawText(text.adjusted(0, h * 0.55, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Análise de fluidos"));
    return pix;
}
} // namespace

// ------------------------------------------------------------------ window

TfrmSplash::TfrmSplash(QWidget* parent)
    : QDialog(parent), IBT_Teste(&IBD_Teste), IBQ_EXISTE_USUARIO(&IBD_Teste, nullptr, "IBQ_EXISTE_USUARIO"),
      IBQ_Login(&IBD_Teste, nullptr, "IBQ_Login"), IBQ_AlteraSenha(&IBD_Teste, nullptr, "IBQ_AlteraSenha") {
    prepareEmbeddedEngine();
    IBD_Teste.setUser(QStringLiteral("sysdba"));
    IBD_Teste.setPassword(QString::fromLatin1(kDatabasePassword));
    IBD_Teste.setCharacterSet(QString());
    IBD_Teste.setDefaultTransaction(&IBT_Teste);
    IBQ_EXISTE_USUARIO.setSql({"select U.*, G.nm_Gr_usuario", "from sis_usuario U",
                               "left join sis_gr_usuario G on U.id_gr_usuario = G.id_gr_usuario"});

    requestEnd = [this] {
        // The request takes effect at the next message: this window closes and the event
        // loop ends; the code running now goes on.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_closing = true;
                reject();
            },
            Qt::QueuedConnection);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    };
    mostraLocalizador = [this] {
        QPointer<TfrmLocalIni> frm = new TfrmLocalIni(this);
        frm->exec();
        delete frm.data();
    };

    buildWindow();
}

TfrmSplash::~TfrmSplash() = default;

void TfrmSplash::buildWindow() {
    setObjectName("frmSplash");
    setWindowTitle(kNomeAplicativo);
    // Single fixed border without border icons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(380, kAlturaNormal);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName("imgLogo");
    imgLogo->setGeometry(10, 8, 360, 180);
    imgLogo->setPixmap(emblem(360, 180));

    lblVersao = new QLabel(QStringLiteral("Atualização 00/00/0000 00:00"), this);
    lblVersao->setObjectName("lblVersao");
    lblVersao->setAlignment(Qt::AlignCenter);
    lblVersao->setGeometry(10, 192, 360, 18);

    auto label = [this](const char* objectName, const QString& text, int y) {
        auto* l = new QLabel(text, this);
        l->setObjectName(objectName);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setGeometry(10, y, 100, 24);
        return l;
    };
    auto edit = [this](const char* objectName, int y, bool password) {
        auto* e = new QLineEdit(this);
        e->setObjectName(objectName);
        e->setGeometry(116, y, 220, 24);
        if (password) setPasswordEcho(e);
        return e;
    };
    auto button = [this](const char* objectName, const QString& text, int x) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(objectName);
        b->setGeometry(x, 300, 100, 32);
        b->setAutoDefault(false);
        b->setEnabled(false);
        return b;
    };

    lblUsuario = label("lblUsuario", QStringLiteral("Usuário:"), 226);
    meUsuario = edit("meUsuario", 226, false);
    lblSenha = label("lblSenha", QStringLiteral("Senha:"), 260);
    meSenha = edit("meSenha", 260, true);
    showLoginFields(false);

    bttEntrar = button("bttEntrar", QStringLiteral("Entrar"), 30);
    btnAlterarSenha = button("btnAlterarSenha", QStringLiteral("Alterar Senha"), 140);
    btnCancelar = button("btnCancelar", QStringLiteral("Cancelar"), 140);
    btnCancelar->setEnabled(true);
    btnCancelar->hide();
    bttSair = button("bttSair", QStringLiteral("Sair"), 250);

    linSeparador = new QFrame(this);
    linSeparador->setObjectName("linSeparador");
    linSeparador->setFrameShape(QFrame::HLine);
    linSeparador->setFrameShadow(QFrame::Sunken);
    linSeparador->setGeometry(10, 346, 360, 4);
    linSeparador->hide();

    lblNovaSenha = label("lblNovaSenha", QStringLiteral("Nova Senha:"), 358);
    mskNovaSenha = edit("mskNovaSenha", 358, true);
    lblConfirmaSenha = label("lblConfirmaSenha", QStringLiteral("Repetir Senha:"), 392);
    mskConfirmaSenha = edit("mskConfirmaSenha", 392, true);
    for (QWidget* w : {static_cast<QWidget*>(lblNovaSenha), static_cast<QWidget*>(mskNovaSenha),
                       static_cast<QWidget*>(lblConfirmaSenha), static_cast<QWidget*>(mskConfirmaSenha)})
        w->hide();

    stbStatus = new QStatusBar(this);
    stbStatus->setObjectName("stbStatus");
    stbStatus->setSizeGripEnabled(false);
    pnlStatus = new QLabel(stbStatus);
    pnlStatus->setObjectName("pnlStatus");
    stbStatus->addWidget(pnlStatus, 1);

    connect(bttEntrar, &QPushButton::clicked, this, [this] { guarded([this] { bttEntrarClick(); }); });
    connect(btnAlterarSenha, &QPushButton::clicked, this,
            [this] { guarded([this] { btnAlterarSenhaClick(); }); });
    connect(btnCancelar, &QPushButton::clicked, this, [this] { guarded([this] { btnCancelarClick(); }); });
    connect(bttSair, &QPushButton::clicked, this, [this] { guarded([this] { bttSairClick(); }); });

    // The window sees every key before its controls do.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    setWindowHeight(kAlturaNormal);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmSplash::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (stbStatus) stbStatus->setGeometry(0, height() - 22, width(), 22);
}

void TfrmSplash::setWindowHeight(int h) {
    setFixedSize(width(), h);
    stbStatus->setGeometry(0, h - 22, width(), 22);
}

void TfrmSplash::showLoginFields(bool show) {
    for (QWidget* w : {static_cast<QWidget*>(lblUsuario), static_cast<QWidget*>(meUsuario),
                       static_cast<QWidget*>(lblSenha), static_cast<QWidget*>(meSenha)})
        w->setVisible(show);
}

QString TfrmSplash::statusText() const {
    return pnlStatus->text();
}

void TfrmSplash::setStatus(const QString& text) {
    pnlStatus->setText(text);
    pnlStatus->repaint();
}

void TfrmSplash::setStatusBold(bool bold) {
    QFont f = pnlStatus->font();
    f.setBold(bold);
    pnlStatus->setFont(f);
}

bool TfrmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (FormKeyDown(key->key(), key->modifiers())) return true;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            FormKeyPress(13);
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            FormKeyPress(27);
            return true;
        }
    } else if (event->type() == QEvent::FocusOut && watched == mskConfirmaSenha) {
        // The user leaving the field (Tab, mouse, shortcut); not the window's own focus changes.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            reason != Qt::OtherFocusReason)
            mskConfirmaSenhaExit();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSplash::closeEvent(QCloseEvent* event) {
    // Only the window's own actions close it (Alt+F4 from the window manager does not).
    if (m_closing)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

bool TfrmSplash::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    return key == Qt::Key_F4 && (modifiers & Qt::AltModifier);
}

void TfrmSplash::FormKeyPress(int key) {
    if (key == 13) {
        // Enter acts as the first button, and only while that button can be used.
        if (bttEntrar->isEnabled()) guarded([this] { bttEntrarClick(); });
    } else if (key == 27) {
        guarded([this] { bttSairClick(); });
    }
}

void TfrmSplash::SolicitaFimAplicacao() {
    m_endRequested = true;
    if (requestEnd) requestEnd();
}

void TfrmSplash::bttSairClick() {
    SolicitaFimAplicacao();
}

// ------------------------------------------------------------------ start

bool TfrmSplash::execStart() {
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!guarded([this] { FormShow(); })) {
        // The error has been shown; the start cannot go on.
        SolicitaFimAplicacao();
    }
    if (!m_endRequested) exec();
    m_closing = true;
    hide();
    return m_logado && !m_endRequested;
}

void TfrmSplash::FormShow() {
    QCoreApplication::processEvents();
    // The screen capture of an error report that could not be mailed in the last run.
    RemoveCapturaAnterior();
    if (updateSteps.completion) updateSteps.completion();
    if (updateSteps.newVersion) updateSteps.newVersion();
    if (m_endRequested) return;

    tentativa = 0;
    AlterarSenha = false;
    sessao().erroconexao = 0;

    ProcuraLocalIniServidor();
    QCoreApplication::processEvents();
    if (m_endRequested) return;

    try {
        ConectaBanco();
        if (m_endRequested) return;

        setStatus(QStringLiteral("Identificação do Usuário para Entrar no Sistema"));
        PreparaCamposLogin();
    } catch (const DatabaseError& e) {
        // A database that accepts the connection and then cannot be read (a file cut short or
        // damaged): the same message as a connection that failed, never the engine's text alone.
        try {
            IBD_Teste.disconnect();
        } catch (...) {
        }
        connectionFailed(mensagemFalhaBanco(e.message()));
        return;
    }
    MostraVersao();

    if (updateSteps.updater) updateSteps.updater(IBD_Teste);
}

void TfrmSplash::MostraVersao() {
    const QDateTime modified = QFileInfo(osFacts().executablePath()).lastModified();
    lblVersao->setText(QStringLiteral("Atualização: ") +
                       modified.toString(QStringLiteral("dd/MM/yyyy hh:mm")));
    lblVersao->repaint();
}

void TfrmSplash::ProcuraLocalIniServidor() {
    TSessaoUsuario& s = sessao();
    const QString pasta = executableFolder();
    const IniFile ibutil(pasta.isEmpty() ? QString()
                                         : pasta + QDir::separator() + QStringLiteral("IBUtil.INI"));
    if (!pasta.isEmpty() && ibutil.exists()) {
        const QString alerta = ibutil.readString("Parametros", "MensagemAlerta");
        const QString diasTexto = ibutil.readString("Parametros", "DiasMensagem");
        const QString ultimo = ibutil.readString("Parametros", "UltimoBackup");
        if (alerta == QLatin1String("S")) {
            bool diasOk = false;
            const int dias = diasTexto.trimmed().toInt(&diasOk);
            const QDate backup = readDate(ultimo.left(10).trimmed());
            if (!diasOk || !backup.isValid()) {
                inform(QStringLiteral(
                    "ATENÇÃO: Não foi possível verificar a data do último Backup da Base de dados."));
            } else {
                const qint64 idade = backup.daysTo(appClock().today());
                if (idade >= dias)
                    inform(QStringLiteral("ATENÇÃO: O Backup da Base de dados não está atualizado há ") +
                           QString::number(idade) + QStringLiteral(" dias"));
            }
        }
    }

    localiniservidor = IniFile(programSettingsPath(osFacts().executablePath()))
                           .readString(kSecaoIniServidor, kChaveNomeArquivo);
    if (!localiniservidor.isEmpty()) {
        s.localarquivoiniteste = localiniservidor;
        return;
    }
    if (mostraLocalizador) mostraLocalizador();
    if (s.localarquivoiniteste.isEmpty()) {
        s.erroconexao = 10;
        SolicitaFimAplicacao();
    }
}

void TfrmSplash::connectionFailed(const QString& message) {
    sessao().erroconexao = 10;
    showError(message);
    SolicitaFimAplicacao();
}

QString TfrmSplash::arquivoMarcador(const QString& arquivoIni) {
    const QString stem = arquivoIni.left(std::max<qsizetype>(0, arquivoIni.size() - 4));
    for (const char* ext : {".GDB", ".FDB"})
        if (IniFile::fileExists(stem + QLatin1String(ext))) return stem + QLatin1String(ext);
    return QString();
}

QString TfrmSplash::stringConexao(const QString& servidor, const QString& path, const QString& name) {
    return servidor.isEmpty() ? path + name : servidor + ":" + path + name;
}

void TfrmSplash::ConectaBanco() {
    TSessaoUsuario& s = sessao();
    if (s.erroconexao == 10) return;
    setStatusBold(true);
    setStatus(QStringLiteral("Aguarde Conexão..."));

    const QString arquivo = s.localarquivoiniteste;
    if (!IniFile::fileExists(arquivo)) {
        connectionFailed(mensagemM3(arquivo));
        return;
    }

    {
        WaitCursor wait;
        IBD_Teste.setDatabaseName(QString());
        const IniFile ini(arquivo);
        servidor = ini.readString("Database", "servidor");
        path = ini.readString("Database", "path");
        name = ini.readString("Database", "name");
        // The marker file beside the connection settings file proves that the database folder
        // is where the settings say.
        sCaminhoBanco = arquivoMarcador(arquivo);
    }
    if (!IniFile::fileExists(sCaminhoBanco)) {
        connectionFailed(mensagemM2(sCaminhoBanco));
        return;
    }

    sCaminhoBanco = stringConexao(servidor, path, name);
    bool conectou = false;
    QString motivo;
    {
        WaitCursor wait;
        try {
            IBD_Teste.disconnect();
            IBD_Teste.setDatabaseName(sCaminhoBanco);
            IBD_Teste.connect();
            if (updateSteps.preparePaths) updateSteps.preparePaths();
            IBD_Teste.disconnect();
            conectou = true;
        } catch (...) {
            // The engine's own reason (a damaged file, a file in use, a refused password) goes
            // with the message, so support can tell the cases apart.
            motivo = exceptionText(std::current_exception());
            try {
                IBD_Teste.disconnect();
            } catch (...) {
            }
        }
    }
    if (!conectou) {
        connectionFailed(mensagemFalhaBanco(motivo));
        return;
    }

    try {
        IniFile(programSettingsPath(osFacts().executablePath()))
            .writeString(kSecaoIniServidor, kChaveNomeArquivo, arquivo);
    } catch (const AppError& e) {
        // The connection works; only the next start will have to ask again.
        warn(e.message());
    }
    setStatusBold(false);

    VerificaScript(IBD_Teste);
    try {
        VerificaEsquemaProprio(IBD_Teste);
    } catch (const AppError& e) {
        // The shared tables work without the program's own; only the features that keep their
        // data there are missing until the next start succeeds.
        warn("As tabelas próprias do Cortivandela não puderam ser atualizadas:\n" + e.message());
    }
}

// ------------------------------------------------------------------ login

void TfrmSplash::ensureConnected() {
    if (!IBD_Teste.connected()) IBD_Teste.connect();
}

void TfrmSplash::reopenExisteUsuario() {
    ensureConnected();
    IBQ_EXISTE_USUARIO.close();
    IBQ_EXISTE_USUARIO.open();
}

void TfrmSplash::PreparaCamposLogin() {
    TSessaoUsuario& s = sessao();
    ensureConnected();
    if (LoginUsuarioWindows(IBD_Teste)) {
        // NM_ACESSO holds 15 characters.
        const QString nomeWindows = RetornaUsuarioWindows().left(15);
        const int id = RetornaIdUsuario(nomeWindows, IBD_Teste);
        if (id != 0) {
            reopenExisteUsuario();
            if (IBQ_EXISTE_USUARIO.locate("id_usuario", id)) {
                meUsuario->setText(IBQ_EXISTE_USUARIO.fieldByName("nm_acesso")->asString());
                meSenha->setText(IBQ_EXISTE_USUARIO.fieldByName("ds_senha")->asString());
            }
            setStatus(QStringLiteral("Usuário: ") + nomeWindows);
            bttEntrar->setEnabled(true);
            bttSair->setEnabled(true);
            bttEntrar->setFocus();
        } else {
            showLoginFields(true);
            bttEntrar->setEnabled(true);
            bttSair->setEnabled(true);
            btnAlterarSenha->setEnabled(true);
            meUsuario->setFocus();
            reopenExisteUsuario();
        }
        return;
    }

    reopenExisteUsuario();
    IBQ_EXISTE_USUARIO.fetchAll();
    const Field* idField = IBQ_EXISTE_USUARIO.fieldByName("ID_USUARIO");
    int positivos = 0;
    for (int row = 0; row < IBQ_EXISTE_USUARIO.recordCount(); ++row)
        if (IBQ_EXISTE_USUARIO.valueAt(row, idField).toInt() > 0) ++positivos;
    if (positivos > 0 || IBQ_EXISTE_USUARIO.isEmpty()) {
        // Without any user the fields are shown all the same: every attempt then fails.
        showLoginFields(true);
    } else {
        // Only the applications' own users (keys 0 and below): the first one is filled in.
        IBQ_EXISTE_USUARIO.first();
        s.grupousuario = IBQ_EXISTE_USUARIO.fieldByName("ID_GR_USUARIO")->asInteger();
        s.codusuario = IBQ_EXISTE_USUARIO.fieldByName("ID_USUARIO")->asInteger();
        s.loginusuario = IBQ_EXISTE_USUARIO.fieldByName("NM_Acesso")->asString();
        meUsuario->setText(s.loginusuario);
        meSenha->setText(IBQ_EXISTE_USUARIO.fieldByName("DS_SENHA")->asString());
        setStatus(QStringLiteral("Selecione a opção desejada"));
    }
    bttEntrar->setEnabled(true);
    bttSair->setEnabled(true);
    btnAlterarSenha->setEnabled(true);
    if (!meUsuario->isHidden())
        meUsuario->setFocus();
    else
        bttEntrar->setFocus();
}

void TfrmSplash::tentativaFalhou(const QString& message, QLineEdit* focus, bool clearSenha) {
    ++tentativa;
    warn(message);
    if (clearSenha) meSenha->clear();
    focus->setFocus();
    // The fourth failure in a row ends the program.
    if (tentativa > 3) SolicitaFimAplicacao();
    throw SilentAbort();
}

void TfrmSplash::recusa(const QString& message, QLineEdit* focus) {
    warn(message);
    focus->setFocus();
    throw SilentAbort();
}

void TfrmSplash::VerificaUsuarioSenha(int& grupo, int& codigo) {
    const QString login = meUsuario->text();
    const QString senha = meSenha->text();
    if (login.isEmpty()) tentativaFalhou(QStringLiteral("Informe o Usuário!"), meUsuario);
    if (senha.isEmpty()) tentativaFalhou(QStringLiteral("Informe a Senha!"), meSenha);

    // A name or password that the user table could not hold (too long, or a character outside
    // what the database stores) matches no user: the same answer as any other wrong entry.
    if (login.size() > 15 || cp1252::firstUnencodable(login) >= 0)
        tentativaFalhou(QStringLiteral("Usuário incorreto!"), meUsuario);
    ensureConnected();
    const QString porUsuario =
        " select id_gr_usuario, id_usuario  from sis_usuario  where nm_acesso = " + sql::quoted(login);
    IBQ_Login.setSqlText(porUsuario);
    IBQ_Login.open();
    if (IBQ_Login.isEmpty()) tentativaFalhou(QStringLiteral("Usuário incorreto!"), meUsuario);

    if (senha.size() > 15 || cp1252::firstUnencodable(senha) >= 0)
        tentativaFalhou(QStringLiteral("Senha incorreta !"), meSenha, true);
    IBQ_Login.setSqlText(porUsuario + " and ds_senha = " + sql::quoted(senha));
    IBQ_Login.open();
    if (IBQ_Login.isEmpty()) tentativaFalhou(QStringLiteral("Senha incorreta !"), meSenha, true);

    grupo = IBQ_Login.fieldByName("id_gr_usuario")->asInteger();
    codigo = IBQ_Login.fieldByName("id_usuario")->asInteger();
    IBQ_Login.close();
}

void TfrmSplash::bttEntrarClick() {
    TSessaoUsuario& s = sessao();
    int grupo = 0;
    int codigo = 0;
    VerificaUsuarioSenha(grupo, codigo);
    s.grupousuario = grupo;
    s.codusuario = codigo;
    s.loginusuario = meUsuario->text();

    // Another application may have added the user since the list was read.
    bool achou = IBQ_EXISTE_USUARIO.active() && IBQ_EXISTE_USUARIO.locate("id_usuario", codigo);
    if (!achou) {
        reopenExisteUsuario();
        achou = IBQ_EXISTE_USUARIO.locate("id_usuario", codigo);
    }
    s.Nm_usuario = achou ? IBQ_EXISTE_USUARIO.fieldByName("NM_USUARIO")->asString() : QString();
    s.Nm_GrupoUsusario = achou ? IBQ_EXISTE_USUARIO.fieldByName("NM_GR_USUARIO")->asString() : QString();

    if (AlterarSenha) {
        const QString nova = mskNovaSenha->text();
        const QString confirma = mskConfirmaSenha->text();
        if (nova.isEmpty()) recusa(QStringLiteral("Informe a Nova Senha"), mskNovaSenha);
        if (confirma.isEmpty()) recusa(QStringLiteral("Confirme a senha"), mskConfirmaSenha);
        if (nova != confirma) recusa(QStringLiteral("As senhas não conferem"), mskConfirmaSenha);
        // DS_SENHA holds 15 Latin-1 characters; anything else could not be stored as typed.
        if (nova.size() > 15)
            recusa(QStringLiteral("A nova senha deve ter no máximo 15 caracteres"), mskNovaSenha);
        if (const qsizetype bad = cp1252::firstUnencodable(nova); bad >= 0)
            recusa(cp1252::refusal(QStringLiteral("A nova senha"), nova, bad), mskNovaSenha);
        IBQ_AlteraSenha.setSqlText(" update sis_usuario set  ds_senha = " + sql::quoted(nova) +
                                   " where id_usuario = " + QString::number(codigo));
        IBQ_AlteraSenha.execSQL();
        IBQ_AlteraSenha.setSqlText(QStringLiteral("Commit"));
        IBQ_AlteraSenha.execSQL();
    }

    s.it_iidLogLoginSplash = GravaLogLogin(codigo, grupo, kNomeAplicativo, IBD_Teste);

    IBQ_EXISTE_USUARIO.close();
    IBQ_Login.close();
    IBD_Teste.disconnect();
    m_logado = true;
    m_closing = true;
    accept();
}

void TfrmSplash::btnAlterarSenhaClick() {
    int grupo = 0;
    int codigo = 0;
    VerificaUsuarioSenha(grupo, codigo);
    for (QWidget* w : {static_cast<QWidget*>(lblNovaSenha), static_cast<QWidget*>(mskNovaSenha),
                       static_cast<QWidget*>(lblConfirmaSenha), static_cast<QWidget*>(mskConfirmaSenha)})
        w->show();
    setWindowHeight(kAlturaAlterarSenha);
    linSeparador->show();
    mskNovaSenha->setFocus();
    btnAlterarSenha->hide();
    btnCancelar->show();
    bttEntrar->setText(QStringLiteral("Confirmar"));
    AlterarSenha = true;
}

void TfrmSplash::btnCancelarClick() {
    mskNovaSenha->clear();
    mskConfirmaSenha->clear();
    for (QWidget* w : {static_cast<QWidget*>(lblNovaSenha), static_cast<QWidget*>(mskNovaSenha),
                       static_cast<QWidget*>(lblConfirmaSenha), static_cast<QWidget*>(mskConfirmaSenha)})
        w->hide();
    setWindowHeight(kAlturaNormal);
    linSeparador->hide();
    btnCancelar->hide();
    btnAlterarSenha->show();
    btnAlterarSenha->setFocus();
    bttEntrar->setText(QStringLiteral("Entrar"));
    AlterarSenha = false;
}

void TfrmSplash::mskConfirmaSenhaExit() {
    bttEntrar->setFocus();
}
