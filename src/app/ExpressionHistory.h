/** @file ExpressionHistory.h
 * The expressions the user evaluated, oldest first, walked with Up and Down as a
 * shell's history is: Up from a half-typed line keeps that line as the draft that
 * Down past the newest entry brings back.
 */
#pragma once

#include <QString>
#include <QStringList>

namespace qy::app {

class ExpressionHistory {
public:
    static constexpr int kMaxEntries = 200;

    /// Records an evaluated expression; an empty one or a repeat of the newest is not
    /// recorded twice. Ends any walk.
    void Add(const QString& expression);
    /// The entry before the one shown (Up); `current` is what the box holds now.
    /// Returns `current` when there is nothing older.
    QString Older(const QString& current);
    /// The entry after the one shown (Down); past the newest, the draft.
    QString Newer(const QString& current);

    const QStringList& Items() const { return m_items; }
    void SetItems(QStringList items);

private:
    QStringList m_items;
    int m_pos = 0;  ///< index of the entry shown; m_items.size() while not walking
    QString m_draft;
};

}  // namespace qy::app
