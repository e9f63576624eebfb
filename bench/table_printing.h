#pragma once

// The touch table's printed legend and rows, and the sweep's.

#include "engine/touch_engine.h"
#include "table_cases.h"
#include "table_figures.h"
#include "touch_bench_options.h"

namespace bench_table {

// What each figure of the table is, and the goals.
void PrintLegend(const BenchOptions& options, const scantouch::TouchEngineSettings& settings);
void PrintHeader();
void PrintRow(const Case& c, const Figures& f, const scantouch::TouchEngineSettings& settings);

// The cases of the sweep, and the header of its rows.
void PrintSweepLegend();
// One setting of the engine: its figures on the hands, garbled, close and fast cases.
void PrintSweepRow(const scantouch::TouchEngineSettings& settings, const Figures& hands,
                   const Figures& garbled, const Figures& close, const Figures& fast);

}  // namespace bench_table
