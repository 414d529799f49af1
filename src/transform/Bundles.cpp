#include "transform/Bundles.h"

#include <cmath>
#include <string_view>

#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "transform/ToolScripts.h"

namespace qy::transform {

BundleListing ListBundle(const std::string& text) {
    BundleListing out;
    script::ScopedScriptTarget modern(script::ScriptTarget::ES2021);
    script::ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(text::Utf8ToAnsiText(std::string(tools::kTool_unpacker)));
    for (const auto& [name, source] : tools::kAll)
        if (std::string_view(name).substr(0, 7) == "unpack_") host.AddCode(text::Utf8ToAnsiText(std::string(source)));
    const int count = static_cast<int>(script::VariantToNumber(host.Run("unpack_bundle_list", text)));
    if (std::fabs(script::GetPropertyNumber(host.GetError(), "Number")) > 1e-7) {
        out.ok = false;
        return out;
    }
    if (count <= 0) return out;
    out.kind = script::VariantToText(host.Eval("unpack_bundle_listed.kind"));
    out.loader = script::VariantToText(host.Eval("unpack_bundle_listed.loader"));
    for (int i = 0; i < count; ++i) {
        auto field = [&](const char* name) {
            return script::VariantToText(host.Run("unpack_bundle_field", std::to_string(i), name));
        };
        BundleModule m;
        m.id = field("id");
        m.deps = field("deps");
        m.params = field("params");
        m.code = field("code");
        m.entry = !field("entry").empty();
        out.modules.push_back(std::move(m));
    }
    return out;
}

}  // namespace qy::transform
