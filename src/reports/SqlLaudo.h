#pragma once
// The statements through which the technical report and the fill-in sheet read an analysis,
// shared with the benchmark that runs them raw. The values that vary from row to row are
// parameters (:NAME), so each statement is prepared once per print.
//
// Each statement reads one table by an indexed key, or joins from such a key, and none asks
// for an order an index could give: databases whose index statistics were never computed
// (tables filled after their indexes were made) would otherwise have the server scan the two
// million results, or walk a whole primary key, for every sample. Callers sort the few rows.
namespace sqllaudo {

// One row per block of the analysis and analysis type with an ideal result for its equipment
// type, by block and then by analysis name.
inline constexpr const char* kLinhas =
    " select tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal, mar.no_pagina"
    " from tab_resultado_ideal tri"
    " inner join tab_tp_analise tta on (tta.id_tp_analise = tri.id_tp_analise)"
    " inner join mov_analise ma on (ma.id_tp_equipamento = :idTpEquipamento and ma.id_analise = :idAnalise)"
    " inner join mov_analise_equipamento mar on (mar.id_analise = ma.id_analise)"
    " where tri.id_tp_equipamento = :idTpEquipamento"
    " group by tta.id_tp_analise, tta.nm_tp_analise, tri.ds_resultado_ideal, mar.no_pagina"
    " order by mar.no_pagina, tta.nm_tp_analise";

// The analysed equipment of an analysis with its block and position.
inline constexpr const char* kAmostras =
    " select mae.id_analise_equipamento, mae.no_pagina, mae.no_amostra, mae.id_equipamento_cli"
    " from mov_analise_equipamento mae where mae.id_analise = :idAnalise";

// The results of one sample.
inline constexpr const char* kResultadosAmostra =
    " select mar.id_analise_resultado, mar.id_tp_analise, mar.vl_resultado"
    " from mov_analise_resultado mar where mar.id_analise_equipamento = :idAnaliseEquipamento";

// The analyses of an equipment before a date, the latest first (the first row is its previous
// collection).
inline constexpr const char* kAnaliseAnterior =
    " select ma.id_analise from mov_analise_equipamento mae"
    " inner join mov_analise ma on (ma.id_analise = mae.id_analise)"
    " where mae.id_equipamento_cli = :idEquipamentoCli and ma.dt_coleta < :dtColeta"
    " order by ma.dt_coleta desc, ma.id_analise desc";

// The samples of an equipment in an analysis (one, unless it was sampled twice).
inline constexpr const char* kAmostrasEquipamento =
    " select mae.id_analise_equipamento from mov_analise_equipamento mae"
    " where mae.id_analise = :idAnalise and mae.id_equipamento_cli = :idEquipamentoCli";

} // namespace sqllaudo
