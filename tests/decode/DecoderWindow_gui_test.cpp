#include "decode/gui/DecoderWindow.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

TEST(DecoderWindow, OneWindowDecodingWithTheChosenEncoding) {
    using qy::decode::DecoderWindow;
    DecoderWindow* w = DecoderWindow::ShowOrActivate();
    EXPECT_EQ(DecoderWindow::ShowOrActivate(), w);
    w->showMinimized();
    EXPECT_EQ(DecoderWindow::ShowOrActivate(), w);
    EXPECT_FALSE(w->isMinimized());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("KV-RA解码小工具"));
    auto* kind = w->findChild<QComboBox*>(QStringLiteral("组合框1"));
    EXPECT_EQ(kind->count(), 4);
    EXPECT_EQ(kind->currentIndex(), 0);
    auto* in = w->findChild<QPlainTextEdit*>(QStringLiteral("txt_old"));
    auto* out = w->findChild<QPlainTextEdit*>(QStringLiteral("txt_new"));
    auto* button = w->findChild<QPushButton*>(QStringLiteral("按钮1"));
    EXPECT_EQ(button->text(), QStringLiteral("给老子解码↓↓"));
    EXPECT_EQ(button->geometry(), QRect(248, 179, 176, 24));
    in->setPlainText(QStringLiteral("\\u4e2d\\u6587"));
    button->click();
    EXPECT_EQ(out->toPlainText(), QStringLiteral("中文"));
    kind->setCurrentIndex(3);
    in->setPlainText(QStringLiteral("QUJD\nREVG"));
    button->click();
    EXPECT_EQ(out->toPlainText(), QStringLiteral("ABCDEF"));
    kind->setCurrentIndex(-1);
    in->setPlainText(QStringLiteral("%41"));
    button->click();
    EXPECT_EQ(out->toPlainText(), QStringLiteral("ABCDEF"));
    w->close();
}
