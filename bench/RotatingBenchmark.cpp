#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <random>
#include <vector>

#include "BenchDraw.h"
#include "DistinctSearch.h"
#include "NearestSearch.h"
#include "Solver.h"

namespace {

using quorbelix::Target;
using quorbelix::bench::Draw;

// The game's plates, 1 twice as likely as the others, and targets of 100 to 999, from a
// fixed seed so that every run measures the same draws.
std::vector<Draw> gameDraws() {
    constexpr std::array<std::int32_t, 15> kPlates = {1, 1, 2,  3,  4,  5,  6,  7,
                                                      8, 9, 10, 25, 50, 75, 100};
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<std::size_t> plate(0, kPlates.size() - 1);
    std::uniform_int_distribution<Target> target(100, 999);
    std::vector<Draw> draws(600);
    for (Draw& draw : draws) {
        for (std::int32_t& value : draw.plates) {
            value = kPlates[plate(random)];
        }
        draw.target = target(random);
    }
    return draws;
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// One iteration searches each of the 600 draws once, in turn, so that no search is
// repeated often enough for the branch predictors to learn it. Besides the time of a
// whole round, it reports the median over the draws of each draw's fastest search, over
// all draws and over those with more than 3000 solutions (the long listings).
void EngineRotating(benchmark::State& state) {
    const std::vector<Draw> draws = gameDraws();
    std::vector<double> fastest(draws.size(), 1e300);
    std::vector<std::size_t> counts(draws.size());
    for (auto _ : state) {
        for (std::size_t index = 0; index < draws.size(); ++index) {
            const auto start = std::chrono::steady_clock::now();
            quorbelix::SolutionList solutions;
            quorbelix::Search(draws[index].plates, draws[index].target, solutions);
            benchmark::DoNotOptimize(solutions.size());
            const std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            fastest[index] = std::min(fastest[index], took.count());
            counts[index] = solutions.size();
        }
    }
    std::vector<double> many;
    for (std::size_t index = 0; index < draws.size(); ++index) {
        if (counts[index] > 3000) {
            many.push_back(fastest[index]);
        }
    }
    state.counters["median_us"] = median(fastest);
    state.counters["over3000_median_us"] = median(many);
    state.counters["over3000_draws"] = static_cast<double>(many.size());
}

BENCHMARK(EngineRotating)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The distinct calculations of each draw, texts written and handed out, in turn as above;
// the median over the draws of each draw's fastest search.
void DistinctRotating(benchmark::State& state) {
    const std::vector<Draw> draws = gameDraws();
    std::vector<double> fastest(draws.size(), 1e300);
    for (auto _ : state) {
        for (std::size_t index = 0; index < draws.size(); ++index) {
            const auto start = std::chrono::steady_clock::now();
            std::size_t listed = 0;
            quorbelix::SearchDistinct(draws[index].plates, draws[index].target, draws[index].target,
                                      quorbelix::Notation::Infix,
                                      [&](const quorbelix::DistinctCalculation& calculation) {
                                          listed += calculation.text.size();
                                          return true;
                                      });
            benchmark::DoNotOptimize(listed);
            const std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            fastest[index] = std::min(fastest[index], took.count());
        }
    }
    state.counters["median_us"] = median(fastest);
}

BENCHMARK(DistinctRotating)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The draws whose target no chain reaches: the search that finds nothing, and the walk
// that finds the closest results, each draw in turn; medians over those draws.
void NearestRotating(benchmark::State& state) {
    std::vector<Draw> draws;
    for (const Draw& draw : gameDraws()) {
        quorbelix::SolutionList solutions;
        quorbelix::Search(draw.plates, draw.target, solutions);
        if (solutions.empty()) {
            draws.push_back(draw);
        }
    }
    std::vector<double> searches(draws.size(), 1e300);
    std::vector<double> walks(draws.size(), 1e300);
    for (auto _ : state) {
        for (std::size_t index = 0; index < draws.size(); ++index) {
            auto start = std::chrono::steady_clock::now();
            quorbelix::SolutionList solutions;
            quorbelix::Search(draws[index].plates, draws[index].target, solutions);
            benchmark::DoNotOptimize(solutions.size());
            std::chrono::duration<double, std::micro> took =
                std::chrono::steady_clock::now() - start;
            searches[index] = std::min(searches[index], took.count());
            start = std::chrono::steady_clock::now();
            const auto nearest = quorbelix::FindNearest(draws[index].plates, draws[index].target);
            benchmark::DoNotOptimize(nearest.below);
            took = std::chrono::steady_clock::now() - start;
            walks[index] = std::min(walks[index], took.count());
        }
    }
    state.counters["draws"] = static_cast<double>(draws.size());
    state.counters["search_median_us"] = median(searches);
    state.counters["walk_median_us"] = median(walks);
}

BENCHMARK(NearestRotating)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
