#include "serve/HttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <thread>
#include <unordered_map>

namespace qy::serve {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint64_t kListenId = 0;
constexpr uint64_t kWakeId = 1;
/// Marks the epoll entries of watched descriptors (connections count up from 2).
constexpr uint64_t kWatchedBit = uint64_t(1) << 63;
constexpr size_t kMaxHead = 64 * 1024;
constexpr size_t kMaxConnections = 4096;

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Trim(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return std::string(s.substr(a, b - a));
}

bool HasToken(const std::string& value, const char* token) {
    std::string v = Lower(value);
    size_t at = 0;
    while ((at = v.find(token, at)) != std::string::npos) {
        size_t end = at + std::strlen(token);
        bool left = at == 0 || v[at - 1] == ',' || v[at - 1] == ' ';
        bool right = end == v.size() || v[end] == ',' || v[end] == ' ';
        if (left && right) return true;
        at = end;
    }
    return false;
}

}  // namespace

const char* ReasonPhrase(int status) {
    switch (status) {
        case 100: return "Continue";
        case 200: return "OK";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 408: return "Request Timeout";
        case 411: return "Length Required";
        case 413: return "Payload Too Large";
        case 421: return "Misdirected Request";
        case 422: return "Unprocessable Entity";
        case 431: return "Request Header Fields Too Large";
        case 500: return "Internal Server Error";
        case 501: return "Not Implemented";
        case 503: return "Service Unavailable";
        case 505: return "HTTP Version Not Supported";
        default: return "Unknown";
    }
}

std::string HttpRequest::Header(const std::string& lowerName) const {
    for (const auto& h : headers)
        if (h.first == lowerName) return h.second;
    return {};
}

struct HttpServer::Impl {
    struct Conn {
        int fd = -1;
        std::string in;
        std::string out;
        size_t outPos = 0;
        bool waiting = false;       ///< a request is with the handler
        bool closeAfter = false;    ///< close once `out` is written
        bool keepAlive = true;      ///< of the request with the handler
        bool head = false;          ///< the request with the handler is a HEAD: no body goes back
        bool continueSent = false;  ///< "100 Continue" for the request being read
        bool writing = false;       ///< EPOLLOUT registered
        Clock::time_point lastActive;
    };
    struct Done {
        uint64_t conn;
        HttpResponse response;
    };

    int listenFd = -1;
    int spareFd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    int epollFd = -1;
    int wakeFd = -1;
    Options options;
    HttpHandler handler;
    std::function<std::string()> tooLarge;
    std::unordered_map<uint64_t, Conn> conns;
    uint64_t nextId = 2;
    std::mutex doneMutex;
    std::deque<Done> done;
    std::atomic<bool> stopping{false};
    bool listening = true;
    std::thread::id loopThread;
    /// Answers given on the loop's own thread: handled after the event at hand, with no
    /// wake-up of the loop by itself.
    bool localDone = false;
    std::vector<std::function<void()>> tasks;  ///< under doneMutex
    std::unordered_map<int, std::function<void()>> watched;
    std::function<void()> tick;
    int tickMs = 1000;

    ~Impl() {
        for (auto& [id, c] : conns) close(c.fd);
        if (listenFd >= 0) close(listenFd);
        if (epollFd >= 0) close(epollFd);
        if (spareFd >= 0) close(spareFd);
        if (wakeFd >= 0) close(wakeFd);
    }

    void Wake() {
        uint64_t one = 1;
        ssize_t w = write(wakeFd, &one, sizeof one);
        (void)w;
    }

    void Accept() {
        while (true) {
            int fd = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0 && (errno == EMFILE || errno == ENFILE) && spareFd >= 0) {
                // Out of descriptors: the waiting caller is taken with the one kept for
                // this and turned away, or the listening socket would stay ready for ever.
                close(spareFd);
                fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0) close(fd);
                spareFd = open("/dev/null", O_RDONLY | O_CLOEXEC);
                continue;
            }
            if (fd < 0) return;
            if (conns.size() >= kMaxConnections) {
                // Beyond this many at once a caller is turned away rather than the
                // service running out of descriptors for its workers.
                close(fd);
                continue;
            }
            int one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            uint64_t id = nextId++;
            Conn& c = conns[id];
            c.fd = fd;
            c.lastActive = Clock::now();
            epoll_event ev{};
            ev.events = EPOLLIN | EPOLLRDHUP;
            ev.data.u64 = id;
            epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &ev);
        }
    }

    void Close(uint64_t id) {
        auto it = conns.find(id);
        if (it == conns.end()) return;
        close(it->second.fd);  // also leaves the epoll set
        conns.erase(it);
    }

    /// Queues a response for `c` with the usual headers.
    void Queue(Conn& c, const HttpResponse& r, bool keepAlive, bool head = false) {
        if (!keepAlive || stopping) c.closeAfter = true;
        std::string& o = c.out;
        o += "HTTP/1.1 " + std::to_string(r.status) + " " + ReasonPhrase(r.status) + "\r\n";
        if (!r.contentType.empty()) o += "Content-Type: " + r.contentType + "\r\n";
        o += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
        for (const auto& h : r.headers) o += h.first + ": " + h.second + "\r\n";
        if (c.closeAfter) o += "Connection: close\r\n";
        o += "\r\n";
        if (!head) o += r.body;
    }

    /// Writes what it can; false when the connection was closed.
    bool Flush(uint64_t id, Conn& c) {
        while (c.outPos < c.out.size()) {
            ssize_t w = send(c.fd, c.out.data() + c.outPos, c.out.size() - c.outPos, MSG_NOSIGNAL);
            if (w < 0) {
                if (errno == EINTR) continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    if (!c.writing) {
                        epoll_event ev{};
                        ev.events = EPOLLIN | EPOLLOUT | EPOLLRDHUP;
                        ev.data.u64 = id;
                        epoll_ctl(epollFd, EPOLL_CTL_MOD, c.fd, &ev);
                        c.writing = true;
                    }
                    return true;
                }
                Close(id);
                return false;
            }
            c.outPos += static_cast<size_t>(w);
        }
        c.out.clear();
        c.outPos = 0;
        if (c.writing) {
            epoll_event ev{};
            ev.events = EPOLLIN | EPOLLRDHUP;
            ev.data.u64 = id;
            epoll_ctl(epollFd, EPOLL_CTL_MOD, c.fd, &ev);
            c.writing = false;
        }
        if (c.closeAfter && !c.waiting) {
            Close(id);
            return false;
        }
        return true;
    }

    void Fail(Conn& c, int status, const std::string& body) {
        HttpResponse r;
        r.status = status;
        r.body = body;
        Queue(c, r, false);
    }

    static std::string SimpleError(const char* description) {
        return std::string("{\"error\":{\"number\":0,\"description\":\"") + description +
               "\",\"line\":0,\"column\":0}}";
    }

    /// Takes the next whole request out of `c.in` and hands it on; false when none is
    /// complete yet (or the connection is being answered with an error).
    bool NextRequest(uint64_t id, Conn& c) {
        if (c.waiting || c.closeAfter) return false;
        size_t headEnd = c.in.find("\r\n\r\n");
        if (headEnd == std::string::npos) {
            if (c.in.size() > kMaxHead) Fail(c, 431, SimpleError("请求头太大"));
            return false;
        }
        if (headEnd > kMaxHead) {
            Fail(c, 431, SimpleError("请求头太大"));
            return false;
        }
        HttpRequest req;
        std::string_view head(c.in.data(), headEnd);
        size_t lineEnd = head.find("\r\n");
        std::string_view requestLine = head.substr(0, lineEnd);
        size_t sp1 = requestLine.find(' ');
        size_t sp2 = requestLine.rfind(' ');
        if (sp1 == std::string_view::npos || sp2 == sp1) {
            Fail(c, 400, SimpleError("请求行格式错误"));
            return false;
        }
        req.method = std::string(requestLine.substr(0, sp1));
        std::string target(requestLine.substr(sp1 + 1, sp2 - sp1 - 1));
        std::string_view version = requestLine.substr(sp2 + 1);
        if (version != "HTTP/1.1" && version != "HTTP/1.0") {
            Fail(c, 505, SimpleError("只支持 HTTP/1.1 和 HTTP/1.0"));
            return false;
        }
        size_t q = target.find('?');
        req.path = target.substr(0, q);
        if (q != std::string::npos) req.query = target.substr(q + 1);
        size_t at = lineEnd == std::string_view::npos ? head.size() : lineEnd + 2;
        while (at < head.size()) {
            size_t end = head.find("\r\n", at);
            if (end == std::string_view::npos) end = head.size();
            std::string_view line = head.substr(at, end - at);
            size_t colon = line.find(':');
            if (colon == std::string_view::npos || colon == 0) {
                Fail(c, 400, SimpleError("请求头格式错误"));
                return false;
            }
            req.headers.emplace_back(Lower(std::string(line.substr(0, colon))), Trim(line.substr(colon + 1)));
            at = end + 2;
        }
        std::string connection = req.Header("connection");
        bool keepAlive = version == "HTTP/1.1" ? !HasToken(connection, "close") : HasToken(connection, "keep-alive");
        if (!req.Header("transfer-encoding").empty()) {
            Fail(c, 411, SimpleError("请求体需要 Content-Length（不支持分块传输）"));
            return false;
        }
        size_t length = 0;
        std::string cl = req.Header("content-length");
        if (!cl.empty()) {
            char* end = nullptr;
            errno = 0;
            unsigned long long n = std::strtoull(cl.c_str(), &end, 10);
            if (errno || *end || cl[0] == '-') {
                Fail(c, 400, SimpleError("Content-Length 格式错误"));
                return false;
            }
            if (n > options.maxBody) {
                // Answered before the body is read; the connection then closes, since
                // the unread body would be taken for the next request.
                Fail(c, 413, tooLarge ? tooLarge() : SimpleError("请求体太大"));
                return false;
            }
            length = static_cast<size_t>(n);
        }
        if (c.in.size() < headEnd + 4 + length) {
            if (!c.continueSent && HasToken(req.Header("expect"), "100-continue")) {
                c.out += "HTTP/1.1 100 Continue\r\n\r\n";
                c.continueSent = true;
            }
            return false;
        }
        req.body = c.in.substr(headEnd + 4, length);
        c.in.erase(0, headEnd + 4 + length);
        c.continueSent = false;
        c.waiting = true;
        c.keepAlive = keepAlive;
        c.head = req.method == "HEAD";
        handler(req, [this, id](HttpResponse r) {
            bool local = std::this_thread::get_id() == loopThread;
            {
                std::lock_guard lock(doneMutex);
                done.push_back({id, std::move(r)});
            }
            if (local) localDone = true;
            else Wake();
        });
        return true;
    }

    void Readable(uint64_t id) {
        auto it = conns.find(id);
        if (it == conns.end()) return;
        Conn& c = it->second;
        char buf[16384];
        bool closed = false;
        while (true) {
            ssize_t n = recv(c.fd, buf, sizeof buf, 0);
            if (n > 0) {
                c.in.append(buf, static_cast<size_t>(n));
                if (c.in.size() > kMaxHead + options.maxBody + 8192 && !c.waiting) break;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
            closed = true;
            break;
        }
        c.lastActive = Clock::now();
        if (closed && !c.waiting) {
            Close(id);
            return;
        }
        // A peer that closed its side while its request runs still gets the answer
        // written if it can; then the connection goes.
        if (closed) c.closeAfter = true;
        Process(id, c);
    }

    void Process(uint64_t id, Conn& c) {
        while (NextRequest(id, c)) {
        }
        if (!c.out.empty()) Flush(id, c);
    }

    void Completions(bool woken = false) {
        if (woken) {
            uint64_t count;
            ssize_t r = read(wakeFd, &count, sizeof count);
            (void)r;
        }
        localDone = false;
        std::deque<Done> ready;
        std::vector<std::function<void()>> posted;
        {
            std::lock_guard lock(doneMutex);
            ready.swap(done);
            posted.swap(tasks);
        }
        for (auto& t : posted) t();
        // Tasks may have answered requests.
        if (localDone) {
            localDone = false;
            std::lock_guard lock(doneMutex);
            for (auto& d : done) ready.push_back(std::move(d));
            done.clear();
        }
        for (auto& d : ready) {
            auto it = conns.find(d.conn);
            if (it == conns.end()) continue;
            Conn& c = it->second;
            c.waiting = false;
            c.lastActive = Clock::now();
            Queue(c, d.response, c.keepAlive, c.head);
            if (!Flush(d.conn, c)) continue;
            Process(d.conn, c);
        }
    }

    void Sweep() {
        auto now = Clock::now();
        std::vector<uint64_t> idle;
        for (auto& [id, c] : conns) {
            bool quiet = !c.waiting && c.out.empty();
            if (quiet && (stopping || now - c.lastActive > std::chrono::milliseconds(options.idleTimeoutMs)))
                idle.push_back(id);
            else if (stopping && c.waiting)
                c.closeAfter = true;
        }
        for (uint64_t id : idle) Close(id);
    }
};

HttpServer::HttpServer() : m_impl(std::make_unique<Impl>()) {}
HttpServer::~HttpServer() = default;

bool HttpServer::Listen(const Options& options, std::string& error) {
    Impl& s = *m_impl;
    s.options = options;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    std::string port = std::to_string(options.port);
    int rc = getaddrinfo(options.bind.c_str(), port.c_str(), &hints, &found);
    if (rc != 0) {
        error = "无法解析地址“" + options.bind + "”：" + gai_strerror(rc);
        return false;
    }
    int lastErrno = 0;
    for (addrinfo* a = found; a; a = a->ai_next) {
        int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) continue;
        int one = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, 1024) == 0) {
            sockaddr_storage addr{};
            socklen_t len = sizeof addr;
            getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
            m_port = ntohs(addr.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port
                                                      : reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
            s.listenFd = fd;
            break;
        }
        lastErrno = errno;
        close(fd);
    }
    freeaddrinfo(found);
    if (s.listenFd < 0) {
        error = "无法在 " + options.bind + ":" + port + " 上监听：" + std::strerror(lastErrno);
        return false;
    }
    s.epollFd = epoll_create1(EPOLL_CLOEXEC);
    s.wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kListenId;
    epoll_ctl(s.epollFd, EPOLL_CTL_ADD, s.listenFd, &ev);
    ev.data.u64 = kWakeId;
    epoll_ctl(s.epollFd, EPOLL_CTL_ADD, s.wakeFd, &ev);
    return true;
}

void HttpServer::Post(std::function<void()> task) {
    {
        std::lock_guard lock(m_impl->doneMutex);
        m_impl->tasks.push_back(std::move(task));
    }
    m_impl->Wake();
}

void HttpServer::Watch(int fd, std::function<void()> onEvent) {
    Impl& s = *m_impl;
    s.watched[fd] = std::move(onEvent);
    epoll_event ev{};
    ev.events = EPOLLIN | EPOLLRDHUP;
    ev.data.u64 = kWatchedBit | static_cast<uint32_t>(fd);
    epoll_ctl(s.epollFd, EPOLL_CTL_ADD, fd, &ev);
}

void HttpServer::Unwatch(int fd) {
    Impl& s = *m_impl;
    if (s.watched.erase(fd)) epoll_ctl(s.epollFd, EPOLL_CTL_DEL, fd, nullptr);
}

void HttpServer::SetTick(int ms, std::function<void()> tick) {
    m_impl->tickMs = ms;
    m_impl->tick = std::move(tick);
}

void HttpServer::Run(HttpHandler handler, std::function<std::string()> tooLarge) {
    Impl& s = *m_impl;
    s.loopThread = std::this_thread::get_id();
    s.handler = std::move(handler);
    s.tooLarge = std::move(tooLarge);
    epoll_event events[64];
    auto lastSweep = Clock::now();
    auto lastTick = Clock::now();
    s.Completions();  // what was posted before the loop began
    while (true) {
        if (s.stopping && s.listening) {
            epoll_ctl(s.epollFd, EPOLL_CTL_DEL, s.listenFd, nullptr);
            close(s.listenFd);
            s.listenFd = -1;
            s.listening = false;
            s.Sweep();
        }
        if (s.stopping && s.conns.empty()) {
            // Answers that arrive now have no connection left to go to.
            std::lock_guard lock(s.doneMutex);
            if (s.done.empty()) break;
        }
        int wait = s.stopping ? 100 : 1000;
        if (s.tick) wait = std::min(wait, s.tickMs);
        int n = epoll_wait(s.epollFd, events, 64, wait);
        for (int i = 0; i < n; ++i) {
            uint64_t id = events[i].data.u64;
            if (id & kWatchedBit) {
                auto it = s.watched.find(static_cast<int>(id & 0xFFFFFFFFu));
                if (it != s.watched.end()) {
                    auto onEvent = it->second;  // it may unwatch itself
                    onEvent();
                }
            } else if (id == kListenId) {
                s.Accept();
            } else if (id == kWakeId) {
                s.Completions(true);
            } else {
                auto it = s.conns.find(id);
                if (it == s.conns.end()) continue;
                if (events[i].events & EPOLLOUT) {
                    if (!s.Flush(id, it->second)) continue;
                }
                if (events[i].events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) s.Readable(id);
            }
            if (s.localDone) s.Completions();
        }
        if (s.tick && Clock::now() - lastTick >= std::chrono::milliseconds(s.tickMs)) {
            lastTick = Clock::now();
            s.tick();
            if (s.localDone) s.Completions();
        }
        if (s.stopping || Clock::now() - lastSweep > std::chrono::seconds(1)) {
            lastSweep = Clock::now();
            s.Sweep();
        }
    }
}

void HttpServer::Stop() {
    m_impl->stopping = true;
    m_impl->Wake();
}

}  // namespace qy::serve
