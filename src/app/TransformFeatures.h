/** @file TransformFeatures.h
 * Wires "格式化", "压缩", "eval解密", "生成E代码" and "复制JS" of a main window.
 */
#pragma once

#include <QObject>

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

private:
    MainWindow& m_window;
};

}  // namespace qy::app
