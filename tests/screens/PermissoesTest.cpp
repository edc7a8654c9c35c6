// Access permissions on a real embedded database: which screens and buttons a group may use,
// and the registration of screens and their buttons in the permission tables.
#include "DatabaseSuite.h"
#include "data/Query.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "screens/UnPermissoes.h"
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const char* kScript = R"(
create table sis_gr_usuario (id_gr_usuario integer not null primary key, nm_gr_usuario varchar(30) not null);
create table sis_formulario (id_form integer not null primary key, nm_form varchar(60) not null,
  ds_caption varchar(150), id_aplicativo integer not null, st_modificado char(1));
create table sis_componente (id_componente integer not null primary key, id_form integer not null,
  nm_componente varchar(60) not null, nm_classe varchar(60), ds_caption varchar(150), st_ativo char(1),
  st_modificado char(1));
create table sis_evento_autorizado (id_evento_autorizado integer not null primary key,
  id_gr_usuario integer not null, id_componente integer not null references sis_componente(id_componente));
)";

// A screen with its buttons, as a derived screen builds it.
struct Screen {
    explicit Screen(const QString& name, const QString& caption) {
        w.setObjectName(name);
        w.setWindowTitle(caption);
    }
    QPushButton* push(const QString& name, const QString& text, const QString& hint = QString()) {
        auto* b = new QPushButton(text, &w);
        b->setObjectName(name);
        b->setToolTip(hint);
        return b;
    }
    QToolButton* tool(const QString& name, const QString& text, const QString& hint = QString()) {
        auto* b = new QToolButton(&w);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(hint);
        return b;
    }
    QWidget w;
};

class Permissoes : public DatabaseSuite<Permissoes> {
public:
    static QString script() { return kScript; }

protected:
    void SetUp() override {
        clearTables({"sis_evento_autorizado", "sis_componente", "sis_formulario", "sis_gr_usuario"});
        gen = std::make_unique<Query>(&s_db->db, nullptr, "IBQ_Gen");
    }
    // Rows of a select as "a|b|c" texts.
    static QStringList rows(const QString& select) {
        Query q(&s_db->db);
        q.setSqlText(select);
        q.open();
        q.fetchAll();
        QStringList out;
        for (q.first(); !q.eof(); q.next()) {
            QStringList cols;
            for (int i = 0; i < q.fieldCount(); ++i)
                cols << q.field(i)->asString().trimmed();
            out << cols.join('|');
        }
        return out;
    }
    static QStringList components(int form) {
        return rows(
            QString("select id_componente, nm_componente, nm_classe, ds_caption, st_ativo, st_modificado "
                    "from sis_componente where id_form = %1 order by id_componente desc")
                .arg(form));
    }
    // Form 1 "frmTela" of this application with buttons 10 btnA, 11 btnB and the record rights.
    void grantOneButton() {
        s_db->exec("insert into sis_formulario values (1, 'frmTela', 'Tela', 3, 'S')");
        s_db->exec("insert into sis_componente values (10, 1, 'btnA', 'TBitBtn', 'A', 'S', 'S')");
        s_db->exec("insert into sis_componente values (11, 1, 'btnB', 'TBitBtn', 'B', 'S', 'S')");
        s_db->exec(
            "insert into sis_componente values (12, 1, 'cpfIncluir', 'cpfIncluir', 'Incluir', 'S', 'S')");
        s_db->exec("insert into sis_evento_autorizado values (100, 5, 10)");
        s_db->exec("insert into sis_evento_autorizado values (101, 5, 12)");
    }
    std::unique_ptr<Query> gen;
};

// ---------------------------------------------------------------- questions

TEST_F(Permissoes, AGroupHoldingOneButtonOpensTheScreenAndTheOthersAreDisabled) {
    grantOneButton();
    ScriptedDialogs dlg;
    ScopedDialogs use(dlg);
    EXPECT_TRUE(VerificaPermissoes(*gen, 5, "frmTela", "Tela"));
    EXPECT_EQ(dlg.messageCount(), 0);

    Screen s("frmTela", "Tela");
    QPushButton* a = s.push("btnA", "A");
    QPushButton* b = s.push("btnB", "B");
    ApplyButtonRights(*gen, 5, &s.w, true);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_EQ(a->property("tag").toInt(), 1);
    EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(b->property("tag").isValid());

    EXPECT_TRUE(RetornaDireito(*gen, 5, "frmTela", "cpfIncluir"));
    EXPECT_FALSE(RetornaDireito(*gen, 5, "frmTela", "cpfExcluir"));
}

TEST_F(Permissoes, AGroupWithoutComponentsIsRefusedWithTheMessage) {
    grantOneButton();
    ScriptedDialogs dlg;
    ScopedDialogs use(dlg);
    EXPECT_FALSE(VerificaPermissoes(*gen, 6, "frmTela", "Cadastro de Tela"));
    ASSERT_EQ(dlg.messageCount(), 1);
    EXPECT_EQ(dlg.lastMessage().text, "Usuário sem permissão para acessar Cadastro de Tela");
    EXPECT_EQ(dlg.lastMessage().caption, "Aviso do Sistema");
    EXPECT_EQ(dlg.lastMessage().icon, MsgIcon::Warning);
    EXPECT_EQ(dlg.lastMessage().buttons, MsgButtons::Ok);
}

TEST_F(Permissoes, GrantsOfAnotherApplicationDoNotCountExceptInTheStandardScreenQuery) {
    s_db->exec("insert into sis_formulario values (2, 'frmTela', 'Tela', 2, 'S')");
    s_db->exec("insert into sis_componente values (20, 2, 'btnA', 'TBitBtn', 'A', 'S', 'S')");
    s_db->exec("insert into sis_evento_autorizado values (200, 5, 20)");
    EXPECT_FALSE(VerificaUsuario(*gen, 5, "frmTela"));
    EXPECT_FALSE(DireitoBotao(*gen, 5, "frmTela", "btnA", true));
    EXPECT_TRUE(DireitoBotao(*gen, 5, "frmTela", "btnA", false));
    // The screen reads all its buttons' rights at once, with the same rules: the application,
    // and names compared exactly (a grant of "BTNB" is not one of "btnB").
    s_db->exec("insert into sis_componente values (21, 2, 'BTNB', 'TBitBtn', 'B', 'S', 'S')");
    s_db->exec("insert into sis_evento_autorizado values (201, 5, 21)");
    for (const bool comAplicativo : {true, false}) {
        Screen s("frmTela", "Tela");
        QPushButton* a = s.push("btnA", "A");
        QPushButton* b = s.push("btnB", "B");
        ApplyButtonRights(*gen, 5, &s.w, comAplicativo);
        EXPECT_EQ(a->isEnabled(), !comAplicativo);
        EXPECT_FALSE(b->isEnabled());
    }
}

TEST_F(Permissoes, GroupOneGetsEveryButtonButStillNeedsAComponentToOpen) {
    grantOneButton();
    ScriptedDialogs dlg;
    ScopedDialogs use(dlg);
    EXPECT_FALSE(VerificaPermissoes(*gen, 1, "frmTela", "Tela"));
    Screen s("frmTela", "Tela");
    QPushButton* a = s.push("btnA", "A");
    QToolButton* t = s.tool("sbtNovo", "Novo");
    ApplyButtonRights(*gen, 1, &s.w, true);
    EXPECT_TRUE(a->isEnabled());
    EXPECT_TRUE(t->isEnabled());
    EXPECT_EQ(a->property("tag").toInt(), 1);
    EXPECT_EQ(t->property("tag").toInt(), 1);
}

TEST_F(Permissoes, GroupMinusOneIsNeverRefusedButItsButtonsGoThroughTheQuery) {
    grantOneButton();
    s_db->exec("insert into sis_evento_autorizado values (102, -1, 11)");
    ScriptedDialogs dlg;
    ScopedDialogs use(dlg);
    EXPECT_TRUE(VerificaPermissoes(*gen, -1, "frmNenhuma", "Nenhuma"));
    EXPECT_EQ(dlg.messageCount(), 0);
    EXPECT_TRUE(EstadoBotao(*gen, "-1", "frmNenhuma", "btnX"));
    EXPECT_TRUE(EstadoBotao(*gen, "5", "frmTela", "btnA"));
    EXPECT_FALSE(EstadoBotao(*gen, "5", "frmTela", "btnB"));

    Screen s("frmTela", "Tela");
    QPushButton* a = s.push("btnA", "A");
    QPushButton* b = s.push("btnB", "B");
    ApplyButtonRights(*gen, -1, &s.w, true);
    EXPECT_FALSE(a->isEnabled());
    EXPECT_TRUE(b->isEnabled());
}

TEST_F(Permissoes, EstadoBotaoRefusesAGroupThatIsNotANumber) {
    try {
        EstadoBotao(*gen, "5 or 1=1", "frmTela", "btnA");
        FAIL() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "'5 or 1=1' não é um valor inteiro válido");
    }
}

TEST_F(Permissoes, QtInternalButtonsAreNotTheScreens) {
    Screen s("frmTela", "Tela");
    s.push("btnA", "A");
    s.push("", "sem nome");
    s.tool("qt_toolbar_ext_button", "");
    const QList<QAbstractButton*> botoes = BotoesDaTela(&s.w);
    ASSERT_EQ(botoes.size(), 1);
    EXPECT_EQ(botoes[0]->objectName(), "btnA");
}

// ---------------------------------------------------------------- registration

TEST(RetiraCaracteresEspeciais, DropsAmpersandsAndApostrophes) {
    EXPECT_EQ(RetiraCaracteresEspeciais("&Salvar d'água"), "Salvar dágua");
    EXPECT_EQ(NomeRegistroForm("frmTipoEquipamento_1"), "frmTipoEquipamento");
    EXPECT_EQ(NomeRegistroForm("frmTipoEquipamento_12"), "frmTipoEquipamento");
    EXPECT_EQ(NomeRegistroForm("frm_Cadastro_Analise"), "frm_Cadastro_Analise");
}

TEST_F(Permissoes, FirstRegistrationCountsKeysDownAndCleansCaptions) {
    Screen s("frmTipoEquipamento", "Tipo de Equipamento - Cadastro");
    s.push("btnGravar", " &Gravar ");
    s.tool("sbtPessoa", "...", "Pesquisar Pessoa");
    s.push("btnVazio", "", "");
    s.tool("sbtSoHint", "", "Limpar o d'ado");
    s.push("btnAspas", "D'água");
    IncluiForm(*gen, &s.w);
    IncluiEventos(*gen, &s.w, true);

    // The caption is cut before its first "-".
    EXPECT_EQ(rows("select id_form, nm_form, ds_caption, id_aplicativo, st_modificado from sis_formulario"),
              QStringList{"-1|frmTipoEquipamento|Tipo de Equipamento|3|S"});
    const QStringList want{"-1|btnGravar|TBitBtn|Gravar|S|S",
                           "-2|sbtPessoa|TSpeedButton|Pesquisar Pessoa|S|S",
                           "-3|sbtSoHint|TSpeedButton|Limpar o dado|S|S",
                           "-4|btnAspas|TBitBtn|Dágua|S|S",
                           "-5|cpfIncluir|cpfIncluir|Incluir|S|S",
                           "-6|cpfAlterar|cpfAlterar|Alterar|S|S",
                           "-7|cpfExcluir|cpfExcluir|Excluir|S|S",
                           "-8|cpfConsulta|cpfConsulta|Consulta|S|S",
                           "-9|cpfExportaExcel|cpfExportaExcel|Exportar para Excel|S|S"};
    EXPECT_EQ(components(-1), want);

    // The next screen gets the next key; a standard screen has no record rights.
    Screen other("frmPesquisarAnalises", "Pesquisar Análises");
    other.push("btnPesquisar", "&Pesquisar");
    IncluiForm(*gen, &other.w);
    IncluiEventos(*gen, &other.w, false);
    EXPECT_EQ(
        s_db->scalar("select id_form from sis_formulario where nm_form = 'frmPesquisarAnalises'").toInt(),
        -2);
    EXPECT_EQ(components(-2), QStringList{"-10|btnPesquisar|TBitBtn|Pesquisar|S|S"});
}

TEST_F(Permissoes, ReRegistrationUpdatesAndDeletesButtonsThatAreGone) {
    Screen s("frmTipoAnalise", "Tipo de Análise");
    s.push("btnUm", "Um");
    QPushButton* dois = s.push("btnDois", "Dois");
    IncluiForm(*gen, &s.w);
    IncluiEventos(*gen, &s.w, false);
    ASSERT_EQ(components(-1).size(), 2);

    delete dois;
    s.w.setWindowTitle("Tipos de Análise - Laboratório");
    s.push("btnTres", "Três");
    IncluiForm(*gen, &s.w);
    IncluiEventos(*gen, &s.w, false);
    // The found form keeps its key; its caption is cut before " -".
    EXPECT_EQ(rows("select id_form, ds_caption from sis_formulario"), QStringList{"-1|Tipos de Análise"});
    EXPECT_EQ(components(-1), (QStringList{"-1|btnUm|TBitBtn|Um|S|S", "-3|btnTres|TBitBtn|Três|S|S"}));
}

TEST_F(Permissoes, AButtonStillGrantedStaysInactiveWhenItsDeleteFails) {
    Screen s("frmTipoAnalise", "Tipo de Análise");
    s.push("btnUm", "Um");
    QPushButton* dois = s.push("btnDois", "Dois");
    IncluiForm(*gen, &s.w);
    IncluiEventos(*gen, &s.w, false);
    s_db->exec("insert into sis_evento_autorizado values (1, 5, -2)");

    delete dois;
    IncluiForm(*gen, &s.w);
    EXPECT_NO_THROW(IncluiEventos(*gen, &s.w, false));
    EXPECT_EQ(components(-1), (QStringList{"-1|btnUm|TBitBtn|Um|S|S", "-2|btnDois|TBitBtn|Dois|N|S"}));
    // The marks are committed: another transaction sees them.
    Transaction other(&s_db->db);
    Query q(&s_db->db, &other);
    q.setSqlText("select count(*) as n from sis_componente where st_ativo = 'N'");
    q.open();
    EXPECT_EQ(q.fieldByName("n")->asInteger(), 1);
}

TEST_F(Permissoes, ApostrophesInNamesAndCaptionsDoNotBreakTheStatements) {
    Screen s("frmD'Agua_1", "Análise d'Água");
    s.push("btnO'Neil", "O'Neil");
    IncluiForm(*gen, &s.w);
    IncluiEventos(*gen, &s.w, false);
    EXPECT_EQ(rows("select id_form, nm_form, ds_caption from sis_formulario"),
              QStringList{"-1|frmD'Agua|Análise dÁgua"});
    EXPECT_EQ(components(-1), QStringList{"-1|btnO'Neil|TBitBtn|ONeil|S|S"});
    // A second pass finds them again instead of inserting twice.
    IncluiForm(*gen, &s.w);
    IncluiEventos(*gen, &s.w, false);
    EXPECT_EQ(s_db->scalar("select count(*) from sis_formulario").toInt(), 1);
    EXPECT_EQ(components(-1), QStringList{"-1|btnO'Neil|TBitBtn|ONeil|S|S"});

    s_db->exec("insert into sis_evento_autorizado values (1, 5, -1)");
    EXPECT_TRUE(VerificaUsuario(*gen, 5, "frmD'Agua"));
    EXPECT_TRUE(DireitoBotao(*gen, 5, "frmD'Agua", "btnO'Neil"));
}

TEST_F(Permissoes, ButtonsOfAScreenWithALongSuffixLandOnItsOwnForm) {
    Screen s("frm_Cadastro_Analise", "Cadastro");
    s.push("btnUm", "Um");
    IncluiForm(*gen, &s.w);
    IncluiEventos(*gen, &s.w, false);
    EXPECT_EQ(rows("select id_form, nm_form from sis_formulario"), QStringList{"-1|frm_Cadastro_Analise"});
    EXPECT_EQ(components(-1), QStringList{"-1|btnUm|TBitBtn|Um|S|S"});
    EXPECT_EQ(s_db->scalar("select count(*) from sis_componente where id_form <> -1").toInt(), 0);
}

TEST_F(Permissoes, ComponentsOfAnUnregisteredFormAreLeftAlone) {
    s_db->exec("insert into sis_componente values (5, 0, 'btnOutro', 'TBitBtn', 'Outro', 'N', 'S')");
    Screen s("frmNaoRegistrada", "Não registrada");
    s.push("btnUm", "Um");
    IncluiEventos(*gen, &s.w, true);
    EXPECT_EQ(rows("select id_componente, st_ativo from sis_componente"), QStringList{"5|N"});
    EXPECT_EQ(RetornaIDComponente(&s_db->db, 0, "btnOutro"), 5);
    EXPECT_EQ(RetornaIDComponente(&s_db->db, 0, "btnNada"), 0);
}

} // namespace
