#pragma once
// A logged-in main window with a list screen over a table holding every kind of column the
// list tools know (text, integer, fixed-point, floating-point, date, date-time, time, flag, memo,
// and two lookups), and the helpers that drive the tools' modal windows with key and mouse
// events.
#include "FrameworkFixture.h"
#include "Gestos.h"
#include "QtPrinters.h"
#include "screens/UnCadastroPadrao.h"
#include "screens/controls/DBEdit.h"
#include "screens/controls/DBGrid.h"
#include "search/CampoCombo.h"
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

// The list screen of the tests.
class TfrmAmostraTeste : public TfrmCadastroPadrao {
public:
    TfrmAmostraTeste(Database* db, const QString& sql, const QString& caption, bool comLookups = true)
        : TfrmCadastroPadrao("frmAmostraTeste", &qAmostra) {
        setWindowTitle(caption);
        qAmostra.setName("qAmostra");
        qAmostra.setDatabase(db);
        qAmostra.setSqlText(sql);
        auto rotulo = [this](const char* campo, const char* texto) -> FieldDef& {
            FieldDef& d = qAmostra.defineField(campo);
            d.displayLabel = QString::fromUtf8(texto);
            return d;
        };
        rotulo("CD_AMOSTRA", "Código");
        rotulo("NM_AMOSTRA", "Nome");
        rotulo("NO_FRASCOS", "Frascos");
        rotulo("VL_MEDIDA", "Medida").displayFormat = "#,##0.00";
        rotulo("VL_FATOR", "Fator");
        rotulo("DT_COLETA", "Coleta");
        rotulo("DH_REGISTRO", "Registro");
        rotulo("HR_COLETA", "Hora");
        rotulo("ST_URGENTE", "Urgente").tag = 1;
        rotulo("ID_CLIENTE", "Cliente");
        rotulo("SG_ESTADO", "UF");
        rotulo("TX_OBS", "Observação");
        if (TdmLookUp* lk = dmLookUp(); lk && comLookups) {
            qAmostra.defineLookupField("lkCliente", "Cliente", 40, "ID_CLIENTE", &lk->IBQ_Pessoas,
                                       "ID_PESSOA", "NM_PESQUISA");
            qAmostra.defineLookupField("lkEstado", "Estado", 30, "SG_ESTADO", &lk->IBQ_Estado, "SG_ESTADO",
                                       "NM_ESTADO");
        }
        montaGrade({{"CD_AMOSTRA", "Código", 60},
                    {"NM_AMOSTRA", "Nome", 160},
                    {"lkCliente", "Cliente", 120},
                    {"NO_FRASCOS", "Frascos", 50},
                    {"VL_MEDIDA", "Medida", 70},
                    {"DT_COLETA", "Coleta", 80},
                    {"lkEstado", "Estado", 100},
                    {"TX_OBS", "Observação", 200}});
        edtNome = new DBEdit(pagFicha, &dsPadrao, "NM_AMOSTRA", "edtNome");
        edtNome->setGeometry(8, 8, 300, 22);
    }
    Query qAmostra;
    DBEdit* edtNome = nullptr;
};

class SearchTest : public FrameworkTest, protected Gestos {
protected:
    static void SetUpTestSuite() {
        FrameworkTest::SetUpTestSuite();
        s_db->exec(
            "create table TST_AMOSTRA (ID_AMOSTRA integer not null primary key, CD_AMOSTRA varchar(15), "
            "NM_AMOSTRA varchar(40), NO_FRASCOS integer, VL_MEDIDA numeric(15,2), VL_FATOR double "
            "precision, DT_COLETA date, DH_REGISTRO timestamp, HR_COLETA time, ST_URGENTE char(1), "
            "ID_CLIENTE integer, SG_ESTADO char(2), TX_OBS blob sub_type text)");
        for (auto [id, nome] : {std::pair{10, "Cliente Alfa"}, {11, "Beta D'Água"}, {12, "Gama"}})
            s_db->exec(QString("insert into cad_pessoa (id_pessoa, cd_pessoa, nm_pesquisa, nm_pessoa) values "
                               "(%1, '%1', '%2', '%2')")
                           .arg(id)
                           .arg(QString::fromUtf8(nome).replace("'", "''")));
        s_db->exec("insert into tab_estado values ('SP', 'São Paulo')");
        s_db->exec("insert into tab_estado values ('RJ', 'Rio de Janeiro')");
        s_db->exec("insert into tab_estado values ('O''', 'Estado com aspa')");
        const QString obs300 = QString(300, 'x');
        const char* linhas[] = {
            "1, '00042', 'Água de caldeira', 3, 1234.5, 0.5, '2024-03-05', '2024-03-05 08:30:00', "
            "'08:30:00', 'S', "
            "10, 'SP', '%1'",
            "2, '00043', 'Óleo hidráulico', 0, 0, null, '2024-03-20', null, null, 'N', 11, 'RJ', 'ab obs'",
            "3, '00044', 'D''Avila torre', 5, 2.5, 1.25, '2024-04-02', null, null, null, 10, 'SP', null",
            "4, '00050', 'abrasivo', null, null, null, null, null, null, null, null, null, null",
            "5, '00051', 'Amostra cinco', 12, -3, null, '2024-03-31', null, null, 'S', 12, 'O''', 'abc'",
        };
        for (const char* l : linhas)
            s_db->exec("insert into TST_AMOSTRA values (" + QString::fromUtf8(l).replace("%1", obs300) + ")");
    }

    void SetUp() override {
        FrameworkTest::SetUp();
        login(-1);
    }

    static QString sqlPadrao() { return "select * from TST_AMOSTRA order by CD_AMOSTRA"; }

    TfrmAmostraTeste* abre(const QString& sql = sqlPadrao(),
                           const QString& caption = QString::fromUtf8("Amostras de Teste - Laboratório"),
                           bool comLookups = true) {
        auto* t = new TfrmAmostraTeste(&main->IBSolution, sql, caption, comLookups);
        main->abreTela(t);
        pump();
        return t;
    }

    // Show-all from the toolbar.
    void todos() { QTest::mouseClick(main->bttMostrarTodos, Qt::LeftButton); }

    // Codes of every row of the list, in list order.
    static QStringList codigos(DataSet& q) {
        QStringList r;
        if (!q.active()) return r;
        q.fetchAll();
        Field* f = q.fieldByName("CD_AMOSTRA");
        for (int i = 0; i < q.recordCount(); ++i)
            r << q.valueAt(i, f).toString();
        return r;
    }

    // Clicks into a box and replaces its text by typing.
    static void substitui(QWidget* caixa, const QString& texto) {
        QWidget* alvo = caixa;
        if (auto* c = qobject_cast<QComboBox*>(caixa); c && c->lineEdit()) alvo = c->lineEdit();
        QTest::mouseClick(alvo, Qt::LeftButton);
        tecla(Qt::Key_A, Qt::ControlModifier);
        if (texto.isEmpty())
            tecla(Qt::Key_Backspace);
        else
            digita(texto);
    }

    bool m_dialogoVisto = false;
};
