// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The two ways a RealTransform is computed, behind one interface: the plain way, FFTW's own
// transform of N values, and the padded way, through complex transforms of a power of two (the
// chirp-z identity) where N has prime factors FFTW handles slowly. Internal to the room.
#pragma once

#include "core/spectrum/fft/real_transform.h"

#include <complex>
#include <cstdint>
#include <memory>

namespace fft_internal {

// Each way keeps what it found or made for its size (a plan, a filter) from its first use on,
// and works on the transform's buffers: n reals and n / 2 + 1 bins.
class TransformWay
{
public:
    virtual ~TransformWay() = default;
    virtual void PrepareForward(double *reals, std::complex<double> *bins) = 0;
    virtual void PrepareInverse(double *reals, std::complex<double> *bins) = 0;
    virtual void Forward(double *reals, std::complex<double> *bins) = 0;
    virtual void Inverse(std::complex<double> *bins, double *reals) = 0;
    // The error bound of one bin of Forward, for the bins used.
    virtual TransformRounding Rounding() = 0;
};

// n values; the padded way reads the first `used` bins (1 <= used <= n / 2 + 1). Throws
// std::bad_alloc when the way's buffers cannot be had.
std::unique_ptr<TransformWay> PlainWay(std::int64_t n);
std::unique_ptr<TransformWay> PaddedWay(std::int64_t n, std::int64_t used);

// FFTW's rounding grows as log2 M and is bounded in the Euclidean norm over all its outputs: a
// transform of M values errs by no more than Gamma(M) sqrt(M) times their norm, and so does any
// one output; Gamma(M) = 32 u (ceil(log2 M) + 2), where 32 leaves room for FFTW's tables of
// twiddles and for the generic algorithms of factors from 17 on.
double Gamma(std::int64_t size);

// The plain way's bound for n values.
TransformRounding PlainWayRounding(std::int64_t n);
// The padded way's, for n values and `used` bins, from the filter its transform uses.
TransformRounding PaddedWayRounding(std::int64_t n, std::int64_t used);

} // namespace fft_internal
