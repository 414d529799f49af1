#include "codecache/CodeCache.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <js/BuildId.h>
#include <js/Transcoding.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qy::codecache {
namespace {

constexpr char kMagic[8] = {'Q', 'Y', 'S', 'T', 'E', 'N', 'C', '1'};
constexpr size_t kHeader = sizeof kMagic + 2 * sizeof(uint64_t);
// Entries nobody has read for this long go when the next one is written.
constexpr auto kUnusedFor = std::chrono::hours(24 * 30);

std::mutex g_mutex;
std::optional<std::string> g_directory;
std::atomic<int> g_read{0}, g_compiled{0}, g_written{0}, g_refused{0}, g_serial{0};

/// What the engine writes into every entry and checks when reading one: this engine's
/// version and the library file it was loaded from (size and time), so that an entry an
/// updated engine cannot read is refused rather than misread.
const std::string& EngineIdentity() {
    static const std::string identity = [] {
        std::string id = std::string("qy-code-1 ") + JS_GetImplementationVersion();
        Dl_info info{};
        if (dladdr(reinterpret_cast<void*>(&JS_GetImplementationVersion), &info) && info.dli_fname) {
            struct stat st{};
            if (stat(info.dli_fname, &st) == 0)
                id += " " + std::string(info.dli_fname) + " " + std::to_string(st.st_size) + " " +
                      std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
        }
        return id;
    }();
    return identity;
}

bool BuildId(JS::BuildIdCharVector* out) {
    const std::string& id = EngineIdentity();
    return out->append(id.data(), id.size());
}

void UseBuildId() {
    static std::once_flag once;
    std::call_once(once, [] { JS::SetProcessBuildIdOp(BuildId); });
}

std::string Hex(uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

void PutNumber(std::string& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
uint64_t NumberAt(const std::string& in, size_t at) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}

/// Whether `dir` may hold entries: compiled code is run as it is read, so only from a
/// folder of the user's own that nobody else can write to (a missing one is made so).
bool OwnFolder(const std::string& dir) {
    struct stat st{};
    if (stat(dir.c_str(), &st) != 0) {
        std::error_code ec;
        std::filesystem::path p(dir);
        if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (stat(dir.c_str(), &st) != 0) return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

/// The entry's payload (after its header in the bytes read), nothing when there is no
/// entry, empty when it is not whole and undamaged or not the user's own.
std::optional<std::string> ReadEntry(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return errno == ENOENT ? std::nullopt : std::optional<std::string>(std::string());
    struct stat st{};
    std::string bytes;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && st.st_size > 0 &&
        st.st_size < (1 << 30)) {
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < bytes.size()) {
            ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    close(fd);
    if (bytes.size() < kHeader || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return std::string();
    uint64_t length = NumberAt(bytes, sizeof kMagic), sum = NumberAt(bytes, sizeof kMagic + 8);
    if (length != bytes.size() - kHeader) return std::string();
    if (Hash(std::string_view(bytes).substr(kHeader)) != sum) return std::string();
    bytes.erase(0, kHeader);
    return bytes;
}

/// Written whole or not at all: into a file of its own first, then renamed over the entry.
void WriteEntry(const std::string& dir, const std::string& path, std::string_view payload) {
    std::error_code ec;
    std::string bytes = EntryBytes(payload);
    std::string tmp = path + ".tmp." + std::to_string(getpid()) + "." +
                      std::to_string(std::hash<std::thread::id>{}(std::this_thread::get_id())) + "." +
                      std::to_string(g_serial++);
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            out.close();
            std::filesystem::remove(tmp, ec);
            return;
        }
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return;
    }
    ++g_written;
    // Entries of earlier builds nobody reads any more.
    auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        if (e.path().extension() != ".stencil" || e.path() == path) continue;
        std::error_code te;
        auto when = std::filesystem::last_write_time(e.path(), te);
        if (!te && now - when > kUnusedFor) std::filesystem::remove(e.path(), te);
    }
}

/// A read entry is marked as used (its time moved on), at most once a day.
void MarkUsed(const std::string& path) {
    std::error_code ec;
    auto now = std::filesystem::file_time_type::clock::now();
    auto when = std::filesystem::last_write_time(path, ec);
    if (!ec && now - when > std::chrono::hours(24)) std::filesystem::last_write_time(path, now, ec);
}

}  // namespace

uint64_t Hash(std::string_view bytes, uint64_t seed) {
    // Eight bytes a step (megabytes are hashed at every start), then the rest one by one.
    uint64_t h = seed;
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    }
    for (; i < bytes.size(); ++i) {
        h ^= static_cast<unsigned char>(bytes[i]);
        h *= 0x100000001b3ull;
    }
    return h;
}

std::string Directory() {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_directory) return *g_directory;
    }
    if (const char* own = std::getenv("QY_CODE_CACHE")) {
        std::string dir = own;
        return dir == "off" ? std::string() : dir;
    }
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') return std::string(xdg) + "/qingyou-js/code";
    if (const char* home = std::getenv("HOME"); home && *home == '/') return std::string(home) + "/.cache/qingyou-js/code";
    return std::string();
}

void SetDirectory(std::optional<std::string> dir) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_directory = std::move(dir);
}

RefPtr<JS::Stencil> GlobalStencil(JSContext* cx, const JS::ReadOnlyCompileOptions& opts, bool fullParse,
                                  uint64_t textHash, const std::function<RefPtr<JS::Stencil>()>& compile) {
    std::string dir = Directory();
    if (dir.empty() || !OwnFolder(dir)) {
        ++g_compiled;
        return compile();
    }
    UseBuildId();
    std::string tag = EngineIdentity() + "\n" + (opts.filename() ? opts.filename() : "") + "\n" +
                      std::to_string(opts.lineno) + "\n" + (fullParse ? "full" : "lazy") + "\n" + Hex(textHash);
    std::string path = dir + "/" + Hex(Hash(tag)) + ".stencil";
    if (std::optional<std::string> payload = ReadEntry(path)) {
        if (!payload->empty()) {
            JS::DecodeOptions decode(opts);
            JS::TranscodeRange range(reinterpret_cast<const uint8_t*>(payload->data()), payload->size());
            JS::Stencil* raw = nullptr;
            JS::TranscodeResult result = JS::DecodeStencil(cx, decode, range, &raw);
            if (result == JS::TranscodeResult::Ok && raw) {
                ++g_read;
                MarkUsed(path);
                return RefPtr<JS::Stencil>(already_AddRefed<JS::Stencil>(raw));
            }
            if (JS_IsExceptionPending(cx)) JS_ClearPendingException(cx);
        }
        ++g_refused;
    }
    ++g_compiled;
    RefPtr<JS::Stencil> stencil = compile();
    if (!stencil) return stencil;
    JS::TranscodeBuffer buffer;
    if (JS::EncodeStencil(cx, stencil.get(), buffer) == JS::TranscodeResult::Ok)
        WriteEntry(dir, path, std::string_view(reinterpret_cast<const char*>(buffer.begin()), buffer.length()));
    else if (JS_IsExceptionPending(cx)) JS_ClearPendingException(cx);
    return stencil;
}

std::string EntryBytes(std::string_view payload) {
    std::string bytes(kMagic, sizeof kMagic);
    PutNumber(bytes, payload.size());
    PutNumber(bytes, Hash(payload));
    bytes += payload;
    return bytes;
}

namespace {
std::string SelfHostedPath(const std::string& dir) { return dir + "/" + Hex(Hash(EngineIdentity())) + ".selfhosted.stencil"; }
}  // namespace

mozilla::Span<const uint8_t> SelfHostedCode() {
    // The engine checks the build it reads against this one's (and cannot write without).
    UseBuildId();
    std::string dir = Directory();
    if (dir.empty() || !OwnFolder(dir)) return {};
    // Read once, kept to the end: the engine runs from these bytes without copying them.
    static const std::string* kept = nullptr;
    if (!kept) {
        std::optional<std::string> payload = ReadEntry(SelfHostedPath(dir));
        if (payload && payload->empty()) ++g_refused;
        kept = new std::string(payload ? *payload : std::string());
        if (!kept->empty()) {
            ++g_read;
            MarkUsed(SelfHostedPath(dir));
        }
    }
    return mozilla::Span<const uint8_t>(reinterpret_cast<const uint8_t*>(kept->data()), kept->size());
}

bool KeepSelfHostedCode(JSContext*, mozilla::Span<const uint8_t> compiled) {
    std::string dir = Directory();
    if (!dir.empty() && OwnFolder(dir))
        WriteEntry(dir, SelfHostedPath(dir), std::string_view(reinterpret_cast<const char*>(compiled.data()), compiled.size()));
    return true;
}

Counts TakeCounts() {
    Counts c;
    c.read = g_read.exchange(0);
    c.compiled = g_compiled.exchange(0);
    c.written = g_written.exchange(0);
    c.refused = g_refused.exchange(0);
    return c;
}

}  // namespace qy::codecache
