/** @file TestSupport.h
 * Helpers shared by the test programs.
 */
#pragma once

#include <string>

namespace qy::test {

/// The project's source folder (tests read fixtures from it).
std::string SourceDir();

/// Whole contents of a file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

/// Builds a byte string from a list of byte values, for exact byte comparisons.
std::string Bytes(std::initializer_list<int> values);

/// Hex dump of bytes ("E4 B8 AD"), for readable assertion messages.
std::string Hex(const std::string& bytes);

}  // namespace qy::test
