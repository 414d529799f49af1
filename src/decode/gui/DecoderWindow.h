/** @file DecoderWindow.h
 * The window "KV-RA解码小工具": encoded text above, the encoding, the decode button,
 * the decoded text below. One window at most; choosing it again brings it to the front.
 * It opens centred on the screen, and Esc closes it.
 */
#pragma once

#include <QWidget>

namespace qy::decode {

class DecoderWindow final : public QWidget {
    Q_OBJECT
public:
    explicit DecoderWindow(QWidget* parent = nullptr);

    /// Opens the one decoder window, or brings the open one to the front.
    static DecoderWindow* ShowOrActivate();
    static DecoderWindow* Instance();

    void Decode();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qy::decode
