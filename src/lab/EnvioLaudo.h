#pragma once
// The technical report sent by e-mail from the analysis registration, as rules a test can drive
// without the windows: the client's addresses, the subject, text and file name offered, the
// check of what the user typed, and the record of a sent report (the PDF kept in the folder
// "Laudos Enviados" beside the database, a row of SIS_CTV_LAUDO_ENVIADO).
#include "data/Database.h"
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One address offered as a tick box: whose it is ("Cliente", or the contact's name) and the
// address.
struct DestinatarioLaudo {
    QString descricao;
    QString endereco;
};

// The client's own addresses (CAD_PESSOA.DS_E_MAIL) and then its contacts'
// (CAD_CONTATO_PESSOA.DS_E_MAIL), each address once; a field holding several addresses gives one
// box each. Reads on its own transaction of db.
std::vector<DestinatarioLaudo> DestinatariosDoCliente(Database& db, int idCliente);

// The addresses in typed text, separated by ";", "," or blanks.
QStringList SeparaEnderecos(const QString& texto);

// "Laudo Técnico de Análises Químicas - " + client + " - Coleta " + dd/mm/yyyy.
QString AssuntoLaudo(const QString& cliente, const QDate& coleta);
// The short text of the mail, signed by the sender's name (or the company's).
QString TextoLaudo(const QDate& coleta, const QString& assinatura);
// "Laudo Técnico 000012 - HOTEL SERRA AZUL - 01-02-2024.pdf", without characters that a
// file system refuses.
QString NomeArquivoLaudo(int idAnalise, const QString& cliente, const QDate& coleta);
// "123,4 KB" (pt_BR).
QString TamanhoArquivo(qint64 bytes);

// What the user chose, checked before anything is sent: at least one address, each a valid
// address; a subject; texts that the database can keep (Windows-1252) and that fit its columns.
// Returns the message that explains the first problem; empty when all is well.
QString ConfereEnvioLaudo(const QStringList& enderecos, const QString& assunto);

// <shared data folder>/Laudos Enviados.
QString PastaLaudosEnviados();

struct LaudoEnviado {
    int idLaudoEnviado = 0;
    int idAnalise = 0;
    QStringList destinatarios;
    QString assunto;
    QDateTime momento;
    int idUsuario = 0;
    QString nmUsuario;
    QString sha256;  // of the PDF, in lower-case hexadecimal
    QString arquivo; // the file's name in the folder of sent reports
    qint64 bytes = 0;
};

// Records a report that the mail server accepted: the PDF is written into the folder of sent
// reports under a name of its own ("2024-03-15 09-00-00 - " + file name) and the row inserted
// and committed on a transaction of its own. The fields idLaudoEnviado, sha256, arquivo and
// bytes are filled. Returns the message of a copy that could not be written (the row is
// recorded all the same: the mail went); empty when the copy was kept.
QString RegistraLaudoEnviado(Database& db, LaudoEnviado& laudo, const QString& nomeAnexo,
                             const QByteArray& pdf);

// The last report sent of the analysis, if any.
std::optional<LaudoEnviado> UltimoLaudoEnviado(Database& db, int idAnalise);
// "Último envio do laudo: 15/03/2024 09:00, para a@b.com; c@d.com" or "Laudo ainda não enviado
// por e-mail".
QString DescricaoUltimoEnvio(const std::optional<LaudoEnviado>& laudo);
