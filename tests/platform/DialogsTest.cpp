// Message boxes and dialogs: the scripted test double, the convenience calls, the message box
// the default implementation builds, and the file filter conversion.
#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include "QtPrinters.h"
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>
#include <memory>

namespace {

// ---- ScriptedDialogs ----

TEST(ScriptedDialogs, AnswersFromTheQueueInOrderAndRecordsEveryCall) {
    ScriptedDialogs dlg;
    dlg.queueAnswers({MsgAnswer::No, MsgAnswer::Cancel});
    EXPECT_EQ(dlg.message("Excluir este registro ?", "Aviso do Sistema", MsgIcon::Question, MsgButtons::YesNo,
                          MsgAnswer::No),
              MsgAnswer::No);
    EXPECT_EQ(dlg.message("Salvar alterações ?", "Aviso do Sistema", MsgIcon::Question,
                          MsgButtons::YesNoCancel, MsgAnswer::Yes),
              MsgAnswer::Cancel);
    EXPECT_EQ(dlg.pendingAnswers(), 0);
    ASSERT_EQ(dlg.messageCount(), 2);
    const ScriptedDialogs::MessageCall& first = dlg.messages()[0];
    EXPECT_EQ(first.text, "Excluir este registro ?");
    EXPECT_EQ(first.caption, "Aviso do Sistema");
    EXPECT_EQ(first.icon, MsgIcon::Question);
    EXPECT_EQ(first.buttons, MsgButtons::YesNo);
    EXPECT_EQ(first.defaultButton, MsgAnswer::No);
    EXPECT_EQ(dlg.lastMessage().text, "Salvar alterações ?");
    EXPECT_EQ(dlg.texts(), (QStringList{"Excluir este registro ?", "Salvar alterações ?"}));
}

TEST(ScriptedDialogs, EmptyQueueAnswersTheDefaultButton) {
    ScriptedDialogs dlg;
    EXPECT_EQ(dlg.message("t", "c", MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No), MsgAnswer::No);
    EXPECT_EQ(dlg.message("t", "c", MsgIcon::Question, MsgButtons::YesNoCancel, MsgAnswer::Cancel),
              MsgAnswer::Cancel);
    EXPECT_EQ(dlg.message("t", "c", MsgIcon::Warning, MsgButtons::Ok, MsgAnswer::Ok), MsgAnswer::Ok);
    // A default the box does not offer falls back to its first button.
    EXPECT_EQ(dlg.message("t", "c", MsgIcon::Warning, MsgButtons::Ok, MsgAnswer::Yes), MsgAnswer::Ok);
    EXPECT_EQ(dlg.message("t", "c", MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Ok), MsgAnswer::Yes);
    EXPECT_TRUE(dlg.mismatches().isEmpty());
}

TEST(ScriptedDialogs, AnswerTheBoxDoesNotOfferIsReportedAndTheDefaultGiven) {
    ScriptedDialogs dlg;
    dlg.queueAnswers({MsgAnswer::Yes, MsgAnswer::Ok});
    EXPECT_EQ(
        dlg.message("Informe a Senha!", "Aviso do Sistema", MsgIcon::Warning, MsgButtons::Ok, MsgAnswer::Ok),
        MsgAnswer::Ok);
    ASSERT_EQ(dlg.mismatches().size(), 1);
    EXPECT_TRUE(dlg.mismatches().first().contains("Informe a Senha!"));
    // The mismatched answer was used up; the next box gets the next one.
    EXPECT_EQ(dlg.message("x", "c", MsgIcon::Question, MsgButtons::OkCancel, MsgAnswer::Cancel),
              MsgAnswer::Ok);
}

TEST(ScriptedDialogs, ResponderDecidesFromTheCall) {
    ScriptedDialogs dlg;
    dlg.queueAnswer(MsgAnswer::No);
    dlg.setResponder([](const ScriptedDialogs::MessageCall& call) {
        return call.text.startsWith("Excluir") ? MsgAnswer::Yes : MsgAnswer::Cancel;
    });
    EXPECT_EQ(dlg.message("Excluir?", "c", MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::No),
              MsgAnswer::Yes);
    EXPECT_EQ(dlg.message("Salvar?", "c", MsgIcon::Question, MsgButtons::YesNoCancel, MsgAnswer::Yes),
              MsgAnswer::Cancel);
    EXPECT_EQ(dlg.pendingAnswers(), 1) << "the queue waits while a responder is set";
    dlg.setResponder(nullptr);
    EXPECT_EQ(dlg.message("Outra?", "c", MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes),
              MsgAnswer::No);
}

TEST(ScriptedDialogs, FileAndFontDialogsAnswerFromTheirQueues) {
    ScriptedDialogs dlg;
    dlg.queueFile("/dados/BASE.fdb");
    const QFont arial("Arial", 12);
    dlg.queueFont(arial);
    dlg.queueFont(std::nullopt);

    EXPECT_EQ(dlg.openFile("Abrir", "/sistema", "Banco de Dados ( *.fdb )|*.fdb"), "/dados/BASE.fdb");
    EXPECT_EQ(dlg.openFile("Abrir", "/sistema", ""), "") << "an empty queue cancels";
    dlg.queueFile("/docs/grafico.png");
    EXPECT_EQ(dlg.saveFile("Salvar como PNG", "/docs/x.png", "Imagem PNG|*.png"), "/docs/grafico.png");
    ASSERT_EQ(dlg.fileCalls().size(), 3u);
    EXPECT_EQ(dlg.fileCalls()[0].startDir, "/sistema");
    EXPECT_EQ(dlg.fileCalls()[0].filter, "Banco de Dados ( *.fdb )|*.fdb");

    EXPECT_EQ(dlg.chooseFont(QFont()), arial);
    EXPECT_FALSE(dlg.chooseFont(arial).has_value());
    EXPECT_FALSE(dlg.chooseFont(arial).has_value());
    EXPECT_EQ(dlg.fontCalls().size(), 3u);

    dlg.clear();
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_TRUE(dlg.fileCalls().empty());
    EXPECT_THROW(dlg.lastMessage(), std::logic_error);
}

// ---- installation and convenience calls ----

TEST(DialogsSeam, ScopedInstallersNestAndRestore) {
    Dialogs& original = dialogs();
    ScriptedDialogs outer;
    {
        ScopedDialogs useOuter(outer);
        EXPECT_EQ(&dialogs(), &outer);
        ScriptedDialogs inner;
        {
            ScopedDialogs useInner(inner);
            EXPECT_EQ(&dialogs(), &inner);
            warn("dentro");
        }
        EXPECT_EQ(&dialogs(), &outer);
        EXPECT_EQ(inner.messageCount(), 1);
        EXPECT_EQ(outer.messageCount(), 0);
    }
    EXPECT_EQ(&dialogs(), &original);
}

TEST(DialogsSeam, ConvenienceCallsUseTheSystemCaptionAndIcons) {
    ScriptedDialogs dlg;
    ScopedDialogs use(dlg);
    dlg.queueAnswer(MsgAnswer::No);

    warn("Informe o Usuário!");
    inform("Backup");
    showError("Falhou");
    EXPECT_EQ(ask("Excluir este registro ?", MsgButtons::YesNo, MsgAnswer::No), MsgAnswer::No);
    EXPECT_EQ(ask("Continuar ?"), MsgAnswer::Yes);
    showMessage("Sem ícone", "Outro título", MsgIcon::None);

    ASSERT_EQ(dlg.messageCount(), 6);
    const auto& m = dlg.messages();
    EXPECT_EQ(m[0].icon, MsgIcon::Warning);
    EXPECT_EQ(m[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(m[1].icon, MsgIcon::Information);
    EXPECT_EQ(m[2].icon, MsgIcon::Error);
    EXPECT_EQ(m[3].icon, MsgIcon::Question);
    EXPECT_EQ(m[3].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m[3].defaultButton, MsgAnswer::No);
    EXPECT_EQ(m[4].defaultButton, MsgAnswer::Yes);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m[i].caption, "Aviso do Sistema") << i;
    EXPECT_EQ(m[5].caption, "Outro título");
    EXPECT_EQ(m[5].icon, MsgIcon::None);
}

TEST(DialogsSeam, WarnAndAbortShowsTheMessageThenAbortsSilently) {
    ScriptedDialogs dlg;
    ScopedDialogs use(dlg);
    EXPECT_THROW(warnAndAbort("Banco de Dados não informado !"), SilentAbort);
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "Banco de Dados não informado !");
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Warning);
}

// ---- the default message box, built but not shown ----

TEST(QtMessageBox, PortugueseButtonsInOrderWithTheDefaultSet) {
    std::unique_ptr<QMessageBox> box(createMessageBox("Salvar alterações ?", "Aviso do Sistema",
                                                      MsgIcon::Question, MsgButtons::YesNoCancel,
                                                      MsgAnswer::No));
    EXPECT_EQ(box->windowTitle(), "Aviso do Sistema");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    ASSERT_EQ(box->buttons().size(), 3);
    EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "Sim");
    EXPECT_EQ(box->button(QMessageBox::No)->text(), "Não");
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), "Cancelar");
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));

    std::unique_ptr<QMessageBox> ok(
        createMessageBox("x", "Aviso do Sistema", MsgIcon::Error, MsgButtons::Ok, MsgAnswer::Cancel));
    ASSERT_EQ(ok->buttons().size(), 1);
    EXPECT_EQ(ok->button(QMessageBox::Ok)->text(), "OK");
    EXPECT_EQ(ok->icon(), QMessageBox::Critical);
    EXPECT_EQ(ok->defaultButton(), ok->button(QMessageBox::Ok))
        << "a default not offered becomes the first button";
}

TEST(QtMessageBox, CarriageReturnsBecomeLineBreaksAndMarkupStaysText) {
    const QString text = QStringLiteral("Arquivo não Encontrado !") + QChar(13) + "/x/BASE.ini" + QChar(13) +
                         "<b>Solicite</b>\r\nauxílio";
    std::unique_ptr<QMessageBox> box(
        createMessageBox(text, "Aviso do Sistema", MsgIcon::Warning, MsgButtons::Ok, MsgAnswer::Ok));
    EXPECT_EQ(box->text(), "Arquivo não Encontrado !\n/x/BASE.ini\n<b>Solicite</b>\nauxílio");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST(QtMessageBox, ClickedButtonGivesItsAnswer) {
    std::unique_ptr<QMessageBox> box(
        createMessageBox("x", "c", MsgIcon::Question, MsgButtons::YesNoCancel, MsgAnswer::Yes));
    box->button(QMessageBox::No)->click();
    EXPECT_EQ(answerOf(*box, MsgButtons::YesNoCancel), MsgAnswer::No);

    std::unique_ptr<QMessageBox> closed(
        createMessageBox("x", "c", MsgIcon::Question, MsgButtons::OkCancel, MsgAnswer::Ok));
    EXPECT_EQ(answerOf(*closed, MsgButtons::OkCancel), MsgAnswer::Cancel) << "closed without a button";
    std::unique_ptr<QMessageBox> yesNo(
        createMessageBox("x", "c", MsgIcon::Question, MsgButtons::YesNo, MsgAnswer::Yes));
    EXPECT_EQ(answerOf(*yesNo, MsgButtons::YesNo), MsgAnswer::No);
}

// A window manager cuts a caption that does not fit beside its buttons ("Aviso...ema"): a box
// with a short text and a single button is still wide enough for its whole title.
TEST(QtMessageBox, IsWideEnoughForItsTitleBesideTheWindowButtons) {
    QFont titulo = QApplication::font("QMdiSubWindowTitleBar");
    titulo.setBold(true);
    for (const QString& caption :
         {QStringLiteral("Aviso do Sistema"), QStringLiteral("Conexão com o Banco de Dados")}) {
        std::unique_ptr<QMessageBox> box(
            createMessageBox("Ok.", caption, MsgIcon::None, MsgButtons::Ok, MsgAnswer::Ok));
        box->show();
        const int tituloLargura = QFontMetrics(titulo).horizontalAdvance(caption);
        // The caption, an icon and three buttons of at least 30 pixels each.
        EXPECT_GE(box->width(), tituloLargura + 120) << caption.toStdString() << ": " << box->width();
        box->hide();
    }
}

// A test that forgets to install the scripted dialogs must fail at once instead of waiting
// forever for a click that never comes.
TEST(QtDialogsDeathTest, RefusesToBlockInsideTests) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(QtDialogs().message("Salvar alterações ?", "Aviso do Sistema", MsgIcon::Question,
                                     MsgButtons::YesNoCancel, MsgAnswer::Yes),
                 "Message box without an installed test double");
    EXPECT_DEATH(QtDialogs().openFile("Abrir", "/", "Todos|*"), "File-open dialog without");
    EXPECT_DEATH(QtDialogs().saveFile("Salvar como PNG", "/x.png", "Imagem PNG|*.png"),
                 "File-save dialog without");
}

// ---- file filter ----

TEST(FileFilter, PipeFormBecomesQtForm) {
    EXPECT_EQ(toQtFileFilter("Banco de Dados ( *.fdb )|*.fdb|Todos os Arquivos|*"),
              "Banco de Dados ( *.fdb ) (*.fdb);;Todos os Arquivos (*)");
    EXPECT_EQ(toQtFileFilter("Imagens|*.jpg;*.JPEG; *.bmp"), "Imagens (*.jpg *.JPEG *.bmp)");
    EXPECT_EQ(toQtFileFilter("|*.xls"), "*.xls (*.xls)") << "an empty description shows the patterns";
    EXPECT_EQ(toQtFileFilter("Planilhas|*.xls|Sem padrão"), "Planilhas (*.xls)")
        << "a trailing description alone";
    EXPECT_EQ(toQtFileFilter("Vazio||Todos|*"), "Todos (*)");
    EXPECT_EQ(toQtFileFilter(""), "");
}

} // namespace
