// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What the spectrum band shows and on what scale: the moduli on a linear scale (as ever), their
// levels in decibels down to a floor, or the phases about a zero line in the band's middle. The
// drawing and the readout place and read values through it. No Qt here.
#pragma once

#include "core/state/analysis_state.h"

#include <cstdint>
#include <optional>
#include <vector>

enum class SpectrumView
{
    Moduli,
    Decibels,
    Phases,
};

// The scales of the analysis shown, kept for the next ones: both bands' peaks, the decibels'
// floor and the frequency at the right edge, in Hz.
struct KeptScale
{
    double signalPeak = 0;
    double spectrumPeak = 0;
    double floorDb = -10;
    double frequencySpan = 0;
};
// With a reference held, the scales that fit both (SpectrumScale::Of).
KeptScale KeepScale(const AnalysisState &state, const AnalysisState *reference = nullptr);

class SpectrumScale
{
public:
    // The scale of the view for the analysis; the decibels' floor is chosen from the analysis.
    // With a kept scale, its peaks, floor and span instead, where they are not zero. A floor the
    // user chose (a negative level in dB) stands before either.
    // `logFrequency`: the frequency axis in decades (LogFrequency below).
    // With `reference`, an analysis drawn behind `state` on the same axes, a scale that fits
    // both, unless one is kept: the larger of their peaks, the wider of their frequency spans
    // (each analysis's lines at its own frequencies), the lower of their floors, and on the
    // logarithmic axis the lower of their first decades.
    static SpectrumScale Of(const AnalysisState &state, SpectrumView view,
                            const KeptScale *kept = nullptr,
                            std::optional<double> chosenFloorDb = std::nullopt,
                            bool logFrequency = false, const AnalysisState *reference = nullptr);

    // The modulus at the band's top (45 units), and the signal's 25 units above the time axis.
    double Peak() const { return peak_; }
    double SignalPeak() const { return signalPeak_; }
    // The harmonics across the 100 units of x: H, or the kept span over the frequency.
    double HarmonicSpan(const AnalysisState &state) const;
    // The lines the span holds: harmonics 1 to this; a kept span may leave the last ones out.
    std::int64_t LinesInSpan(const AnalysisState &state) const;
    bool Kept() const { return kept_; }
    // Made to fit a reference as well as the analysis (Of).
    bool Shared() const { return shared_; }

    // Where harmonic k (any real k >= 0) stands along x, and the harmonic an x stands for. On the
    // linear axis x = 100 k / span. On the logarithmic one the DC component keeps the left edge,
    // apart, and from LogStartX the frequencies run in decades from LowestHarmonic (the power of
    // ten at or below f, in harmonics) to HighestHarmonic (the span, and at least a decade on):
    // x = LogStartX + (100 - LogStartX) log(k / low) / log(high / low). There, an x left of
    // LogStartX stands for the DC component, 0. `state` may be the analysis the scale was made
    // for or its reference, whose harmonics stand at their own frequencies.
    bool LogFrequency() const { return logFrequency_; }
    static constexpr double LogStartX = 4;
    double HarmonicX(const AnalysisState &state, double k) const;
    double HarmonicAt(const AnalysisState &state, double x) const;
    double LowestHarmonic(const AnalysisState &state) const;
    double HighestHarmonic(const AnalysisState &state) const;

    SpectrumView View() const { return view_; }

    // Where the lines start: the band's bottom, or the phases' zero line.
    double BaseY() const;
    // The top of harmonic k's line; nothing where it draws no line (a level at or below the
    // floor, a phase that is not defined).
    std::optional<double> LineTop(const AnalysisState &state, std::int64_t k) const;
    // The top of the DC component's segments; nothing in the phases' view.
    std::optional<double> DcTop(const AnalysisState &state) const;
    // The y of a level in the decibels' view, at the band's bottom for one at or below the floor.
    double LevelY(double levelDb) const;
    // The y of a phase in degrees in the phases' view.
    double PhaseY(double degrees) const;
    // The value a y of the band stands for: a modulus in volts, a level in dB, a phase in degrees.
    double Value(double y) const;

    // The decibels' view: its floor, at the band's bottom (a negative multiple of Step), and the
    // step between its labelled grid lines, 10 or 20 dB (more only for a floor below -400 dB).
    double FloorDb() const { return floorDb_; }
    double StepDb() const { return stepDb_; }
    // The grid lines' levels (dB) or phases (degrees) with their y, top to bottom; none for the
    // moduli.
    struct GridLine
    {
        double value;
        double y;
    };
    std::vector<GridLine> Grid() const;

private:
    SpectrumView view_ = SpectrumView::Moduli;
    double peak_ = 0;
    double signalPeak_ = 0;
    double frequencySpan_ = 0; // Hz; 0 for the analysis's own H
    double frequency_ = 0; // Hz, the analysis's the scale was made for
    double lowestDecade_ = 0; // Hz, on the logarithmic axis with a reference; 0 for the own
    bool kept_ = false;
    bool shared_ = false;
    bool logFrequency_ = false;
    double logLow_ = 0; // log10 of LowestHarmonic
    double logUnits_ = 0; // x units per decade
    double floorDb_ = 0;
    double stepDb_ = 0;
};

// The floors the user may choose instead of the analysis's own, in dB.
inline constexpr double ChosenDecibelFloors[] = {-40, -60, -80, -100, -120};

// In the decibels' view, the lines within the span that stand above the rounding noise and at or
// below the floor, so that they are not drawn: the DC component and harmonics 1 to H; none in
// the other views.
std::int64_t LinesBelowFloor(const AnalysisState &state, const SpectrumScale &scale);
// Likewise with the reference's below the floor too, where one is held.
std::int64_t LinesBelowFloor(const AnalysisState &state, const AnalysisState *reference,
                             const SpectrumScale &scale);

// The decibels' floor: the level, in multiples of 10 dB, at or above which no modulus within the
// rounding noise of zero lies (so that noise never draws as a line), and no higher than needed to
// show every modulus above the noise; never above -10 dB.
double DecibelFloor(const AnalysisState &state);
