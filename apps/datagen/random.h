#pragma once

#include <QDate>

#include <cstdint>
#include <initializer_list>
#include <span>

namespace quill::datagen {

// Deterministic pseudo-random source (xoshiro256**, seeded through splitmix64). Our own, so that
// a seed gives the same demo database with any standard library: std distributions are not
// specified bit for bit.
class Random {
public:
    explicit Random(std::uint64_t seed);

    std::uint64_t next();
    // Uniform integer in [lo, hi], both inclusive; lo > hi gives lo.
    std::int64_t between(std::int64_t lo, std::int64_t hi);
    // Uniform double in [0, 1).
    double unit();
    // True with probability p (0..1).
    bool chance(double p);
    // Index in [0, n); n must be > 0.
    std::size_t index(std::size_t n);
    // Index chosen with the given relative weights (all >= 0, at least one > 0).
    std::size_t weighted(std::span<const int> weights);
    std::size_t weighted(std::initializer_list<int> weights) {
        return weighted(std::span<const int>(weights.begin(), weights.size()));
    }
    // Uniform date in [from, to].
    QDate date(const QDate& from, const QDate& to);
    // Multiple of step in [lo, hi] (e.g. diopters in quarter steps).
    double stepped(double lo, double hi, double step);
    // A child source for one subject: drawing for patient n does not shift patient n+1.
    Random fork(std::uint64_t salt) const;

    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[index(N)];
    }
    template <typename T> const T& pick(std::span<const T> items) {
        return items[index(items.size())];
    }

private:
    std::uint64_t s_[4];
    std::uint64_t seed_;
};

} // namespace quill::datagen
