#include "script/DynamicCodeNames.h"

#include <cstdlib>

#include "text/CodePage.h"

namespace qy::script {
namespace {

DynamicCodeNamer& Namer() {
    static DynamicCodeNamer namer;
    return namer;
}

}  // namespace

bool IsDynamicCodeFile(std::string_view file) {
    size_t arrow = file.rfind(" > ");
    return arrow != std::string_view::npos && file.find(" line ") < arrow;
}

void SetDynamicCodeNamer(DynamicCodeNamer namer) { Namer() = std::move(namer); }

std::u16string DynamicCodeName(const std::string& file) {
    if (!IsDynamicCodeFile(file)) return {};
    if (Namer()) {
        std::u16string named = Namer()(file);
        if (!named.empty()) return named;
    }
    // "addcode-0 line 3 > eval line 1 > Function": made by Function, from the code
    // the loaded text's line 3 made.
    std::string kind = file.substr(file.rfind(" > ") + 3);
    unsigned long line = std::strtoul(file.c_str() + file.find(" line ") + 6, nullptr, 10);
    std::u16string title = u"动态代码 (" + text::Utf8ToUtf16(kind);
    if (line) title += u", 第 " + text::Utf8ToUtf16(std::to_string(line)) + u" 行";
    return title + u")";
}

}  // namespace qy::script
