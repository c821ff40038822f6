// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/capture/capture_texts.h"

#include "core/texts/number_text.h"

#include <array>
#include <vector>

namespace {

// In the order of the enum. A message that names a line begins with it, as the reader finds it.
constexpr CaptureReasonEntry Reasons[] = {
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

constexpr bool ReasonsInEnumOrder()
{
    std::size_t index = 0;
    for (const CaptureReasonEntry &entry : Reasons)
        if (static_cast<std::size_t>(entry.reason) != index++ || entry.text.empty())
            return false;
    return index == static_cast<std::size_t>(CaptureReason::Count);
}
static_assert(ReasonsInEnumOrder(), "one text for each CaptureReason, in the enum's order");

struct TextEntry
{
    CaptureText key;
    std::u16string_view text;
};

constexpr TextEntry Texts[] = {
    {CaptureText::ColumnName, u"colonna %1"},
    {CaptureText::Commas, u"virgole"},
    {CaptureText::Semicolons, u"punti e virgola"},
    {CaptureText::Tabs, u"tabulazioni"},
    {CaptureText::Spaces, u"spazi"},
};

constexpr bool TextsInEnumOrder()
{
    std::size_t index = 0;
    for (const TextEntry &entry : Texts)
        if (static_cast<std::size_t>(entry.key) != index++ || entry.text.empty())
            return false;
    return index == static_cast<std::size_t>(CaptureText::Count);
}
static_assert(TextsInEnumOrder(), "one text for each CaptureText, in the enum's order");

} // namespace

std::span<const CaptureReasonEntry> CaptureReasonTable()
{
    return Reasons;
}

std::u16string CaptureMessage(CaptureReason reason, std::uint64_t line,
                              std::initializer_list<std::u16string_view> parts)
{
    const std::u16string_view pattern = Reasons[static_cast<std::size_t>(reason)].text;
    const std::vector<std::u16string_view> slots(parts);
    std::u16string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : u'\0';
        if (pattern[i] == u'%' && next == u'l') {
            text += WholeNumberText(line);
            ++i;
        } else if (pattern[i] == u'%' && next >= u'1' && next <= u'3') {
            const std::size_t slot = static_cast<std::size_t>(next - u'1');
            if (slot < slots.size())
                text += slots[slot];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::u16string_view TextOf(CaptureText text)
{
    return Texts[static_cast<std::size_t>(text)].text;
}

std::u16string WholeNumberText(std::uint64_t value)
{
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return digits;
}

std::u16string QuantityNumberText(double value)
{
    return FormatNumber(value, {NumberPattern::Scientific, 3, false}, u'.').value_or(u"?");
}
