#include "screens/UnParametroRelatorio.h"
#include "platform/IniFile.h"
#include "screens/UnPermissoes.h"
#include "screens/UnPrincipal.h"
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TfrmParametroRelatorio::TfrmParametroRelatorio(const QString& name, QWidget* parent)
    : ScreenWindow(ScreenKind::Report, name, parent) {
    setWindowTitle("Relatório");
    auto* lay = new QVBoxLayout(this);
    corpo = new QWidget(this);
    corpo->setObjectName("corpo");
    auto* nome = new QHBoxLayout;
    auto* lbl = new QLabel("Nome do Relatório", this);
    mskNomeRelatorio = new QLineEdit(this);
    mskNomeRelatorio->setObjectName("mskNomeRelatorio");
    mskNomeRelatorio->setFocusPolicy(Qt::ClickFocus);
    nome->addWidget(lbl);
    nome->addWidget(mskNomeRelatorio, 1);
    lay->addWidget(corpo, 1);
    lay->addLayout(nome);
    auto* linha = new QFrame(this);
    linha->setFrameShape(QFrame::HLine);
    lay->addWidget(linha);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    btnConfirmar = new QPushButton("&Imprimir", this);
    btnConfirmar->setObjectName("btnConfirmar");
    btnFechar = new QPushButton("&Fechar", this);
    btnFechar->setObjectName("btnFechar");
    botoes->addWidget(btnConfirmar);
    botoes->addWidget(btnFechar);
    lay->addLayout(botoes);
    setTabOrder(btnConfirmar, btnFechar);
    connect(btnFechar, &QPushButton::clicked, this, [this] { btnFecharClick(); });
    resize(375, 167);
}

void TfrmParametroRelatorio::FormShow() {
    TfrmClassePrincipal* p = principal();
    if (!verificaAcesso()) return;
    // The stored position is where the screen opens (the other bases do the same).
    lePosicao(0);
    ApplyButtonRights(p->IBQ_Gen, p->grupousuario, this, true);
}

void TfrmParametroRelatorio::FormActivate() {
    TfrmClassePrincipal* p = principal();
    if (PermissaoAcesso && p && p->codusuario == -2) p->IncluiObjetos();
}

bool TfrmParametroRelatorio::FormClose() {
    TfrmClassePrincipal* p = principal();
    if (!p) return true;
    if (fechaSemAcesso()) return true;
    liberaPrincipal(true);
    gravaPosicao(0);
    return true;
}

void TfrmParametroRelatorio::btnFecharClick() {
    fecha();
}

void TfrmParametroRelatorio::GravaCFG(int) {
    IniFile(settingsFile()).writeString(objectName(), "Ficha", geometria(false));
}

void TfrmParametroRelatorio::LeCFG(int) {
    IniFile ini(settingsFile());
    if (!ini.exists()) {
        ini.createEmpty();
        GravaCFG();
    }
    QString v = ini.readString(objectName(), "Ficha", "");
    if (v.section(',', 0, 0).trimmed().isEmpty()) {
        GravaCFG();
        v = ini.readString(objectName(), "Ficha", "");
    }
    setWindowGeometry(
        QRect(campo("Ficha", v, 2), campo("Ficha", v, 1), campo("Ficha", v, 4), campo("Ficha", v, 3)));
}
