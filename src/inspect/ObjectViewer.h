/** @file ObjectViewer.h
 * The window "对象查看器DEMO": the object's description on the left and its array view
 * on the right. The array view reads an element only when its line is shown, so any
 * "length" opens at once; assistive technology reads the lines as list items, made
 * as it asks for them. The window opens centred on the screen.
 */
#pragma once

#include <QAbstractScrollArea>
#include <QDialog>
#include <memory>

#include "inspect/ObjectDescription.h"

namespace qy::inspect {

/// A list box for any number of lines: it asks for the text of a line only while the
/// line is on screen, one line per scroll step. (Qt's item views keep per-row records,
/// which a length of a billion would turn into gigabytes.)
class LazyLineList final : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit LazyLineList(script::ObjectRef object, QWidget* parent = nullptr);
    int64_t LineCount() const { return 1 + m_lines.ElementCount(); }
    QString Line(int64_t row) const;
    int64_t FirstVisibleLine() const;
    /// Where line `row` is drawn in the viewport; empty while it is scrolled away.
    QRect LineRect(int64_t row) const;
    /// The line drawn at a viewport point, or -1.
    int64_t LineAt(QPoint point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int LineHeight() const;
    void UpdateScrollRange();

    ArrayLines m_lines;
};

class ObjectViewer final : public QDialog {
    Q_OBJECT
public:
    explicit ObjectViewer(const script::ObjectRef& object, QWidget* parent = nullptr);
};

/// Opens the viewer on `object` as a modal window and returns when it is closed.
void OpenObjectViewer(const script::ObjectRef& object, QWidget* parent = nullptr);

}  // namespace qy::inspect
