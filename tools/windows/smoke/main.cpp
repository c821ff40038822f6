// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Smoke program of the Windows libraries' cache: one call into each library, built for Windows
// and run under wine by tools/windows/smoke-test.sh, which checks the lines it prints.
// Usage: smoke [-platform offscreen] WORKBOOK   (the .xlsx file to write)

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest/QTest>

#include <fftw3.h>
#ifdef SMOKE_WITH_SLEEF
#include <sleef.h>
#endif
#include <xlsxwriter.h>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: smoke WORKBOOK\n");
        return 2;
    }

    // Qt: a window with a label, its text in the Italian locale.
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QLocale(QLocale::Italian, QLocale::Italy).toString(3.18, 'E', 2));
    layout->addWidget(label);
    window.show();
    const bool exposed = QTest::qWaitForWindowExposed(&window);
    std::printf("label: %s\n", qPrintable(label->text()));
    std::printf("exposed: %d\n", exposed ? 1 : 0);
    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));

    // FFTW: a threaded real-to-complex plan of 1, 2, ..., 8.
    if (fftw_init_threads() == 0) {
        std::fprintf(stderr, "fftw_init_threads failed\n");
        return 1;
    }
    fftw_plan_with_nthreads(2);
    constexpr int size = 8;
    double *in = fftw_alloc_real(size);
    fftw_complex *out = fftw_alloc_complex(size / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(size, in, out, FFTW_ESTIMATE);
    for (int i = 0; i < size; ++i)
        in[i] = i + 1;
    fftw_execute(plan);
    std::printf("fft bin 0: %.17g %.17g\n", out[0][0], out[0][1]);
    fftw_destroy_plan(plan);
    fftw_free(in);
    fftw_free(out);
    fftw_cleanup_threads();

    // SLEEF: the sine, 1-ULP accuracy.
#ifdef SMOKE_WITH_SLEEF
    std::printf("sin(0.5): %.17g\n", Sleef_sin_u10(0.5));
#else
    std::printf("sin(0.5): no SLEEF\n");
#endif

    // libxlsxwriter: one cell.
    lxw_workbook *workbook = workbook_new(argv[1]);
    if (workbook == nullptr) {
        std::fprintf(stderr, "workbook_new failed\n");
        return 1;
    }
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    worksheet_write_number(sheet, 0, 0, 3.18, nullptr);
    const lxw_error closed = workbook_close(workbook);
    std::printf("workbook: %s\n", lxw_strerror(closed));
    if (closed != LXW_NO_ERROR || !exposed)
        return 1;

    std::printf("ok\n");
    return 0;
}
