// Why a file could not be saved, told from the path and the system's error number, so that the
// message can say it in the program's words.
#pragma once

#include <optional>
#include <string>

enum class SaveProblem
{
    FolderMissing,
    NotAFolder, // a plain file stands where the path needs a folder
    NoPermission,
    NameTooLong,
    DiskFull,
    FileTooLarge, // beyond what the system lets one file grow to
    WriteFailed,
    ReplaceFailed, // written, but not put in place of the old file
};

// What keeps a file from being saved at `path` (UTF-8) before anything is written: a name too
// long, a folder that is missing, a plain file where a folder should be, or no permission.
std::optional<SaveProblem> PathProblem(const std::string &path);
// A file that could not be created at `path`: its path's problem, or a failed write.
SaveProblem DiagnoseOpenFailure(const std::string &path);
// A write that failed with the system error `error` (errno).
SaveProblem DiagnoseWriteFailure(int error);
