// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A disk a few KB large that fills up for sure, where temporary files go while it lives: a tmpfs
// in a mount namespace of the calling thread's own, which the threads it starts afterwards share
// and nothing else on the machine sees, named by TMPDIR (which libxlsxwriter reads).
#pragma once

#if __has_include(<sys/mount.h>)
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk
{
public:
    // Needs CAP_SYS_ADMIN (root); without it Folder() is empty and WhyNot() says why.
    explicit SmallDisk(std::size_t kilobytes)
    {
        char pattern[] = "/tmp/small_disk_XXXXXX";
        if (!::mkdtemp(pattern)) {
            Refuse("mkdtemp");
            return;
        }
        made_ = pattern;
        // The namespace outlives this object: the calling thread keeps a private copy of the
        // mounts, the same as the machine's once the tmpfs is gone.
        if (::unshare(CLONE_NEWNS) != 0) {
            Refuse("unshare(CLONE_NEWNS), which a mount of the test's own needs as root");
            return;
        }
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            Refuse("making the mounts private");
            return;
        }
        const std::string size = "size=" + std::to_string(kilobytes) + "k";
        if (::mount("tmpfs", made_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, size.c_str()) != 0) {
            Refuse("mount -t tmpfs");
            return;
        }
        folder_ = made_;
        const char *old = std::getenv("TMPDIR");
        oldTemporary_ = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("TMPDIR", folder_.c_str(), 1);
    }
    ~SmallDisk()
    {
        if (!folder_.empty())
            oldTemporary_ ? ::setenv("TMPDIR", oldTemporary_->c_str(), 1) : ::unsetenv("TMPDIR");
        if (!folder_.empty())
            ::umount2(folder_.c_str(), MNT_DETACH);
        if (!made_.empty())
            ::rmdir(made_.c_str());
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    const std::string &Folder() const { return folder_; }
    const std::string &WhyNot() const { return whyNot_; }

private:
    void Refuse(const std::string &what) { whyNot_ = what + ": " + std::strerror(errno); }

    std::string made_;
    std::string folder_;
    std::string whyNot_;
    std::optional<std::string> oldTemporary_;
};
#else
#include <cstdlib>
#include <optional>
#include <string>

// Windows: no mounts of a thread's own; the test script may lend small drives, one for each size
// it offers, named by SPETTRO_SMALL_DISK_<KB> (as "S:\"). While one lives, the temporary files
// go there (TMP, which the system's temporary folder follows). Without the drive the tests that
// need one skip.
class SmallDisk
{
public:
    explicit SmallDisk(std::size_t kilobytes)
    {
        const std::string name = "SPETTRO_SMALL_DISK_" + std::to_string(kilobytes);
        const char *drive = std::getenv(name.c_str());
        if (!drive || !*drive) {
            whyNot_ = name + " names no small drive of " + std::to_string(kilobytes) + " KB";
            return;
        }
        folder_ = drive;
        const char *old = std::getenv("TMP");
        oldTemporary_ = old ? std::optional<std::string>(old) : std::nullopt;
        _putenv_s("TMP", folder_.c_str());
    }
    ~SmallDisk()
    {
        if (!folder_.empty())
            _putenv_s("TMP", oldTemporary_ ? oldTemporary_->c_str() : "");
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    const std::string &Folder() const { return folder_; }
    const std::string &WhyNot() const { return whyNot_; }

private:
    std::string folder_;
    std::string whyNot_;
    std::optional<std::string> oldTemporary_;
};
#endif
