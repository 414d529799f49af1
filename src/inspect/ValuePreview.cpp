#include "inspect/ValuePreview.h"

#include <algorithm>
#include <cmath>

#include "script/Engine.h"
#include "script/ValueText.h"
#include "text/CodePage.h"

namespace qy::inspect {
namespace {

using script::Variant;

std::u16string Quoted(const std::u16string& s) {
    std::u16string out = u"\"";
    size_t shown = std::min(s.size(), kPreviewStringChars);
    for (size_t i = 0; i < shown; ++i) {
        switch (char16_t c = s[i]) {
            case u'"': out += u"\\\""; break;
            case u'\\': out += u"\\\\"; break;
            case u'\n': out += u"\\n"; break;
            case u'\r': out += u"\\r"; break;
            case u'\t': out += u"\\t"; break;
            default: out += c;
        }
    }
    if (shown < s.size()) out += u"…";
    return out + u"\"";
}

std::u16string Cut(std::u16string s) { return s.size() > kPreviewChars ? s.substr(0, kPreviewChars) + u"…" : s; }

/// "function f(a, b)" from a function's source: what comes before its body, on one line.
std::u16string FunctionHead(const std::u16string& source) {
    std::u16string head = source.substr(0, source.find(u'{'));
    std::u16string out;
    for (char16_t c : head) {
        bool blank = c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
        if (blank && (out.empty() || out.back() == u' ')) continue;
        out += blank ? u' ' : c;
    }
    while (!out.empty() && out.back() == u' ') out.pop_back();
    if (out.empty()) return u"function";
    return Cut(out);
}

bool DefaultText(const script::ObjectRef& object, std::u16string& out) {
    return object && object->DefaultText(out);
}

/// Objects whose own text says what they hold better than their members do.
bool ShownByItsText(const std::u16string& type) {
    static const std::u16string kinds[] = {u"RegExp", u"Date", u"Boolean", u"Number", u"String"};
    return std::find(std::begin(kinds), std::end(kinds), type) != std::end(kinds);
}

bool IsError(const std::u16string& type) { return type.size() >= 5 && type.compare(type.size() - 5, 5, u"Error") == 0; }

std::u16string WideProperty(const script::ObjectRef& object, const char* name) {
    std::u16string out;
    script::Variant v = script::GetPropertyVariant(object, name);
    return v.vt != script::VT_EMPTY && script::VariantToWide(v, out) ? out : u"";
}

class Previewer {
public:
    std::u16string Value(const Variant& v, int depth) {
        switch (v.vt) {
            case script::VT_EMPTY: return u"undefined";
            case script::VT_NULL: return u"null";
            case script::VT_BSTR: case script::VT_LPSTR: case script::VT_LPWSTR: return Quoted(v.text);
            case script::VT_DISPATCH: case script::VT_UNKNOWN: return Object(v.object, depth);
            default: {
                std::u16string text;
                return script::VariantToWide(v, text) ? text : u"?";
            }
        }
    }

    std::u16string Object(const script::ObjectRef& object, int depth) {
        if (!object) return u"null";
        script::TypeInfoPtr info = object->TypeInfoCount() == 1 ? object->GetTypeInfo() : nullptr;
        const std::u16string type = info ? info->name : u"";
        std::u16string text;
        if (type == u"Function") return DefaultText(object, text) ? FunctionHead(text) : u"function";
        if (type == u"Array") return depth > 0 ? u"[…]" : Elements(object);
        if (ShownByItsText(type) && DefaultText(object, text)) return Cut(text);
        if (IsError(type)) {
            // "TypeError: message", whatever the error's own text says (JScript's says
            // "[object Error]").
            std::u16string name = WideProperty(object, "name"), message = WideProperty(object, "message");
            return Cut((name.empty() ? type : name) + (message.empty() ? u"" : u": " + message));
        }
        if (!info) return DefaultText(object, text) ? text : u"{…}";
        return depth > 0 ? u"{…}" : Members(object, *info);
    }

private:
    /// Appends entries while they fit; "…" stands for the rest.
    class Entries {
    public:
        explicit Entries(std::u16string open) : m_text(std::move(open)) {}
        bool Full() const { return m_count >= kPreviewEntries || m_text.size() >= kPreviewChars; }
        void Add(const std::u16string& entry) {
            m_text += (m_count++ ? u", " : u"") + entry;
        }
        std::u16string Close(bool more, const char16_t* close) {
            if (more) m_text += m_count ? u", …" : u"…";
            return m_text + close;
        }

    private:
        std::u16string m_text;
        int m_count = 0;
    };

    std::u16string Elements(const script::ObjectRef& array) {
        double length = script::VariantToNumber(script::GetPropertyVariant(array, "length"));
        int64_t count = std::isfinite(length) && length > 0 ? static_cast<int64_t>(std::min(length, 4294967295.0)) : 0;
        Entries entries(u"[");
        int64_t k = 0;
        for (; k < count && !entries.Full(); ++k) {
            Variant v = script::GetPropertyVariant(array, std::to_string(k));
            entries.Add(Value(v, 1));
        }
        return entries.Close(k < count, u"]");
    }

    std::u16string Members(const script::ObjectRef& object, const script::TypeInfo& info) {
        struct Member {
            script::MemberId id;
            std::u16string name;
            bool method;
        };
        std::vector<Member> members;
        for (const auto& f : info.funcs)
            if (f.wFuncFlags != script::FUNCFLAG_FRESTRICTED && !f.names.empty())
                members.push_back({f.memid, f.names[0], f.invkind == script::INVOKE_FUNC});
        for (const auto& v : info.vars) members.push_back({v.memid, v.name, false});
        // Member ids follow the order in which the object lists its members.
        std::stable_sort(members.begin(), members.end(), [](const Member& a, const Member& b) { return a.id < b.id; });
        Entries entries(u"{");
        size_t i = 0;
        for (; i < members.size() && !entries.Full(); ++i) {
            const Member& m = members[i];
            if (m.method) {
                entries.Add(m.name + u": function");
                continue;
            }
            Variant v = script::GetPropertyVariant(object, text::WideToAnsi(m.name));
            entries.Add(m.name + u": " + Value(v, 1));
        }
        return entries.Close(i < members.size(), u"}");
    }
};

}  // namespace

// A preview reads member after member, each a call of its own that may run the page's
// code (a getter, toString): one press of "停止" ends the whole preview.

std::string PreviewText(const script::Variant& value) {
    script::StopScope work;
    return text::WideToAnsi(Previewer().Value(value, 0));
}

std::string ObjectPreview(const script::ObjectRef& object) {
    script::StopScope work;
    return text::WideToAnsi(Previewer().Object(object, 0));
}

}  // namespace qy::inspect
