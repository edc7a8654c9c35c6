#include "data/ParametrosProprios.h"
#include "data/Statement.h"

QString leParametroProprio(Database& db, const QString& chave, const QString& padrao) {
    Transaction tr(&db);
    tr.start();
    Statement st(&db, &tr);
    st.prepare("select VALOR from SIS_CTV_PARAMETRO where CHAVE = ?");
    st.setParam(0, chave);
    st.openCursor();
    QByteArray buf(st.outputLayout().size, '\0');
    QString valor = padrao;
    if (st.fetch(buf.data())) {
        const ColumnLayout& coluna = st.outputLayout().columns[0];
        if (!codec::isNull(coluna, buf.constData()))
            valor = codec::decode(coluna, buf.constData()).toString();
    }
    st.closeCursor();
    st.free();
    tr.commit();
    return valor;
}

bool leParametroProprioLogico(Database& db, const QString& chave, bool padrao) {
    const QString valor = leParametroProprio(db, chave, padrao ? "S" : "N");
    return valor.trimmed().compare("S", Qt::CaseInsensitive) == 0;
}

void gravaParametroProprio(Database& db, const QString& chave, const QString& valor) {
    Transaction tr(&db);
    tr.start();
    Statement st(&db, &tr);
    st.prepare("update or insert into SIS_CTV_PARAMETRO (CHAVE, VALOR) values (?, ?) matching (CHAVE)");
    st.setParam(0, chave);
    st.setParam(1, valor);
    st.execute();
    st.free();
    tr.commit();
}

void gravaParametroProprioLogico(Database& db, const QString& chave, bool valor) {
    gravaParametroProprio(db, chave, valor ? "S" : "N");
}
