// The error report against the texts Firebird really produces: each error is provoked on an
// embedded database, sent through the application's hook, and the report's texts, marks, log
// line, e-mail and closing are checked.
#include "SupportFixture.h"
#include "data/Query.h"

#include <QFileInfo>

namespace {

const QString kLinhaInicio = "15/03/2024 10:30:00 - Maria da Silva -  -  - ";

class ErroSistema : public SupportSite {};

TEST_F(ErroSistema, PrimaryKeyOnTheStatesTableAsksForAnotherAbbreviation) {
    db.exec("insert into TAB_ESTADO values ('SP', 'São Paulo')");
    const QString erro = provoke("insert into TAB_ESTADO values ('SP', 'Outro')");
    ASSERT_TRUE(erro.contains("violation of PRIMARY")) << erro.toStdString();
    EXPECT_EQ(TabelaViolacaoPrimaria(erro), "TAB_ESTADO");
    report(erro);
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(seen.titulo, "Sistema nexmoro");
    EXPECT_EQ(seen.problema,
              "A sigla que você inseriu já está sendo utilizada por outro estado no cadastro."_q);
    EXPECT_EQ(seen.solucao, "Verifique a informação e tente novamente com uma sigla diferente."_q);
    EXPECT_EQ(seen.detalhes, erro);
    EXPECT_EQ(seen.codigo, "");
    EXPECT_EQ(seen.resultado.regras, QStringList{"3a"});
    EXPECT_FALSE(seen.reiniciar);
    EXPECT_TRUE(mail.calls.empty());
    // A first report starts the log with its header.
    EXPECT_EQ(logLines(), (QStringList{"Arquivo de log contendo as informações dos Avisos do Sistema"_q, " ",
                                       "LOG de Avisos: ", kLinhaInicio + seen.problema}));
    EXPECT_EQ(endRequests, 0);
    EXPECT_TRUE(principal->IBSolution.connected());
}

TEST_F(ErroSistema, PrimaryKeyOnAnyOtherTableMarksTheRestartWithoutMail) {
    db.exec("insert into TAB_TP_EQUIPAMENTO values (1, 'Caldeira')");
    const QString erro = provoke("insert into TAB_TP_EQUIPAMENTO values (1, 'Torre')");
    procs.add(10, "bash");
    procs.add(11, "nexmoroTalvena.exe.bak");
    procs.add(12, "NEXMOROTALVENA.EXE");
    procs.add(13, "nexmoroTalvena.exe");
    procs.add(14, "nexmoroTalvena4.exe");
    report(erro);
    EXPECT_EQ(seen.problema, "Houve violação de chave primária na tabela TAB_TP_EQUIPAMENTO"_q);
    // Nothing was mailed: the instruction does not say a report was sent.
    EXPECT_EQ(seen.solucao, InstrucaoReiniciar(false, false));
    EXPECT_EQ(seen.solucao,
              "Pedimos desculpas pelo transtorno. Por favor, reinicie o sistema e tente novamente."_q);
    EXPECT_TRUE(seen.reiniciar);
    EXPECT_TRUE(seen.resultado.explicado);
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_NE(seen.corSolucao, QColor(Qt::red)); // red only for reports nobody could explain
    // Closing: the connection is gone, the two named programs are ended (first match each, by
    // exact name without regard to case), nothing else, and this program ends cleanly.
    EXPECT_FALSE(principal->IBSolution.connected());
    EXPECT_EQ(procs.terminated(), (std::vector<qint64>{14, 12}));
    EXPECT_EQ(endRequests, 1);
    EXPECT_EQ(clock.sleeps(), std::vector<int>{500});
}

TEST_F(ErroSistema, AUniqueConstraintComesAsThePrimaryOrUniqueViolation) {
    db.exec("insert into TAB_CODIGO values ('A1', 'X')");
    const QString erro = provoke("insert into TAB_CODIGO values ('A1', 'X')");
    report(erro);
    EXPECT_EQ(seen.problema, "Houve violação de chave primária na tabela TAB_CODIGO"_q);
    EXPECT_EQ(seen.resultado.regras, QStringList{"3b"});
}

TEST_F(ErroSistema, DuplicateInAUniqueIndexNamesTheIndex) {
    db.exec("insert into TAB_TP_EQUIPAMENTO values (1, 'Caldeira')");
    const QString erro = provoke("insert into TAB_TP_EQUIPAMENTO values (2, 'Caldeira')");
    ASSERT_TRUE(erro.contains("attempt to store duplicate value")) << erro.toStdString();
    report(erro);
    EXPECT_EQ(seen.problema, "NOME DO EQUIPAMENTO que você está tentando cadastrar já existe no sistema."_q);
    EXPECT_EQ(seen.solucao, "Para continuar, por favor, informe um outro nome ou cancele esta operação"_q);
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_EQ(logLines().last(), kLinhaInicio + seen.problema);
}

TEST_F(ErroSistema, ADuplicateWhoseIndexIsNotFoundIsMailedAsRaised) {
    writeSupportSettings();
    const QString erro = "attempt to store duplicate value (visible to active transactions) in unique index "
                         "\"INDICE_QUE_NAO_EXISTE\"\n-Problematic key value is (\"NM\" = 'x')";
    report(erro);
    EXPECT_FALSE(seen.resultado.explicado);
    ASSERT_EQ(mail.sent.size(), 1u);
    EXPECT_TRUE(
        mail.sent[0].bodyLines.contains("attempt to store duplicate value (visible to active transactions) "
                                        "in unique index \"INDICE_QUE_NAO_EXISTE\""));
    EXPECT_EQ(seen.problema, kProblemaNaoTratado);
}

TEST_F(ErroSistema, NullSegmentOfAUniqueKeyListsTheKeyFields) {
    const ResultadoRegras r = AplicaRegrasErro("null segment of UNIQUE KEY \"NOME_DO_EQUIPAMENTO_IDX1\"",
                                               [this](const QString& sql, const QString& col) {
                                                   Query q(&principal->IBSolution);
                                                   q.setSqlText(sql);
                                                   q.open();
                                                   QStringList out;
                                                   for (q.first(); !q.eof(); q.next())
                                                       out << q.fieldByName(col)->asString();
                                                   return out;
                                               });
    EXPECT_EQ(r.problema, "NM_TP_EQUIPAMENTO que você está tentando cadastrar já existe no sistema."_q);
    EXPECT_EQ(r.solucao, "Para continuar, por favor, informe um outro nome ou cancele esta operação."_q);
    const ResultadoRegras duas = AplicaRegrasErro("null segment of UNIQUE KEY \"UNQ_CODIGO_SERIE\"",
                                                  [](const QString&, const QString&) {
                                                      return QStringList{"CD_CODIGO   ", "CD_SERIE  "};
                                                  });
    EXPECT_EQ(duas.problema, "CD_CODIGO, CD_SERIE que você está tentando cadastrar já existe no sistema."_q);
}

TEST_F(ErroSistema, NullIntoARequiredColumnNamesTheColumn) {
    const QString erro = provoke("insert into TAB_TP_EQUIPAMENTO (ID_TP_EQUIPAMENTO) values (5)");
    ASSERT_TRUE(erro.startsWith("validation error for column")) << erro.toStdString();
    report(erro);
    // The name keeps the blank that follows the words in the engine's text.
    EXPECT_EQ(seen.problema, "O Campo  NM_TP_EQUIPAMENTO é obrigatório."_q);
    EXPECT_EQ(
        seen.solucao,
        "Para continuar, por favor, preencha o campo  NM_TP_EQUIPAMENTO. Ele é essencial para o cadastro."_q);
    EXPECT_TRUE(mail.calls.empty());
}

TEST_F(ErroSistema, TheClassicRequiredFieldTextsNameTheField) {
    report("Campo 'Descrição' deve ter um valor"_q);
    EXPECT_EQ(seen.problema, "O campo Descrição é obrigatório."_q);
    report("Field 'NM_X' must have a value");
    EXPECT_EQ(seen.problema, "O campo NM_X é obrigatório."_q);
}

TEST_F(ErroSistema, AReferencedRecordCannotBeDeleted) {
    db.exec("insert into TAB_TP_EQUIPAMENTO values (1, 'Caldeira')");
    db.exec("insert into CAD_EQUIPAMENTO values (1, 1)");
    const QString erro = provoke("delete from TAB_TP_EQUIPAMENTO where ID_TP_EQUIPAMENTO = 1");
    ASSERT_TRUE(erro.contains("violation of FOREIGN KEY constraint")) << erro.toStdString();
    report(erro);
    EXPECT_EQ(seen.problema, "Não é possível excluir este item."_q);
    EXPECT_EQ(seen.solucao,
              "Este registro não pode ser excluído porque está sendo usado na tabela de EQUIPAMENTO"_q);
    EXPECT_TRUE(seen.resultado.mostrarTodos);
    EXPECT_TRUE(mail.calls.empty());
}

TEST_F(ErroSistema, AnotherUsersEditIsExplainedWithoutMail) {
    writeSupportSettings();
    db.exec("insert into TAB_TP_EQUIPAMENTO values (1, 'Caldeira')");
    Database segunda;
    Transaction trSegunda(&segunda);
    segunda.setDatabaseName(db.path);
    segunda.connect();
    segunda.setDefaultTransaction(&trSegunda);
    Query q(&segunda);
    q.setSqlText("update TAB_TP_EQUIPAMENTO set NM_TP_EQUIPAMENTO = 'Torre' where ID_TP_EQUIPAMENTO = 1");
    q.execSQL();
    QString erro;
    try {
        db.tr.ensureActive();
        Query mine(&db.db);
        mine.setSqlText(
            "update TAB_TP_EQUIPAMENTO set NM_TP_EQUIPAMENTO = 'Bomba' where ID_TP_EQUIPAMENTO = 1");
        mine.execSQL();
    } catch (...) {
        erro = exceptionText(std::current_exception());
    }
    trSegunda.rollback();
    ASSERT_TRUE(erro.contains("update conflicts with concurrent update")) << erro.toStdString();
    report(erro);
    EXPECT_EQ(
        seen.problema,
        "Não foi possível salvar suas alterações porque outra pessoa já está editando este mesmo registro."_q);
    EXPECT_EQ(seen.solucao, "Aguarde alguns instantes e tente novamente.");
    EXPECT_TRUE(mail.calls.empty());
    // The classic text in any letter case.
    report("LOCK CONFLICT on no wait transaction");
    EXPECT_EQ(seen.resultado.regras, QStringList{"1"});
}

TEST_F(ErroSistema, ABrokenStatementIsTheEmptySearchField) {
    const QString erro = provoke("selec * from TAB_ESTADO");
    ASSERT_TRUE(erro.contains("-104")) << erro.toStdString();
    report(erro);
    EXPECT_EQ(seen.problema, "O campo de busca está vazio."_q);
    EXPECT_EQ(seen.solucao, "Para pesquisar, por favor, digite o que você procura no campo de busca."_q);
}

TEST_F(ErroSistema, DatasetOpenProducesNothingButWithAPeriodItIsReported) {
    report("Dataset open");
    report("JPEG error #41");
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(QFile::exists(logPath()));
    EXPECT_FALSE(QFile::exists(site.filePath("Sistema/erro.bmp")));
    report("Dataset open.");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(logLines().size(), 4);
}

TEST_F(ErroSistema, AccessViolationIsMailedAndRestartsTheProgram) {
    writeSupportSettings();
    procs.add(20, "nexmoroTalvena.exe");
    report("Access violation at address 00401234");
    EXPECT_EQ(mail.calls, (std::vector<QString>{"smtp-connect", "pop3", "smtp-send"}));
    ASSERT_EQ(mail.sent.size(), 1u);
    const MailMessage& m = mail.sent[0];
    EXPECT_EQ(m.subject, "Avisos do Sistema - CTV - v3.1 - Laboratorio Hidro");
    EXPECT_EQ(m.fromAddress, "alerta@teste.local");
    EXPECT_EQ(m.to, "alerta@teste.local");
    const QString restart =
        "Ocorreu uma falha inesperada e para proteger seus dados, a aplicação precisa ser reiniciada."_q;
    const QStringList expected{"Empresa: Laboratorio Hidro",
                               "Pasta do Servidor: " + site.filePath("Dados") + "/",
                               " ",
                               " ",
                               "Aviso do Sistema:",
                               "15/03/2024 10:30:00 - Usuário: Maria da Silva"_q,
                               " ",
                               "Versão: 3.1"_q,
                               "Versão BD: 57"_q,
                               " ",
                               "Telas Abertas: ",
                               "frmClassePrincipal - ",
                               " ",
                               "",
                               " ",
                               "Motivo do Aviso: ",
                               restart,
                               " ",
                               "Instruções ao Usuário: "_q,
                               kInstrucaoReiniciar,
                               " ",
                               "Detalhes Técnicos: "_q,
                               "Access violation at address 00401234"};
    EXPECT_EQ(m.bodyLines, expected);
    EXPECT_TRUE(seen.emailEnviado);
    EXPECT_EQ(seen.problema, kProblemaNaoTratado);
    EXPECT_EQ(seen.solucao, kInstrucaoReiniciar);
    EXPECT_EQ(seen.corSolucao, QColor(Qt::red));
    EXPECT_EQ(logLines().last(), kLinhaInicio + restart);
    EXPECT_FALSE(principal->IBSolution.connected());
    EXPECT_EQ(procs.terminated(), std::vector<qint64>{20});
    EXPECT_EQ(endRequests, 1);
}

TEST_F(ErroSistema, AnEarlierRuleHidesTheAccessViolation) {
    writeSupportSettings();
    report("lock conflict on no wait transaction; access violation");
    EXPECT_TRUE(seen.resultado.explicado);
    EXPECT_FALSE(seen.reiniciar);
    EXPECT_TRUE(mail.calls.empty());
}

TEST_F(ErroSistema, ALostConnectionIsExplainedAndEachRuleTestsTheTextLeftBefore) {
    // The engine's texts of a server that is gone (the server tests provoke them for real): one
    // clear report, no restart, the typed record kept on the screen.
    for (const char* texto :
         {"Error reading data from the connection.", "Error writing data to the connection.",
          "Unable to complete network request to host \"127.0.0.1\".\n-Failed to establish a connection.",
          "connection shutdown"}) {
        const ResultadoRegras perdida = AplicaRegrasErro(texto, {});
        EXPECT_EQ(perdida.regras, QStringList{"conexao"}) << texto;
        EXPECT_TRUE(perdida.explicado);
        EXPECT_FALSE(perdida.reiniciar);
        EXPECT_EQ(perdida.problema, kConexaoPerdida);
    }
    EXPECT_EQ(
        AplicaRegrasErro("Attempt to get information about an unprepared dynamic SQL statement.", {}).regras,
        QStringList{"10"});
    // Rule 2 has replaced the text: the lost connection in it is no longer seen.
    const ResultadoRegras antes =
        AplicaRegrasErro("Dataset not in edit or insert mode\nError reading data from the connection.", {});
    EXPECT_EQ(antes.regras, QStringList{"2"});
    EXPECT_TRUE(antes.explicado);
    EXPECT_FALSE(antes.reiniciar);
}

// The capture may show clients' data: only the owner can read it, and once support has the
// report by mail it leaves the machine's program folder.
TEST_F(ErroSistema, TheCaptureIsOwnerOnlyAndGoesOnceTheReportIsMailed) {
    const auto outros = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                        QFileDevice::WriteOther | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    const QString bmp = site.filePath("Sistema/erro.bmp");
    // An earlier capture readable by all is replaced, not reused.
    QFile velho(bmp);
    velho.open(QIODevice::WriteOnly);
    velho.write("antigo");
    velho.close();
    velho.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    QFileDevice::Permissions jpgPermissoes;
    beforeClose = [&](TfrmErroSistema&) { jpgPermissoes = QFileInfo(jpgWhileOpen).permissions(); };
    report("Dataset not in edit or insert mode"); // explained: not mailed
    ASSERT_TRUE(QFile::exists(bmp));
    EXPECT_EQ(QFileInfo(bmp).permissions() & outros, QFileDevice::Permissions());
    EXPECT_GT(QFileInfo(bmp).size(), 100);
    EXPECT_TRUE(jpgExistedWhileOpen);
    EXPECT_EQ(jpgPermissoes & outros, QFileDevice::Permissions());
    // A report that goes to support by mail: the capture is removed.
    writeSupportSettings();
    report("Access violation at address 00401234");
    EXPECT_TRUE(seen.emailEnviado);
    EXPECT_FALSE(QFile::exists(bmp));
}

TEST_F(ErroSistema, TheScreenIsCapturedWhileTheReportIsOpenAndItsJpegDeletedAfter) {
    report("Dataset open.");
    EXPECT_TRUE(jpgExistedWhileOpen);
    EXPECT_EQ(jpgWhileOpen, site.filePath("Sistema/nexmoroTalvena15032024103000.jpg"));
    EXPECT_FALSE(QFile::exists(jpgWhileOpen));
    const QImage bmp(site.filePath("Sistema/erro.bmp"));
    EXPECT_FALSE(bmp.isNull());
}

TEST_F(ErroSistema, ReportsAppendToTheLogOneLinePerReport) {
    report("primeiro\nsegunda linha");
    report("segundo");
    const QStringList lines = logLines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[3], kLinhaInicio + "primeiro segunda linha");
    EXPECT_EQ(lines[4], kLinhaInicio + "segundo");
}

TEST_F(ErroSistema, FailuresWhilePreparingAreOneLineEachAndNeverAReportOfTheirOwn) {
    writeSupportSettings();
    mail.connectResult = MailResult{MailFailure::Connect, "Could not connect to server", {}};
    // The log's place is taken by a folder; the database is gone.
    QDir(site.path()).mkpath("Dados/Avisos do Sistema.log");
    principal->IBSolution.disconnect();
    report("Access violation");
    EXPECT_EQ(shown, 1);
    ASSERT_EQ(seen.falhas.size(), 3) << seen.falhas.join("\n").toStdString();
    EXPECT_TRUE(seen.falhas[0].startsWith("Nome do usuário não lido do banco de dados: "_q));
    EXPECT_TRUE(seen.falhas[1].startsWith("Aviso não registrado no arquivo de log: "_q));
    EXPECT_EQ(
        seen.falhas[2],
        "E-mail ao suporte não enviado: servidor de e-mail inacessível (Could not connect to server)."_q);
    EXPECT_EQ(mail.calls, std::vector<QString>{"smtp-connect"});
    EXPECT_EQ(dlg.messageCount(), 0);
}

TEST_F(ErroSistema, AFailedPop3LoginOrSendIsToldInAMessageBox) {
    writeSupportSettings();
    mail.pop3Result = MailResult{MailFailure::Authentication, "Login denied", {}};
    report("Access violation");
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "Erro de autenticação no envio do email"_q);
    EXPECT_EQ(mail.calls, (std::vector<QString>{"smtp-connect", "pop3"}));
    EXPECT_FALSE(seen.emailEnviado);

    mail = ScriptedMailTransport{};
    mail.sendResult = MailResult{MailFailure::Refused, "RCPT failed: 550", {}};
    report("Access violation");
    EXPECT_EQ(dlg.lastMessage().text, "Não foi possível enviar o email para a nexmoro"_q);
    EXPECT_EQ(seen.falhas.last(),
              "E-mail ao suporte não enviado: o servidor de e-mail recusou a mensagem (RCPT failed: 550)."_q);
    // The report still opened with its texts.
    EXPECT_EQ(seen.problema, kProblemaNaoTratado);
}

// A value the program refused is the user's to correct: no rule needed, nothing mailed.
TEST_F(ErroSistema, ARefusedValueIsExplainedByItsOwnWordsWithoutMail) {
    writeSupportSettings();
    reportException(std::make_exception_ptr(
        ValidationError("O campo \"Data da Coleta\" não contém uma data válida: 31/02/2024."_q)));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(seen.problema, "O campo \"Data da Coleta\" não contém uma data válida: 31/02/2024."_q);
    EXPECT_EQ(seen.solucao, "Corrija a informação indicada e tente novamente."_q);
    EXPECT_TRUE(seen.resultado.explicado);
    EXPECT_TRUE(mail.calls.empty());
    // The same text raised as a fault is mailed as before.
    report("O campo \"Data da Coleta\" não contém uma data válida: 31/02/2024."_q);
    EXPECT_FALSE(seen.resultado.explicado);
    EXPECT_EQ(mail.calls.size(), 3u);
}

TEST_F(ErroSistema, APasswordOthersCanReadIsNotUsed) {
    writeSupportSettings(QString(), false);
    report("Access violation");
    EXPECT_TRUE(mail.calls.empty());
    ASSERT_EQ(seen.falhas.size(), 1);
    EXPECT_TRUE(seen.falhas[0].contains("pode ser lido por outros usuários"_q));
    QFile::remove(supportSettings());
    report("Access violation");
    EXPECT_TRUE(mail.calls.empty());
    EXPECT_TRUE(seen.falhas.last().contains("senha da conta de alerta não está configurada"));
}

TEST_F(ErroSistema, TheEscKeyClosesTheReport) {
    ScopedExibeJanela esc([this](QDialog& d) {
        ++shown;
        d.show();
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    report("Dataset open.");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(clock.sleeps(), std::vector<int>{500});
}

} // namespace
