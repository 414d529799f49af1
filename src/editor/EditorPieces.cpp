// The editor's pieces view: a text with a very long line is held in a document that is
// never shown, and shown as a copy with display breaks in its long lines. The shown copy
// keeps no undo history of its own; every edit of it is followed in the text and in the
// editor's undo history, and undo and redo are played into both.
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "editor/Editor.h"

namespace qy::editor {
namespace {

/// Whether `bytes` has a line longer than `limit`.
bool HasRunLongerThan(const char* bytes, size_t size, size_t limit) {
    if (size <= limit) return false;
    size_t run = 0;
    for (size_t i = 0; i < size; ++i) {
        run = (bytes[i] == '\r' || bytes[i] == '\n') ? 0 : run + 1;
        if (run > limit) return true;
    }
    return false;
}

}  // namespace

long Editor::Doc(unsigned int message, unsigned long wParam, long lParam) const {
    if (m_model) return m_model->SendScintilla(message, wParam, lParam);
    return Send(message, wParam, lParam);
}

std::string Editor::DocRange(int64_t from, int64_t to) const {
    if (to <= from) return "";
    const QsciScintillaBase* doc = m_model ? m_model : this;
    const auto* bytes = reinterpret_cast<const char*>(
        doc->SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(to - from)));
    return bytes ? std::string(bytes, static_cast<size_t>(to - from)) : std::string();
}

std::string Editor::ShownUtf8() const {
    const int64_t length = Send(SCI_GETLENGTH);
    if (length <= 0) return "";
    const auto* bytes = reinterpret_cast<const char*>(Send(SCI_GETCHARACTERPOINTER));
    return std::string(bytes, static_cast<size_t>(length));
}

int64_t Editor::ShownLine(int64_t line) const {
    if (!m_model || line < 0) return line;
    const int64_t start = Doc(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    if (start < 0) return Send(SCI_GETLINECOUNT);
    return Send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(m_breaks.ToShown(start)));
}

int64_t Editor::TextLine(int64_t shownLine) const {
    if (!m_model || shownLine < 0) return shownLine;
    const int64_t start = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(shownLine));
    return Doc(SCI_LINEFROMPOSITION, static_cast<unsigned long>(m_breaks.ToText(start)));
}

void Editor::EnterPieces() {
    if (m_model) return;
    const std::string utf8 = Utf8Text();
    // Never shown: no window, no painting, no layout.
    m_model = new QsciScintillaBase();
    m_model->setObjectName(QStringLiteral("正文"));
    m_model->SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    m_model->SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
    m_model->SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    // Nobody listens to its changes: without the notices, the component does not count
    // the characters before each change for assistive technology either.
    m_model->SendScintilla(SCI_SETMODEVENTMASK, 0UL);
    m_model->SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
    m_breaks.Clear();
    m_undo.clear();
    m_redo.clear();
    Send(SCI_SETUNDOCOLLECTION, 0);
    Send(SCI_EMPTYUNDOBUFFER);
    // The text as it is shown; a long line already in view is broken at the next chance.
    if (HasRunLongerThan(utf8.data(), utf8.size(), static_cast<size_t>(kPieceOver)))
        m_touched.emplace_back(0, static_cast<int64_t>(utf8.size()));
    setAccessibleDescription(
        QStringLiteral("过长的行分段显示：段与段之间的换行只是显示，不属于代码；行号、列号、复制和保存都按原文"));
    if (m_numbersShown) Send(SCI_SETMARGINTYPEN, 0, SC_MARGIN_RTEXT);
    QTimer::singleShot(0, this, [this] { BreakTouched(); });
    emit ShownInPieces();
}

void Editor::SetTextInPieces(const std::string& utf8) {
    Step step;
    if (const int64_t length = TextLength(); length > 0) step.changes.push_back({false, 0, DocRange(0, length)});
    if (!utf8.empty()) step.changes.push_back({true, 0, utf8});
    m_model->SendScintilla(SCI_CLEARALL);
    m_model->SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
    std::vector<int64_t> breaks;
    const std::string shown = DisplayBreaks::Broken(utf8, kPieceOver, kPiece, breaks);
    ++m_quiet;
    Send(SCI_CLEARALL);
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(shown.size()), shown.data());
    --m_quiet;
    m_breaks.Add(breaks);
    m_touched.clear();
    Send(SCI_GOTOPOS, 0);
    if (!step.changes.empty()) {
        m_undo.push_back(std::move(step));
        m_redo.clear();
    }
    m_stepOpen = false;
}

void Editor::MirrorEdit(bool insert, int64_t shown, int64_t length, const char* text, std::vector<int64_t>& breaks) {
    if (length <= 0) return;
    if (insert) {
        std::string bytes = text ? std::string(text, static_cast<size_t>(length)) : std::string();
        if (!text) {
            const auto* at = reinterpret_cast<const char*>(
                Send(SCI_GETRANGEPOINTER, static_cast<unsigned long>(shown), static_cast<long>(length)));
            bytes.assign(at, static_cast<size_t>(length));
        }
        // A paste that came in pieces: its breaks are the editor's, not the text's.
        if (m_paste && bytes == m_paste->shown) {
            for (int64_t offset : m_paste->breaks) breaks.push_back(shown + offset);
            DisplayBreaks inPaste;
            inPaste.Add(m_paste->breaks);
            bytes = inPaste.Strip(bytes, 0);
        }
        const int64_t at = m_breaks.ToText(shown);
        m_model->SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(at), static_cast<long>(at));
        m_model->SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.data());
        Record({true, at, std::move(bytes)});
    } else {
        const int64_t from = m_breaks.ToText(shown);
        const int64_t to = m_breaks.ToText(shown + length);
        if (to > from) {
            std::string bytes = DocRange(from, to);
            m_model->SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(from), static_cast<long>(to - from));
            Record({false, from, std::move(bytes)});
        }
    }
    // An edit outside the editor's own input (a caller's message) is broken once it is over.
    if (m_editDepth == 0 && !m_breakQueued) {
        m_breakQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_breakQueued = false;
            BreakTouched();
        });
    }
}

void Editor::Record(Change change) {
    m_redo.clear();
    if (m_editDepth > 0 && m_stepOpen && !m_undo.empty()) {
        m_undo.back().changes.push_back(std::move(change));
        return;
    }
    // Typing goes on where it stopped: one step, as the editor does elsewhere.
    if (m_typing && change.insert && !m_undo.empty() && m_undo.back().typing) {
        Change& last = m_undo.back().changes.back();
        if (last.insert && last.at + static_cast<int64_t>(last.bytes.size()) == change.at) {
            last.bytes += change.bytes;
            m_stepOpen = m_editDepth > 0;
            return;
        }
    }
    Step step;
    step.typing = m_typing && change.insert;
    step.changes.push_back(std::move(change));
    m_undo.push_back(std::move(step));
    m_stepOpen = m_editDepth > 0;
}

void Editor::ShowReplace(int64_t shownFrom, int64_t shownTo, const std::string& bytes) {
    ++m_quiet;
    if (shownTo > shownFrom)
        Send(SCI_DELETERANGE, static_cast<unsigned long>(shownFrom), static_cast<long>(shownTo - shownFrom));
    if (!bytes.empty()) {
        Send(SCI_SETTARGETRANGE, static_cast<unsigned long>(shownFrom), static_cast<long>(shownFrom));
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.data());
    }
    --m_quiet;
}

void Editor::Replay(const Step& step, bool backwards) {
    int64_t caret = 0;
    auto apply = [&](const Change& c, bool insert) {
        const auto length = static_cast<int64_t>(c.bytes.size());
        if (insert) {
            m_model->SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(c.at), static_cast<long>(c.at));
            m_model->SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(length), c.bytes.data());
            const int64_t shown = m_breaks.ToShown(c.at);
            ShowReplace(shown, shown, c.bytes);
            caret = c.at + length;
        } else {
            m_model->SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(c.at), static_cast<long>(length));
            ShowReplace(m_breaks.ToShown(c.at), m_breaks.ToShown(c.at + length), std::string());
            caret = c.at;
        }
    };
    if (backwards) {
        for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it) apply(*it, !it->insert);
    } else {
        for (const Change& c : step.changes) apply(c, c.insert);
    }
    // Broken before the caret is shown, so that no long line is ever laid out.
    BreakTouched();
    Send(SCI_GOTOPOS, static_cast<unsigned long>(m_breaks.ToShown(caret)));
}

void Editor::Undo() {
    if (!m_model) {
        Send(SCI_UNDO);
        return;
    }
    if (m_undo.empty()) return;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    Replay(step, true);
    m_redo.push_back(std::move(step));
    m_stepOpen = false;
}

void Editor::Redo() {
    if (!m_model) {
        Send(SCI_REDO);
        return;
    }
    if (m_redo.empty()) return;
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    Replay(step, false);
    m_undo.push_back(std::move(step));
    m_stepOpen = false;
}

bool Editor::CanUndo() const { return m_model ? !m_undo.empty() : Send(SCI_CANUNDO) != 0; }
bool Editor::CanRedo() const { return m_model ? !m_redo.empty() : Send(SCI_CANREDO) != 0; }

void Editor::BreakTouched() {
    if (!m_model || m_touched.empty()) return;
    auto touched = std::move(m_touched);
    m_touched.clear();
    std::sort(touched.begin(), touched.end());
    std::vector<std::pair<int64_t, int64_t>> merged;
    for (const auto& r : touched) {
        if (!merged.empty() && r.first <= merged.back().second) merged.back().second = std::max(merged.back().second, r.second);
        else merged.push_back(r);
    }
    const int64_t anchor = Anchor(), caret = CurrentPos();
    const long firstShown = Send(SCI_GETFIRSTVISIBLELINE);
    bool changed = false;
    // From the end backwards, so that the ranges before stay where they are.
    for (auto r = merged.rbegin(); r != merged.rend(); ++r) {
        const int64_t first = Send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(r->first));
        const int64_t last = Send(SCI_LINEFROMPOSITION, static_cast<unsigned long>(r->second));
        for (int64_t line = last; line >= first; --line) {
            const int64_t start = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
            const int64_t end = Send(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
            if (end - start <= kPieceOver) continue;
            const auto* bytes = reinterpret_cast<const char*>(
                Send(SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), static_cast<long>(end - start)));
            std::vector<int64_t> breaks;
            const std::string shown = DisplayBreaks::Broken(std::string_view(bytes, static_cast<size_t>(end - start)),
                                                            kPieceOver, kPiece, breaks, start);
            ShowReplace(start, end, shown);
            m_breaks.Add(breaks);
            changed = true;
        }
    }
    m_touched.clear();
    if (!changed) return;
    Send(SCI_SETSEL, static_cast<unsigned long>(m_breaks.ToShown(anchor)), static_cast<long>(m_breaks.ToShown(caret)));
    Send(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(firstShown));
    Send(SCI_SCROLLCARET);
}

void Editor::BeginEdit(bool typing) {
    if (m_editDepth++ == 0) {
        m_stepOpen = false;
        m_typing = typing;
    }
}

void Editor::EndEdit() {
    if (--m_editDepth > 0) return;
    m_stepOpen = false;
    m_typing = false;
    m_paste.reset();
    BreakTouched();
}

void Editor::FillPieceNumbers() {
    if (!m_numbersShown) return;
    if (Send(SCI_GETMARGINTYPEN, 0) != SC_MARGIN_RTEXT) Send(SCI_SETMARGINTYPEN, 0, SC_MARGIN_RTEXT);
    const long first = Send(SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(Send(SCI_GETFIRSTVISIBLELINE)));
    const long lines = Send(SCI_GETLINECOUNT);
    const long last = std::min(lines, first + Send(SCI_LINESONSCREEN) + 2);
    // The text's line numbers, on the first piece of each line only.
    for (long line = first; line < last; ++line) {
        const int64_t start = Send(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const bool piece = start > 0 && m_breaks.IsBreak(start - 1);
        const QByteArray number = piece ? QByteArray() : QByteArray::number(static_cast<qlonglong>(TextLine(line) + 1));
        SendScintilla(SCI_MARGINSETTEXT, static_cast<unsigned long>(line), number.constData());
        Send(SCI_MARGINSETSTYLE, static_cast<unsigned long>(line), STYLE_LINENUMBER);
    }
}

void Editor::inputMethodEvent(QInputMethodEvent* event) {
    BeginEdit();
    QsciScintillaBase::inputMethodEvent(event);
    EndEdit();
}

void Editor::mousePressEvent(QMouseEvent* event) {
    BeginEdit();
    QsciScintillaBase::mousePressEvent(event);
    EndEdit();
}

void Editor::mouseReleaseEvent(QMouseEvent* event) {
    BeginEdit();
    QsciScintillaBase::mouseReleaseEvent(event);
    EndEdit();
}

void Editor::dropEvent(QDropEvent* event) {
    BeginEdit();
    QsciScintillaBase::dropEvent(event);
    EndEdit();
}

bool Editor::PasteInPieces() {
    const QMimeData* source = QApplication::clipboard()->mimeData();
    if (!source || Send(SCI_GETREADONLY) != 0 || !canInsertFromMimeData(source)) return false;
    bool rectangular = false;
    m_ownPaste = true;
    const QByteArray bytes = fromMimeData(source, rectangular);
    m_ownPaste = false;
    if (!m_paste) return false;
    BeginEdit();
    SendScintilla(SCI_REPLACESEL, 0UL, "");
    const long at = Send(SCI_GETCURRENTPOS);
    Send(SCI_SETTARGETRANGE, static_cast<unsigned long>(at), at);
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()), bytes.constData());
    Send(SCI_GOTOPOS, static_cast<unsigned long>(at + bytes.size()));
    EndEdit();
    return true;
}

QMimeData* Editor::toMimeData(const QByteArray& text, bool rectangular) const {
    if (m_model && !rectangular && Send(SCI_GETSELECTIONS) == 1) {
        const int64_t from = Send(SCI_GETSELECTIONSTART), to = Send(SCI_GETSELECTIONEND);
        if (to - from == text.size() && m_breaks.CountIn(from, to) > 0) {
            const std::string bytes = DocRange(m_breaks.ToText(from), m_breaks.ToText(to));
            return QsciScintillaBase::toMimeData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), false);
        }
    }
    return QsciScintillaBase::toMimeData(text, rectangular);
}

QByteArray Editor::fromMimeData(const QMimeData* source, bool& rectangular) const {
    QByteArray bytes = QsciScintillaBase::fromMimeData(source, rectangular);
    if (rectangular) return bytes;
    const auto size = static_cast<size_t>(bytes.size());
    if (!m_model && !HasRunLongerThan(bytes.constData(), size, static_cast<size_t>(kLongLine))) return bytes;
    if (!HasRunLongerThan(bytes.constData(), size, static_cast<size_t>(kPieceOver))) return bytes;
    // The pasted text arrives in pieces, so that its long line is never laid out whole.
    auto* self = const_cast<Editor*>(this);
    self->EnterPieces();
    // Only the editor's own paste takes the text in pieces (a drop or a middle click is
    // broken once it is in). Line ends are converted here, as the editor's paste would.
    if (!m_ownPaste) return bytes;
    std::string text(bytes.constData(), size);
    if (Send(SCI_GETPASTECONVERTENDINGS) != 0) {
        std::string converted;
        converted.reserve(text.size());
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n') {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                converted += "\r\n";
            } else {
                converted += text[i];
            }
        }
        text = std::move(converted);
    }
    Paste paste;
    paste.shown = DisplayBreaks::Broken(text, kPieceOver, kPiece, paste.breaks);
    QByteArray shown(paste.shown.data(), static_cast<qsizetype>(paste.shown.size()));
    m_paste = std::move(paste);
    return shown;
}

}  // namespace qy::editor
