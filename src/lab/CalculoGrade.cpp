#include "lab/CalculoGrade.h"
#include "data/DataSet.h"
#include "lab/ResultadosCalculados.h"
#include "screens/controls/DBGrid.h"

void CalculoGrade::instala(DBGrid* grade, DataSet* ds, const QString& campoTipo,
                           const QStringList& camposValor, const std::vector<int>& colunasValor) {
    m_ds = ds;
    m_campoTipo = campoTipo;
    m_camposValor = camposValor;
    m_colunasValor = colunasValor;
    grade->gridModel()->cellReadOnly = [this](int linha, int coluna) {
        return amostraDaColuna(coluna) >= 0 && calculada(linha);
    };
    grade->gridModel()->cellToolTip = [this](int linha, int coluna) {
        const int amostra = amostraDaColuna(coluna);
        return amostra >= 0 ? dica(linha, amostra) : QString();
    };
}

int CalculoGrade::amostraDaColuna(int coluna) const {
    for (size_t i = 0; i < m_colunasValor.size(); ++i)
        if (m_colunasValor[i] == coluna) return static_cast<int>(i);
    return -1;
}

void CalculoGrade::carrega(Database& db, Transaction& tr) {
    m_catalogo = formula::Catalogo::le(db, tr);
    m_motivos.clear();
}

bool CalculoGrade::calculada(int linha) const {
    if (!m_ds || !m_ds->active() || linha < 0 || linha >= m_ds->recordCount()) return false;
    return m_catalogo.calculado(m_ds->valueAt(linha, m_ds->fieldByName(m_campoTipo)).toInt());
}

QString CalculoGrade::dica(int linha, int amostra) const {
    if (!calculada(linha)) return {};
    const formula::TipoFormula* t =
        m_catalogo.tipo(m_ds->valueAt(linha, m_ds->fieldByName(m_campoTipo)).toInt());
    if (auto it = m_motivos.find({linha, amostra}); it != m_motivos.end() && !it->second.isEmpty())
        return "Não calculado: " + it->second + ".";
    return "Calculado pela fórmula: " + t->formula;
}

void CalculoGrade::recalcula() {
    if (!m_ds || !m_ds->active() || m_recalculando) return;
    m_recalculando = true;
    try {
        if (m_ds->editing()) m_ds->post();
        Field* tipo = m_ds->fieldByName(m_campoTipo);
        const int atual = m_ds->recNo();
        m_motivos.clear();
        for (int a = 0; a < m_camposValor.size(); ++a) {
            Field* valor = m_ds->fieldByName(m_camposValor[a]);
            std::vector<std::pair<int, QVariant>> valores;
            for (int r = 0; r < m_ds->recordCount(); ++r)
                valores.emplace_back(m_ds->valueAt(r, tipo).toInt(), m_ds->valueAt(r, valor));
            std::map<int, QString> motivos;
            completaCalculados(m_catalogo, valores, &motivos);
            for (int r = 0; r < m_ds->recordCount(); ++r) {
                const auto& [idTipo, novo] = valores[static_cast<size_t>(r)];
                if (!m_catalogo.calculado(idTipo)) continue;
                m_motivos[{r, a}] = motivos[idTipo];
                const QVariant velho = m_ds->valueAt(r, valor);
                if (velho.isNull() == novo.isNull() && (novo.isNull() || velho.toDouble() == novo.toDouble()))
                    continue;
                m_ds->setRecNo(r);
                m_ds->edit();
                valor->setValue(novo);
                m_ds->post();
            }
        }
        if (atual >= 0 && m_ds->recNo() != atual) m_ds->setRecNo(atual);
    } catch (...) {
        m_recalculando = false;
        throw;
    }
    m_recalculando = false;
}
