#include "decode/gui/DecoderWindow.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTextDocument>
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

TEST(DecoderWindow, UrlOrBase64DecodedUtf8BytesDecodeFurtherAsUtf8) {
    using qy::decode::DecoderWindow;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // a window closed before
    DecoderWindow* w = DecoderWindow::ShowOrActivate();
    auto* kind = w->findChild<QComboBox*>(QStringLiteral("组合框1"));
    auto* in = w->findChild<QPlainTextEdit*>(QStringLiteral("txt_old"));
    auto* out = w->findChild<QPlainTextEdit*>(QStringLiteral("txt_new"));
    auto* button = w->findChild<QPushButton*>(QStringLiteral("按钮1"));
    // The plain text would show a no-break space as a blank.
    auto shown = [out] { return out->document()->toRawText(); };
    // The UTF-8 bytes show as GBK characters (the last byte of 中 alone is no character),
    // and passed on to "UTF8编码" they give the text back.
    struct Case { int kind; QString encoded; QString text; };
    for (const Case& c : {Case{2, QStringLiteral("%E4%B8%AD%E6%96%87"), QStringLiteral("中文")},
                          Case{3, QStringLiteral("5Lit5paH"), QStringLiteral("中文")},
                          Case{2, QStringLiteral("%E4%B8%AD"), QStringLiteral("中")},
                          Case{3, QStringLiteral("wqnCoPCfmIA="), QStringLiteral("\u00A9\u00A0\U0001F600")}}) {
        kind->setCurrentIndex(c.kind);
        in->setPlainText(c.encoded);
        button->click();
        EXPECT_NE(shown(), c.text);
        in->setPlainText(shown());
        kind->setCurrentIndex(1);
        button->click();
        EXPECT_EQ(shown(), c.text) << c.encoded.toStdString();
    }
    // Characters outside GBK go through the escapes decoder whole.
    kind->setCurrentIndex(0);
    in->setPlainText(QStringLiteral("\\u00a9\\ud83d\\ude00 \u00A0"));
    button->click();
    EXPECT_EQ(shown(), QStringLiteral("\u00A9\U0001F600 \u00A0"));
    w->close();
}

// It opens centred on the screen (clear of the main window's menu bar), fixed in size
// without minimise or maximise button, and Esc closes it wherever the focus is.
TEST(DecoderWindow, OpensCentredAndEscClosesIt) {
    using qy::decode::DecoderWindow;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const char* focus : {"txt_old", "组合框1", "按钮1", "txt_new"}) {
        QPointer<DecoderWindow> w = DecoderWindow::ShowOrActivate();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // Centred before the frame is known: off by no more than the frame's width.
        EXPECT_LE((w->frameGeometry().center() - screen.center()).manhattanLength(), 8);
        EXPECT_FALSE(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(w->minimumSize(), w->maximumSize());
        auto* target = w->findChild<QWidget*>(QString::fromUtf8(focus));
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible()) << focus;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(w.isNull()) << focus;
    }
    // Other keys are the boxes' own.
    DecoderWindow* w = DecoderWindow::ShowOrActivate();
    auto* in = w->findChild<QPlainTextEdit*>(QStringLiteral("txt_old"));
    QTest::keyClicks(in, QStringLiteral("ab"));
    EXPECT_EQ(in->toPlainText(), QStringLiteral("ab"));
    EXPECT_TRUE(w->isVisible());
    w->close();
}
