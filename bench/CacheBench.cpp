// Benchmarks of the decoded-picture cache: decoding many captures at once and
// serving pictures that are already in memory.
#include "BenchInputs.h"
#include "ImageCache.h"

#include <benchmark/benchmark.h>

namespace {

// Twenty captures decoded together, as the batch tool does before joining.
void BM_PreloadCaptures(benchmark::State& state)
{
    const QStringList files = BenchInputs::captureFiles(BenchInputs::workDir(), 20);
    for (auto _ : state) {
        ImageCache cache;
        cache.preload(files);
        benchmark::DoNotOptimize(cache.bytesUsed());
    }
}

// Every picture of a painted canvas looked up once, all in memory.
void BM_CachedLookups(benchmark::State& state)
{
    const QStringList files = BenchInputs::captureFiles(BenchInputs::workDir(), 20);
    ImageCache cache;
    cache.preload(files);
    for (auto _ : state) {
        for (const QString& file : files)
            benchmark::DoNotOptimize(cache.get(file).serial);
    }
    state.counters["decodes"] = cache.decodeCount();
}

// Lookups under a budget of half the pictures: every lookup decodes anew.
void BM_CacheOverBudget(benchmark::State& state)
{
    const QStringList files = BenchInputs::captureFiles(BenchInputs::workDir(), 6);
    ImageCache cache;
    cache.preload({ files.first() });
    cache.setBudget(cache.bytesUsed() * 3);
    for (auto _ : state) {
        for (const QString& file : files)
            benchmark::DoNotOptimize(cache.get(file).serial);
    }
    state.counters["decodes"] = cache.decodeCount();
}

} // namespace

BENCHMARK(BM_PreloadCaptures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CachedLookups)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CacheOverBudget)->Unit(benchmark::kMillisecond);
