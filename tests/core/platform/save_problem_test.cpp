// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Why a save failed: each system error and each path to its own reason, each reason to its own
// words.
#include "core/platform/file_saving.h"
#include "core/texts/messages.h"

#include "tests/support/case_names.h"
#include "tests/support/temporary_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

namespace {

struct ErrorCase
{
    const char *name;
    unsigned long error;
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
    EXPECT_EQ(ProblemOfSystemError(GetParam().error), GetParam().problem);
}

// The C library's errno means the same everywhere; the system's own errors are Windows' there.
TEST(CLibraryErrors, nameTheirOwnReason)
{
    EXPECT_EQ(ProblemOf(ENOSPC), SaveProblem::DiskFull);
    EXPECT_EQ(ProblemOf(EACCES), SaveProblem::NoPermission);
    EXPECT_EQ(ProblemOf(ENOENT), SaveProblem::FolderMissing);
    EXPECT_EQ(ProblemOf(EIO), SaveProblem::WriteFailed);
}

const ErrorCase ErrorCases[] = {
#ifdef _WIN32
    {"ERROR_FILE_NOT_FOUND", ERROR_FILE_NOT_FOUND, SaveProblem::FolderMissing},
    {"ERROR_PATH_NOT_FOUND", ERROR_PATH_NOT_FOUND, SaveProblem::FolderMissing},
    {"ERROR_DIRECTORY", ERROR_DIRECTORY, SaveProblem::NotAFolder},
    {"ERROR_ACCESS_DENIED", ERROR_ACCESS_DENIED, SaveProblem::NoPermission},
    {"ERROR_SHARING_VIOLATION", ERROR_SHARING_VIOLATION, SaveProblem::FileInUse},
    {"ERROR_LOCK_VIOLATION", ERROR_LOCK_VIOLATION, SaveProblem::FileInUse},
    {"ERROR_FILENAME_EXCED_RANGE", ERROR_FILENAME_EXCED_RANGE, SaveProblem::PathTooLong},
    {"ERROR_INVALID_NAME", ERROR_INVALID_NAME, SaveProblem::NameNotAllowed},
    {"ERROR_WRITE_PROTECT", ERROR_WRITE_PROTECT, SaveProblem::ReadOnlyDisk},
    {"ERROR_DISK_FULL", ERROR_DISK_FULL, SaveProblem::DiskFull},
    {"ERROR_HANDLE_DISK_FULL", ERROR_HANDLE_DISK_FULL, SaveProblem::DiskFull},
    {"ERROR_FILE_TOO_LARGE", ERROR_FILE_TOO_LARGE, SaveProblem::FileTooLarge},
    {"ERROR_NOT_ENOUGH_MEMORY", ERROR_NOT_ENOUGH_MEMORY, SaveProblem::NotEnoughMemory},
    {"ERROR_CRC", ERROR_CRC, SaveProblem::WriteFailed},
#else
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
#endif
};

INSTANTIATE_TEST_SUITE_P(Errors, SystemErrors, testing::ValuesIn(ErrorCases),
                         [](const auto &info) { return std::string(info.param.name); });

// What is done to "file.txt" before the path is looked at.
enum class Hold
{
    Nothing,
    ReadOnly, // made read-only (which stops no one but root on Linux: there only on Windows)
    OpenElsewhere, // held open, shared with no one, as a spreadsheet holds the file it shows
};

// Paths under a fresh folder holding a plain file "file.txt" and a folder "cartella".
struct PathCase
{
    const char *name;
    std::string path;
    std::optional<SaveProblem> problem;
    Hold hold = Hold::Nothing;
};

void PrintTo(const PathCase &c, std::ostream *out)
{
    *out << c.name;
}

class Paths : public testing::TestWithParam<PathCase>
{
};

#ifdef _WIN32
// Whether a file held open elsewhere keeps a new one from taking its place: on Windows it does.
std::optional<SaveProblem> HoldsOpen()
{
    return SaveProblem::FileInUse;
}

// The file at `path` held as `hold` says, until the holder goes.
std::shared_ptr<void> HeldFile(const std::string &path, Hold hold)
{
    if (hold == Hold::ReadOnly)
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    if (hold != Hold::OpenElsewhere)
        return nullptr;
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE);
    return {handle, [](void *h) { CloseHandle(h); }};
}
#else
// On Linux a file held open elsewhere is replaced all the same.
std::optional<SaveProblem> HoldsOpen()
{
    return std::nullopt;
}

std::shared_ptr<void> HeldFile(const std::string &path, Hold hold)
{
    if (hold != Hold::OpenElsewhere)
        return nullptr;
    auto *file = new std::ifstream(path);
    EXPECT_TRUE(file->is_open());
    return std::shared_ptr<void>(file, [](void *f) { delete static_cast<std::ifstream *>(f); });
}
#endif

TEST_P(Paths, sayWhatKeepsTheFileFromBeingSaved)
{
    // UTF-8 paths, put together as text: a path object would read the bytes in the system's
    // narrow encoding on Windows.
    const std::string base = NewTemporaryFolder("save_problem");
    ASSERT_FALSE(base.empty());
    const std::filesystem::path folder(base);
    std::ofstream(folder / "file.txt") << "un file\n";
    std::filesystem::create_directory(folder / "cartella");
    {
        const auto held = HeldFile(base + "/file.txt", GetParam().hold);
        EXPECT_EQ(PathProblem(base + "/" + GetParam().path), GetParam().problem);
    }
    std::filesystem::permissions(folder / "file.txt", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    std::filesystem::remove_all(folder);
}

std::string PathOfLength(std::size_t length)
{
    std::string path;
    while (path.size() < length)
        path += std::string(200, 'c') + "/";
    return path + "dati.csv";
}

const PathCase PathCases[] = {
    {"a new file", "dati.csv", std::nullopt},
    {"an old file", "file.txt", std::nullopt},
    {"name of 255 bytes", std::string(251, 'x') + ".csv", std::nullopt},
    {"name of 256 bytes", std::string(252, 'x') + ".csv", SaveProblem::NameTooLong},
    {"folder name of 300 bytes", std::string(300, 'c') + "/dati.csv",
     SaveProblem::FolderNameTooLong},
    {"missing folder", "manca/dati.csv", SaveProblem::FolderMissing},
    {"missing folders", "manca/ancora/dati.csv", SaveProblem::FolderMissing},
    {"a file for a folder", "file.txt/dati.csv", SaveProblem::NotAFolder},
    {"a file for a parent folder", "file.txt/sotto/dati.csv", SaveProblem::NotAFolder},
    {"a folder for the file", "cartella", SaveProblem::IsAFolder},
    {"an old file held open elsewhere", "file.txt", HoldsOpen(), Hold::OpenElsewhere},
#ifdef _WIN32
    // Names count UTF-16 units: 256 bytes of UTF-8 here are 254 units.
    {"accented name of 256 bytes", std::string(248, 'x') + "\xC3\xA8\xC3\xA8.csv", std::nullopt},
    {"path too long", PathOfLength(32767), SaveProblem::PathTooLong},
    {"a read-only old file", "file.txt", SaveProblem::FileProtected, Hold::ReadOnly},
    {"a name with a colon", "dati:1.csv", SaveProblem::NameNotAllowed},
    {"a name with a question mark", "dati?.csv", SaveProblem::NameNotAllowed},
#else
    {"accented name of 256 bytes", std::string(248, 'x') + "\xC3\xA8\xC3\xA8.csv",
     SaveProblem::NameTooLong},
    {"path too long", PathOfLength(PATH_MAX), SaveProblem::PathTooLong},
#endif
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
