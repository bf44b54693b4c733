#include "survey/seriesfigures.h"

#include "survey/excludedintervals.h"
#include "survey/measurement.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

// Energies are summed directly over up to two blocks, through the tree above that.
constexpr std::uint32_t BlockSize = 64;
// Ranks count tenths of a dB while the valid levels span fewer than this many tenths.
constexpr long long MaxTenthRanks = 1 << 20;

// A float's bits turned so that they sort as the floats do (finite values).
std::uint32_t orderedBits(float value)
{
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    return (bits & 0x80000000U) ? ~bits : bits | 0x80000000U;
}

} // namespace

SeriesFigures::SeriesFigures(const Measurement &chart, std::optional<double> intervalSeconds)
    : m_points(chart.subsets() > 0 ? chart.points() : 0)
    , m_interval(intervalSeconds)
{
    m_validBefore.assign(std::size_t(m_points) + 1, 0);
    if (m_points > 0) {
        const std::vector<ExcludedInterval> merged = ExcludedIntervals::merged(chart.exclusions);
        const std::vector<double> &xs = chart.xs(0);
        const std::vector<float> &ys = chart.ys(0);
        m_levels.reserve(std::size_t(m_points));
        // A point in a Specific interval counts as Specific even where a Residual interval
        // overlaps it: the source was heard there, so it is not the place without it.
        const auto &all = chart.exclusions;
        const std::vector<ExcludedInterval> specific
            = ExcludedIntervals::merged(all, IntervalCategory::Specific);
        const std::vector<ExcludedInterval> residual
            = ExcludedIntervals::merged(all, IntervalCategory::Residual);
        std::vector<float> specificLevels, residualLevels;
        // Points in time order meet the intervals one after another.
        ExcludedIntervals::Walker excluded(merged), inSpecific(specific), inResidual(residual);
        for (std::size_t i = 0; i < std::size_t(m_points); ++i) {
            if (!excluded.contains(xs[i]) && AcousticFigures::isValidLevel(ys[i])) {
                m_levels.push_back(ys[i]);
                if (inSpecific.contains(xs[i]))
                    specificLevels.push_back(ys[i]);
                else if (inResidual.contains(xs[i]))
                    residualLevels.push_back(ys[i]);
            }
            m_validBefore[i + 1] = std::uint32_t(m_levels.size());
        }
        if (ExcludedIntervals::holdsCategory(all, IntervalCategory::Specific))
            m_specific = AcousticFigures::fromValidLevels(specificLevels, m_interval);
        if (ExcludedIntervals::holdsCategory(all, IntervalCategory::Residual))
            m_residual = AcousticFigures::fromValidLevels(residualLevels, m_interval);
    }
    m_whole = AcousticFigures::fromValidLevels(m_levels, m_interval);
}

std::optional<SeriesFigures::Figures> SeriesFigures::ofCategory(IntervalCategory category) const
{
    switch (category) {
    case IntervalCategory::Specific:
        return m_specific;
    case IntervalCategory::Residual:
        return m_residual;
    case IntervalCategory::Excluded:
        break;
    }
    return m_whole;
}

std::uint32_t SeriesFigures::BitLevel::rank1(std::uint32_t i) const
{
    const std::uint32_t word = i / 64;
    const std::uint64_t below = (std::uint64_t(1) << (i % 64)) - 1;
    return onesBefore[word] + std::uint32_t(std::popcount(words[word] & below));
}

void SeriesFigures::buildIndex() const
{
    m_indexed = true;
    const std::size_t n = m_levels.size();
    if (n == 0)
        return;

    // Each level's rank: its tenths above the lowest, or its place among the distinct levels.
    std::vector<std::uint32_t> ranks(n);
    long long lowest = 0;
    long long highest = 0;
    bool tenths = true;
    for (std::size_t i = 0; i < n && tenths; ++i) {
        const std::optional<long long> t = AcousticFigures::tenthsOf(m_levels[i]);
        if (!t)
            tenths = false;
        else if (i == 0)
            lowest = highest = *t;
        else
            lowest = std::min(lowest, *t), highest = std::max(highest, *t);
    }
    tenths = tenths && highest - lowest < MaxTenthRanks;
    std::uint32_t rankCount = 0;
    m_distinct.clear();
    m_energies.resize(n);
    if (tenths) {
        m_lowestTenth = lowest;
        rankCount = std::uint32_t(highest - lowest + 1);
        std::vector<double> energyOfRank(rankCount);
        for (std::uint32_t r = 0; r < rankCount; ++r)
            energyOfRank[r] = std::pow(10.0, double(levelOfRank(r)) / 10.0);
        for (std::size_t i = 0; i < n; ++i) {
            ranks[i] = std::uint32_t(std::llround(double(m_levels[i]) * 10.0) - lowest);
            m_energies[i] = energyOfRank[ranks[i]];
        }
    } else {
        // One sort of (level, position) keys gives every level's rank in a single pass.
        std::vector<std::uint64_t> keys(n);
        for (std::size_t i = 0; i < n; ++i)
            keys[i] = (std::uint64_t(orderedBits(m_levels[i])) << 32) | i;
        std::sort(keys.begin(), keys.end());
        for (const std::uint64_t key : keys) {
            const std::size_t i = std::size_t(key & 0xFFFFFFFFU);
            if (m_distinct.empty() || m_distinct.back() != m_levels[i])
                m_distinct.push_back(m_levels[i]);
            ranks[i] = std::uint32_t(m_distinct.size() - 1);
        }
        rankCount = std::uint32_t(m_distinct.size());
        for (std::size_t i = 0; i < n; ++i)
            m_energies[i] = std::pow(10.0, double(m_levels[i]) / 10.0);
    }

    // Block sums at the leaves of a tree whose every node holds the sum of its two children.
    const std::size_t blocks = (n + BlockSize - 1) / BlockSize;
    m_leaves = std::bit_ceil(blocks);
    m_tree.assign(2 * m_leaves, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        m_tree[m_leaves + i / BlockSize] += m_energies[i];
    for (std::size_t node = m_leaves; node-- > 1;)
        m_tree[node] = m_tree[2 * node] + m_tree[2 * node + 1];

    // The wavelet matrix: per bit, highest first, the bits of the sequence as it stands, then
    // the sequence reordered stably with the zeros first.
    const int bitCount = std::max(1, int(std::bit_width(rankCount - 1)));
    m_bits.assign(std::size_t(bitCount), {});
    std::vector<std::uint32_t> next(n);
    for (int b = 0; b < bitCount; ++b) {
        BitLevel &level = m_bits[std::size_t(b)];
        const int shift = bitCount - 1 - b;
        level.words.assign(n / 64 + 1, 0);
        level.onesBefore.assign(n / 64 + 1, 0);
        // Without branches: the bits of noise-like levels are as good as random.
        std::size_t ones = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t bit = (ranks[i] >> shift) & 1U;
            level.words[i / 64] |= bit << (i % 64);
            ones += bit;
        }
        const std::size_t zeros = n - ones;
        std::uint32_t before = 0;
        for (std::size_t w = 0; w < level.words.size(); ++w) {
            level.onesBefore[w] = before;
            before += std::uint32_t(std::popcount(level.words[w]));
        }
        level.zeros = std::uint32_t(zeros);
        std::size_t z = 0;
        std::size_t o = zeros;
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t bit = (ranks[i] >> shift) & 1U;
            next[bit ? o : z] = ranks[i];
            o += bit;
            z += 1 - bit;
        }
        ranks.swap(next);
    }
}

double SeriesFigures::levelOfRank(std::uint32_t rank) const
{
    if (!m_distinct.empty())
        return double(m_distinct[rank]);
    return double(float(double(m_lowestTenth + rank) / 10.0));
}

double SeriesFigures::energySum(std::uint32_t first, std::uint32_t end) const
{
    double sum = 0.0;
    const std::uint32_t firstWhole = (first + BlockSize - 1) / BlockSize;
    const std::uint32_t endWhole = end / BlockSize;
    if (firstWhole >= endWhole) {
        for (std::uint32_t i = first; i < end; ++i)
            sum += m_energies[i];
        return sum;
    }
    for (std::uint32_t i = first; i < firstWhole * BlockSize; ++i)
        sum += m_energies[i];
    for (std::uint32_t i = endWhole * BlockSize; i < end; ++i)
        sum += m_energies[i];
    // The whole blocks [firstWhole, endWhole), climbing the tree from both ends.
    std::size_t lo = m_leaves + firstWhole;
    std::size_t hi = m_leaves + endWhole;
    while (lo < hi) {
        if (lo & 1U)
            sum += m_tree[lo++];
        if (hi & 1U)
            sum += m_tree[--hi];
        lo /= 2;
        hi /= 2;
    }
    return sum;
}

std::uint32_t SeriesFigures::kth(std::uint32_t first, std::uint32_t end, std::uint32_t k) const
{
    std::uint32_t rank = 0;
    for (const BitLevel &level : m_bits) {
        const std::uint32_t onesFirst = level.rank1(first);
        const std::uint32_t onesEnd = level.rank1(end);
        const std::uint32_t zerosInside = (end - first) - (onesEnd - onesFirst);
        rank <<= 1;
        if (k < zerosInside) {
            first -= onesFirst;
            end -= onesEnd;
        } else {
            k -= zerosInside;
            first = level.zeros + onesFirst;
            end = level.zeros + onesEnd;
            rank |= 1U;
        }
    }
    return rank;
}

std::span<const float> SeriesFigures::validLevelsBetween(int a, int b) const
{
    if (m_points == 0)
        return {};
    const int lo = std::clamp(std::min(a, b), 0, m_points - 1);
    const int hi = std::clamp(std::max(a, b), 0, m_points - 1);
    const std::uint32_t first = m_validBefore[std::size_t(lo)];
    const std::uint32_t end = m_validBefore[std::size_t(hi) + 1];
    return std::span<const float>(m_levels).subspan(first, end - first);
}

SeriesFigures::Figures SeriesFigures::between(int a, int b) const
{
    Figures f;
    if (m_points > 0) {
        const int lo = std::clamp(std::min(a, b), 0, m_points - 1);
        const int hi = std::clamp(std::max(a, b), 0, m_points - 1);
        const std::uint32_t first = m_validBefore[std::size_t(lo)];
        const std::uint32_t end = m_validBefore[std::size_t(hi) + 1];
        f.n = end - first;
        if (f.n > 0) {
            if (!m_indexed)
                buildIndex();
            const double leq = 10.0 * std::log10(energySum(first, end) / double(f.n));
            if (std::isfinite(leq))
                f.leq = leq;
            f.lmin = levelOfRank(kth(first, end, 0));
            f.lmax = levelOfRank(kth(first, end, end - first - 1));
            for (std::size_t p = 0; p < AcousticFigures::ExceededPercents.size(); ++p) {
                const long long k
                    = AcousticFigures::percentileRank(f.n, AcousticFigures::ExceededPercents[p]);
                f.percentiles[p] = levelOfRank(kth(first, end, std::uint32_t(k - 1)));
            }
        }
    }
    AcousticFigures::completeDuration(f, m_interval);
    return f;
}
