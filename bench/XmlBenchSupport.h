// Shared by the XML benchmarks: counters and the three text sizes.
#pragma once
#include <benchmark/benchmark.h>

#include <string>

namespace bench {

// Bytes processed (the text's size a run), entries and the node count.
void SetCounters(benchmark::State& state, const std::string& text, size_t nodes);
// 10, 1,000 and 100,000 entries, in microseconds.
void Sizes(benchmark::internal::Benchmark* b);

}  // namespace bench
