/** @file ServiceSupport.h
 * A service started inside the test on a free loopback port, with its workers run by the
 * real qingyou-js, and the calls the tests make to it.
 */
#pragma once

#include <httplib.h>

#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>

#include "serve/Json.h"
#include "serve/Service.h"

namespace qy::test {

/// A file of tests/serve/data, whole.
inline std::string DataFile(const std::string& name) {
    std::ifstream in(std::string(QY_SERVE_TEST_DATA) + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Md5Script() { return DataFile("md5.js"); }

struct Answer {
    int status = 0;
    std::string body;
    serve::Json json;
    /// A member of the answer's JSON ("result", "type", "error.number"…), or null.
    const serve::Json& operator[](const std::string& path) const {
        static const serve::Json none;
        const serve::Json* at = &json;
        size_t start = 0;
        while (at && start <= path.size()) {
            size_t dot = path.find('.', start);
            at = at->Find(path.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
            if (dot == std::string::npos) break;
            start = dot + 1;
        }
        return at ? *at : none;
    }
    std::string Text(const std::string& path) const { return (*this)[path].AsString(); }
    double Number(const std::string& path) const { return (*this)[path].AsNumber(); }
};

/// The scripts a test serves; a test may change them and reload.
struct Scripts {
    std::mutex mutex;
    std::vector<serve::Script> list;
    void Set(std::vector<serve::Script> s) {
        std::lock_guard lock(mutex);
        list = std::move(s);
    }
};

inline serve::ServiceOptions Options(std::shared_ptr<Scripts> scripts, int workers = 2) {
    serve::ServiceOptions o;
    o.port = 0;
    o.workers = workers;
    o.worker.program = QY_APP_BINARY;
    o.worker.timeoutMs = 10000;
    o.loadedName = "test.js";
    o.readScripts = [scripts](std::vector<serve::Script>& out, std::string& error) {
        std::lock_guard lock(scripts->mutex);
        if (scripts->list.empty()) {
            error = "没有脚本";
            return false;
        }
        out = scripts->list;
        return true;
    };
    return o;
}

inline std::shared_ptr<Scripts> MakeScripts(std::string text, std::string name = "test.js") {
    auto s = std::make_shared<Scripts>();
    s->list.push_back({std::move(name), std::move(text)});
    return s;
}

class RunningService {
public:
    explicit RunningService(serve::ServiceOptions options) : m_service(std::move(options)) {
        m_started = m_service.Start(m_error);
        if (m_started) m_service.RunInBackground();
    }
    ~RunningService() {
        m_service.Stop();
        m_service.Join();
    }

    bool Started() const { return m_started; }
    const std::string& Error() const { return m_error; }
    serve::Service& Service() { return m_service; }
    int Port() const { return m_service.Port(); }

    Answer Post(const std::string& path, const std::string& body, const httplib::Headers& headers = {}) {
        httplib::Client client("127.0.0.1", Port());
        client.set_read_timeout(60, 0);
        return Read(client.Post(path.c_str(), headers, body, "application/json"));
    }
    Answer Get(const std::string& path, const httplib::Headers& headers = {}) {
        httplib::Client client("127.0.0.1", Port());
        client.set_read_timeout(60, 0);
        return Read(client.Get(path.c_str(), headers));
    }
    Answer Call(const std::string& function, const std::string& argsJson, bool fresh = false) {
        return Post("/call", "{\"function\":\"" + function + "\",\"args\":" + argsJson + (fresh ? ",\"fresh\":true" : "") + "}");
    }
    Answer Eval(const std::string& exprJson, bool fresh = false) {
        return Post("/eval", "{\"expr\":" + exprJson + (fresh ? ",\"fresh\":true" : "") + "}");
    }

private:
    static Answer Read(const httplib::Result& r) {
        Answer a;
        if (!r) return a;
        a.status = r->status;
        a.body = r->body;
        if (auto j = serve::Json::Parse(r->body)) a.json = std::move(*j);
        return a;
    }

    serve::Service m_service;
    bool m_started = false;
    std::string m_error;
};

/// A JSON string literal of `text` (UTF-8).
inline std::string Quote(const std::string& text) {
    std::string out;
    serve::AppendJsonString(out, text);
    return out;
}

}  // namespace qy::test
