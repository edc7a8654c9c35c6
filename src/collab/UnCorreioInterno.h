#pragma once
// Internal mail between the users of the shared database (SIS_COMUNICACAO): a message stays
// unread until its addressee reads it with "Ler Mensagem"; until then only its sender sees its
// text and may change or delete it, and once read nobody changes it.
#include "screens/UnCadastroPadrao.h"
#include <QVariant>

class DBEdit;
class DBLookupCombo;
class DBMemo;
class QPushButton;

// The three lists of the screen; :usuario is the logged-in user.
inline const QString kSqlMensagensNaoLidas =
    QStringLiteral(" select * from sis_comunicacao  where id_destinatario = :usuario  and dt_receb is null  "
                   "order by dt_comunicacao DESC, ho_comunicacao DESC");
inline const QString kSqlMensagensRecebidas = QStringLiteral(
    " select * from sis_comunicacao  where id_destinatario = :usuario  order by dt_comunicacao "
    "DESC, ho_comunicacao DESC");
inline const QString kSqlMensagensEnviadas =
    QStringLiteral(" select * from sis_comunicacao  where id_remetente = :usuario  order by dt_comunicacao "
                   "DESC, ho_comunicacao DESC");

// What the logged-in user may see and do with the current message.
struct RegraMensagem {
    bool mostraTexto = false; // the text memo shows the message's text
    bool podeAlterar = false; // an edit of the record is allowed (the sender, while unread)
    bool podeLer = false;     // "Ler Mensagem"
    bool podeImprimir = false;
    bool podeExcluir = false; // the toolbar's Excluir
};
// usuario: the logged-in user; remetente, destinatario: the message's users (null while a new
// message has none); lida: the reading date is set; inserindo: a new message being written.
RegraMensagem regraMensagem(int usuario, const QVariant& remetente, const QVariant& destinatario, bool lida,
                            bool inserindo);

// The stored state of a message, read again from the database: another workstation may have
// read or deleted it since the list was opened.
enum class SituacaoMensagem { Inexistente, NaoLida, Lida };
SituacaoMensagem situacaoNoBanco(Database* db, Transaction* tr, const QVariant& idComunicacao);

class TfrmCorreioInterno : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmCorreioInterno(QWidget* parent = nullptr);
    ~TfrmCorreioInterno() override;

    DBEdit *DBEdit1 = nullptr, *DBEdit2 = nullptr, *DBEdit3 = nullptr, *DBEdit4 = nullptr, *DBEdit5 = nullptr,
           *DBEdit6 = nullptr;
    DBLookupCombo* RxDBLookupCombo1 = nullptr;
    DBMemo* dbmMensagem = nullptr;
    QPushButton *btnLerMensagem = nullptr, *btnImprimir = nullptr, *btnMensagemRecebida = nullptr,
                *BitBtn4 = nullptr, *BitBtn5 = nullptr, *BitBtn2 = nullptr;
    // "S" while the reading action writes the record.
    QString editar;

    void FormShow() override;
    void FormActivate() override;
    bool FormClose() override;

    void BitBtn2Click();
    void btnImprimirClick();
    void BitBtn4Click();
    void btnLerMensagemClick();
    void BitBtn5Click();
    void btnMensagemRecebidaClick();
    void DBEdit3Exit();
    void RxDBLookupCombo1Exit();
    void dsPadraoDataChange();
    void dsPadraoStateChange();

    // The rule for the current record of the screen.
    RegraMensagem regraAtual() const;
    // Only the sender deletes, and only while the message is unread.
    bool mayDeleteCurrent() const override;

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void abreLista(const QString& sql);
    void aplicaRegra();
    void instalaGuardas(bool instala);
    void guardaAntesDeGravar(DataSet& ds);
    void guardaAntesDeExcluir(DataSet& ds);
    bool m_guardas = false;
};
