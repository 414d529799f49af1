#include "editor/Editor.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

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

constexpr long kDarkRed = Rgb(128, 0, 0);
constexpr long kBreakpointRed = Rgb(230, 20, 20);
constexpr long kArrowYellow = Rgb(255, 215, 0);
constexpr long kArrowOutline = Rgb(120, 90, 0);
constexpr long kPausedLine = Rgb(255, 250, 150);
constexpr unsigned long kSymbolMarginMask = (1ul << kMarkerBreakpoint) | (1ul << kMarkerConditionalBreakpoint) |
                                            (1ul << kMarkerLogpoint) | (1ul << kMarkerExecutionArrow);

bool IsF9(const QKeyEvent* event) {
    return event->key() == Qt::Key_F9 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

int MarkerFor(const Breakpoint& bp) {
    if (bp.IsLogpoint()) return kMarkerLogpoint;
    if (!bp.condition.isEmpty() || bp.hitCount > 0) return kMarkerConditionalBreakpoint;
    return kMarkerBreakpoint;
}

constexpr const char* kJsKeywords =
    "break delete function return typeof case do if switch var catch else in this void continue false "
    "instanceof throw while debugger finally new true with default for null try";
constexpr const char* kBrowserWords = "history window document location";

}  // namespace

Editor::Editor(QWidget* parent) : QsciScintillaBase(parent), m_asker(DialogAsker()) {
    ApplyInitialSettings();
    DefineDebugMarkers();
    connect(this, &QsciScintillaBase::SCN_MARGINCLICK, this, &Editor::OnMarginClick);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int linesAdded, int, int, int, int, int) {
                OnModified(position, type, text, length, linesAdded);
            });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) {
        if (m_model) FillPieceNumbers();
    });
    connect(this, &QsciScintillaBase::SCEN_CHANGE, this, [this] {
        if (m_numbersShown) FitNumberMargin();
        FitToSize();
    });
    // Zoomed digits are wider or narrower: the number margin is measured again.
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, [this] {
        if (!m_numbersShown) return;
        m_numberDigits = 0;
        FitNumberMargin();
    });
}

Editor::~Editor() { delete m_model; }

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

void Editor::DefineDebugMarkers() {
    Send(SCI_MARKERDEFINE, kMarkerBreakpoint, SC_MARK_CIRCLE);
    Send(SCI_MARKERDEFINE, kMarkerConditionalBreakpoint, SC_MARK_ROUNDRECT);
    for (int m : {kMarkerBreakpoint, kMarkerConditionalBreakpoint}) {
        Send(SCI_MARKERSETFORE, m, kDarkRed);
        Send(SCI_MARKERSETBACK, m, kBreakpointRed);
    }
    // Scintilla of this version has no diamond symbol: the logpoint's is drawn here.
    constexpr int kSide = 11;
    QImage diamond(kSide, kSide, QImage::Format_RGBA8888);
    diamond.fill(Qt::transparent);
    {
        QPainter p(&diamond);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(150, 70, 0));
        p.setBrush(QColor(255, 140, 0));
        const double c = kSide / 2.0, r = kSide / 2.0 - 0.5;
        p.drawPolygon(QPolygonF({QPointF(c, c - r), QPointF(c + r, c), QPointF(c, c + r), QPointF(c - r, c)}));
    }
    // This port takes the image itself rather than its raw bytes.
    Send(SCI_RGBAIMAGESETWIDTH, kSide);
    Send(SCI_RGBAIMAGESETHEIGHT, kSide);
    SendScintilla(SCI_MARKERDEFINERGBAIMAGE, static_cast<unsigned long>(kMarkerLogpoint), diamond);
    Send(SCI_MARKERDEFINE, kMarkerExecutionArrow, SC_MARK_SHORTARROW);
    Send(SCI_MARKERSETFORE, kMarkerExecutionArrow, kArrowOutline);
    Send(SCI_MARKERSETBACK, kMarkerExecutionArrow, kArrowYellow);
    Send(SCI_MARKERDEFINE, kMarkerExecutionLine, SC_MARK_BACKGROUND);
    Send(SCI_MARKERSETBACK, kMarkerExecutionLine, kPausedLine);
    // A background marker colours its line only while no visible margin shows it.
    Send(SCI_SETMARGINMASKN, 1, static_cast<long>(kSymbolMarginMask));
}

void Editor::ConfigureEditor() {
    Send(SCI_SETMARGINWIDTHN, 0, 30);
    Send(SCI_SETMARGINTYPEN, 0, SC_MARGIN_NUMBER);
    Send(SCI_SETMARGINSENSITIVEN, 0, 1);
    Send(SCI_SETMARGINWIDTHN, 1, 13);
    Send(SCI_SETMARGINSENSITIVEN, 1, 1);  // breakpoints are toggled there
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
    const long styles[][2] = {{0, kBlack}, {1, kGreen},  {10, kOperator}, {6, kGrey}, {2, kGreen},
                              {5, kNavy},  {16, kRed},   {12, kGrey},     {4, kRed},  {14, kGrey}};
    for (const auto& s : styles) Send(SCI_STYLESETFORE, static_cast<unsigned long>(s[0]), s[1]);
    Send(SCI_SETVSCROLLBAR, 1);
    // A line is laid out once while the page shows it, not again at each keystroke.
    Send(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    m_coloured = true;
    FitToSize(true);
    if (!m_plain) ApplyColouring();
    move(0, y());
    move(x(), 0);
    resize(822, height());
    resize(width(), 344);
    m_numbersShown = true;
    m_numberDigits = 0;
    FitNumberMargin();
}

void Editor::ApplyColouring() {
    Send(SCI_SETLEXER, SCLEX_CPP);
    // This Scintilla gives a newly set lexer fresh properties, so folding is switched on
    // again once the lexer is in place.
    SendScintilla(SCI_SETPROPERTY, "fold", "1");
    SendScintilla(SCI_SETPROPERTY, "fold.compact", "0");
    SendScintilla(SCI_SETKEYWORDS, 0UL, kJsKeywords);
    SendScintilla(SCI_SETKEYWORDS, 1UL, kBrowserWords);
    Send(SCI_SETHSCROLLBAR, 0);
    Send(SCI_SETWRAPMODE, SC_WRAP_WORD);
}

bool Editor::HasLineLongerThan(int64_t limit) const {
    const int64_t length = TextLength();
    if (length <= limit) return false;
    const int64_t lines = Doc(SCI_GETLINECOUNT);
    // More bytes than lines of the limit's length could hold: one is longer.
    if (length / std::max<int64_t>(1, lines) > limit) return true;
    for (int64_t line = 0; line < lines; ++line)
        if (Doc(SCI_LINELENGTH, static_cast<unsigned long>(line)) > limit) return true;
    return false;
}

void Editor::FitToSize(bool always) {
    if (!m_coloured) return;
    const int64_t length = TextLength();
    // Typing changes the size a little; only a large change (a paste, a new text) can
    // make the text too large, or small enough again.
    constexpr int64_t kRecheck = 64 * 1024;
    if (!always && std::llabs(length - m_sizeChecked) < kRecheck) return;
    m_sizeChecked = length;
    const bool plain = length > kColouringLimit || HasLineLongerThan(kLongLine);
    if (plain == m_plain) return;
    m_plain = plain;
    if (plain) {
        Send(SCI_SETLEXER, SCLEX_NULL);
        Send(SCI_CLEARDOCUMENTSTYLE);
        Send(SCI_SETWRAPMODE, SC_WRAP_NONE);
        Send(SCI_SETHSCROLLBAR, 1);
    } else {
        ApplyColouring();
        Send(SCI_COLOURISE, 0, -1);
    }
    emit PlainChanged(plain);
}

void Editor::FitNumberMargin() {
    constexpr long kLeastWidth = 30;
    constexpr long kPadding = 8;
    int digits = 1;
    for (long lines = Doc(SCI_GETLINECOUNT); lines >= 10; lines /= 10) ++digits;
    if (digits == m_numberDigits) return;
    m_numberDigits = digits;
    const std::string widest(static_cast<size_t>(digits), '9');
    long width = SendScintilla(SCI_TEXTWIDTH, static_cast<unsigned long>(STYLE_LINENUMBER), widest.c_str()) + kPadding;
    Send(SCI_SETMARGINWIDTHN, 0, std::max(kLeastWidth, width));
}

void Editor::OnMarginClick(int position, int, int margin) {
    if (margin == 1) ToggleBreakpoint(LineFromPosition(ToText(position)));
    else if (margin == 2) Send(SCI_TOGGLEFOLD, static_cast<unsigned long>(Send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position))));
}

int Editor::MarginAt(int x) const {
    constexpr int kMargins = 5;
    int left = 0;
    for (int m = 0; m < kMargins; ++m) {
        left += static_cast<int>(Send(SCI_GETMARGINWIDTHN, static_cast<unsigned long>(m)));
        if (x >= 0 && x < left) return m;
    }
    return -1;
}

int64_t Editor::LineAtY(int y) const {
    return LineFromPosition(ToText(Send(SCI_POSITIONFROMPOINT, 0, std::max(0, y))));
}

void Editor::OnModified(int position, int modificationType, const char* text, int length, int linesAdded) {
    if ((modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) && ToText(position) < m_column.pos)
        m_column = {};
    if (m_model && (modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT))) {
        const bool insert = (modificationType & SC_MOD_INSERTTEXT) != 0;
        std::vector<int64_t> added;
        if (m_quiet == 0) MirrorEdit(insert, position, length, text, added);
        // The ranges waiting to be broken move with the edit.
        for (auto& [from, to] : m_touched) {
            for (int64_t* at : {&from, &to}) {
                if (insert && *at >= position) *at += length;
                else if (!insert && *at >= position + length) *at -= length;
                else if (!insert && *at > position) *at = position;
            }
        }
        if (insert) {
            m_breaks.Inserted(position, length);
            m_breaks.Add(added);
            m_touched.emplace_back(position, position + length);
        } else {
            m_breaks.Deleted(position, length);
            m_touched.emplace_back(position, position);
        }
    }
    if (m_breakpoints.empty() || linesAdded == 0) return;
    if (!(modificationType & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT))) return;
    if (SyncBreakpointLines()) emit BreakpointsChanged();
}

bool Editor::SyncBreakpointLines() {
    struct Placed {
        BreakpointMark mark;
        int64_t now;
    };
    std::vector<Placed> placed;
    placed.reserve(m_breakpoints.size());
    bool changed = false;
    for (const BreakpointMark& m : m_breakpoints) {
        int64_t now = Send(SCI_MARKERLINEFROMHANDLE, static_cast<unsigned long>(m.handle));
        if (now >= 0) now = TextLine(now);
        if (now < 0) {
            changed = true;
            continue;
        }
        placed.push_back({m, now});
    }
    // On a line several marks share, the one that was there before the edit comes first,
    // then the others from the nearest line down.
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        if (a.now != b.now) return a.now < b.now;
        bool aStayed = a.mark.bp.line == a.now, bStayed = b.mark.bp.line == b.now;
        if (aStayed != bStayed) return aStayed;
        return a.mark.bp.line < b.mark.bp.line;
    });
    std::vector<BreakpointMark> kept;
    kept.reserve(placed.size());
    for (Placed& p : placed) {
        if (!kept.empty() && kept.back().bp.line == p.now) {
            Send(SCI_MARKERDELETEHANDLE, static_cast<unsigned long>(p.mark.handle));
            changed = true;
            continue;
        }
        if (p.mark.bp.line != p.now) changed = true;
        p.mark.bp.line = p.now;
        kept.push_back(std::move(p.mark));
    }
    m_breakpoints = std::move(kept);
    return changed;
}

std::vector<Breakpoint> Editor::Breakpoints() const {
    // The marks are read afresh, so the lines are right even if a modification went
    // unseen; a line shared after a join counts once, as SyncBreakpointLines keeps it.
    std::vector<std::pair<int64_t, const BreakpointMark*>> lines;
    for (const BreakpointMark& m : m_breakpoints) {
        int64_t now = Send(SCI_MARKERLINEFROMHANDLE, static_cast<unsigned long>(m.handle));
        if (now >= 0) lines.emplace_back(TextLine(now), &m);
    }
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        bool aStayed = a.second->bp.line == a.first, bStayed = b.second->bp.line == b.first;
        if (aStayed != bStayed) return aStayed;
        return a.second->bp.line < b.second->bp.line;
    });
    std::vector<Breakpoint> out;
    out.reserve(lines.size());
    for (const auto& [line, mark] : lines) {
        if (!out.empty() && out.back().line == line) continue;
        out.push_back(mark->bp);
        out.back().line = line;
    }
    return out;
}

std::optional<Breakpoint> Editor::BreakpointAt(int64_t line) const {
    for (const Breakpoint& bp : Breakpoints())
        if (bp.line == line) return bp;
    return std::nullopt;
}

Editor::BreakpointMark* Editor::FindBreakpoint(int64_t line) {
    for (BreakpointMark& m : m_breakpoints)
        if (m.bp.line == line) return &m;
    return nullptr;
}

int Editor::AddBreakpointMarker(const Breakpoint& bp) {
    return static_cast<int>(Send(SCI_MARKERADD, static_cast<unsigned long>(ShownLine(bp.line)), MarkerFor(bp)));
}

void Editor::ToggleBreakpoint(int64_t line) {
    if (line < 0 || line >= LineCount()) return;
    SyncBreakpointLines();
    if (FindBreakpoint(line)) {
        RemoveBreakpoint(line);
        return;
    }
    Breakpoint bp;
    bp.line = line;
    SetBreakpoint(bp);
}

void Editor::SetBreakpoint(const Breakpoint& wanted) {
    if (wanted.line < 0 || wanted.line >= LineCount()) return;
    bool changed = SyncBreakpointLines();
    Breakpoint bp = wanted;
    bp.hitCount = std::max(0, bp.hitCount);
    BreakpointMark* existing = FindBreakpoint(bp.line);
    if (existing && existing->bp == bp) {
        if (changed) emit BreakpointsChanged();
        return;
    }
    if (existing) {
        if (MarkerFor(existing->bp) != MarkerFor(bp)) {
            Send(SCI_MARKERDELETEHANDLE, static_cast<unsigned long>(existing->handle));
            existing->handle = AddBreakpointMarker(bp);
        }
        existing->bp = bp;
    } else {
        BreakpointMark mark{bp, AddBreakpointMarker(bp)};
        auto at = std::find_if(m_breakpoints.begin(), m_breakpoints.end(),
                               [&](const BreakpointMark& m) { return m.bp.line > bp.line; });
        m_breakpoints.insert(at, std::move(mark));
    }
    emit BreakpointsChanged();
}

void Editor::RemoveBreakpoint(int64_t line) {
    bool changed = SyncBreakpointLines();
    auto at = std::find_if(m_breakpoints.begin(), m_breakpoints.end(),
                           [&](const BreakpointMark& m) { return m.bp.line == line; });
    if (at != m_breakpoints.end()) {
        Send(SCI_MARKERDELETEHANDLE, static_cast<unsigned long>(at->handle));
        m_breakpoints.erase(at);
        changed = true;
    }
    if (changed) emit BreakpointsChanged();
}

void Editor::ClearBreakpoints() {
    if (m_breakpoints.empty()) return;
    for (const BreakpointMark& m : m_breakpoints) Send(SCI_MARKERDELETEHANDLE, static_cast<unsigned long>(m.handle));
    m_breakpoints.clear();
    emit BreakpointsChanged();
}

void Editor::ShowExecutionPoint(int64_t line) {
    for (int* handle : {&m_executionArrow, &m_executionLine}) {
        if (*handle >= 0) Send(SCI_MARKERDELETEHANDLE, static_cast<unsigned long>(*handle));
        *handle = -1;
    }
    if (line < 0 || line >= LineCount()) return;
    line = ShownLine(line);
    m_executionLine = static_cast<int>(Send(SCI_MARKERADD, static_cast<unsigned long>(line), kMarkerExecutionLine));
    m_executionArrow = static_cast<int>(Send(SCI_MARKERADD, static_cast<unsigned long>(line), kMarkerExecutionArrow));
    // Into view without moving the caret: unfolded, and a third down the screen when it
    // was outside it.
    Send(SCI_ENSUREVISIBLE, static_cast<unsigned long>(line));
    long shown = Send(SCI_VISIBLEFROMDOCLINE, static_cast<unsigned long>(line));
    long first = Send(SCI_GETFIRSTVISIBLELINE);
    long onScreen = std::max(1L, Send(SCI_LINESONSCREEN));
    if (shown < first || shown >= first + onScreen)
        Send(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(std::max(0L, shown - onScreen / 3)));
}

int64_t Editor::ExecutionPoint() const {
    if (m_executionArrow < 0) return -1;
    const int64_t shown = Send(SCI_MARKERLINEFROMHANDLE, static_cast<unsigned long>(m_executionArrow));
    return shown < 0 ? -1 : TextLine(shown);
}

void Editor::RemoveAllDebugMarkers() {
    for (const BreakpointMark& m : m_breakpoints) Send(SCI_MARKERDELETEHANDLE, static_cast<unsigned long>(m.handle));
    m_breakpoints.clear();
    ShowExecutionPoint(-1);
}

void Editor::KeepBreakpointsAcross(const std::function<void()>& replace) {
    SyncBreakpointLines();
    std::vector<Breakpoint> before;
    for (const BreakpointMark& m : m_breakpoints) before.push_back(m.bp);
    // The marks go before the text does, so that none merges into a neighbour's line.
    RemoveAllDebugMarkers();
    replace();
    const int64_t lines = LineCount();
    for (const Breakpoint& bp : before) {
        if (bp.line >= lines) continue;
        m_breakpoints.push_back({bp, AddBreakpointMarker(bp)});
    }
    if (m_breakpoints.size() != before.size()) emit BreakpointsChanged();
}

int64_t Editor::TextLength() const { return Doc(SCI_GETLENGTH); }

std::string Editor::Text(int64_t length) const {
    int64_t total = TextLength();
    if (length < 0 || length > total) length = total;
    if (length == 0) return "";
    return text::EditorUtf8ToAnsi(DocRange(0, length));
}

std::string Editor::Utf8Text() const {
    return DocRange(0, TextLength());
}

void Editor::SetText(const std::string& ansi) {
    std::string utf8 = text::AnsiToEditorUtf8(ansi);
    // A text with a line too long to lay out at each keystroke is shown in pieces.
    if (!m_model && utf8.size() > static_cast<size_t>(kLongLine)) {
        size_t run = 0;
        for (char c : utf8) {
            run = (c == '\r' || c == '\n') ? 0 : run + 1;
            if (run > static_cast<size_t>(kLongLine)) {
                EnterPieces();
                break;
            }
        }
    }
    if (m_model) {
        KeepBreakpointsAcross([&] { SetTextInPieces(utf8); });
        return;
    }
    KeepBreakpointsAcross([&] { SendScintilla(SCI_SETTEXT, 0UL, utf8.c_str()); });
}

void Editor::AddText(const std::string& ansi, int64_t length) {
    if (length < -1) return;
    if (length == -1 || length > static_cast<int64_t>(ansi.size())) length = static_cast<int64_t>(ansi.size());
    std::string utf8 = text::AnsiToEditorUtf8(std::string_view(ansi).substr(0, static_cast<size_t>(length)));
    BeginEdit();
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
    EndEdit();
}

void Editor::ClearAll() {
    if (m_model) {
        SetText("");
        return;
    }
    KeepBreakpointsAcross([&] { Send(SCI_CLEARALL); });
}

void Editor::ClearSelection() {
    BeginEdit();
    Send(SCI_CLEAR);
    EndEdit();
}

bool Editor::FindText(int flags, int64_t start, int64_t end, const std::string& ansi, int64_t& matchStart,
                      int64_t& matchEnd) const {
    std::string utf8 = text::AnsiToEditorUtf8(ansi);
    TextToFind ttf{{static_cast<long>(start), static_cast<long>(end)}, utf8.c_str(), {0, 0}};
    QsciScintillaBase* doc = m_model ? m_model : const_cast<Editor*>(this);
    long found = doc->SendScintilla(SCI_FINDTEXT, static_cast<unsigned long>(flags), reinterpret_cast<long>(&ttf));
    if (found < 0) return false;
    matchStart = ttf.chrgText.cpMin;
    matchEnd = ttf.chrgText.cpMax;
    return true;
}

void Editor::SetSel(int64_t anchor, int64_t caret) {
    if (anchor < 0) return;
    if (m_model) {
        const int64_t length = TextLength();
        anchor = ToShown(std::min(anchor, length));
        caret = caret < 0 ? Send(SCI_GETLENGTH) : ToShown(std::min(caret, length));
    }
    Send(SCI_SETSEL, static_cast<unsigned long>(anchor), static_cast<long>(caret));
}

int64_t Editor::CurrentPos() const { return ToText(Send(SCI_GETCURRENTPOS)); }
int64_t Editor::Anchor() const { return ToText(Send(SCI_GETANCHOR)); }
int64_t Editor::LineCount() const { return Doc(SCI_GETLINECOUNT); }

int64_t Editor::ColumnFromPosition(int64_t pos) const {
    int64_t lineStart = PositionFromLine(LineFromPosition(pos));
    if (pos <= lineStart) return 0;
    int64_t from = lineStart, column = 0;
    if (m_column.lineStart == lineStart && m_column.pos <= pos) {
        from = m_column.pos;
        column = m_column.column;
    }
    column += Doc(SCI_COUNTCHARACTERS, static_cast<unsigned long>(from), static_cast<long>(pos));
    m_column = {lineStart, pos, column};
    return column;
}

void Editor::GoToLine(int64_t line) {
    line = std::clamp<int64_t>(line, 0, std::max<int64_t>(0, LineCount() - 1));
    line = ShownLine(line);
    Send(SCI_ENSUREVISIBLE, static_cast<unsigned long>(line));
    Send(SCI_GOTOLINE, static_cast<unsigned long>(line));
}

void Editor::EmptyUndoBuffer() {
    Send(SCI_EMPTYUNDOBUFFER);
    m_undo.clear();
    m_redo.clear();
    m_stepOpen = false;
}
void Editor::ZoomIn() { Send(SCI_ZOOMIN); }
void Editor::ZoomOut() { Send(SCI_ZOOMOUT); }
void Editor::ResetZoom() { Send(SCI_SETZOOM, 0); }
int Editor::Zoom() const { return static_cast<int>(Send(SCI_GETZOOM)); }

void Editor::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        // One zoom step per notch (120 eighths of a degree): a touchpad's many small
        // turns add up to it, and a turn back starts the count again.
        const int delta = event->angleDelta().y();
        if ((delta > 0) != (m_zoomWheel > 0)) m_zoomWheel = 0;
        m_zoomWheel += delta;
        for (; m_zoomWheel >= kWheelNotch; m_zoomWheel -= kWheelNotch) ZoomIn();
        for (; m_zoomWheel <= -kWheelNotch; m_zoomWheel += kWheelNotch) ZoomOut();
        event->accept();
        return;
    }
    m_zoomWheel = 0;
    QsciScintillaBase::wheelEvent(event);
}

bool Editor::event(QEvent* event) {
    // F9 belongs to the editor that has the focus, whatever shortcut a window sets on it.
    if (event->type() == QEvent::ShortcutOverride && IsF9(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QsciScintillaBase::event(event);
}

void Editor::keyPressEvent(QKeyEvent* event) {
    if (IsF9(event)) {
        ToggleBreakpoint(LineFromPosition(CurrentPos()));
        event->accept();
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
            case Qt::Key_Plus:
            case Qt::Key_Equal: ZoomIn(); event->accept(); return;
            case Qt::Key_Minus: ZoomOut(); event->accept(); return;
            case Qt::Key_0: ResetZoom(); event->accept(); return;
            default: break;
        }
    }
    if (!m_model) {
        // A paste may start the pieces view: it comes in pieces.
        if (event->matches(QKeySequence::Paste) && PasteInPieces()) {
            event->accept();
            return;
        }
        BeginEdit();
        QsciScintillaBase::keyPressEvent(event);
        EndEdit();
        return;
    }
    // The text's own undo history answers undo and redo while pieces are shown.
    const bool alt = (event->modifiers() & Qt::AltModifier) != 0;
    if (event->matches(QKeySequence::Undo) || (alt && event->key() == Qt::Key_Backspace &&
                                               !(event->modifiers() & Qt::ShiftModifier))) {
        Undo();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Redo) ||
        (event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) && event->key() == Qt::Key_Z)) {
        Redo();
        event->accept();
        return;
    }
    // Backspace and Delete act on the character beside a display break, not on the break.
    const int64_t caret = Send(SCI_GETCURRENTPOS);
    if (Send(SCI_GETSELECTIONEMPTY) != 0 && event->modifiers() == Qt::NoModifier) {
        if (event->key() == Qt::Key_Backspace && caret > 0 && m_breaks.IsBreak(caret - 1))
            Send(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret - 1));
        else if (event->key() == Qt::Key_Delete && m_breaks.IsBreak(caret))
            Send(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(caret + 1));
    }
    // Plain typing joins the typing before it in one undo step, as elsewhere.
    const QString typed = event->text();
    const bool typing = !typed.isEmpty() && typed.at(0).isPrint() && Send(SCI_GETSELECTIONEMPTY) != 0 &&
                        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (event->matches(QKeySequence::Paste) && PasteInPieces()) {
        event->accept();
        return;
    }
    BeginEdit(typing);
    QsciScintillaBase::keyPressEvent(event);
    EndEdit();
}

void Editor::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse && MarginAt(event->pos().x()) == 1) {
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("断点菜单"));
        FillBreakpointMenu(*this, menu, LineAtY(event->pos().y()));
        menu.exec(event->globalPos());
        event->accept();
        return;
    }
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
        connect(a, &QAction::triggered, this, [this, message] {
            if (message == SCI_UNDO) return Undo();
            if (message == SCI_REDO) return Redo();
            if (message == SCI_PASTE && PasteInPieces()) return;
            BeginEdit();
            Send(message);
            EndEdit();
        });
    };
    add(QStringLiteral("撤销"), SCI_UNDO, !readOnly && CanUndo());
    add(QStringLiteral("重做"), SCI_REDO, !readOnly && CanRedo());
    menu.addSeparator();
    add(QStringLiteral("剪切"), SCI_CUT, !readOnly && selection);
    add(QStringLiteral("复制"), SCI_COPY, selection);
    add(QStringLiteral("粘贴"), SCI_PASTE, !readOnly && Send(SCI_CANPASTE) != 0);
    add(QStringLiteral("删除"), SCI_CLEAR, !readOnly && selection);
    menu.addSeparator();
    add(QStringLiteral("全选"), SCI_SELECTALL, TextLength() > 0);
}
int64_t Editor::SelectionStart() const { return ToText(Send(SCI_GETSELECTIONSTART)); }
int64_t Editor::SelectionEnd() const { return ToText(Send(SCI_GETSELECTIONEND)); }

int64_t Editor::LineFromPosition(int64_t pos) const {
    return pos < 0 ? 0 : Doc(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pos));
}

int64_t Editor::PositionFromLine(int64_t line) const {
    return line < 0 ? 0 : Doc(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
}

int64_t Editor::LineEndPosition(int64_t line) const {
    return line < 0 ? 0 : Doc(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
}

void Editor::ToggleFold(int64_t line) { Send(SCI_TOGGLEFOLD, static_cast<unsigned long>(ShownLine(line))); }

bool Editor::LineVisible(int64_t line) const {
    return Send(SCI_GETLINEVISIBLE, static_cast<unsigned long>(ShownLine(line))) != 0;
}

}  // namespace qy::editor
