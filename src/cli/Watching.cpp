#include "cli/Watching.h"

#include <filesystem>
#include <fstream>
#include <ostream>

#include "debug/PageBreaks.h"
#include "debug/ScriptWatch.h"
#include "text/CodePage.h"

namespace qy::cli {

bool WatchOptions::Take(const std::vector<std::string>& args, size_t& i, std::string& error) {
    const std::string& a = args[i];
    if (a == "--break-on-cookie") {
        std::string name;
        if (i + 1 < args.size() && args[i + 1].rfind("-", 0) != 0) {
            std::error_code ec;
            if (!std::filesystem::exists(args[i + 1], ec)) name = args[++i];
        }
        cookieNames.push_back(name);
        return true;
    }
    if (a != "--hook" && a != "--dump-dynamic" && a != "--break-on-request" && a != "--trace") return false;
    if (i + 1 >= args.size()) {
        error = a + " 后缺少参数";
        return true;
    }
    const std::string& value = args[++i];
    if (a == "--hook")
        hooks.push_back(value);
    else if (a == "--trace")
        traceFile = value;
    else if (a == "--break-on-request")
        requestTexts.push_back(value);
    else
        dumpDir = value;
    return true;
}

CliWatch::CliWatch(const WatchOptions& options, script::LogSink& log) : m_options(options), m_log(log) {
    if (m_options.hooks.empty() && !m_options.dumpDir) {
        MakeBreaks();
        return;
    }
    m_watch = std::make_unique<debug::ScriptWatch>();
    std::vector<std::u16string> paths;
    for (const std::string& h : m_options.hooks) paths.push_back(text::Utf8ToUtf16(h));
    m_watch->SetHooks(std::move(paths));
    m_watch->SetCallOutput([this](const debug::HookCall& call) {
        m_log.AppendLog(text::WideToAnsi(debug::HookLine(call)) + "\r\n");
    });
    m_watch->SetCaptureDynamic(m_options.dumpDir.has_value());
    m_watch->ExpectGlobal();
    MakeBreaks();
}

void CliWatch::MakeBreaks() {
    std::vector<debug::PageBreak> breaks;
    for (const std::string& t : m_options.requestTexts) breaks.push_back({debug::PageEvent::Request, text::Utf8ToUtf16(t), true});
    for (const std::string& n : m_options.cookieNames) breaks.push_back({debug::PageEvent::Cookie, text::Utf8ToUtf16(n), true});
    if (breaks.empty()) return;
    m_breaks = std::make_unique<debug::PageBreaks>();
    m_breaks->SetHitOutput([this](const debug::PageHit& hit) {
        m_log.AppendLog(text::WideToAnsi(debug::PageLogLine(hit)) + "\r\n");
    });
    m_breaks->SetBreaks(std::move(breaks));
}

CliWatch::~CliWatch() = default;

bool CliWatch::Finish(std::ostream& err) {
    if (!m_watch || !m_options.dumpDir) return true;
    namespace fs = std::filesystem;
    fs::path dir(*m_options.dumpDir);
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const debug::DynamicSource& s : m_watch->DynamicSources()) {
        fs::path file = dir / ("dynamic-" + std::to_string(s.number) + ".js");
        std::ofstream out(file, std::ios::binary);
        std::string body = text::Utf16ToUtf8(s.text);
        if (!out || !out.write(body.data(), static_cast<std::streamsize>(body.size()))) {
            err << "qingyou-js: 无法写入“" << file.string() << "”\n";
            return false;
        }
        m_log.AppendLog(text::WideToAnsi(debug::DynamicTitle(s) + u" → " + text::Utf8ToUtf16(file.string())) +
                        "\r\n");
    }
    return true;
}

}  // namespace qy::cli
