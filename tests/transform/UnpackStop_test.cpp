// One press of "停止" ends a whole unpack of a large text, whichever of its many engine
// calls it lands in: nothing after it runs long, and the text comes back untouched.
#include <gtest/gtest.h>

#include <chrono>

#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "transform/Transforms.h"

using namespace qy::transform;
using namespace qy::script;

namespace {

/// A packed layer over a large body (every layer the unpacker peels costs a pass over it).
std::string LargePackedText() {
    std::string body;
    while (body.size() < 12u * 1024 * 1024) body += "function f" + std::to_string(body.size()) + "(a){return a+1}\n";
    return "eval(function(p,a,c,k,e,d){return p}('var x=1;',0,0,''.split('|'),0,{}));\n" + body;
}

/// Presses "停止" once, the first time the busy hook sees the call that has run `after`,
/// and counts the hook's calls that come after the press (each means an engine call
/// that ran long after the stop).
struct OneStopPress {
    explicit OneStopPress(std::chrono::milliseconds after) {
        SetBusyHook([this, after](std::chrono::milliseconds elapsed) {
            if (pressed) {
                ++callsAfterPress;
                return;
            }
            if (elapsed < after) return;
            pressed = true;
            RequestStop();
        });
    }
    ~OneStopPress() { SetBusyHook(nullptr); }
    bool pressed = false;
    int callsAfterPress = 0;
};

}  // namespace

TEST(UnpackStop, OnePressEndsTheWholeUnpackWhereverItLands) {
    const std::string text = LargePackedText();
    // Early (the first long call) and later (the press lands in a later call).
    for (int ms : {300, 1500}) {
        ScriptHost main;
        OneStopPress press{std::chrono::milliseconds(ms)};
        UnpackResult r = UnpackScript(main, text);
        if (!press.pressed) continue;  // this machine was quick enough to finish first
        EXPECT_TRUE(r.stopped) << ms;
        EXPECT_FALSE(r.ok) << ms;
        EXPECT_EQ(r.text, text) << ms;
        // The stop ends the call it lands in and every one after it: none runs long.
        EXPECT_LE(press.callsAfterPress, 1) << ms;
    }
    // The next unpack is not stopped by the last one's press.
    ScriptHost main;
    UnpackResult next = UnpackScript(main, "eval('var y=2;')");
    EXPECT_TRUE(next.ok);
    EXPECT_FALSE(next.stopped);
}
