#include "lab/EnvioLaudo.h"
#include "data/Query.h"
#include "platform/Cp1252.h"
#include "reports/ImagensLaudo.h"
#include "support/ConfiguracaoEmailLaudo.h"
#include <QCryptographicHash>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

const QLocale& br() {
    static const QLocale l(QLocale::Portuguese, QLocale::Brazil);
    return l;
}

// Widths of the columns of SIS_CTV_LAUDO_ENVIADO.
constexpr int kDestinatarios = 1000, kAssunto = 250, kArquivo = 250;

void leEnderecos(Database& db, const QString& sql, int idPessoa,
                 const std::function<void(const QString& descricao, const QString& enderecos)>& cada) {
    Transaction tr(&db);
    tr.start();
    Query q(&db, &tr);
    q.setSqlText(sql);
    q.setParam("ID_PESSOA", idPessoa);
    q.open();
    for (q.first(); !q.eof(); q.next())
        cada(q.field(0)->asString().trimmed(), q.field(1)->asString());
    q.close();
    tr.commit();
}

} // namespace

QStringList SeparaEnderecos(const QString& texto) {
    static const QRegularExpression separador(QStringLiteral("[;,\\s]+"));
    return texto.split(separador, Qt::SkipEmptyParts);
}

std::vector<DestinatarioLaudo> DestinatariosDoCliente(Database& db, int idCliente) {
    std::vector<DestinatarioLaudo> lista;
    auto junta = [&](const QString& descricao, const QString& enderecos) {
        for (const QString& e : SeparaEnderecos(enderecos)) {
            const bool repetido = std::any_of(lista.begin(), lista.end(), [&](const DestinatarioLaudo& d) {
                return d.endereco.compare(e, Qt::CaseInsensitive) == 0;
            });
            if (!repetido) lista.push_back({descricao, e});
        }
    };
    leEnderecos(db,
                "select 'Cliente', pe.ds_e_mail from cad_pessoa pe where pe.id_pessoa = :ID_PESSOA and "
                "pe.ds_e_mail is not null",
                idCliente, junta);
    leEnderecos(db,
                "select coalesce(ccp.nm_contato, 'Contato'), ccp.ds_e_mail from cad_contato_pessoa ccp where "
                "ccp.id_pessoa = :ID_PESSOA and ccp.ds_e_mail is not null order by ccp.id_contato_pessoa",
                idCliente, [&](const QString& nome, const QString& enderecos) {
                    junta(nome.isEmpty() ? QStringLiteral("Contato") : nome, enderecos);
                });
    return lista;
}

QString AssuntoLaudo(const QString& cliente, const QDate& coleta) {
    QString assunto = QString::fromUtf8("Laudo Técnico de Análises Químicas");
    if (!cliente.trimmed().isEmpty()) assunto += " - " + cliente.trimmed();
    if (coleta.isValid()) assunto += " - Coleta " + br().toString(coleta, "dd/MM/yyyy");
    return assunto;
}

QString TextoLaudo(const QDate& coleta, const QString& assinatura) {
    QStringList linhas{QStringLiteral("Prezado(a) cliente,"), QString()};
    linhas << (QString::fromUtf8("Segue em anexo o Laudo Técnico de Análises Químicas") +
               (coleta.isValid() ? " das amostras coletadas em " + br().toString(coleta, "dd/MM/yyyy")
                                 : QString()) +
               ".");
    linhas << QString() << QStringLiteral("Atenciosamente,");
    if (!assinatura.trimmed().isEmpty()) linhas << assinatura.trimmed();
    return linhas.join('\n');
}

QString NomeArquivoLaudo(int idAnalise, const QString& cliente, const QDate& coleta) {
    QString nome = QString::fromUtf8("Laudo Técnico %1").arg(idAnalise, 6, 10, QLatin1Char('0'));
    QString limpo = cliente.trimmed();
    static const QRegularExpression proibidos(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1F]"));
    limpo.replace(proibidos, QStringLiteral(" "));
    limpo = limpo.simplified();
    if (!limpo.isEmpty()) nome += " - " + limpo;
    if (coleta.isValid()) nome += " - " + coleta.toString("dd-MM-yyyy");
    return nome + ".pdf";
}

QString TamanhoArquivo(qint64 bytes) {
    if (bytes < 1024) return br().toString(bytes) + " bytes";
    if (bytes < 1024 * 1024) return br().toString(bytes / 1024.0, 'f', 1) + " KB";
    return br().toString(bytes / (1024.0 * 1024.0), 'f', 1) + " MB";
}

QString ConfereEnvioLaudo(const QStringList& enderecos, const QString& assunto) {
    if (enderecos.isEmpty()) return QString::fromUtf8("Marque ou digite ao menos um destinatário.");
    for (const QString& e : enderecos)
        if (!enderecoEmailValido(e))
            return QString::fromUtf8("O endereço \"") + e +
                   QString::fromUtf8("\" não é um endereço de e-mail válido.");
    if (enderecos.join("; ").size() > kDestinatarios)
        return QString::fromUtf8(
                   "São destinatários demais para um envio: os endereços passam de %1 caracteres.")
            .arg(kDestinatarios);
    if (assunto.trimmed().isEmpty()) return QString::fromUtf8("Informe o assunto do e-mail.");
    if (assunto.size() > kAssunto)
        return QString::fromUtf8("O assunto passa de %1 caracteres: abrevie-o.").arg(kAssunto);
    if (const qsizetype i = cp1252::firstUnencodable(assunto); i >= 0)
        return QString::fromUtf8("O assunto tem o caractere \"") +
               assunto.mid(i, assunto.at(i).isHighSurrogate() ? 2 : 1) +
               QString::fromUtf8("\", que o registro dos laudos enviados não guarda: troque-o.");
    return QString();
}

QString PastaLaudosEnviados() {
    const QString dados = PastaDadosCompartilhados();
    return (dados.isEmpty() ? QDir::currentPath() : dados) + QStringLiteral("/Laudos Enviados");
}

QString RegistraLaudoEnviado(Database& db, LaudoEnviado& laudo, const QString& nomeAnexo,
                             const QByteArray& pdf) {
    laudo.sha256 = QString::fromLatin1(QCryptographicHash::hash(pdf, QCryptographicHash::Sha256).toHex());
    laudo.bytes = pdf.size();
    laudo.arquivo = (laudo.momento.toString("yyyy-MM-dd hh-mm-ss") + " - " + nomeAnexo).left(kArquivo);
    // A character the database cannot keep does not stop the record of what was sent.
    if (cp1252::firstUnencodable(laudo.arquivo) >= 0)
        laudo.arquivo = laudo.momento.toString("yyyy-MM-dd hh-mm-ss") +
                        QStringLiteral(" - Laudo %1.pdf").arg(laudo.idAnalise, 6, 10, QLatin1Char('0'));

    QString falhaCopia;
    const QString pasta = PastaLaudosEnviados();
    QSaveFile arquivo(QDir(pasta).filePath(laudo.arquivo));
    if (!QDir().mkpath(pasta))
        falhaCopia = QString::fromUtf8("a pasta ") + pasta + QString::fromUtf8(" não pôde ser criada");
    else if (!arquivo.open(QIODevice::WriteOnly) || arquivo.write(pdf) != pdf.size() || !arquivo.commit())
        falhaCopia = arquivo.fileName() + ": " + arquivo.errorString();

    Transaction tr(&db);
    tr.start();
    Query q(&db, &tr);
    q.setSqlText("select next value for GEN_SIS_CTV_LAUDO_ENVIADO from rdb$database");
    q.open();
    laudo.idLaudoEnviado = q.field(0)->asInteger();
    q.close();
    q.setSqlText(
        "insert into SIS_CTV_LAUDO_ENVIADO (ID_LAUDO_ENVIADO, ID_ANALISE, DS_DESTINATARIOS, DS_ASSUNTO, "
        "DH_ENVIO, ID_USUARIO, NM_USUARIO, CD_SHA256_PDF, NM_ARQUIVO, QT_BYTES) values (:ID_LAUDO_ENVIADO, "
        ":ID_ANALISE, :DS_DESTINATARIOS, :DS_ASSUNTO, :DH_ENVIO, :ID_USUARIO, :NM_USUARIO, :CD_SHA256_PDF, "
        ":NM_ARQUIVO, :QT_BYTES)");
    q.setParam("ID_LAUDO_ENVIADO", laudo.idLaudoEnviado);
    q.setParam("ID_ANALISE", laudo.idAnalise);
    q.setParam("DS_DESTINATARIOS", laudo.destinatarios.join("; "));
    q.setParam("DS_ASSUNTO", laudo.assunto);
    q.setParam("DH_ENVIO", laudo.momento);
    q.setParam("ID_USUARIO", laudo.idUsuario ? QVariant(laudo.idUsuario) : QVariant());
    q.setParam("NM_USUARIO", laudo.nmUsuario.left(40));
    q.setParam("CD_SHA256_PDF", laudo.sha256);
    q.setParam("NM_ARQUIVO", laudo.arquivo);
    q.setParam("QT_BYTES", laudo.bytes);
    q.execSQL();
    tr.commit();
    return falhaCopia;
}

std::optional<LaudoEnviado> UltimoLaudoEnviado(Database& db, int idAnalise) {
    std::optional<LaudoEnviado> ultimo;
    Transaction tr(&db);
    tr.start();
    Query q(&db, &tr);
    q.setSqlText(
        "select first 1 ID_LAUDO_ENVIADO, DS_DESTINATARIOS, DS_ASSUNTO, DH_ENVIO, ID_USUARIO, NM_USUARIO, "
        "CD_SHA256_PDF, NM_ARQUIVO, QT_BYTES from SIS_CTV_LAUDO_ENVIADO where ID_ANALISE = :ID_ANALISE "
        "order by DH_ENVIO desc, ID_LAUDO_ENVIADO desc");
    q.setParam("ID_ANALISE", idAnalise);
    q.open();
    if (!q.eof()) {
        LaudoEnviado l;
        l.idLaudoEnviado = q.field(0)->asInteger();
        l.idAnalise = idAnalise;
        l.destinatarios = q.field(1)->asString().split("; ", Qt::SkipEmptyParts);
        l.assunto = q.field(2)->asString();
        l.momento = q.field(3)->value().toDateTime();
        l.idUsuario = q.field(4)->asInteger();
        l.nmUsuario = q.field(5)->asString();
        l.sha256 = q.field(6)->asString().trimmed();
        l.arquivo = q.field(7)->asString();
        l.bytes = q.field(8)->value().toLongLong();
        ultimo = l;
    }
    q.close();
    tr.commit();
    return ultimo;
}

QString DescricaoUltimoEnvio(const std::optional<LaudoEnviado>& laudo) {
    if (!laudo) return QStringLiteral("Laudo ainda não enviado por e-mail");
    return QString::fromUtf8("Último envio do laudo: ") + br().toString(laudo->momento, "dd/MM/yyyy hh:mm") +
           ", para " + laudo->destinatarios.join("; ");
}
