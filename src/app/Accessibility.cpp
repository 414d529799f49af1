#include "app/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QVariant>

namespace qy::app {
namespace {

/// A combo box as assistive technology sees it: its own name, its current text as the
/// value, its edit field (when editable) and its list as children, and the action that
/// opens the list.
class NamedComboBox final : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return Combo()->isEditable() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(Combo()->view());
        if (index == 1 && Combo()->isEditable()) return QAccessible::queryAccessibleInterface(Combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == Combo()->view()) return 0;
        if (Combo()->isEditable() && child->object() == Combo()->lineEdit()) return 1;
        return -1;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) Combo()->showPopup();
    }

private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

constexpr const char* kValueLabel = "qyValueLabel";
constexpr const char* kLinkTarget = "qyLinkTarget";

/// A label whose text is a value (a signature, a position): named for what it shows,
/// its text read as its value and description.
class ValueLabel final : public QAccessibleWidget {
public:
    explicit ValueLabel(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value || t == QAccessible::Description) return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

/// A label that shows one link: a link to assistive technology, pressed as clicked.
class LinkLabel final : public QAccessibleWidget {
public:
    explicit LinkLabel(QLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Target();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.linked = true;
        s.focusable = true;
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction()) emit static_cast<QLabel*>(widget())->linkActivated(Target());
    }

private:
    QString Target() const { return widget()->property(kLinkTarget).toString(); }
};

/// A widget of ours made of a plain widget: a window while it is a window of its own
/// (popups and tooltips stay what they are), a panel while it is placed in another.
class PlainWindow final : public QAccessibleWidget {
public:
    explicit PlainWindow(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Client) {}
    QAccessible::Role role() const override {
        const QWidget* w = widget();
        const bool window = w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip;
        return window ? QAccessible::Window : QAccessible::Client;
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    auto* combo = qobject_cast<QComboBox*>(object);
    if (combo && !combo->accessibleName().isEmpty()) return new NamedComboBox(combo);
    if (auto* label = qobject_cast<QLabel*>(object)) {
        if (label->property(kLinkTarget).isValid()) return new LinkLabel(label);
        if (label->property(kValueLabel).toBool()) return new ValueLabel(label);
        return nullptr;
    }
    // A window of ours made of a plain widget (the decoder and reference windows) is a
    // window, not a panel; dialogs and the main window are named so by Qt already. Qt's
    // own widgets keep the interfaces Qt gives them: a line edit is a plain widget too,
    // and a window of its own until it is placed, which is when naming it asks for its
    // interface.
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->metaObject()->superClass() == &QWidget::staticMetaObject &&
        QByteArray(widget->metaObject()->className()).startsWith("qy::"))
        return new PlainWindow(widget);
    return nullptr;
}

template <typename W>
W* Find(QWidget& window, const char* layoutName) {
    return window.findChild<W*>(QString::fromUtf8(layoutName));
}

struct Purpose {
    const char* layoutName;
    const char* name;
};

/// What the components without a caption are for.
constexpr Purpose kPurposes[] = {
    {"组合框_addr", "脚本地址"},   {"编辑框_搜索内容", "搜索内容"}, {"组合框_more", "搜索选项"},
    {"组合框_FunList", "函数列表"}, {"标签_Fun", "函数签名"},       {"编辑框_eval", "表达式"},
    {"编辑框_output", "输出日志"},  {"高级选择夹1", "代码标签页"},
};

/// What each button does, for its tooltip and accessible description.
constexpr Purpose kButtonHelp[] = {
    {"按钮_读取JS", "按脚本地址下载JS代码，放进当前代码编辑框"},
    {"按钮_add", "把当前代码编辑框中的代码加载到脚本引擎，并列出其中的函数"},
    {"按钮_search", "在当前代码编辑框中按搜索选项查找搜索内容（F3 查找下一个，Shift+F3 查找上一个）"},
    {"按钮_pack", "压缩当前代码编辑框中的代码：去掉注释和多余的空白"},
    {"按钮_cla", "清空当前代码编辑框"},
    {"按钮_unpack", "解开当前代码中 eval、Function 和打包器的加密，还原字符串数组混淆，然后格式化"},
    {"按钮_copy", "把当前代码编辑框中的全部JS代码复制到剪贴板"},
    {"按钮_format", "把当前代码编辑框中的代码排版成便于阅读的格式"},
    {"按钮_run", "在脚本引擎中计算表达式框中的表达式（在表达式框中按回车键同此）"},
    {"按钮_go", "按表达式框中的函数调用生成易语言调用代码，复制到剪贴板"},
};

}  // namespace

void InstallAccessibleNames() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

/// Drops the interface Qt made for `object` already (naming a widget makes one), so
/// that the next request makes the one its marks call for.
void ForgetInterface(QObject& object) {
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&object))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void MarkValueLabel(QLabel& label) {
    label.setProperty(kValueLabel, true);
    ForgetInterface(label);
}

void MarkLinkLabel(QLabel& label, const QString& target) {
    label.setProperty(kLinkTarget, target);
    ForgetInterface(label);
}

void DescribeMainWindow(QWidget& window) {
    InstallAccessibleNames();
    for (const Purpose& p : kPurposes)
        if (auto* w = Find<QWidget>(window, p.layoutName)) w->setAccessibleName(QString::fromUtf8(p.name));
    for (int i = 0; i < 6; ++i) {
        if (auto* editor = Find<QWidget>(window, ("代码编辑框" + std::to_string(i)).c_str()))
            editor->setAccessibleName(QStringLiteral("代码编辑器 New%1").arg(i));
    }
    // The address's edit field is what a screen reader types into: named as its box.
    if (auto* address = Find<QComboBox>(window, "组合框_addr"); address && address->lineEdit())
        address->lineEdit()->setAccessibleName(address->accessibleName());
    if (auto* label = Find<QLabel>(window, "标签1")) label->setBuddy(Find<QWidget>(window, "组合框_FunList"));
    if (auto* signature = Find<QLabel>(window, "标签_Fun")) MarkValueLabel(*signature);
    for (const Purpose& p : kButtonHelp) {
        if (auto* b = Find<QPushButton>(window, p.layoutName)) {
            b->setToolTip(QString::fromUtf8(p.name));
            b->setAccessibleDescription(QString::fromUtf8(p.name));
        }
    }
}

}  // namespace qy::app
