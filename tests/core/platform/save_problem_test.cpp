// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Why a save failed: each system error and each path to its own reason, each reason to its own
// words.
#include "core/platform/file_saving.h"
#include "core/texts/messages.h"

#include "tests/support/case_names.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

struct ErrorCase
{
    const char *name;
    int error;
    SaveProblem problem;
};

void PrintTo(const ErrorCase &c, std::ostream *out)
{
    *out << c.name;
}

class SystemErrors : public testing::TestWithParam<ErrorCase>
{
};

TEST_P(SystemErrors, nameTheirOwnReason)
{
    EXPECT_EQ(ProblemOf(GetParam().error), GetParam().problem);
}

const ErrorCase ErrorCases[] = {
    {"ENOENT", ENOENT, SaveProblem::FolderMissing},
    {"ENOTDIR", ENOTDIR, SaveProblem::NotAFolder},
    {"EACCES", EACCES, SaveProblem::NoPermission},
    {"EPERM", EPERM, SaveProblem::FileProtected},
    {"EISDIR", EISDIR, SaveProblem::IsAFolder},
    {"ENAMETOOLONG", ENAMETOOLONG, SaveProblem::NameTooLong},
    {"EROFS", EROFS, SaveProblem::ReadOnlyDisk},
    {"ENOSPC", ENOSPC, SaveProblem::DiskFull},
    {"EDQUOT", EDQUOT, SaveProblem::DiskFull},
    {"EFBIG", EFBIG, SaveProblem::FileTooLarge},
    {"EIO", EIO, SaveProblem::WriteFailed},
};

INSTANTIATE_TEST_SUITE_P(Errors, SystemErrors, testing::ValuesIn(ErrorCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Paths under a fresh folder holding a plain file "file.txt" and a folder "cartella".
struct PathCase
{
    const char *name;
    std::string path;
    std::optional<SaveProblem> problem;
};

void PrintTo(const PathCase &c, std::ostream *out)
{
    *out << c.name;
}

class Paths : public testing::TestWithParam<PathCase>
{
};

TEST_P(Paths, sayWhatKeepsTheFileFromBeingSaved)
{
    char pattern[] = "/tmp/save_problem_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path folder(pattern);
    std::ofstream(folder / "file.txt") << "un file\n";
    std::filesystem::create_directory(folder / "cartella");
    EXPECT_EQ(PathProblem((folder / GetParam().path).string()), GetParam().problem);
    std::filesystem::remove_all(folder);
}

const PathCase PathCases[] = {
    {"a new file", "dati.csv", std::nullopt},
    {"an old file", "file.txt", std::nullopt},
    {"name of 255 bytes", std::string(251, 'x') + ".csv", std::nullopt},
    {"name of 256 bytes", std::string(252, 'x') + ".csv", SaveProblem::NameTooLong},
    {"accented name of 256 bytes", std::string(248, 'x') + "\xC3\xA8\xC3\xA8.csv",
     SaveProblem::NameTooLong},
    {"folder name of 300 bytes", std::string(300, 'c') + "/dati.csv",
     SaveProblem::FolderNameTooLong},
    {"path too long",
     [] {
         std::string path;
         while (path.size() < PATH_MAX)
             path += std::string(200, 'c') + "/";
         return path + "dati.csv";
     }(),
     SaveProblem::PathTooLong},
    {"missing folder", "manca/dati.csv", SaveProblem::FolderMissing},
    {"missing folders", "manca/ancora/dati.csv", SaveProblem::FolderMissing},
    {"a file for a folder", "file.txt/dati.csv", SaveProblem::NotAFolder},
    {"a file for a parent folder", "file.txt/sotto/dati.csv", SaveProblem::NotAFolder},
    {"a folder for the file", "cartella", SaveProblem::IsAFolder},
};

INSTANTIATE_TEST_SUITE_P(Layouts, Paths, testing::ValuesIn(PathCases), NamedAfterItsCase());

TEST(SaveProblemText, givesEachReasonItsOwnWords)
{
    std::set<std::u16string_view> seen;
    for (int p = 0; p < static_cast<int>(SaveProblem::Count); ++p) {
        const std::u16string_view text = SaveProblemText(static_cast<SaveProblem>(p));
        EXPECT_FALSE(text.empty()) << p;
        EXPECT_TRUE(seen.insert(text).second) << p;
    }
    EXPECT_EQ(SaveProblemText(SaveProblem::FolderNameTooLong),
              u"il nome di una cartella del percorso è troppo lungo");
    EXPECT_EQ(SaveProblemText(SaveProblem::FileProtected),
              u"il file esistente è protetto e non può essere sostituito");
}

} // namespace
