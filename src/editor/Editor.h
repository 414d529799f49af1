/** @file Editor.h
 * The workbench's code editor: one Scintilla component whose document is UTF-8 while
 * the workbench speaks its own code page. Every Scintilla message the workbench sends is
 * behind one named method here; texts in and out are workbench text, converted
 * losslessly, and positions are the document's own byte offsets.
 *
 * A text with a very long line (a minified bundle) is shown in pieces: the editor keeps
 * the text itself in a document of its own that is never shown, and shows a copy with
 * display breaks in the long lines, so that a keystroke lays out a short piece instead of
 * the whole line. Every method here still speaks of the text itself (positions, lines,
 * columns, the text, search, undo); only the screen shows the pieces.
 */
#pragma once

#include <Qsci/qsciscintillabase.h>

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/BreakpointMenu.h"
#include "editor/DisplayBreaks.h"
#include "text/ScriptFileText.h"

class QMenu;
class QMimeData;

namespace qy::editor {

/// Search flags as Scintilla takes them.
inline constexpr int kFindWholeWord = 2;
inline constexpr int kFindMatchCase = 4;
inline constexpr int kFindRegExp = 0x00200000;
inline constexpr int kFindCxx11RegExp = 0x00800000;

/// Markers of the symbol margin (margin 1). Scintilla draws higher numbers on top, so the
/// execution arrow covers a dot on the same line; the line highlight is a background
/// marker and is therefore kept out of every margin's mask.
inline constexpr int kMarkerBreakpoint = 1;             ///< red dot
inline constexpr int kMarkerConditionalBreakpoint = 2;  ///< red rounded square: a condition or a hit count
inline constexpr int kMarkerLogpoint = 3;               ///< orange diamond: logs, never pauses
inline constexpr int kMarkerExecutionLine = 4;          ///< yellow background of the paused line
inline constexpr int kMarkerExecutionArrow = 5;         ///< yellow arrow in the symbol margin

/// A breakpoint of one editor's document.
///
/// A hit is each time a run reaches the line and the condition (if any) is true. With
/// hitCount 0 the breakpoint acts on every hit; with hitCount N it acts on the N-th hit
/// and on every one after it, counted from the start of the run. Acting means pausing, or,
/// for a logpoint, writing its message to the output log (a logpoint never pauses).
struct Breakpoint {
    int64_t line = 0;     ///< 0-based line of the document, kept current as the text is edited
    QString condition;    ///< empty: no condition; otherwise act only while the expression is true
    int hitCount = 0;     ///< 0: every hit; N: from the N-th hit on (never negative)
    QString logMessage;   ///< non-empty: a logpoint; `{expression}` parts are replaced by their values

    bool IsLogpoint() const { return !logMessage.isEmpty(); }
    bool operator==(const Breakpoint&) const = default;
};

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
    ~Editor() override;

    /// The editor's breakpoints in line order, with their lines as they are now. Editing
    /// moves a breakpoint with its line; when lines are joined, the breakpoint already on
    /// the joined line stays and the ones that came with the removed lines go, so a line
    /// never has more than one.
    std::vector<Breakpoint> Breakpoints() const;
    /// The breakpoint on `line`, if there is one.
    std::optional<Breakpoint> BreakpointAt(int64_t line) const;
    /// Adds a plain breakpoint on `line`, or removes the one there. Lines outside the
    /// document are left alone. A click in the symbol margin and F9 on the caret's line do this.
    void ToggleBreakpoint(int64_t line);
    /// Adds `bp`, or replaces the one on bp.line; a negative hit count is taken as 0.
    /// Lines outside the document are left alone.
    void SetBreakpoint(const Breakpoint& bp);
    void RemoveBreakpoint(int64_t line);
    void ClearBreakpoints();
    /// Marks `line` as the place a paused run stands: a yellow arrow in the symbol margin and
    /// a highlighted line, scrolled into view (the caret stays where it is). -1, or any line
    /// outside the document, removes the mark. The mark moves with its line as text is edited.
    void ShowExecutionPoint(int64_t line);
    /// The line of the execution mark, or -1 when there is none.
    int64_t ExecutionPoint() const;
    /// The dialogs the breakpoint menu asks with (the tests answer in their place).
    void SetBreakpointAsker(BreakpointAsker asker) { m_asker = std::move(asker); }
    const BreakpointAsker& Asker() const { return m_asker; }
    /// The margin (0, 1, 2) under viewport x coordinate `x`, or -1 for the text area.
    int MarginAt(int x) const;
    /// The document line shown at viewport y coordinate `y` (the last line below the text).
    int64_t LineAtY(int y) const;

    int64_t TextLength() const;
    /// The first `length` bytes of the document (all of it by default), as workbench text.
    std::string Text(int64_t length = -1) const;
    /// The document as the editor holds it (UTF-8): a copy with no conversion, for work
    /// that converts it elsewhere.
    std::string Utf8Text() const;
    /// Replaces the whole text. Breakpoints on lines that the new text still has stay on
    /// those lines, the others are dropped; the execution mark goes (it stood in the old text).
    void SetText(const std::string& ansi);
    /// Inserts at the caret: length -1 means the whole text, below -1 nothing, beyond
    /// the text's length the whole text.
    void AddText(const std::string& ansi, int64_t length = -1);
    /// Empties the document; as SetText(""), only a breakpoint on the first line stays.
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
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
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
    /// A text larger than this, or with a line longer than kLongLine, is shown plain:
    /// neither coloured nor wrapped, so that typing stays quick.
    static constexpr int64_t kColouringLimit = 8 * 1024 * 1024;
    static constexpr int64_t kLongLine = 100000;
    /// Whether the text is shown plain for its size.
    bool Plain() const { return m_plain; }
    /// Lines longer than this are shown in pieces of about kPiece bytes once the text has
    /// a line longer than kLongLine.
    static constexpr int64_t kPieceOver = 4096;
    static constexpr int64_t kPiece = 100;
    /// Whether long lines are shown in pieces (the shown document is not the text).
    bool InPieces() const { return m_model != nullptr; }
    /// The shown document as it is, display breaks included (for tests of the display).
    std::string ShownUtf8() const;
    /// Widens the number margin to the largest line number of the text (never below 30
    /// pixels); runs by itself whenever the text changes once the editor is configured.
    void FitNumberMargin();

    const FileOrigin& Origin() const { return m_origin; }
    void SetOrigin(FileOrigin origin) { m_origin = std::move(origin); }

    /// Raw read-back for tests of the configuration.
    long Query(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;

signals:
    /// The list Breakpoints() returns has changed: one added, removed or edited, or lines
    /// moved by an edit above them. After an edit it comes while Scintilla still reports
    /// the modification: a receiver reads the breakpoints but leaves the text alone.
    void BreakpointsChanged();
    /// The text became too large for colouring (true), or small enough again (false).
    void PlainChanged(bool plain);
    /// Long lines are now shown in pieces.
    void ShownInPieces();

protected:
    bool event(QEvent* event) override;
    /// Ctrl+wheel zooms instead of scrolling.
    void wheelEvent(QWheelEvent* event) override;
    /// Ctrl+plus/minus/0 zoom; F9 toggles the breakpoint on the caret's line.
    void keyPressEvent(QKeyEvent* event) override;
    /// A mouse right-click into the symbol margin opens the breakpoint menu of that line,
    /// anywhere else the editing menu.
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Input that edits is one undo step, after which long pieces are broken again.
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    /// What is copied, cut or dragged is the text itself, without display breaks.
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;
    /// A paste that brings a very long line shows it in pieces from the start.
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;

private:
    /// A breakpoint and the Scintilla marker that carries its line through edits.
    struct BreakpointMark {
        Breakpoint bp;   ///< bp.line is the line last seen, updated by SyncBreakpointLines
        int handle = -1;
    };

    void ApplyInitialSettings();
    void DefineDebugMarkers();
    void OnMarginClick(int position, int modifiers, int margin);
    void OnModified(int position, int modificationType, const char* text, int length, int linesAdded);
    /// Reads every breakpoint's line back from its marker and drops the extra ones that a
    /// join put on one line; says whether anything changed.
    bool SyncBreakpointLines();
    BreakpointMark* FindBreakpoint(int64_t line);
    int AddBreakpointMarker(const Breakpoint& bp);
    void RemoveAllDebugMarkers();
    /// Runs `replace`, which puts a new text in, and keeps the breakpoints whose lines remain.
    void KeepBreakpointsAcross(const std::function<void()>& replace);
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;

    // The pieces view (EditorPieces.cpp).
    /// One change of the text: `bytes` put in at `at`, or taken out from there.
    struct Change {
        bool insert = true;
        int64_t at = 0;
        std::string bytes;
    };
    /// The changes one undo takes back together.
    struct Step {
        std::vector<Change> changes;
        bool typing = false;  ///< a run of typed characters, which the next one may join
    };
    /// Messages about the text go to the document that holds it.
    long Doc(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    int64_t ToShown(int64_t pos) const { return m_model ? m_breaks.ToShown(pos) : pos; }
    int64_t ToText(int64_t shown) const { return m_model ? m_breaks.ToText(shown) : shown; }
    /// The shown line where text line `line` starts, and the text line of a shown line.
    int64_t ShownLine(int64_t line) const;
    int64_t TextLine(int64_t shownLine) const;
    std::string DocRange(int64_t from, int64_t to) const;
    /// Starts the pieces view on the text as it is now; the undo history starts afresh.
    void EnterPieces();
    /// Puts `utf8` into the text and the pieces view (one undo step).
    void SetTextInPieces(const std::string& utf8);
    /// Follows an edit of the shown document in the text and the undo history; a paste
    /// that came broken into pieces names its breaks in `breaks` (shown positions).
    void MirrorEdit(bool insert, int64_t shown, int64_t length, const char* text, std::vector<int64_t>& breaks);
    /// Changes the shown document without following it in the text.
    void ShowReplace(int64_t shownFrom, int64_t shownTo, const std::string& bytes);
    void Record(Change change);
    void Replay(const Step& step, bool backwards);
    /// Breaks the shown lines touched since the last call that are longer than kPieceOver.
    void BreakTouched();
    void BeginEdit(bool typing = false);
    void EndEdit();
    void FillPieceNumbers();

    /// The last column counted: counting goes on from there on the same line, as long as
    /// no edit came before it (a line of megabytes is not counted again at each caret move).
    struct ColumnMark {
        int64_t lineStart = -1;
        int64_t pos = 0;
        int64_t column = 0;
    };
    mutable ColumnMark m_column;
    QsciScintillaBase* m_model = nullptr;  ///< holds the text while pieces are shown (never shown)
    DisplayBreaks m_breaks;
    int m_quiet = 0;       ///< the editor itself is changing the shown document
    int m_editDepth = 0;   ///< inside a user's edit
    bool m_stepOpen = false;
    bool m_typing = false;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
    std::vector<std::pair<int64_t, int64_t>> m_touched;  ///< shown ranges edited since the last break
    bool m_breakQueued = false;
    /// A paste handed to the editor already in pieces: its shown bytes and its breaks'
    /// offsets in them.
    struct Paste {
        std::string shown;
        std::vector<int64_t> breaks;
    };
    mutable std::optional<Paste> m_paste;
    bool m_ownPaste = false;
    /// Pastes the clipboard in pieces when it brings a long line; false when it does not
    /// (the editor's own paste takes it then).
    bool PasteInPieces();

    FileOrigin m_origin;
    bool m_numbersShown = false;
    bool m_coloured = false;  ///< configured with colouring (ConfigureEditor)
    bool m_plain = false;
    int64_t m_sizeChecked = 0;
    void ApplyColouring();
    void FitToSize(bool always = false);
    bool HasLineLongerThan(int64_t limit) const;
    int m_numberDigits = 0;
    static constexpr int kWheelNotch = 120;
    int m_zoomWheel = 0;  ///< Ctrl+wheel turn not yet a whole notch
    std::vector<BreakpointMark> m_breakpoints;  ///< in line order after every change
    int m_executionArrow = -1;                  ///< marker handles of the execution mark
    int m_executionLine = -1;
    BreakpointAsker m_asker;
};

}  // namespace qy::editor
