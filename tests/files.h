// Whole files read and written in one call, for the tests' fixtures.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace testfiles {

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Writes `bytes` to `path` and returns the path.
inline std::string WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

}  // namespace testfiles
