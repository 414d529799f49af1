// Whole pages and the HTML parser in the browser environment:
//   BM_ParsePage                - the parser alone on a 1 MB page
//   BM_LoadPage/<target>        - Reset with that page: its document built, its 20 inline
//                                 scripts run, its load events sent
//   BM_InnerHtmlWrites/<target> - 10,000 innerHTML writes of a small fragment
// The same page and writes timed in headless Chromium are in README's figures.
#include <benchmark/benchmark.h>

#include <string>

#include "env/PageHost.h"
#include "page/HtmlTree.h"
#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

using namespace qy::script;

/// About 1 MB of markup as pages have it (lists, tables, links, text, entities) with 20
/// inline scripts spread through it.
std::string BigPage() {
    std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><meta name=\"token\" content=\"abc\">"
                       "<title>Big page</title><script>var seen = 0;</script></head><body>";
    int block = 0, scripts = 1;
    while (page.size() < 1000000) {
        page += "<div class=\"item row-" + std::to_string(block) + "\" id=\"item" + std::to_string(block) +
                "\" data-k=\"v\"><h3>Title &amp; more " + std::to_string(block) +
                "</h3><p>Some text <a href=\"/x?id=" + std::to_string(block) + "&amp;y=1\">link</a> and <b>bold<i>italic</b> "
                "tail</i></p><ul><li>one<li>two<li>three</ul><table><tr><td>1<td>2</tr></table></div>\n";
        ++block;
        if (page.size() > static_cast<size_t>(scripts) * 50000 && scripts < 20) {
            page += "<script>seen += document.getElementsByTagName('meta').length; window.s" + std::to_string(scripts) +
                    " = seen;</script>\n";
            ++scripts;
        }
    }
    return page + "</body></html>";
}

static void BM_ParsePage(benchmark::State& state) {
    std::string page = BigPage();
    for (auto _ : state) benchmark::DoNotOptimize(qy::page::ParseDocument(page).items.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ParsePage)->Unit(benchmark::kMillisecond);

static ScriptHost HostOf(ScriptTarget target) {
    ScopedScriptTarget scoped(target);
    ScriptHost host;
    host.SetLanguage("JScript");
    SetProperty(host.Control(), "BrowserEnvironment", true);
    SetProperty(host.Control(), "PageAddress", std::string("https://www.example.com/"));
    return host;
}

static void BM_LoadPage(benchmark::State& state) {
    ScriptTarget target = state.range(0) == 0 ? ScriptTarget::JScript58 : ScriptTarget::ES2021;
    qy::env::PageSetup setup;
    setup.html = qy::text::Utf8ToUtf16(BigPage());
    qy::env::SetPageSetup(setup);
    ScriptHost host = HostOf(target);
    for (auto _ : state) host.Reset();
    if (VariantToText(host.Eval("typeof s19")) != "number")
        state.SkipWithError("the page did not load");
    qy::env::SetPageSetup({});
    state.SetLabel(TargetKey(target));
}
BENCHMARK(BM_LoadPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_InnerHtmlWrites(benchmark::State& state) {
    ScriptTarget target = state.range(0) == 0 ? ScriptTarget::JScript58 : ScriptTarget::ES2021;
    ScriptHost host = HostOf(target);
    host.Reset();
    host.AddCode("var box = document.createElement('div');");
    for (auto _ : state)
        host.AddCode("for (var i = 0; i < 10000; i++) box.innerHTML = '<p class=\"x\">a <b>b</b> &amp; c</p>';");
    state.SetLabel(TargetKey(target));
}
BENCHMARK(BM_InnerHtmlWrites)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!StartEngine()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopEngine();
    return 0;
}
