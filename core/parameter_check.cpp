#include "parameter_check.h"

#include "fields.h"
#include "spectrum.h"

#include <cmath>
#include <optional>
#include <string>

namespace {

std::u16string Number(std::uint64_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string OutOfRange(Field field)
{
    std::u16string text = u"Il valore scritto per ";
    text += FieldDescription(field);
    text += u" è troppo grande: supera i numeri rappresentabili (circa 1.8E+308).";
    return text;
}

std::u16string Megabytes(std::uint64_t bytes)
{
    return Number((bytes + (1 << 20) - 1) >> 20) + u" MB";
}

} // namespace

std::variant<AnalysisParameters, std::u16string>
CheckParameters(const TypedValues &values, Command command, std::uint64_t availableMemory)
{
    if (values.DutyCycle < 0)
        return u"Il Duty cycle non può essere negativo";

    // In the order the commands convert the fields.
    const auto outOfRange = [&]() -> std::optional<std::u16string> {
        if (!std::isfinite(values.Amplitude))
            return OutOfRange(Field::Text7);
        if (!std::isfinite(values.FrequencyKHz))
            return OutOfRange(Field::Text12);
        if (!std::isfinite(values.Frequency))
            return u"La frequenza del segnale f è troppo grande: moltiplicata per 1000 supera i "
                   u"numeri rappresentabili (circa 1.8E+308).";
        if (!std::isfinite(values.HarmonicCount))
            return OutOfRange(Field::Text3);
        if (!std::isfinite(values.DutyCycle))
            return OutOfRange(Field::Text1);
        if (!std::isfinite(values.SampleCount))
            return OutOfRange(Field::Text13);
        if (!std::isfinite(values.PeriodCount))
            return OutOfRange(Field::Text8);
        if (command == Command::HarmonicModulus && !std::isfinite(values.TargetHarmonic))
            return OutOfRange(Field::Text2);
        return std::nullopt;
    }();
    if (outOfRange)
        return *outOfRange;

    const std::optional<std::int32_t> n = TryRoundToCount(values.SampleCount);
    if (!n || *n < 1 || *n > MaxSampleCount)
        return u"Il numero di campioni deve essere un numero intero compreso tra 1 e "
            + Number(MaxSampleCount) + u".";

    const double nd = static_cast<double>(*n) * values.DutyCycle;
    if (!TryRoundToCount(nd) || !TryRoundToCount(nd + 1))
        return u"Il prodotto del numero di campioni per il Duty Cycle è troppo grande.";

    const std::optional<std::int32_t> h = TryRoundToCount(values.HarmonicCount);
    const std::int32_t maxHarmonics = std::min(*n + 1, MaxHarmonicCount);
    if (!h || *h > maxHarmonics)
        return u"Il numero delle armoniche dello spettro visualizzate è fuori dall'intervallo "
               u"consentito: può essere al massimo "
            + Number(maxHarmonics)
            + (maxHarmonics == *n + 1 ? u" (il numero di campioni più uno)." : u".");

    AnalysisParameters accepted;
    if (command == Command::HarmonicModulus) {
        const std::optional<std::int32_t> z = TryRoundToCount(values.TargetHarmonic);
        if (!z || *z < 0 || *z > *n + 1)
            return u"Il numero della armonica di cui si vuole calcolare il modulo deve essere "
                   u"compreso tra 0 e "
                + Number(static_cast<std::uint64_t>(*n) + 1) + u" (il numero di campioni più uno).";
        accepted.TargetHarmonic = *z;
    } else {
        if (!TryRoundToCount(values.PeriodCount))
            return u"Il numero di periodi di s(t) visualizzati è troppo grande in valore assoluto: "
                   u"al massimo 2147483647.";
        if (values.Frequency == 0)
            return u"La frequenza del segnale f non può essere zero.";
    }

    const std::uint64_t needed = BytesPerSample * (static_cast<std::uint64_t>(*n) + 2);
    if (needed > availableMemory / 10 * 9)
        return u"Memoria insufficiente: per " + Number(static_cast<std::uint64_t>(*n))
            + u" campioni servono " + Megabytes(needed) + u", ma ne sono disponibili "
            + Megabytes(availableMemory) + u". Riduci il numero di campioni.";

    accepted.DutyCycle = values.DutyCycle;
    accepted.Amplitude = values.Amplitude;
    accepted.Frequency = values.Frequency;
    accepted.HarmonicCount = values.HarmonicCount;
    accepted.SampleCount = *n;
    accepted.PeriodCount = values.PeriodCount;
    return accepted;
}
