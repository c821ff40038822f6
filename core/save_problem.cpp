#include "save_problem.h"

#include <cerrno>
#include <climits>
#include <filesystem>
#include <system_error>
#include <unistd.h>

SaveProblem DiagnoseOpenFailure(const std::string &path)
{
    return PathProblem(path).value_or(SaveProblem::WriteFailed);
}

std::optional<SaveProblem> PathProblem(const std::string &path)
{
    namespace fs = std::filesystem;
    const fs::path file(path);
    if (path.size() >= PATH_MAX || file.filename().string().size() > NAME_MAX)
        return SaveProblem::NameTooLong;
    // Climb to the nearest part of the folder that exists: a plain file there means the path
    // runs through a file; a missing folder means it was never made.
    std::error_code error;
    fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    if (!fs::exists(folder, error)) {
        for (fs::path part = folder; !part.empty() && part != part.root_path();
             part = part.parent_path())
            if (fs::exists(part, error))
                return fs::is_directory(part, error) ? SaveProblem::FolderMissing
                                                     : SaveProblem::NotAFolder;
        return SaveProblem::FolderMissing;
    }
    if (!fs::is_directory(folder, error))
        return SaveProblem::NotAFolder;
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return SaveProblem::NoPermission;
    return std::nullopt;
}

SaveProblem DiagnoseWriteFailure(int error)
{
    switch (error) {
    case ENAMETOOLONG:
        return SaveProblem::NameTooLong;
    case ENOSPC:
    case EDQUOT:
        return SaveProblem::DiskFull;
    case EFBIG:
        return SaveProblem::FileTooLarge;
    case EACCES:
    case EPERM:
    case EROFS:
        return SaveProblem::NoPermission;
    default:
        return SaveProblem::WriteFailed;
    }
}
