/** @file TransformFeatures.h
 * Wires "格式化", "压缩", "eval解密", "生成E代码" and "复制JS" of a main window, and the
 * caller code of other languages offered beside "生成E代码" (a drop-down button and
 * the button's context menu).
 */
#pragma once

#include <QObject>
#include <QString>

#include "transform/CallerSnippets.h"

class QAction;
class QMenu;
class QToolButton;
class QWidget;

namespace qy::app {

class MainWindow;

class TransformFeatures : public QObject {
    Q_OBJECT
public:
    explicit TransformFeatures(MainWindow& window);

    void Format();
    void Compress();
    void Unpack();
    void GenerateCallerCode();
    void CopyScript();
    /// Copies the program of `language` around the current script and expression.
    void GenerateCallerProgram(transform::CallerLanguage language);
    /// Ticked: the programs read the script from a file; asks for its name.
    void SetReadFromFile(bool on);

    QMenu* CallerMenu() const { return m_callerMenu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCallerMenu();
    void PlaceCallerButton();

    MainWindow& m_window;
    QMenu* m_callerMenu = nullptr;
    QToolButton* m_callerButton = nullptr;
    QWidget* m_goButton = nullptr;
    QAction* m_fromFile = nullptr;
    QString m_scriptFileName;
};

}  // namespace qy::app
