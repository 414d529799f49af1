/** @file AppTestSupport.h
 * Drives the real main window in tests: a fresh window per test, clicking buttons,
 * answering message boxes as a user would.
 */
#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/BusyWindow.h"
#include "app/Features.h"
#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "text/CodePage.h"

namespace qy::test {

inline std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }
inline QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

/// A shown main window made afresh for one test.
inline std::unique_ptr<app::MainWindow> NewMainWindow() {
    auto w = std::make_unique<app::MainWindow>();
    app::AttachFeatures(*w);
    w->show();
    return w;
}

inline void Click(app::MainWindow& w, const char* button) { w.Button(button)->click(); }

inline void SetEval(app::MainWindow& w, const char* utf8) { w.Component<QLineEdit>("编辑框_eval")->setText(Q(utf8)); }

/// The log's lines appended after `before` bytes.
inline std::string LogSince(app::MainWindow& w, size_t before) { return w.LogText().substr(before); }

/// Watches for the next modal window (a message box or dialog) and lets `act` handle
/// it; `act` receives the widget. Polls until one appears, so it works whatever runs
/// the nested event loop.
inline void WhenModalAppears(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

/// Lets `act` handle the busy window once it is shown (it is not modal: the main
/// window's close must reach it).
inline void WhenBusyWindowAppears(std::function<void(QDialog*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QDialog* busy = app::BusyWindow::Current();
        if (!busy || !busy->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(busy);
    });
    timer->start();
}

/// Answers the next message box with `button` and records its caption and text.
inline void AnswerMessageBox(QMessageBox::StandardButton button, QString* caption = nullptr, QString* text = nullptr,
                             QMessageBox::Icon* icon = nullptr) {
    WhenModalAppears([=](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return;
        if (caption) *caption = box->windowTitle();
        if (text) *text = box->text();
        if (icon) *icon = box->icon();
        box->button(button) ? box->button(button)->click() : box->done(button);
    });
}

}  // namespace qy::test
