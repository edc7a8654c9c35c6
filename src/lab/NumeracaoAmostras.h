#pragma once
// Numbering of the samples of an analysis for its prints: four samples per page, in the order
// of the analysed equipment's keys (the order in which they were added). The first to fourth
// get page 1 samples 1 to 4, the fifth to eighth page 2 samples 1 to 4, and so on.
#include "data/Database.h"
#include <utility>

// The (page, sample) of the n-th sample of an analysis, n counted from 1.
std::pair<int, int> PaginaAmostra(int n);

// Writes NO_PAGINA and NO_AMOSTRA of every analysed equipment of the analysis on tr and commits
// it retaining. Rows that already hold their numbers are not written again, so a print does not
// collide with a workstation editing a sample's texts meanwhile.
void NumeraPaginasAmostras(Database& db, Transaction& tr, int idAnalise);
