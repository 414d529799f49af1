/** @file BenchSupport.h
 * What the benchmark programs share: reading the real scripts they measure on.
 */
#pragma once

#include <fstream>
#include <sstream>
#include <string>

/// Whole file as bytes; empty when it cannot be read.
inline std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
