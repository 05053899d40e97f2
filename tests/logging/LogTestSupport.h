#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/Programs.h"
#include "support/TempDir.h"

// A fresh folder, removed again at the end of the test; its path as a filesystem path.
class CTempFolder : public hvtest::CTempDir
{
public:
    [[nodiscard]] std::filesystem::path Path() const { return hvtest::CTempDir::Path(); }
};

inline std::vector<std::string> ReadLines(const std::filesystem::path& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline std::string ReadAll(const std::filesystem::path& path)
{
    return hvtest::ReadText(path.string());
}
