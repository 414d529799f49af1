/** @file PageHost.h
 * What the environment needs of the page it stands for: the page's own HTML (built into
 * `document` and its scripts run in order at install), the cookie jar under Chrome's
 * rules, the HTML parser for innerHTML and its kin, and repeatable runs (a seed that
 * fixes Math.random, crypto's bytes and the clock). The natives join the environment's
 * host object; the page setup is the process's, like the log's output.
 */
#pragma once

#include <jsapi.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qy::env {

class Environment;

struct PageSetup {
    std::u16string html;                  ///< a whole page; empty for the blank page
    std::string folder;                   ///< where the page's local scripts are found (UTF-8)
    std::string typedCookies;             ///< "a=1; b=2" as the user typed them (UTF-8)
    std::vector<std::string> setCookies;  ///< the page response's Set-Cookie lines
    std::optional<uint64_t> seed;         ///< repeatable runs when set
    std::u16string profile;               ///< a browser profile (JSON text); empty: the built-in values
};

/// From the next environment install on.
void SetPageSetup(PageSetup setup);
const PageSetup& CurrentPageSetup();

/// True for the names page scripts run under ("page:…"): they count as the user's code.
bool IsPageScriptName(const char* file);

/// The line of the page (from 1) where the first of its scripts that threw while the
/// environment last installed stopped, when that place is in the page's own text (an
/// inline script's); 0 when none did. A window selects it as it selects the line of an
/// error in loaded code.
uint32_t FirstPageErrorLine();

/// Per-environment state behind the natives.
class PageState;
struct PageStateDeleter {
    void operator()(PageState* p) const;
};
using PageStatePtr = std::unique_ptr<PageState, PageStateDeleter>;

/// Makes the state for an environment of `address`, from the current setup.
PageStatePtr NewPageState(const std::u16string& address, bool jscript);

/// Defines the page natives and values on `host` (the realm entered).
bool DefinePageHost(JSContext* cx, JS::HandleObject host, PageState& state);

}  // namespace qy::env
