/** @file Accessibility.h
 * What assistive technology (a screen reader over AT-SPI) finds in the workbench. Each
 * component's accessible name says what it is for ("脚本地址", "表达式", "输出日志"…);
 * the layout names stay the object names. Combo boxes are named after their purpose and
 * give their current text as their value (on Linux Qt would name a combo box after its
 * current text), the signature label gives the signature it shows, a label that holds a
 * link is a link, and a top-level window is a window. Terse buttons explain themselves
 * in a tooltip and the same accessible description.
 */
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace qy::app {

/// Installs, once per process, the accessible interfaces above: combo boxes with an
/// accessible name, value labels, link labels and plain top-level windows. Call before
/// the first of them is asked for.
void InstallAccessibleNames();

/// Names, describes and relates the main window's components (the window calls it
/// once they are placed): the purpose names, "函数列表" as the label of its combo box,
/// `标签_Fun` as a value label, the buttons' tooltips and descriptions.
void DescribeMainWindow(QWidget& window);

/// Makes `label` read its text as its value and description, under its own accessible
/// name (the text changes; the name says what it is).
void MarkValueLabel(QLabel& label);
/// Makes `label`, which shows a link to `target`, a link: its press opens the target
/// as a click does.
void MarkLinkLabel(QLabel& label, const QString& target);

}  // namespace qy::app
