#include "screens/UnPermissoes.h"
#include "data/DatabaseError.h"
#include "data/KeyAllocation.h"
#include "data/SqlText.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>

namespace {

// Runs a select on q and answers whether it returned a row; q stays open on that row.
bool abre(Query& q, const QString& text) {
    q.close();
    q.setSqlText(text);
    q.open();
    return !q.isEmpty();
}

void executa(Query& q, const QString& text) {
    q.close();
    q.setSqlText(text);
    q.execSQL();
}

void commitRetain(Query& q) {
    executa(q, " commit retain");
}

// The connection's default transaction (IBTransaction in the running program).
void commitRetainPrincipal(Query& q) {
    if (Database* db = q.database())
        if (Transaction* tr = db->defaultTransaction()) tr->commitRetaining();
}

QString num(int v) {
    return QString::number(v);
}

const QString kAplicativo = " and sf.id_aplicativo = 3";

// The database compares texts without their trailing blanks.
QString semBrancosAoFim(QString s) {
    while (!s.isEmpty() && s.back() == ' ')
        s.chop(1);
    return s;
}

} // namespace

// ---------------------------------------------------------------- questions

bool VerificaUsuario(Query& gen, int grupo, const QString& nomeForm) {
    abre(gen,
         " select count(*) as total  from sis_evento_autorizado sea,       sis_componente sc,              "
         "sis_formulario sf  where sea.id_gr_usuario = " +
             num(grupo) + " and sea.id_componente = sc.id_componente " + " and sc.id_form = sf.id_form " +
             " and sf.nm_form = " + sql::quoted(nomeForm) + kAplicativo);
    const int total = gen.fieldByName("total")->asInteger();
    gen.close();
    return total != 0;
}

bool VerificaPermissoes(Query& gen, int grupo, const QString& nomeForm, const QString& captionForm) {
    if (grupo == -1) return true;
    if (VerificaUsuario(gen, grupo, nomeForm)) return true;
    showMessage("Usuário sem permissão para acessar " + captionForm, kSystemCaption, MsgIcon::Warning,
                MsgButtons::Ok);
    return false;
}

bool RetornaDireito(Query& gen, int grupo, const QString& nomeForm, const QString& componente) {
    const bool found =
        abre(gen, " select sea.id_evento_autorizado as total  from sis_evento_autorizado sea, "
                  "sis_componente sc, sis_formulario sf  where sea.id_gr_usuario = " +
                      num(grupo) + " and   sea.id_componente = sc.id_componente " +
                      " and   sc.id_form       = sf.id_form " + " and   nm_form = " + sql::quoted(nomeForm) +
                      " and   sc.nm_componente  = " + sql::quoted(componente) + kAplicativo);
    gen.close();
    return found;
}

// The rights of the group on the form's components, selecting `coluna`; the button query
// narrows it to one component.
QString sqlDireitosDoForm(const QString& coluna, int grupo, const QString& nomeForm) {
    return " select " + coluna +
           "  from sis_evento_autorizado sea, sis_componente sc, "
           "sis_formulario sf  where sea.id_gr_usuario = " +
           num(grupo) + " and   sea.id_componente = sc.id_componente " +
           " and    sc.id_form       = sf.id_form " + " and nm_form = " + sql::quoted(nomeForm);
}

QString SqlDireitoBotao(int grupo, const QString& nomeForm, const QString& componente, bool withApplication) {
    QString s = sqlDireitosDoForm("sea.id_evento_autorizado as total", grupo, nomeForm) +
                " and sc.nm_componente = " + sql::quoted(componente);
    if (withApplication) s += kAplicativo;
    return s;
}

bool DireitoBotao(Query& gen, int grupo, const QString& nomeForm, const QString& componente,
                  bool withApplication) {
    const bool found = abre(gen, SqlDireitoBotao(grupo, nomeForm, componente, withApplication));
    gen.close();
    return found;
}

bool EstadoBotao(Query& gen, const QString& sGrupoUsuario, const QString& sNomeForm,
                 const QString& sNomeComponente) {
    bool ok = false;
    const int grupo = sGrupoUsuario.trimmed().toInt(&ok);
    if (!ok) throw AppError(QString("'%1' não é um valor inteiro válido").arg(sGrupoUsuario));
    const bool found = DireitoBotao(gen, grupo, sNomeForm, sNomeComponente, true);
    return found || grupo == -1;
}

// ---------------------------------------------------------------- button rights

QList<QAbstractButton*> BotoesDaTela(QWidget* screen) {
    QList<QAbstractButton*> result;
    if (!screen) return result;
    for (QAbstractButton* b : screen->findChildren<QAbstractButton*>()) {
        if (!qobject_cast<QPushButton*>(b) && !qobject_cast<QToolButton*>(b)) continue;
        const QString name = b->objectName();
        if (name.isEmpty() || name.startsWith("qt_")) continue;
        // A button inside a control (the calendar button of a date edit, the scroll arrows of a
        // tab bar) belongs to that control, not to the screen: it carries no right of its own.
        if (qobject_cast<QLineEdit*>(b->parentWidget()) || qobject_cast<QTabBar*>(b->parentWidget()))
            continue;
        result.append(b);
    }
    return result;
}

void ApplyButtonRights(Query& gen, int grupo, QWidget* screen, bool withApplication) {
    if (!screen) return;
    const QList<QAbstractButton*> botoes = BotoesDaTela(screen);
    if (grupo == 1) {
        for (QAbstractButton* b : botoes)
            b->setProperty("tag", 1);
        return;
    }
    if (botoes.isEmpty()) return;
    const QSet<QString> direitos = ComponentesAutorizados(gen, grupo, screen->objectName(), withApplication);
    for (QAbstractButton* b : botoes) {
        if (direitos.contains(semBrancosAoFim(b->objectName())))
            b->setProperty("tag", 1);
        else
            b->setEnabled(false);
    }
}

QSet<QString> ComponentesAutorizados(Query& gen, int grupo, const QString& nomeForm, bool withApplication) {
    QString s = sqlDireitosDoForm("sc.nm_componente", grupo, nomeForm);
    if (withApplication) s += kAplicativo;
    QSet<QString> nomes;
    gen.close();
    gen.setSqlText(s);
    gen.open();
    for (gen.first(); !gen.eof(); gen.next())
        nomes.insert(semBrancosAoFim(gen.fieldByName("nm_componente")->asString()));
    gen.close();
    return nomes;
}

bool autorizado(const QAbstractButton* b) {
    return b->property("tag").toInt() == 1;
}

// ---------------------------------------------------------------- registration

QString RetiraCaracteresEspeciais(const QString& texto) {
    QString r = texto;
    r.remove('&');
    r.remove('\'');
    return r;
}

int RetornaIDComponente(Database* db, int idForm, const QString& nomeComponente) {
    Query q(db);
    if (!abre(q, " select id_componente  from sis_componente  where nm_componente = " +
                     sql::quoted(nomeComponente) + " and   id_form = " + num(idForm)))
        return 0;
    return q.fieldByName("id_componente")->asInteger();
}

QString NomeRegistroForm(const QString& nomeJanela) {
    const qsizetype i = nomeJanela.lastIndexOf('_');
    if (i >= 0 && nomeJanela.size() - i - 1 < 3) return nomeJanela.left(i);
    return nomeJanela;
}

namespace {

// Key of the registered form, 0 when it is not registered.
int idForm(Query& gen, const QString& nome) {
    const bool found =
        abre(gen, " select id_form  from sis_formulario  where nm_form = " + sql::quoted(nome) +
                      " and id_aplicativo = 3");
    const int id = found ? gen.fieldByName("id_form")->asInteger() : 0;
    gen.close();
    return id;
}

int novaChave(Query& gen, const QString& tabela, const QString& campo) {
    Query idq(gen.database(), nullptr, "IBQ_ID");
    return AdicionaIDNegativo(idq, tabela, campo);
}

struct Virtual {
    const char* nome;
    const char* caption;
};
const Virtual kVirtuais[] = {{"cpfIncluir", "Incluir"},
                             {"cpfAlterar", "Alterar"},
                             {"cpfExcluir", "Excluir"},
                             {"cpfConsulta", "Consulta"},
                             {"cpfExportaExcel", "Exportar para Excel"}};

} // namespace

void IncluiForm(Query& gen, QWidget* screen) {
    if (!screen) return;
    const QString nome = NomeRegistroForm(screen->objectName());
    const int id = idForm(gen, nome);
    QString caption = screen->windowTitle();
    const QString quotedS = sql::quoted("S");
    if (id == 0) {
        if (caption.contains(" -")) caption = caption.left(caption.indexOf('-'));
        const int chave = novaChave(gen, "sis_formulario", "id_form");
        executa(gen, " insert into sis_formulario values ( " + num(chave) + "," + sql::quoted(nome) + "," +
                         sql::quoted(RetiraCaracteresEspeciais(caption)) + ", 3," + quotedS + " )");
    } else {
        if (caption.contains(" -")) caption = caption.left(caption.indexOf(" -"));
        executa(gen, " update sis_formulario set nm_form =" + sql::quoted(nome) + "," +
                         " ds_Caption = " + sql::quoted(RetiraCaracteresEspeciais(caption)) + "," +
                         " st_modificado = " + quotedS + " where id_form = " + num(id));
    }
}

void IncluiEventos(Query& gen, QWidget* screen, bool isRecordScreen) {
    if (!screen) return;
    commitRetain(gen);
    // The same name rule as IncluiForm, so that the buttons land on the form just registered.
    const int form = idForm(gen, NomeRegistroForm(screen->objectName()));
    // Without a registered form there is nothing to attach buttons to; key 0 is no form's.
    if (form == 0) return;
    const QString f = num(form);
    const QString quotedS = sql::quoted("S");

    executa(gen, " update sis_componente  set st_ativo = 'N' where id_form = " + f);
    commitRetain(gen);

    for (QAbstractButton* b : BotoesDaTela(screen)) {
        const QString nome = b->objectName();
        const bool found = abre(gen, " select id_componente  from sis_componente  where nm_componente = " +
                                         sql::quoted(nome) + " and   id_form = " + f);
        const int id = found ? gen.fieldByName("id_componente")->asInteger() : 0;
        gen.close();

        QString caption = b->text().trimmed();
        if (caption.isEmpty() || caption == "...") caption = b->toolTip();
        if (caption.trimmed().isEmpty()) continue;
        const QString ds = sql::quoted(RetiraCaracteresEspeciais(caption));

        if (!found) {
            const QString classe = qobject_cast<QPushButton*>(b) ? "TBitBtn" : "TSpeedButton";
            const int chave = novaChave(gen, "sis_componente", "id_componente");
            executa(gen, " insert into sis_componente values ( " + num(chave) + "," + f + "," +
                             sql::quoted(nome) + "," + sql::quoted(classe) + "," + ds + "," + "'S'" + "," +
                             quotedS + " ) ");
        } else {
            executa(gen, " update sis_componente  set st_ativo = 'S', ds_caption = " + ds + "," +
                             " st_modificado = " + quotedS + " where id_componente = " + num(id));
        }
        commitRetain(gen);
    }
    commitRetainPrincipal(gen);

    if (isRecordScreen) {
        for (const Virtual& v : kVirtuais) {
            const QString nome = v.nome;
            const int id = RetornaIDComponente(gen.database(), form, nome);
            if (id != 0) {
                executa(gen, " update sis_componente  set st_ativo = " + quotedS +
                                 " where id_componente = " + num(id));
            } else {
                const int chave = novaChave(gen, "sis_componente", "id_componente");
                executa(gen, " insert into sis_componente values ( " + num(chave) + "," + f + "," +
                                 sql::quoted(nome) + "," + sql::quoted(nome) + "," + sql::quoted(v.caption) +
                                 "," + quotedS + "," + quotedS + ")");
            }
            commitRetain(gen);
        }
    }

    try {
        executa(gen,
                " delete from sis_componente  where id_form = " + f + " and st_ativo = " + "'" + "N" + "'");
        commitRetain(gen);
    } catch (const DatabaseError&) {
        // A component still referenced (by a grant) cannot go; it stays inactive.
    }
    commitRetainPrincipal(gen);
}
