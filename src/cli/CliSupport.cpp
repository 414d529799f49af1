#include "cli/CliSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iostream>

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

size_t MaxFileBytes() {
    constexpr size_t kDefaultMiB = 256;
    size_t mib = kDefaultMiB;
    if (const char* v = std::getenv(kMaxFileVariable)) {
        char* end = nullptr;
        unsigned long long n = std::strtoull(v, &end, 10);
        if (end != v && *end == '\0' && n > 0 && n < (size_t(1) << 20)) mib = static_cast<size_t>(n);
    }
    return mib * 1024 * 1024;
}

namespace {

std::string MiBText(size_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MiB"; }

/// Reads what `fd` gives, at most `limit` bytes; false past the limit or on a read
/// error. A regular file's size is judged before this, so only devices and pipes that
/// never end reach the limit here.
bool ReadBounded(int fd, size_t limit, std::string& bytes, bool& tooLarge) {
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (bytes.size() + static_cast<size_t>(n) > limit) {
            tooLarge = true;
            return false;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

std::optional<std::string> ReadScript(const std::string& path, std::ostream& err) {
    const size_t limit = MaxFileBytes();
    auto refuse = [&](const std::string& message) -> std::optional<std::string> {
        Usage(err, message);
        return std::nullopt;
    };
    auto tooLarge = [&] {
        return refuse("文件“" + path + "”超过 " + MiBText(limit) + "，未读取（上限可用环境变量 " + kMaxFileVariable +
                      " 以 MiB 为单位调整）");
    };
    std::string bytes;
    bool overLimit = false;
    if (path == "-") {
        if (!ReadBounded(STDIN_FILENO, limit, bytes, overLimit))
            return overLimit ? tooLarge() : refuse("无法读取标准输入");
    } else {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return refuse("无法读取文件“" + path + "”");
        struct stat st {};
        bool ok = fstat(fd, &st) == 0;
        if (ok && S_ISDIR(st.st_mode)) {
            close(fd);
            return refuse("“" + path + "”不是文件，是文件夹");
        }
        // A regular file is judged by its size before anything is read (a sparse file
        // of gigabytes takes no time to refuse); what has no size (a device, a pipe) is
        // read up to the limit.
        if (ok && S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > limit) {
            close(fd);
            return tooLarge();
        }
        if (ok) {
            if (S_ISREG(st.st_mode)) bytes.reserve(static_cast<size_t>(st.st_size));
            ok = ReadBounded(fd, limit, bytes, overLimit);
        }
        close(fd);
        if (!ok) return overLimit ? tooLarge() : refuse("无法读取文件“" + path + "”");
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
