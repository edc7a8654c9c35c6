// A shared server that dies under a workstation (kill -9 of a server process owned by the test):
// the next save is one clear report, the typed record stays on the screen, closing the screen
// and the program works, and once the server is back the same record saves.
#include "OwnFirebirdServer.h"
#include "ProgramaAberto.h"
#include "app/UnMenuPrincipal.h"
#include "data/DataContext.h"
#include "data/Schema.h"
#include "data/Statement.h"
#include "data/UndmLookup.h"
#include "data/UndmPadrao.h"
#include "lab/UnTipoAnalise.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/MailTransport.h"
#include "platform/OsFacts.h"
#include "platform/Processes.h"
#include "screens/controls/DBEdit.h"
#include "support/ExibeJanela.h"
#include "support/UnErroSistema.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ServidorPerdido : public ::testing::Test, protected ProgramaAberto {
protected:
    void SetUp() override {
        if (!srv.start()) GTEST_SKIP() << "servidor próprio indisponível: " << srv.error().toStdString();
        {
            Database criador;
            criador.setDatabaseName(srv.connectionString("site.fdb"));
            criador.create();
            applySchemaDir(criador, CTV_SCHEMA_DIR);
            applyScript(criador,
                        "insert into tab_parametro (id_parametro, nm_empresa, st_confirma_sair) values "
                        "(1, 'Hidrolab', 'S');"
                        "insert into sis_gr_usuario values (-1, 'Suporte');"
                        "insert into sis_usuario (id_usuario, nm_usuario, id_gr_usuario, nm_acesso) "
                        "values (1, 'Maria', -1, 'MARIA');");
            criador.disconnect();
        }
        QDir(site.path()).mkpath("Sistema");
        QDir(site.path()).mkpath("Dados");
        const QString exe = site.filePath("Sistema/cortivandela");
        os.setExecutablePath(exe);
        IniFile conn(site.filePath("Dados/SITE.ini"));
        conn.writeString("Database", "servidor", QStringLiteral("127.0.0.1/%1").arg(srv.port()));
        conn.writeString("Database", "path", srv.dataFolder() + "/");
        conn.writeString("Database", "name", "site.fdb");
        IniFile(programSettingsPath(exe))
            .writeString("IniServidor", "nomearquivo", site.filePath("Dados/SITE.ini"));
        // A mail password: a report nobody explained would go to support.
        QFile suporte(site.filePath("Sistema/Suporte.ini"));
        suporte.open(QIODevice::WriteOnly);
        suporte.write(
            "[Suporte]\r\nServidorEmail=127.0.0.1\r\nEmailAlerta=alerta@teste.local\r\nSenhaEmail=x\r\n");
        suporte.close();
        suporte.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        abrePrograma(1, -1, "Maria", site.filePath("Dados/SITE.ini"));
        main->resize(1000, 700);
        QApplication::processEvents();
        ASSERT_TRUE(main->IBSolution.connected());
    }

    void TearDown() override {
        fechaPrograma();
        dataContext() = DataContext{};
        QApplication::processEvents();
    }

    TfrmTipoAnalise* abreTipoAnalise() {
        main->abreTelaRegistrada("frmTipoAnalise");
        pump();
        auto* t = main->findChild<TfrmTipoAnalise*>("frmTipoAnalise");
        if (t) {
            t->edtNome->setFocus();
            pump();
        }
        return t;
    }
    // Rows of the analysis types as the server holds them, read on a connection of its own.
    QStringList nomesNoServidor() {
        Database d;
        Transaction tr(&d);
        d.setDatabaseName(srv.connectionString("site.fdb"));
        d.connect();
        Statement st(&d, &tr);
        st.prepare("select nm_tp_analise from tab_tp_analise order by id_tp_analise");
        st.openCursor();
        std::vector<char> buf(st.outputLayout().size + 8);
        QStringList nomes;
        while (st.fetch(buf.data()))
            nomes << codec::decode(st.outputLayout().columns[0], buf.data()).toString().trimmed();
        st.closeCursor();
        tr.rollback();
        return nomes;
    }

    OwnFirebirdServer srv;
    QTemporaryDir site;
    FakeOsFacts os;
    ScopedOsFacts osScope{os};
    ScriptedDialogs dialogs;
    ScopedDialogs dialogScope{dialogs};
    FixedClock clock;
    ScopedClock clockScope{clock};
    ScriptedMailTransport mail;
    ScopedMailTransport mailScope{mail};
    FakeProcesses procs;
    ScopedProcesses procsScope{procs};

    // What each error report showed; the presenter closes it with its button.
    QStringList problemas, solucoes, originais;
    int naoExplicados = 0, reinicios = 0;
    ScopedExibeJanela presenter{[this](QDialog& d) {
        auto& frm = static_cast<TfrmErroSistema&>(d);
        problemas << frm.mmErro->toPlainText();
        solucoes << frm.mmSolucao->toPlainText();
        originais << frm.errooriginal;
        if (!frm.resultado.explicado) ++naoExplicados;
        if (frm.it_bEncerrarSistemaAutomaticamente) ++reinicios;
        frm.show();
        QTest::mouseClick(frm.BitBtn3, Qt::LeftButton);
    }};
};

TEST_F(ServidorPerdido, TheSaveIsOneClearReportTheRecordStaysAndSavesOnceTheServerIsBack) {
    TfrmTipoAnalise* t = abreTipoAnalise();
    ASSERT_TRUE(t);
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    QTest::keyClicks(t->edtNome, "Cloro Livre");
    DataSet* ds = t->dsPadrao.dataSet();
    ASSERT_EQ(ds->state(), DataSetState::Insert);

    srv.kill();
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    ASSERT_EQ(problemas.size(), 1);
    EXPECT_EQ(problemas[0], kConexaoPerdida);
    EXPECT_TRUE(solucoes[0].contains(QString::fromUtf8("O que você digitou continua na tela")))
        << solucoes[0].toStdString();
    EXPECT_EQ(naoExplicados, 0);
    EXPECT_EQ(reinicios, 0);
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_EQ(endRequests, 0);
    // The typed record is still there, being inserted.
    EXPECT_EQ(ds->state(), DataSetState::Insert);
    EXPECT_EQ(t->edtNome->text(), "Cloro Livre");

    // Another try while the server is still down: the same clear report, nothing else.
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    ASSERT_EQ(problemas.size(), 2);
    EXPECT_EQ(problemas[1], kConexaoPerdida);
    EXPECT_EQ(ds->state(), DataSetState::Insert);

    // The server is back: the same record saves, through a connection made again by itself.
    ASSERT_TRUE(srv.start()) << srv.error().toStdString();
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    EXPECT_EQ(problemas.size(), 2) << problemas.join(" | ").toStdString();
    EXPECT_EQ(ds->state(), DataSetState::Browse);
    EXPECT_EQ(nomesNoServidor(), QStringList{"Cloro Livre"});

    // A delete while the server is down again: refused with that reason, the record stays.
    srv.kill();
    dialogs.queueAnswer(MsgAnswer::Yes);
    QTest::keyClick(t->edtNome, Qt::Key_F5);
    EXPECT_EQ(dialogs.lastMessage().text,
              QString::fromUtf8("O registro não foi excluído: a conexão com o servidor do banco de dados foi "
                                "perdida. Verifique se o servidor está ligado e tente novamente."));
    EXPECT_EQ(ds->recordCount(), 1);
    EXPECT_EQ(problemas.size(), 2);
    ASSERT_TRUE(srv.start()) << srv.error().toStdString();
    EXPECT_EQ(nomesNoServidor(), QStringList{"Cloro Livre"});
}

TEST_F(ServidorPerdido, ClosingTheScreenAndTheProgramAfterTheServerDiedEndsCleanly) {
    TfrmTipoAnalise* t = abreTipoAnalise();
    ASSERT_TRUE(t);
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    QTest::keyClicks(t->edtNome, "Ferro Total");
    srv.kill();
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    ASSERT_EQ(problemas.size(), 1);
    EXPECT_EQ(problemas[0], kConexaoPerdida);

    // Esc asks about the pending record; "Não" drops it and the screen closes, its statements
    // freed after the connection they belonged to was lost.
    dialogs.queueAnswer(MsgAnswer::No);
    QTest::keyClick(t->edtNome, Qt::Key_Escape);
    pump();
    EXPECT_EQ(main->findChild<TfrmTipoAnalise*>("frmTipoAnalise"), nullptr);
    EXPECT_TRUE(dialogs.texts().contains(QString::fromUtf8("Salvar alterações ?")));

    // A screen opened while the server is down reports the same way and closes as well.
    main->abreTelaRegistrada("frmTipoAnalise");
    pump();
    EXPECT_EQ(problemas.size(), 2);
    EXPECT_EQ(problemas.value(1), kConexaoPerdida) << originais.value(1).toStdString();
    for (QMdiSubWindow* w : main->mdi->subWindowList())
        w->close();
    pump();

    // Closing the main window: no logoff can be written, nothing hangs, the end is requested.
    main->close();
    pump();
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(naoExplicados, 0);
    fechaPrograma();
}

TEST_F(ServidorPerdido, AListLeftClosedByTheLostServerIsNoErrorAndOpensAgainWithAtualizar) {
    TfrmTipoAnalise* t = abreTipoAnalise();
    ASSERT_TRUE(t);
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    QTest::keyClicks(t->edtNome, "Cloro Livre");
    QTest::keyClick(t->edtNome, Qt::Key_F3);
    DataSet* ds = t->dsPadrao.dataSet();
    ASSERT_EQ(ds->state(), DataSetState::Browse);

    // "Mostrar Todos" while the server is down: the list cannot open again and stays closed.
    srv.kill();
    QTest::keyClick(t->edtNome, Qt::Key_F7);
    ASSERT_EQ(problemas.size(), 1);
    EXPECT_EQ(problemas[0], kConexaoPerdida);
    EXPECT_FALSE(ds->active());
    // The moves of a closed list do nothing, as their buttons say; no report for them.
    for (Qt::Key k : {Qt::Key_Home, Qt::Key_Left, Qt::Key_Right, Qt::Key_End})
        QTest::keyClick(t->edtNome, k, Qt::AltModifier);
    EXPECT_EQ(problemas.size(), 1) << problemas.join(" | ").toStdString();
    EXPECT_EQ(naoExplicados, 0);
    // A new record on the closed list: the user is told to open it again, a refusal explained
    // to the user with nothing for support.
    QTest::keyClick(t->edtNome, Qt::Key_F2);
    ASSERT_EQ(problemas.size(), 2);
    EXPECT_TRUE(problemas[1].contains(QString::fromUtf8("está fechada; abra-a de novo (Atualizar)")))
        << problemas[1].toStdString();
    EXPECT_EQ(naoExplicados, 0);
    EXPECT_TRUE(mail.calls.empty());

    // The server is back: "Atualizar" opens the list again.
    ASSERT_TRUE(srv.start()) << srv.error().toStdString();
    QTest::keyClick(t->edtNome, Qt::Key_F4);
    EXPECT_TRUE(ds->active());
    QTest::keyClick(t->edtNome, Qt::Key_F7);
    EXPECT_EQ(ds->recordCount(), 1);
    EXPECT_EQ(t->edtNome->text(), "Cloro Livre");
    EXPECT_EQ(naoExplicados, 0);
    EXPECT_TRUE(mail.calls.empty());
}

} // namespace
