// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A new, empty folder of the test's own under the system's temporary folder.
#pragma once

#include <filesystem>
#include <random>
#include <string>

// Its path, with '/' between the parts; empty when none could be made.
inline std::string NewTemporaryFolder(const std::string &prefix)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error)
        return {};
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = base / (prefix + "_" + std::to_string(random() % 1000000000));
        if (fs::create_directory(folder, error))
            return folder.generic_string();
    }
    return {};
}
