// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// What every system shares: the C library's error numbers, and the diagnoses built on PathProblem.
#include "core/platform/file_saving.h"

#include <cerrno>
#include <cstdio>
#include <memory>

SaveProblem ProblemOf(int error)
{
    switch (error) {
    case ENOENT:
        return SaveProblem::FolderMissing;
    case ENOTDIR:
        return SaveProblem::NotAFolder;
    case EACCES:
        return SaveProblem::NoPermission;
    case EPERM:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return SaveProblem::FileProtected;
    case EISDIR:
        return SaveProblem::IsAFolder;
    case ENAMETOOLONG:
        return SaveProblem::NameTooLong;
    case EROFS:
        return SaveProblem::ReadOnlyDisk;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return SaveProblem::DiskFull;
    case EFBIG:
        return SaveProblem::FileTooLarge;
    default:
        return SaveProblem::WriteFailed;
    }
}

bool IsFailedWrite(int error)
{
#ifdef EDQUOT
    if (error == EDQUOT)
        return true;
#endif
    return error == ENOSPC || error == EFBIG || error == EIO;
}

SaveProblem DiagnoseOpenFailure(const std::string &path)
{
    return PathProblem(path).value_or(SaveProblem::WriteFailed);
}

SaveProblem DiagnoseReplaceFailure(const std::string &path)
{
    const auto problem = PathProblem(path);
    return problem == SaveProblem::FileInUse ? *problem : SaveProblem::ReplaceFailed;
}

std::optional<SaveProblem> CopyInto(const std::string &path, int fd)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"),
                                                                &std::fclose);
    if (!file)
        return ProblemOf(errno);
    std::string chunk(1 << 20, '\0');
    for (;;) {
        const std::size_t read = std::fread(chunk.data(), 1, chunk.size(), file.get());
        if (read > 0)
            if (const auto problem = WriteAll(fd, std::string_view(chunk.data(), read)))
                return problem;
        if (read < chunk.size())
            return std::ferror(file.get()) ? std::optional(SaveProblem::WriteFailed) : std::nullopt;
    }
}
