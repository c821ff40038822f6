// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the program shows, in one place: the two messages of each field, the message of each
// typed reason for which a command stops after its checks, why a save failed, and every other
// text of the windows (captions, menu entries, dialog titles and filters, progress texts,
// accessible names). Each table is indexed by its enum, and a row missing or out of place fails
// the build.
#pragma once

#include "core/texts/capture_reason.h"
#include "core/texts/fields.h"
#include "core/texts/refusal.h"
#include "core/texts/save_problem.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

// The message of a refusal, its field and numbers filled in.
std::u16string MessageText(const Refusal &refusal);

struct FieldMessages
{
    std::u16string_view missing; // the field is empty
    std::u16string_view invalid; // the field holds a character outside the number alphabet
};

const FieldMessages &MessagesFor(Field field);

// What the field holds, as the messages name it ("il numero di campioni").
std::u16string_view FieldDescription(Field field);

// One row of the table, as the README lists it: the condition in English, the message with %f
// for the field and %1 to %3 for the numbers, and what each number stands for.
struct ReasonEntry
{
    Reason reason;
    std::string_view when;
    std::u16string_view text;
    std::array<std::string_view, 3> numberNames;
};

std::span<const ReasonEntry> ReasonTable();

// Every other text the windows show, named by what it says. Where a text holds %1, %2, ..., the
// code that shows it fills them in: QString::arg for the progress texts, the functions below for
// the export's messages.
enum class UiText
{
    // The program as a whole.
    ProgramName, // the input window's caption, the title of its message and progress boxes
    QtTranslationsMissing, // on the terminal; %1 = the file looked for
    Wait, // beside each button of the input window, and before each progress text
    Cancel,
    Cancelling,
    // The menu bars of both windows.
    HelpMenu,
    Guide, // opens the guide
    GuideTitle, // the guide's window
    GuideFind, // its bar that finds a word (Ctrl+F)

    // The input window: its labels, fields and buttons.
    EnterData,
    VoltUnit,
    KilohertzUnit,
    FrequencyDefinition,
    PeriodCountCaption,
    DutyCycleDefinition,
    HarmonicCountCaption,
    SampleCountCaption,
    SignalSymbol, // also the graph window's upper option button
    TargetHarmonicDefinition,
    MagnitudeCaption,
    MeanValueSymbol,
    MeanValueCaption,
    MagnitudeSymbol,
    Contact,
    HarmonicModulusButton,
    GraphsButton,
    GraphsButtonDescription,
    MagnitudeResultDescription,
    CopyResult,
    StaleResult, // the tool tip of a result whose values were typed over since
    ShapeChoiceHint,
    FieldStepHint, // a field's tool tip: %1 = one step, %2 = ten steps
    AnalysisProgress, // %1 of %2 harmonics
    AnalysisMenu, // its menu bar: the commands, the shapes and the end of the program
    ShapeMenu,
    Quit,

    // The graph window: its controls, its menu, the file dialogs and the long work it starts.
    GraphWindowTitle,
    PlotName,
    PlotDescription,
    SpectrumSymbol,
    MoveCursorHint,
    MeanValueKey,
    HarmonicSumKey,
    PartialSumKey, // %1 = how many harmonics the sum adds, two or more
    FirstHarmonicSumKey, // the sum of the first harmonic alone
    DcAloneSumKey, // the sum of no harmonic: the DC component alone
    HarmonicReadout, // %1 = the harmonic's number, %2 = its frequency, %3 = its modulus;
                     // its phase follows
    NotDefined, // in place of a measure that has no value
    BeyondHarmonics, // before the harmonics shown, for a bandwidth they do not reach
    DecibelScale, // the plot's views, checkable entries of its menu
    PhaseSpectrum,
    Envelope,
    EnvelopeKey, // beside the DC component's key while the envelope is drawn
    KeptScaleKey, // while the scale is kept
    KeptScaleHidesKey, // while the kept scale leaves %1 harmonics out, two or more
    KeptScaleHidesOneKey, // while it leaves one out
    DecibelFloorMenu, // the submenu of the decibels' floor
    AutomaticFloor, // its first entry: the floor chosen from the analysis
    FloorLevel, // its other entries: "%1 dB"
    BelowFloorKey, // in the decibels' view, while %1 lines (two or more) lie below the floor
    BelowFloorOneKey, // while one does
    AxisValues,
    KeepScale,
    LogFrequency, // the logarithmic frequency axis's entry
    SlopeLines, // the reference slopes' entry
    SlopeLabel, // beside each slope: "%1 dB/decade"
    EnvelopeZero, // at a zero of the envelope, %1/Ti
    EnvelopeZeroHalf, // at one of %1/(2Ti)
    PhaseNotDefined, // in the readout, over a harmonic that has no phase
                     // The filter: its submenu, its key under s(t), the labels of the response's
                     // scale, the readout's line over a line (%1 = |S|, %2 = |H|, %3 = |H| in dB,
                     // %4 = arg H, %5 = |Y|), the progress of its output, the bar's list and its
                     // fields' line.
    FilterMenu,
    FilterOutputKey,
    ResponseLabel,
    ResponsePhaseLabel,
    FilterReadout,
    FilterProgress, // %1 of %2 steps
    FilterChoice,
    FilterFieldKeys,
    HoldReference, // the graph window's "Visualizza": the analysis shown held as the reference
    DropReference,
    ReferenceKey, // %1 shape, %2 D
    ReferenceFilteredKey, // %1 shape, %2 D, %3 filter
    MeasuredReferenceKey, // a measured signal held: %1 "misurato: <file>"
    MeasuredReferenceFilteredKey, // %1 as above, %3 filter
    ReferenceMemory, // %1 MB needed, %2 MB available
    ReferenceMeasure, // %1 the current's value, %2 the reference's
    ReferenceReadout, // %1 what the reference reads at the cursor
                      // A measured signal: the input window's entries, the file dialog's title and
                      // filter, the progress of its reading (%1 of %2 bytes) and of its periods'
                      // average (%1 of %2 points), the title label while one is open (%1 file, %2
                      // estimated f in kHz, %3 the model's shape), a file that cannot be opened
                      // (%1), the fit's answer (%1 shape, %2 Vmax, %3 D, %4 delay in µs, %5 RMS
                      // difference) and the fit that finds nothing.
    OpenMeasured,
    ChannelMenu,
    EstimateParameters,
    CloseMeasured,
    OpenMeasuredTitle,
    MeasuredFilter,
    CaptureProgress,
    MeasuredProgress,
    MeasuredHeading,
    CaptureUnopened,
    FitResult,
    ModelKey, // the model's key beside a measured signal: %1 shape, %2 D
    FitNothing,
    Measures, // the plot's menu: the measures beside the plot, shown or hidden
    CopyImage,
    SaveImage,
    CopyData,
    SaveData,
    SaveWorkbook,
    HarmonicSum,
    HarmonicByHarmonic,
    SaveImageTitle,
    SaveDataTitle,
    SaveWorkbookTitle,
    ImageFilter,
    DataFilter,
    WorkbookFilter,
    CopyDataProgress, // %1 of %2 rows
    SaveDataProgress, // %1 of %2 rows
    SaveWorkbookProgress, // %1 of %2 rows
    HarmonicSumProgress, // %1 of %2 steps
    SaveSlide, // a picture for slides: the entry, its dialog's title, its choices, its file
    SaveSlideTitle,
    SlideScale,
    SlideScaleChoice, // %1 = the scale, %2 x %3 = the picture's pixels
    SlideCaptionChoice,
    FileMenu, // its menu bar: the exports and the window's end; the views and the full screen
    CloseWindow,
    ViewMenu,
    FullScreen,
    // The graph window's parameter bar: its entry, the entry that puts the focus in it, the
    // line its fields' tool tips add, and the shape's list.
    ParameterBar,
    ParameterBarFocus,
    ParameterBarKeys,
    PulseShapeChoice,
    // The bar's sweep: its button and tool tip, the value's list, its limits and its pace.
    SweepPlay,
    SweepHint,
    SweepValue,
    SweepFrom,
    SweepTo,
    SweepPace,
    SweepPaceUnit,

    // Under the file dialog's name while it is too long to be saved, which keeps Save disabled.
    NameTooLongHint,
    // The type of a file in the file dialog's list, other than the program's own: %1 = its suffix.
    OtherFileType,
    FileWithoutSuffix,
    // The memory ran out while the data for the clipboard were prepared.
    CopyOutOfMemory,
    SaveFailed, // %1 = the file's path, %2 = why (SaveFailedText)
    TooManyRows, // %1 = rows, %2 = a sheet's rows, %3 = the CSV entry (TooManyRowsText)
    TooManyWorkbookRows, // likewise (TooManyWorkbookRowsText)

    Count // not a text: the number of texts
};

std::u16string_view TextOf(UiText text);

// A whole number in decimal digits, as the messages write counts and sizes.
std::u16string DecimalText(std::uint64_t value);
// A quantity in a capture's message: "1.400E-03", three decimals in scientific notation.
std::u16string QuantityNumberText(double value);

// The reasons a capture is refused, each with when it applies and its text; "%l" in a text is the
// line it names.
std::span<const CaptureReasonEntry> CaptureReasonTable();
// The message of `reason`: its text with "%l" the line and %1, %2, ... the parts.
std::u16string CaptureMessage(CaptureReason reason, std::uint64_t line,
                              std::initializer_list<std::u16string_view> parts = {});
std::u16string_view TextOf(CaptureText text);

// The reference's key: "riferimento: <shape>, D.C. = <duty>", and ", filtro <filter>" where
// `filter` is not empty; the model's beside a measured signal, "modello: <shape>, D.C. = <duty>";
// with no `duty`, a measured signal held, "riferimento: misurato: <file>".
std::u16string ReferenceKeyText(std::u16string_view shape, std::u16string_view duty,
                                std::u16string_view filter, bool model = false);

// The messages of the export from the graph window.
// A save that failed: the file's path and why, in words; nothing was left behind.
std::u16string SaveFailedText(std::u16string_view path, SaveProblem problem);
// Why, alone ("il disco è pieno").
std::u16string_view SaveProblemText(SaveProblem problem);
// Data too long for the clipboard: more rows than a spreadsheet holds.
constexpr std::int64_t SpreadsheetRows = 1048576;
std::u16string TooManyRowsText(std::int64_t rows);
// A sheet of the workbook would need more rows than a spreadsheet holds.
std::u16string TooManyWorkbookRowsText(std::int64_t rows);
