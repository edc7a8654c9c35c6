#include "support/UnErroSistema.h"
#include "data/DataContext.h"
#include "data/UnFuncoes.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ErrorHook.h"
#include "platform/Errors.h"
#include "platform/LockedFile.h"
#include "platform/MailTransport.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "platform/ScreenCapture.h"
#include "screens/MensagensBanco.h"
#include "screens/ScreenWindow.h"
#include "screens/UnCadastroPadrao.h"
#include "screens/UnPrincipal.h"
#include "support/ConfiguracaoSuporte.h"
#include "support/ExibeJanela.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

const QString kInstrucaoReiniciar = QStringLiteral(
    "Um relatório do erro foi enviado automaticamente para a equipe de suporte da nexmoro. Pedimos "
    "desculpas pelo transtorno. Por favor, reinicie o sistema e tente novamente.");
const QString kProblemaNaoTratado =
    QStringLiteral("Ocorreu um problema que não pode ser tratado automaticamente pelo sistema");
const QString kInstrucaoInicial = QStringLiteral("Entre em contato com o suporte técnico.");
const QString kConexaoPerdida = QStringLiteral("A conexão com o servidor do banco de dados foi perdida.");

namespace {

const QString kFalhaReiniciar = QStringLiteral(
    "Ocorreu uma falha inesperada e para proteger seus dados, a aplicação precisa ser reiniciada.");
const QString kJaExiste = QStringLiteral(" que você está tentando cadastrar já existe no sistema.");
const QString kNomeArquivoLog = QStringLiteral("Avisos do Sistema.log");
const QStringList kCabecalhoLog = {
    QStringLiteral("Arquivo de log contendo as informações dos Avisos do Sistema"), QStringLiteral(" "),
    QStringLiteral("LOG de Avisos: ")};
// The maker's business programs that a restart-flagged report ends.
const QStringList kProcessosReiniciar = {QStringLiteral("nexmoroTalvena4.exe"),
                                         QStringLiteral("nexmoroTalvena.exe")};

// The window being prepared: an error raised meanwhile becomes one of its lines, never a
// report of its own.
QPointer<TfrmErroSistema> g_emPreparo;

QString primeiraLinha(const QString& texto) {
    return texto.section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString quoted(const QString& s) {
    QString t = s;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString pastaDados() {
    const QString ini = sessaoUsuario().localarquivoiniteste;
    if (ini.isEmpty()) return QString();
    return QFileInfo(ini).absolutePath() + QLatin1Char('/');
}

QString pastaPrograma() {
    const QString exe = osFacts().executablePath();
    return exe.isEmpty() ? QString() : QFileInfo(exe).absolutePath() + QLatin1Char('/');
}

void setCor(QPlainTextEdit* edit, const QColor& cor) {
    QPalette p = edit->palette();
    p.setColor(QPalette::Text, cor);
    edit->setPalette(p);
}

// Writes the file so that only its owner can read it, from its creation on (a screen capture
// may show clients' data). A file left by an earlier report is replaced.
bool gravaSomenteDono(const QString& arquivo, const QByteArray& dados) {
    QFile::remove(arquivo);
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(arquivo).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    qsizetype feito = 0;
    while (feito < dados.size()) {
        const ssize_t n = ::write(fd, dados.constData() + feito, static_cast<size_t>(dados.size() - feito));
        if (n <= 0) break;
        feito += n;
    }
    ::close(fd);
    if (feito != dados.size()) {
        QFile::remove(arquivo);
        return false;
    }
    return true;
#else
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const bool ok = f.write(dados) == dados.size();
    f.close();
    if (!ok) QFile::remove(arquivo);
    return ok;
#endif
}

QByteArray imagemCodificada(const QImage& imagem, const char* formato, int qualidade = -1) {
    QByteArray dados;
    QBuffer buffer(&dados);
    buffer.open(QIODevice::WriteOnly);
    if (!imagem.save(&buffer, formato, qualidade)) return QByteArray();
    return dados;
}

// One exchange with the mail server, away from the user-interface thread: the windows keep
// painting while it lasts.
MailResult semCongelar(const std::function<MailResult()>& troca) {
    return runWithoutFreezing(troca);
}

} // namespace

bool ErroIgnorado(const QString& mensagem) {
    return mensagem == QLatin1String("JPEG error #41") || mensagem == QLatin1String("Dataset open");
}

// ------------------------------------------------------------------ rules

ResultadoRegras AplicaRegrasErro(const QString& mensagem, const ConsultaBanco& consulta) {
    ResultadoRegras r;
    r.problema = mensagem;
    r.solucao = kInstrucaoInicial;
    auto define = [&r](const QString& regra, const QString& problema, const QString& solucao) {
        r.regras << regra;
        r.problema = problema;
        r.solucao = solucao;
    };
    auto contemMinusculo = [&r](const char* texto) {
        return r.problema.toLower().contains(QLatin1String(texto));
    };
    auto contem = [&r](const char* texto) { return r.problema.contains(QLatin1String(texto)); };
    auto busca = [&](const QString& sql, const QString& coluna) -> QStringList {
        if (!consulta) return {};
        try {
            return consulta(sql, coluna);
        } catch (...) {
            r.falhas << QStringLiteral("Consulta ao banco de dados não realizada: ") +
                            primeiraLinha(exceptionText(std::current_exception()));
            return {};
        }
    };

    // 1. Another user's change won: "lock conflict", or the engine's update conflict.
    if (contemMinusculo("lock conflict") || contemMinusculo("update conflicts with concurrent update")) {
        define(QStringLiteral("1"),
               QStringLiteral("Não foi possível salvar suas alterações porque outra pessoa já está editando "
                              "este mesmo registro."),
               QStringLiteral("Aguarde alguns instantes e tente novamente."));
        r.explicado = true;
    }
    if (contemMinusculo("dataset not in edit")) {
        define(QStringLiteral("2"),
               QStringLiteral("Algo Inesperado Aconteceu. Não foi possível concluir sua ação agora."),
               QStringLiteral("Feche esta tela e repita a operação."));
        r.explicado = true;
    }
    if (contem("violation of PRIMARY")) {
        const QString tabela = TabelaViolacaoPrimaria(r.problema);
        if (tabela == QLatin1String("TAB_ESTADO")) {
            define(QStringLiteral("3a"),
                   QStringLiteral("A sigla que você inseriu já está sendo utilizada por outro estado no "
                                  "cadastro."),
                   QStringLiteral("Verifique a informação e tente novamente com uma sigla diferente."));
        } else {
            define(QStringLiteral("3b"),
                   QStringLiteral("Houve violação de chave primária na tabela ") + tabela,
                   kInstrucaoReiniciar);
            r.reiniciar = true;
        }
        r.explicado = true;
    }
    if (contem("-104")) {
        define(QStringLiteral("4"), QStringLiteral("O campo de busca está vazio."),
               QStringLiteral("Para pesquisar, por favor, digite o que você procura no campo de busca."));
        r.explicado = true;
    }
    if (contem("deve ter um valor") || contem("must have a value") || contem("deve ser preenchido")) {
        const QString campo = CampoObrigatorio(r.problema);
        define(QStringLiteral("5"), QStringLiteral("O campo ") + campo + QStringLiteral(" é obrigatório."),
               QStringLiteral("Para continuar, por favor, preencha o campo ") + campo +
                   QStringLiteral(". Ele é essencial para o cadastro."));
        r.explicado = true;
    }
    if (contem("validation error for column")) {
        const QString coluna = ColunaValidacao(r.problema);
        define(QStringLiteral("6"), QStringLiteral("O Campo ") + coluna + QStringLiteral(" é obrigatório."),
               QStringLiteral("Para continuar, por favor, preencha o campo ") + coluna +
                   QStringLiteral(". Ele é essencial para o cadastro."));
        r.explicado = true;
    }
    if (contem("violation of FOREIGN KEY constraint")) {
        const QString tabela = TabelaChaveEstrangeira(r.problema);
        define(QStringLiteral("7"), QStringLiteral("Não é possível excluir este item."),
               QStringLiteral("Este registro não pode ser excluído porque está sendo usado na tabela de ") +
                   tabela);
        r.explicado = true;
        r.mostrarTodos = true;
    }
    if (contem("attempt to store duplicate value")) {
        const QString indice = entreAspas(r.problema);
        const QStringList linhas =
            busca(QStringLiteral(" select rdb$index_name  from rdb$index_segments  where rdb$index_name = ") +
                      quoted(indice),
                  QStringLiteral("rdb$index_name"));
        if (!linhas.isEmpty()) {
            QString nome = linhas.first().trimmed();
            nome.chop(5);
            nome.replace(QLatin1Char('_'), QLatin1Char(' '));
            define(
                QStringLiteral("8"), nome + kJaExiste,
                QStringLiteral("Para continuar, por favor, informe um outro nome ou cancele esta operação"));
            r.explicado = true;
        }
    }
    if (contem("null segment of UNIQUE KEY")) {
        const qsizetype a = r.problema.indexOf(QLatin1Char('"'));
        const qsizetype b = r.problema.lastIndexOf(QLatin1Char('"'));
        const QString chave = (a >= 0 && b > a) ? r.problema.mid(a + 1, b - a - 1) : QString();
        const QStringList linhas =
            busca(QStringLiteral(" select rdb$field_name  from rdb$index_segments  where rdb$index_name = ") +
                      quoted(chave),
                  QStringLiteral("rdb$field_name"));
        if (!linhas.isEmpty()) {
            QStringList campos;
            for (const QString& c : linhas)
                campos << c.trimmed();
            define(
                QStringLiteral("9"), campos.join(QStringLiteral(", ")) + kJaExiste,
                QStringLiteral("Para continuar, por favor, informe um outro nome ou cancele esta operação."));
            r.explicado = true;
        }
    }
    // The connection with the database server is gone (server stopped or unreachable, network
    // down, attachment ended by an administrator): not a fault of the program. Nothing of the
    // action reached the database and the screen keeps what was typed; the program reconnects
    // by itself at the next action. The Portuguese text replaces the engine's, so the restart
    // rules below, which also look for the engine's read and write errors, no longer match.
    for (const char* texto : {"error reading data from the connection",
                              "error writing data to the connection", "connection lost to database",
                              "unable to complete network request to host", "connection shutdown"}) {
        if (!contemMinusculo(texto)) continue;
        define(QStringLiteral("conexao"), kConexaoPerdida,
               QStringLiteral("Verifique se o servidor do banco de dados está ligado e se a rede deste "
                              "computador está funcionando. O que você digitou continua na tela: quando a "
                              "conexão voltar, salve novamente."));
        r.explicado = true;
        break;
    }
    const std::pair<const char*, const char*> reinicio[] = {{"10", "attempt to get information"},
                                                            {"11", "error reading data"},
                                                            {"12", "error writing data"},
                                                            {"13", "access violation"}};
    for (const auto& [regra, texto] : reinicio) {
        if (!contemMinusculo(texto)) continue;
        define(QLatin1String(regra), kFalhaReiniciar, kInstrucaoReiniciar);
        r.reiniciar = true;
        r.explicado = false;
    }
    return r;
}

QString InstrucaoReiniciar(bool enviado, bool tentado, const QString& motivo) {
    if (enviado) return kInstrucaoReiniciar;
    const QString fim =
        QStringLiteral("Pedimos desculpas pelo transtorno. Por favor, reinicie o sistema e tente novamente.");
    if (!tentado) return fim;
    return QStringLiteral("Não foi possível enviar o relatório do erro para a equipe de suporte da nexmoro") +
           (motivo.isEmpty() ? QString() : QStringLiteral(" (") + motivo + QLatin1Char(')')) +
           QStringLiteral(". Entre em contato com o suporte técnico. ") + fim;
}

// ------------------------------------------------------------------ window

TfrmErroSistema::TfrmErroSistema(AmbienteErro ambiente, QWidget* parent)
    : QDialog(parent), m_ambiente(std::move(ambiente)) {
    setObjectName(QStringLiteral("frmErroSistema"));
    setWindowTitle(QStringLiteral("Sistema nexmoro"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    auto* topo = new QWidget(this);
    topo->setObjectName(QStringLiteral("pnlTopo"));
    topo->setAutoFillBackground(true);
    QPalette pt = topo->palette();
    pt.setColor(QPalette::Window, Qt::white);
    topo->setPalette(pt);
    auto* topoLay = new QHBoxLayout(topo);
    lblAtencao = new QLabel(QStringLiteral("Atenção"), topo);
    lblAtencao->setObjectName(QStringLiteral("lblAtencao"));
    lblAtencao->setStyleSheet(QStringLiteral("color: #800000; font-size: 22pt; font-weight: bold;"));
    topoLay->addWidget(lblAtencao);
    lay->addWidget(topo);

    pgcErro = new QTabWidget(this);
    pgcErro->setObjectName(QStringLiteral("pgcErro"));
    auto* aviso = new QWidget(pgcErro);
    auto* avisoLay = new QVBoxLayout(aviso);
    auto leitura = [](QWidget* pai, const char* nome) {
        auto* e = new QPlainTextEdit(pai);
        e->setObjectName(QLatin1String(nome));
        e->setReadOnly(true);
        setCor(e, Qt::blue);
        return e;
    };
    mmErro = leitura(aviso, "mmErro");
    avisoLay->addWidget(mmErro);
    auto* comoResolver = new QLabel(QStringLiteral("Como resolver:"), aviso);
    comoResolver->setStyleSheet(QStringLiteral("font-weight: bold;"));
    avisoLay->addWidget(comoResolver);
    mmSolucao = leitura(aviso, "mmSolucao");
    mmSolucao->setPlainText(kInstrucaoInicial);
    avisoLay->addWidget(mmSolucao);
    lblFalhasPreparacao = new QLabel(aviso);
    lblFalhasPreparacao->setObjectName(QStringLiteral("lblFalhasPreparacao"));
    lblFalhasPreparacao->setWordWrap(true);
    lblFalhasPreparacao->setStyleSheet(QStringLiteral("color: #7a4a00;"));
    lblFalhasPreparacao->hide();
    avisoLay->addWidget(lblFalhasPreparacao);
    pgcErro->addTab(aviso, QStringLiteral("1. Aviso"));

    auto* detalhes = new QWidget(pgcErro);
    auto* detLay = new QVBoxLayout(detalhes);
    auto* titulo = new QLabel(QStringLiteral("Detalhes Técnicos"), detalhes);
    titulo->setStyleSheet(QStringLiteral("font-weight: bold;"));
    detLay->addWidget(titulo);
    lblCodigoErro = new QLabel(QStringLiteral("Código do Erro: "), detalhes);
    lblCodigoErro->setObjectName(QStringLiteral("lblCodigoErro"));
    detLay->addWidget(lblCodigoErro);
    memDetalhesTecnicos = leitura(detalhes, "memDetalhesTecnicos");
    setCor(memDetalhesTecnicos, palette().color(QPalette::Text));
    detLay->addWidget(memDetalhesTecnicos);
    pgcErro->addTab(detalhes, QStringLiteral("2. Detalhes Técnicos"));
    lay->addWidget(pgcErro, 1);

    auto* rodape = new QWidget(this);
    auto* rodapeLay = new QHBoxLayout(rodape);
    rodapeLay->addStretch();
    BitBtn3 = new QPushButton(QStringLiteral("&Fechar"), rodape);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    connect(BitBtn3, &QPushButton::clicked, this, [this] { guarded([this] { BitBtn3Click(); }); });
    rodapeLay->addWidget(BitBtn3);
    lay->addWidget(rodape);

    setFixedSize(560, 420);
    if (m_ambiente.principal) {
        const QRect area = m_ambiente.principal->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

TfrmErroSistema::~TfrmErroSistema() = default;

QString TfrmErroSistema::arquivoLog() const {
    const QString pasta = pastaDados();
    return pasta.isEmpty() ? QString() : pasta + kNomeArquivoLog;
}

void TfrmErroSistema::anotaFalha(const QString& linha) {
    falhas << linha;
    lblFalhasPreparacao->setText(falhas.join(QLatin1Char('\n')));
    lblFalhasPreparacao->show();
}

QString TfrmErroSistema::nomeUsuario() {
    try {
        return RetornaNomeUsuario(sessaoUsuario().codusuario);
    } catch (...) {
        anotaFalha(QStringLiteral("Nome do usuário não lido do banco de dados: ") +
                   primeiraLinha(exceptionText(std::current_exception())));
        return sessaoUsuario().Nm_usuario;
    }
}

QString TfrmErroSistema::nomeEmpresa() {
    try {
        return RetornaNomeEmpresa();
    } catch (...) {
        anotaFalha(QStringLiteral("Nome da empresa não lido do banco de dados: ") +
                   primeiraLinha(exceptionText(std::current_exception())));
        return QString();
    }
}

void TfrmErroSistema::FormShow() {
    const QPointer<TfrmErroSistema> anterior = g_emPreparo;
    g_emPreparo = this;
    struct Restaura {
        QPointer<TfrmErroSistema> anterior;
        ~Restaura() { g_emPreparo = anterior; }
    } restaura{anterior};

    lblCodigoErro->clear();
    it_LogImportacao.clear();
    it_bEncerrarSistemaAutomaticamente = false;
    setCor(mmSolucao, Qt::blue);
    const QString mensagem = mmErro->toPlainText();
    memDetalhesTecnicos->setPlainText(mensagem);
    errooriginal = mensagem;

    TfrmClassePrincipal* principal = m_ambiente.principal;
    ConsultaBanco consulta;
    if (principal) {
        consulta = [principal](const QString& sql, const QString& coluna) {
            Query& q = principal->IBQ_Gen;
            q.close();
            q.setSqlText(sql);
            q.open();
            QStringList linhas;
            for (q.first(); !q.eof(); q.next())
                linhas << q.fieldByName(coluna)->asString();
            q.close();
            return linhas;
        };
    }
    resultado = AplicaRegrasErro(mensagem, consulta);
    if (recusaDoUsuario && !resultado.explicado && !resultado.reiniciar) {
        // A value or entry the program refused, in the words it was refused with: the user
        // corrects it; nothing for support.
        resultado.explicado = true;
        resultado.regras << QStringLiteral("recusa");
        resultado.solucao = QStringLiteral("Corrija a informação indicada e tente novamente.");
    }
    for (const QString& f : resultado.falhas)
        anotaFalha(f);
    mmErro->setPlainText(resultado.problema);
    // A restart explained by its rule is not mailed: its instruction says no report was sent.
    mmSolucao->setPlainText(resultado.explicado && resultado.solucao == kInstrucaoReiniciar
                                ? InstrucaoReiniciar(false, false)
                                : resultado.solucao);
    it_bEncerrarSistemaAutomaticamente = resultado.reiniciar;
    if (resultado.mostrarTodos && principal) {
        try {
            principal->bttMostrarTodosClick();
        } catch (const SilentAbort&) {
        } catch (...) {
            anotaFalha(QStringLiteral("A lista da tela não foi recarregada: ") +
                       primeiraLinha(exceptionText(std::current_exception())));
        }
    }

    // One line per report; line breaks of the texts become blanks.
    QString problema = resultado.problema;
    problema.replace(QLatin1String("\r\n"), QLatin1String(" "));
    problema.replace(QLatin1Char('\n'), QLatin1Char(' '));
    problema.replace(QLatin1Char('\r'), QLatin1Char(' '));
    QString tela;
    if (principal)
        if (ScreenWindow* t = principal->telaAtiva()) tela = t->windowTitle();
    it_LogImportacao << appClock().now().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) +
                            QStringLiteral(" - ") + nomeUsuario() + QStringLiteral(" - ") + tela +
                            QStringLiteral(" - ") + lblCodigoErro->text() + QStringLiteral(" - ") + problema;
    gravaLog();

    if (resultado.explicado) return;
    enviaEmail();
    mmErro->setPlainText(kProblemaNaoTratado);
    if (it_bEncerrarSistemaAutomaticamente) {
        setCor(mmSolucao, Qt::red);
        mmSolucao->setPlainText(InstrucaoReiniciar(emailEnviado, m_emailTentado, m_motivoEmail));
    }
}

void TfrmErroSistema::gravaLog() {
    if (it_LogImportacao.isEmpty()) return;
    const QString arquivo = arquivoLog();
    if (arquivo.isEmpty()) {
        anotaFalha(
            QStringLiteral("Aviso não registrado no arquivo de log: a pasta de dados não é conhecida."));
        return;
    }
    try {
        appendLinesLocked(arquivo, kCabecalhoLog, it_LogImportacao);
        it_LogImportacao.clear();
    } catch (...) {
        anotaFalha(QStringLiteral("Aviso não registrado no arquivo de log: ") +
                   primeiraLinha(exceptionText(std::current_exception())));
    }
}

void TfrmErroSistema::enviaEmail() {
    const ConfiguracaoSuporte cfg = carregaConfiguracaoSuporte();
    m_emailTentado = true;
    if (cfg.senhaEmail.isEmpty()) {
        m_motivoEmail = QStringLiteral("a conta de e-mail do suporte não está configurada");
        anotaFalha(QStringLiteral("E-mail ao suporte não enviado: ") +
                   (cfg.avisoSenha.isEmpty()
                        ? QStringLiteral("a senha da conta de alerta não está configurada em ") +
                              arquivoConfiguracaoSuporte() + QLatin1Char('.')
                        : cfg.avisoSenha + QLatin1Char('.')));
        return;
    }
    MailServer servidor;
    servidor.host = cfg.servidorEmail;
    servidor.smtpPort = cfg.portaSmtp;
    servidor.pop3Port = cfg.portaPop3;
    servidor.user = cfg.emailAlerta;
    servidor.password = cfg.senhaEmail;
    servidor.caFile = cfg.certificadoCA;
    servidor.timeoutSeconds = cfg.tempoLimiteEmail;
    MailTransport& transporte = mailTransport();
    auto linhaFalha = [this](const MailResult& r) {
        m_motivoEmail = describeMailFailure(r);
        return QStringLiteral("E-mail ao suporte não enviado: ") + describeMailFailure(r) +
               (r.detail.isEmpty() ? QString() : QStringLiteral(" (") + r.detail + QLatin1Char(')')) +
               QLatin1Char('.');
    };

    MailResult r = semCongelar([&] { return transporte.connectSmtp(servidor); });
    if (!r.ok()) {
        anotaFalha(linhaFalha(r));
        return;
    }
    r = semCongelar([&] { return transporte.loginPop3(servidor); });
    if (!r.ok()) {
        showMessage(QStringLiteral("Erro de autenticação no envio do email"), kSystemCaption, MsgIcon::None);
        anotaFalha(linhaFalha(r));
        return;
    }

    const QString empresa = nomeEmpresa();
    const QString versao = m_ambiente.versao ? m_ambiente.versao() : QString();
    const QString versaoBD = m_ambiente.versaoBD ? m_ambiente.versaoBD() : QString();
    MailMessage msg;
    msg.fromAddress = cfg.emailAlerta;
    msg.fromName = cfg.emailAlerta;
    msg.to = cfg.emailAlerta;
    msg.subject = QStringLiteral("Avisos do Sistema - CTV - v") + versao + QStringLiteral(" - ") + empresa;
    QStringList& b = msg.bodyLines;
    b << QStringLiteral("Empresa: ") + empresa << QStringLiteral("Pasta do Servidor: ") + pastaDados()
      << QStringLiteral(" ") << QStringLiteral(" ") << QStringLiteral("Aviso do Sistema:")
      << appClock().now().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) + QStringLiteral(" - Usuário: ") +
             nomeUsuario()
      << QStringLiteral(" ") << QStringLiteral("Versão: ") + versao
      << QStringLiteral("Versão BD: ") + versaoBD << QStringLiteral(" ") << QStringLiteral("Telas Abertas: ");
    const QString telas = ListaFormulariosAbertos();
    if (!telas.isEmpty()) b << telas.split(QChar(13));
    b << QStringLiteral(" ") << lblCodigoErro->text() << QStringLiteral(" ")
      << QStringLiteral("Motivo do Aviso: ") << mmErro->toPlainText().split(QLatin1Char('\n'))
      << QStringLiteral(" ") << QStringLiteral("Instruções ao Usuário: ")
      << mmSolucao->toPlainText().split(QLatin1Char('\n')) << QStringLiteral(" ")
      << QStringLiteral("Detalhes Técnicos: ") << memDetalhesTecnicos->toPlainText().split(QLatin1Char('\n'));

    r = semCongelar([&] { return transporte.sendSmtp(servidor, msg); });
    if (!r.ok()) {
        showMessage(QStringLiteral("Não foi possível enviar o email para a nexmoro"), kSystemCaption,
                    MsgIcon::None);
        anotaFalha(linhaFalha(r));
        return;
    }
    emailEnviado = true;
    // Support has the report: the capture of the screen is not needed on this machine any more.
    const QString pasta = pastaPrograma();
    if (!pasta.isEmpty()) QFile::remove(pasta + QStringLiteral("erro.bmp"));
}

void TfrmErroSistema::BitBtn3Click() {
    if (m_ambiente.principal && !m_ambiente.principal->jpggerado.isEmpty())
        QFile::remove(m_ambiente.principal->jpggerado);
    close();
}

void TfrmErroSistema::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

void TfrmErroSistema::done(int result) {
    if (!m_fechado) {
        m_fechado = true;
        guarded([this] { FormClose(); });
    }
    QDialog::done(result);
}

void TfrmErroSistema::FormClose() {
    TfrmClassePrincipal* principal = m_ambiente.principal;
    if (principal && !principal->jpggerado.isEmpty()) QFile::remove(principal->jpggerado);
    // A line the preparation could not write gets one more try, quietly: the window is going.
    if (!it_LogImportacao.isEmpty() && !arquivoLog().isEmpty()) {
        try {
            appendLinesLocked(arquivoLog(), kCabecalhoLog, it_LogImportacao);
            it_LogImportacao.clear();
        } catch (...) {
        }
    }
    appClock().sleepMs(500);
    if (!it_bEncerrarSistemaAutomaticamente) return;

    encerraSessao();
    if (principal) {
        try {
            principal->IBSolution.disconnect();
        } catch (...) {
        }
        principal->IBSolution.setDatabaseName(QString());
    }
    // The maker's business programs, matched by their exact executable name; never this program,
    // which ends cleanly below.
    const QString proprio = executableFileName(osFacts().executablePath());
    for (const QString& nome : kProcessosReiniciar)
        if (nome.compare(proprio, Qt::CaseInsensitive) != 0) processes().terminateFirst(nome);
    if (m_ambiente.encerraPrograma) m_ambiente.encerraPrograma();
}

void TfrmErroSistema::encerraSessao() {
    // The program ends after this report: what the screens hold unsaved is lost, and the user
    // is told so first; the session's logoff is written while the connection is still there.
    TfrmClassePrincipal* principal = m_ambiente.principal;
    if (!principal) return;
    QStringList telas;
    std::vector<DataSet*> pendentes;
    for (ScreenWindow* t : principal->telasAbertas()) {
        auto* c = qobject_cast<TfrmCadastroPadrao*>(t);
        if (!c) continue;
        std::vector<DataSource*> fontes{&c->dsPadrao};
        for (DataSource* f : c->fontes())
            fontes.push_back(f);
        bool pendente = false;
        for (DataSource* f : fontes) {
            DataSet* ds = f->dataSet();
            if (!ds || std::find(pendentes.begin(), pendentes.end(), ds) != pendentes.end()) continue;
            if (ds->editing() || ds->updatesPending()) {
                pendentes.push_back(ds);
                pendente = true;
            }
        }
        if (pendente) telas << t->windowTitle();
    }
    if (!telas.isEmpty())
        warn(QStringLiteral("O sistema será finalizado. As alterações não salvas ") +
             (telas.size() == 1 ? QStringLiteral("da tela ") : QStringLiteral("das telas ")) +
             telas.join(QStringLiteral(", ")) + QStringLiteral(" serão perdidas."));
    for (DataSet* ds : pendentes) {
        try {
            if (ds->editing()) ds->cancel();
            if (ds->updatesPending()) ds->cancelUpdates();
        } catch (...) {
        }
    }
    if (m_ambiente.gravaLogoff) {
        try {
            m_ambiente.gravaLogoff();
        } catch (...) {
            // A connection that is gone cannot take the logoff; the end goes on.
        }
    }
}

// ------------------------------------------------------------------ hook

QString CapturaTela() {
    const QString pasta = pastaPrograma();
    if (pasta.isEmpty()) return QString();
    const QImage tela = capturePrimaryScreen();
    if (tela.isNull()) return QString();
    gravaSomenteDono(pasta + QStringLiteral("erro.bmp"), imagemCodificada(tela, "BMP"));
    const QString jpg = pasta + QStringLiteral("nexmoroTalvena") +
                        appClock().now().toString(QStringLiteral("ddMMyyyyhhmmss")) + QStringLiteral(".jpg");
    const QByteArray dados = imagemCodificada(tela, "JPG", 100);
    if (dados.isEmpty() || !gravaSomenteDono(jpg, dados)) return QString();
    return jpg;
}

void RemoveCapturaAnterior() {
    const QString pasta = pastaPrograma();
    if (!pasta.isEmpty()) QFile::remove(pasta + QStringLiteral("erro.bmp"));
}

void ErroSistema(AmbienteErro& ambiente, const QString& mensagem, bool recusaDoUsuario) {
    if (ErroIgnorado(mensagem)) return;
    if (g_emPreparo) {
        // Raised while a report is being prepared: one line of that report.
        g_emPreparo->anotaFalha(QStringLiteral("Erro durante a preparação do aviso: ") +
                                primeiraLinha(mensagem));
        return;
    }
    TfrmClassePrincipal* principal = ambiente.principal;
    const QString jpg = CapturaTela();
    if (principal) principal->jpggerado = jpg;

    TfrmErroSistema frm(ambiente, principal);
    frm.mmErro->setPlainText(mensagem);
    frm.recusaDoUsuario = recusaDoUsuario;
    if (jpg.isEmpty())
        frm.anotaFalha(QStringLiteral("A imagem da tela não foi gravada na pasta do programa."));
    frm.FormShow();
    exibeModal(frm, [&frm] {
        // Nobody can answer a modal window under test: the error as raised goes through the
        // dialog seam, as before the main window existed, and the window closes.
        showMessage(frm.errooriginal, frm.windowTitle(), MsgIcon::Error);
        frm.reject();
    });
    if (principal && !principal->jpggerado.isEmpty()) QFile::remove(principal->jpggerado);
}

void InstalaErroSistema(TfrmClassePrincipal& principal, std::function<QString()> versao,
                        std::function<QString()> versaoBD, std::function<void()> gravaLogoff) {
    auto ambiente = std::make_shared<AmbienteErro>();
    ambiente->principal = &principal;
    ambiente->versao = std::move(versao);
    ambiente->versaoBD = std::move(versaoBD);
    ambiente->gravaLogoff = std::move(gravaLogoff);
    TfrmClassePrincipal* p = &principal;
    ambiente->encerraPrograma = [p] {
        if (p->requestEnd) p->requestEnd();
    };
    installErrorHook([ambiente](std::exception_ptr e) {
        bool recusa = false;
        try {
            std::rethrow_exception(e);
        } catch (const ValidationError&) {
            recusa = true;
        } catch (...) {
        }
        ErroSistema(*ambiente, exceptionText(e), recusa);
    });
    setOpenWindowsProvider([p] {
        QList<QPair<QString, QString>> janelas;
        janelas.append({p->objectName(), p->windowTitle()});
        for (QMdiSubWindow* s : p->mdi->subWindowList(QMdiArea::CreationOrder))
            if (s->widget()) janelas.append({s->widget()->objectName(), s->widget()->windowTitle()});
        return janelas;
    });
    QObject::connect(&principal, &QObject::destroyed, [] {
        installErrorHook({});
        setOpenWindowsProvider({});
    });
}
