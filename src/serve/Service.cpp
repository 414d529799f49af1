#include "serve/Service.h"

#include <arpa/inet.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "script/ScriptTarget.h"
#include "serve/Json.h"
#include "serve/Protocol.h"

namespace qy::serve {
namespace {

using Clock = std::chrono::steady_clock;

HttpResponse JsonResponse(int status, std::string body) {
    HttpResponse r;
    r.status = status;
    r.body = std::move(body);
    return r;
}

/// Equal texts, compared in a time that does not depend on where they differ.
bool SameSecret(const std::string& a, const std::string& b) {
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ (i < b.size() ? b[i] : 0));
    return diff == 0;
}

/// The host of an Origin header ("http://127.0.0.1:8930" → "127.0.0.1").
std::string OriginHost(const std::string& origin) {
    size_t start = origin.find("://");
    std::string rest = start == std::string::npos ? origin : origin.substr(start + 3);
    if (!rest.empty() && rest[0] == '[') return rest.substr(1, rest.find(']') == std::string::npos ? 0 : rest.find(']') - 1);
    return rest.substr(0, rest.find_first_of(":/"));
}

/// Shell text in single quotes.
std::string ShellQuoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct FileStamp {
    bool exists = false;
    timespec mtime{};
    off_t size = 0;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec && size == o.size;
    }
};

FileStamp Stamp(const std::string& path) {
    struct stat st {};
    FileStamp s;
    if (stat(path.c_str(), &st) == 0) {
        s.exists = true;
        s.mtime = st.st_mtim;
        s.size = st.st_size;
    }
    return s;
}

}  // namespace

bool IsLoopbackAddress(const std::string& address) {
    if (address == "localhost" || address == "::1" || address == "[::1]") return true;
    in_addr a4{};
    if (inet_pton(AF_INET, address.c_str(), &a4) == 1) return (ntohl(a4.s_addr) >> 24) == 127;
    return false;
}

Service::Service(ServiceOptions options) : m_options(std::move(options)) {
    int n = m_options.workers;
    if (n <= 0) n = static_cast<int>(std::thread::hardware_concurrency());
    m_pool = std::make_unique<WorkerPool>(m_options.worker, n < 1 ? 1 : n, m_http);
}

Service::~Service() {
    Stop();
    Join();
}

std::string Service::Address() const {
    std::string host = m_options.bind;
    if (host == "0.0.0.0" || host == "::" || host.empty()) host = "127.0.0.1";
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return "http://" + host + ":" + std::to_string(Port());
}

bool Service::Start(std::string& error) {
    if (!IsLoopbackAddress(m_options.bind) && m_options.token.empty()) {
        error = "监听非本机地址（" + m_options.bind + "）时必须用 --token 设置令牌";
        return false;
    }
    std::vector<Script> scripts;
    if (!m_options.readScripts || !m_options.readScripts(scripts, error)) {
        if (error.empty()) error = "没有要加载的脚本";
        return false;
    }
    HttpServer::Options http;
    http.bind = m_options.bind;
    http.port = m_options.port;
    http.maxBody = m_options.maxBody;
    if (!m_http.Listen(http, error)) return false;
    Reply r = m_pool->Start(scripts);
    if (r.status != 200) {
        error = r.body;
        m_pool->Stop();
        return false;
    }
    m_started = Clock::now();
    if (!m_options.watchFiles.empty()) m_watcher = std::thread([this] { Watch(); });
    return true;
}

void Service::Run() {
    auto tooLarge = [max = m_options.maxBody] {
        return ErrorJson(0, "请求体超过 " + std::to_string(max) + " 字节的上限（--max-body）");
    };
    m_http.Run([this](HttpRequest& req, Respond respond) { Handle(req, std::move(respond)); }, tooLarge);
    // No connection is left: the queue is empty and the workers can end.
    m_pool->Stop();
    std::lock_guard lock(m_threadsMutex);
    for (auto& t : m_threads)
        if (t.joinable()) t.join();
    m_threads.clear();
}

void Service::RunInBackground() { m_runner = std::thread([this] { Run(); }); }

void Service::Stop() {
    m_stopping = true;
    m_http.Stop();
}

void Service::Join() {
    if (m_runner.joinable()) m_runner.join();
    if (m_watcher.joinable()) m_watcher.join();
}

void Service::Log(const std::string& line) {
    if (onLog) onLog(line);
}

bool Service::Authorised(const HttpRequest& req, HttpResponse& refusal) const {
    if (!m_options.token.empty()) {
        std::string auth = req.Header("authorization");
        const std::string scheme = "Bearer ";
        bool ok = auth.size() > scheme.size() && auth.compare(0, scheme.size(), scheme) == 0 &&
                  SameSecret(auth.substr(scheme.size()), m_options.token);
        if (ok) return true;
        refusal = JsonResponse(401, ErrorJson(0, auth.empty() ? "需要令牌：请求头 Authorization: Bearer <令牌>" : "令牌不正确"));
        refusal.headers.emplace_back("WWW-Authenticate", "Bearer");
        return false;
    }
    // Without a token only this machine's programs call: a web page open in a browser
    // (which names its origin) must not reach the scripts through the loopback address.
    std::string origin = req.Header("origin");
    if (!origin.empty() && !IsLoopbackAddress(OriginHost(origin))) {
        refusal = JsonResponse(403, ErrorJson(0, "不接受来自网页（" + origin + "）的请求"));
        return false;
    }
    return true;
}

void Service::Handle(HttpRequest& req, Respond respond) {
    const std::string& path = req.path;
    if (path == "/health" && (req.method == "GET" || req.method == "HEAD")) {
        // A balancer polls it without a token; it tells nothing about the scripts.
        HttpResponse r = JsonResponse(m_pool->Alive() > 0 ? 200 : 503, Health());
        return respond(std::move(r));
    }
    HttpResponse refusal;
    if (!Authorised(req, refusal)) return respond(std::move(refusal));
    bool get = req.method == "GET" || req.method == "HEAD";
    if (path == "/" && get) {
        HttpResponse r;
        r.contentType = "text/plain; charset=utf-8";
        r.body = Page();
        return respond(std::move(r));
    }
    if (path == "/functions" && get) return respond(JsonResponse(200, m_pool->Functions()));
    bool call = path == "/call", eval = path == "/eval", reload = path == "/reload";
    if (!call && !eval && !reload && path != "/functions" && path != "/" )
        return respond(JsonResponse(404, ErrorJson(0, "没有这个接口：" + path + "（见 GET /）")));
    if (req.method != "POST" && (call || eval || reload)) {
        HttpResponse r = JsonResponse(405, ErrorJson(0, "这个接口只接受 POST"));
        r.headers.emplace_back("Allow", "POST");
        return respond(std::move(r));
    }
    if (!call && !eval && !reload) {
        HttpResponse r = JsonResponse(405, ErrorJson(0, "这个接口只接受 GET"));
        r.headers.emplace_back("Allow", "GET");
        return respond(std::move(r));
    }
    if (reload) return Reload(std::move(respond));
    char op = call ? protocol::kCall : protocol::kEval;
    // A call that names a session goes to that session's worker; looking for the name
    // first spares the others a second reading of their JSON.
    std::string session;
    if (req.body.find("\"session\"") != std::string::npos)
        if (auto parsed = Json::Parse(req.body))
            if (const Json* s = parsed->Find("session"); s && s->kind() == Json::Kind::String) session = s->AsString();
    m_pool->Submit(op, std::move(req.body), [this, respond = std::move(respond)](Reply reply) {
        ++m_calls;
        if (reply.status != 200) {
            ++m_errors;
            if (onLog) {
                auto parsed = Json::Parse(reply.body);
                const Json* e = parsed ? parsed->Find("error") : nullptr;
                const Json* d = e ? e->Find("description") : nullptr;
                const Json* n = e ? e->Find("number") : nullptr;
                Log("-->服务调用出错（" + std::to_string(reply.status) + "）：" + (d ? d->AsString() : reply.body) +
                    (n && n->AsNumber() != 0 ? "，错误号=" + std::to_string(static_cast<int64_t>(n->AsNumber())) : ""));
            }
        }
        respond(JsonResponse(reply.status, std::move(reply.body)));
        if (onCall) onCall();
    }, session);
}

std::string Service::Health() const {
    auto up = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - m_started).count();
    int alive = m_pool->Alive();
    return std::string("{\"status\":\"") + (alive > 0 ? "ok" : "down") + "\",\"workers\":" +
           std::to_string(m_pool->Count()) + ",\"alive\":" + std::to_string(alive) + ",\"busy\":" +
           std::to_string(m_pool->Busy()) + ",\"calls\":" + std::to_string(m_calls.load()) + ",\"errors\":" +
           std::to_string(m_errors.load()) + ",\"replaced\":" + std::to_string(m_pool->Replaced()) +
           ",\"uptime\":" + std::to_string(up) + "}";
}

Reply Service::Reload() {
    std::lock_guard lock(m_reloadMutex);
    std::vector<Script> scripts;
    std::string error;
    if (!m_options.readScripts || !m_options.readScripts(scripts, error))
        return {500, ErrorJson(0, error.empty() ? "无法读取脚本" : error)};
    Reply r = m_pool->Reload(scripts);
    if (r.status == 200) Log("-->已重新加载：" + m_options.loadedName);
    else Log("-->重新加载失败，仍用原来的代码：" + r.body);
    return r;
}

void Service::Reload(Respond respond) {
    // Loading may take a while: not on the thread that serves every connection.
    std::lock_guard lock(m_threadsMutex);
    m_threads.emplace_back([this, respond = std::move(respond)] {
        Reply r = Reload();
        respond(JsonResponse(r.status, std::move(r.body)));
    });
}

void Service::Watch() {
    std::vector<FileStamp> stamps;
    for (const auto& f : m_options.watchFiles) stamps.push_back(Stamp(f));
    while (!m_stopping) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        bool changed = false;
        for (size_t i = 0; i < stamps.size(); ++i) {
            FileStamp now = Stamp(m_options.watchFiles[i]);
            if (!(now == stamps[i])) {
                stamps[i] = now;
                changed = true;
            }
        }
        // A file being written is read once it has stayed the same for a moment.
        if (changed && !m_stopping) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            for (size_t i = 0; i < stamps.size(); ++i) stamps[i] = Stamp(m_options.watchFiles[i]);
            if (!m_stopping) Reload();
        }
    }
}

std::string Service::Page() const {
    std::string address = Address();
    const WorkerSettings& w = m_pool->Settings();
    auto target = script::TargetFromKey(w.target).value_or(script::ScriptTarget::JScript58);
    std::string auth = m_options.token.empty() ? "" : " -H 'Authorization: Bearer <令牌>'";
    std::string first = "sign";
    std::string functions;
    if (auto list = Json::Parse(m_pool->Functions())) {
        if (const Json* items = list->Find("functions")) {
            for (const Json& f : items->Items()) {
                const Json* name = f.Find("name");
                const Json* args = f.Find("args");
                if (!name) continue;
                first = name->AsString();  // the example calls the last one, usually the entry point
                functions += "  " + name->AsString() + "（" + std::to_string(args ? static_cast<int>(args->AsNumber()) : 0) +
                             " 个参数）\n";
            }
        }
    }
    if (functions.empty()) functions = "  （没有全局函数）\n";
    std::string callBody = "{\"function\":\"" + first + "\",\"args\":[\"abc\"]}";
    std::string page;
    page += "青柚JS调试工具 本地服务\n\n";
    page += "已加载：" + m_options.loadedName + "\n";
    page += "脚本目标：" + script::TargetDisplayName(target) + "；浏览器环境：" + (w.browserEnv ? "开" : "关") + "\n";
    page += "工作进程：" + std::to_string(m_pool->Count()) + " 个；每次调用限时 " + std::to_string(w.timeoutMs / 1000.0).substr(0, 4) +
            " 秒；状态" + (w.fresh ? "不保留（每次调用都重新加载）" : "在调用之间保留") + "\n\n";
    page += "函数：\n" + functions + "\n";
    page += "调用：\n";
    page += "  curl -s " + address + "/call" + auth + " -H 'Content-Type: application/json' -d " + ShellQuoted(callBody) + "\n";
    page += "  curl -s " + address + "/eval" + auth + " -d " + ShellQuoted("{\"expr\":\"" + first + "('abc')\"}") + "\n\n";
    page += "接口：\n";
    page += "  POST /call      {\"function\": 函数名, \"args\": [参数…], \"fresh\": false, \"session\": \"\"} → {\"result\": 值, \"type\": \"文本型\"}\n";
    page += "  POST /eval      {\"expr\": 表达式, \"fresh\": false, \"session\": \"\"}\n";
    page += "  GET  /functions 函数列表\n";
    page += "  GET  /health    服务状态（负载均衡器用）\n";
    page += "  POST /reload    重新读取脚本文件\n";
    page += "出错时：{\"error\": {\"number\", \"description\", \"line\", \"column\"}}，请求有误为 400，脚本出错为 422。\n";
    page += "\"fresh\": true 在新加载的全局环境中运行这一次调用。\n";
    page += "全局状态（如 cookie）保留在每个工作进程中：要让后一次调用看到前一次留下的状态，给这些调用同一个\n"
            "\"session\": \"名字\"（同名的调用总在同一个工作进程中运行），或用 --workers 1。\n";
    return page;
}

}  // namespace qy::serve
