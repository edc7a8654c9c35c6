#include "reports/ControleComercial.h"
#include "data/Query.h"
#include "data/UnFuncoes.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/WorkbookFiles.h"
#include "platform/WorkbookWriter.h"
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString kCriacaoFalhou = QStringLiteral(
    "Não foi possível criar o arquivo solicitado. Possíveis causas:\rO arquivo já está aberto.\rO Excel nã "
    "está instalado em seu computador.");

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

void MostraMes(QLineEdit& campo, const QDate& dia) {
    campo.setText(TextoMes(dia));
    campo.setCursorPosition(0);
}

MesColeta MesInformado(QLineEdit& campo) {
    const std::optional<MesColeta> mes = LeMesColeta(campo.displayText());
    if (!mes) {
        campo.setFocus();
        warnAndAbort("Mês da coleta inválido: informe o mês e o ano como mm/aaaa.");
    }
    return *mes;
}

bool AbreAnalisesDoMes(Query& analises, const QVariant& representante, const QString& sql) {
    if (!representante.isNull()) analises.setParam("ID_REPRESENTANTE", representante);
    AbreQuery(analises, sql);
    if (!analises.isEmpty()) return true;
    warn("Nenhum registro encontrado !");
    return false;
}

void FinalizaPlanilhaControle(WorkbookWriter& wb, const QString& erro, const QString& caminho) {
    if (!erro.isEmpty()) showMessage(erro, kSystemCaption, MsgIcon::None);
    wb.fitColumns(0);
    try {
        wb.close();
    } catch (const WorkbookError& e) {
        throw AppError(e.message());
    }
    AbrePlanilhaGravada(caminho);
}

QString CaminhoPlanilhaControle(const QString& nome) {
    return CaminhoPlanilha(nome);
}

QString PreparaArquivoControle(const QString& nomeRelatorio) {
    const QString problema = ValidaNomeArquivo(nomeRelatorio);
    if (!problema.isEmpty()) warnAndAbort(problema);
    const QString caminho = CaminhoPlanilhaControle(nomeRelatorio);
    const QFileInfo fi(caminho);
    if (!QDir().mkpath(fi.absolutePath())) warnAndAbort(kCriacaoFalhou);
    LiberaArquivoPlanilha(caminho, nomeRelatorio);
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

// ---------------------------------------------------------------- answers per client

namespace {
QString chaveTexto(const QVariant& v) {
    return v.isNull() ? QString() : QString::number(v.toLongLong());
}

// Opens a statement of the month on its own query, all rows fetched.
void abreDoMes(Query& q, const QString& sqlText, const MesColeta& mes) {
    q.setSqlText(sqlText);
    q.setParam("DT_INICIAL", mes.inicio);
    q.setParam("DT_FINAL", mes.fim);
    q.open();
    q.fetchAll();
}
} // namespace

QString chavePar(const QVariant& idRepresentante, const QVariant& idCliente) {
    return chaveTexto(idRepresentante) + '/' + chaveTexto(idCliente);
}

RespostaCompra::RespostaCompra(Database* db, Transaction* tr, const MesColeta& mes)
    : m_db(db), m_tr(tr), m_mes(mes) {}

QString RespostaCompra::sql() {
    // The rows each pair's question would sum, summed per pair: the same answer for every pair.
    return QStringLiteral(
               "select ma.id_representante, ma.id_cliente, case when sum(nfi.qt_produto) > 0 then") +
           "'S'" + " else " + "'N'" + " end as comprou" + " from cad_produto pro" +
           " inner join mov_nf_comercio_item nfi on nfi.id_produto = pro.id_produto" +
           " inner join mov_nf_comercio nf on nf.id_nf_comercio = nfi.id_nf_comercio" +
           " left join tab_nat_operacao nat on ( nat.id_nat_operacao = nf.id_nat_operacao" +
           " and nat.st_estat_venda=" + "'S'" + ")" +
           " inner join cad_pessoa cli on cli.id_pessoa = nf.id_destinatario_remetente" +
           " inner join tab_produto_equipamento tpe on" + " tpe.id_produto_base = pro.id_produto_base" +
           " inner join tab_equipamento_cli tec" +
           " on tec.id_cliente = cli.id_pessoa and tec.id_tp_equipamento = tpe.id_tp_equipamento" +
           " inner join mov_analise ma on ma.id_cliente = cli.id_pessoa" + " where 1=1" +
           " and nat.st_estat_venda = " + "'S'" + " and nf.dt_emissao between :DT_INICIAL and :DT_FINAL" +
           " group by ma.id_representante, ma.id_cliente";
}

QString RespostaCompra::comprou(const QVariant& idRepresentante, const QVariant& idCliente) {
    if (!m_lido) {
        Query q(m_db, m_tr, "IBQ_Aux");
        abreDoMes(q, sql(), m_mes);
        ++m_consultas;
        for (int r = 0; r < q.recordCount(); ++r)
            m_respostas.insert(chavePar(q.valueAt(r, q.field(0)), q.valueAt(r, q.field(1))),
                               q.valueAt(r, q.field(2)).toString().trimmed());
        m_lido = true;
    }
    return m_respostas.value(chavePar(idRepresentante, idCliente)) == "S" ? QStringLiteral("S")
                                                                          : QStringLiteral("N");
}

ContagemAnalises::ContagemAnalises(Database* db, Transaction* tr, const MesColeta& mes)
    : m_db(db), m_tr(tr), m_mes(mes) {}

QString ContagemAnalises::sql() {
    return QStringLiteral(
        "select ma.id_representante, ma.id_cliente, count(mae.id_analise) from mov_analise ma "
        "inner join cad_pessoa cli on cli.id_pessoa = ma.id_cliente inner join "
        "mov_analise_equipamento mae on mae.id_analise = ma.id_analise where ma.dt_coleta "
        "between :DT_INICIAL and :DT_FINAL group by ma.id_representante, ma.id_cliente");
}

qlonglong ContagemAnalises::quantas(const QVariant& idRepresentante, const QVariant& idCliente) {
    if (!m_lido) {
        Query q(m_db, m_tr, "IBQ_Aux");
        abreDoMes(q, sql(), m_mes);
        ++m_consultas;
        for (int r = 0; r < q.recordCount(); ++r)
            m_quantas.insert(chavePar(q.valueAt(r, q.field(0)), q.valueAt(r, q.field(1))),
                             q.valueAt(r, q.field(2)).toLongLong());
        m_lido = true;
    }
    return m_quantas.value(chavePar(idRepresentante, idCliente));
}
