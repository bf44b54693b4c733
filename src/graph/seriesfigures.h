#pragma once

#include "graph/acousticfigures.h"
#include "graph/chartmodel.h"

#include <cstdint>
#include <optional>
#include <vector>

// The acoustic figures of subset 0 of a chart, for the whole graph and between two point
// indexes, with the excluded intervals left out.
//
// Built once per state of the data, it answers a cursor move in time independent of the
// interval's length: prefix counts of the valid points, a tree of energy sums (each sum adds up
// its own points only, so a quiet interval after a loud one keeps its precision), and a wavelet
// matrix over the levels' ranks for the k-th level of any interval.
class SeriesFigures
{
public:
    using Figures = AcousticFigures::Figures;

    // An empty series: every figure empty.
    SeriesFigures() = default;
    SeriesFigures(const ChartModel &chart, std::optional<double> intervalSeconds);

    Figures whole() const;
    // The points from index a to index b, in either order, both included (clamped to the series).
    Figures between(int a, int b) const;

    int points() const { return m_points; }

private:
    Figures ofValidRange(long long first, long long end) const; // [first, end) of valid levels
    double energySum(long long first, long long end) const;
    long long kthRank(long long first, long long end, long long k) const; // k from 0

    int m_points = 0;
    std::optional<double> m_interval;
    std::vector<std::uint32_t> m_validBefore; // valid levels among points [0, i), size points + 1
    std::vector<double> m_rankLevels; // the distinct valid levels, ascending, as doubles
    // Energy sums over blocks of valid levels: leaves are block sums, a segment tree above.
    std::vector<double> m_energies; // per valid level, 10^(L/10)
    std::vector<double> m_tree;
    long long m_leaves = 0;
    // Wavelet matrix over the ranks of the valid levels.
    struct BitLevel
    {
        std::vector<std::uint64_t> words;
        std::vector<std::uint32_t> onesBefore; // ones in words [0, w)
        long long zeros = 0;
        long long rank1(long long i) const; // ones in [0, i)
    };
    std::vector<BitLevel> m_bits;
    long long m_valid = 0;
};
