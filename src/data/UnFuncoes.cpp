#include "data/UnFuncoes.h"
#include "data/DataContext.h"
#include "platform/Errors.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

// ---------------------------------------------------------------- text and number helpers

QString RetornaCampo(const QString& texto, int n, const QString& separador) {
    QString campo;
    int completos = 0;
    for (const QChar c : texto) {
        // The separator is compared as a whole with one character: only a one-character
        // separator can ever match.
        if (separador == QString(c)) {
            ++completos;
            if (completos == n) return campo;
            campo.clear();
        } else {
            campo += c;
        }
    }
    if (completos + 1 == n) return campo;
    throw AppError("Campo não encontrado.");
}

QString FormataNumeroSQL(const QString& numero) {
    QString r = numero;
    r.remove('.');
    r.replace(',', '.');
    return r;
}

QString TrocaSeparadorDecimal(const QString& numero) {
    QString r = numero;
    for (QChar& c : r) {
        if (c == ',')
            c = '.';
        else if (c == '.')
            c = ',';
    }
    return r;
}

QString RetiraAspas(const QString& texto) {
    QString r = texto;
    r.remove('"');
    return r;
}

QString RetiraMascara(const QString& documento) {
    QString r;
    r.reserve(documento.size());
    for (const QChar c : documento)
        if (c != '.' && c != ',' && c != '/' && c != '-') r += c;
    return r;
}

QString FormataCNPJCPF(const QString& documento) {
    const QString d = RetiraMascara(documento).trimmed();
    if (d.isEmpty()) return QString();
    // mid() past the end gives an empty piece, so a short number keeps its punctuation slots.
    if (d.size() > 13)
        return d.mid(0, 2) + "." + d.mid(2, 3) + "." + d.mid(5, 3) + "/" + d.mid(8, 4) + "-" + d.mid(12, 2);
    return d.mid(0, 3) + "." + d.mid(3, 3) + "." + d.mid(6, 3) + "-" + d.mid(9, 2);
}

namespace {

int inteiro(const QString& texto) {
    bool ok = false;
    const int v = texto.toInt(&ok, 10);
    if (!ok) throw AppError(QString("'%1' não é um valor inteiro válido").arg(texto));
    return v;
}

} // namespace

int DiasDoMes(const QString& mesAno) {
    const int mes = inteiro(mesAno.mid(0, 2));
    const int ano = inteiro(mesAno.mid(3, 4));
    switch (mes) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return ano % 4 == 0 ? 29 : 28;
    default:
        return 0;
    }
}

QString RetornaDataArquivo(const QString& caminho) {
    const QFileInfo info(caminho);
    if (caminho.isEmpty() || !info.exists())
        throw AppError(QString("O arquivo '%1' não foi encontrado.").arg(caminho));
    QDateTime dh = info.lastModified();
    const QTime t = dh.time();
    dh.setTime(QTime(t.hour(), t.minute(), t.second()));
    if (dh.time() == QTime(0, 0)) return dh.toString("dd/MM/yyyy");
    return dh.toString("dd/MM/yyyy HH:mm:ss");
}

// ---------------------------------------------------------------- open windows

namespace {
OpenWindowsFn& openWindowsProvider() {
    static OpenWindowsFn fn;
    return fn;
}
} // namespace

void setOpenWindowsProvider(OpenWindowsFn provider) {
    openWindowsProvider() = std::move(provider);
}

QString ListaFormulariosAbertos(const QList<QPair<QString, QString>>& janelas) {
    QString r;
    for (qsizetype i = janelas.size() - 1; i >= 0; --i) {
        if (!r.isEmpty()) r += QChar(13);
        r += janelas[i].first + " - " + janelas[i].second;
    }
    return r;
}

QString ListaFormulariosAbertos() {
    const OpenWindowsFn& fn = openWindowsProvider();
    return fn ? ListaFormulariosAbertos(fn()) : QString();
}

// ---------------------------------------------------------------- statements

namespace {

Transaction* transacaoGeral() {
    Transaction* tr = dataContext().IBT_Gen;
    if (!tr) throw AppError("A transação geral (IBT_Gen) não está disponível.");
    return tr;
}

} // namespace

void AbreQuery(Query& q, const QString& sqlText) {
    Transaction* tr = transacaoGeral();
    q.close();
    q.clearSql();
    q.setTransaction(tr);
    q.setSqlText(sqlText);
    q.open();
    q.fetchAll();
}

void ExecutaSQL(Query& q, const QString& sqlText, bool commit) {
    Transaction* tr = transacaoGeral();
    q.close();
    q.clearSql();
    q.setTransaction(tr);
    q.setSqlText(sqlText);
    q.execSQL();
    if (commit) tr->commitKeepingCursors();
}

// ---------------------------------------------------------------- lookups

namespace {

// First column named `coluna` of the first row, or "" when there is none.
QString consultaTexto(const QString& sqlText, const QString& coluna) {
    Database* db = dataContext().IBSolution;
    if (!db) throw AppError("A conexão com o banco de dados (IBSolution) não está disponível.");
    Query q(db);
    AbreQuery(q, sqlText);
    if (q.isEmpty()) return QString();
    return q.fieldByName(coluna)->asString();
}

QString imagemLaudo(int idPessoa, const QString& prefixo) {
    const QString codigo = consultaTexto(" select pe.CD_PESSOA from cad_pessoa pe where pe.id_pessoa = " +
                                             QString::number(idPessoa),
                                         "CD_PESSOA")
                               .trimmed();
    const QString ini = sessaoUsuario().localarquivoiniteste;
    QString pasta;
    if (!ini.isEmpty()) pasta = QDir::toNativeSeparators(QFileInfo(ini).path()) + QDir::separator();
    return pasta + "Imagens" + QDir::separator() + prefixo + codigo + ".jpg";
}

} // namespace

QString RetornaCNPJCPFPessoa(int idPessoa) {
    return consultaTexto(" select no_cnpj_cpf from cad_pessoa where id_pessoa = " + QString::number(idPessoa),
                         "no_cnpj_cpf");
}

QString RetornaTipoPessoa(int idPessoa) {
    return consultaTexto(" select pe.tp_pessoa from cad_pessoa pe where pe.id_pessoa = " +
                             QString::number(idPessoa),
                         "tp_pessoa");
}

QString RetornaNomeUsuario(int idUsuario) {
    return consultaTexto(" select su.nm_usuario from sis_usuario su where su.id_usuario = " +
                             QString::number(idUsuario),
                         "nm_usuario");
}

QString RetornaNomeEmpresa() {
    return consultaTexto(" select nm_empresa from tab_parametro", "nm_empresa");
}

QString ImagemCabecalhoLaudo(int idPessoa) {
    return imagemLaudo(idPessoa, "Cabeçalho-do-Laudo-");
}

QString ImagemRodapeLaudo(int idPessoa) {
    return imagemLaudo(idPessoa, "Rodapé-do-Laudo-");
}
