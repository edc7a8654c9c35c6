#include "data/SqlText.h"
#include <QRegularExpression>
#include <cstring>

namespace sql {

QString quoted(const QString& text) {
    QString s = text;
    s.replace('\'', "''");
    return '\'' + s + '\'';
}

QString quotedDate(const QDate& d) {
    return '\'' + d.toString("dd.MM.yyyy") + '\'';
}

QString quotedDateTime(const QDateTime& dt) {
    return '\'' + dt.toString("dd.MM.yyyy hh:mm:ss") + '\'';
}

ParsedSql parseNamedParams(const QString& sql) {
    ParsedSql out;
    out.text.reserve(sql.size());
    const int n = sql.size();
    for (int i = 0; i < n; ++i) {
        QChar c = sql[i];
        if (c == '\'' || c == '"') {
            // Copy the quoted text as it is; a doubled quote stays inside.
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out.text += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            int j = sql.indexOf('\n', i);
            if (j < 0) j = n - 1;
            out.text += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            int j = sql.indexOf("*/", i + 2);
            j = j < 0 ? n - 1 : j + 1;
            out.text += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == '_')) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '_' || sql[j] == '$'))
                ++j;
            out.names.append(sql.mid(i + 1, j - i - 1));
            out.text += '?';
            i = j - 1;
        } else {
            out.text += c;
        }
    }
    return out;
}

CommitKind commitKind(const QString& text) {
    QString s = text.simplified().toLower();
    if (s == "commit retain" || s == "commit retaining") return CommitKind::CommitRetain;
    if (s == "commit" || s == "commit work") return CommitKind::Commit;
    return CommitKind::None;
}

namespace {
bool wordChar(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '$';
}

// Length of the keyword's match at i (its words separated by any white space), 0 when none.
int keywordAt(const QString& sql, int i, const QStringList& words, Qt::CaseSensitivity cs) {
    const int n = sql.size();
    if (i > 0 && wordChar(sql[i - 1])) return 0;
    int j = i;
    for (int w = 0; w < words.size(); ++w) {
        if (w > 0) {
            const int blanks = j;
            while (j < n && sql[j].isSpace())
                ++j;
            if (j == blanks) return 0;
        }
        if (QStringView(sql).mid(j, words[w].size()).compare(words[w], cs) != 0) return 0;
        j += words[w].size();
    }
    if (j < n && wordChar(sql[j])) return 0;
    return j - i;
}
} // namespace

int clausePos(const QString& sql, const QString& keyword, Qt::CaseSensitivity cs, int from) {
    const QStringList words = keyword.split(' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return -1;
    const QChar first = words.first()[0];
    const int n = sql.size();
    int depth = 0;
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') {
            // Quoted text or a quoted identifier; a doubled quote stays inside.
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = j;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            const int j = sql.indexOf('\n', i);
            i = j < 0 ? n : j;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const int j = sql.indexOf("*/", i + 2);
            i = j < 0 ? n : j + 1;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth > 0) --depth;
        } else if (depth == 0 && i >= from && QString(c).compare(first, cs) == 0 &&
                   keywordAt(sql, i, words, cs) > 0) {
            return i;
        }
    }
    return -1;
}

QString beforeClause(const QString& sql, const QString& keyword, Qt::CaseSensitivity cs) {
    const int p = clausePos(sql, keyword, cs);
    return p >= 0 ? sql.left(p) : sql;
}

QString fromClause(const QString& sql, const QString& keyword, Qt::CaseSensitivity cs) {
    const int p = clausePos(sql, keyword, cs);
    return p >= 0 ? sql.mid(p) : QString();
}

QString fromPart(const QString& sql, Qt::CaseSensitivity cs) {
    const int from = clausePos(sql, "from", cs);
    if (from < 0) return QString();
    const int order = clausePos(sql, "order by", cs, from);
    return order >= 0 ? sql.mid(from, order - from) : sql.mid(from);
}

QString countStatement(const QString& sql, const QString& alias) {
    const QString resto = fromPart(sql);
    return resto.isEmpty() ? QString() : " select count(*) as " + alias + " " + resto;
}

QString conditionJoin(const QString& sql, Qt::CaseSensitivity cs) {
    return clausePos(sql, "where", cs) >= 0 ? QStringLiteral(" and ") : QStringLiteral(" where ");
}

Clauses splitClauses(const QString& sql) {
    Clauses c{sql, {}, {}};
    QString& S = c.head;
    const int w = clausePos(S, "where");
    if (w >= 0) {
        c.where = S.mid(w);
        const int o = clausePos(S, "order by", Qt::CaseSensitive, w);
        if (o < 0) {
            S = S.left(w);
        } else {
            c.where = c.where.left(o - w);
            S = (S.left(w) + S.mid(o)).trimmed();
        }
    }
    const int o = clausePos(S, "order by");
    if (o >= 0) {
        c.orderBy = S.mid(o);
        S = S.left(o);
    }
    return c;
}

QString showAllStatement(const QString& sql, const QString& mywhere, const QString& myorderby) {
    const QString B = mywhere.mid(5);
    const QString M = myorderby.mid(9);
    QString r = beforeClause(sql, "where") + " where 0=0 ";
    if (!B.isEmpty()) r += " and " + B;
    if (!M.isEmpty()) r += " order by " + M;
    return r;
}

bool conditionAlwaysFalse(const QString& sql) {
    const Qt::CaseSensitivity ci = Qt::CaseInsensitive;
    const int where = clausePos(sql, "where", ci);
    if (where < 0) return false;
    int fim = sql.size();
    for (const char* k :
         {"group by", "having", "order by", "plan", "rows", "union", "for update", "with lock"}) {
        const int p = clausePos(sql, k, ci, where + 5);
        if (p >= 0 && p < fim) fim = p;
    }
    const QString condicao = sql.mid(where + 5, fim - where - 5);
    if (clausePos(condicao, "or", ci) >= 0 || clausePos(condicao, "not", ci) >= 0) return false;
    int inicio = 0;
    for (;;) {
        const int e = clausePos(condicao, "and", ci, inicio);
        QString parte = condicao.mid(inicio, e < 0 ? -1 : e - inicio);
        parte.remove(' ').remove('\t').remove('\r').remove('\n');
        if (parte == "0=1") return true;
        if (e < 0) return false;
        inicio = e + 3;
    }
}

bool selectsAggregate(const QString& sql) {
    const Qt::CaseSensitivity ci = Qt::CaseInsensitive;
    const int from = clausePos(sql, "from", ci);
    const QString lista = (from < 0 ? sql : sql.left(from)).toLower();
    for (const char* f : {"count", "sum", "min", "max", "avg", "list"}) {
        static const QRegularExpression fim("^\\s*\\(");
        int p = -1;
        while ((p = lista.indexOf(QLatin1String(f), p + 1)) >= 0) {
            const bool inicioPalavra = p == 0 || !(lista[p - 1].isLetterOrNumber() || lista[p - 1] == '_');
            if (inicioPalavra && fim.match(lista.mid(p + static_cast<int>(strlen(f)))).hasMatch())
                return true;
        }
    }
    return false;
}

QStringList splitScript(const QString& script) {
    QStringList out;
    QString term = ";";
    QString cur;
    const int n = script.size();
    auto flush = [&]() {
        QString s = cur.trimmed();
        cur.clear();
        if (s.isEmpty()) return;
        QString low = s.simplified().toLower();
        if (low.startsWith("set term ")) {
            QString rest = s.simplified().mid(9).trimmed();
            term = rest.section(' ', 0, 0);
            return;
        }
        out.append(s);
    };
    for (int i = 0; i < n; ++i) {
        QChar c = script[i];
        if (c == '\'' || c == '"') {
            int j = script.indexOf(c, i + 1);
            while (j >= 0 && j + 1 < n && script[j + 1] == c)
                j = script.indexOf(c, j + 2);
            if (j < 0) j = n - 1;
            cur += script.mid(i, j - i + 1);
            i = j;
        } else if (c == '-' && i + 1 < n && script[i + 1] == '-') {
            int j = script.indexOf('\n', i);
            if (j < 0) j = n - 1;
            i = j;
            cur += '\n';
        } else if (c == '/' && i + 1 < n && script[i + 1] == '*') {
            int j = script.indexOf("*/", i + 2);
            i = j < 0 ? n - 1 : j + 1;
            cur += ' ';
        } else if (script.mid(i, term.size()) == term) {
            // "SET TERM ^ ;" itself ends with the old terminator.
            i += term.size() - 1;
            flush();
        } else {
            cur += c;
        }
    }
    flush();
    return out;
}

} // namespace sql
