#include "app/PageBreaksTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qy::app {
namespace {

struct KindRow {
    debug::PageEvent kind;
    const char* hint;  ///< what the text box asks for
};

const KindRow kKinds[] = {
    {debug::PageEvent::Request, "网址包含的文本（留空为所有请求，含表单提交）"},
    {debug::PageEvent::Cookie, "Cookie 名称（留空为任意）"},
    {debug::PageEvent::Storage, "键名包含的文本（留空为任意）"},
    {debug::PageEvent::Timer, "回调函数名包含的文本（留空为任意）"},
    {debug::PageEvent::AnimationFrame, "回调函数名包含的文本（留空为任意）"},
    {debug::PageEvent::Listener, "事件类型，如 click（留空为任意）"},
    {debug::PageEvent::Access, "对象的属性，如 navigator.userAgent、document.cookie、window.xyz"},
};

QString Name(debug::PageEvent kind) { return QString::fromStdU16String(debug::PageEventName(kind)); }

}  // namespace

PageBreaksTab::PageBreaksTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("页面_页面断点"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("列表_页面断点"));
    m_list->setAccessibleName(QStringLiteral("页面断点"));
    m_list->setHeaderLabels({QStringLiteral("类型"), QStringLiteral("条件"), QStringLiteral("方式")});
    m_list->setRootIsDecorated(false);
    m_list->setColumnWidth(0, 110);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->setToolTip(QStringLiteral("选中一行按 Delete 删除"));
    m_list->installEventFilter(this);
    layout->addWidget(m_list, 1);

    auto* form = new QGridLayout;
    auto* kindLabel = new QLabel(QStringLiteral("类型(&K)"), this);
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("组合框_页面断点类型"));
    m_kind->setAccessibleName(QStringLiteral("页面断点类型"));
    for (const KindRow& k : kKinds) m_kind->addItem(Name(k.kind), static_cast<int>(k.kind));
    kindLabel->setBuddy(m_kind);
    auto* textLabel = new QLabel(QStringLiteral("条件(&T)"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("编辑框_页面断点条件"));
    m_text->setAccessibleName(QStringLiteral("页面断点条件"));
    textLabel->setBuddy(m_text);
    m_log = new QCheckBox(QStringLiteral("只记日志，不暂停（日志点）"), this);
    m_log->setObjectName(QStringLiteral("选择框_页面断点日志点"));
    m_log->setAccessibleName(m_log->text());
    auto* add = new QPushButton(QStringLiteral("添加(&A)"), this);
    add->setObjectName(QStringLiteral("按钮_添加页面断点"));
    add->setAccessibleName(QStringLiteral("添加页面断点"));
    add->setAutoDefault(false);
    m_remove = new QPushButton(QStringLiteral("删除(&R)"), this);
    m_remove->setObjectName(QStringLiteral("按钮_删除页面断点"));
    m_remove->setAccessibleName(QStringLiteral("删除页面断点"));
    m_remove->setAutoDefault(false);
    form->addWidget(kindLabel, 0, 0);
    form->addWidget(m_kind, 0, 1);
    form->addWidget(textLabel, 1, 0);
    form->addWidget(m_text, 1, 1, 1, 3);
    form->addWidget(m_log, 2, 1);
    form->addWidget(add, 2, 2);
    form->addWidget(m_remove, 2, 3);
    form->setColumnStretch(1, 1);
    layout->addLayout(form);

    connect(m_kind, &QComboBox::currentIndexChanged, this, [this] { ShowHint(); });
    connect(add, &QPushButton::clicked, this, [this] { AddFromForm(); });
    connect(m_text, &QLineEdit::returnPressed, this, [this] { AddFromForm(); });
    connect(m_remove, &QPushButton::clicked, this, [this] {
        RemoveAt(m_list->indexOfTopLevelItem(m_list->currentItem()));
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { m_remove->setEnabled(m_list->currentItem()); });
    ShowHint();
    ShowList();
}

void PageBreaksTab::ShowHint() {
    int i = std::max(0, m_kind->currentIndex());
    m_text->setPlaceholderText(QString::fromUtf8(kKinds[i].hint));
    m_text->setToolTip(m_text->placeholderText());
}

void PageBreaksTab::AddFromForm() {
    debug::PageBreak b;
    b.kind = static_cast<debug::PageEvent>(m_kind->currentData().toInt());
    b.text = m_text->text().trimmed().toStdU16String();
    b.log = m_log->isChecked();
    // A member is named by its object: a bare name is one of the global's.
    if (b.kind == debug::PageEvent::Access && b.text.empty()) {
        m_text->setFocus();
        return;
    }
    Add(b);
    m_text->clear();
}

void PageBreaksTab::Add(const debug::PageBreak& brk) {
    debug::PageBreak b = brk;
    if (b.kind == debug::PageEvent::Access && b.text.find(u'.') == std::u16string::npos) b.text = u"window." + b.text;
    for (debug::PageBreak& old : m_breaks) {
        if (old.kind == b.kind && old.text == b.text) {
            old.log = b.log;
            ShowList();
            emit changed();
            return;
        }
    }
    m_breaks.push_back(b);
    ShowList();
    m_list->setCurrentItem(m_list->topLevelItem(m_list->topLevelItemCount() - 1));
    emit changed();
}

void PageBreaksTab::RemoveAt(int row) {
    if (row < 0 || static_cast<size_t>(row) >= m_breaks.size()) return;
    m_breaks.erase(m_breaks.begin() + row);
    ShowList();
    emit changed();
}

void PageBreaksTab::SetBreaks(std::vector<debug::PageBreak> breaks) {
    m_breaks = std::move(breaks);
    ShowList();
}

void PageBreaksTab::ShowList() {
    m_list->clear();
    for (const debug::PageBreak& b : m_breaks) {
        QString text = QString::fromStdU16String(b.text);
        auto* row = new QTreeWidgetItem(m_list, {Name(b.kind), text.isEmpty() ? QStringLiteral("（任意）") : text,
                                                 b.log ? QStringLiteral("日志点") : QStringLiteral("暂停")});
        row->setToolTip(1, row->text(1));
    }
    m_remove->setEnabled(m_list->currentItem());
}

bool PageBreaksTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RemoveAt(m_list->indexOfTopLevelItem(m_list->currentItem()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qy::app
