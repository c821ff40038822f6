// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Val on any text: never NaN, decided by its numeric prefix alone, signed as the text says.
#include "core/texts/number_text.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::u16string text = input.Text();
    const double value = Val(text);
    FUZZ_CHECK(!std::isnan(value), "text '%s'", Narrow(text).c_str());
    // Whatever follows the numeric prefix is ignored, so a letter at the end changes nothing.
    const double extended = Val(text + u"x1");
    FUZZ_CHECK(extended == value || (value == 0 && extended == 0), "text '%s': %g then %g",
               Narrow(text).c_str(), value, extended);
    if (value != 0)
        FUZZ_CHECK(std::signbit(value) == (!text.empty() && text[0] == u'-'), "text '%s': %g",
                   Narrow(text).c_str(), value);
    return 0;
}
