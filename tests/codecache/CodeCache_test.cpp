// The code cache: a script compiled once is read back by the next process, runs as the
// compiled one does, and an entry that is damaged, cut short or of no use is passed over
// and made again; with no folder nothing is kept.
#include <gtest/gtest.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/SourceText.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

#include "codecache/CodeCache.h"
#include "script/EngineInternal.h"

namespace {

namespace fs = std::filesystem;
const JSClass kGlobal = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

const char* kScript =
    "var made = [];\n"
    "function twice(x) { return x * 2; }\n"
    "function later() { return '\\u4e2d' + twice(21); }\n"
    "(function () { made.push(String(twice)); })();\n"
    "made.concat([later()]).join('|');";

class CodeCache : public ::testing::Test {
protected:
    void SetUp() override {
        cx = qy::script::detail::Cx();
        global.init(cx, JS_NewGlobalObject(cx, &kGlobal, nullptr, JS::FireOnNewGlobalHook, JS::RealmOptions()));
        ASSERT_TRUE(global);
        realm.emplace(cx, global);
        ASSERT_TRUE(JS::InitRealmStandardClasses(cx));
        dir = fs::temp_directory_path() / ("qy-code-cache-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        qy::codecache::SetDirectory(dir.string());
        qy::codecache::TakeCounts();
    }
    void TearDown() override {
        qy::codecache::SetDirectory(std::nullopt);
        fs::remove_all(dir);
        realm.reset();
        global.reset();
    }
    /// The script's stencil through the cache (`lazy`: functions compiled when first run).
    RefPtr<JS::Stencil> Stencil(bool lazy = false, const char* code = kScript) {
        JS::CompileOptions opts(cx);
        opts.setFileAndLine("cached.js", 1);
        if (!lazy) opts.setForceFullParse();
        std::string text = code;
        return qy::codecache::GlobalStencil(cx, opts, !lazy, qy::codecache::Hash(text), [&]() -> RefPtr<JS::Stencil> {
            JS::SourceText<mozilla::Utf8Unit> src;
            if (!src.init(cx, text.data(), text.size(), JS::SourceOwnership::Borrowed)) return nullptr;
            return JS::CompileGlobalScriptToStencil(cx, opts, src);
        });
    }
    std::string Run(JS::Stencil* stencil) {
        JS::CompileOptions opts(cx);
        opts.setFileAndLine("cached.js", 1);
        JS::InstantiateOptions instantiate(opts);
        JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, stencil));
        JS::RootedValue rv(cx);
        if (!script || !JS_ExecuteScript(cx, script, &rv)) {
            JS_ClearPendingException(cx);
            return "(failed)";
        }
        JS::RootedString s(cx, JS::ToString(cx, rv));
        JS::UniqueChars chars = s ? JS_EncodeStringToUTF8(cx, s) : nullptr;
        return chars ? chars.get() : "";
    }
    std::vector<fs::path> Entries() {
        std::vector<fs::path> out;
        if (fs::exists(dir))
            for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path());
        return out;
    }
    JSContext* cx = nullptr;
    JS::PersistentRootedObject global;
    std::optional<JSAutoRealm> realm;
    fs::path dir;
};

const char* kExpected = "function twice(x) { return x * 2; }|\xe4\xb8\xad" "42";

TEST_F(CodeCache, ACompiledScriptIsReadBackAndRunsTheSame) {
    for (bool lazy : {false, true}) {
        RefPtr<JS::Stencil> first = Stencil(lazy);
        ASSERT_TRUE(first);
        auto counts = qy::codecache::TakeCounts();
        EXPECT_EQ(counts.compiled, 1);
        EXPECT_EQ(counts.written, 1);
        EXPECT_EQ(counts.read, 0);
        RefPtr<JS::Stencil> again = Stencil(lazy);
        ASSERT_TRUE(again);
        counts = qy::codecache::TakeCounts();
        EXPECT_EQ(counts.read, 1);
        EXPECT_EQ(counts.compiled, 0);
        // Source text, functions compiled later and characters beyond ASCII survive.
        EXPECT_EQ(Run(first.get()), kExpected);
        EXPECT_EQ(Run(again.get()), kExpected);
    }
    // One entry per way of compiling, none left half written.
    EXPECT_EQ(Entries().size(), 2u);
    for (const fs::path& p : Entries()) EXPECT_EQ(p.extension(), ".stencil");
    // Another text is another entry.
    ASSERT_TRUE(Stencil(false, "1 + 1"));
    EXPECT_EQ(qy::codecache::TakeCounts().compiled, 1);
    EXPECT_EQ(Entries().size(), 3u);
}

TEST_F(CodeCache, DamagedOrCutEntriesArePassedOverAndMadeAgain) {
    ASSERT_TRUE(Stencil());
    ASSERT_EQ(Entries().size(), 1u);
    fs::path entry = Entries()[0];
    auto size = fs::file_size(entry);
    auto damage = [&](auto&& change) {
        std::string bytes;
        {
            std::ifstream in(entry, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        change(bytes);
        std::ofstream(entry, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    };
    qy::codecache::TakeCounts();
    // A byte changed in the middle, the end cut off, nothing but the header, no header.
    for (int kind = 0; kind < 4; ++kind) {
        damage([&](std::string& b) {
            if (kind == 0) b[b.size() / 2] ^= 0x5A;
            if (kind == 1) b.resize(b.size() - 100);
            if (kind == 2) b.resize(24);
            if (kind == 3) b = "not an entry";
        });
        RefPtr<JS::Stencil> made = Stencil();
        ASSERT_TRUE(made) << kind;
        EXPECT_EQ(Run(made.get()), kExpected) << kind;
        auto counts = qy::codecache::TakeCounts();
        EXPECT_EQ(counts.refused, 1) << kind;
        EXPECT_EQ(counts.compiled, 1) << kind;
        EXPECT_EQ(counts.written, 1) << kind;
        EXPECT_EQ(fs::file_size(entry), size) << kind;
    }
    // Made again whole: read back.
    ASSERT_TRUE(Stencil());
    EXPECT_EQ(qy::codecache::TakeCounts().read, 1);
}

// What is read from the cache runs: a folder others may write to is neither read nor
// written, nor is an entry that is a link.
TEST_F(CodeCache, OnlyAFolderOfTheUsersOwnIsUsed) {
    ASSERT_TRUE(Stencil());
    ASSERT_EQ(Entries().size(), 1u);
    fs::path entry = Entries()[0];
    qy::codecache::TakeCounts();
    fs::permissions(dir, fs::perms::others_write | fs::perms::group_write, fs::perm_options::add);
    RefPtr<JS::Stencil> made = Stencil();
    ASSERT_TRUE(made);
    EXPECT_EQ(Run(made.get()), kExpected);
    auto counts = qy::codecache::TakeCounts();
    EXPECT_EQ(counts.read, 0);
    EXPECT_EQ(counts.compiled, 1);
    EXPECT_EQ(counts.written, 0);
    fs::permissions(dir, fs::perms::others_write | fs::perms::group_write, fs::perm_options::remove);
    // An entry that is a link to another file is refused and made again.
    fs::path elsewhere = dir.string() + "-elsewhere";
    fs::rename(entry, elsewhere);
    fs::create_symlink(elsewhere, entry);
    ASSERT_TRUE(Stencil());
    counts = qy::codecache::TakeCounts();
    EXPECT_EQ(counts.refused, 1);
    EXPECT_EQ(counts.written, 1);
    EXPECT_FALSE(fs::is_symlink(entry));
    fs::remove(elsewhere);
    // A folder it makes is the user's alone.
    EXPECT_EQ(fs::status(dir).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
}

TEST_F(CodeCache, WithoutAFolderNothingIsKept) {
    qy::codecache::SetDirectory(std::string());
    RefPtr<JS::Stencil> made = Stencil();
    ASSERT_TRUE(made);
    EXPECT_EQ(Run(made.get()), kExpected);
    auto counts = qy::codecache::TakeCounts();
    EXPECT_EQ(counts.compiled, 1);
    EXPECT_EQ(counts.written, 0);
    EXPECT_TRUE(Entries().empty());
    // A script that does not compile gives no stencil and no entry, wherever it is kept.
    qy::codecache::SetDirectory(dir.string());
    EXPECT_FALSE(Stencil(false, "function ("));
    JS_ClearPendingException(cx);
    EXPECT_TRUE(Entries().empty());
}

}  // namespace
