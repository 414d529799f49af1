#include "editor/BreakpointMenu.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>
#include <climits>

#include "editor/Editor.h"

namespace qy::editor {
namespace {

QString LineTitle(const QString& what, int64_t line) {
    return QStringLiteral("%1 - 第 %2 行").arg(what).arg(line + 1);
}

const QString kConditionLabel =
    QStringLiteral("条件表达式（为真时才暂停；留空表示每次都暂停）：");
const QString kHitCountLabel =
    QStringLiteral("从第几次命中起生效（0 表示每次命中都生效）：");
const QString kLogLabel =
    QStringLiteral("日志消息（命中时写入输出窗口而不暂停，{表达式} 处写入它的值，例如 x = {x}；"
                   "留空表示改回暂停）：");
const QString kNewLogLabel =
    QStringLiteral("日志消息（命中时写入输出窗口而不暂停，{表达式} 处写入它的值，例如 x = {x}）：");

bool AskText(Editor& editor, const QString& title, const QString& label, QString& value) {
    const BreakpointAsker& ask = editor.Asker();
    return ask.text && ask.text(&editor, title, label, value);
}

}  // namespace

BreakpointAsker DialogAsker() {
    BreakpointAsker asker;
    asker.text = [](QWidget* parent, const QString& title, const QString& label, QString& text) {
        bool ok = false;
        QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
        if (ok) text = answer;
        return ok;
    };
    asker.number = [](QWidget* parent, const QString& title, const QString& label, int& number) {
        bool ok = false;
        int answer = QInputDialog::getInt(parent, title, label, number, 0, INT_MAX, 1, &ok);
        if (ok) number = answer;
        return ok;
    };
    return asker;
}

void EditBreakpointCondition(Editor& editor, int64_t line) {
    std::optional<Breakpoint> bp = editor.BreakpointAt(line);
    if (!bp) return;
    QString condition = bp->condition;
    if (!AskText(editor, LineTitle(QStringLiteral("编辑条件"), line), kConditionLabel, condition)) return;
    bp->condition = condition.trimmed();
    editor.SetBreakpoint(*bp);
}

void EditBreakpointHitCount(Editor& editor, int64_t line) {
    std::optional<Breakpoint> bp = editor.BreakpointAt(line);
    const BreakpointAsker& ask = editor.Asker();
    if (!bp || !ask.number) return;
    int count = bp->hitCount;
    if (!ask.number(&editor, LineTitle(QStringLiteral("命中次数"), line), kHitCountLabel, count)) return;
    bp->hitCount = std::max(0, count);
    editor.SetBreakpoint(*bp);
}

void EditBreakpointLogMessage(Editor& editor, int64_t line) {
    std::optional<Breakpoint> bp = editor.BreakpointAt(line);
    if (!bp) return;
    QString message = bp->logMessage;
    if (!AskText(editor, LineTitle(QStringLiteral("日志消息"), line), kLogLabel, message)) return;
    // Blanks round a message are the user's own; a message of blanks only is none.
    bp->logMessage = message.trimmed().isEmpty() ? QString() : message;
    editor.SetBreakpoint(*bp);
}

void AddConditionalBreakpoint(Editor& editor, int64_t line) {
    if (line < 0 || line >= editor.LineCount() || editor.BreakpointAt(line)) return;
    QString condition;
    if (!AskText(editor, LineTitle(QStringLiteral("添加条件断点"), line), kConditionLabel, condition)) return;
    Breakpoint bp;
    bp.line = line;
    bp.condition = condition.trimmed();
    editor.SetBreakpoint(bp);
}

void AddLogpoint(Editor& editor, int64_t line) {
    if (line < 0 || line >= editor.LineCount() || editor.BreakpointAt(line)) return;
    QString message;
    if (!AskText(editor, LineTitle(QStringLiteral("添加日志点"), line), kNewLogLabel, message)) return;
    if (message.trimmed().isEmpty()) return;  // a logpoint without a message would be a silent pause
    Breakpoint bp;
    bp.line = line;
    bp.logMessage = message;
    editor.SetBreakpoint(bp);
}

void FillBreakpointMenu(Editor& editor, QMenu& menu, int64_t line) {
    auto add = [&](const QString& caption, auto action) {
        QAction* a = menu.addAction(caption);
        a->setObjectName(caption);
        QObject::connect(a, &QAction::triggered, &editor, [&editor, line, action] { action(editor, line); });
    };
    if (editor.BreakpointAt(line)) {
        add(QStringLiteral("编辑条件…"), EditBreakpointCondition);
        add(QStringLiteral("命中次数…"), EditBreakpointHitCount);
        add(QStringLiteral("日志消息…"), EditBreakpointLogMessage);
        menu.addSeparator();
        add(QStringLiteral("删除断点"), [](Editor& e, int64_t l) { e.RemoveBreakpoint(l); });
    } else {
        bool inside = line >= 0 && line < editor.LineCount();
        add(QStringLiteral("添加断点"), [](Editor& e, int64_t l) { e.ToggleBreakpoint(l); });
        add(QStringLiteral("添加条件断点…"), AddConditionalBreakpoint);
        add(QStringLiteral("添加日志点…"), AddLogpoint);
        for (QAction* a : menu.actions()) a->setEnabled(inside);
    }
}

}  // namespace qy::editor
