#include "cli/CliSupport.h"

#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/CommandLine.h"
#include "text/CodePage.h"
#include "text/ScriptFileText.h"

namespace qy::cli {

void StreamLog::AppendLog(const std::string& ansiLine) {
    std::string line = ShellText(ansiLine);
    m_out << line;
    if (line.empty() || line.back() != '\n') m_out << '\n';
    m_out.flush();
}

int Usage(std::ostream& err, const std::string& message) {
    err << "qingyou-js: " << message << "\n" << "用法见 qingyou-js --help\n";
    return kExitUsage;
}

std::optional<std::string> ReadScript(const std::string& path, std::ostream& err) {
    std::string bytes;
    if (path == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) return std::nullopt;
    }
    text::DecodedFile file = text::DecodeScriptFile(bytes);
    if (file.cut)
        err << "qingyou-js: 文件“" << path << "”含零字节：只载入了前 " << file.keptBytes << " 字节，其后的 "
            << file.droppedBytes << " 字节未载入\n";
    return std::move(file.text);
}

std::string ShellText(const std::string& ansi) {
    std::string utf8 = text::AnsiToUtf8(ansi);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        out.push_back(utf8[i] == '\r' ? '\n' : utf8[i]);
    }
    return out;
}

}  // namespace qy::cli
