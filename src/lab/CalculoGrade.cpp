#include "lab/CalculoGrade.h"
#include "data/DataSet.h"
#include "lab/ResultadosCalculados.h"
#include "screens/controls/DBGrid.h"

void CalculoGrade::instala(DBGrid* grade, DataSet* ds, const QString& campoTipo, const QString& campoValor,
                           int colunaValor) {
    m_ds = ds;
    m_campoTipo = campoTipo;
    m_campoValor = campoValor;
    grade->gridModel()->cellReadOnly = [this, colunaValor](int linha, int coluna) {
        return coluna == colunaValor && calculada(linha);
    };
    grade->gridModel()->cellToolTip = [this, colunaValor](int linha, int coluna) {
        return coluna == colunaValor ? dica(linha) : QString();
    };
}

void CalculoGrade::carrega(Database& db, Transaction& tr) {
    m_catalogo = formula::Catalogo::le(db, tr);
    m_motivos.clear();
}

bool CalculoGrade::calculada(int linha) const {
    if (!m_ds || !m_ds->active() || linha < 0 || linha >= m_ds->recordCount()) return false;
    return m_catalogo.calculado(m_ds->valueAt(linha, m_ds->fieldByName(m_campoTipo)).toInt());
}

QString CalculoGrade::dica(int linha) const {
    if (!calculada(linha)) return {};
    const formula::TipoFormula* t =
        m_catalogo.tipo(m_ds->valueAt(linha, m_ds->fieldByName(m_campoTipo)).toInt());
    if (auto it = m_motivos.find(linha); it != m_motivos.end() && !it->second.isEmpty())
        return "Não calculado: " + it->second + ".";
    return "Calculado pela fórmula: " + t->formula;
}

void CalculoGrade::recalcula() {
    if (!m_ds || !m_ds->active() || m_recalculando) return;
    m_recalculando = true;
    try {
        if (m_ds->editing()) m_ds->post();
        Field* tipo = m_ds->fieldByName(m_campoTipo);
        Field* valor = m_ds->fieldByName(m_campoValor);
        std::vector<std::pair<int, QVariant>> valores;
        for (int r = 0; r < m_ds->recordCount(); ++r)
            valores.emplace_back(m_ds->valueAt(r, tipo).toInt(), m_ds->valueAt(r, valor));
        std::map<int, QString> motivos;
        completaCalculados(m_catalogo, valores, &motivos);
        m_motivos.clear();
        const int atual = m_ds->recNo();
        for (int r = 0; r < m_ds->recordCount(); ++r) {
            if (!m_catalogo.calculado(valores[static_cast<size_t>(r)].first)) continue;
            m_motivos[r] = motivos[valores[static_cast<size_t>(r)].first];
            const QVariant& novo = valores[static_cast<size_t>(r)].second;
            const QVariant velho = m_ds->valueAt(r, valor);
            if (velho.isNull() == novo.isNull() && (novo.isNull() || velho.toDouble() == novo.toDouble()))
                continue;
            m_ds->setRecNo(r);
            m_ds->edit();
            valor->setValue(novo);
            m_ds->post();
        }
        if (atual >= 0 && m_ds->recNo() != atual) m_ds->setRecNo(atual);
    } catch (...) {
        m_recalculando = false;
        throw;
    }
    m_recalculando = false;
}
