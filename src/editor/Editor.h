/** @file Editor.h
 * The workbench's code editor: one Scintilla component whose document is UTF-8 while
 * the workbench speaks its own code page. Every Scintilla message the workbench sends is
 * behind one named method here; texts in and out are workbench text, converted
 * losslessly, and positions are the document's own byte offsets.
 */
#pragma once

#include <Qsci/qsciscintillabase.h>

#include <QString>
#include <cstdint>
#include <string>

#include "text/ScriptFileText.h"

class QMenu;

namespace qy::editor {

/// Search flags as Scintilla takes them.
inline constexpr int kFindWholeWord = 2;
inline constexpr int kFindMatchCase = 4;
inline constexpr int kFindRegExp = 0x00200000;
inline constexpr int kFindCxx11RegExp = 0x00800000;

/// The file the editor's text was last opened from (or exported to), as it was read.
struct FileOrigin {
    QString path;
    text::FileEncoding encoding = text::FileEncoding::Gbk;
    bool cut = false;         ///< a zero byte ended the text when it was opened
    size_t keptBytes = 0;
    size_t droppedBytes = 0;
};

class Editor : public QsciScintillaBase {
    Q_OBJECT
public:
    explicit Editor(QWidget* parent = nullptr);

    int64_t TextLength() const;
    /// The first `length` bytes of the document (all of it by default), as workbench text.
    std::string Text(int64_t length = -1) const;
    void SetText(const std::string& ansi);
    /// Inserts at the caret: length -1 means the whole text, below -1 nothing, beyond
    /// the text's length the whole text.
    void AddText(const std::string& ansi, int64_t length = -1);
    void ClearAll();
    void ClearSelection();
    /// Searches [start, end) for `ansi`; on a match writes its bounds and returns true,
    /// otherwise leaves them as they were.
    bool FindText(int flags, int64_t start, int64_t end, const std::string& ansi, int64_t& matchStart,
                  int64_t& matchEnd) const;
    /// Anchor and caret; nothing happens for a negative anchor. The caret is scrolled into view.
    void SetSel(int64_t anchor, int64_t caret);
    int64_t CurrentPos() const;
    int64_t Anchor() const;
    int64_t LineCount() const;
    /// Column of `pos` within its line, counted in characters (a tab counts as one).
    int64_t ColumnFromPosition(int64_t pos) const;
    /// Puts the caret at the start of `line` (0-based, clamped) with the line in view,
    /// unfolding it when it is hidden in a fold.
    void GoToLine(int64_t line);
    /// Forgets the undo history, so that undo never takes back a text put in by the program.
    void EmptyUndoBuffer();
    void ZoomIn();
    void ZoomOut();
    void ResetZoom();
    int Zoom() const;
    /// The editor's own context menu, in Chinese: 撤销, 重做, 剪切, 复制, 粘贴, 删除, 全选,
    /// each enabled as it applies.
    void FillContextMenu(QMenu& menu);
    int64_t SelectionStart() const;
    int64_t SelectionEnd() const;
    int64_t LineFromPosition(int64_t pos) const;
    int64_t PositionFromLine(int64_t line) const;
    int64_t LineEndPosition(int64_t line) const;
    void ToggleFold(int64_t line);
    bool LineVisible(int64_t line) const;

    /// Line numbers, folding, the JavaScript lexer and colours, word wrap, scroll bars and
    /// the editor's place in its tab page.
    void ConfigureEditor();
    /// Widens the number margin to the largest line number of the text (never below 30
    /// pixels); runs by itself whenever the text changes once the editor is configured.
    void FitNumberMargin();

    const FileOrigin& Origin() const { return m_origin; }
    void SetOrigin(FileOrigin origin) { m_origin = std::move(origin); }

    /// Raw read-back for tests of the configuration.
    long Query(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;

protected:
    /// Ctrl+wheel zooms instead of scrolling.
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ApplyInitialSettings();
    void OnMarginClick(int position, int modifiers, int margin);
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;

    FileOrigin m_origin;
    bool m_numbersShown = false;
    int m_numberDigits = 0;
};

}  // namespace qy::editor
