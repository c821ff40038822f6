// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/texts/messages.h"

#include "core/texts/joined_text.h"
#include "core/texts/number_text.h"
#include "core/texts/units.h"

#include <vector>

namespace {

struct FieldEntry
{
    std::u16string_view description;
    FieldMessages messages;
};

// A table indexed by an enum that ends in Count: one row for each value, in the enum's order, none
// of them empty. Checked where the table is built, so that a row missing or out of place fails the
// build.
template<typename Enum, typename Row, std::size_t Size>
constexpr bool OneRowEachInOrder(const Row (&rows)[Size], std::u16string_view Row::*text,
                                 Enum Row::*key = &Row::key)
{
    if (Size != static_cast<std::size_t>(Enum::Count))
        return false;
    for (std::size_t i = 0; i < Size; ++i)
        if (static_cast<std::size_t>(rows[i].*key) != i || (rows[i].*text).empty())
            return false;
    return true;
}

// Indexed by Field: what the field holds, as the refusals name it, and its two messages, written
// out in full so that every text reads here as it is shown.
constexpr std::array<FieldEntry, FieldCount> FieldTable = {{
    {u"il Duty Cycle dell'impulso",
     {u"Hai dimenticato di scrivere il Duty Cycle dell'impulso ",
      u"Errore di inserimento dati per il Duty Cycle dell'impulso. Puoi scrivere soltanto numeri "
      u"razionali con il punto come separatore decimale, anche in forma esponenziale. Ad es: "
      u"1.23 , 1E-5 , 5E3"}},
    {u"l'ampiezza dell'impulso Vmax",
     {u"Hai dimenticato di scrivere l'ampiezza dell'impulso Vmax",
      u"Errore di inserimento dati per l'ampiezza dell'impulso Vmax. Puoi scrivere soltanto "
      u"numeri razionali con il punto come separatore decimale, anche in forma esponenziale. Ad "
      u"es: 1.23 , 1E-5 , 5E3"}},
    {u"la frequenza del segnale f",
     {u"Hai dimenticato di scrivere la frequenza del segnale f ",
      u"Errore di inserimento dati per la frequenza del segnale f . Puoi scrivere soltanto numeri "
      u"razionali con il punto come separatore decimale, anche in forma esponenziale. Ad es: "
      u"1.23 , 1E-5 , 5E3"}},
    {u"il numero di campioni",
     {u"Hai dimenticato di scrivere il numero di campioni",
      u"Errore di inserimento dati per il numero di campioni. Puoi scrivere soltanto numeri "
      u"razionali con il punto come separatore decimale, anche in forma esponenziale. Ad es: "
      u"1.23 , 1E-5 , 5E3"}},
    {u"il numero delle armoniche dello spettro visualizzate",
     {u"Hai dimenticato di scrivere il numero delle armoniche dello spettro visualizzate ",
      u"Errore di inserimento dati per il numero delle armoniche dello spettro visualizzate . "
      u"Puoi scrivere soltanto numeri razionali con il punto come separatore decimale, anche in "
      u"forma esponenziale. Ad es: 1.23 , 1E-5 , 5E3"}},
    {u"il numero di periodi di s(t) visualizzati",
     {u"Hai dimenticato di scrivere il numero di periodi di s(t) visualizzati",
      u"Errore di inserimento dati per il numero di periodi di s(t) visualizzati. Puoi scrivere "
      u"soltanto numeri razionali con il punto come separatore decimale, anche in forma "
      u"esponenziale. Ad es: 1.23 , 1E-5 , 5E3"}},
    {u"il numero della armonica di cui si vuole calcolare il modulo",
     {u"Hai dimenticato di scrivere il numero della armonica di cui si vuole calcolare il modulo",
      u"Errore di inserimento dati per il numero della armonica di cui si vuole calcolare il "
      u"modulo. Puoi scrivere soltanto numeri razionali con il punto come separatore decimale, "
      u"anche in forma esponenziale. Ad es: 1.23 , 1E-5 , 5E3"}},
}};

constexpr bool EveryFieldHasItsTexts()
{
    for (const FieldEntry &entry : FieldTable)
        if (entry.description.empty() || entry.messages.missing.empty()
            || entry.messages.invalid.empty())
            return false;
    return true;
}
static_assert(EveryFieldHasItsTexts(), "a description and two messages for each field");

// In the order the commands meet the reasons. %f is the field's description, %1 to %3 the
// numbers.
constexpr ReasonEntry Reasons[] = {
    {Reason::DutyCycleZeroOrAboveOne,
     "a duty cycle of zero or above one (the test both commands make before the others)",
     u"Il Duty cycle non può essere zero o maggiore di uno",
     {}},
    {Reason::NegativeDutyCycle,
     "a negative duty cycle",
     u"Il Duty cycle non può essere negativo",
     {}},
    {Reason::ValueBeyondDoubles,
     "a number beyond the double range in a field",
     u"Il valore scritto per %f è troppo grande: supera i numeri rappresentabili (circa "
     u"1.8E+308).",
     {}},
    {Reason::FrequencyTimesThousandBeyondDoubles,
     "a frequency that times 1000 leaves that range",
     u"La frequenza del segnale f è troppo grande: moltiplicata per 1000 supera i numeri "
     u"rappresentabili (circa 1.8E+308).",
     {}},
    {Reason::SampleCountOutOfRange,
     "N not between 1 and 2147483646 once rounded",
     u"Il numero di campioni deve essere un numero intero compreso tra 1 e 2147483646.",
     {}},
    {Reason::TooManyHarmonics,
     "more harmonics than N + 1, or a count beyond the 32-bit range, where N + 1 <= 1073741823",
     u"Il numero delle armoniche dello spettro visualizzate è fuori dall'intervallo consentito: "
     u"può essere al massimo %1 (il numero di campioni più uno).",
     {"N + 1"}},
    {Reason::HarmonicCountOutOfRange,
     "more harmonics than 1073741823, or a count beyond the 32-bit range, where N + 1 is larger",
     u"Il numero delle armoniche dello spettro visualizzate è fuori dall'intervallo consentito: "
     u"può essere al massimo %1.",
     {"1073741823"}},
    {Reason::TargetHarmonicOutOfRange,
     "z outside 0 to N + 1 (harmonic modulus only)",
     u"Il numero della armonica di cui si vuole calcolare il modulo deve essere compreso tra 0 e "
     u"%1 (il numero di campioni più uno).",
     {"N + 1"}},
    {Reason::PeriodCountOutOfRange,
     "periods beyond the 32-bit range (graphs only)",
     u"Il numero di periodi di s(t) visualizzati è troppo grande in valore assoluto: al massimo "
     u"2147483647.",
     {}},
    {Reason::ZeroFrequency,
     "a zero frequency (graphs only: the time scale divides by it)",
     u"La frequenza del segnale f non può essere zero.",
     {}},
    {Reason::NotEnoughMemory,
     "the analysis's arrays of N + 2 doubles and the transform's buffers larger than 90 % of the "
     "free memory",
     u"Memoria insufficiente: per %1 campioni servono %2 MB, ma ne sono disponibili %3 MB. "
     u"Riduci il numero di campioni.",
     {"N", "X", "Y"}},
    {Reason::AllocationFailed,
     "the allocation fails all the same",
     u"Memoria insufficiente per il calcolo: riduci il numero di campioni.",
     {}},
    {Reason::ResultsTooLarge,
     "a result beyond 1E+300 in magnitude (Vmax = 1E308, say)",
     u"Il calcolo ha prodotto valori troppo grandi per essere rappresentati (oltre 1E+300). "
     u"Prova con un'ampiezza Vmax più piccola.",
     {}},
};

static_assert(OneRowEachInOrder<Reason>(Reasons, &ReasonEntry::text, &ReasonEntry::reason),
              "one text for each Reason, in the enum's order");

struct SaveProblemEntry
{
    SaveProblem key;
    std::u16string_view text;
};

// In the order of the enum: a row missing or out of place fails the build.
constexpr SaveProblemEntry SaveProblemTexts[] = {
    {SaveProblem::FolderMissing, u"la cartella non esiste"},
    {SaveProblem::NotAFolder, u"nel percorso c'è un file al posto di una cartella"},
    {SaveProblem::NoPermission, u"non hai il permesso di scrivere in quella cartella"},
    {SaveProblem::FileProtected, u"il file esistente è protetto e non può essere sostituito"},
    {SaveProblem::IsAFolder, u"con quel nome c'è già una cartella"},
    {SaveProblem::NameTooLong, u"il nome del file è troppo lungo"},
    {SaveProblem::FolderNameTooLong, u"il nome di una cartella del percorso è troppo lungo"},
    {SaveProblem::PathTooLong, u"il percorso del file è troppo lungo"},
    {SaveProblem::ReadOnlyDisk, u"il disco è di sola lettura"},
    {SaveProblem::DiskFull, u"il disco è pieno"},
    {SaveProblem::FileTooLarge, u"il file supera la dimensione massima consentita dal sistema"},
    {SaveProblem::WriteFailed, u"la scrittura sul disco non è riuscita"},
    {SaveProblem::ReplaceFailed, u"non è stato possibile sostituire il file esistente"},
    {SaveProblem::NotEnoughMemory, u"la memoria non basta per preparare i dati"},
    {SaveProblem::FileInUse, u"il file è aperto in un altro programma, che va chiuso prima"},
    {SaveProblem::NameNotAllowed, u"il sistema non ammette quel nome di file"},
};

static_assert(OneRowEachInOrder<SaveProblem>(SaveProblemTexts, &SaveProblemEntry::text),
              "one text for each SaveProblem, in the enum's order");

struct UiTextEntry
{
    UiText key;
    std::u16string_view text;
};

// In the order of the enum. A caption that a user or a test looks for is written here exactly as
// the window shows it, spaces included; an ellipsis is the one character "…".
// The texts that name a unit take its one spelling from units.h.
constexpr JoinedText<char16_t, 8> KilohertzInBrackets {u"[", KilohertzName, u"]"};
constexpr JoinedText<char16_t, 40> HarmonicReadoutText {u"armonica %1: f= %2", KilohertzName,
                                                        u" ; |S| = %3V"};

constexpr UiTextEntry UiTexts[] = {
    {UiText::ProgramName, u"Spettro Segnale"},
    {UiText::QtTranslationsMissing,
     u"Traduzioni di Qt non caricate (%1): i testi di Qt restano in inglese"},
    {UiText::Wait, u"Attendere!"},
    {UiText::Cancel, u"Annulla"},
    {UiText::Cancelling, u"Annullamento in corso…"},
    {UiText::HelpMenu, u"&Aiuto"},
    {UiText::Guide, u"&Guida"},
    {UiText::GuideTitle, u"Guida di Spettro Segnale"},
    {UiText::GuideFind, u"Cerca nella guida (Invio: la successiva, Maiusc+Invio: la precedente)"},

    {UiText::EnterData, u"Inserisci i dati"},
    {UiText::VoltUnit, u"[V]"},
    {UiText::KilohertzUnit, KilohertzInBrackets.View()},
    {UiText::FrequencyDefinition, u"f = 1/T"},
    {UiText::PeriodCountCaption, u"numero periodi di s(t) visualizzati"},
    {UiText::DutyCycleDefinition, u"Duty Cycle = Ti / T"},
    {UiText::HarmonicCountCaption, u"numero armoniche dello spettro visualizzate "},
    {UiText::SampleCountCaption, u"numero campioni"},
    {UiText::SignalSymbol, u"s(t)"},
    {UiText::TargetHarmonicDefinition, u"z = N° armonica"},
    {UiText::MagnitudeCaption, u"modulo armonica N° z"},
    {UiText::MeanValueSymbol, u"Ao"},
    {UiText::MeanValueCaption, u"componente continua  segnale"},
    {UiText::MagnitudeSymbol, u"|S(z)|"},
    {UiText::Contact, u"spettro@example.org"},
    {UiText::HarmonicModulusButton, u"Calcola modulo armonica N° z"},
    {UiText::GraphsButton, u"Grafici"},
    {UiText::GraphsButtonDescription, u"Apre la finestra del segnale e dello spettro"},
    {UiText::MagnitudeResultDescription, u"modulo della armonica N° z [V]"},
    {UiText::CopyResult, u"Copia"},
    {UiText::StaleResult,
     u"Non aggiornato: calcolato con valori diversi da quelli scritti ora. Premere «"
     u"Calcola modulo armonica N° z» (F5) per aggiornarlo."},
    {UiText::ShapeChoiceHint,
     u"Forma dell'impulso: fare clic, oppure Invio o le frecce, per sceglierla"},
    {UiText::FieldStepHint,
     u"Frecce su e gi\u00F9 o rotellina del mouse: passi di %1; Pag su e Pag gi\u00F9: passi di "
     u"%2"},
    {UiText::AnalysisProgress, u"Calcolo dello spettro…\nArmoniche calcolate: %1 di %2"},
    {UiText::AnalysisMenu, u"A&nalisi"},
    {UiText::ShapeMenu, u"&Forma dell'impulso"},
    {UiText::Quit, u"&Esci"},

    {UiText::GraphWindowTitle, u"Segnale e spettro"},
    {UiText::PlotName, u"Grafici del segnale s(t) e dello spettro |S(f)|"},
    {UiText::PlotDescription,
     u"In alto il segnale in rosso, in basso lo spettro a righe in blu con la componente continua "
     u"in verde; il suggerimento mostra il valore sotto il cursore"},
    {UiText::SpectrumSymbol, u"S(f)"},
    {UiText::MoveCursorHint,
     u"Sposta il cursore del mouse sui grafici, comparirà il valore in quel punto"},
    {UiText::MeanValueKey, u" componente continua in verde"},
    {UiText::HarmonicSumKey, u" somma delle armoniche in viola"},
    {UiText::PartialSumKey, u"somma delle prime %1 armoniche"},
    {UiText::FirstHarmonicSumKey, u"somma della prima armonica"},
    {UiText::DcAloneSumKey, u"solo la componente continua"},
    {UiText::HarmonicReadout, HarmonicReadoutText.View()},
    {UiText::NotDefined, u"non definita"},
    {UiText::BeyondHarmonics, u"oltre "},
    {UiText::DecibelScale, u"Scala in dB"},
    {UiText::PhaseSpectrum, u"Spettro di fase"},
    {UiText::Envelope, u"Inviluppo"},
    {UiText::EnvelopeKey, u"inviluppo in verde acqua"},
    {UiText::KeptScaleKey, u"scala mantenuta"},
    {UiText::KeptScaleHidesKey, u"scala mantenuta: %1 armoniche fuori"},
    {UiText::KeptScaleHidesOneKey, u"scala mantenuta: 1 armonica fuori"},
    {UiText::DecibelFloorMenu, u"Fondo scala in dB"},
    {UiText::AutomaticFloor, u"Automatico"},
    {UiText::FloorLevel, u"%1 dB"},
    {UiText::BelowFloorKey, u"%1 righe sotto il fondo scala"},
    {UiText::BelowFloorOneKey, u"1 riga sotto il fondo scala"},
    {UiText::AxisValues, u"Valori sugli assi"},
    {UiText::KeepScale, u"Mantieni la scala"},
    {UiText::LogFrequency, u"Frequenze in scala logaritmica"},
    {UiText::SlopeLines, u"Pendenze -20 e -40 dB/decade"},
    {UiText::SlopeLabel, u"%1 dB/decade"},
    {UiText::EnvelopeZero, u"%1/Ti"},
    {UiText::EnvelopeZeroHalf, u"%1/(2Ti)"},
    {UiText::PhaseNotDefined, u"fase non definita"},
    {UiText::FilterMenu, u"Fi&ltro"},
    {UiText::FilterOutputKey, u"y(t): uscita del filtro"},
    {UiText::ResponseLabel, u"|H(f)|"},
    {UiText::ResponsePhaseLabel, u"arg H(f)"},
    {UiText::FilterReadout, u"|S| = %1V ; |H| = %2 (%3 dB) ; arg H = %4° ; |Y| = %5V"},
    {UiText::FilterProgress, u"Uscita del filtro…\nPassi eseguiti: %1 di %2"},
    {UiText::FilterChoice, u"Filtro"},
    {UiText::FilterFieldKeys,
     u"Invio: applica il valore scritto; frecce, Pag↑ e Pag↓ e rotellina: un passo o dieci"},
    {UiText::HoldReference, u"Fissa come riferimento"},
    {UiText::DropReference, u"Togli riferimento"},
    {UiText::ReferenceKey, u"riferimento: %1, D.C. = %2"},
    {UiText::ReferenceFilteredKey, u"riferimento: %1, D.C. = %2, filtro %3"},
    {UiText::MeasuredReferenceKey, u"riferimento: %1"},
    {UiText::MeasuredReferenceFilteredKey, u"riferimento: %1, filtro %3"},
    {UiText::ReferenceMemory,
     u"Memoria insufficiente per fissare il riferimento: servono %1 MB, ma ne sono disponibili "
     u"%2 MB. Il grafico resta com'era."},
    {UiText::ReferenceMeasure, u"%1\nrif. %2"},
    {UiText::ReferenceReadout, u"riferimento: %1"},
    {UiText::OpenMeasured, u"Apri segnale &misurato…"},
    {UiText::ChannelMenu, u"Ca&nale del segnale misurato"},
    {UiText::EstimateParameters, u"S&tima i parametri"},
    {UiText::CloseMeasured, u"&Chiudi segnale misurato"},
    {UiText::OpenMeasuredTitle, u"Apri segnale misurato"},
    {UiText::MeasuredFilter, u"Segnali misurati (*.csv *.txt *.dat *.tsv *.prn);;Tutti i file (*)"},
    {UiText::CaptureProgress, u"Lettura del segnale misurato…\nByte letti: %1 di %2"},
    {UiText::MeasuredProgress, u"Media dei periodi misurati…\nPunti letti: %1 di %2"},
    {UiText::MeasuredHeading, u"Misurato: %1 (f stimata = %2 kHz); modello: %3"},
    {UiText::CaptureUnopened, u"Impossibile aprire il file «%1». Il segnale resta com'era."},
    {UiText::FitResult,
     u"Parametri stimati per la forma %1: Vmax = %2 V, D.C. = %3, ritardo = %4 µs.\n"
     u"Differenza efficace residua fra segnale misurato e modello: %5 V."},
    {UiText::ModelKey, u"modello: %1, D.C. = %2"},
    {UiText::FitNothing,
     u"Nessun parametro stimato: il periodo misurato è nullo o ha meno di 4 campioni."},
    {UiText::Measures, u"Misure"},
    {UiText::CopyImage, u"Copia immagine"},
    {UiText::SaveImage, u"Salva immagine…"},
    {UiText::CopyData, u"Copia dati"},
    {UiText::SaveData, u"Salva dati (CSV)…"},
    {UiText::SaveWorkbook, u"Salva foglio di calcolo (.xlsx)…"},
    {UiText::HarmonicSum, u"Somma delle armoniche"},
    {UiText::HarmonicByHarmonic, u"Armoniche una per una"},
    {UiText::SaveImageTitle, u"Salva immagine"},
    {UiText::SaveDataTitle, u"Salva dati (CSV)"},
    {UiText::SaveWorkbookTitle, u"Salva foglio di calcolo"},
    {UiText::ImageFilter, u"Immagine PNG (*.png)"},
    {UiText::DataFilter, u"Dati CSV (*.csv)"},
    {UiText::WorkbookFilter, u"Foglio di calcolo (*.xlsx)"},
    {UiText::CopyDataProgress, u"Copia dei dati…\nRighe scritte: %1 di %2"},
    {UiText::SaveDataProgress, u"Scrittura dei dati…\nRighe scritte: %1 di %2"},
    {UiText::SaveWorkbookProgress, u"Scrittura del foglio di calcolo…\nRighe scritte: %1 di %2"},
    {UiText::HarmonicSumProgress, u"Somma delle armoniche…\nPassi eseguiti: %1 di %2"},
    {UiText::SaveSlide, u"Salva immagine per diapositive…"},
    {UiText::SaveSlideTitle, u"Salva immagine per diapositive"},
    {UiText::SlideScale, u"&Ingrandimento:"},
    {UiText::SlideScaleChoice, u"%1 volte (%2 × %3 pixel)"},
    {UiText::SlideCaptionChoice, u"&Didascalia con i parametri e le viste"},
    {UiText::FileMenu, u"&File"},
    {UiText::CloseWindow, u"&Chiudi"},
    {UiText::ViewMenu, u"&Visualizza"},
    {UiText::FullScreen, u"Schermo intero"},
    {UiText::ParameterBar, u"&Barra dei parametri"},
    {UiText::ParameterBarFocus, u"Vai alla barra dei parametri"},
    {UiText::ParameterBarKeys,
     u"Invio: applica il valore scritto; Esc: torna al grafico (F2 riporta qui)"},
    {UiText::PulseShapeChoice, u"Forma dell'impulso"},
    {UiText::SweepPlay, u"▶ Scansione"},
    {UiText::SweepHint,
     u"Scansione: il valore scelto va avanti e indietro tra «da» e «a», un passo alla volta, e i "
     u"grafici lo seguono; un tasto o un clic la ferma"},
    {UiText::SweepValue, u"Valore della scansione"},
    {UiText::SweepFrom, u"da"},
    {UiText::SweepTo, u"a"},
    {UiText::SweepPace, u"Passi al secondo della scansione"},
    {UiText::SweepPaceUnit, u" passi/s"},
    {UiText::NameTooLongHint,
     u"Il nome del file è troppo lungo: al massimo 255 caratteri (meno se accentati)."},
    {UiText::OtherFileType, u"File %1"},
    {UiText::FileWithoutSuffix, u"File"},
    {UiText::CopyOutOfMemory,
     u"I dati non sono stati copiati: la memoria non basta per prepararli."},
    {UiText::SaveFailed,
     u"Il file «%1» non è stato salvato: %2. Un file con quel nome, se c'era, è rimasto com'era."},
    {UiText::TooManyRows,
     u"I dati sono %1 righe: troppe per gli appunti, perché un foglio di calcolo ne accoglie al "
     u"massimo %2. Usa «%3»."},
    {UiText::TooManyWorkbookRows,
     u"Un foglio del file avrebbe %1 righe: troppe, perché un foglio di calcolo ne accoglie al "
     u"massimo %2. Usa «%3»."},
};
static_assert(OneRowEachInOrder<UiText>(UiTexts, &UiTextEntry::text),
              "one text for each UiText, in the enum's order");

} // namespace

std::u16string DecimalText(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

namespace {

// The pattern with %1, %2, ... replaced by the slots and %f by the field's description. Only the
// pattern is read for slots, so a slot's own "%2" (a file name's, say) stays as it is.
std::u16string Filled(std::u16string_view pattern, std::span<const std::u16string> slots,
                      std::u16string_view field = {})
{
    std::u16string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size()) {
            const char16_t slot = pattern[++i];
            if (slot == u'f')
                text += field;
            else if (static_cast<std::size_t>(slot - u'1') < slots.size())
                text += slots[static_cast<std::size_t>(slot - u'1')];
            continue;
        }
        text += pattern[i];
    }
    return text;
}

} // namespace

namespace {

// In the order of the enum. A message that names a line begins with it, as the reader finds it.
constexpr CaptureReasonEntry CaptureReasons[] = {
    {CaptureReason::Empty, "the file holds nothing but blank lines", u"Il file è vuoto."},
    {CaptureReason::TooLarge, "the file is larger than the reader's limit",
     u"Il file è troppo grande: %1 byte, oltre il limite di %2 byte."},
    {CaptureReason::Binary, "a NUL byte or invalid UTF-8 in the first 8 KiB",
     u"Riga %l: il file non è un testo (contiene byte nulli o caratteri non validi). Attesi "
     u"numeri in colonne, come li scrive un oscilloscopio o un simulatore."},
    {CaptureReason::LineTooLong, "a line longer than 64 KiB",
     u"Riga %l: la riga è troppo lunga (oltre %1 byte) per essere una riga di dati."},
    {CaptureReason::NoNumbers, "no run of rows that begin with a number",
     u"Nel file non ci sono righe di numeri: attesi valori separati da virgole, punti e virgola, "
     u"tabulazioni o spazi."},
    {CaptureReason::NotANumber, "a row of the data that holds text where a number is needed",
     u"Riga %l: attesi numeri separati da %1, trovato «%2»."},
    {CaptureReason::CellCount, "a row of the data with another number of columns",
     u"Riga %l: attese %1 colonne come nelle righe precedenti, trovate %2."},
    {CaptureReason::NotFinite, "NaN or an infinity among the times or the values",
     u"Riga %l: il valore «%1» non è un numero finito."},
    {CaptureReason::BadInterval, "a sample interval or rate in the header that is not positive",
     u"Riga %l: l'intervallo di campionamento deve essere un numero positivo, trovato «%1»."},
    {CaptureReason::NoTimeInformation,
     "one column of numbers, and no interval or rate in the header",
     u"Il file ha una sola colonna di numeri e nell'intestazione non c'è l'intervallo di "
     u"campionamento (ad es. «Sample Interval,0.08uS» o «Increment,2e-6»): manca il tempo."},
    {CaptureReason::NoChannel, "no column besides the time",
     u"Il file ha solo la colonna del tempo: manca una colonna di valori."},
    {CaptureReason::NoSuchChannel, "a channel beyond those of the file",
     u"Il canale %1 non c'è: il file ne ha %2."},
    {CaptureReason::TooManySamples, "more rows of data than the reader's limit",
     u"Il file ha più di %1 campioni, il limite del programma."},
    {CaptureReason::TooFewSamples, "fewer than two rows of data",
     u"Il file contiene %1 campioni: ne servono almeno 2."},
    {CaptureReason::TimeStandsStill, "every sample at the same time",
     u"Il tempo non avanza: tutti i campioni hanno lo stesso istante."},
    {CaptureReason::TimesBeyondDoubles, "times whose span leaves the double range",
     u"Gli istanti del file sono troppo distanti tra loro per essere rappresentati."},
    {CaptureReason::FlatSignal, "every value the same",
     u"Il segnale è costante (tutti i valori valgono %1 V): non ci sono impulsi da analizzare."},
    {CaptureReason::LessThanOnePeriod, "fewer than two rising or two falling edges",
     u"Nel segnale acquisito c'è meno di un periodo: servono almeno due fronti di salita o due "
     u"di discesa."},
    {CaptureReason::ShorterThanPeriod, "the capture lasts less than one period",
     u"Il segnale acquisito dura meno di un periodo (%1 s contro un periodo di %2 s)."},
    {CaptureReason::PeriodBelowSampling, "a period shorter than two sample intervals",
     u"Il periodo (%1 s) è più corto di due intervalli di campionamento (%2 s)."},
    {CaptureReason::BadPointCount, "points per period outside 1 to the limit",
     u"I punti per periodo devono essere tra 1 e %2, non %1."},
};

static_assert(OneRowEachInOrder<CaptureReason>(CaptureReasons, &CaptureReasonEntry::text,
                                               &CaptureReasonEntry::reason),
              "one text for each CaptureReason, in the enum's order");

struct CaptureTextEntry
{
    CaptureText key;
    std::u16string_view text;
};

constexpr CaptureTextEntry CaptureTexts[] = {
    {CaptureText::ColumnName, u"colonna %1"},
    {CaptureText::Commas, u"virgole"},
    {CaptureText::Semicolons, u"punti e virgola"},
    {CaptureText::Tabs, u"tabulazioni"},
    {CaptureText::Spaces, u"spazi"},
};

static_assert(OneRowEachInOrder<CaptureText>(CaptureTexts, &CaptureTextEntry::text),
              "one text for each CaptureText, in the enum's order");

} // namespace

std::span<const ReasonEntry> ReasonTable()
{
    return Reasons;
}

std::u16string MessageText(const Refusal &refusal)
{
    const std::array<std::u16string, 3> numbers
        = {DecimalText(refusal.numbers[0]), DecimalText(refusal.numbers[1]),
           DecimalText(refusal.numbers[2])};
    return Filled(Reasons[static_cast<std::size_t>(refusal.reason)].text, numbers,
                  refusal.field ? FieldDescription(*refusal.field) : std::u16string_view {});
}

const FieldMessages &MessagesFor(Field field)
{
    return FieldTable[static_cast<std::size_t>(field)].messages;
}

std::u16string_view FieldDescription(Field field)
{
    return FieldTable[static_cast<std::size_t>(field)].description;
}

std::u16string SaveFailedText(std::u16string_view path, SaveProblem problem)
{
    const std::u16string slots[] = {std::u16string(path), std::u16string(SaveProblemText(problem))};
    return Filled(TextOf(UiText::SaveFailed), slots);
}

std::u16string_view SaveProblemText(SaveProblem problem)
{
    return SaveProblemTexts[static_cast<std::size_t>(problem)].text;
}

std::u16string_view TextOf(UiText text)
{
    return UiTexts[static_cast<std::size_t>(text)].text;
}

std::u16string TooManyRowsText(std::int64_t rows)
{
    const std::u16string slots[]
        = {DecimalText(static_cast<std::uint64_t>(rows)), DecimalText(SpreadsheetRows),
           std::u16string(TextOf(UiText::SaveData))};
    return Filled(TextOf(UiText::TooManyRows), slots);
}

std::u16string TooManyWorkbookRowsText(std::int64_t rows)
{
    const std::u16string slots[]
        = {DecimalText(static_cast<std::uint64_t>(rows)), DecimalText(SpreadsheetRows),
           std::u16string(TextOf(UiText::SaveData))};
    return Filled(TextOf(UiText::TooManyWorkbookRows), slots);
}

std::span<const CaptureReasonEntry> CaptureReasonTable()
{
    return CaptureReasons;
}

std::u16string CaptureMessage(CaptureReason reason, std::uint64_t line,
                              std::initializer_list<std::u16string_view> parts)
{
    // "%l" names the line; the other slots are the parts.
    std::u16string pattern(CaptureReasons[static_cast<std::size_t>(reason)].text);
    for (std::size_t at = pattern.find(u"%l"); at != pattern.npos; at = pattern.find(u"%l", at))
        pattern.replace(at, 2, DecimalText(line));
    std::vector<std::u16string> slots;
    for (const std::u16string_view part : parts)
        slots.emplace_back(part);
    return Filled(pattern, slots);
}

std::u16string_view TextOf(CaptureText text)
{
    return CaptureTexts[static_cast<std::size_t>(text)].text;
}

std::u16string ReferenceKeyText(std::u16string_view shape, std::u16string_view duty,
                                std::u16string_view filter, bool model)
{
    const std::u16string slots[]
        = {std::u16string(shape), std::u16string(duty), std::u16string(filter)};
    const UiText key = model ? UiText::ModelKey
        : duty.empty()
        ? (filter.empty() ? UiText::MeasuredReferenceKey : UiText::MeasuredReferenceFilteredKey)
        : filter.empty() ? UiText::ReferenceKey
                         : UiText::ReferenceFilteredKey;
    return Filled(TextOf(key), slots);
}

std::u16string QuantityNumberText(double value)
{
    return FormatNumber(value, {NumberPattern::Scientific, 3, false}, u'.').value_or(u"?");
}
