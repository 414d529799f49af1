/** @file BreakpointMenu.h
 * The breakpoint menu of the editor's symbol margin: on a line with a breakpoint its
 * condition, hit count and log message are edited or it is removed; on a line without one
 * a plain, conditional or logging breakpoint is added. The questions go through an asker,
 * so that the window shows dialogs and the tests answer directly.
 */
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

namespace qy::editor {

class Editor;

/// The questions the breakpoint menu asks. Each gets the current value in its last
/// argument, writes the answer there and returns false when the user cancels.
struct BreakpointAsker {
    std::function<bool(QWidget* parent, const QString& title, const QString& label, QString& text)> text;
    std::function<bool(QWidget* parent, const QString& title, const QString& label, int& number)> number;
};

/// Asks with Chinese input dialogs (a line of text; a whole number from 0 up).
BreakpointAsker DialogAsker();

/// Fills `menu` with the breakpoint actions for `line` of `editor`, each action named by
/// its caption: with a breakpoint on the line 编辑条件…, 命中次数…, 日志消息…, 删除断点;
/// without one 添加断点, 添加条件断点…, 添加日志点….
void FillBreakpointMenu(Editor& editor, QMenu& menu, int64_t line);

/// What the actions do, callable without a menu.
void EditBreakpointCondition(Editor& editor, int64_t line);
void EditBreakpointHitCount(Editor& editor, int64_t line);
void EditBreakpointLogMessage(Editor& editor, int64_t line);
void AddConditionalBreakpoint(Editor& editor, int64_t line);
void AddLogpoint(Editor& editor, int64_t line);

}  // namespace qy::editor
