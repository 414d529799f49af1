/** @file FindFeatures.h
 * Finding and moving in the main window: Ctrl+F goes to the search box, F3 and Shift+F3
 * find the next and previous match with the current option, Ctrl+G goes to a line, a
 * miss is said in the status bar, which also shows the caret's line and column and
 * which tab's code is loaded.
 */
#pragma once

#include <QObject>
#include <functional>
#include <optional>

class QLabel;

namespace qy::app {

class MainWindow;

class FindFeatures : public QObject {
    Q_OBJECT
public:
    explicit FindFeatures(MainWindow& window);

    /// Searches again with the search box's text and option; false on a miss.
    bool FindAgain(bool forward);
    /// Asks for a line number (tests answer instead of the dialog) and goes there.
    void GoToLine();
    std::function<std::optional<int>(int current, int lines)> askLine;

    /// "行 3, 列 7" of the current editor.
    QString PositionText() const;
    QString LoadedText() const;
    QString StatusMessage() const;

private:
    void UpdatePosition();
    void SayMiss(const QString& text);

    MainWindow& m_window;
    QLabel* m_position = nullptr;
    QLabel* m_loaded = nullptr;
    int m_loadedTab = -1;
};

}  // namespace qy::app
