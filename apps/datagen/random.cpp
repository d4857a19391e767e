#include "random.h"

#include <cmath>

namespace quill::datagen {

namespace {

std::uint64_t splitmix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

} // namespace

Random::Random(std::uint64_t seed) : seed_(seed) {
    std::uint64_t x = seed;
    for (auto& s : s_)
        s = splitmix(x);
}

std::uint64_t Random::next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

std::int64_t Random::between(std::int64_t lo, std::int64_t hi) {
    if (hi <= lo) return lo;
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    // Rejection keeps the draw unbiased for spans that do not divide 2^64.
    const std::uint64_t limit = span == 0 ? 0 : (~std::uint64_t{0} - span + 1) % span;
    std::uint64_t r;
    do {
        r = next();
    } while (r < limit);
    return lo + static_cast<std::int64_t>(r % span);
}

double Random::unit() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

bool Random::chance(double p) {
    return unit() < p;
}

std::size_t Random::index(std::size_t n) {
    return static_cast<std::size_t>(between(0, static_cast<std::int64_t>(n) - 1));
}

std::size_t Random::weighted(std::span<const int> weights) {
    long total = 0;
    for (int w : weights)
        total += w;
    long r = static_cast<long>(between(0, total - 1));
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (r < weights[i]) return i;
        r -= weights[i];
    }
    return weights.size() - 1;
}

QDate Random::date(const QDate& from, const QDate& to) {
    return from.addDays(between(0, std::max<qint64>(0, from.daysTo(to))));
}

double Random::stepped(double lo, double hi, double step) {
    const auto n = static_cast<std::int64_t>(std::llround((hi - lo) / step));
    return lo + static_cast<double>(between(0, n)) * step;
}

Random Random::fork(std::uint64_t salt) const {
    std::uint64_t x = seed_ ^ (salt * 0xD1B54A32D192ED03ull);
    return Random(splitmix(x));
}

} // namespace quill::datagen
