// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Exports a few analyses as the graph window's menu does, under the locale it is started with:
// for each, the workbook ("Salva foglio di calcolo (.xlsx)…"), the clipboard's three forms
// ("Copia dati": CSV, HTML, tab-separated text) and, apart, what the analysis state holds, for
// the scripts beside this file to compare.
#include "core/spectrum/signal_measures.h"
#include "core/spectrum/spectrum.h"
#include "core/state/analysis_state.h"
#include "core/state/harmonic_readings.h"
#include "tests/support/analysed.h"
#include "tests/support/message_recorder.h"
#include "ui/graph_window/export/file_chooser.h"
#include "ui/graph_window/export/for_tests.h"
#include "ui/graph_window/export/plot_export.h"
#include "ui/graph_window/for_tests.h"
#include "ui/graph_window/form2.h"
#include "ui/long_work/task_gate.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace {

class FixedPath : public FileChooser
{
public:
    explicit FixedPath(QString path) : path_(std::move(path)) { }
    QString SaveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return path_;
    }

private:
    QString path_;
};

AnalysisState Analysis(double duty, double amplitude, double frequency, int samples,
                       double harmonics)
{
    AnalysisState s = AnalysisOf(
        {.v = amplitude, .d = duty, .n = samples, .h = harmonics, .f = frequency, .p = 3});
    FindSignalPeak(s);
    FindSpectrumPeak(s);
    ComputeMeasures(s);
    return s;
}

// The analyses by name; the input window's defaults first.
const std::map<std::string, std::function<AnalysisState()>> Cases = {
    {"defaults", [] { return Analysis(0.5, 10, 100000, 10000, 10); }},
    {"negative-amplitude", [] { return Analysis(0.25, -4, 1000, 1000, 20); }},
    {"zero-frequency", [] { return Analysis(0.5, 10, 0, 500, 5); }},
    {"no-harmonics", [] { return Analysis(0.5, 10, 50000, 300, 0); }},
    {"subnormal", [] { return Analysis(0.5, 1e-310, 1000, 200, 5); }},
    // Values at the ends of the double range, and one whose 16 digits read back to another
    // double, put into a computed analysis.
    {"extremes",
     [] {
         AnalysisState s = Analysis(0.5, 3, 2000, 100, 4);
         s.Samples[1] = 1e300;
         s.Samples[2] = -1e300;
         s.Samples[3] = 5e-324;
         s.Samples[4] = -2.5e-320;
         s.Samples[5] = 0.1 + 0.2;
         s.CosCoefficients[1] = 1.7976931348623157e308;
         s.SinCoefficients[2] = -2.2250738585072014e-308;
         s.Magnitudes[3] = 1e-300;
         s.MeanValue = 1.0000000000000002;
         return s;
     }},
};

std::string Value(double value)
{
    if (!std::isfinite(value))
        return "null";
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::hex).ptr;
    return '"' + std::string(text, end) + '"';
}

std::string Column(const char *name, std::int64_t count, const std::function<double(int)> &at)
{
    std::string out = "\"";
    out += name;
    out += "\": [";
    for (std::int64_t i = 0; i < count; ++i) {
        if (i > 0)
            out += ", ";
        out += Value(at(int(i)));
    }
    return out + "]";
}

// What the state holds, column by column of each sheet, as JSON: hexadecimal doubles, null where
// there is no value (a time without a time scale, a row of another kind).
std::string Expected(const AnalysisState &s)
{
    const int h = RoundToCount(s.HarmonicCount);
    const int n = s.SampleCount;
    // The first sheet: the DC component (row 0), harmonic k (row k), the measures (row H + 1).
    const auto isHarmonic = [h](int row) { return row >= 1 && row <= h; };
    const auto harmonic = [&](const RealArray &values) {
        return [&values, isHarmonic](int row) { return isHarmonic(row) ? values[row] : NAN; };
    };
    const auto derived = [&](double (*of)(const AnalysisState &, std::int64_t)) {
        return [&s, of, isHarmonic](int row) { return isHarmonic(row) ? of(s, row) : NAN; };
    };
    const auto measure = [&](const std::optional<double> &value) {
        return [&value, h](int row) { return row == h + 1 && value ? *value : NAN; };
    };
    std::string out = "{\"Armoniche\": {";
    out += Column("componente continua [V]", h + 2,
                  [&](int row) { return row == 0 ? s.MeanValue : NAN; });
    out += ", " + Column("k", h + 2, [&](int row) { return isHarmonic(row) ? row : NAN; });
    out += ", " + Column("frequenza [kHz]", h + 2, [&](int row) {
               return isHarmonic(row) ? row * s.Frequency / 1000 : NAN;
           });
    out += ", " + Column("a_k [V]", h + 2, harmonic(s.CosCoefficients));
    out += ", " + Column("b_k [V]", h + 2, harmonic(s.SinCoefficients));
    out += ", " + Column("|S_k| [V]", h + 2, harmonic(s.Magnitudes));
    out += ", " + Column("fase [\xC2\xB0]", h + 2, derived(&PhaseDegrees));
    out += ", " + Column("livello [dB]", h + 2, derived(&LevelDecibels));
    out += ", " + Column("valore efficace [V]", h + 2, measure(s.RmsValue));
    out += ", " + Column("THD [%]", h + 2, measure(s.HarmonicDistortion));
    out += ", " + Column("potenza nelle armoniche [%]", h + 2, measure(s.PowerShare));
    const std::pair<const char *, const std::optional<double> *> bandwidths[]
        = {{"90", &s.BandwidthAt90}, {"95", &s.BandwidthAt95}, {"99", &s.BandwidthAt99}};
    for (const auto &[share, value] : bandwidths)
        out += ", "
            + Column((std::string("banda ") + share + " % [armoniche]").c_str(), h + 2,
                     measure(*value));
    for (const auto &[share, value] : bandwidths)
        out += ", "
            + Column((std::string("banda ") + share + " % [kHz]").c_str(), h + 2, [&](int row) {
                   return row == h + 1 && *value ? **value * s.Frequency / 1000 : NAN;
               });
    out += "}, \"Parametri\": {";
    out += Column("D.C.", 1, [&](int) { return s.DutyCycle; });
    out += ", " + Column("Vmax [V]", 1, [&](int) { return s.Amplitude; });
    out += ", " + Column("f [kHz]", 1, [&](int) { return s.Frequency / 1000; });
    out += ", " + Column("N", 1, [&](int) { return double(s.SampleCount); });
    out += ", " + Column("M", 1, [&](int) { return s.HarmonicCount; });
    out += ", " + Column("Np", 1, [&](int) { return s.PeriodCount; });
    out += "}, \"Campioni\": {";
    out += Column("i", n, [](int i) { return i; });
    out += ", " + Column("tempo [\xC2\xB5s]", n, [&](int i) { return 1e6 / s.Frequency * i / n; });
    out += ", " + Column("s(i) [V]", n, [&](int i) { return s.Samples[i]; });
    // Computed by the export itself, before this is written.
    out += ", " + Column("somma armoniche [V]", n, [&](int i) {
               return s.HarmonicSum.empty() ? NAN : s.HarmonicSum[i];
           });
    return out + "}}\n";
}

bool Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: export_tables FOLDER CASE...\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int a = 2; a < argc; ++a) {
        const auto found = Cases.find(argv[a]);
        if (found == Cases.end()) {
            std::fprintf(stderr, "no case %s\n", argv[a]);
            return 2;
        }
        AnalysisState state = found->second();
        const QString name = QString::fromLatin1(argv[a]);
        MessageRecorder box;
        TaskGate tasks;
        Form2 window(state, box, tasks);
        FixedPath chooser(folder.filePath(name + ".xlsx"));
        testing_seam::SetFileChooser(testing_seam::Export(window), chooser);
        testing_seam::Export(window).SaveWorkbook();
        QGuiApplication::clipboard()->clear();
        testing_seam::Export(window).CopyData();
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        if (!box.shown.empty() || !data || !QFile::exists(folder.filePath(name + ".xlsx"))) {
            std::fprintf(stderr, "%s: not exported\n", argv[a]);
            return 1;
        }
        if (!Write(folder.filePath(name + ".csv"), data->data("text/csv"))
            || !Write(folder.filePath(name + ".html"), data->html().toUtf8())
            || !Write(folder.filePath(name + ".txt"), data->text().toUtf8())
            || !Write(folder.filePath(name + ".json"), QByteArray::fromStdString(Expected(state))))
            return 1;
    }
    return 0;
}
