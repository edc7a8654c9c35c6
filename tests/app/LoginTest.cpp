#include "AppFixture.h"
#include "platform/ErrorHook.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class LoginTest : public AppSite {
protected:
    void addStandardUsers() {
        addGroup(1, "Laboratorio");
        addGroup(2, "Administradores");
        addUser(5, "ana", "s1", "Ana Souza", 1);
        addUser(6, "d'avila", "pa'ss", "Joao D'Avila", 2);
        addUser(7, "semgrupo", "x", "Sem Grupo", 0);
        addUser(0, "sistema", "sis", "Usuario do Sistema", 1);
    }
    // The start steps on the test site, with the window shown (not modally).
    void start() {
        writeSite();
        frm = makeSplash();
        frm->show();
        frm->FormShow();
        ASSERT_EQ(dlg.messageCount(), 0) << dlg.texts().join('\n').toStdString();
        ASSERT_TRUE(frm->bttEntrar->isEnabled());
    }
    void type(const QString& login, const QString& senha) {
        frm->meUsuario->setText(login);
        frm->meSenha->setText(senha);
    }
    void entrar(const QString& login, const QString& senha) {
        type(login, senha);
        frm->bttEntrar->click();
    }
    QString lastText() const { return dlg.messageCount() ? dlg.lastMessage().text : QString(); }
    int logRows() { return db.scalar("select count(*) from SIS_LOG_LOGIN").toInt(); }
    void expectRefused(const QString& text, QLineEdit* focus, int tentativa) {
        ASSERT_GT(dlg.messageCount(), 0);
        EXPECT_EQ(dlg.lastMessage().text, text);
        EXPECT_EQ(dlg.lastMessage().caption, "Aviso do Sistema");
        EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Warning);
        EXPECT_EQ(dlg.lastMessage().buttons, MsgButtons::Ok);
        EXPECT_EQ(frm->focusWidget(), focus);
        EXPECT_EQ(frm->tentativa, tentativa);
        EXPECT_FALSE(frm->logado());
        EXPECT_FALSE(frm->isHidden()) << "the window stays";
    }

    std::unique_ptr<TfrmSplash> frm;
};

// ---------------------------------------------------------------- refused attempts

TEST_F(LoginTest, WrongPasswordClearsTheFieldAndCounts) {
    addStandardUsers();
    start();
    entrar("ana", "errada");
    expectRefused("Senha incorreta !", frm->meSenha, 1);
    EXPECT_EQ(frm->meSenha->text(), "");
    EXPECT_EQ(frm->meUsuario->text(), "ana");
    EXPECT_EQ(endRequests, 0);
}

TEST_F(LoginTest, MissingNameOrPasswordCounts) {
    addStandardUsers();
    start();
    entrar("", "s1");
    expectRefused("Informe o Usuário!"_q, frm->meUsuario, 1);
    entrar("ana", "");
    expectRefused("Informe a Senha!", frm->meSenha, 2);
    entrar("ninguem", "s1");
    expectRefused("Usuário incorreto!"_q, frm->meUsuario, 3);
    EXPECT_EQ(frm->meSenha->text(), "s1") << "only a wrong password clears the field";
    EXPECT_EQ(endRequests, 0);
}

TEST_F(LoginTest, ThreeFailuresThenASuccessLogsIn) {
    addStandardUsers();
    start();
    for (int i = 0; i < 3; ++i)
        entrar("ana", "errada");
    EXPECT_EQ(frm->tentativa, 3);
    entrar("ana", "s1");
    EXPECT_TRUE(frm->logado());
    EXPECT_EQ(endRequests, 0);
    EXPECT_FALSE(frm->endRequested());
}

TEST_F(LoginTest, FourthFailureEndsTheProgramAfterItsMessage) {
    addStandardUsers();
    start();
    entrar("", "");
    entrar("ninguem", "x");
    entrar("ana", "e");
    EXPECT_EQ(endRequests, 0);
    entrar("ana", "e");
    EXPECT_EQ(dlg.messageCount(), 4) << "the fourth message is still shown";
    EXPECT_EQ(lastText(), "Senha incorreta !");
    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(frm->endRequested());
    EXPECT_FALSE(frm->logado());
    EXPECT_EQ(logRows(), 0);
}

TEST_F(LoginTest, TypedTextNeverChangesTheStatements) {
    addStandardUsers();
    start();
    const QString hostile = "' or '1'='1";
    entrar(hostile, hostile);
    EXPECT_EQ(lastText(), "Usuário incorreto!"_q);
    entrar("ana", hostile);
    EXPECT_EQ(lastText(), "Senha incorreta !");
    frm->tentativa = 0;
    entrar(QString(200, 'a'), "s1");
    EXPECT_EQ(lastText(), "Usuário incorreto!"_q);
    entrar("ana" + QString(197, ' ') + "x", "s1");
    EXPECT_EQ(lastText(), "Usuário incorreto!"_q);
    entrar("ana", QString(200, '\''));
    EXPECT_EQ(lastText(), "Senha incorreta !");
    frm->tentativa = 0;
    entrar("sistema' --", "x");
    EXPECT_EQ(lastText(), "Usuário incorreto!"_q);
    frm->tentativa = 0;
    // A name or password the user table could not hold is a wrong entry like any other.
    entrar(QString(5000, 'a'), "s1");
    EXPECT_EQ(lastText(), "Usuário incorreto!"_q);
    entrar("an日"_q, "s1");
    EXPECT_EQ(lastText(), "Usuário incorreto!"_q);
    entrar("ana", "s1日"_q);
    EXPECT_EQ(lastText(), "Senha incorreta !");
    EXPECT_EQ(dlg.messageCount(), 9);
    EXPECT_EQ(logRows(), 0);

    // Apostrophes inside a real name and password are just characters.
    entrar("d'avila", "pa'ss");
    ASSERT_TRUE(frm->logado());
    EXPECT_EQ(sessaoUsuario().codusuario, 6);
    EXPECT_EQ(sessaoUsuario().loginusuario, "d'avila");
    EXPECT_EQ(sessaoUsuario().Nm_usuario, "Joao D'Avila");
}

// ---------------------------------------------------------------- successful login

TEST_F(LoginTest, SuccessFillsTheSessionAndOpensOneLoginLogRow) {
    addStandardUsers();
    db.exec("insert into SIS_LOG_LOGIN (ID_LOG_LOGIN, ID_USUARIO, NM_APLICATIVO) values (9, 5, 'Outro')");
    start();
    entrar("ana", "s1");
    ASSERT_TRUE(frm->logado());
    const TSessaoUsuario& s = sessaoUsuario();
    EXPECT_EQ(s.codusuario, 5);
    EXPECT_EQ(s.grupousuario, 1);
    EXPECT_EQ(s.loginusuario, "ana");
    EXPECT_EQ(s.Nm_usuario, "Ana Souza");
    EXPECT_EQ(s.Nm_GrupoUsusario, "Laboratorio");
    EXPECT_EQ(s.it_iidLogLoginSplash, 10);
    EXPECT_EQ(s.localarquivoiniteste, settingsPath());
    EXPECT_EQ(s.erroconexao, 0);
    EXPECT_FALSE(frm->IBD_Teste.connected()) << "the test connection is dropped";
    EXPECT_EQ(frm->result(), QDialog::Accepted);
    EXPECT_TRUE(frm->isHidden());

    EXPECT_EQ(logRows(), 2);
    EXPECT_EQ(
        db.scalar("select count(*) from SIS_LOG_LOGIN where ID_LOG_LOGIN = 10 and ID_USUARIO = 5 and "
                  "ID_GR_USUARIO = 1 and NM_APLICATIVO = 'Nexmoro Cortivandela' and DH_LOGOFF is null and "
                  "DH_LOGIN = '15.03.2024 10:30:00' and CD_IP = '10.1.2.3'")
            .toInt(),
        1);
}

TEST_F(LoginTest, UserWithoutGroupLogsIn) {
    addStandardUsers();
    start();
    entrar("semgrupo", "x");
    ASSERT_TRUE(frm->logado());
    EXPECT_EQ(sessaoUsuario().Nm_GrupoUsusario, "");
    EXPECT_EQ(sessaoUsuario().grupousuario, 0);
    EXPECT_EQ(db.scalar("select ID_GR_USUARIO from SIS_LOG_LOGIN").toInt(), 0);
}

TEST_F(LoginTest, UserAddedByAnotherApplicationAfterTheStartLogsInWithItsName) {
    addStandardUsers();
    start();
    addUser(12, "novo", "n", "Usuario Novo", 2);
    entrar("novo", "n");
    ASSERT_TRUE(frm->logado());
    EXPECT_EQ(sessaoUsuario().Nm_usuario, "Usuario Novo");
    EXPECT_EQ(sessaoUsuario().Nm_GrupoUsusario, "Administradores");
}

TEST_F(LoginTest, DatabaseErrorGoesToTheErrorHookAndTheWindowStays) {
    addStandardUsers();
    start();
    db.exec("drop table SIS_LOG_LOGIN");
    entrar("ana", "s1");
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Error);
    EXPECT_TRUE(dlg.lastMessage().text.contains("SIS_LOG_LOGIN")) << lastText().toStdString();
    EXPECT_FALSE(frm->logado());
    EXPECT_FALSE(frm->isHidden());
    EXPECT_EQ(frm->tentativa, 0);
}

// ---------------------------------------------------------------- prepared fields

TEST_F(LoginTest, WindowsLoginUsesTheFirstFifteenCharacters) {
    addStandardUsers();
    addUser(8, "operador_labora", "noite", "Operador da Noite", 1);
    db.exec("update TAB_PARAMETRO set ST_LOGIN_USUARIO_WINDOWS = 'S'");
    facts.setUserName("operador_laboratorio_noite");
    start();
    EXPECT_TRUE(frm->meUsuario->isHidden());
    EXPECT_TRUE(frm->meSenha->isHidden());
    EXPECT_EQ(frm->meUsuario->text(), "operador_labora");
    EXPECT_EQ(frm->meSenha->text(), "noite");
    EXPECT_EQ(frm->statusText(), "Usuário: operador_labora"_q);
    EXPECT_TRUE(frm->bttSair->isEnabled());
    EXPECT_FALSE(frm->btnAlterarSenha->isEnabled());
    EXPECT_EQ(frm->focusWidget(), frm->bttEntrar);

    // Enter logs in with the stored password.
    QTest::keyClick(frm->bttEntrar, Qt::Key_Return);
    ASSERT_TRUE(frm->logado());
    EXPECT_EQ(sessaoUsuario().codusuario, 8);
    EXPECT_EQ(sessaoUsuario().loginusuario, "operador_labora");
}

TEST_F(LoginTest, WindowsLoginForAnUnknownUserShowsTheFields) {
    addStandardUsers();
    db.exec("update TAB_PARAMETRO set ST_LOGIN_USUARIO_WINDOWS = 'S'");
    facts.setUserName("o'visitante");
    start();
    EXPECT_FALSE(frm->meUsuario->isHidden());
    EXPECT_FALSE(frm->meSenha->isHidden());
    EXPECT_EQ(frm->meUsuario->text(), "");
    EXPECT_TRUE(frm->btnAlterarSenha->isEnabled());
    EXPECT_EQ(frm->focusWidget(), frm->meUsuario);
    entrar("ana", "s1");
    EXPECT_TRUE(frm->logado());
}

TEST_F(LoginTest, OnlySystemUsersPrefillTheFirstOne) {
    addGroup(3, "Sistema");
    addUser(-1, "integracao", "int", "Integracao", 3);
    addUser(0, "sistema", "sis", "Usuario do Sistema", 3);
    start();
    EXPECT_TRUE(frm->meUsuario->isHidden());
    EXPECT_EQ(frm->meUsuario->text(), "integracao");
    EXPECT_EQ(frm->meSenha->text(), "int");
    EXPECT_EQ(sessaoUsuario().codusuario, -1);
    EXPECT_EQ(sessaoUsuario().grupousuario, 3);
    EXPECT_EQ(sessaoUsuario().loginusuario, "integracao");
    EXPECT_EQ(frm->statusText(), "Selecione a opção desejada"_q);
    EXPECT_TRUE(frm->btnAlterarSenha->isEnabled());
    EXPECT_EQ(frm->focusWidget(), frm->bttEntrar);
    frm->bttEntrar->click();
    ASSERT_TRUE(frm->logado());
    EXPECT_EQ(sessaoUsuario().Nm_usuario, "Integracao");
    EXPECT_EQ(logRows(), 1);
}

TEST_F(LoginTest, EmptyUserTableShowsTheFieldsAndRefusesEveryName) {
    start();
    EXPECT_FALSE(frm->meUsuario->isHidden());
    entrar("ana", "s1");
    EXPECT_EQ(lastText(), "Usuário incorreto!"_q);
}

// ---------------------------------------------------------------- password change

TEST_F(LoginTest, PasswordChangeModeAndBack) {
    addStandardUsers();
    start();
    type("ana", "errada");
    frm->btnAlterarSenha->click();
    expectRefused("Senha incorreta !", frm->meSenha, 1);
    EXPECT_FALSE(frm->AlterarSenha);

    type("ana", "s1");
    frm->btnAlterarSenha->click();
    ASSERT_TRUE(frm->AlterarSenha);
    EXPECT_EQ(frm->height(), 470);
    EXPECT_FALSE(frm->mskNovaSenha->isHidden());
    EXPECT_FALSE(frm->mskConfirmaSenha->isHidden());
    EXPECT_EQ(frm->mskNovaSenha->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(frm->linSeparador->isHidden());
    EXPECT_FALSE(frm->btnCancelar->isHidden());
    EXPECT_TRUE(frm->btnAlterarSenha->isHidden());
    EXPECT_EQ(frm->bttEntrar->text(), "Confirmar");
    EXPECT_EQ(frm->focusWidget(), frm->mskNovaSenha);
    EXPECT_EQ(frm->tentativa, 1);
    // Every password field shows an asterisk for each character typed.
    for (QLineEdit* e : {frm->meSenha, frm->mskNovaSenha, frm->mskConfirmaSenha}) {
        e->setFocus();
        QTest::keyClick(e, Qt::Key_End);
        QTest::keyClicks(e, "x9");
        EXPECT_EQ(e->displayText(), QString(e->text().size(), '*')) << e->objectName().toStdString();
        EXPECT_TRUE(e->text().endsWith("x9"));
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClick(e, Qt::Key_Backspace);
    }

    frm->mskNovaSenha->setText("abc");
    frm->mskConfirmaSenha->setText("abc");
    frm->btnCancelar->click();
    EXPECT_FALSE(frm->AlterarSenha);
    EXPECT_EQ(frm->height(), 405);
    EXPECT_TRUE(frm->mskNovaSenha->isHidden());
    EXPECT_EQ(frm->mskNovaSenha->text(), "");
    EXPECT_EQ(frm->mskConfirmaSenha->text(), "");
    EXPECT_TRUE(frm->linSeparador->isHidden());
    EXPECT_TRUE(frm->btnCancelar->isHidden());
    EXPECT_FALSE(frm->btnAlterarSenha->isHidden());
    EXPECT_EQ(frm->bttEntrar->text(), "Entrar");
    EXPECT_EQ(frm->focusWidget(), frm->btnAlterarSenha);

    // Back in normal mode the first button logs in without touching the password.
    frm->bttEntrar->click();
    ASSERT_TRUE(frm->logado());
    EXPECT_EQ(db.scalar("select DS_SENHA from SIS_USUARIO where ID_USUARIO = 5").toString(), "s1");
}

TEST_F(LoginTest, InvalidNewPasswordsAreRefusedWithoutCounting) {
    addStandardUsers();
    start();
    type("ana", "s1");
    frm->btnAlterarSenha->click();
    ASSERT_TRUE(frm->AlterarSenha);
    struct Case {
        QString nova, confirma, message;
        QLineEdit* focus;
    };
    const std::vector<Case> cases = {
        {"", "", "Informe a Nova Senha", frm->mskNovaSenha},
        {"nova", "", "Confirme a senha", frm->mskConfirmaSenha},
        {"nova", "outra", "As senhas não conferem"_q, frm->mskConfirmaSenha},
        {QString(16, 'n'), QString(16, 'n'), "A nova senha deve ter no máximo 15 caracteres"_q,
         frm->mskNovaSenha},
        {"senha日"_q, "senha日"_q,
         "A nova senha contém o caractere \"日\", que não pode ser gravado. Use apenas letras, números e "
         "símbolos do alfabeto latino."_q,
         frm->mskNovaSenha},
    };
    for (const Case& c : cases) {
        frm->mskNovaSenha->setText(c.nova);
        frm->mskConfirmaSenha->setText(c.confirma);
        frm->bttEntrar->click();
        expectRefused(c.message, c.focus, 0);
        EXPECT_TRUE(frm->AlterarSenha);
    }
    EXPECT_EQ(dlg.messageCount(), int(cases.size()));
    EXPECT_EQ(db.scalar("select DS_SENHA from SIS_USUARIO where ID_USUARIO = 5").toString(), "s1");
    EXPECT_EQ(logRows(), 0);
}

TEST_F(LoginTest, ConfirmedNewPasswordIsStoredAsTypedAndLogsIn) {
    addStandardUsers();
    start();
    type("d'avila", "pa'ss");
    frm->btnAlterarSenha->click();
    ASSERT_TRUE(frm->AlterarSenha);
    const QString nova = "n'ova' or ''='"; // 15 characters
    frm->mskNovaSenha->setText(nova);
    frm->mskConfirmaSenha->setText(nova);
    frm->bttEntrar->click();
    ASSERT_TRUE(frm->logado()) << lastText().toStdString();
    EXPECT_EQ(db.scalar("select DS_SENHA from SIS_USUARIO where ID_USUARIO = 6").toString(), nova);
    EXPECT_EQ(
        db.scalar("select count(*) from SIS_USUARIO where DS_SENHA = 'pa''ss' or ID_USUARIO <> 6").toInt(), 3)
        << "no other user's password changed";
    EXPECT_EQ(logRows(), 1);
}

TEST_F(LoginTest, TabOutOfTheConfirmationGoesToTheFirstButton) {
    addStandardUsers();
    start();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    type("ana", "s1");
    frm->btnAlterarSenha->click();
    frm->mskConfirmaSenha->setFocus();
    QTest::keyClick(frm->mskConfirmaSenha, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), frm->bttEntrar);
}

// ---------------------------------------------------------------- keyboard

TEST_F(LoginTest, EnterLogsInFromAnyField) {
    addStandardUsers();
    start();
    type("ana", "s1");
    QTest::keyClick(frm->meSenha, Qt::Key_Return);
    EXPECT_TRUE(frm->logado());
}

TEST_F(LoginTest, EscapeLeavesAndAltF4IsSwallowed) {
    addStandardUsers();
    start();
    QTest::keyClick(frm->meUsuario, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(frm->close()) << "the window refuses to be closed from outside";
    EXPECT_FALSE(frm->isHidden());
    EXPECT_EQ(endRequests, 0);

    QTest::keyClick(frm->meUsuario, Qt::Key_Escape);
    EXPECT_EQ(endRequests, 1);
    EXPECT_FALSE(frm->logado());
}

TEST_F(LoginTest, EnterDoesNothingBeforeTheLoginIsPrepared) {
    auto early = makeSplash();
    early->show();
    QTest::keyClick(early.get(), Qt::Key_Return);
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_EQ(early->tentativa, 0);
}

} // namespace
