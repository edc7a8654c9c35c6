#pragma once
// Small pieces every benchmark uses: the median of the runs, the printed line, and one-off
// statements on their own transaction to prepare a site.
#include "data/Query.h"
#include "data/Statement.h"
#include <QVariant>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double mediana(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// "NAME: ours X ms, raw Y ms, ratio Z"
inline void linha(const char* nome, double nossa, double bruta) {
    std::printf("%s: ours %.2f ms, raw %.2f ms, ratio %.2f\n", nome, nossa, bruta,
                bruta > 0 ? nossa / bruta : 0.0);
    std::fflush(stdout);
}

// The first column of the first row (null when there is none).
inline QVariant escalar(Database& db, const QString& sql) {
    Transaction tr(&db);
    Query q(&db, &tr);
    q.setSqlText(sql);
    q.open();
    const QVariant v = q.isEmpty() ? QVariant() : q.field(0)->value();
    q.close();
    tr.commit();
    return v;
}

// A statement that returns no rows, with positional parameters, committed.
inline void executa(Database& db, const QString& sql, const QVariantList& params = {}) {
    Transaction tr(&db);
    tr.start();
    Statement st(&db, &tr);
    st.prepare(sql);
    for (int i = 0; i < params.size(); ++i)
        st.setParam(i, params[i]);
    st.execute();
    tr.commit();
}

} // namespace bench
