// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one door to FFTW: the discrete Fourier transform of N real values and its inverse.
#pragma once

#include <complex>
#include <cstdint>
#include <limits>
#include <memory>

namespace fft_internal {
class TransformWay;
}

// The unit roundoff u = 2^-53, of every rounding bound of the transforms and the sums.
constexpr double Unit = std::numeric_limits<double>::epsilon() / 2;

// One size's buffers. The plans are made with FFTW_ESTIMATE when first used (no measuring; what
// it takes is mostly FFTW's tables of sines and cosines) and kept for the program's run, shared
// by every object of the same size: the next transform of that size finds its plan made. Objects
// may be made, used and destroyed on any thread, one thread per object at a time; a running
// transform holds its own reference to its plan, so dropping plans never pulls one from under it.
// How far one bin of the forward transform may lie from the exact sum it stands for: at most
// perNorm * Q + perAbsSum * A, with Q the values' Euclidean norm and A the sum of their
// magnitudes.
struct TransformRounding
{
    double perNorm;
    double perAbsSum;
};

class RealTransform
{
public:
    // Buffers for n reals and n / 2 + 1 bins, 1 <= n <= 2^31 - 1. Throws std::bad_alloc when
    // they cannot be had. `used`, where given, is how many bins from 0 on the transforms use:
    // Forward may leave the bins above as they were, and Inverse needs those above to be zero.
    // The padded way is then shorter, n + used - 1 values where that is less than 1.5 n.
    explicit RealTransform(std::int64_t n, std::int64_t used = -1);
    ~RealTransform();
    RealTransform(const RealTransform &) = delete;
    RealTransform &operator=(const RealTransform &) = delete;

    std::int64_t Size() const { return n_; }
    double *Reals() { return reals_; }
    std::complex<double> *Bins() { return bins_; }
    std::int64_t BinCount() const { return n_ / 2 + 1; }
    std::int64_t UsedBins() const { return used_; }

    // Makes the forward plan, or finds it kept, ahead of Forward: the plan of a new size takes
    // time of its own (tens of milliseconds at a million values), which can pass while the
    // values are still being computed.
    void PrepareForward();
    // Makes the inverse plan, or finds it kept, ahead of an Inverse of this size: the forward
    // transform's thread makes it once the analysis has its bins, so that the sum of the
    // harmonics drawn next finds it made. Nothing for the padded way, whose inverse filter would
    // take the place of the forward one.
    void PrepareInverse();
    // Bins[k] = sum over j = 0 .. n - 1 of Reals[j] * exp(-2 pi i j k / n), for k = 0 .. n / 2.
    // Reals is kept.
    void Forward();
    // Reals[j] = sum over k = 0 .. n - 1 of X[k] * exp(+2 pi i j k / n), where X[k] = Bins[k] up
    // to n / 2 and X[n - k] = conj(Bins[k]) above: no 1 / n. The imaginary parts of Bins[0] and,
    // for even n, of Bins[n / 2] are taken as 0. Bins is overwritten.
    void Inverse();

    // What the buffers of a transform of n values take, for the memory check.
    static std::uint64_t BufferBytes(std::int64_t n);

    // The error bound of one bin of Forward for n values and every bin used. For the padded way
    // it reads the filter that transform uses, making it where none is kept.
    static TransformRounding Rounding(std::int64_t n);
    // The plain way's bound for n values, whichever way n takes: made without a filter, for work
    // that bounds no transform of its own.
    static TransformRounding PlainRounding(std::int64_t n);
    // The same for this transform's bins used, from its own filter.
    TransformRounding Rounding();

    // A transform of n values, on the buffers of the last one kept where that had n values: pages
    // already the program's own are filled at once, where new ones would fault in one by one.
    static std::shared_ptr<RealTransform> Take(std::int64_t n, std::int64_t used = -1);
    // Keeps `transform`'s buffers for the next Take of its size, where they are small. Only a
    // transform no thread uses any more: one abandoned to its thread is never kept, and one whose
    // thread still works on it is kept by that thread when done (TransformThread::KeepWhenDone).
    static void Keep(std::shared_ptr<RealTransform> transform);

private:
    std::int64_t n_;
    std::int64_t used_;
    double *reals_;
    std::complex<double> *bins_;
    std::unique_ptr<fft_internal::TransformWay> way_; // plain or padded, by n
};
