// The hot-exit state file: its JSON, written whole through a temporary file, the reason a
// write failed, and what can still be read from a file cut short.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/HotExit.h"
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

/// An editor's place and breakpoints (its text goes beside them, made apart).
QJsonObject EditorPlaceToJson(const EditorSnapshot& e) {
    QJsonObject o;
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

HotExitState StateFromJson(const QJsonObject& root) {
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

/// Why writing failed, in the user's words.
QString FailureReason(int error, const QString& detail) {
    switch (error) {
        case ENOSPC: return QStringLiteral("磁盘空间已满");
        case EDQUOT: return QStringLiteral("超出了磁盘配额");
        case EROFS: return QStringLiteral("数据文件夹所在的磁盘只读");
        case EACCES:
        case EPERM: return QStringLiteral("没有写入数据文件夹的权限");
        case ENOTDIR:
        case EEXIST: return QStringLiteral("数据文件夹的路径上有同名文件");
        default: break;
    }
    return error ? QStringLiteral("写入出错（%1）").arg(QString::fromLocal8Bit(std::strerror(error)))
                 : QStringLiteral("写入出错（%1）").arg(detail);
}

}  // namespace

bool HotExitState::EditorsEmpty() const {
    return std::all_of(editors.begin(), editors.end(), [](const EditorSnapshot& e) { return e.text.empty(); });
}

QString HotExitFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/qingyou-js");
}

QString HotExitPath() { return HotExitFolder() + QStringLiteral("/hot-exit.json"); }

QByteArray SerializeEditorText(const std::string& ansi) {
    // Text that converts both ways exactly is kept readable; anything else (bytes that
    // are no character) is kept as Base64 so that it comes back byte for byte.
    QJsonObject o;
    QString readable = QString::fromStdU16String(text::AnsiToWide(ansi));
    if (text::WideToAnsi(readable.toStdU16String()) == ansi) o["text"] = readable;
    else o["bytes"] = QString::fromLatin1(QByteArray::fromStdString(ansi).toBase64());
    QByteArray member = QJsonDocument(o).toJson(QJsonDocument::Compact);
    return member.mid(1, member.size() - 2);
}

QByteArray AssembleHotExit(const HotExitState& state, const std::array<QByteArray, 6>& texts) {
    QJsonObject root;
    root["format"] = kFormat;
    root["currentTab"] = state.currentTab;
    root["addresses"] = ToArray(state.addresses);
    root["address"] = state.address;
    root["expressions"] = ToArray(state.expressions);
    // The small members first, the editors (which may be large) after them, each text
    // after its place: a file cut short keeps what came before the cut.
    QByteArray head = QJsonDocument(root).toJson(QJsonDocument::Compact);
    head.chop(1);  // the closing brace
    std::array<QByteArray, 6> places;
    qsizetype size = head.size() + 16;
    for (size_t i = 0; i < 6; ++i) {
        places[i] = QJsonDocument(EditorPlaceToJson(state.editors[i])).toJson(QJsonDocument::Compact);
        places[i].chop(1);
        size += places[i].size() + texts[i].size() + 4;
    }
    QByteArray out;
    out.reserve(size);
    out += head;
    out += ",\n\"editors\":[\n";
    for (size_t i = 0; i < 6; ++i) {
        out += places[i];
        out += ',';
        out += texts[i].isEmpty() ? QByteArray("\"text\":\"\"") : texts[i];
        out += i + 1 < 6 ? "},\n" : "}\n";
    }
    out += "]}\n";
    return out;
}

QByteArray SerializeHotExit(const HotExitState& state) {
    std::array<QByteArray, 6> texts;
    for (size_t i = 0; i < 6; ++i) texts[i] = SerializeEditorText(state.editors[i].text);
    return AssembleHotExit(state, texts);
}

std::optional<HotExitState> ParseHotExit(const QByteArray& bytes) {
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    QJsonObject root = doc.object();
    if (root["format"].toInt() != kFormat) return std::nullopt;
    return StateFromJson(root);
}

std::optional<HotExitState> SalvageHotExit(const QByteArray& bytes) {
    // Where the text could end for a whole document: after each value closed at any
    // depth, with the brackets still open then closed after it; the latest that parses
    // wins. Inside a string at the cut, the string's start is kept as well.
    std::vector<std::pair<qsizetype, QByteArray>> cuts;
    QByteArray open;  // the brackets open at this point
    bool inString = false, escaped = false;
    qsizetype stringStart = -1;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (inString) {
            if (escaped) escaped = false;
            else if (c == '\\') escaped = true;
            else if (c == '"') inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
            stringStart = i;
        } else if (c == '{' || c == '[') {
            open += c;
        } else if ((c == '}' || c == ']') && !open.isEmpty()) {
            open.chop(1);
            QByteArray closers;
            for (qsizetype k = open.size() - 1; k >= 0; --k) closers += open[k] == '{' ? '}' : ']';
            cuts.emplace_back(i + 1, closers);
        }
    }
    auto attempt = [](QByteArray text) -> std::optional<HotExitState> {
        QJsonParseError error{};
        QJsonDocument doc = QJsonDocument::fromJson(text, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
        const QJsonValue format = doc.object()["format"];
        if (!format.isUndefined() && format.toInt() != kFormat) return std::nullopt;
        return StateFromJson(doc.object());
    };
    if (inString && stringStart > 0 && !open.isEmpty()) {
        // Cut inside a string: an editor's text cut short still gives its beginning.
        QByteArray text = bytes;
        if (escaped) text.chop(1);
        // A \u escape cut short, and a UTF-8 sequence cut short, are dropped.
        const qsizetype backslash = text.lastIndexOf('\\');
        if (backslash >= 0 && backslash + 6 > text.size() && backslash > stringStart &&
            text.size() > backslash + 1 && text[backslash + 1] == 'u')
            text.truncate(backslash);
        while (!text.isEmpty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.chop(1);
        if (!text.isEmpty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0xC0) text.chop(1);
        text += '"';
        for (qsizetype k = open.size() - 1; k >= 0; --k) text += open[k] == '{' ? '}' : ']';
        if (auto state = attempt(text)) return state;
    }
    constexpr size_t kMostAttempts = 64;
    size_t tried = 0;
    for (auto it = cuts.rbegin(); it != cuts.rend() && tried < kMostAttempts; ++it, ++tried)
        if (auto state = attempt(bytes.left(it->first) + it->second)) return state;
    return std::nullopt;
}

bool SaveHotExitBytes(const QByteArray& bytes, const QString& path, QString* reason) {
    auto fail = [&](int error, const QString& detail) {
        if (reason) *reason = FailureReason(error, detail);
        return false;
    };
    errno = 0;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return fail(errno ? errno : ENOTDIR, QString());
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) return fail(errno, file.errorString());
    // What the user typed is theirs alone to read.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int error = errno;
        const QString detail = file.errorString();
        file.cancelWriting();
        return fail(error, detail);
    }
    errno = 0;
    if (!file.commit()) return fail(errno, file.errorString());
    return true;
}

bool SaveHotExitFile(const HotExitState& state, const QString& path, QString* reason) {
    return SaveHotExitBytes(SerializeHotExit(state), path, reason);
}

std::optional<HotExitState> LoadHotExitFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return ParseHotExit(file.readAll());
}

QString KeepDamagedHotExit(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(kept); ++n) kept = path + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(n);
    return QFile::copy(path, kept) ? kept : QString();
}

}  // namespace qy::app
