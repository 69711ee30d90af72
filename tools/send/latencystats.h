#pragma once

// The latency figures of a repeated run: the spread of answer times that a
// load test is judged by.

#include <vector>

struct LatencySummary
{
    double minMs = 0;
    double medianMs = 0;
    double p99Ms = 0;
    double maxMs = 0;
};

// Median of an even count is the mean of the two middle values; p99 is the
// nearest-rank value, so it is always a time that was actually measured.
// An empty sample gives all zeros.
LatencySummary SummarizeLatencies(std::vector<double> samplesMs);
