#include "serve/Protocol.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace qy::serve::protocol {
namespace {

using Clock = std::chrono::steady_clock;

bool WriteAll(int fd, const char* p, size_t n) {
    while (n) {
        ssize_t w = send(fd, p, n, MSG_NOSIGNAL);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

/// Reads exactly `n` bytes before `deadline` (none: no limit).
ReadResult ReadAll(int fd, char* p, size_t n, const Clock::time_point* deadline) {
    while (n) {
        if (deadline) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            if (left <= 0) return ReadResult::TimedOut;
            pollfd pfd{fd, POLLIN, 0};
            int r = poll(&pfd, 1, static_cast<int>(left));
            if (r < 0 && errno == EINTR) continue;
            if (r == 0) return ReadResult::TimedOut;
            if (r < 0) return ReadResult::Closed;
        }
        ssize_t got = read(fd, p, n);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return ReadResult::Closed;
        p += got;
        n -= static_cast<size_t>(got);
    }
    return ReadResult::Ok;
}

}  // namespace

bool WriteFrame(int fd, std::string_view head, std::string_view body) {
    uint64_t total = head.size() + body.size();
    if (total > kMaxFrame) return false;
    uint32_t n = static_cast<uint32_t>(total);
    char len[4] = {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
    // Small frames go out in one write: one wake-up for the reader instead of three.
    if (total < 64 * 1024) {
        std::string frame;
        frame.reserve(4 + total);
        frame.append(len, 4).append(head).append(body);
        return WriteAll(fd, frame.data(), frame.size());
    }
    return WriteAll(fd, len, 4) && WriteAll(fd, head.data(), head.size()) && WriteAll(fd, body.data(), body.size());
}

ReadResult ReadFrame(int fd, std::string& out, int timeoutMs) {
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    const Clock::time_point* limit = timeoutMs < 0 ? nullptr : &deadline;
    unsigned char len[4];
    ReadResult r = ReadAll(fd, reinterpret_cast<char*>(len), 4, limit);
    if (r != ReadResult::Ok) return r;
    size_t n = (size_t(len[0]) << 24) | (size_t(len[1]) << 16) | (size_t(len[2]) << 8) | len[3];
    if (n > kMaxFrame) return ReadResult::Closed;
    out.resize(n);
    return ReadAll(fd, out.data(), n, limit);
}

}  // namespace qy::serve::protocol
