#include "lab/GravacaoResultados.h"
#include "data/KeyAllocation.h"
#include "data/Query.h"
#include "data/Statement.h"
#include "lab/ResultadosCalculados.h"
#include "platform/Errors.h"
#include "screens/MensagensBanco.h"
#include "screens/controls/FieldText.h"
#include <QLocale>

namespace {

QString textoValor(const QVariant& v) {
    if (v.isNull()) return QStringLiteral("(vazio)");
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(v.toDouble(), 'f', 2);
}

// The save stops on a value that another workstation changed after it was read.
class ValorMudou : public AppError {
public:
    using AppError::AppError;
};

// A statement that failed on a cell: the cell and the database's reason.
class FalhaCelula {
public:
    FalhaCelula(const CelulaResultado* c, DatabaseError e) : celula(c), erro(std::move(e)) {}
    const CelulaResultado* celula;
    DatabaseError erro;
};

const char* const kNadaGravado = "Nenhum resultado foi gravado; os valores digitados continuam na janela.";

} // namespace

bool CelulaResultado::alterada() const {
    return !fieldtext::sameValue(lido, novo);
}

ResumoGravacao GravacaoResultados::grava(const std::vector<CelulaResultado>& dadas) {
    // Calculated types are computed from the values saved with them.
    std::vector<CelulaResultado> celulas = dadas;
    completaCalculados(m_db, celulas);
    std::vector<const CelulaResultado*> alteradas;
    for (const CelulaResultado& c : celulas)
        if (c.alterada()) alteradas.push_back(&c);
    if (alteradas.empty()) return {};
    for (int tentativa = 1;; ++tentativa) {
        try {
            return gravaUmaVez(alteradas);
        } catch (const FalhaCelula& f) {
            if (isConnectionLost(f.erro)) throw f.erro;
            if (chaveDuplicada(f.erro) && tentativa < kTentativas) continue;
            if (chaveDuplicada(f.erro))
                throw AppError(
                    QStringLiteral("Outras estações de trabalho gravaram ao mesmo tempo resultados com "
                                   "os códigos que estes receberiam. ") +
                    QString::fromUtf8(kNadaGravado) + QStringLiteral(" Salve novamente."));
            throw AppError(QStringLiteral("O banco de dados recusou o resultado de ") + f.celula->descricao +
                           " (" + textoValor(f.celula->novo) + "): " + f.erro.message() + "\n\n" +
                           QString::fromUtf8(kNadaGravado));
        } catch (const DatabaseError& e) {
            // The commit itself (or the start) failed: nothing of the save is in the database.
            if (isConnectionLost(e)) throw;
            throw AppError(QStringLiteral("O banco de dados não confirmou a gravação dos resultados: ") +
                           e.message() + "\n\n" + QString::fromUtf8(kNadaGravado));
        }
    }
}

ResumoGravacao GravacaoResultados::gravaUmaVez(const std::vector<const CelulaResultado*>& alteradas) {
    ResumoGravacao resumo;
    Transaction tr(&m_db);
    tr.start();
    try {
        Statement existe(&m_db, &tr), insere(&m_db, &tr), altera(&m_db, &tr), exclui(&m_db, &tr);
        qint64 proxima = 0;
        const CelulaResultado* atual = nullptr;
        try {
            for (const CelulaResultado* c : alteradas) {
                atual = c;
                if (c->lido.isNull()) {
                    // A value where there was none: unless another workstation wrote one meanwhile.
                    if (!existe.prepared())
                        existe.prepare("select count(*) from mov_analise_resultado where "
                                       "id_analise_equipamento = ? and id_tp_analise = ?");
                    existe.setParam(0, c->idAnaliseEquipamento);
                    existe.setParam(1, c->idTpAnalise);
                    existe.openCursor();
                    QByteArray buf(existe.outputLayout().size, '\0');
                    const bool ha =
                        existe.fetch(buf.data()) &&
                        codec::decode(existe.outputLayout().columns[0], buf.constData()).toInt() > 0;
                    existe.closeCursor();
                    if (ha)
                        throw ValorMudou(QStringLiteral("Outra estação de trabalho gravou um resultado de ") +
                                         c->descricao +
                                         QStringLiteral(" depois que esta janela o leu vazio."));
                    if (proxima == 0) {
                        Query chave(&m_db, &tr, "IBQ_ID");
                        proxima = AdicionaID(chave, "MOV_ANALISE_RESULTADO", "ID_ANALISE_RESULTADO");
                    }
                    if (!insere.prepared())
                        insere.prepare("insert into mov_analise_resultado(id_analise_resultado,id_tp_analise,"
                                       "id_analise_equipamento,vl_resultado)VALUES(?,?,?,?)");
                    insere.setParam(0, proxima++);
                    insere.setParam(1, c->idTpAnalise);
                    insere.setParam(2, c->idAnaliseEquipamento);
                    insere.setParamLabel(3, c->descricao);
                    insere.setParam(3, c->novo);
                    insere.execute();
                    ++resumo.inseridos;
                    continue;
                }
                Statement& st = c->novo.isNull() ? exclui : altera;
                if (!st.prepared()) {
                    // The value as read is part of the condition: a value changed meanwhile is
                    // not touched.
                    if (&st == &exclui)
                        st.prepare("delete from mov_analise_resultado where id_analise_equipamento = ? and "
                                   "id_tp_analise = ? and vl_resultado = ?");
                    else
                        st.prepare("update mov_analise_resultado set vl_resultado = ? where "
                                   "id_analise_equipamento = ? and id_tp_analise = ? and vl_resultado = ?");
                }
                int p = 0;
                if (&st == &altera) {
                    st.setParamLabel(p, c->descricao);
                    st.setParam(p++, c->novo);
                }
                st.setParam(p++, c->idAnaliseEquipamento);
                st.setParam(p++, c->idTpAnalise);
                st.setParam(p++, c->lido);
                st.execute();
                if (st.rowsAffected() == 0)
                    throw ValorMudou(
                        QStringLiteral("Outra estação de trabalho alterou ou excluiu o resultado de ") +
                        c->descricao + " (lido: " + textoValor(c->lido) +
                        QStringLiteral(") depois que esta janela o leu."));
                ++(c->novo.isNull() ? resumo.excluidos : resumo.alterados);
            }
        } catch (const DatabaseError& e) {
            throw FalhaCelula(atual, e);
        }
        for (Statement* s : {&existe, &insere, &altera, &exclui})
            s->free();
        tr.commit();
    } catch (const ValorMudou& e) {
        tr.rollback();
        throw AppError(e.message() + "\n\n" + QString::fromUtf8(kNadaGravado) +
                       QStringLiteral(" Feche a janela e abra-a de novo para ver os valores atuais."));
    } catch (...) {
        try {
            if (tr.active()) tr.rollback();
        } catch (...) {
            tr.forget();
        }
        throw;
    }
    return resumo;
}
