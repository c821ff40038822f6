// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Saving on Linux: POSIX calls and their errno.
#include "core/platform/file_saving.h"

#include <cerrno>
#include <climits>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder that could not be looked at: missing, or a plain file where one of its parents should
// be, told by climbing to the nearest part of the path that exists.
SaveProblem MissingFolderProblem(const std::filesystem::path &folder)
{
    for (std::filesystem::path part = folder.parent_path(); !part.empty();
         part = part.parent_path()) {
        struct stat info
        {
        };
        if (::stat(part.c_str(), &info) == 0)
            return S_ISDIR(info.st_mode) ? SaveProblem::FolderMissing : SaveProblem::NotAFolder;
        if (part == part.root_path())
            break;
    }
    return SaveProblem::FolderMissing;
}

} // namespace

SaveProblem ProblemOfSystemError(unsigned long error)
{
    return ProblemOf(int(error));
}

bool NameTooLong(const std::string &name)
{
    return name.size() > NAME_MAX;
}

std::optional<SaveProblem> PathProblem(const std::string &path)
{
    namespace fs = std::filesystem;
    const fs::path file(path);
    // By name first: the system would say "too long" for any part of the path alike.
    if (path.size() >= PATH_MAX)
        return SaveProblem::PathTooLong;
    if (NameTooLong(file.filename().string()))
        return SaveProblem::NameTooLong;
    for (const fs::path &part : file.parent_path())
        if (part.string().size() > NAME_MAX)
            return SaveProblem::FolderNameTooLong;

    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    struct stat info
    {
    };
    if (::stat(folder.c_str(), &info) != 0) {
        const int error = errno;
        return error == ENOENT ? MissingFolderProblem(folder) : ProblemOf(error);
    }
    if (!S_ISDIR(info.st_mode))
        return SaveProblem::NotAFolder;
    // The new file is written beside the old one and then takes its place.
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return ProblemOf(errno);
    if (::stat(file.c_str(), &info) != 0)
        return std::nullopt; // no file there yet
    if (S_ISDIR(info.st_mode))
        return SaveProblem::IsAFolder;
    if (::access(file.c_str(), W_OK) != 0) {
        const int error = errno;
        return error == EACCES || error == EPERM ? SaveProblem::FileProtected : ProblemOf(error);
    }
    return std::nullopt;
}

std::optional<SaveProblem> WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            const int error = errno;
            if (error == EINTR)
                continue;
            return ProblemOf(error);
        }
        if (written == 0)
            return SaveProblem::WriteFailed;
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return std::nullopt;
}

std::optional<SaveProblem> SyncToDisk(int fd)
{
    if (::fsync(fd) == 0)
        return std::nullopt;
    const int error = errno;
    if (error == EINVAL || error == EROFS) // a file system that keeps nothing to sync
        return std::nullopt;
    return ProblemOf(error);
}

std::optional<std::string> NameOfOpenFile(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

std::optional<std::string> TemporaryFolderForLibraries()
{
    return std::nullopt;
}
