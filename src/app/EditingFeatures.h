/** @file EditingFeatures.h
 * Wires the search row, the "文件" menu's open and export and the "清空" button of a
 * main window to the editor's search and script-file logic.
 */
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "editor/ScriptFiles.h"

namespace qy::app {

class MainWindow;

class EditingFeatures : public QObject {
    Q_OBJECT
public:
    explicit EditingFeatures(MainWindow& window);
    ~EditingFeatures() override;

    /// Replaces the file dialog (tests answer it themselves).
    void SetChooser(std::unique_ptr<editor::FileChooser> chooser);
    editor::ScriptFiles& Files() { return *m_files; }
    /// Files named when the workbench was started, each read into a page of its own that
    /// holds nothing (or only the demonstration script): no text of the user's is ever
    /// replaced. The last page opened is shown; a file that finds no free page is named
    /// in the log instead.
    void OpenGivenFiles(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Search();

    MainWindow& m_window;
    std::unique_ptr<editor::FileChooser> m_chooser;
    std::unique_ptr<editor::ScriptFiles> m_files;
};

}  // namespace qy::app
