// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Saving on Windows: the Win32 calls on the descriptor's handle and their GetLastError, in UTF-16
// paths.
#include "core/platform/file_saving.h"

#include <windows.h>

#include <io.h>

#include <algorithm>
#include <climits>

namespace {

// The longest name of one file or folder, and of a whole path, in UTF-16 units.
constexpr std::size_t LongestName = 255;
constexpr std::size_t LongestPath = 32767;

std::wstring Wide(const std::string &utf8)
{
    if (utf8.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(std::size_t(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring &wide)
{
    if (wide.empty())
        return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(std::size_t(std::max(length, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The folder part of `path`: everything before its last separator ("." when it has none).
std::wstring FolderOf(const std::wstring &path)
{
    const std::size_t last = path.find_last_of(L"\\/");
    if (last == std::wstring::npos)
        return L".";
    if (last == 0 || (last == 2 && path[1] == L':'))
        return path.substr(0, last + 1); // a drive's or the root's own folder
    return path.substr(0, last);
}

} // namespace

SaveProblem ProblemOfSystemError(unsigned long error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        return SaveProblem::FolderMissing;
    case ERROR_DIRECTORY:
        return SaveProblem::NotAFolder;
    case ERROR_ACCESS_DENIED:
        return SaveProblem::NoPermission;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return SaveProblem::FileInUse;
    case ERROR_FILENAME_EXCED_RANGE:
        return SaveProblem::PathTooLong;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return SaveProblem::NameNotAllowed;
    case ERROR_WRITE_PROTECT:
        return SaveProblem::ReadOnlyDisk;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return SaveProblem::DiskFull;
    case ERROR_FILE_TOO_LARGE:
        return SaveProblem::FileTooLarge;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return SaveProblem::NotEnoughMemory;
    default:
        return SaveProblem::WriteFailed;
    }
}

namespace {

// A folder that could not be looked at: missing, or a plain file where one of its parents should
// be, told by climbing to the nearest part of the path that exists.
SaveProblem MissingFolderProblem(std::wstring folder)
{
    for (;;) {
        const std::wstring parent = FolderOf(folder);
        if (parent == folder || parent == L".")
            return SaveProblem::FolderMissing;
        folder = parent;
        const DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            return attributes & FILE_ATTRIBUTE_DIRECTORY ? SaveProblem::FolderMissing
                                                         : SaveProblem::NotAFolder;
    }
}

// Whether a new file can be made in `folder`: a file made there and gone as it closes.
std::optional<SaveProblem> FolderWriteProblem(const std::wstring &folder)
{
    std::wstring probe = folder;
    if (!IsSeparator(probe.back()))
        probe += L'\\';
    probe += L"spettro-segnale-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    const HANDLE handle
        = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS ? std::nullopt
                                          : std::optional(ProblemOfSystemError(error));
    }
    CloseHandle(handle);
    return std::nullopt;
}

// Whether the file there may be replaced: opened as the replace will need it (to write, and to
// go), sharing everything, and closed at once.
std::optional<SaveProblem> ReplaceProblem(const std::wstring &file, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return SaveProblem::FileProtected;
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE | DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED ? SaveProblem::FileProtected
                                            : ProblemOfSystemError(error);
    }
    CloseHandle(handle);
    return std::nullopt;
}

} // namespace

bool NameTooLong(const std::string &name)
{
    return Wide(name).size() > LongestName;
}

std::optional<SaveProblem> PathProblem(const std::string &path)
{
    const std::wstring file = Wide(path);
    // By name first: the system would say "too long" or "not allowed" for any part alike.
    if (file.size() >= LongestPath)
        return SaveProblem::PathTooLong;
    const std::size_t nameStart = file.find_last_of(L"\\/") + 1; // 0 without a separator
    const std::wstring name = file.substr(nameStart);
    if (name.size() > LongestName)
        return SaveProblem::NameTooLong;
    for (std::size_t start = 0, end;
         (end = file.find_first_of(L"\\/", start)) != std::wstring::npos; start = end + 1)
        if (end - start > LongestName)
            return SaveProblem::FolderNameTooLong;
    if (name.empty() || name.find_first_of(L"<>:\"|?*") != std::wstring::npos)
        return SaveProblem::NameNotAllowed;

    const std::wstring folder = FolderOf(file);
    const DWORD folderAttributes = GetFileAttributesW(folder.c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
            ? MissingFolderProblem(folder)
            : ProblemOfSystemError(error);
    }
    if (!(folderAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return SaveProblem::NotAFolder;
    // The new file is written beside the old one and then takes its place.
    if (const auto problem = FolderWriteProblem(folder))
        return problem;
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? std::nullopt
                                             : std::optional(ProblemOfSystemError(error));
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return SaveProblem::IsAFolder;
    return ReplaceProblem(file, attributes);
}

std::optional<SaveProblem> WriteAll(int fd, std::string_view data)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE)
        return SaveProblem::WriteFailed;
    while (!data.empty()) {
        const DWORD chunk = DWORD(std::min<std::size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(handle, data.data(), chunk, &written, nullptr))
            return ProblemOfSystemError(GetLastError());
        if (written == 0)
            return SaveProblem::WriteFailed;
        data.remove_prefix(written);
    }
    return std::nullopt;
}

std::optional<SaveProblem> SyncToDisk(int fd)
{
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE)
        return SaveProblem::WriteFailed;
    if (FlushFileBuffers(handle))
        return std::nullopt;
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED) // nothing to sync
        return std::nullopt;
    return ProblemOfSystemError(error);
}

std::optional<std::string> NameOfOpenFile(int)
{
    // A file is reached only by its path here, and the open one may be shared with no one.
    return std::nullopt;
}

std::optional<std::string> TemporaryFolderForLibraries()
{
    // The C library's tmpfile() makes its files in the root of the drive, where a user without
    // administrator rights may not write: the user's temporary folder instead (TMP, TEMP).
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return std::nullopt;
    return Narrow(std::wstring(folder, length));
}
