// The demo site's permission rows are those the registration pass writes for each screen: for
// every registered screen, the buttons the catalog registers are exactly the buttons that
// carry rights on the real screen, with their captions and classes.
#include "FrameworkFixture.h"
#include "app/Telas.h"
#include "screens/ScreenRegistry.h"
#include "screens/ScreenWindow.h"
#include "screens/UnPermissoes.h"
#include "sitegen/DemoCatalog.h"
#include <QPushButton>
#include <set>

namespace {

class DemoCatalogScreensTest : public FrameworkTest {};

TEST_F(DemoCatalogScreensTest, EveryRegisteredScreenHasItsButtonsInTheCatalog) {
    registraTodasAsTelas();
    for (const TelaRegistrada& r : telasRegistradas()) {
        if (r.nome == "frmTelaTeste") continue; // a test's own screen
        const demo::Screen* cat = nullptr;
        for (const demo::Screen& s : demo::screens())
            if (r.nome.compare(s.nome, Qt::CaseInsensitive) == 0) cat = &s;
        ASSERT_TRUE(cat) << "the demo catalog lacks the screen " << r.nome.toStdString();
        std::unique_ptr<ScreenWindow> tela(r.cria());
        std::set<std::string> real, catalogo;
        for (QAbstractButton* b : BotoesDaTela(tela.get())) {
            QString caption = b->text().remove('&').trimmed();
            if (caption.isEmpty() || caption == "...") caption = b->toolTip();
            if (caption.trimmed().isEmpty()) continue;
            const char* classe = qobject_cast<QPushButton*>(b) ? "TBitBtn" : "TSpeedButton";
            real.insert((b->objectName() + " " + classe + " " + caption).toStdString());
        }
        for (const demo::Button& b : cat->botoes)
            catalogo.insert(
                QString("%1 %2 %3").arg(b.nome, b.classe, QString::fromUtf8(b.caption)).toStdString());
        EXPECT_EQ(real, catalogo) << r.nome.toStdString();
    }
}

} // namespace
