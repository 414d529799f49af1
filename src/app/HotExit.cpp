#include "app/HotExit.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTabWidget>
#include <algorithm>

#include "app/ConsoleFeatures.h"
#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "text/CodePage.h"

namespace qy::app {
namespace {

constexpr int kFormat = 1;

QJsonArray ToArray(const QStringList& list) { return QJsonArray::fromStringList(list); }

QStringList FromArray(const QJsonValue& v) {
    QStringList out;
    for (const QJsonValue& item : v.toArray())
        if (item.isString()) out << item.toString();
    return out;
}

/// Text that converts both ways exactly is kept readable; anything else (bytes that
/// are no character) is kept as Base64 so that it comes back byte for byte.
QJsonObject EditorToJson(const EditorSnapshot& e) {
    QJsonObject o;
    QString readable = QString::fromStdU16String(text::AnsiToWide(e.text));
    if (text::WideToAnsi(readable.toStdU16String()) == e.text) o["text"] = readable;
    else o["bytes"] = QString::fromLatin1(QByteArray::fromStdString(e.text).toBase64());
    o["anchor"] = static_cast<double>(e.anchor);
    o["caret"] = static_cast<double>(e.caret);
    if (!e.breakpoints.empty()) {
        QJsonArray list;
        for (const editor::Breakpoint& bp : e.breakpoints) {
            QJsonObject b;
            b["line"] = static_cast<double>(bp.line);
            if (!bp.condition.isEmpty()) b["condition"] = bp.condition;
            if (bp.hitCount > 0) b["hitCount"] = bp.hitCount;
            if (!bp.logMessage.isEmpty()) b["log"] = bp.logMessage;
            list.append(b);
        }
        o["breakpoints"] = list;
    }
    return o;
}

EditorSnapshot EditorFromJson(const QJsonObject& o) {
    EditorSnapshot e;
    if (o.contains("bytes")) e.text = QByteArray::fromBase64(o["bytes"].toString().toLatin1()).toStdString();
    else e.text = text::WideToAnsi(o["text"].toString().toStdU16String());
    e.anchor = std::max<int64_t>(0, static_cast<int64_t>(o["anchor"].toDouble()));
    e.caret = std::max<int64_t>(0, static_cast<int64_t>(o["caret"].toDouble()));
    for (const QJsonValue& item : o["breakpoints"].toArray()) {
        const QJsonObject b = item.toObject();
        if (!b["line"].isDouble() || b["line"].toDouble() < 0) continue;
        editor::Breakpoint bp;
        bp.line = static_cast<int64_t>(b["line"].toDouble());
        bp.condition = b["condition"].toString();
        bp.hitCount = std::max(0, b["hitCount"].toInt());
        bp.logMessage = b["log"].toString();
        e.breakpoints.push_back(bp);
    }
    return e;
}

}  // namespace

bool HotExitState::EditorsEmpty() const {
    return std::all_of(editors.begin(), editors.end(), [](const EditorSnapshot& e) { return e.text.empty(); });
}

QString HotExitFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/qingyou-js");
}

QString HotExitPath() { return HotExitFolder() + QStringLiteral("/hot-exit.json"); }

QByteArray SerializeHotExit(const HotExitState& state) {
    QJsonObject root;
    root["format"] = kFormat;
    QJsonArray editors;
    for (const EditorSnapshot& e : state.editors) editors.append(EditorToJson(e));
    root["editors"] = editors;
    root["currentTab"] = state.currentTab;
    root["addresses"] = ToArray(state.addresses);
    root["address"] = state.address;
    root["expressions"] = ToArray(state.expressions);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<HotExitState> ParseHotExit(const QByteArray& bytes) {
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    QJsonObject root = doc.object();
    if (root["format"].toInt() != kFormat) return std::nullopt;
    HotExitState state;
    QJsonArray editors = root["editors"].toArray();
    for (qsizetype i = 0; i < editors.size() && i < 6; ++i)
        state.editors[static_cast<size_t>(i)] = EditorFromJson(editors[i].toObject());
    state.currentTab = std::clamp(root["currentTab"].toInt(), 0, 5);
    state.addresses = FromArray(root["addresses"]);
    state.address = root["address"].toString();
    state.expressions = FromArray(root["expressions"]);
    return state;
}

bool SaveHotExitFile(const HotExitState& state, const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    // What the user typed is theirs alone to read.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray bytes = SerializeHotExit(state);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<HotExitState> LoadHotExitFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return ParseHotExit(file.readAll());
}

HotExit::HotExit(MainWindow& window, QString path) : QObject(&window), m_window(window), m_path(std::move(path)) {
    setObjectName(QStringLiteral("HotExit"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kSaveDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &HotExit::Save);
    for (int i = 0; i < 6; ++i) {
        connect(window.EditorAt(i), &editor::Editor::SCEN_CHANGE, this, &HotExit::Changed);
        connect(window.EditorAt(i), &editor::Editor::BreakpointsChanged, this, &HotExit::Changed);
    }
    auto* addr = window.Component<QComboBox>("组合框_addr");
    connect(addr, &QComboBox::editTextChanged, this, &HotExit::Changed);
    connect(addr->model(), &QAbstractItemModel::rowsInserted, this, &HotExit::Changed);
    connect(window.Component<QTabWidget>("高级选择夹1"), &QTabWidget::currentChanged, this, &HotExit::Changed);
    if (auto* console = window.findChild<ConsoleFeatures*>())
        connect(console, &ConsoleFeatures::historyChanged, this, &HotExit::Changed);
    connect(&window, &MainWindow::closing, this, &HotExit::Save);
    // A session that ends without closing the window (logout) keeps the texts too.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &HotExit::Save);
}

void HotExit::Changed() {
    // Counted from the first unsaved edit, so that steady typing is saved too.
    if (!m_applying && !m_timer.isActive()) m_timer.start();
}

HotExitState HotExit::Capture() const {
    HotExitState state;
    for (int i = 0; i < 6; ++i) {
        editor::Editor* e = m_window.EditorAt(i);
        state.editors[static_cast<size_t>(i)] = {e->Text(), e->Anchor(), e->CurrentPos(), e->Breakpoints()};
    }
    state.currentTab = m_window.Component<QTabWidget>("高级选择夹1")->currentIndex();
    auto* addr = m_window.Component<QComboBox>("组合框_addr");
    for (int i = 0; i < addr->count(); ++i) state.addresses << addr->itemText(i);
    state.address = addr->currentText();
    if (auto* console = m_window.findChild<ConsoleFeatures*>()) state.expressions = console->History().Items();
    return state;
}

void HotExit::Apply(const HotExitState& state) {
    m_applying = true;
    if (!state.EditorsEmpty()) {
        for (int i = 0; i < 6; ++i) {
            editor::Editor* e = m_window.EditorAt(i);
            const EditorSnapshot& s = state.editors[static_cast<size_t>(i)];
            e->SetText(s.text);
            e->EmptyUndoBuffer();
            int64_t length = e->TextLength();
            e->SetSel(std::min(s.anchor, length), std::min(s.caret, length));
            e->ClearBreakpoints();
            for (const editor::Breakpoint& bp : s.breakpoints)
                if (bp.line < e->LineCount()) e->SetBreakpoint(bp);
        }
        m_window.Component<QTabWidget>("高级选择夹1")->setCurrentIndex(state.currentTab);
    }
    if (!state.addresses.isEmpty()) {
        auto* addr = m_window.Component<QComboBox>("组合框_addr");
        addr->clear();
        addr->addItems(state.addresses);
        addr->setEditText(state.address);
    }
    if (auto* console = m_window.findChild<ConsoleFeatures*>()) console->History().SetItems(state.expressions);
    m_applying = false;
}

bool HotExit::Restore() {
    std::optional<HotExitState> state = LoadHotExitFile(m_path);
    if (!state) return false;
    Apply(*state);
    return true;
}

bool HotExit::Save() {
    m_timer.stop();
    return SaveHotExitFile(Capture(), m_path);
}

}  // namespace qy::app
