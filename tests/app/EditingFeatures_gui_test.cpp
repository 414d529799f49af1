// Search row and script files through the real main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <random>

#include "AppTestSupport.h"
#include "app/EditingFeatures.h"
#include "common/TestSupport.h"

using namespace qy::test;
using qy::app::MainWindow;
using qy::editor::FileDialogMode;

namespace {

/// Answers the file dialog with a prepared path and records what it was offered.
class ScriptedChooser final : public qy::editor::FileChooser {
public:
    QString answer;
    QString lastProposed;
    qy::text::FileEncoding encoding = qy::text::FileEncoding::Auto;
    int asked = 0;
    bool Choose(FileDialogMode, const QString& proposed, QString& chosen) override {
        ++asked;
        lastProposed = proposed;
        if (answer.isEmpty()) return false;
        chosen = answer;
        return true;
    }
    qy::text::FileEncoding ChosenEncoding() const override { return encoding; }
};

struct Fixture {
    std::unique_ptr<MainWindow> window = NewMainWindow();
    QTemporaryDir dir;
    ScriptedChooser* chooser = nullptr;

    Fixture() {
        auto c = std::make_unique<ScriptedChooser>();
        chooser = c.get();
        window->findChild<qy::app::EditingFeatures*>()->SetChooser(std::move(c));
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Write(const QString& path, const std::string& bytes) const {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    std::string Open(const QString& path) {
        chooser->answer = path;
        window->MenuAction("打开")->trigger();
        return window->CurrentEditor()->Text();
    }
    void Export(const QString& path, QString* shownText = nullptr, QString* caption = nullptr) {
        chooser->answer = path;
        AnswerMessageBox(QMessageBox::Ok, caption, shownText);
        window->MenuAction("导出")->trigger();
    }
};

void PressEnterInSearch(MainWindow& w, Qt::KeyboardModifiers mods) {
    QTest::keyClick(w.Component<QLineEdit>("编辑框_搜索内容"), Qt::Key_Return, mods);
}

}  // namespace

TEST(ScriptFilesWindow, OpenReadsUtf8AndUtf16AsTextAndOtherBytesAsTheyAre) {
    Fixture f;
    const std::string script = "\"\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95\" // \xE6\xB3\xA8\xE9\x87\x8A";
    f.Write(f.Path("zh.js"), script);
    EXPECT_EQ(f.Open(f.Path("zh.js")), Ansi("\"中文测试\" // 注释"));
    EXPECT_EQ(f.window->CurrentEditor()->Origin().encoding, qy::text::FileEncoding::Utf8);
    f.Write(f.Path("u16.txt"), Bytes({0xFF, 0xFE, 0x61, 0x00, 0x2D, 0x4E}));
    EXPECT_EQ(f.Open(f.Path("u16.txt")), Ansi("a中"));
    f.Write(f.Path("gbk.txt"), Bytes({0xD6, 0xD0, 0xFF, 0x81}));
    EXPECT_EQ(Hex(f.Open(f.Path("gbk.txt"))), "D6 D0 FF 81");
    f.Write(f.Path("empty.js"), "");
    EXPECT_EQ(f.Open(f.Path("empty.js")), "");
    // Chosen in the dialog: UTF-8 bytes taken as GBK bytes.
    f.chooser->encoding = qy::text::FileEncoding::Gbk;
    EXPECT_EQ(f.Open(f.Path("zh.js")), script);
    EXPECT_EQ(f.window->LogText().find("--><"), std::string::npos);
}

TEST(ScriptFilesWindow, EveryEncodingExportsBackByteExact) {
    Fixture f;
    std::mt19937 rng(7);
    std::string random(2048, '\0');
    for (auto& c : random) c = static_cast<char>(1 + rng() % 255);
    const std::string utf8 = "var s = \"\xC2\xA9\xC2\xA0\xE2\x80\x83\xF0\x9F\x98\x80\xE4\xB8\xAD\";\r\n";
    const std::string cases[] = {utf8, "\xEF\xBB\xBF" + utf8, Bytes({0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE, 0x0D, 0x00, 0x0A, 0x00}),
                                 Bytes({0xFE, 0xFF, 0x4E, 0x2D, 0x00, 0x61}), Bytes({0xD6, 0xD0, 0xCE, 0xC4, 0x80}), random};
    int n = 0;
    for (const std::string& bytes : cases) {
        QString in = f.Path("in") + QString::number(n), out = f.Path("out") + QString::number(n++);
        f.Write(in, bytes);
        f.Open(in);
        f.Export(out);
        EXPECT_EQ(Hex(ReadFileBytes(out.toStdString())), Hex(bytes)) << n;
    }
    // The text as the editor shows it: every character intact.
    f.Write(f.Path("emoji.js"), utf8);
    EXPECT_EQ(qy::text::AnsiToWide(f.Open(f.Path("emoji.js"))), u"var s = \"\u00A9\u00A0\u2003\U0001F600中\";\r\n");
    // GBK chosen for the export writes the workbench bytes instead.
    f.chooser->encoding = qy::text::FileEncoding::Gbk;
    f.Export(f.Path("as-gbk.js"));
    EXPECT_EQ(ReadFileBytes(f.Path("as-gbk.js").toStdString()), f.window->CurrentEditor()->Text());
}

TEST(ScriptFilesWindow, AZeroByteIsLoggedAndExportingOverThatFileAsksFirst) {
    Fixture f;
    const std::string bytes("head\0tail bytes", 15);
    f.Write(f.Path("cut.bin"), bytes);
    size_t before = f.window->LogText().size();
    EXPECT_EQ(f.Open(f.Path("cut.bin")), "head");
    EXPECT_EQ(LogSince(*f.window, before), Ansi("-->文件“cut.bin”含零字节：只载入了前 4 字节，其后的 11 字节未载入\r\n"));
    // The question defaults to 否; 否 leaves the file alone.
    QString question;
    bool defaultIsNo = false;
    auto answer = [&](QMessageBox::StandardButton button) {
        WhenModalAppears([&, button](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            question = box->text();
            defaultIsNo = box->defaultButton() == box->button(QMessageBox::No);
            if (button == QMessageBox::Yes) AnswerMessageBox(QMessageBox::Ok);
            if (auto* b = box->button(button)) b->click();
            else box->done(button);
        });
    };
    f.chooser->answer = f.Path("cut.bin");
    answer(QMessageBox::No);
    f.window->MenuAction("导出")->trigger();
    EXPECT_EQ(question, Q("该文件打开时已在第 4 字节处截断，导出将丢失其后的 11 字节，是否继续？"));
    EXPECT_TRUE(defaultIsNo);
    EXPECT_EQ(ReadFileBytes(f.Path("cut.bin").toStdString()), bytes);
    // Another file is written without a question; 是 writes the cut text over the file.
    f.Export(f.Path("elsewhere.bin"));
    EXPECT_EQ(ReadFileBytes(f.Path("elsewhere.bin").toStdString()), "head");
    question.clear();
    f.chooser->answer = f.Path("cut.bin");
    answer(QMessageBox::Yes);
    f.window->MenuAction("导出")->trigger();
    EXPECT_FALSE(question.isEmpty());
    EXPECT_EQ(ReadFileBytes(f.Path("cut.bin").toStdString()), "head");
    // Nothing is left to lose now: the next export does not ask.
    QString shown;
    f.Export(f.Path("cut.bin"), &shown);
    EXPECT_EQ(shown, Q("保存成功"));
}

TEST(ScriptFilesWindow, ExportWritesExactBytesAndConfirms) {
    Fixture f;
    f.window->CurrentEditor()->ClearAll();
    QString text, caption;
    f.Export(f.Path("empty.txt"), &text, &caption);
    EXPECT_EQ(QFile(f.Path("empty.txt")).size(), 0);
    EXPECT_EQ(text, Q("保存成功"));
    EXPECT_EQ(caption, Q("信息："));
    f.window->CurrentEditor()->SetText("ab\r\n");
    f.Export(f.Path("ab.txt"));
    EXPECT_EQ(Hex(ReadFileBytes(f.Path("ab.txt").toStdString())), "61 62 0D 0A");
}

TEST(ScriptFilesWindow, ExportProposesThePathJustOpened) {
    Fixture f;
    f.Write(f.Path("script.js"), "var a;");
    f.Open(f.Path("script.js"));
    f.Export(f.Path("script.js"));
    EXPECT_EQ(f.chooser->lastProposed, f.Path("script.js"));
    f.chooser->answer.clear();  // cancelled: nothing changes
    f.window->MenuAction("打开")->trigger();
    EXPECT_EQ(f.window->CurrentEditor()->Text(), "var a;");
}

TEST(ScriptFilesWindow, RandomBytesComeBackByteForByte) {
    Fixture f;
    std::mt19937 rng(2023);
    std::string bytes(4096, '\0');
    for (auto& c : bytes) c = static_cast<char>(1 + rng() % 255);
    f.Write(f.Path("random.bin"), bytes);
    f.Open(f.Path("random.bin"));
    f.Export(f.Path("random.out"));
    EXPECT_EQ(ReadFileBytes(f.Path("random.out").toStdString()), bytes);
}

TEST(ScriptFilesWindow, ClearEmptiesOnlyTheCurrentTab) {
    Fixture f;
    auto* tabs = f.window->Component<QTabWidget>("高级选择夹1");
    f.window->EditorAt(2)->SetText("keep");
    tabs->setCurrentIndex(3);
    f.window->EditorAt(3)->SetText("gone");
    std::string log = f.window->LogText();
    Click(*f.window, "按钮_cla");
    EXPECT_EQ(f.window->EditorAt(3)->TextLength(), 0);
    EXPECT_EQ(f.window->EditorAt(2)->Text(), "keep");
    EXPECT_EQ(f.window->EditorAt(0)->Text(), qy::app::DemonstrationScript());
    EXPECT_EQ(f.window->LogText(), log);
}

TEST(ScriptFilesWindow, UnreadableFileLeavesTheEditorAndSaysWhy) {
    Fixture f;
    f.window->CurrentEditor()->SetText("precious");
    QString text;
    AnswerMessageBox(QMessageBox::Ok, nullptr, &text);
    f.Open(f.Path("missing.js"));
    EXPECT_EQ(f.window->CurrentEditor()->Text(), "precious");
    EXPECT_TRUE(text.contains(QStringLiteral("missing.js")));
}

TEST(ScriptFilesWindow, FailedSaveLeavesTheOldFileIntact) {
    Fixture f;
    f.Write(f.Path("old.txt"), "old contents");
    // A folder where no new file can be made, for root too (immutable) or else by mode.
    QString folder = QDir::toNativeSeparators(f.dir.path());
    bool immutable = std::system(("chattr +i '" + folder.toStdString() + "' 2>/dev/null").c_str()) == 0;
    if (!immutable) QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(f.Path("probe"));
    bool blocked = !probe.open(QIODevice::WriteOnly);
    f.window->CurrentEditor()->SetText("new contents");
    QString text;
    if (blocked) f.Export(f.Path("old.txt"), &text);
    if (immutable) std::system(("chattr -i '" + folder.toStdString() + "'").c_str());
    QFile::setPermissions(f.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!blocked) GTEST_SKIP() << "no way to make the folder unwritable here";
    EXPECT_EQ(ReadFileBytes(f.Path("old.txt").toStdString()), "old contents");
    EXPECT_TRUE(text.contains(QStringLiteral("old.txt")));
}

TEST(ScriptFilesWindow, DialogOffersTheWorkbenchFiltersAndEncodings) {
    QFileDialog dialog;
    qy::editor::QtFileChooser::Configure(dialog, FileDialogMode::Save, QStringLiteral("/tmp/x.txt"));
    EXPECT_EQ(dialog.nameFilters(), (QStringList{Q("文本文件(*txt;*.js;*.html)"), Q("所有文件(*.*)")}));
    EXPECT_EQ(dialog.defaultSuffix(), "txt");
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QFileDialog open;
    qy::editor::QtFileChooser::Configure(open, FileDialogMode::Open, QString());
    EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
    auto* encodings = open.findChild<QComboBox*>(Q("编码"));
    ASSERT_NE(encodings, nullptr);
    QStringList items;
    for (int i = 0; i < encodings->count(); ++i) items << encodings->itemText(i);
    EXPECT_EQ(items, (QStringList{Q("自动检测"), "UTF-8", "GBK"}));
    EXPECT_EQ(qy::editor::QtFileChooser::EncodingOf(open), qy::text::FileEncoding::Auto);
    encodings->setCurrentIndex(1);
    EXPECT_EQ(qy::editor::QtFileChooser::EncodingOf(open), qy::text::FileEncoding::Utf8);
    encodings->setCurrentIndex(2);
    EXPECT_EQ(qy::editor::QtFileChooser::EncodingOf(open), qy::text::FileEncoding::Gbk);
}

TEST(SearchWindow, EnterWithAnyModifierSearchesTheCurrentTabOnly) {
    auto w = NewMainWindow();
    w->EditorAt(1)->SetText("abc abc");
    w->EditorAt(1)->SetSel(1, 1);
    w->Component<QTabWidget>("高级选择夹1")->setCurrentIndex(4);
    auto* e = w->EditorAt(4);
    e->SetText("abc abc");
    e->SetSel(0, 0);
    w->Component<QLineEdit>("编辑框_搜索内容")->setText("abc");
    std::string log = w->LogText();
    PressEnterInSearch(*w, Qt::ShiftModifier);
    EXPECT_EQ(e->SelectionStart(), 0);
    EXPECT_EQ(e->SelectionEnd(), 3);
    PressEnterInSearch(*w, Qt::ControlModifier);
    EXPECT_EQ(e->SelectionStart(), 4);
    Click(*w, "按钮_search");
    EXPECT_EQ(e->CurrentPos(), 0);
    EXPECT_EQ(w->EditorAt(1)->CurrentPos(), 1);
    EXPECT_EQ(w->LogText(), log);
    w->Component<QComboBox>("组合框_more")->setCurrentIndex(0);
    e->SetText("about ab");
    e->SetSel(0, 0);
    w->Component<QLineEdit>("编辑框_搜索内容")->setText("ab");
    Click(*w, "按钮_search");
    EXPECT_EQ(e->SelectionStart(), 6);
}

TEST(SearchWindow, EnterStillReachesTheBoxAndFocusStaysThere) {
    auto w = NewMainWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    auto* box = w->Component<QLineEdit>("编辑框_搜索内容");
    box->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), box);
    QSignalSpy returned(box, &QLineEdit::returnPressed);
    w->EditorAt(0)->SetSel(0, 0);
    box->setText("MyObj");
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(returned.count(), 1);
    EXPECT_EQ(w->EditorAt(0)->SelectionStart(), 9);
    EXPECT_EQ(w->EditorAt(0)->SelectionEnd(), 14);
    EXPECT_EQ(QApplication::focusWidget(), box);
}

// Files named on the command line go into pages of their own that hold nothing of the
// user's; what finds no free page is named in the log.
TEST(GivenFiles, OpenInFreePagesOnlyAndTheLastIsShown) {
    QTemporaryDir dir;
    auto write = [&](const char* name, const std::string& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return dir.filePath(name);
    };
    const QString a = write("a.js", "var a = 1;"), b = write("b.js", "\xEF\xBB\xBFvar b = '\xE4\xB8\xAD';");
    auto w = NewMainWindow();
    auto* editing = w->findChild<qy::app::EditingFeatures*>();
    ASSERT_NE(editing, nullptr);
    // Page 0 shows the demonstration script, page 1 holds the user's text.
    w->EditorAt(1)->SetText("mine");
    editing->OpenGivenFiles({a, b, dir.filePath("missing.js")});
    EXPECT_EQ(w->EditorAt(0)->Text(), "var a = 1;");
    EXPECT_EQ(w->EditorAt(1)->Text(), "mine");
    EXPECT_EQ(w->EditorAt(2)->Text(), Ansi("var b = '中';"));
    EXPECT_EQ(w->CurrentEditor(), w->EditorAt(2));
    EXPECT_NE(w->LogText().find(Ansi("-->找不到文件“")), std::string::npos);
    // With every page holding text, nothing is replaced.
    for (int i = 0; i < 6; ++i) w->EditorAt(i)->SetText("page " + std::to_string(i));
    const size_t before = w->LogText().size();
    editing->OpenGivenFiles({a});
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w->EditorAt(i)->Text(), "page " + std::to_string(i));
    EXPECT_EQ(LogSince(*w, before), Ansi("-->没有空白的代码页，未打开“a.js”\r\n"));
}
