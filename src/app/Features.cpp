#include "app/Features.h"

#include "app/ConsoleFeatures.h"
#include "app/DebugFeatures.h"
#include "app/EditingFeatures.h"
#include "app/EnvFeatures.h"
#include "app/FindFeatures.h"
#include "app/InfoMenu.h"
#include "app/MainWindow.h"
#include "app/NetworkFeatures.h"
#include "app/PageBreakFeatures.h"
#include "app/PageFeatures.h"
#include "app/ServeFeatures.h"
#include "app/TargetFeatures.h"
#include "app/TransformFeatures.h"
#include "app/TraceFeatures.h"
#include "app/WatchFeatures.h"
#include "app/WindowPlacement.h"
#include "editor/Editor.h"
#include "inspect/ObjectViewer.h"
#include "text/CodePage.h"

namespace qy::app {

void AttachFeatures(MainWindow& window) {
    AttachShell(window);
    KeepWindowsOnScreen(window);
    new EditingFeatures(window);
    new NetworkFeatures(window);
    new TransformFeatures(window);
    new TargetFeatures(window);
    new EnvFeatures(window);
    new PageFeatures(window);
    new ConsoleFeatures(window);
    new FindFeatures(window);
    auto* debug = new DebugFeatures(window);
    new WatchFeatures(window, *debug);
    new PageBreakFeatures(window, *debug);
    new TraceFeatures(window);
    new ServeFeatures(window);
    // An editor that stops colouring for its text's size says so once.
    for (int i = 0; i < 6; ++i) {
        editor::Editor* e = window.EditorAt(i);
        QObject::connect(e, &editor::Editor::PlainChanged, &window, [&window, e, i](bool plain) {
            if (!plain) return;
            const double megabytes = static_cast<double>(e->TextLength()) / (1024.0 * 1024.0);
            window.AppendLog(text::WideToAnsi(
                QStringLiteral("-->New%1 的代码太大（%2 MB）或有过长的行，不作语法着色，也不自动换行；"
                               "过长的行分段显示\r\n")
                    .arg(i)
                    .arg(megabytes, 0, 'f', 1)
                    .toStdU16String()));
        });
        QObject::connect(e, &editor::Editor::ShownInPieces, &window, [&window, i] {
            window.AppendLog(text::WideToAnsi(
                QStringLiteral("-->New%1 有超过 %2 字节的行，分段显示（每段约 %3 字节）：段尾的换行只是显示，"
                               "不属于代码；保存、运行、复制、热退出都是原文，行号和列号也按原文计\r\n")
                    .arg(i)
                    .arg(editor::Editor::kLongLine)
                    .arg(editor::Editor::kPiece)
                    .toStdU16String()));
        });
    }
    window.objectViewerOpener = [](const script::ObjectRef& object) { inspect::OpenObjectViewer(object); };
}

}  // namespace qy::app
