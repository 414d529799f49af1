#include "editor/Editor.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QWheelEvent>
#include <algorithm>

#include "text/CodePage.h"

namespace qy::editor {
namespace {

// Scintilla's text-range structures, in the layout its messages read.
struct CharacterRange {
    long cpMin;
    long cpMax;
};
struct TextToFind {
    CharacterRange chrg;
    const char* lpstrText;
    CharacterRange chrgText;
};

constexpr long Rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

constexpr long kNavy = Rgb(0, 0, 128);
constexpr long kWhite = Rgb(255, 255, 255);
constexpr long kBlack = 0;
constexpr long kGreen = Rgb(0, 128, 0);
constexpr long kRed = Rgb(255, 0, 0);
constexpr long kGrey = Rgb(128, 128, 128);
constexpr long kOperator = Rgb(40, 25, 100);

constexpr const char* kJsKeywords =
    "break delete function return typeof case do if switch var catch else in this void continue false "
    "instanceof throw while debugger finally new true with default for null try";
constexpr const char* kBrowserWords = "history window document location";

}  // namespace

Editor::Editor(QWidget* parent) : QsciScintillaBase(parent) {
    ApplyInitialSettings();
    connect(this, &QsciScintillaBase::SCN_MARGINCLICK, this, &Editor::OnMarginClick);
    connect(this, &QsciScintillaBase::SCEN_CHANGE, this, [this] {
        if (m_numbersShown) FitNumberMargin();
    });
}

long Editor::Send(unsigned int message, unsigned long wParam, long lParam) const {
    return SendScintilla(message, wParam, lParam);
}

long Editor::Query(unsigned int message, unsigned long wParam, long lParam) const {
    return Send(message, wParam, lParam);
}

void Editor::ApplyInitialSettings() {
    // The document is UTF-8; the workbench's text is converted at this edge.
    Send(SCI_SETCODEPAGE, SC_CP_UTF8);
    Send(SCI_SETMARGINWIDTHN, 1, 0);
    Send(SCI_SETREADONLY, 0);
    Send(SCI_SETHSCROLLBAR, 0);
    Send(SCI_SETVSCROLLBAR, 0);
    Send(SCI_SETVIEWWS, 0);
    Send(SCI_SETWHITESPACEFORE, 1, kBlack);
    Send(SCI_SETWHITESPACEBACK, 1, kWhite);
    Send(SCI_SETCURSOR, static_cast<unsigned long>(-1));
    Send(SCI_SETEOLMODE, SC_EOL_CRLF);
    Send(SCI_SETVIEWEOL, 0);
    Send(SCI_SETSELFORE, 1, kWhite);
    Send(SCI_SETSELBACK, 1, kNavy);
    Send(SCI_SETCARETFORE, kBlack);
    Send(SCI_SETCARETLINEVISIBLE, 0);
    Send(SCI_SETCARETLINEBACK, kWhite);
    Send(SCI_SETINDENTATIONGUIDES, 0);
    Send(SCI_SETWRAPMODE, 0);
}

void Editor::ConfigureEditor() {
    Send(SCI_SETMARGINWIDTHN, 0, 30);
    Send(SCI_SETMARGINTYPEN, 0, SC_MARGIN_NUMBER);
    Send(SCI_SETMARGINSENSITIVEN, 0, 1);
    Send(SCI_SETMARGINWIDTHN, 1, 13);
    SendScintilla(SCI_SETPROPERTY, "fold", "1");
    SendScintilla(SCI_SETPROPERTY, "fold.compact", "0");
    Send(SCI_SETMARGINWIDTHN, 2, 13);
    Send(SCI_SETMARGINMASKN, 2, static_cast<long>(SC_MASK_FOLDERS));
    Send(SCI_STYLESETFORE, STYLE_LINENUMBER, kBlack);
    Send(SCI_STYLESETBACK, STYLE_LINENUMBER, kWhite);
    Send(SCI_SETMARGINSENSITIVEN, 2, 1);
    Send(SCI_SETFOLDFLAGS, SC_FOLDFLAG_LINEAFTER_CONTRACTED);
    const int markers[][2] = {{SC_MARKNUM_FOLDEROPEN, SC_MARK_BOXMINUS},       {SC_MARKNUM_FOLDER, SC_MARK_BOXPLUS},
                              {SC_MARKNUM_FOLDERSUB, SC_MARK_VLINE},           {SC_MARKNUM_FOLDERTAIL, SC_MARK_LCORNER},
                              {SC_MARKNUM_FOLDEREND, SC_MARK_BOXPLUSCONNECTED}, {SC_MARKNUM_FOLDEROPENMID, SC_MARK_BOXMINUSCONNECTED},
                              {SC_MARKNUM_FOLDERMIDTAIL, SC_MARK_TCORNER}};
    for (const auto& m : markers) {
        Send(SCI_MARKERDEFINE, m[0], m[1]);
        Send(SCI_MARKERSETFORE, m[0], kWhite);
        Send(SCI_MARKERSETBACK, m[0], kGrey);
    }
    Send(SCI_SETLEXER, SCLEX_CPP);
    // This Scintilla gives a newly set lexer fresh properties, so folding is switched on
    // again once the lexer is in place.
    SendScintilla(SCI_SETPROPERTY, "fold", "1");
    SendScintilla(SCI_SETPROPERTY, "fold.compact", "0");
    const long styles[][2] = {{0, kBlack}, {1, kGreen},  {10, kOperator}, {6, kGrey}, {2, kGreen},
                              {5, kNavy},  {16, kRed},   {12, kGrey},     {4, kRed},  {14, kGrey}};
    for (const auto& s : styles) Send(SCI_STYLESETFORE, static_cast<unsigned long>(s[0]), s[1]);
    SendScintilla(SCI_SETKEYWORDS, 0UL, kJsKeywords);
    SendScintilla(SCI_SETKEYWORDS, 1UL, kBrowserWords);
    Send(SCI_SETHSCROLLBAR, 0);
    Send(SCI_SETVSCROLLBAR, 1);
    Send(SCI_SETWRAPMODE, SC_WRAP_WORD);
    move(0, y());
    move(x(), 0);
    resize(822, height());
    resize(width(), 344);
    m_numbersShown = true;
    m_numberDigits = 0;
    FitNumberMargin();
}

void Editor::FitNumberMargin() {
    constexpr long kLeastWidth = 30;
    constexpr long kPadding = 8;
    int digits = 1;
    for (long lines = Send(SCI_GETLINECOUNT); lines >= 10; lines /= 10) ++digits;
    if (digits == m_numberDigits) return;
    m_numberDigits = digits;
    const std::string widest(static_cast<size_t>(digits), '9');
    long width = SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_LINENUMBER), widest.c_str()) + kPadding;
    Send(SCI_SETMARGINWIDTHN, 0, std::max(kLeastWidth, width));
}

void Editor::OnMarginClick(int position, int, int margin) {
    if (margin != 2) return;
    ToggleFold(LineFromPosition(position));
}

int64_t Editor::TextLength() const { return Send(SCI_GETLENGTH); }

std::string Editor::Text(int64_t length) const {
    int64_t total = TextLength();
    if (length < 0 || length > total) length = total;
    if (length == 0) return "";
    std::string utf8(static_cast<size_t>(length) + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), utf8.data());
    utf8.resize(static_cast<size_t>(length));
    return text::EditorUtf8ToAnsi(utf8);
}

void Editor::SetText(const std::string& ansi) {
    std::string utf8 = text::AnsiToEditorUtf8(ansi);
    SendScintilla(SCI_SETTEXT, 0UL, utf8.c_str());
}

void Editor::AddText(const std::string& ansi, int64_t length) {
    if (length < -1) return;
    if (length == -1 || length > static_cast<int64_t>(ansi.size())) length = static_cast<int64_t>(ansi.size());
    std::string utf8 = text::AnsiToEditorUtf8(std::string_view(ansi).substr(0, static_cast<size_t>(length)));
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
}

void Editor::ClearAll() { Send(SCI_CLEARALL); }

void Editor::ClearSelection() { Send(SCI_CLEAR); }

bool Editor::FindText(int flags, int64_t start, int64_t end, const std::string& ansi, int64_t& matchStart,
                      int64_t& matchEnd) const {
    std::string utf8 = text::AnsiToEditorUtf8(ansi);
    TextToFind ttf{{static_cast<long>(start), static_cast<long>(end)}, utf8.c_str(), {0, 0}};
    long found = SendScintilla(SCI_FINDTEXT, static_cast<unsigned long>(flags), reinterpret_cast<long>(&ttf));
    if (found < 0) return false;
    matchStart = ttf.chrgText.cpMin;
    matchEnd = ttf.chrgText.cpMax;
    return true;
}

void Editor::SetSel(int64_t anchor, int64_t caret) {
    if (anchor < 0) return;
    Send(SCI_SETSEL, static_cast<unsigned long>(anchor), static_cast<long>(caret));
}

int64_t Editor::CurrentPos() const { return Send(SCI_GETCURRENTPOS); }
int64_t Editor::Anchor() const { return Send(SCI_GETANCHOR); }
int64_t Editor::LineCount() const { return Send(SCI_GETLINECOUNT); }

int64_t Editor::ColumnFromPosition(int64_t pos) const {
    int64_t lineStart = PositionFromLine(LineFromPosition(pos));
    if (pos <= lineStart) return 0;
    return Send(SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineStart), static_cast<long>(pos));
}

void Editor::GoToLine(int64_t line) {
    line = std::clamp<int64_t>(line, 0, std::max<int64_t>(0, LineCount() - 1));
    Send(SCI_ENSUREVISIBLE, static_cast<unsigned long>(line));
    Send(SCI_GOTOLINE, static_cast<unsigned long>(line));
}

void Editor::EmptyUndoBuffer() { Send(SCI_EMPTYUNDOBUFFER); }
void Editor::ZoomIn() { Send(SCI_ZOOMIN); }
void Editor::ZoomOut() { Send(SCI_ZOOMOUT); }
void Editor::ResetZoom() { Send(SCI_SETZOOM, 0); }
int Editor::Zoom() const { return static_cast<int>(Send(SCI_GETZOOM)); }

void Editor::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        int steps = event->angleDelta().y();
        if (steps > 0) ZoomIn();
        else if (steps < 0) ZoomOut();
        event->accept();
        return;
    }
    QsciScintillaBase::wheelEvent(event);
}

void Editor::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal: ZoomIn(); event->accept(); return;
            case Qt::Key_Minus: ZoomOut(); event->accept(); return;
            case Qt::Key_0: ResetZoom(); event->accept(); return;
            default: break;
        }
    }
    QsciScintillaBase::keyPressEvent(event);
}

void Editor::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("编辑菜单"));
    FillContextMenu(menu);
    menu.exec(event->globalPos());
    event->accept();
}

void Editor::FillContextMenu(QMenu& menu) {
    bool readOnly = Send(SCI_GETREADONLY) != 0;
    bool selection = SelectionStart() != SelectionEnd();
    auto add = [&](const QString& caption, unsigned int message, bool enabled) {
        QAction* a = menu.addAction(caption);
        a->setObjectName(caption);
        a->setEnabled(enabled);
        connect(a, &QAction::triggered, this, [this, message] { Send(message); });
    };
    add(QStringLiteral("撤销"), SCI_UNDO, !readOnly && Send(SCI_CANUNDO) != 0);
    add(QStringLiteral("重做"), SCI_REDO, !readOnly && Send(SCI_CANREDO) != 0);
    menu.addSeparator();
    add(QStringLiteral("剪切"), SCI_CUT, !readOnly && selection);
    add(QStringLiteral("复制"), SCI_COPY, selection);
    add(QStringLiteral("粘贴"), SCI_PASTE, !readOnly && Send(SCI_CANPASTE) != 0);
    add(QStringLiteral("删除"), SCI_CLEAR, !readOnly && selection);
    menu.addSeparator();
    add(QStringLiteral("全选"), SCI_SELECTALL, TextLength() > 0);
}
int64_t Editor::SelectionStart() const { return Send(SCI_GETSELECTIONSTART); }
int64_t Editor::SelectionEnd() const { return Send(SCI_GETSELECTIONEND); }

int64_t Editor::LineFromPosition(int64_t pos) const {
    return pos < 0 ? 0 : Send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
}

int64_t Editor::PositionFromLine(int64_t line) const {
    return line < 0 ? 0 : Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

int64_t Editor::LineEndPosition(int64_t line) const {
    return line < 0 ? 0 : Send(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
}

void Editor::ToggleFold(int64_t line) { Send(SCI_TOGGLEFOLD, static_cast<unsigned long>(line)); }

bool Editor::LineVisible(int64_t line) const { return Send(SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)) != 0; }

}  // namespace qy::editor
