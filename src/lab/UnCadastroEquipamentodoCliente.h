#pragma once
// Client equipment (TAB_EQUIPAMENTO_CLI): each piece of equipment a client owns, its type, the
// commercial proposal that covers it and its budget situation. The client is chosen through
// the person search; the situation rules are those of the data module.
#include "screens/UnCadastroPadrao.h"

class DBDateEdit;
class DBEdit;
class DBLookupCombo;
class DBMemo;
class QToolButton;

class TfrmCadastroEquipamentodoCliente : public TfrmCadastroPadrao {
    Q_OBJECT
public:
    explicit TfrmCadastroEquipamentodoCliente(QWidget* parent = nullptr);
    void FormShow() override;
    void FormActivate() override;

    QToolButton* btnPesquisaPessoa = nullptr;
    DBEdit* edtCliente = nullptr; // the client's search name, read-only
    DBLookupCombo *lkTipoEquipamento = nullptr, *lkSituacao = nullptr;
    DBEdit *edtNomeEquipamento = nullptr, *edtNoProposta = nullptr, *edtProdutos = nullptr;
    DBDateEdit *dtProposta = nullptr, *dtSituacao = nullptr;
    DBMemo* mmObsSituacao = nullptr;

    void btnPesquisaPessoaClick();
    // The type of an equipment that was already sampled is kept: its analyses were made for it.
    void atualizaBloqueioTipo();
    // Whether the equipment of that key appears in an analysis.
    bool equipamentoAnalisado(const QVariant& idEquipamento) const;
};
