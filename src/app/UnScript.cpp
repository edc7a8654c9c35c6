#include "app/UnScript.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "data/SqlText.h"

QString& versaoERP() {
    static QString value;
    return value;
}

QString& scriptRodado() {
    static QString value;
    return value;
}

namespace {
const QString kVersaoInicial = QStringLiteral("Versao Inicial");

void execute(Query& q, const QString& text) {
    q.setSqlText(text);
    q.execSQL();
}

void commitRetain(Query& q) {
    execute(q, QStringLiteral("commit retain"));
}
} // namespace

void VerificaScript(Database& db) {
    if (!db.connected()) db.connect();
    Query q(&db);
    q.setSqlText(" sELECT r.* FROM RDB$RELATION_fields r" + QString(16, ' ') + "where" + QString(48, ' ') +
                 "r.RDB$relation_name =" + sql::quoted("TAB_PARAMETRO") +
                 " and  r.RDB$field_name = " + sql::quoted("VERSAO_ERP"));
    q.open();
    const bool columnsExist = !q.isEmpty();
    q.close();

    if (columnsExist) {
        q.setSqlText(" sELECT coalesce(VERSAO_ERP," + sql::quoted(kVersaoInicial) +
                     ") as coalesce from  TAB_PARAMETRO" + QString(12, ' '));
        q.open();
        versaoERP() = q.fieldByName("coalesce")->asString();
        q.close();

        q.setSqlText(" select script_rodado from tab_parametro");
        q.open();
        scriptRodado() = q.fieldByName("script_rodado")->asString();
        q.close();
        return;
    }

    // An older database: add both columns, then fill them from the update log.
    execute(q, "alter table tab_parametro add script_rodado integer");
    execute(q, "alter table tab_parametro add VERSAO_ERP varchar(30)");
    commitRetain(q);
    execute(q, " update tab_parametro a set a.script_rodado = (select max(a.no_log_atualizacao) from "
               "mov_log_atualizacao a)");
    commitRetain(q);
    versaoERP() = kVersaoInicial;
    execute(q, " update tab_parametro a set a.VERSAO_ERP = " + sql::quoted(kVersaoInicial));
    commitRetain(q);
}

QStringList VerificaEsquemaProprio(Database& db) {
    if (!db.connected()) db.connect();
    return atualizaEsquemaProprio(db);
}
