#include "app/ExpressionHistory.h"

namespace qy::app {

void ExpressionHistory::Add(const QString& expression) {
    if (!expression.isEmpty() && (m_items.isEmpty() || m_items.last() != expression)) m_items.append(expression);
    while (m_items.size() > kMaxEntries) m_items.removeFirst();
    m_pos = static_cast<int>(m_items.size());
    m_draft.clear();
}

QString ExpressionHistory::Older(const QString& current) {
    if (m_pos >= m_items.size()) {
        m_pos = static_cast<int>(m_items.size());
        m_draft = current;
    }
    if (m_pos == 0) return m_items.isEmpty() ? current : m_items.first();
    return m_items[--m_pos];
}

QString ExpressionHistory::Newer(const QString& current) {
    if (m_pos >= m_items.size()) return current;
    ++m_pos;
    return m_pos == m_items.size() ? m_draft : m_items[m_pos];
}

void ExpressionHistory::SetItems(QStringList items) {
    m_items = std::move(items);
    while (m_items.size() > kMaxEntries) m_items.removeFirst();
    m_pos = static_cast<int>(m_items.size());
    m_draft.clear();
}

}  // namespace qy::app
