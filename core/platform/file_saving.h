// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file and telling why it failed: the system's own error, read right after the call
// that failed, or the path itself, turned into the program's SaveProblem. Each system's code is in
// file_saving_<system>.cpp.
#pragma once

#include "core/texts/save_problem.h"

#include <optional>
#include <string>
#include <string_view>

// The problem a failed call of the C library reports with `error`, its errno.
SaveProblem ProblemOf(int error);
// The problem a failed call of the system reports with `error`: its errno on Linux, its
// GetLastError on Windows.
SaveProblem ProblemOfSystemError(unsigned long error);
// Whether `error`, an errno, tells of a write that failed for lack of room or of the disk itself.
bool IsFailedWrite(int error);

// What keeps a file from being saved at `path` (UTF-8) before anything is written: a name or a
// path too long or not allowed, a folder that is missing, a plain file where a folder should be,
// no permission to write in the folder, or a file there that may not be replaced or that another
// program holds open.
std::optional<SaveProblem> PathProblem(const std::string &path);
// Whether a file's name (UTF-8, without its folder) is longer than the file system takes.
bool NameTooLong(const std::string &name);
// A file that could not be created at `path`: its path's problem, or a failed write.
SaveProblem DiagnoseOpenFailure(const std::string &path);
// A file written beside `path` that could not take the place of the one there: another program
// holding it, or a failed replace.
SaveProblem DiagnoseReplaceFailure(const std::string &path);

// Writes all of `data` to the open file `fd` (a C library descriptor), going on after partial
// writes; the problem when a write fails.
std::optional<SaveProblem> WriteAll(int fd, std::string_view data);
// Waits until the file `fd` is on the disk; the problem when the system reports one (a full
// disk may first show here). A file system that cannot sync is no problem.
std::optional<SaveProblem> SyncToDisk(int fd);

// A name by which a library that opens files by name writes into the open file `fd`, where the
// system has one; elsewhere the library writes a file of its own, which CopyInto then copies.
std::optional<std::string> NameOfOpenFile(int fd);
// The folder where a library that makes temporary files of its own should make them, where the
// system wants one named (UTF-8); elsewhere the library's own choice (which honours TMPDIR).
std::optional<std::string> TemporaryFolderForLibraries();
// Appends the whole file at `path` (UTF-8) to the open file `fd`; the problem when reading or
// writing fails.
std::optional<SaveProblem> CopyInto(const std::string &path, int fd);
