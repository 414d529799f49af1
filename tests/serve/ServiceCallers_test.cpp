// The "本地服务" caller programs, run against a service started here by the interpreters
// that are installed (python3, node).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "common/ProcessSupport.h"
#include "serve/ServiceSupport.h"
#include "transform/CallerSnippets.h"

using namespace qy;
using transform::ServiceRequestFor;

TEST(ServiceCallers, CallsWithLiteralArgumentsGoToCallAndTheRestToEval) {
    struct Row {
        const char16_t* expression;
        const char* path;
        const char* body;
    };
    for (Row row : {Row{u"md5('abc')", "/call", "{\"function\":\"md5\",\"args\":[\"abc\"]}"},
                    Row{u" sign(\"a\\u4e2d\\n\", 1, -2.5e3, true, null) ;", "/call",
                        "{\"function\":\"sign\",\"args\":[\"a\\u4e2d\\n\",1,-2.5e3,true,null]}"},
                    Row{u"app.crypto.sign()", "/call", "{\"function\":\"app.crypto.sign\",\"args\":[]}"},
                    Row{u"签名('中')", "/call", "{\"function\":\"\\u7b7e\\u540d\",\"args\":[\"\\u4e2d\"]}"},
                    Row{u"md5(x)", "/eval", "{\"expr\":\"md5(x)\"}"},
                    Row{u"md5('a') + md5('b')", "/eval", "{\"expr\":\"md5('a') + md5('b')\"}"},
                    Row{u"f(0x10)", "/eval", "{\"expr\":\"f(0x10)\"}"},
                    Row{u"a.(1)", "/eval", "{\"expr\":\"a.(1)\"}"},
                    Row{u"f('unterminated)", "/eval", "{\"expr\":\"f('unterminated)\"}"}}) {
        auto r = ServiceRequestFor(row.expression);
        EXPECT_EQ(r.path, row.path) << r.body;
        EXPECT_EQ(r.body, row.body);
    }
}

TEST(ServiceCallers, GeneratedProgramsGetTheAnswerFromARunningService) {
    test::RunningService service(test::Options(test::MakeScripts(test::Md5Script()), 1));
    ASSERT_TRUE(service.Started()) << service.Error();
    std::u16string address = u"http://127.0.0.1:";
    for (char c : std::to_string(service.Port())) address += static_cast<char16_t>(c);
    struct Run {
        transform::ServiceLanguage language;
        const char* interpreter;
        const char* suffix;
    };
    int ran = 0;
    for (Run run : {Run{transform::ServiceLanguage::PythonStandard, "python3", ".py"},
                    Run{transform::ServiceLanguage::NodeFetch, "node", ".js"}}) {
        if (!test::HaveProgram(run.interpreter)) continue;
        ++ran;
        for (const char16_t* expression : {u"md5('中文')", u"md5('a') + '/' + md5('')"}) {
            std::string program = transform::ServiceCallerProgram(run.language, address, expression);
            std::string path = std::string("/tmp/qy-service-caller-") + std::to_string(getpid()) + run.suffix;
            std::ofstream(path, std::ios::binary) << program;
            std::string out = test::Output(std::string(run.interpreter) + " " + path + " 2>&1");
            std::remove(path.c_str());
            if (std::u16string(expression).find(u'+') == std::u16string::npos)
                EXPECT_NE(out.find("a7bac2239fcdcb3a067903d8077c4a07"), std::string::npos) << program << out;
            else
                EXPECT_NE(out.find("0cc175b9c0f1b6a831c399e269772661/d41d8cd98f00b204e9800998ecf8427e"), std::string::npos)
                    << program << out;
        }
        // A script error reaches the caller as an exception with its description.
        std::string program = transform::ServiceCallerProgram(run.language, address, u"md5(nothing)");
        std::string path = std::string("/tmp/qy-service-caller-") + std::to_string(getpid()) + run.suffix;
        std::ofstream(path, std::ios::binary) << program;
        std::string out = test::Output(std::string(run.interpreter) + " " + path + " 2>&1");
        std::remove(path.c_str());
        EXPECT_NE(out.find("'nothing' 未定义"), std::string::npos) << out;
    }
    if (ran == 0) GTEST_SKIP() << "neither python3 nor node is installed";
    // Every language names the address and the request.
    for (const auto& l : transform::ServiceLanguages()) {
        std::string program = transform::ServiceCallerProgram(l.language, address, u"md5('abc')");
        EXPECT_NE(program.find(std::to_string(service.Port())), std::string::npos) << l.name;
        EXPECT_NE(program.find("/call"), std::string::npos) << l.name;
        EXPECT_NE(program.find("md5"), std::string::npos) << l.name;
    }
}
