#include "app/BusyWindow.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QPointer>

#include "script/Engine.h"

namespace qy::app {
namespace {

constexpr auto kShowAfter = std::chrono::milliseconds(1000);

QPointer<QDialog> g_window;
int g_scopes = 0;

QDialog* MakeWindow() {
    auto* dialog = new QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    dialog->setObjectName(QStringLiteral("正在运行脚本"));
    dialog->setWindowTitle(QStringLiteral("正在运行脚本…"));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(QStringLiteral("正在运行脚本…"), dialog);
    label->setObjectName(QStringLiteral("标签_运行中"));
    label->setAccessibleName(label->text());
    auto* stop = new QPushButton(QStringLiteral("停止"), dialog);
    stop->setObjectName(QStringLiteral("按钮_停止"));
    stop->setAccessibleName(stop->text());
    QObject::connect(stop, &QPushButton::clicked, [] { script::RequestStop(); });
    layout->addWidget(label);
    layout->addWidget(stop);
    dialog->setFixedSize(220, 90);
    return dialog;
}

void OnBusy(std::chrono::milliseconds elapsed) {
    if (g_scopes > 0 && elapsed >= kShowAfter && !g_window) {
        g_window = MakeWindow();
        g_window->show();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

void BusyWindow::Install() { script::SetBusyHook(OnBusy); }

BusyWindow::Scope::Scope() { ++g_scopes; }

BusyWindow::Scope::~Scope() {
    if (--g_scopes == 0 && g_window) {
        g_window->hide();
        g_window->deleteLater();
        g_window = nullptr;
    }
}

QDialog* BusyWindow::Current() { return g_window; }

}  // namespace qy::app
