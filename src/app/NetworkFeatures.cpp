#include "app/NetworkFeatures.h"

#include <cctype>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "app/BusyWindow.h"
#include "app/MainWindow.h"
#include "env/PageHost.h"
#include "script/ScriptSession.h"
#include "decode/Encoding.h"
#include "decode/gui/DecoderWindow.h"
#include "editor/Editor.h"
#include "env/UserAgent.h"
#include "net/HttpGet.h"
#include "net/gui/UpdateWindow.h"
#include "text/CodePage.h"

namespace qy::app {
namespace {

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }

/// Valid UTF-8 holding at least one character beyond ASCII (GBK text almost never is),
/// or valid UTF-8 the server declares as such.
bool LooksLikeUtf8Text(const std::string& body, const std::string& contentType) {
    bool beyondAscii = false;
    for (char c : body) beyondAscii |= static_cast<unsigned char>(c) >= 0x80;
    std::string type;
    for (char c : contentType) type.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    bool declared = type.find("charset=utf-8") != std::string::npos || type.find("charset=\"utf-8\"") != std::string::npos;
    return (beyondAscii || declared) && text::IsValidUtf8(body);
}

void ShowMessage(const QString& caption, const QString& text, QMessageBox::Icon icon = QMessageBox::NoIcon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace

NetworkFeatures::NetworkFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    setObjectName(QStringLiteral("NetworkFeatures"));
    connect(window.Button("按钮_读取JS"), &QPushButton::clicked, this, &NetworkFeatures::FetchScript);
    connect(window.MenuAction("检查更新"), &QAction::triggered, this, &NetworkFeatures::CheckForUpdate);
    connect(window.MenuAction("解码工具"), &QAction::triggered, this, [] { decode::DecoderWindow::ShowOrActivate(); });
}

void NetworkFeatures::FetchScript() {
    editor::Editor* editor = m_window.CurrentEditor();
    auto* addr = m_window.Component<QComboBox>("组合框_addr");
    QString address = addr->currentText();
    std::string ansiAddress = text::WideToAnsi(address.toStdU16String());
    net::HttpResult reply;
    {
        BusyWindow::Task busy(QStringLiteral("正在读取JS…"));
        net::HttpControl control;
        control.pump = [&busy] { busy.Pump(); };
        control.cancelled = [&busy] { return busy.Cancelled(); };
        control.deadlineMilliseconds = m_deadlineMs;
        // The script is asked for as the page's browser asks for it.
        control.userAgent = env::UserAgent();
        reply = net::HttpGet(ansiAddress, control);
    }
    if (reply.ok && reply.body.empty())
        reply.reason = reply.droppedBytes ? "回应以零字节开头，不是文本" : "回应是空的";
    if (!reply.ok || reply.body.empty()) {
        // An error page is not the script: the editor and the history stay as they were.
        std::string why = reply.reason.empty() ? "" : Ansi("：") + text::Utf8ToAnsiText(reply.reason);
        m_window.AppendLog(Ansi("-->代码读取失败") + why + "\r\n");
        return;
    }
    bool utf8 = m_window.Component<QCheckBox>("选择框1")->isChecked();
    // Bytes that are not UTF-8 would each become "?": such text is kept as it came (GBK).
    bool notUtf8 = utf8 && !text::IsValidUtf8(reply.body);
    editor->SetText(utf8 && !notUtf8 ? decode::Utf8ToAnsi(reply.body) : reply.body);
    m_window.AppendLog(Ansi("-->代码读取成功\r\n"));
    if (notUtf8)
        m_window.AppendLog(Ansi("-->提示：读取到的内容不是有效的 UTF-8，已按 GBK 原样载入（未做 UTF-8 解码）\r\n"));
    if (reply.droppedBytes)
        m_window.AppendLog(Ansi("-->提示：内容中有零字节，只载入了它之前的 ") + std::to_string(reply.body.size()) +
                           Ansi(" 字节，其后的 ") + std::to_string(reply.droppedBytes) + Ansi(" 字节未载入\r\n"));
    if (script::LooksLikePage(reply.body)) {
        // A page's own cookies seed the jar when it is loaded.
        env::PageSetup setup = env::CurrentPageSetup();
        setup.setCookies = reply.setCookies;
        env::SetPageSetup(std::move(setup));
    }
    if (!utf8 && LooksLikeUtf8Text(reply.body, reply.contentType)) {
        m_window.AppendLog(Ansi("-->提示：读取到的内容是 UTF-8 编码，若中文显示为乱码，请勾选“UTF-8解码”后重新读取\r\n"));
    }
    for (int i = 0; i < addr->count(); ++i) {
        if (addr->itemText(i) == address) return;
    }
    QSignalBlocker block(addr);
    addr->addItem(address);
    addr->setEditText(address);
}

void NetworkFeatures::CheckForUpdate() {
    net::UpdateOutcome outcome;
    {
        // "停止" ends the transfer, and a stopped check says nothing.
        BusyWindow::Task busy(QStringLiteral("正在检查更新…"));
        net::HttpControl control;
        control.pump = [&busy] { busy.Pump(); };
        control.cancelled = [&busy] { return busy.Cancelled(); };
        control.deadlineMilliseconds = m_deadlineMs;
        outcome = net::CheckForUpdate(kOwnVersion, m_record, control);
        if (busy.Cancelled()) return;
    }
    switch (outcome) {
        case net::UpdateOutcome::NewerVersion: {
            net::UpdateWindow window(m_record);
            window.setWindowModality(Qt::ApplicationModal);
            window.exec();
            return;
        }
        case net::UpdateOutcome::UpToDate:
            ShowMessage(QStringLiteral("检查更新"), QStringLiteral("亲-，-你用的是最新版了哦"));
            return;
        case net::UpdateOutcome::CheckFailed:
            ShowMessage(QStringLiteral("检查更新"), QStringLiteral("检查更新失败：无法从更新服务器取得版本信息，请稍后再试。"),
                        QMessageBox::Warning);
            return;
    }
}

}  // namespace qy::app
