// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Why a file could not be saved, as a typed reason: the system's error becomes one of these right
// after the call that failed (core/platform/file_saving.h); the words are in the message table.
#pragma once

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
    FileInUse, // another program holds the file open and keeps it from being replaced
    NameNotAllowed, // characters or a name the system reserves
    Count // not a problem: how many there are
};
