#include "serve/Worker.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "env/Environment.h"
#include "env/PageHost.h"
#include "jscript/Runtime.h"
#include "script/Engine.h"
#include "script/ScriptControl.h"
#include "script/ScriptSession.h"
#include "script/ScriptTarget.h"
#include "serve/Json.h"
#include "serve/Protocol.h"
#include "serve/ValueJson.h"
#include "text/CodePage.h"

namespace qy::serve {
namespace {

using Clock = std::chrono::steady_clock;

std::string Utf8(const std::string& ansi) { return text::AnsiToUtf8(ansi); }

/// Stops the engine call once a call has run past its limit. It keeps asking every few
/// milliseconds until the call is over: an evaluation may be several engine calls (the
/// expression, then the page's timers), and each must end.
class Deadline {
public:
    Deadline() : m_thread([this] { Loop(); }) {}
    ~Deadline() {
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

    /// Each call's limit lies beyond the last one's, so a thread that waits for an
    /// earlier limit wakes in time on its own and looks again; only a thread that waits
    /// for no limit at all needs waking (a wake-up per call would cost more than a
    /// short call).
    void Arm(int ms) {
        std::lock_guard lock(m_mutex);
        m_due = Clock::now() + std::chrono::milliseconds(ms);
        if (m_waitingForever) m_wake.notify_all();
    }
    void Disarm() {
        std::lock_guard lock(m_mutex);
        m_due.reset();
    }

private:
    void Loop() {
        std::unique_lock lock(m_mutex);
        while (!m_quit) {
            if (!m_due) {
                m_waitingForever = true;
                m_wake.wait(lock);
                m_waitingForever = false;
            } else if (Clock::now() < *m_due) {
                m_wake.wait_until(lock, *m_due);
            } else {
                // Under the lock: Disarm waits for this, so a stop never reaches the next call.
                script::RequestStop();
                m_wake.wait_for(lock, std::chrono::milliseconds(5));
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Clock::time_point> m_due;
    bool m_quit = false;
    bool m_waitingForever = false;
    std::thread m_thread;
};

struct Settings {
    script::ScriptTarget target = script::ScriptTarget::JScript58;
    bool browserEnv = false;
    std::string address;  ///< workbench text
    int timeoutMs = 10000;
    bool fresh = false;
    std::u16string profile;            ///< a browser profile (JSON); empty: the built-in values
    std::optional<uint64_t> seed;
    std::string folder;                ///< where a page's local scripts are found (UTF-8)
    std::vector<std::string> names;    ///< UTF-8
    std::vector<std::string> scripts;  ///< workbench text
};

std::string ErrorBody(int32_t number, const std::string& descriptionUtf8, int32_t line, int32_t column,
                      const std::string& fileUtf8 = {}) {
    std::string out = "{\"error\":{\"number\":" + std::to_string(number) + ",\"description\":";
    AppendJsonString(out, descriptionUtf8);
    out += ",\"line\":" + std::to_string(line) + ",\"column\":" + std::to_string(column);
    if (!fileUtf8.empty()) {
        out += ",\"file\":";
        AppendJsonString(out, fileUtf8);
    }
    return out + "}}";
}

std::string BadRequest(const std::string& why) { return ErrorBody(0, why, 0, 0); }

/// The engine's error object as the service writes it; empty when there is no error.
std::string EngineErrorBody(script::ScriptHost& host, const std::string& file = {}) {
    script::ObjectRef error = host.GetError();
    auto number = static_cast<int32_t>(script::GetPropertyNumber(error, "Number"));
    if (number == 0) return {};
    return ErrorBody(number, Utf8(script::GetPropertyText(error, "Description")),
                     static_cast<int32_t>(script::GetPropertyNumber(error, "Line")),
                     static_cast<int32_t>(script::GetPropertyNumber(error, "Column")), file);
}

/// A dotted name of the global's functions ("sign", "app.crypto.sign"): letters, digits,
/// "_" and "$" (and any character beyond ASCII), not starting with a digit.
bool FunctionName(const std::string& name) {
    bool start = true;
    for (unsigned char c : name) {
        if (c == '.') {
            if (start) return false;
            start = true;
            continue;
        }
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
        if (!letter && !(c >= '0' && c <= '9' && !start)) return false;
        start = false;
    }
    return !start;
}

class Worker {
public:
    explicit Worker(int fd) : m_fd(fd) {}

    int Run() {
        std::string frame;
        while (protocol::ReadFrame(m_fd, frame, -1) == protocol::ReadResult::Ok) {
            if (frame.empty()) return 2;
            int status = 200;
            std::string body;
            std::string_view payload = std::string_view(frame).substr(1);
            switch (frame[0]) {
                case protocol::kSetup: status = Setup(payload, body); break;
                case protocol::kCall: case protocol::kEval: status = Request(frame[0], payload, body); break;
                default: status = 400; body = BadRequest("未知的操作"); break;
            }
            char head[4];
            std::snprintf(head, sizeof head, "%03d", status);
            if (!protocol::WriteFrame(m_fd, std::string_view(head, 3), body)) return 0;
        }
        return 0;
    }

private:
    /// Loads the scripts into a fresh session; the error body when one fails.
    std::string Load(const Settings& s, script::ScriptSession& session) {
        script::SetScriptTarget(s.target);
        session.SetBrowserEnvironment(s.browserEnv);
        if (s.browserEnv) {
            session.SetPageAddressSource([a = s.address] { return a; });
            env::PageSetup page;
            page.profile = s.profile;
            page.seed = s.seed;
            // A whole page (the first file) builds the document and runs its own scripts
            // as the environment installs; the other files load after it as code.
            if (!s.scripts.empty() && script::LooksLikePage(s.scripts[0])) {
                page.html = text::Utf8ToUtf16(text::AnsiToUtf8(s.scripts[0]));
                page.folder = s.folder;
            }
            env::SetPageSetup(std::move(page));
        }
        m_deadline.Arm(s.timeoutMs);
        session.ResetHost();
        std::string failure;
        bool page = s.browserEnv && !s.scripts.empty() && script::LooksLikePage(s.scripts[0]);
        for (size_t i = 0; i < s.scripts.size() && failure.empty(); ++i) {
            session.Host().AddCode(page && i == 0 ? std::string(";") : s.scripts[i]);
            failure = EngineErrorBody(session.Host(), s.names[i]);
        }
        m_deadline.Disarm();
        session.SetCodeLoaded(failure.empty());
        return failure;
    }

    int Setup(std::string_view payload, std::string& body) {
        size_t eol = payload.find('\n');
        std::string error;
        auto head = Json::Parse(payload.substr(0, eol), &error);
        if (eol == std::string_view::npos || !head || head->kind() != Json::Kind::Object) {
            body = BadRequest("设置格式错误");
            return 400;
        }
        Settings s;
        if (const Json* t = head->Find("target"))
            if (auto target = script::TargetFromKey(t->AsString())) s.target = *target;
        if (const Json* b = head->Find("browserEnv")) s.browserEnv = b->AsBool();
        if (const Json* a = head->Find("address")) s.address = text::Utf8ToAnsiText(a->AsString());
        if (const Json* t = head->Find("timeoutMs")) s.timeoutMs = static_cast<int>(t->AsNumber());
        if (const Json* f = head->Find("fresh")) s.fresh = f->AsBool();
        if (const Json* p = head->Find("profile")) s.profile = text::Utf8ToUtf16(p->AsString());
        if (const Json* f = head->Find("folder")) s.folder = f->AsString();
        if (const Json* n = head->Find("seed")) {
            const std::string digits = n->AsString();
            char* end = nullptr;
            unsigned long long v = std::strtoull(digits.c_str(), &end, 10);
            if (digits.empty() || *end) {
                body = BadRequest("随机种子格式错误");
                return 400;
            }
            s.seed = v;
        }
        if (const Json* m = head->Find("maxMemoryMb"))
            script::SetMemoryGrowthLimit(static_cast<size_t>(m->AsNumber()) << 20);
        size_t at = eol + 1;
        if (const Json* list = head->Find("scripts")) {
            for (const Json& item : list->Items()) {
                const Json* name = item.Find("name");
                const Json* size = item.Find("size");
                auto n = size ? static_cast<size_t>(size->AsNumber()) : 0;
                if (at + n > payload.size()) {
                    body = BadRequest("设置格式错误");
                    return 400;
                }
                s.names.push_back(name ? name->AsString() : std::string());
                s.scripts.emplace_back(payload.substr(at, n));
                at += n;
            }
        }
        // A load that fails keeps what was loaded before: the service goes on answering.
        auto session = std::make_unique<script::ScriptSession>();
        std::string failure = Load(s, *session);
        if (!failure.empty()) {
            body = failure;
            if (m_session) script::SetScriptTarget(m_settings.target);
            return 422;
        }
        m_settings = std::move(s);
        m_session = std::move(session);
        body = FunctionsBody(*m_session);
        return 200;
    }

    static std::string FunctionsBody(script::ScriptSession& session) {
        std::vector<script::ProcedureInfo> list;
        session.Host().GetProcedures(list);
        std::string out = "{\"functions\":[";
        for (size_t i = 0; i < list.size(); ++i) {
            if (i) out += ',';
            out += "{\"name\":";
            AppendJsonString(out, Utf8(list[i].name));
            out += ",\"args\":" + std::to_string(list[i].argCount) +
                   ",\"returns\":" + (list[i].hasReturnValue ? "true" : "false") + "}";
        }
        return out + "]}";
    }

    int Request(char op, std::string_view payload, std::string& body) {
        if (!m_session) {
            body = BadRequest("代码未加载");
            return 503;
        }
        std::string why;
        auto request = Json::Parse(payload, &why);
        if (!request) {
            body = BadRequest("请求不是有效的 JSON：" + why);
            return 400;
        }
        if (request->kind() != Json::Kind::Object) {
            body = BadRequest("请求应是一个 JSON 对象");
            return 400;
        }
        std::string expression;
        if (op == protocol::kCall) {
            const Json* fn = request->Find("function");
            if (!fn || fn->kind() != Json::Kind::String || !FunctionName(fn->AsString())) {
                body = BadRequest("\"function\" 应是函数名（如 \"sign\" 或 \"app.sign\"）");
                return 400;
            }
            const Json* args = request->Find("args");
            if (args && args->kind() != Json::Kind::Array && !args->IsNull()) {
                body = BadRequest("\"args\" 应是数组");
                return 400;
            }
            expression = text::Utf8ToAnsiText(fn->AsString()) + "(";
            if (args)
                for (size_t i = 0; i < args->Items().size(); ++i) {
                    if (i) expression += ',';
                    expression += args->Items()[i].ScriptLiteral();
                }
            expression += ')';
        } else {
            const Json* expr = request->Find("expr");
            if (!expr || expr->kind() != Json::Kind::String) {
                body = BadRequest("\"expr\" 应是表达式文本");
                return 400;
            }
            expression = text::Utf8ToAnsiText(expr->AsString());
        }
        const Json* fresh = request->Find("fresh");
        bool freshRun = m_settings.fresh || (fresh && fresh->kind() == Json::Kind::Bool && fresh->AsBool());
        if (freshRun) {
            script::ScriptSession session;
            std::string failure = Load(m_settings, session);
            if (!failure.empty()) {
                body = failure;
                return 422;
            }
            return Evaluate(session, expression, body);
        }
        return Evaluate(*m_session, expression, body);
    }

    int Evaluate(script::ScriptSession& session, const std::string& expression, std::string& body) {
        m_deadline.Arm(m_settings.timeoutMs);
        script::Variant result = session.Host().Eval(expression);
        std::string failure = EngineErrorBody(session.Host());
        int status = 200;
        if (!failure.empty()) {
            body = std::move(failure);
            status = 422;
        } else {
            std::string why;
            if (!ResultJson(result, body, why)) {
                body = ErrorBody(0, why, 0, 0);
                status = 422;
            }
        }
        script::ClearVariant(result);
        m_deadline.Disarm();
        return status;
    }

    int m_fd;
    Deadline m_deadline;
    Settings m_settings;
    std::unique_ptr<script::ScriptSession> m_session;
};

}  // namespace

int RunWorker(int fd) {
    // A worker that crashes leaves no core: its engine reserves gigabytes of addresses.
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // What scripts write (console, Debug.write) is not the caller's answer: it is dropped.
    jscript::SetDebugOutput(nullptr);
    env::SetOutput(nullptr);
    return Worker(fd).Run();
}

}  // namespace qy::serve
