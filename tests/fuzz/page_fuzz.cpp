// Pages and cookies from outside bytes: the parser gives a well-formed tree for any text
// (every item's children present, in fragments of any context too), and the cookie jar
// never holds more than its limits allow nor reads back a cookie script may not see.
#include <algorithm>

#include "FuzzSupport.h"
#include "page/CookieJar.h"
#include "page/HtmlTree.h"

using namespace qy;

namespace {

/// The items from `at` on form whole subtrees; returns where the subtree ends.
size_t Subtree(const page::HtmlTree& tree, size_t at) {
    QY_FUZZ_CHECK(at < tree.items.size());
    size_t next = at + 1;
    for (uint32_t k = 0; k < tree.items[at].children; ++k) next = Subtree(tree, next);
    return next;
}

void CheckTree(const page::HtmlTree& tree) {
    for (size_t at = 0; at < tree.items.size();) at = Subtree(tree, at);
    for (const page::HtmlItem& item : tree.items)
        if (item.kind != page::HtmlItem::Kind::Element) QY_FUZZ_CHECK(item.children == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes = fuzz::Bytes(data, size);
    CheckTree(page::ParseDocument(bytes));
    static const char* contexts[] = {"div", "table", "tr", "select", "template", "svg", "textarea", "html"};
    CheckTree(page::ParseFragment(bytes, contexts[size % 8], size % 8 == 5));

    page::CookieJar jar;
    jar.SetAddress("https://www.example.com/dir/page.html");
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\n') {
            std::string_view line = bytes.substr(start, i - start);
            jar.Set(line, line.size() % 2 ? page::CookieSource::Http : page::CookieSource::Script, 1.7e12);
            start = i + 1;
        }
    }
    std::vector<page::Cookie> all = jar.All(1.7e12);
    QY_FUZZ_CHECK(all.size() <= page::CookieJar::kMaxPerDomain * 2 + 8);
    for (const page::Cookie& c : all) QY_FUZZ_CHECK(c.name.size() + c.value.size() <= page::CookieJar::kMaxNameValueBytes);
    // Every pair script reads belongs to a cookie script may read.
    std::string text = jar.ScriptText(1.7e12);
    for (size_t at = 0; !text.empty() && at <= text.size();) {
        size_t end = text.find("; ", at);
        std::string pair = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        QY_FUZZ_CHECK(std::any_of(all.begin(), all.end(), [&](const page::Cookie& c) {
            return !c.httpOnly && (c.name.empty() ? c.value : c.name + "=" + c.value) == pair;
        }));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return 0;
}
