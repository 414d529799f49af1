#include "cli/Watching.h"

#include <filesystem>
#include <fstream>
#include <ostream>

#include "debug/ScriptWatch.h"
#include "text/CodePage.h"

namespace qy::cli {

bool WatchOptions::Take(const std::vector<std::string>& args, size_t& i, std::string& error) {
    const std::string& a = args[i];
    if (a != "--hook" && a != "--dump-dynamic" && a != "--trace") return false;
    if (i + 1 >= args.size()) {
        error = a + " 后缺少参数";
        return true;
    }
    const std::string& value = args[++i];
    if (a == "--hook")
        hooks.push_back(value);
    else if (a == "--trace")
        traceFile = value;
    else
        dumpDir = value;
    return true;
}

CliWatch::CliWatch(const WatchOptions& options, script::LogSink& log) : m_options(options), m_log(log) {
    if (m_options.hooks.empty() && !m_options.dumpDir) return;
    m_watch = std::make_unique<debug::ScriptWatch>();
    std::vector<std::u16string> paths;
    for (const std::string& h : m_options.hooks) paths.push_back(text::Utf8ToUtf16(h));
    m_watch->SetHooks(std::move(paths));
    m_watch->SetCallOutput([this](const debug::HookCall& call) {
        m_log.AppendLog(text::WideToAnsi(debug::HookLine(call)) + "\r\n");
    });
    m_watch->SetCaptureDynamic(m_options.dumpDir.has_value());
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
