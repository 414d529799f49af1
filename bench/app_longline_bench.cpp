// Keystroke latency in the real main window on a minified bundle of about 20 MB that is
// one single line: from the key press to the end of the repaint it causes. Figures:
// BM_TypeIntoLongLine/0 (letters typed one after another in the middle of the line),
// BM_TypeIntoLongLine/1 (at its end), BM_TypeIntoShortText (the same window with
// jquery.js, for comparison). The goal is well
// under a second per key on the long line.
//
// Runs offscreen by default; under Xvfb (QT_QPA_PLATFORM=xcb) the paint goes to a real
// X server. `QY_LONGLINE_MB` changes the size of the line.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "app/Features.h"
#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "script/Engine.h"

using namespace qy;

namespace {

/// A minified bundle: jquery.min.js repeated, its line breaks taken out, to `bytes`.
std::string OneLineBundle(size_t bytes) {
    std::string piece = ReadFile("/usr/share/javascript/jquery/jquery.min.js");
    if (piece.empty()) piece = "var a=function(b){return b+1};";
    for (char& c : piece)
        if (c == '\n' || c == '\r') c = ';';
    std::string text;
    text.reserve(bytes + piece.size());
    while (text.size() < bytes) text += piece;
    text.resize(bytes);
    return text;
}

size_t LongLineBytes() {
    const char* mb = getenv("QY_LONGLINE_MB");
    const long n = mb ? std::atol(mb) : 20;
    return static_cast<size_t>(n > 0 ? n : 20) * 1024 * 1024;
}

/// One key as the user types it: pressed, released, and the window's repaint done.
void TypeKey(app::MainWindow& window, editor::Editor* e, Qt::Key key) {
    QTest::keyClick(e, key);
    e->viewport()->repaint();
    QApplication::processEvents();
    (void)window;
}

void TypeInto(benchmark::State& state, const std::string& text, bool atEnd) {
    app::MainWindow window;
    app::AttachFeatures(window);
    window.show();
    editor::Editor* e = window.EditorAt(0);
    e->SetText(text);
    e->setFocus();
    QApplication::processEvents();
    const int64_t at = atEnd ? e->TextLength() : e->TextLength() / 2;
    e->SetSel(at, at);
    QApplication::processEvents();
    for (auto _ : state) TypeKey(window, e, Qt::Key_A);
}

void BM_TypeIntoLongLine(benchmark::State& state) {
    TypeInto(state, OneLineBundle(LongLineBytes()), state.range(0) != 0);
}
void BM_TypeIntoShortText(benchmark::State& state) {
    TypeInto(state, ReadFile("/usr/share/javascript/jquery/jquery.js"), false);
}

}  // namespace

BENCHMARK(BM_TypeIntoLongLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(8)->UseRealTime();
BENCHMARK(BM_TypeIntoShortText)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (!script::StartEngine()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    script::StopEngine();
    return 0;
}
