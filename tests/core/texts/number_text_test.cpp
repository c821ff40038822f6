// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Typed text to number, and the number formats.
#include "core/texts/number_text.h"
#include "tests/support/case_names.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct ValCase
{
    std::u16string text;
    double value;
};

void PrintTo(const ValCase &c, std::ostream *out)
{
    *out << "Val(\"" << Utf8(c.text) << "\") = " << c.value;
}

class ValConversion : public testing::TestWithParam<ValCase>
{
};

TEST_P(ValConversion, readsTheLongestNumericPrefix)
{
    const double value = Val(GetParam().text);
    EXPECT_EQ(value, GetParam().value);
    EXPECT_EQ(std::signbit(value), std::signbit(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValConversion,
    testing::Values(ValCase {u"0.5", 0.5}, ValCase {u"1E-5", 0.00001}, ValCase {u"5E3", 5000},
                    ValCase {u"-.5e+3", -500}, ValCase {u"1.2.3", 1.2}, ValCase {u"5+", 5},
                    ValCase {u"1e", 1}, ValCase {u"-", 0}, ValCase {u".", 0}, ValCase {u"e5", 0},
                    ValCase {u"+-", 0}, ValCase {u"", 0}, ValCase {u"+7", 7}, ValCase {u"5.", 5},
                    ValCase {u".25", 0.25}, ValCase {u"1e+", 1}, ValCase {u"1e-", 1},
                    ValCase {u"2E+2e3", 200}, ValCase {u"1-2", 1}, ValCase {u"-0", -0.0},
                    ValCase {u"0.1", 0.1}, ValCase {u"10000", 10000},
                    ValCase {u"1e400", std::numeric_limits<double>::infinity()},
                    ValCase {u"-1e400", -std::numeric_limits<double>::infinity()},
                    ValCase {u"1e-400", 0}, ValCase {u"-1e-400", -0.0},
                    ValCase {u"100000e304", std::numeric_limits<double>::infinity()},
                    ValCase {u"0.0000001e-320", 0}, ValCase {u"0.001e310", 1e307},
                    ValCase {u"1000e-330", 1e-327},
                    ValCase {u"-123e99999999999999999999",
                             -std::numeric_limits<double>::infinity()},
                    ValCase {u"1.7976931348623157e308", 1.7976931348623157e308},
                    ValCase {u"4.9e-324", 4.9e-324}, ValCase {u"3.5x", 3.5}, ValCase {u"12 34", 12},
                    ValCase {u"00000000000000000000000000000001.5", 1.5},
                    ValCase {u"1e0000000000000000000000000000000000000002", 100}),
    [](const auto &info) { return CaseName(info.param.text); });

TEST(Val, ignoresTheLocalesDecimalSeparator)
{
    EXPECT_EQ(Val(u"1,5"), 1);
}

TEST(Val, readsVeryLongNumbers)
{
    const std::u16string digits = u"1" + std::u16string(400, u'0');
    EXPECT_EQ(Val(digits), std::numeric_limits<double>::infinity());
    const std::u16string fraction = u"0." + std::u16string(32000, u'0') + u"1e32001";
    EXPECT_EQ(Val(fraction), 1);
}

// A value in both patterns with `decimals` decimals and `separator` before them; the readouts'
// named formats are those of two decimals and the point.
struct FormatCase
{
    double value;
    std::u16string scientific;
    std::u16string fixed;
    int decimals = 2;
    char16_t separator = u'.';
};

void PrintTo(const FormatCase &c, std::ostream *out)
{
    *out << c.value << " as " << Utf8(c.scientific) << " and " << Utf8(c.fixed) << " with "
         << c.decimals << " decimals";
}

std::string FormatCaseName(const FormatCase &c)
{
    std::string name = CaseName(c.value);
    if (c.decimals != 2)
        name += "_with_" + std::to_string(c.decimals) + "_decimals";
    if (c.separator != u'.')
        name += "_and_a_comma";
    return name;
}

class Patterns : public testing::TestWithParam<FormatCase>
{
};

TEST_P(Patterns, writeTheExpectedDigits)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(FormatNumber(c.value, {NumberPattern::Scientific, c.decimals}, c.separator),
              c.scientific);
    EXPECT_EQ(FormatNumber(c.value, {NumberPattern::Fixed, c.decimals}, c.separator), c.fixed);
    if (c.decimals == 2 && c.separator == u'.') {
        EXPECT_EQ(FormatScientific(c.value, u'.'), c.scientific);
        EXPECT_EQ(FormatFixed(c.value, u'.'), c.fixed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, Patterns,
    testing::Values(
        FormatCase {3.1830988, u"3.18E+00", u"3.18"}, FormatCase {5, u"5.00E+00", u"5.00"},
        FormatCase {0.064305237, u"6.43E-02", u"0.06"},
        FormatCase {12345, u"1.23E+04", u"12345.00"}, FormatCase {9.996, u"1.00E+01", u"10.00"},
        FormatCase {-0.5, u"-5.00E-01", u"-0.50"},
        FormatCase {1e22, u"1.00E+22", u"1" + std::u16string(22, u'0') + u".00"},
        FormatCase {250, u"2.50E+02", u"250.00"}, FormatCase {0.004, u"4.00E-03", u"0.00"},
        FormatCase {-0.004, u"-4.00E-03", u"0.00"}, FormatCase {0, u"0.00E+00", u"0.00"},
        FormatCase {-0.0, u"0.00E+00", u"0.00"}, FormatCase {1e-300, u"1.00E-300", u"0.00"},
        FormatCase {4.9e-324, u"4.94E-324", u"0.00"},
        FormatCase {-123.456, u"-1.23E+02", u"-123.46"},
        // Exact ties of the last digit go to the even neighbour in both patterns.
        FormatCase {1.125, u"1.12E+00", u"1.12"}, FormatCase {1.375, u"1.38E+00", u"1.38"},
        FormatCase {-0.625, u"-6.25E-01", u"-0.62"}, FormatCase {0.125, u"1.25E-01", u"0.12"},
        FormatCase {112.5, u"1.12E+02", u"112.50"}, FormatCase {-0.5625, u"-5.62E-01", u"-0.56"},
        // Other decimals, as the scales' values take them.
        FormatCase {1234.5678, u"1E+03", u"1235", 0},
        FormatCase {1234.5678, u"1.2E+03", u"1234.6", 1},
        FormatCase {1234.5678, u"1.235E+03", u"1234.568", 3},
        FormatCase {1234.5678, u"1,235E+03", u"1234,568", 3, u','},
        FormatCase {-0.4, u"-4E-01", u"0", 0}, FormatCase {-0.0, u"0.000E+00", u"0.000", 3},
        // 99.95 is stored a little above itself, so it rounds up in both patterns.
        FormatCase {99.95, u"1.0E+02", u"100.0", 1}),
    [](const auto &info) { return FormatCaseName(info.param); });

TEST(Format, writesTheLocalesDecimalSeparator)
{
    EXPECT_EQ(FormatScientific(3.1830988, u','), u"3,18E+00");
    EXPECT_EQ(FormatFixed(250, u','), u"250,00");
    EXPECT_EQ(FormatScientific(0, u','), u"0,00E+00");
}

TEST(Format, writesTheDigitsOfAGroupedFormatUngrouped)
{
    // The grouping is the user's language's, which the windows add; here the digits stay whole.
    EXPECT_EQ(FormatNumber(1234567, ScaleValue(0), u'.'), u"1234567");
    EXPECT_EQ(FormatNumber(-12345.25, ScaleValue(1), u','), u"-12345,2");
}

TEST(Format, givesNothingForDecimalsOutOfRange)
{
    EXPECT_FALSE(FormatNumber(1, {NumberPattern::Fixed, -1}, u'.').has_value());
    EXPECT_FALSE(FormatNumber(1, {NumberPattern::Scientific, 341}, u'.').has_value());
    EXPECT_EQ(FormatNumber(1, {NumberPattern::Fixed, 340}, u'.'),
              u"1." + std::u16string(340, u'0'));
}

TEST(Format, givesNothingForValuesThatAreNotFinite)
{
    for (double value : {HUGE_VAL, -HUGE_VAL, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(FormatScientific(value, u'.').has_value());
        EXPECT_FALSE(FormatFixed(value, u'.').has_value());
    }
}

TEST(Format, writesExponentsOfThreeDigits)
{
    EXPECT_EQ(FormatScientific(1e100, u'.'), u"1.00E+100");
    EXPECT_EQ(FormatScientific(-2.5e-150, u'.'), u"-2.50E-150");
}

TEST(Format, writesTheLargestDoubleInFull)
{
    const auto fixed = FormatFixed(std::numeric_limits<double>::max(), u'.');
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->size(), 309u + 3u);
    EXPECT_EQ(FormatScientific(std::numeric_limits<double>::max(), u'.'), u"1.80E+308");
}

} // namespace
