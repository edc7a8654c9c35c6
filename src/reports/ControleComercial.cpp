#include "reports/ControleComercial.h"
#include "data/SqlText.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/OsFacts.h"
#include "platform/WorkbookWriter.h"
#include "search/UnParametroExcel.h"
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kCriacaoFalhou = QStringLiteral(
    "Não foi possível criar o arquivo solicitado. Possíveis causas:\rO arquivo já está aberto.\rO Excel nã "
    "está instalado em seu computador.");

// The spreadsheet program marks a workbook it has open with a lock file beside it; on this
// platform removing the file would succeed under it.
bool emUso(const QString& caminho) {
    const QFileInfo fi(caminho);
    return QFileInfo::exists(fi.absolutePath() + "/.~lock." + fi.fileName() + "#");
}

bool soDigitos(const QString& s) {
    for (const QChar c : s)
        if (!c.isDigit() || c.unicode() > 127) return false;
    return !s.isEmpty();
}

} // namespace

std::optional<MesColeta> LeMesColeta(const QString& texto) {
    QString t = texto;
    t.replace('_', ' ');
    const int barra = t.indexOf('/');
    if (barra < 0 || t.indexOf('/', barra + 1) >= 0) return std::nullopt;
    const QString mes = t.left(barra).trimmed();
    const QString ano = t.mid(barra + 1).trimmed();
    if (!soDigitos(mes) || mes.size() > 2 || !soDigitos(ano) || ano.size() != 4) return std::nullopt;
    const int m = mes.toInt(), a = ano.toInt();
    if (m < 1 || m > 12 || a < 1900) return std::nullopt;
    const QDate inicio(a, m, 1);
    return MesColeta{inicio, QDate(a, m, inicio.daysInMonth())};
}

QString TextoMes(const QDate& dia) {
    return dia.toString("MM/yyyy");
}

void ConfiguraCampoMes(QLineEdit& campo, QChar branco) {
    campo.setInputMask(QStringLiteral("00/0000;") + branco);
    campo.setMaxLength(7);
}

QString CaminhoPlanilhaControle(const QString& nome) {
    return QFileInfo(osFacts().executablePath()).absolutePath() + "/Excel/" + nome + ".xlsx";
}

QString PreparaArquivoControle(const QString& nomeRelatorio) {
    const QString problema = ValidaNomeArquivo(nomeRelatorio);
    if (!problema.isEmpty()) warnAndAbort(problema);
    const QString caminho = CaminhoPlanilhaControle(nomeRelatorio);
    const QFileInfo fi(caminho);
    if (!QDir().mkpath(fi.absolutePath())) warnAndAbort(kCriacaoFalhou);
    if (fi.exists() || fi.isSymLink()) {
        if (emUso(caminho) || !QFile::remove(caminho))
            warnAndAbort("Não foi possivel deletar o arquivo " + nomeRelatorio + "\r" +
                         "Feche este arquivo caso esteja em uso.");
    }
    return caminho;
}

std::unique_ptr<WorkbookWriter> CriaPlanilhaControle(const QString& caminho) {
    try {
        auto wb = std::make_unique<WorkbookWriter>(caminho);
        wb->addSheet("Plan1");
        return wb;
    } catch (const WorkbookError&) {
        warnAndAbort(kCriacaoFalhou);
    }
}

// ---------------------------------------------------------------- statements run per row

ConsultaRepetida::ConsultaRepetida(Database* db, Transaction* tr, const QString& sqlText) : m_st(db, tr) {
    tr->ensureActive();
    const sql::ParsedSql p = sql::parseNamedParams(sqlText);
    m_nomes = p.names;
    m_st.prepare(p.text);
    for (int i = 0; i < m_nomes.size(); ++i)
        m_st.setParamLabel(i, m_nomes[i]);
    m_buf.resize(m_st.outputLayout().size + 8);
}

void ConsultaRepetida::setParam(const QString& nome, const QVariant& valor) {
    bool achou = false;
    for (int i = 0; i < m_nomes.size(); ++i)
        if (m_nomes[i].compare(nome, Qt::CaseInsensitive) == 0) {
            m_st.setParam(i, valor);
            achou = true;
        }
    if (!achou) throw AppError("Parâmetro " + nome + " não existe na consulta.");
}

QVariant ConsultaRepetida::valor() {
    ++m_execucoes;
    m_st.transaction()->ensureActive();
    m_st.openCursor();
    QVariant v;
    try {
        if (m_st.fetch(m_buf.data())) v = codec::decode(m_st.outputLayout().columns[0], m_buf.data());
    } catch (...) {
        m_st.closeCursor();
        throw;
    }
    m_st.closeCursor();
    return v;
}

// ---------------------------------------------------------------- purchase answer

QString chaveTexto(const QVariant& v) {
    return v.isNull() ? QString() : QString::number(v.toLongLong());
}

RespostaCompra::RespostaCompra(Database* db, Transaction* tr, const MesColeta& mes)
    : m_db(db), m_tr(tr), m_mes(mes) {}

QString RespostaCompra::sql(bool semRepresentante) {
    return QStringLiteral("select case when sum(nfi.qt_produto) > 0 then") + "'S'" + " else " + "'N'" +
           " end as comprou" + " from cad_produto pro" +
           " inner join mov_nf_comercio_item nfi on nfi.id_produto = pro.id_produto" +
           " inner join mov_nf_comercio nf on nf.id_nf_comercio = nfi.id_nf_comercio" +
           " left join tab_nat_operacao nat on ( nat.id_nat_operacao = nf.id_nat_operacao" +
           " and nat.st_estat_venda=" + "'S'" + ")" +
           " inner join cad_pessoa cli on cli.id_pessoa = nf.id_destinatario_remetente" +
           " inner join tab_produto_equipamento tpe on" + " tpe.id_produto_base = pro.id_produto_base" +
           " inner join tab_equipamento_cli tec" +
           " on tec.id_cliente = cli.id_pessoa and tec.id_tp_equipamento = tpe.id_tp_equipamento" +
           " inner join mov_analise ma on ma.id_cliente = cli.id_pessoa" + " where 1=1" +
           " and nat.st_estat_venda = " + "'S'" +
           (semRepresentante ? QStringLiteral(" and ma.id_representante is null")
                             : QStringLiteral(" and ma.id_representante = :ID_REPRESENTANTE")) +
           " and ma.id_cliente = :ID_CLIENTE" +
           // The client's documents only: the same rows, found through the document's index.
           " and nf.id_destinatario_remetente = :ID_CLIENTE" +
           " and nf.dt_emissao between :DT_INICIAL and :DT_FINAL";
}

ConsultaRepetida& RespostaCompra::consulta(bool semRepresentante) {
    std::unique_ptr<ConsultaRepetida>& c = semRepresentante ? m_semRep : m_comRep;
    if (!c) {
        c = std::make_unique<ConsultaRepetida>(m_db, m_tr, sql(semRepresentante));
        c->setParam("DT_INICIAL", m_mes.inicio);
        c->setParam("DT_FINAL", m_mes.fim);
    }
    return *c;
}

QString RespostaCompra::comprou(const QVariant& idRepresentante, const QVariant& idCliente) {
    if (idCliente.isNull()) return QStringLiteral("N");
    const QString chave = chaveTexto(idRepresentante) + '/' + chaveTexto(idCliente);
    if (auto it = m_respostas.constFind(chave); it != m_respostas.constEnd()) return *it;
    const bool semRep = idRepresentante.isNull();
    ConsultaRepetida& c = consulta(semRep);
    if (!semRep) c.setParam("ID_REPRESENTANTE", idRepresentante);
    c.setParam("ID_CLIENTE", idCliente);
    const QString r = c.valor().toString().trimmed() == "S" ? QStringLiteral("S") : QStringLiteral("N");
    m_respostas.insert(chave, r);
    return r;
}

int RespostaCompra::consultas() const {
    return (m_comRep ? m_comRep->execucoes() : 0) + (m_semRep ? m_semRep->execucoes() : 0);
}
