#include "common/TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace qy::test {

std::string SourceDir() {
    const char* dir = std::getenv("QY_SOURCE_DIR");
#ifdef QY_SOURCE_DIR_DEFAULT
    return dir ? dir : QY_SOURCE_DIR_DEFAULT;
#else
    return dir ? dir : ".";
#endif
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        if (!out.empty()) out.push_back(' ');
        out += buf;
    }
    return out;
}

}  // namespace qy::test
