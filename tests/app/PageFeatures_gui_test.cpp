// Pages and the user's own browser in the window: a loaded page, repeatable runs, the
// Cookie box, profiles imported, kept by name and chosen, and the collector snippet.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "AppTestSupport.h"
#include "app/PageFeatures.h"
#include "editor/Editor.h"
#include "env/PageHost.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

app::PageFeatures* Features(app::MainWindow& w) { return w.findChild<app::PageFeatures*>(Q("PageFeatures")); }

std::string Result(app::MainWindow& w, const char* expression) {
    SetEval(w, expression);
    size_t before = w.LogText().size();
    Click(w, "按钮_run");
    std::string log = LogSince(w, before);
    std::string mark = Ansi("-->计算结果：");
    size_t at = log.find(mark);
    if (at == std::string::npos) return log;
    return log.substr(at + mark.size(), log.find("\r\n", at) - at - mark.size());
}

struct SetupReset {
    ~SetupReset() { env::SetPageSetup({}); }
};

}  // namespace

TEST(PageMenu, APageLoadsWithItsScriptsCookiesAndSeed) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    SetupReset reset;
    auto w = NewMainWindow();
    app::PageFeatures* page = Features(*w);
    ASSERT_NE(page, nullptr);
    ASSERT_NE(w->findChild<QAction*>(Q("可重复运行")), nullptr);
    ASSERT_NE(w->findChild<QAction*>(Q("复制采集脚本")), nullptr);
    page->SetCookies(Q("uid=7; lang=zh"));
    page->SetRepeatable(true);
    w->Component<QComboBox>("组合框_addr")->setEditText(Q("https://www.example.com/a/b.html"));
    // The editor holds a whole page: "加载代码" builds it and runs its scripts.
    w->CurrentEditor()->SetText(Ansi("<!DOCTYPE html><title>标题</title><script>var first = Math.random();</script>"
                                     "<p id=p>x</p><script>var second = document.getElementById('p').textContent;</script>"));
    size_t before = w->LogText().size();
    Click(*w, "按钮_add");
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->网页加载完成：https://www.example.com/a/b.html")), std::string::npos)
        << LogSince(*w, before);
    EXPECT_EQ(Result(*w, "document.title + second + ' ' + document.cookie"), Ansi("标题x uid=7; lang=zh"));
    std::string first = Result(*w, "first");
    // Loaded again, the seeded run repeats; without the seed it does not.
    Click(*w, "按钮_add");
    EXPECT_EQ(Result(*w, "first"), first);
    page->SetRepeatable(false);
    Click(*w, "按钮_add");
    EXPECT_NE(Result(*w, "first"), first);
    // A plain script after the page is no page: with the environment switch off, not
    // even a document.
    w->CurrentEditor()->SetText(Ansi("var t = 1;"));
    Click(*w, "按钮_add");
    EXPECT_EQ(Result(*w, "typeof first + ' ' + typeof document"), Ansi("undefined undefined"));
}

TEST(PageMenu, APageFromAFileFindsItsScriptsBesideIt) {
    script::ScopedScriptTarget target(script::ScriptTarget::JScript58);
    SetupReset reset;
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + Q("/js"));
    QFile script(dir.path() + Q("/js/lib.js"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("var fromLib = 'lib';");
    script.close();
    auto w = NewMainWindow();
    w->Component<QComboBox>("组合框_addr")->setEditText(QString());
    w->CurrentEditor()->SetText(Ansi("<html><script src=\"js/lib.js\"></script><script>var both = fromLib + '+inline';</script></html>"));
    editor::FileOrigin origin;
    origin.path = dir.path() + Q("/页面 1.html");
    w->CurrentEditor()->SetOrigin(origin);
    Click(*w, "按钮_add");
    EXPECT_EQ(Result(*w, "both"), Ansi("lib+inline"));
    // Without an address of its own the page is at its file's address.
    std::string expected = "file://" + dir.path().toStdString() + "/%E9%A1%B5%E9%9D%A2%201.html";
    EXPECT_EQ(Result(*w, "location.href"), expected);
}

TEST(PageMenu, ProfilesAreImportedKeptAndChosen) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    SetupReset reset;
    QTemporaryDir data, source;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    auto w = NewMainWindow();
    app::PageFeatures* page = Features(*w);
    QString path = source.path() + Q("/我的浏览器.json");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"navigator": {"platform": "MacIntel", "hardwareConcurrency": 12, "languages": ["fr-FR"]},
                  "screen": {"width": 1440, "height": 900}, "window": {"devicePixelRatio": 2}})");
    file.close();
    ASSERT_TRUE(page->ImportProfile(path));
    EXPECT_EQ(app::KeptProfiles(), QStringList{Q("我的浏览器")});
    w->Session().SetBrowserEnvironment(true);
    w->CurrentEditor()->SetText(Ansi("var x = 1;"));
    Click(*w, "按钮_add");
    EXPECT_EQ(Result(*w, "[navigator.platform, navigator.hardwareConcurrency, navigator.languages, screen.width, screen.height, devicePixelRatio].join()"),
              Ansi("MacIntel,12,fr-FR,1440,900,2"));
    // The built-in values come back when chosen; a file that is no profile is refused.
    ASSERT_TRUE(page->UseProfile(QString()));
    Click(*w, "按钮_add");
    EXPECT_EQ(Result(*w, "navigator.platform"), Ansi("Win32"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[1, 2");
    file.close();
    size_t before = w->LogText().size();
    EXPECT_FALSE(page->ImportProfile(path));
    EXPECT_NE(LogSince(*w, before).find(Ansi("未导入")), std::string::npos);
    page->CopyCollector();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(Q("JSON.stringify(out")));
    qunsetenv("XDG_DATA_HOME");
}
