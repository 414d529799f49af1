#include "app/DynamicCodeTab.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

#include "text/CodePage.h"
#include "transform/Transforms.h"

namespace qy::app {

DynamicCodeTab::DynamicCodeTab(const debug::DynamicSource& source, QWidget* parent)
    : QWidget(parent), m_source(source.text) {
    QString title = QString::fromStdU16String(debug::DynamicTitle(source));
    setObjectName(QStringLiteral("标签页_动态代码_%1").arg(source.number));
    m_text = new QPlainTextEdit(QString::fromStdU16String(m_source), this);
    m_text->setObjectName(QStringLiteral("编辑框_动态代码_%1").arg(source.number));
    m_text->setAccessibleName(title + QStringLiteral("（只读）"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    m_text->setFont(mono);

    m_format = new QPushButton(QStringLiteral("格式化"), this);
    m_format->setObjectName(QStringLiteral("按钮_格式化动态代码"));
    m_format->setCheckable(true);
    m_format->setToolTip(QStringLiteral("显示格式化后的代码（断点只能设在原样的代码上）"));
    m_format->setAccessibleDescription(m_format->toolTip());
    auto* toggle = new QPushButton(QStringLiteral("切换断点 (F9)"), this);
    toggle->setObjectName(QStringLiteral("按钮_动态代码断点"));
    toggle->setToolTip(QStringLiteral("在光标所在行设置或取消断点"));
    toggle->setAccessibleDescription(toggle->toolTip());
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("标签_动态代码断点"));
    auto* key = new QAction(this);
    key->setShortcut(Qt::Key_F9);
    key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(key);
    auto toggleHere = [this] { ToggleBreakpoint(static_cast<uint32_t>(m_text->textCursor().blockNumber() + 1)); };
    connect(key, &QAction::triggered, this, toggleHere);
    connect(toggle, &QPushButton::clicked, this, toggleHere);
    connect(m_format, &QPushButton::toggled, this, [this](bool on) {
        if (!SetFormatted(on)) {
            QSignalBlocker block(m_format);
            m_format->setChecked(m_formatted);
        }
    });

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_format);
    bar->addWidget(toggle);
    bar->addWidget(m_status, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(m_text, 1);
    Highlight();
}

bool DynamicCodeTab::ToggleBreakpoint(uint32_t line) {
    if (m_formatted || line == 0 || line > static_cast<uint32_t>(m_text->blockCount())) return false;
    if (!m_breakpoints.erase(line)) m_breakpoints.insert(line);
    Highlight();
    emit breakpointsChanged();
    return true;
}

bool DynamicCodeTab::SetFormatted(bool on) {
    if (on == m_formatted) return true;
    if (on && m_formattedText.isEmpty()) {
        transform::ToolResult r = transform::FormatScript(text::WideToAnsi(m_source));
        if (!r.ok) {
            m_status->setText(QStringLiteral("无法格式化这段代码"));
            return false;
        }
        m_formattedText = QString::fromStdU16String(text::AnsiToWide(r.text)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    m_formatted = on;
    m_text->setPlainText(on ? m_formattedText : QString::fromStdU16String(m_source));
    {
        QSignalBlocker block(m_format);
        m_format->setChecked(on);
    }
    Highlight();
    return true;
}

void DynamicCodeTab::ShowExecutionPoint(uint32_t line) {
    m_executionLine = line;
    if (line && m_formatted) SetFormatted(false);
    Highlight();
    if (line) {
        QTextCursor at(m_text->document()->findBlockByNumber(static_cast<int>(line) - 1));
        m_text->setTextCursor(at);
        m_text->centerCursor();
    }
}

void DynamicCodeTab::SetFormatAllowed(bool allowed) { m_format->setEnabled(allowed || m_formatted); }

void DynamicCodeTab::Highlight() {
    QList<QTextEdit::ExtraSelection> marks;
    auto mark = [&](uint32_t line, const QColor& color) {
        QTextBlock block = m_text->document()->findBlockByNumber(static_cast<int>(line) - 1);
        if (!block.isValid()) return;
        QTextEdit::ExtraSelection s;
        s.cursor = QTextCursor(block);
        s.format.setBackground(color);
        s.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks << s;
    };
    if (!m_formatted) {
        for (uint32_t line : m_breakpoints) mark(line, QColor(255, 200, 200));
        if (m_executionLine) mark(m_executionLine, QColor(255, 240, 140));
    }
    m_text->setExtraSelections(marks);
    QStringList lines;
    for (uint32_t line : m_breakpoints) lines << QString::number(line);
    QString status = m_formatted ? QStringLiteral("已格式化（只读）")
                                 : lines.isEmpty() ? QStringLiteral("只读；F9 在光标行设断点")
                                                   : QStringLiteral("断点：第 %1 行").arg(lines.join(QStringLiteral("、")));
    if (m_executionLine && !m_formatted) status += QStringLiteral("；已暂停在第 %1 行").arg(m_executionLine);
    m_status->setText(status);
    m_status->setAccessibleName(status);
}

}  // namespace qy::app
