#pragma once

#include "survey/acousticfigures.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class Measurement;

// The acoustic figures of subset 0 of a chart, for the whole graph and between two point
// indexes, with the points in Excluded intervals left out; and the figures of the points in
// the Specific intervals and of those in the Residual intervals (Excluded points left out of
// them too; a point in both a Specific and a Residual interval counts as Specific only).
//
// Made once per state of the data (one pass: which points are valid, and the whole graph's
// figures), it answers the figures between the cursors in time independent of the interval's
// length once its index is built (on the first such question): prefix counts of the valid
// points, a tree of energy sums (each node adds up its own points only, so a quiet interval
// after a loud one keeps its precision), and a wavelet matrix over the levels' ranks that
// finds the k-th level of any interval.
class SeriesFigures
{
public:
    using Figures = AcousticFigures::Figures;

    // An empty series: every figure empty.
    SeriesFigures() = default;
    SeriesFigures(const Measurement &chart, std::optional<double> intervalSeconds);

    const Figures &whole() const { return m_whole; }
    // The figures of the Specific or Residual points; none when the chart has no interval of
    // that category. Excluded gives the whole graph's.
    std::optional<Figures> ofCategory(IntervalCategory category) const;
    // The points from index a to index b, in either order, both included (clamped to the
    // series).
    Figures between(int a, int b) const;

    int points() const { return m_points; }

    // The valid levels in the series' order: all of them, or those of the points from index a
    // to index b (either order, both included, clamped to the series).
    std::span<const float> validLevels() const { return m_levels; }
    std::span<const float> validLevelsBetween(int a, int b) const;

private:
    struct BitLevel
    {
        std::vector<std::uint64_t> words;
        std::vector<std::uint32_t> onesBefore; // ones in the words before
        std::uint32_t zeros = 0;
        std::uint32_t rank1(std::uint32_t i) const; // ones in [0, i)
    };

    void buildIndex() const;
    double energySum(std::uint32_t first, std::uint32_t end) const;
    std::uint32_t kth(std::uint32_t first, std::uint32_t end, std::uint32_t k) const;
    double levelOfRank(std::uint32_t rank) const;

    int m_points = 0;
    std::optional<double> m_interval;
    Figures m_whole;
    std::optional<Figures> m_specific, m_residual;
    std::vector<std::uint32_t> m_validBefore; // valid levels among points [0, i), points + 1
    std::vector<float> m_levels; // the valid levels in their order

    // The index, built on the first question about an interval.
    mutable bool m_indexed = false;
    mutable long long m_lowestTenth = 0; // ranks are tenths above it, or
    mutable std::vector<float> m_distinct; // the distinct levels ascending, when not tenths
    mutable std::vector<double> m_energies; // per valid level
    mutable std::vector<double> m_tree; // block sums of energies at [leaves, 2 leaves)
    mutable std::size_t m_leaves = 0;
    mutable std::vector<BitLevel> m_bits; // wavelet matrix, the highest bit first
};
