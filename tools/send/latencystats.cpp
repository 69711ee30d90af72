#include "latencystats.h"

#include <algorithm>

LatencySummary SummarizeLatencies(std::vector<double> samplesMs)
{
    LatencySummary summary;
    if (samplesMs.empty())
        return summary;
    std::sort(samplesMs.begin(), samplesMs.end());
    const size_t n = samplesMs.size();
    summary.minMs = samplesMs.front();
    summary.maxMs = samplesMs.back();
    summary.medianMs = n % 2 ? samplesMs[n / 2] : (samplesMs[n / 2 - 1] + samplesMs[n / 2]) / 2;
    // Integer arithmetic keeps the rank exact: ceil(0.99 * n) without rounding drift.
    const size_t rank = (99 * n + 99) / 100;
    summary.p99Ms = samplesMs[std::max<size_t>(rank, 1) - 1];
    return summary;
}
