#include "cli/BundleSplit.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <system_error>

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "script/ScriptHost.h"
#include "transform/Bundles.h"
#include "transform/Transforms.h"
#include "text/CodePage.h"

namespace qy::cli {
namespace fs = std::filesystem;

namespace {

std::string Ansi(const std::string& utf8) { return text::Utf8ToAnsiText(utf8); }

/// Every file this command writes starts with this, so that running it again may
/// replace its own files and never anybody else's.
constexpr const char* kMark = "// 拆分自 ";

bool WrittenByUs(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string first;
    std::getline(in, first);
    return first.rfind(kMark, 0) == 0;
}

/// What the module function's parameters stand for, by the bundler's order.
std::string ParamsNote(const std::string& kind, const std::string& params) {
    static const char* webpack[] = {"module", "exports", "require"};
    static const char* browserify[] = {"require", "module", "exports"};
    const char** roles = kind == Ansi("browserify") ? browserify : webpack;
    std::string note;
    size_t at = 0;
    for (int i = 0; i < 3 && at <= params.size() && !params.empty(); ++i) {
        size_t comma = params.find(',', at);
        if (comma == std::string::npos) comma = params.size();
        std::string name = params.substr(at, comma - at);
        if (!name.empty() && name != roles[i]) note += (note.empty() ? "" : Ansi("，")) + name + " = " + roles[i];
        at = comma + 1;
        if (comma == params.size()) break;
    }
    return note;
}

}  // namespace

std::string ModuleFileName(const std::string& id) {
    std::string name;
    size_t from = id.rfind("./", 0) == 0 ? 2 : 0;
    for (size_t i = from; i < id.size() && name.size() < 100; ++i) {
        char c = id[i];
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                     c == '.';
        name.push_back(plain ? c : '_');
    }
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".js") == 0) name.resize(name.size() - 3);
    return "module-" + name + ".js";
}

int SplitBundleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 4) return Usage(err, "用法：unpack --split 目录 文件（- 为标准输入）");
    const fs::path dir = args[2];
    auto script = ReadScript(args[3], err);
    if (!script) return kExitUsage;
    script::ScriptHost host;
    host.SetLanguage("JScript");
    transform::UnpackResult unpacked = transform::UnpackScript(host, *script);
    if (!unpacked.ok) {
        StreamLog log(err);
        if (!script::WriteErrorReport(unpacked.error, log)) err << "qingyou-js: eval解密失败，未写入任何文件\n";
        return kExitEngineError;
    }
    transform::BundleListing bundle = transform::ListBundle(unpacked.text);
    if (bundle.modules.empty()) {
        err << "qingyou-js: “" << args[3]
            << "”不是 webpack 或 browserify 打包的文件（解密后也没有找到模块表），没有可拆分的模块，未写入任何文件；"
               "不带 --split 可得到整个解密结果\n";
        return kExitEngineError;
    }
    // Names first: every file is checked before any is written.
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (const auto& m : bundle.modules) {
        std::string name = m.entry ? "entry.js" : ModuleFileName(m.id);
        for (int n = 2; taken.count(name); ++n)
            name = (m.entry ? std::string("entry") : ModuleFileName(m.id).substr(0, ModuleFileName(m.id).size() - 3)) +
                   "-" + std::to_string(n) + ".js";
        taken.insert(name);
        names.push_back(name);
    }
    std::error_code ec;
    if (fs::exists(dir, ec) && !fs::is_directory(dir, ec)) {
        err << "qingyou-js: “" << args[2] << "”不是目录，未写入任何文件\n";
        return kExitEngineError;
    }
    fs::create_directories(dir, ec);
    if (ec) {
        err << "qingyou-js: 无法创建目录“" << args[2] << "”：" << ec.message() << "，未写入任何文件\n";
        return kExitEngineError;
    }
    for (const std::string& name : names) {
        if (fs::exists(dir / name, ec) && !WrittenByUs(dir / name)) {
            err << "qingyou-js: 目录“" << args[2] << "”里已有不是拆分写出的 " << name
                << "，为免覆盖，未写入任何文件（请换一个目录或先移走它）\n";
            return kExitEngineError;
        }
    }
    const std::string source = fs::path(args[3]).filename().string();
    int written = 0;
    for (size_t i = 0; i < bundle.modules.size(); ++i) {
        const auto& m = bundle.modules[i];
        std::string what = m.entry ? (m.id.empty() ? Ansi("入口") : Ansi("入口：模块 ") + m.id) : Ansi("模块 ") + m.id;
        std::string head = Ansi(kMark) + Ansi(source == "-" ? "标准输入" : source) + Ansi("：") + bundle.kind +
                           Ansi(" 的") + what + "\n// " + m.deps + "\n";
        std::string params = m.id.empty() ? (bundle.loader.empty() ? "" : bundle.loader + " = require")
                                          : ParamsNote(bundle.kind, m.params);
        if (!params.empty()) head += Ansi("// 参数：") + params + "\n";
        std::string code = head + m.code;
        transform::ToolResult formatted = transform::FormatScript(code);
        if (formatted.ok) code = formatted.text;
        std::ofstream file(dir / names[i], std::ios::binary | std::ios::trunc);
        std::string text = ShellText(code);
        if (!text.empty() && text.back() != '\n') text += '\n';
        file << text;
        file.close();
        if (!file) {
            err << "qingyou-js: 无法写入“" << (dir / names[i]).string() << "”";
            if (written) err << "（已写入前 " << written << " 个文件）";
            err << "\n";
            return kExitEngineError;
        }
        ++written;
        out << names[i] << "\t" << ShellText(what + Ansi("，") + m.deps) << "\n";
    }
    out << "已写入 " << written << " 个文件到 " << args[2] << "（" << ShellText(bundle.kind) << "）\n";
    return kExitOk;
}

}  // namespace qy::cli
