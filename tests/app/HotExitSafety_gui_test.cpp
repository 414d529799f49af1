// Nothing typed is lost: a save that fails is said, tried again and asked about on
// closing (a folder that cannot be made, a full and a read-only disk); a damaged state
// file is kept aside and what can be read comes back; snapshots are written beside the
// window, only when something changed; a huge text is shown plain.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "AppTestSupport.h"
#include "app/HotExit.h"

using namespace qy::test;
using qy::app::HotExit;
using qy::app::HotExitState;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// A tmpfs of `options` mounted on a folder of its own for the test; Mounted() is
/// false where the test may not mount (not root).
class Mount {
public:
    explicit Mount(const std::string& options) {
        if (!m_dir.isValid()) return;
        m_mounted = std::system(("mount -t tmpfs -o " + options + " tmpfs '" + m_dir.path().toStdString() +
                                 "' 2>/dev/null").c_str()) == 0;
    }
    ~Mount() {
        if (m_mounted) (void)std::system(("umount '" + m_dir.path().toStdString() + "'").c_str());
    }
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;
    bool Mounted() const { return m_mounted; }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

}  // namespace

TEST(HotExitFailures, AFailedSaveIsSaidTriedAgainAndAskedAboutOnClosing) {
    QTemporaryDir dir;
    // The data folder cannot be made: a file stands where it would be.
    QFile blocker(dir.filePath("data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString path = dir.filePath("data/hot-exit.json");
    auto w = NewMainWindow();
    auto* hot = new HotExit(*w, path);
    hot->SetSaveDelay(0);
    const size_t before = w->LogText().size();
    w->EditorAt(0)->SetText("typed before the failure");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hot->Failure().isEmpty(); }));
    EXPECT_EQ(hot->Failure(), Q("数据文件夹的路径上有同名文件"));
    const std::string log = LogSince(*w, before);
    EXPECT_NE(log.find(Ansi("-->自动保存失败：数据文件夹的路径上有同名文件")), std::string::npos) << log;
    EXPECT_TRUE(hot->Pending());  // tried again later
    // Said once, not at every try.
    EXPECT_FALSE(hot->Save());
    EXPECT_EQ(LogSince(*w, before), log);

    // Closing asks; "否" keeps the window and its text.
    QString caption, text;
    AnswerMessageBox(QMessageBox::No, &caption, &text);
    w->close();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(caption, Q("未能保存"));
    EXPECT_TRUE(text.contains(Q("数据文件夹的路径上有同名文件"))) << text.toStdString();

    // The folder can be made again: the next try saves, and the log says so.
    ASSERT_TRUE(QFile::remove(dir.filePath("data")));
    EXPECT_TRUE(hot->Save());
    EXPECT_TRUE(hot->Failure().isEmpty());
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->编辑框中的内容又能自动保存了")), std::string::npos);
    auto saved = qy::app::LoadHotExitFile(path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->editors[0].text, "typed before the failure");
    w->close();
    EXPECT_FALSE(w->isVisible());
}

TEST(HotExitFailures, AFullAndAReadOnlyDiskAreNamed) {
    Mount full("size=64k");
    if (!full.Mounted()) GTEST_SKIP() << "a small disk cannot be mounted here (not root)";
    auto w = NewMainWindow();
    auto* hot = new HotExit(*w, full.Path("hot-exit.json"));
    w->EditorAt(0)->SetText(std::string(300 * 1024, 'x'));
    EXPECT_FALSE(hot->Save());
    EXPECT_EQ(hot->Failure(), Q("磁盘空间已满"));
    // Nothing half-written is left behind.
    EXPECT_FALSE(QFileInfo::exists(full.Path("hot-exit.json")));
    w->EditorAt(0)->SetText("small again");
    EXPECT_TRUE(hot->Save());

    Mount readOnly("ro,size=64k");
    ASSERT_TRUE(readOnly.Mounted());
    auto* other = new HotExit(*w, readOnly.Path("hot-exit.json"));
    w->EditorAt(1)->SetText("typed");
    EXPECT_FALSE(other->Save());
    EXPECT_EQ(other->Failure(), Q("数据文件夹所在的磁盘只读"));
    hot->deleteLater();
    other->deleteLater();
}

TEST(HotExitDamage, ACutFileIsKeptAsideAndWhatCanBeReadComesBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("hot-exit.json");
    HotExitState state;
    state.editors[0].text = Ansi("var 第一 = 1;\r\n");
    state.editors[1].text = Ansi("var second = '中文';\r\n") + std::string(4000, 'y');
    state.editors[2].text = "var third = 3;";
    state.addresses = {"http://a/1.js"};
    state.address = "http://a/1.js";
    const QByteArray whole = qy::app::SerializeHotExit(state);
    // Cut inside the second editor's text.
    const qsizetype cut = whole.indexOf("yyyy") + 1000;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(whole.left(cut));
    f.close();

    auto w = NewMainWindow();
    const size_t before = w->LogText().size();
    auto* hot = new HotExit(*w, path);
    ASSERT_TRUE(hot->Restore());
    EXPECT_EQ(w->EditorAt(0)->Text(), state.editors[0].text);
    const std::string second = w->EditorAt(1)->Text();
    EXPECT_GT(second.size(), 1000u);
    EXPECT_EQ(state.editors[1].text.rfind(second, 0), 0u) << "the cut text is a beginning of the saved one";
    EXPECT_EQ(w->EditorAt(2)->Text(), "");
    // The damaged file is kept beside, byte for byte, and the log says where.
    const QStringList kept = QDir(dir.path()).entryList({"hot-exit.json.damaged-*"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadAll(dir.filePath(kept[0])), whole.left(cut));
    const std::string log = LogSince(*w, before);
    EXPECT_NE(log.find(Ansi("-->上次保存的内容已损坏，原文件另存为 ")), std::string::npos) << log;
    EXPECT_NE(log.find(Ansi("已恢复其中能读出的部分")), std::string::npos);
    // The window's state goes into the file again; the kept copy stays.
    EXPECT_TRUE(hot->Save());
    ASSERT_TRUE(qy::app::LoadHotExitFile(path));
    EXPECT_EQ(QDir(dir.path()).entryList({"hot-exit.json.damaged-*"}, QDir::Files), kept);

    // A file with nothing readable is kept too, and the demonstration stays.
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\x01\x02 garbage");
    f.close();
    auto fresh = NewMainWindow();
    const std::string demo = fresh->EditorAt(0)->Text();
    ASSERT_TRUE((new HotExit(*fresh, path))->Restore());
    EXPECT_EQ(fresh->EditorAt(0)->Text(), demo);
    EXPECT_NE(fresh->LogText().find(Ansi("其中没有能读出的内容")), std::string::npos);
    EXPECT_EQ(QDir(dir.path()).entryList({"hot-exit.json.damaged-*"}, QDir::Files).size(), 2);
}

TEST(HotExitDamage, WhatIsReadFromACutFileWasInIt) {
    HotExitState state;
    for (size_t i = 0; i < 6; ++i) state.editors[i].text = Ansi("编辑框") + std::to_string(i) + std::string(50, 'a' + i);
    state.editors[3].text = std::string("\x80\xff bytes", 8);
    state.expressions = {"1+1"};
    const QByteArray whole = qy::app::SerializeHotExit(state);
    ASSERT_TRUE(qy::app::SalvageHotExit(whole));
    int readable = 0;
    for (qsizetype cut = 1; cut < whole.size(); cut += 7) {
        auto got = qy::app::SalvageHotExit(whole.left(cut));
        if (!got) continue;
        ++readable;
        for (size_t i = 0; i < 6; ++i)
            EXPECT_EQ(state.editors[i].text.rfind(got->editors[i].text, 0), 0u) << "cut " << cut << ", editor " << i;
    }
    EXPECT_GT(readable, static_cast<int>(whole.size() / 7) / 2);
}

TEST(HotExitBackground, SnapshotsAreWrittenBesideTheWindowOnlyWhenSomethingChanged) {
    QTemporaryDir dir;
    const QString path = dir.filePath("hot-exit.json");
    auto w = NewMainWindow();
    auto* hot = new HotExit(*w, path);
    hot->SetSaveDelay(0);
    // A large text: the window goes on while it is written.
    std::string large(50 * 1024 * 1024, 'a');
    for (size_t i = 80; i < large.size(); i += 81) large[i] = '\n';
    w->EditorAt(0)->SetText(large);
    ASSERT_TRUE(QTest::qWaitFor([&] { return hot->Writing(); }, 10000)) << "the save blocked the window";
    QTest::keyClick(w->EditorAt(1), Qt::Key_Z);
    EXPECT_EQ(w->EditorAt(1)->Text(), "z");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hot->Writing() && !hot->Pending(); }, 60000));
    auto saved = qy::app::LoadHotExitFile(path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->editors[0].text.size(), large.size());
    EXPECT_EQ(saved->editors[1].text, "z");
    // Nothing changed since: nothing is written.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(hot->Save());
    EXPECT_FALSE(QFileInfo::exists(path));
    // A caret moved and one small edit: the large text comes along unchanged.
    w->EditorAt(0)->SetSel(5, 5);
    QTest::keyClick(w->EditorAt(2), Qt::Key_Q);
    EXPECT_TRUE(hot->Save());
    saved = qy::app::LoadHotExitFile(path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->editors[0].text, large);
    EXPECT_EQ(saved->editors[0].caret, 5);
    EXPECT_EQ(saved->editors[2].text, "q");
}

TEST(LargeText, AHugeTextOrLineIsShownPlainAndSaidSo) {
    auto w = NewMainWindow();
    qy::editor::Editor* e = w->EditorAt(1);
    EXPECT_FALSE(e->Plain());
    const size_t before = w->LogText().size();
    // One line longer than colouring and wrapping can follow at each keystroke.
    e->SetText("var s = '" + std::string(200000, 'x') + "';");
    EXPECT_TRUE(e->Plain());
    EXPECT_EQ(e->SendScintilla(QsciScintillaBase::SCI_GETWRAPMODE), QsciScintillaBase::SC_WRAP_NONE);
    EXPECT_EQ(e->SendScintilla(QsciScintillaBase::SCI_GETLEXER), QsciScintillaBase::SCLEX_NULL);
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->New1 的代码太大")), std::string::npos);
    e->SetText("var small = 1;");
    EXPECT_FALSE(e->Plain());
    EXPECT_EQ(e->SendScintilla(QsciScintillaBase::SCI_GETLEXER), QsciScintillaBase::SCLEX_CPP);
    EXPECT_EQ(e->SendScintilla(QsciScintillaBase::SCI_GETWRAPMODE), QsciScintillaBase::SC_WRAP_WORD);
    // Many short lines, too many bytes in all.
    std::string many;
    while (many.size() <= static_cast<size_t>(qy::editor::Editor::kColouringLimit)) many += "var a = 1;\r\n";
    e->SetText(many);
    EXPECT_TRUE(e->Plain());
}
