#pragma once
// Task agenda shared by the users of the database (TAB_TAREFA): subject, details, the person
// the task refers to, the departments concerned, a warning day and user, and the moments at
// which someone started and concluded the task. A task is pending while it has no conclusion.
#include "screens/UnCadastroPadrao.h"
#include <QVariant>
#include <optional>

class DBCheckBox;
class DBDateEdit;
class DBEdit;
class DBLookupCombo;
class DBMemo;
class QAbstractButton;
class QLabel;
class QPushButton;
class QToolButton;

// "Minhas Tarefas Pendentes": unconcluded tasks that name the user as the user to warn.
QString sqlMinhasTarefasPendentes(int usuario);
// "Pendências do meu Departamento": every unconcluded task whose user to warn belongs to at
// least one of the task's departments (whoever is logged in). The user is looked up in a
// subquery, so each task is listed once and the text before "where" is the task table alone,
// as the toolbar's Todos and the filter builder expect.
extern const QString kSqlPendentesDepartamento;
// "Tarefas Pendentes": every unconcluded task.
extern const QString kSqlTarefasPendentes;

// Which state buttons the task allows (before the group's rights are applied).
struct BotoesTarefa {
    bool iniciar = false, concluir = false, cancelarInicio = false, cancelarConclusao = false,
         cancelarAviso = false;
};
// temTarefa: there is a current task (a new one included); inicio, conclusao: DH_INICIO and
// DH_CONCLUSAO; criador: ID_USUARIO_CRIACAO; usuario: the logged-in user.
BotoesTarefa regraBotoesTarefa(bool temTarefa, const QVariant& inicio, const QVariant& conclusao,
                               const QVariant& criador, int usuario);

// The three texts of the box "Operação Comercial:" for a linked sales document.
struct RotulosDocumento {
    QString natureza = QStringLiteral(" ");
    QString documento = QStringLiteral("Documento: ");
    QString emissao = QStringLiteral("Emissão: ");
};
// Reads the document on q's connection; without a document (key empty, 0 or less, or a key the
// database does not hold) the texts stay " ", "Documento: " and "Emissão: ".
RotulosDocumento rotulosDocumento(Query& q, const QVariant& idNfComercio);

class TfrmAgendaTarefas : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmAgendaTarefas(QWidget* parent = nullptr);

    // The screen's person list ("Ref. à Pessoa") and its query for the linked document.
    Query IBQ_Pessoas;
    Query IBQ_Documento;
    DataSource dsPessoas{"dsPessoas", this};

    DBEdit *DBEdit1 = nullptr, *DBEdit_DHCriacao = nullptr, *DBEdit_UsuCriacao = nullptr,
           *DBEdit_Assunto = nullptr, *DBEdit_DHInicio = nullptr, *DBEdit_UsuInicio = nullptr,
           *DBEdit_DHConclusao = nullptr, *DBEdit_UsuConclusao = nullptr;
    DBLookupCombo *lkPessoa = nullptr, *lkUsuarioAviso = nullptr;
    DBMemo* dbmDetalhe = nullptr;
    DBCheckBox *chkComercial = nullptr, *chkOperacional = nullptr, *chkAdministrativo = nullptr,
               *chkFinanceiro = nullptr, *chkCompras = nullptr;
    DBDateEdit* edtDataAviso = nullptr;
    QToolButton *BitBtn4 = nullptr, *btnCancelarAviso = nullptr, *BtnCancelarInicio = nullptr,
                *BtnCancelarConclusao = nullptr;
    QPushButton *BtnTarefaIniciada = nullptr, *BtnTarefaConcluida = nullptr, *BtnTarefaPendente = nullptr,
                *BtnPendentesDepto = nullptr, *BtnTodasPendentes = nullptr, *btnFechar = nullptr;
    QLabel *lblNatureza = nullptr, *lblDocumento = nullptr, *lblEmissao = nullptr;

    void FormShow() override;
    void FormActivate() override;

    void HabilitaBotoes();
    void DBEdit_UsuCriacaoChange();
    void DBEdit1Change();
    void DBEdit_DHInicioChange();
    void DBEdit_DHConclusaoChange();
    void BtnTarefaIniciadaClick();
    void BtnTarefaConcluidaClick();
    void BtnCancelarInicioClick();
    void BtnCancelarConclusaoClick();
    void btnCancelarAvisoClick();
    void BtnTarefaPendenteClick();
    void BtnPendentesDeptoClick();
    void BtnTodasPendentesClick();
    void lkPessoaChange();
    void BitBtn4Click();
    void btnFecharClick();
    // Puts the task in edit state when it is in neither edit nor insert state.
    void Edicao();

private:
    void abreLista(const QString& sql);
    void regraPessoa();
    // The labels of the task's sales document; deNovo reads it even when it is the one shown.
    void mostraDocumento(bool deNovo = false);
    std::optional<QVariant> m_documentoMostrado;
    bool criadorDaTarefa() const;
    DataSet* tarefa() const;
};
