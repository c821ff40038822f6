// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The passes between FFTW's complex transform of M = n / 2 values and the real transform of n
// (real_transform.cpp says why and how); internal to the room.
#pragma once

#include <complex>
#include <cstdint>
#include <vector>

namespace fft_internal {

// W^k = exp(-2 pi i k / n) for k = 0 .. M / 2.
std::vector<std::complex<double>> HalfLengthTwiddles(std::int64_t n);
// The forward transform's bins from the complex one's, pairs k, M - k for k in [begin, end).
void UnfoldHalfLength(std::complex<double> *bins, std::int64_t m,
                      const std::complex<double> *twiddles, std::int64_t begin, std::int64_t end);
// The inverse's complex values from the bins, pairs k, M - k for k in [begin, end).
void FoldHalfLength(std::complex<double> *bins, std::int64_t m,
                    const std::complex<double> *twiddles, std::int64_t begin, std::int64_t end);
// The complex transform of M values from those of its even and odd halves, for k in [begin, end).
void CombineHalves(std::complex<double> *bins, std::int64_t n, const std::complex<double> *twiddles,
                   std::int64_t begin, std::int64_t end);

} // namespace fft_internal
