#pragma once
// The sort builder: orders the active list by up to three fields, each ascending or
// descending, by replacing the ordering part of the list's statement and reopening it.
#include <QDialog>
#include <QList>
#include <QPair>

class CampoCombo;
class QCheckBox;
class QPushButton;
class Query;
class DataSet;
class TfrmClassePrincipal;

// The statement with its ordering replaced: `colunas` are (column, descending) in row order;
// `semCampos` says all three field boxes were empty (the list then loses its ordering).
QString MontaOrdenacaoSQL(const QString& sql, bool semCampos, const QList<QPair<QString, bool>>& colunas);

class TfrmOrdena : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOrdena(TfrmClassePrincipal* principal, QWidget* parent = nullptr);

    // Opens the window modally on the main window's active list.
    static void executa(TfrmClassePrincipal* principal);

    CampoCombo *cb1, *cb2, *cb3;
    QCheckBox *ckbOrdem1, *ckbOrdem2, *ckbOrdem3;
    QPushButton *bttOrdena, *bttAplicar, *BitBtn1;

    CampoCombo* caixa(int linha) const;
    QCheckBox* inversa(int linha) const;

    void FormShow();
    void MontaCombos();
    void cbChange(int linha);
    // Row `linha` chose the field its box shows: another row holding it is emptied.
    void escolheCampo(int linha);
    void MontaQuery();
    void bttAplicarClick() { MontaQuery(); }
    void bttOrdenaClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* e) override;

private:
    DataSet* dataSet() const;
    TfrmClassePrincipal* m_principal;
    bool m_mostrada = false;
};
