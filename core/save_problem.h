// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Why a file could not be saved, told from the path and from the system's error number read right
// after the call that failed, so that the message can say it in the program's words. The one
// place where a failure becomes a reason; the words are in the message table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class SaveProblem
{
    FolderMissing,
    NotAFolder, // a plain file stands where the path needs a folder
    NoPermission, // to write in the folder
    FileProtected, // the file there may not be replaced: read-only for this user, or immutable
    IsAFolder, // a folder stands where the file should go
    NameTooLong,
    FolderNameTooLong, // a folder's name in the path
    PathTooLong,
    ReadOnlyDisk,
    DiskFull,
    FileTooLarge, // beyond what the system lets one file grow to
    WriteFailed,
    ReplaceFailed, // written, but not put in place of the old file
    NotEnoughMemory, // to prepare what is written
    Count // not a problem: how many there are
};

// The problem a failed system call of a save reports with `error`, its errno.
SaveProblem ProblemOf(int error);

// What keeps a file from being saved at `path` (UTF-8) before anything is written: a name or a
// path too long, a folder that is missing, a plain file where a folder should be, no permission
// to write in the folder, or a file there that may not be replaced.
std::optional<SaveProblem> PathProblem(const std::string &path);
// A file that could not be created at `path`: its path's problem, or a failed write.
SaveProblem DiagnoseOpenFailure(const std::string &path);

// Writes all of `data` to the open file `fd`, going on after partial writes; the problem when a
// write fails.
std::optional<SaveProblem> WriteAll(int fd, std::string_view data);
// Waits until the file `fd` is on the disk; the problem when the system reports one (a full
// disk may first show here). A file system that cannot sync is no problem.
std::optional<SaveProblem> SyncToDisk(int fd);
