#include "cli/PageCommand.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "cli/TraceFile.h"
#include "cli/Watching.h"
#include "env/Environment.h"
#include "env/PageHost.h"
#include "jscript/Runtime.h"
#include "script/ScriptSession.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

namespace qy::cli {
namespace {

/// Puts the process's page setup back as it was when the command ends.
struct SetupRestore {
    env::PageSetup saved = env::CurrentPageSetup();
    ~SetupRestore() { env::SetPageSetup(saved); }
};

}  // namespace

int PageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files, expressions;
    std::optional<script::ScriptTarget> target;
    std::optional<std::string> address, cookie, profile;
    std::optional<uint64_t> seed;
    WatchOptions watchOptions;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string watchError;
        if (watchOptions.Take(args, i, watchError)) {
            if (!watchError.empty()) return Usage(err, watchError);
        } else if (a == "--target" || a == "--expr" || a == "--address" || a == "--cookie" || a == "--profile" ||
            a == "--seed") {
            if (i + 1 >= args.size()) return Usage(err, a + " 后缺少参数");
            const std::string& value = args[++i];
            if (a == "--expr") {
                expressions.push_back(value);
            } else if (a == "--address") {
                address = value;
            } else if (a == "--cookie") {
                cookie = value;
            } else if (a == "--profile") {
                profile = value;
            } else if (a == "--seed") {
                char* end = nullptr;
                unsigned long long n = std::strtoull(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || value.front() == '-')
                    return Usage(err, "--seed 要一个非负整数，而不是“" + value + "”");
                seed = n;
            } else if (!(target = script::TargetFromKey(value))) {
                return Usage(err, "未知的脚本目标“" + value + "”（可用 jscript 或 es2021）");
            }
        } else if (a.rfind("--", 0) == 0) {
            return Usage(err, "未知的选项“" + a + "”");
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 1) return Usage(err, files.empty() ? "缺少网页文件" : "一次只能打开一个网页文件");
    if (expressions.empty()) return Usage(err, "缺少 --expr 表达式");
    if (watchOptions.traceFile && target.value_or(script::CurrentScriptTarget()) != script::ScriptTarget::ES2021)
        return Usage(err, "--trace 记录的是 Chrome 的接口，要与 --target es2021 一起使用");
    auto page = ReadScript(files[0], err);
    if (!page) return Usage(err, "无法读取文件“" + files[0] + "”");
    env::PageSetup setup;
    if (profile) {
        auto text = ReadScript(*profile, err);
        if (!text) return Usage(err, "无法读取浏览器资料“" + *profile + "”");
        setup.profile = text::Utf8ToUtf16(text::AnsiToUtf8(*text));
    }
    if (target) script::SetScriptTarget(*target);
    setup.html = text::Utf8ToUtf16(text::AnsiToUtf8(*page));
    std::filesystem::path file(files[0]);
    setup.folder = files[0] == "-" ? "." : std::filesystem::absolute(file).parent_path().string();
    if (cookie) setup.typedCookies = *cookie;
    setup.seed = seed;
    SetupRestore restore;
    env::SetPageSetup(std::move(setup));

    StreamLog log(out);
    jscript::SetDebugOutput([&log](const std::u16string& text) { log.AppendLog(text::WideToAnsi(text) + "\r\n"); });
    env::SetOutput([&log](const std::u16string& line) { log.AppendLog(text::WideToAnsi(line) + "\r\n"); });
    // Made before the page's global: the page's own scripts run as it is set up.
    CliWatch watch(watchOptions, log);
    TraceFile trace(watchOptions.traceFile.value_or(""));
    trace.NamePage(files[0] == "-" ? "标准输入" : files[0]);
    if (!trace.Ok()) {
        env::SetOutput(nullptr);
        jscript::SetDebugOutput(nullptr);
        err << "qingyou-js: 无法写入“" << *watchOptions.traceFile << "”\n";
        return kExitUsage;
    }
    script::ScriptSession session;
    session.SetBrowserEnvironment(true);
    std::string where = address ? *address : files[0] == "-" ? "about:blank" : script::FileAddress(std::filesystem::absolute(file).lexically_normal().generic_string());
    session.SetPageAddressSource([a = text::Utf8ToAnsiText(where)] { return a; });
    TextView view;
    // The page loads as the environment installs; a load of nothing then runs its timers.
    session.ResetHost();
    session.Host().AddCode(";");
    log.AppendLog(text::Utf8ToAnsiText("-->网页加载完成：" + where + "\r\n"));
    session.WriteEnvironmentReport(log);
    session.SetCodeLoaded(true);
    bool engineError = false;
    for (const auto& e : expressions) {
        session.Evaluate(text::Utf8ToAnsiText(e), log, view, nullptr);
        engineError = engineError || script::GetPropertyNumber(session.Host().GetError(), "Number") != 0;
    }
    bool written = watch.Finish(err);
    written = trace.Finish(err) && written;
    jscript::SetDebugOutput(nullptr);
    env::SetOutput(nullptr);
    return engineError || !written ? kExitEngineError : kExitOk;
}

}  // namespace qy::cli
