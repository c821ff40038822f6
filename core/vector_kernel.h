// The two kernels written once for any vector width; each vector unit's file includes this with
// the traits of its registers and its SLEEF function. Everything here has internal linkage, so
// that code compiled for one vector unit is never picked by the linker for another.
#pragma once

#include <cstddef>
#include <cstdint>

namespace {

// Traits: Vec, Lanes, Set (all lanes one value), Iota (0, 1, 2, ...), Load, Store, Mul, Div,
// Add and SinCos.
template<typename V>
void SincosBlockOf(double twoKPi, double n, std::int64_t first, std::size_t count, double *sines,
                   double *cosines)
{
    using Vec = typename V::Vec;
    constexpr std::size_t Lanes = V::Lanes;
    const Vec factor = V::Set(twoKPi);
    const Vec divisor = V::Set(n);
    const Vec step = V::Set(static_cast<double>(Lanes));
    // Sample indexes as doubles: whole numbers below 2^53, so every sum here is exact.
    Vec index = V::Add(V::Set(static_cast<double>(first)), V::Iota());
    std::size_t j = 0;
    for (; j + Lanes <= count; j += Lanes, index = V::Add(index, step)) {
        Vec s, c;
        V::SinCos(V::Div(V::Mul(factor, index), divisor), s, c);
        V::Store(sines + j, s);
        V::Store(cosines + j, c);
    }
    if (j < count) {
        double s[Lanes], c[Lanes];
        Vec vs, vc;
        V::SinCos(V::Div(V::Mul(factor, index), divisor), vs, vc);
        V::Store(s, vs);
        V::Store(c, vc);
        for (std::size_t l = 0; j + l < count; ++l) {
            sines[j + l] = s[l];
            cosines[j + l] = c[l];
        }
    }
}

template<typename V>
void HarmonicSumsOf(const double *twoKPi, double n, const double *samples, std::int64_t begin,
                    std::int64_t end, double *cosSums, double *sinSums)
{
    using Vec = typename V::Vec;
    const Vec factor = V::Load(twoKPi);
    const Vec divisor = V::Set(n);
    Vec cosAcc = V::Load(cosSums);
    Vec sinAcc = V::Load(sinSums);
    double index = static_cast<double>(begin); // exact: below 2^53
    for (std::int64_t i = begin; i < end; ++i, index += 1) {
        Vec s, c;
        V::SinCos(V::Div(V::Mul(factor, V::Set(index)), divisor), s, c);
        const Vec sample = V::Set(samples[i]);
        cosAcc = V::Add(V::Mul(c, sample), cosAcc);
        sinAcc = V::Add(V::Mul(s, sample), sinAcc);
    }
    V::Store(cosSums, cosAcc);
    V::Store(sinSums, sinAcc);
}

} // namespace
