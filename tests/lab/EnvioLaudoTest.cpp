// The technical report sent by e-mail from the analysis registration, against real mail peers
// on 127.0.0.1 (tests/common/MailPeers.h): the PDF of the print goes as the attachment to the
// addresses chosen, and only a mail the server accepted is recorded, kept and dated.
#include "AnaliseFixture.h"
#include "MailPeers.h"
#include "ReportReadBack.h"
#include "Utf8Literal.h"
#include "lab/UnConfiguracoesGerais.h"
#include "lab/UnEmailLaudo.h"
#include "lab/UnEnviaLaudoEmail.h"
#include "platform/IniFile.h"
#include <QCheckBox>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>

namespace {

MailPeers* g_peers = nullptr;

class EnvioLaudoTest : public AnaliseTest {
protected:
    static void SetUpTestSuite() {
        AnaliseTest::SetUpTestSuite();
        g_peers = new MailPeers;
    }
    static void TearDownTestSuite() {
        delete g_peers;
        g_peers = nullptr;
        AnaliseTest::TearDownTestSuite();
    }
    void SetUp() override {
        ASSERT_TRUE(g_peers->error.isEmpty()) << g_peers->error.toStdString();
        s_db->exec("delete from sis_ctv_laudo_enviado");
        s_db->exec("delete from cad_contato_pessoa");
        s_db->exec("delete from mov_analise_resultado");
        AnaliseTest::SetUp();
        g_peers->clearMails();
        QDir(pastaEnviados()).removeRecursively();
        s_db->exec("update cad_pessoa set ds_e_mail = 'hotel@teste.local' where id_pessoa = 30");
        s_db->exec(
            "insert into cad_contato_pessoa (id_contato_pessoa, id_pessoa, nm_contato, ds_e_mail) values "
            "(1, 30, 'Maria Souza', 'maria@t.local; HOTEL@teste.local,compras@t.local')");
        s_db->exec(
            "insert into cad_contato_pessoa (id_contato_pessoa, id_pessoa, nm_contato, no_fone) values "
            "(2, 30, 'Portaria', '3333-0000')");
        analise(2, "2024-03-01");
        amostra(20, 2, 3, "Amostra turva.");
        amostra(21, 2, 4);
        resultado(1, 20, 1, "7.80");
        resultado(2, 21, 1, "8.10");
        configura();
    }

    QString pastaEnviados() const { return s_db->folder() + "/Laudos Enviados"; }
    QString arquivoIni() const { return QFileInfo(exe).absolutePath() + "/EmailLaudo.ini"; }
    // The report mail account, written as a site's administrator would leave it.
    void configura(const QString& senha = "segredo", int porta = 0, int tempo = 10,
                   const char* seguranca = "TLS") {
        QFile f(arquivoIni());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(
            QString("[EmailLaudo]\r\nServidor=127.0.0.1\r\nPorta=%1\r\nSeguranca=%2\r\nUsuario=laudos@teste."
                    "local\r\n"
                    "NomeRemetente=Hidrolab Campinas\r\nSenha=%3\r\nCertificadoCA=%4\r\nTempoLimite=%5\r\n")
                .arg(porta ? porta : g_peers->smtpPort)
                .arg(seguranca, senha, g_peers->ca)
                .arg(tempo)
                .toUtf8());
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    int enviados() { return scalar("select count(*) from sis_ctv_laudo_enviado").toInt(); }
    QVariant dataEnvio(int id) {
        return scalar(QString("select dt_envio from mov_analise where id_analise = %1").arg(id));
    }
    // Clicks the button and runs the steps in the modal window of type D that it opens, once it
    // is open (the report is made first, its progress window letting timers run meanwhile).
    template <class D> void clicaEPassa(QWidget* botao, std::function<void(D&)> passos) {
        m_dialogoVisto = false;
        QTimer espera;
        espera.setInterval(10);
        QObject::connect(&espera, &QTimer::timeout, [&] {
            QPointer<D> d = qobject_cast<D*>(QApplication::activeModalWidget());
            if (!d) return;
            espera.stop();
            conduz(d, passos);
        });
        espera.start();
        clica(botao);
        pump();
        EXPECT_TRUE(m_dialogoVisto) << dialogs.texts().join("|").toStdString();
    }
    void envia(Cadastro* t, std::function<void(TfrmEnviaLaudoEmail&)> passos) {
        clicaEPassa<TfrmEnviaLaudoEmail>(t->btnEnviarLaudoEmail, std::move(passos));
    }
    // The warning the window showed for the last press of "Enviar".
    QString ultimoAviso() { return dialogs.messageCount() ? dialogs.lastMessage().text : QString(); }
};

TEST_F(EnvioLaudoTest, TheReportGoesAsThePrintsPdfToTheChosenAddressesAndIsRecordedKeptAndDated) {
    Cadastro* t = abreNaAnalise(2);
    EXPECT_EQ(t->lblUltimoEnvio->text(), "Laudo ainda não enviado por e-mail"_q);
    EXPECT_EQ(t->btnEnviarLaudoEmail->text(), "Enviar Laudo por E-mail");
    EXPECT_TRUE(t->btnEnviarLaudoEmail->isEnabled());
    envia(t, [&](TfrmEnviaLaudoEmail& d) {
        // The client's address ticked, each contact address once, the client's repeated one not.
        ASSERT_EQ(d.chkDestinatarios.size(), 3u);
        EXPECT_EQ(d.chkDestinatarios[0]->text(), "Cliente <hotel@teste.local>");
        EXPECT_TRUE(d.chkDestinatarios[0]->isChecked());
        EXPECT_EQ(d.chkDestinatarios[1]->text(), "Maria Souza <maria@t.local>");
        EXPECT_FALSE(d.chkDestinatarios[1]->isChecked());
        EXPECT_EQ(d.chkDestinatarios[2]->text(), "Maria Souza <compras@t.local>");
        EXPECT_EQ(d.edtAssunto->text(),
                  "Laudo Técnico de Análises Químicas - HOTEL SERRA AZUL - Coleta 01/03/2024"_q);
        EXPECT_TRUE(d.memTexto->toPlainText().contains("amostras coletadas em 01/03/2024."));
        EXPECT_TRUE(d.memTexto->toPlainText().endsWith("Hidrolab Campinas"));
        EXPECT_TRUE(d.lblAnexo->text().startsWith(
            "Anexo: Laudo Técnico 000002 - HOTEL SERRA AZUL - 01-03-2024.pdf ("_q))
            << d.lblAnexo->text().toStdString();
        EXPECT_TRUE(d.lblAnexo->text().endsWith(" KB)"));
        clica(d.chkDestinatarios[1]);
        substitui(d.edtOutros, "lab@teste.local; maria@t.local");
        clica(d.btnEnviar);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(ultimoAviso(), "Laudo enviado para hotel@teste.local, maria@t.local, lab@teste.local."_q);

    ASSERT_EQ(g_peers->mails().size(), 1);
    const QJsonObject mail = g_peers->firstMail();
    EXPECT_EQ(mail["from"].toString(), "laudos@teste.local");
    const QJsonArray para = mail["to"].toArray();
    ASSERT_EQ(para.size(), 3);
    EXPECT_EQ(para[2].toString(), "lab@teste.local");
    EXPECT_EQ(mail["subject"].toString(),
              "Laudo Técnico de Análises Químicas - HOTEL SERRA AZUL - Coleta 01/03/2024"_q);
    ASSERT_EQ(mail["attachments"].toArray().size(), 1);
    const QJsonObject anexo = mail["attachments"].toArray()[0].toObject();
    EXPECT_EQ(anexo["filename"].toString(), "Laudo Técnico 000002 - HOTEL SERRA AZUL - 01-03-2024.pdf"_q);
    EXPECT_EQ(anexo["content_type"].toString(), "application/pdf");
    const QByteArray pdf = QByteArray::fromBase64(anexo["data"].toString().toLatin1());

    // The row, the copy kept beside the database and the bytes that went are one and the same.
    ASSERT_EQ(enviados(), 1);
    EXPECT_EQ(scalar("select id_analise from sis_ctv_laudo_enviado").toInt(), 2);
    EXPECT_EQ(scalar("select ds_destinatarios from sis_ctv_laudo_enviado").toString(),
              "hotel@teste.local; maria@t.local; lab@teste.local");
    EXPECT_EQ(scalar("select dh_envio from sis_ctv_laudo_enviado").toDateTime(),
              QDateTime(QDate(2024, 3, 15), QTime(9, 0)));
    EXPECT_EQ(scalar("select id_usuario || nm_usuario from sis_ctv_laudo_enviado").toString(), "1Maria");
    EXPECT_EQ(scalar("select cd_sha256_pdf from sis_ctv_laudo_enviado").toString(),
              QString(QCryptographicHash::hash(pdf, QCryptographicHash::Sha256).toHex()));
    const QString copia =
        pastaEnviados() + "/" + scalar("select nm_arquivo from sis_ctv_laudo_enviado").toString();
    EXPECT_TRUE(
        copia.endsWith("/2024-03-15 09-00-00 - Laudo Técnico 000002 - HOTEL SERRA AZUL - 01-03-2024.pdf"_q));
    QFile guardado(copia);
    ASSERT_TRUE(guardado.open(QIODevice::ReadOnly)) << copia.toStdString();
    EXPECT_TRUE(guardado.readAll() == pdf);
    // It is the technical report of the analysis, numbered as the print numbers it.
    const QString texto = reporttest::pdfWords(copia);
    EXPECT_TRUE(texto.contains("Laudo Técnico de Análises Químicas"_q)) << texto.toStdString();
    EXPECT_TRUE(texto.contains("HOTEL SERRA AZUL")) << texto.toStdString();
    EXPECT_TRUE(texto.contains("Amostra turva.")) << texto.toStdString();
    EXPECT_EQ(
        scalar(
            "select list(no_pagina || '/' || no_amostra) from mov_analise_equipamento where id_analise = 2")
            .toString(),
        "1/1,1/2");
    EXPECT_EQ(dataEnvio(2).toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(
        t->lblUltimoEnvio->text(),
        "Último envio do laudo: 15/03/2024 09:00, para hotel@teste.local; maria@t.local; lab@teste.local"_q);

    // Sent again the next day: the date it holds stays when the user says so; the new sending is
    // the one shown.
    relogio.setNow(QDateTime(QDate(2024, 3, 16), QTime(14, 5)));
    g_peers->clearMails();
    dialogs.clear();
    dialogs.queueAnswers({MsgAnswer::Ok, MsgAnswer::No});
    envia(t, [&](TfrmEnviaLaudoEmail& d) { clica(d.btnEnviar); });
    ASSERT_EQ(dialogs.messageCount(), 2) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(dialogs.lastMessage().text,
              "A \"Data do Envio\" desta análise já está preenchida com 15/03/2024. Trocar pela data de hoje "
              "(16/03/2024)?"_q);
    EXPECT_EQ(g_peers->mails().size(), 1);
    EXPECT_EQ(enviados(), 2);
    EXPECT_EQ(dataEnvio(2).toDate(), QDate(2024, 3, 15));
    EXPECT_EQ(t->lblUltimoEnvio->text(), "Último envio do laudo: 16/03/2024 14:05, para hotel@teste.local"_q);
    EXPECT_EQ(QDir(pastaEnviados()).entryList(QDir::Files).size(), 2);
    // Another analysis shows its own state.
    t->dtColeta->setFocus();
    ASSERT_TRUE(foco());
    tecla(Qt::Key_End, Qt::AltModifier);
    EXPECT_EQ(ds(t)->fieldByName("ID_ANALISE")->asInteger(), 1);
    EXPECT_EQ(t->lblUltimoEnvio->text(), "Laudo ainda não enviado por e-mail"_q);
}

TEST_F(EnvioLaudoTest, ARefusedLoginASilentServerAndARefusedAddressAreToldAndNothingIsRecorded) {
    Cadastro* t = abreNaAnalise(2);
    configura("errada");
    envia(t, [&](TfrmEnviaLaudoEmail& d) {
        clica(d.btnEnviar);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(
            ultimoAviso().startsWith("O laudo não foi enviado.\rO servidor de e-mail recusou o usuário ou a "
                                     "senha.\rResposta do servidor: 535"_q))
            << ultimoAviso().toStdString();
    });

    configura();
    envia(t, [&](TfrmEnviaLaudoEmail& d) {
        substitui(d.edtOutros, "lab@teste.local; sem-arroba");
        clica(d.btnEnviar);
        EXPECT_EQ(ultimoAviso(), "O endereço \"sem-arroba\" não é um endereço de e-mail válido."_q);
        substitui(d.edtOutros, "recusado@teste.local");
        clica(d.btnEnviar);
        EXPECT_EQ(ultimoAviso(),
                  "O laudo não foi enviado.\rO servidor de e-mail recusou a mensagem ou um dos "
                  "destinatários.\rResposta do servidor: 550 5.1.1 caixa postal recusada"_q);
        clica(d.chkDestinatarios[0]);
        substitui(d.edtOutros, "");
        clica(d.btnEnviar);
        EXPECT_EQ(ultimoAviso(), "Marque ou digite ao menos um destinatário."_q);
        EXPECT_TRUE(d.isVisible());
    });

    QTcpServer mudo; // accepts the connection and never says a word
    ASSERT_TRUE(mudo.listen(QHostAddress::LocalHost, 0));
    configura("segredo", mudo.serverPort(), 1);
    QElapsedTimer tempo;
    envia(t, [&](TfrmEnviaLaudoEmail& d) {
        tempo.start();
        clica(d.btnEnviar);
        EXPECT_LT(tempo.elapsed(), 8000);
        EXPECT_EQ(ultimoAviso().section(QChar(13), 0, 1),
                  "O laudo não foi enviado.\rO servidor de e-mail não respondeu a tempo."_q);
    });

    EXPECT_TRUE(g_peers->mails().isEmpty());
    EXPECT_EQ(enviados(), 0);
    EXPECT_TRUE(dataEnvio(2).isNull());
    EXPECT_FALSE(QDir(pastaEnviados()).exists());
    EXPECT_EQ(t->lblUltimoEnvio->text(), "Laudo ainda não enviado por e-mail"_q);
    EXPECT_TRUE(t->btnEnviarLaudoEmail->isEnabled());

    // Without an account nothing is made: the user is told where to set it.
    QFile::remove(arquivoIni());
    dialogs.clear();
    clica(t->btnEnviarLaudoEmail);
    EXPECT_TRUE(ultimoAviso().startsWith(
        "O e-mail para envio dos laudos não está configurado: Informe o servidor de e-mail (SMTP)."_q));
}

TEST_F(EnvioLaudoTest, TheAccountIsKeptForItsOwnerAloneAndItsTestMailGoesOverStartTls) {
    // A file others can read: its password is not taken, and the window says why.
    configura("antiga", g_peers->startTlsPort, 10, "STARTTLS");
    QFile::setPermissions(arquivoIni(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    auto* t = abre<TfrmConfiguracoesGerais>("frmConfiguracoesGerais");
    ASSERT_TRUE(t->btnEmailLaudo->isEnabled());
    clicaEPassa<TfrmEmailLaudo>(t->btnEmailLaudo, [&](TfrmEmailLaudo& d) {
        EXPECT_TRUE(d.edtSenha->text().isEmpty());
        EXPECT_TRUE(d.lblArquivo->text().contains("permissão 600 exigida"_q))
            << d.lblArquivo->text().toStdString();
        EXPECT_EQ(d.edtPorta->value(), g_peers->startTlsPort);
        EXPECT_EQ(d.cbSeguranca->currentIndex(), 0);
        clica(d.btnTestar);
        EXPECT_EQ(ultimoAviso(), "Informe a senha da conta de e-mail."_q);
        substitui(d.edtSenha, "segredo");
        substitui(d.edtRemetente, "laboratorio@teste.local");
        clica(d.btnTestar);
        EXPECT_EQ(ultimoAviso(), "E-mail de teste enviado para laboratorio@teste.local."_q);
        clica(d.btnSalvar);
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_EQ(g_peers->mails().size(), 1);
    const QJsonObject mail = g_peers->firstMail();
    EXPECT_TRUE(mail["starttls"].toBool());
    EXPECT_EQ(mail["to"].toArray()[0].toString(), "laboratorio@teste.local");
    EXPECT_EQ(mail["subject"].toString(), "Teste do e-mail dos laudos - Nexmoro Cortivandela");

    // Nobody but the owner may read or write it (group and others: no bits at all).
    EXPECT_EQ(int(QFile::permissions(arquivoIni()) & 0x0077), 0)
        << std::hex << int(QFile::permissions(arquivoIni()));
    EXPECT_TRUE(QFile::permissions(arquivoIni()) & QFileDevice::ReadOwner);
    const ConfiguracaoEmailLaudo lida = carregaConfiguracaoEmailLaudo();
    EXPECT_EQ(lida.senha, "segredo");
    EXPECT_EQ(lida.seguranca, MailSecurity::StartTls);
    EXPECT_EQ(lida.porta, g_peers->startTlsPort);
    EXPECT_EQ(lida.enderecoRemetente(), "laboratorio@teste.local");
    EXPECT_EQ(lida.certificadoCA, g_peers->ca);
}

} // namespace
