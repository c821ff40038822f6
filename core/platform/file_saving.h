// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file and telling why it failed: the system's error number, read right after the call
// that failed, or the path itself, turned into the program's SaveProblem.
#pragma once

#include "core/texts/save_problem.h"

#include <optional>
#include <string>
#include <string_view>

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
