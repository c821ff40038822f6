#include "real_transform.h"

#include <fftw3.h>

#include <mutex>
#include <new>

namespace {

// FFTW's planner keeps global state: plans are made and destroyed one at a time. Executing a
// plan needs no lock.
std::mutex &PlannerLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

RealTransform::RealTransform(std::int64_t n) : n_(n)
{
    reals_ = fftw_alloc_real(static_cast<std::size_t>(n));
    bins_ = reinterpret_cast<std::complex<double> *>(
        fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1)));
    if (!reals_ || !bins_) {
        fftw_free(reals_);
        fftw_free(bins_);
        throw std::bad_alloc();
    }
}

RealTransform::~RealTransform()
{
    // A transform never planned waits for no other's planning.
    if (forward_ || inverse_) {
        const std::lock_guard<std::mutex> planner(PlannerLock());
        if (forward_)
            fftw_destroy_plan(static_cast<fftw_plan>(forward_));
        if (inverse_)
            fftw_destroy_plan(static_cast<fftw_plan>(inverse_));
    }
    fftw_free(reals_);
    fftw_free(bins_);
}

void RealTransform::Forward()
{
    if (!forward_) {
        const std::lock_guard<std::mutex> planner(PlannerLock());
        forward_ = fftw_plan_dft_r2c_1d(static_cast<int>(n_), reals_,
                                        reinterpret_cast<fftw_complex *>(bins_), FFTW_ESTIMATE);
        if (!forward_)
            throw std::bad_alloc();
    }
    fftw_execute(static_cast<fftw_plan>(forward_));
}

void RealTransform::Inverse()
{
    if (!inverse_) {
        const std::lock_guard<std::mutex> planner(PlannerLock());
        inverse_
            = fftw_plan_dft_c2r_1d(static_cast<int>(n_), reinterpret_cast<fftw_complex *>(bins_),
                                   reals_, FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
        if (!inverse_)
            throw std::bad_alloc();
    }
    fftw_execute(static_cast<fftw_plan>(inverse_));
}

std::uint64_t RealTransform::BufferBytes(std::int64_t n)
{
    return static_cast<std::uint64_t>(n) * sizeof(double)
        + static_cast<std::uint64_t>(n / 2 + 1) * sizeof(std::complex<double>);
}
