// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The field check: which texts pass, and which message a failing text shows.
#include "core/analysis/entry_check.h"
#include "tests/support/case_names.h"
#include "tests/support/message_recorder.h"

#include <gtest/gtest.h>

namespace {

enum class Verdict
{
    Passes,
    Missing,
    Invalid
};

struct EntryCase
{
    std::u16string text;
    Verdict verdict;
};

void PrintTo(const EntryCase &c, std::ostream *out)
{
    const char *verdicts[] = {"passes", "is missing", "holds a bad character"};
    *out << "\"" << Escaped(c.text.substr(0, 40)) << (c.text.size() > 40 ? "..." : "") << "\" ("
         << c.text.size() << " units) " << verdicts[static_cast<int>(c.verdict)];
}

class EntryChecks : public testing::TestWithParam<EntryCase>
{
};

TEST_P(EntryChecks, textsPassOrShowTheirFieldsMessage)
{
    AnalysisState state;
    state.MissingMessage = u"manca";
    state.InvalidMessage = u"sbagliato";
    state.EntryText = GetParam().text;
    MessageRecorder box;
    CheckEntry(state, state.EntryText, box);
    switch (GetParam().verdict) {
    case Verdict::Passes:
        EXPECT_EQ(state.EntryError, 0);
        EXPECT_TRUE(box.shown.empty());
        break;
    case Verdict::Missing:
        EXPECT_EQ(state.EntryError, 1);
        EXPECT_EQ(box.shown, std::vector<std::u16string> {u"manca"});
        break;
    case Verdict::Invalid:
        EXPECT_EQ(state.EntryError, 1);
        EXPECT_EQ(box.shown, std::vector<std::u16string> {u"sbagliato"});
        break;
    }
    EXPECT_EQ(state.EntryText, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EntryChecks,
    testing::Values(EntryCase {u"", Verdict::Missing}, EntryCase {u"0.5", Verdict::Passes},
                    EntryCase {u"10", Verdict::Passes}, EntryCase {u"1E-5", Verdict::Passes},
                    EntryCase {u"5E3", Verdict::Passes}, EntryCase {u"-.5e+3", Verdict::Passes},
                    EntryCase {u"1.23", Verdict::Passes}, EntryCase {u"1.2.3", Verdict::Passes},
                    EntryCase {u"e", Verdict::Passes}, EntryCase {u"-", Verdict::Passes},
                    EntryCase {u"+-", Verdict::Passes}, EntryCase {u"...", Verdict::Passes},
                    EntryCase {u"5+", Verdict::Passes},
                    EntryCase {u"0123456789.eE-+", Verdict::Passes},
                    EntryCase {u" 5", Verdict::Invalid}, EntryCase {u"5 ", Verdict::Invalid},
                    EntryCase {u"1,5", Verdict::Invalid}, EntryCase {u"\uFF15", Verdict::Invalid},
                    EntryCase {u"5\t", Verdict::Invalid}, EntryCase {u"x", Verdict::Invalid},
                    EntryCase {u"1d3", Verdict::Invalid}, EntryCase {u"\u0665", Verdict::Invalid},
                    EntryCase {std::u16string(1, u'\0'), Verdict::Invalid},
                    EntryCase {u"/", Verdict::Invalid}, EntryCase {u":", Verdict::Invalid},
                    EntryCase {u"1\U0001D7D3", Verdict::Invalid}, // a mathematical digit, two units
                    EntryCase {std::u16string(32766, u'7'), Verdict::Passes},
                    EntryCase {std::u16string(32767, u'7'), Verdict::Invalid},
                    EntryCase {std::u16string(40000, u'7'), Verdict::Invalid}),
    [](const auto &info) { return CaseName(info.param.text); });

TEST(CheckEntry, aPassingCheckClearsTheErrorOfAFailedOne)
{
    AnalysisState state;
    MessageRecorder box;
    CheckEntry(state, u"1,5", box);
    ASSERT_EQ(state.EntryError, 1);
    CheckEntry(state, u"1.5", box);
    EXPECT_EQ(state.EntryError, 0);
    EXPECT_EQ(box.shown.size(), 1u);
}

// The error flag turns to 1 only once the user has closed the box.
TEST(CheckEntry, errorIsSetAfterTheBoxIsClosed)
{
    struct Probe : MessageBox
    {
        explicit Probe(const AnalysisState &s) : state(s) { }
        void Show(const std::u16string &) override { errorWhileShown = state.EntryError; }
        const AnalysisState &state;
        int errorWhileShown = -1;
    };
    AnalysisState state;
    state.EntryError = 1;
    Probe probe(state);
    CheckEntry(state, u"", probe);
    EXPECT_EQ(probe.errorWhileShown, 0);
    EXPECT_EQ(state.EntryError, 1);
}

} // namespace
