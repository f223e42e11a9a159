// The phrase grid's row model with ten thousand rows: filling (as the editor does after a
// load), finding a row by its datum, and counting enabled rows for the title.

#include <benchmark/benchmark.h>

#include <string>

#include "controls/grid_rows.h"

namespace vellix {
namespace {

constexpr int kRows = 10000;

GridRows Filled() {
  GridRows rows;
  rows.SetColumnCount(4);
  for (int i = 0; i < kRows; ++i) {
    const int row = rows.Insert(static_cast<uint32_t>(i + 1), 1, -1);
    rows.Cell(row, 0)->text = u"a phrase of some length, row " + std::u16string(1, char16_t(u'0' + i % 10));
    rows.Cell(row, 0)->check = i % 3 != 0;
    rows.Cell(row, 1)->text = u"No";
    rows.Cell(row, 2)->text = u"Add";
    rows.Cell(row, 3)->text = u"0";
  }
  return rows;
}

void BM_FillTenThousandRows(benchmark::State& state) {
  for (auto _ : state) {
    GridRows rows = Filled();
    benchmark::DoNotOptimize(rows.Count());
  }
}
BENCHMARK(BM_FillTenThousandRows)->Unit(benchmark::kMillisecond);

void BM_FindLastRow(benchmark::State& state) {
  const GridRows rows = Filled();
  for (auto _ : state) benchmark::DoNotOptimize(rows.Find(kRows));
}
BENCHMARK(BM_FindLastRow)->Unit(benchmark::kMicrosecond);

void BM_RemoveFirstRow(benchmark::State& state) {
  GridRows rows = Filled();
  for (auto _ : state) {
    rows.Remove(0);
    state.PauseTiming();
    rows.Insert(1, 1, 0);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RemoveFirstRow)->Unit(benchmark::kMicrosecond);

void BM_CollapseAndExpand(benchmark::State& state) {
  GridRows rows = Filled();
  rows.Insert(99999, 2, 1);
  for (auto _ : state) {
    rows.SetExpanded(0, false);
    rows.SetExpanded(0, true);
  }
}
BENCHMARK(BM_CollapseAndExpand)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vellix

BENCHMARK_MAIN();
