// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The transform of a size whose prime factors FFTW handles slowly, made through complex
// transforms of a longer size, a power of two (the chirp-z identity). Internal to the room:
// RealTransform chooses it by size.
#pragma once

#include <complex>
#include <cstdint>
#include <memory>

struct fftw_plan_s;

namespace fft_internal {

// The size of the padded transforms for `length` values: the smallest power of two from there.
std::int64_t PaddedSizeFrom(std::int64_t length);

// exp(-i pi r / n) for an integer 0 <= r < 2n.
std::complex<double> ChirpAngle(std::int64_t r, std::int64_t n);
// j^2 mod 2n, exactly, for 0 <= j < 2^31 and 1 <= n < 2^31.
std::int64_t SquareModTwoN(std::int64_t j, std::int64_t n);
// The chirp c(j) = exp(-i pi j^2 / n) for j in [begin, end), into `chirp`: each block of 16 from
// one sine and cosine of its start's angle and one of its step, then by products.
void Chirp(std::int64_t n, std::int64_t begin, std::int64_t end, std::complex<double> *chirp);

// Everything a padded transform of n values, `inputs` in and `outputs` out, needs beside its
// values: the padded size M >= inputs + outputs - 1, FFTW's complex plans of M values in place,
// and the transform of the chirp filter, divided by M.
class ChirpFilter
{
public:
    ChirpFilter(std::int64_t n, std::int64_t inputs, std::int64_t outputs);
    ~ChirpFilter();
    ChirpFilter(const ChirpFilter &) = delete;
    ChirpFilter &operator=(const ChirpFilter &) = delete;

    std::int64_t Size() const { return m_; }
    // The largest modulus of the filter's transform (before the division by M), as computed.
    double Gain() const { return gain_; }
    // work[0 .. M) becomes its circular convolution with the filter.
    void Convolve(std::complex<double> *work) const;

    // What a filter of this shape takes: its transform and a work buffer of M values.
    static std::uint64_t Bytes(std::int64_t n, std::int64_t inputs, std::int64_t outputs);

private:
    void Release();

    std::int64_t m_;
    fftw_plan_s *forward_ = nullptr; // FFTW's fftw_plan, without its header here
    fftw_plan_s *backward_ = nullptr;
    std::complex<double> *spectrum_ = nullptr;
    double gain_ = 0;
};

// The filter for the forward real transform of n values (n in, `bins` out) or the inverse one
// (`bins` in, n out), kept while the program runs for the next of that shape: the few most
// recent, of which one alone may be large.
std::shared_ptr<const ChirpFilter> KeptFilter(std::int64_t n, std::int64_t bins, bool inverse);
void ForgetKeptFilters();

// The padded transforms themselves, of n values and the first `used` bins (the filter's shape);
// `work` holds the filter's M values.
void PaddedForward(const ChirpFilter &filter, std::int64_t n, std::int64_t used,
                   const double *reals, std::complex<double> *bins, std::complex<double> *work);
void PaddedInverse(const ChirpFilter &filter, std::int64_t n, std::int64_t used,
                   const std::complex<double> *bins, double *reals, std::complex<double> *work);

} // namespace fft_internal
