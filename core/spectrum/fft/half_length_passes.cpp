// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/spectrum/fft/half_length_passes.h"

#include <cmath>
#include <numbers>

namespace fft_internal {

// W^k for k = 0 .. M / 2.
std::vector<std::complex<double>> HalfLengthTwiddles(std::int64_t n)
{
    std::vector<std::complex<double>> twiddles(static_cast<std::size_t>(n / 4 + 1));
    const double step = 2 * std::numbers::pi / static_cast<double>(n);
    for (std::size_t k = 0; k < twiddles.size(); ++k) {
        double sine, cosine;
        sincos(step * static_cast<double>(k), &sine, &cosine);
        twiddles[k] = {cosine, -sine};
    }
    return twiddles;
}

// Bins 0 .. M from the complex transform of M values held in bins 0 .. M - 1, in place; the
// pairs k, M - k for k in [begin, end) within 1 .. M / 2.
void UnfoldHalfLength(std::complex<double> *bins, std::int64_t m,
                      const std::complex<double> *twiddles, std::int64_t begin, std::int64_t end)
{
    auto *z = reinterpret_cast<double(*)[2]>(bins);
    for (std::int64_t k = begin; k < end; ++k) {
        const double ar = z[k][0], ai = z[k][1]; // Z(k)
        const double br = z[m - k][0], bi = z[m - k][1]; // Z(M - k)
        const double er = 0.5 * (ar + br), ei = 0.5 * (ai - bi); // E(k)
        const double or_ = 0.5 * (ai + bi), oi = -0.5 * (ar - br); // O(k)
        const double wr = twiddles[k].real(), wi = twiddles[k].imag();
        const double tr = wr * or_ - wi * oi, ti = wr * oi + wi * or_; // W^k O(k)
        z[k][0] = er + tr;
        z[k][1] = ei + ti;
        z[m - k][0] = er - tr;
        z[m - k][1] = -(ei - ti);
    }
}

// The inverse the same way round: the real sums x(j) = sum over k < n of X(k) exp(+2 pi i j k / n),
// even and odd j together, z(m) = x(2m) + i x(2m+1), are the backward complex transform of M
// values of Z(k) = E(k) + i O(k), with E(k) = X(k) + X(k + M) and
// O(k) = (X(k) - X(k + M)) exp(+2 pi i k / n), where X(k + M) = conj X(M - k). FFTW plans that in
// a fraction of the time of the complex-to-real plan (half a second at ten million values). The
// pass folds each pair k, M - k in place, for k in [begin, end) within 1 .. M / 2; for an even M,
// k = M / 2 is its own pair, written twice alike.
void FoldHalfLength(std::complex<double> *bins, std::int64_t m,
                    const std::complex<double> *twiddles, std::int64_t begin, std::int64_t end)
{
    const std::complex<double> i(0, 1);
    for (std::int64_t k = begin; k < end; ++k) {
        const std::complex<double> a = bins[k], b = bins[m - k]; // X(k), X(M - k)
        // Z(k) from X(k) and X(k + M) = conj X(M - k); Z(M - k) from X(M - k) and conj X(k),
        // exp(+2 pi i (M - k) / n) being -exp(-2 pi i k / n).
        bins[k] = (a + std::conj(b)) + i * ((a - std::conj(b)) * std::conj(twiddles[k]));
        bins[m - k] = (b + std::conj(a)) - i * ((b - std::conj(a)) * twiddles[k]);
    }
}

// Z from E (bins 0 .. M/2 - 1) and O (bins M/2 .. M - 1), in place, for k in [begin, end).
void CombineHalves(std::complex<double> *bins, std::int64_t n, const std::complex<double> *twiddles,
                   std::int64_t begin, std::int64_t end)
{
    const std::int64_t quarter = n / 4;
    auto *z = reinterpret_cast<double(*)[2]>(bins);
    for (std::int64_t k = begin; k < end; ++k) {
        double wr, wi;
        if (2 * k <= quarter) {
            wr = twiddles[2 * k].real();
            wi = twiddles[2 * k].imag();
        } else { // -i (a + i b) = b - i a
            wr = twiddles[2 * k - quarter].imag();
            wi = -twiddles[2 * k - quarter].real();
        }
        const double er = z[k][0], ei = z[k][1];
        const double or_ = z[k + quarter][0], oi = z[k + quarter][1];
        const double tr = wr * or_ - wi * oi, ti = wr * oi + wi * or_;
        z[k][0] = er + tr;
        z[k][1] = ei + ti;
        z[k + quarter][0] = er - tr;
        z[k + quarter][1] = ei - ti;
    }
}

} // namespace fft_internal
