/** @file ObjectViewer.h
 * The window "对象查看器DEMO": the object's description on the left and its array view
 * on the right. The array view reads an element only when its line is shown, so any
 * "length" opens at once.
 */
#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <memory>

#include "inspect/ObjectDescription.h"

namespace qy::inspect {

class ArrayLinesModel final : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ArrayLinesModel(script::ObjectRef object, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
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
