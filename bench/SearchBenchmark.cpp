#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "BenchDraw.h"
#include "ReferenceSearch.h"
#include "Solver.h"

namespace {

using quorbelix::bench::Draw;

// Numbered from 1 in the benchmark names.
constexpr std::array<Draw, 4> kDraws = {{
    {{1, 1, 1, 1, 1, 1}, 999},        // no solution, the whole tree
    {{100, 75, 50, 25, 10, 1}, 999},  // 1098 solutions
    {{1, 2, 3, 4, 5, 6}, 21},         // 17388 solutions
    {{1, 3, 5, 7, 9, 10}, 911},       // no solution
}};

const Draw& drawOf(const benchmark::State& state) {
    return kDraws[static_cast<std::size_t>(state.range(0) - 1)];
}

void Baseline(benchmark::State& state) {
    const Draw& draw = drawOf(state);
    for (auto _ : state) {
        const auto solutions = quorbelix::reference::search(draw.plates, draw.target);
        benchmark::DoNotOptimize(solutions.size());
        if (!solutions.empty()) {
            benchmark::DoNotOptimize(solutions.front());
        }
    }
}

void Engine(benchmark::State& state) {
    const Draw& draw = drawOf(state);
    for (auto _ : state) {
        quorbelix::SolutionList solutions;
        quorbelix::Search(draw.plates, draw.target, solutions);
        benchmark::DoNotOptimize(solutions.size());
        if (!solutions.empty()) {
            benchmark::DoNotOptimize(solutions.text(0));
        }
    }
}

// What the window does at worst: search, then show every entry of the list.
void EngineRenderAll(benchmark::State& state) {
    const Draw& draw = drawOf(state);
    for (auto _ : state) {
        quorbelix::SolutionList solutions;
        quorbelix::Search(draw.plates, draw.target, solutions);
        for (std::size_t index = 0; index < solutions.size(); ++index) {
            benchmark::DoNotOptimize(solutions.text(index));
        }
    }
}

BENCHMARK(Baseline)->ArgName("draw")->DenseRange(1, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(Engine)->ArgName("draw")->DenseRange(1, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineRenderAll)->ArgName("draw")->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
