#include "app/ConsoleFeatures.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/MainWindow.h"

namespace qy::app {

ConsoleFeatures::ConsoleFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    setObjectName(QStringLiteral("ConsoleFeatures"));
    auto* eval = window.Component<QLineEdit>("编辑框_eval");
    eval->installEventFilter(this);
    // The button records what it evaluates, however it was pressed.
    connect(window.Button("按钮_run"), &QPushButton::clicked, this, [this, eval] {
        m_history.Add(eval->text());
        emit historyChanged();
    });
    auto* addr = window.Component<QComboBox>("组合框_addr");
    // The key is taken here: the combo box would hand it to its edit field a second time.
    addr->lineEdit()->installEventFilter(this);
    auto* log = window.Component<QPlainTextEdit>("编辑框_output");
    log->setTabChangesFocus(true);
    log->installEventFilter(this);
    log->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(log, &QWidget::customContextMenuRequested, this, [this, log](const QPoint& at) {
        QMenu menu(log);
        menu.setObjectName(QStringLiteral("日志菜单"));
        FillLogMenu(menu);
        menu.exec(log->viewport()->mapToGlobal(at));
    });
}

void ConsoleFeatures::FillLogMenu(QMenu& menu) {
    auto* log = m_window.Component<QPlainTextEdit>("编辑框_output");
    QAction* copy = menu.addAction(QStringLiteral("复制"));
    copy->setObjectName(QStringLiteral("复制"));
    connect(copy, &QAction::triggered, log, [log] {
        QString text = log->textCursor().hasSelection() ? log->textCursor().selectedText() : log->toPlainText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        QApplication::clipboard()->setText(text);
    });
    QAction* all = menu.addAction(QStringLiteral("全选"));
    all->setObjectName(QStringLiteral("全选"));
    connect(all, &QAction::triggered, log, &QPlainTextEdit::selectAll);
    menu.addSeparator();
    QAction* clear = menu.addAction(QStringLiteral("清空"));
    clear->setObjectName(QStringLiteral("清空"));
    connect(clear, &QAction::triggered, log, &QPlainTextEdit::clear);
}

bool ConsoleFeatures::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    auto* addr = m_window.Component<QComboBox>("组合框_addr");
    if (watched == addr->lineEdit()) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_window.Button("按钮_读取JS")->click();
            return true;
        }
    } else if (auto* eval = qobject_cast<QLineEdit*>(watched)) {
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter: m_window.Button("按钮_run")->click(); return true;
            case Qt::Key_Up: eval->setText(m_history.Older(eval->text())); return true;
            case Qt::Key_Down: eval->setText(m_history.Newer(eval->text())); return true;
            default: break;
        }
    } else if (auto* log = qobject_cast<QPlainTextEdit*>(watched)) {
        // Tab and Shift+Tab move on (the log sets tabChangesFocus); Ctrl+Tab writes a tab.
        if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier)) {
            log->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qy::app
