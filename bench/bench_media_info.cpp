// The probe-text matcher on a large single-line text, as a long server reply would be.
#include "text/TextReading.h"

#include <benchmark/benchmark.h>

namespace {

QString LongLine(qsizetype bytes)
{
    QString text;
    text.reserve(bytes + 64);
    while (text.size() < bytes)
        text += QStringLiteral(", abc def ghi");
    return text;
}

// A start on every few characters and no end: the worst case for a naive scan.
void BM_ExtractBetweenNoEnd(benchmark::State& state)
{
    const QString text = LongLine(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ExtractBetween(text, QStringLiteral(", "), QStringLiteral(" tb")));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_ExtractBetweenReply(benchmark::State& state)
{
    const QString text = LongLine(state.range(0)) + QStringLiteral("CURRENT_VERSION=>0.75<=CURRENT_VERSION");
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ExtractBetween(text, QStringLiteral("CURRENT_VERSION=>"), QStringLiteral("<=CURRENT_VERSION")));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_ExtractBetweenNoEnd)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractBetweenReply)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
