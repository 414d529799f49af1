// The persona as a page's script meets it in the modern target with the page's objects:
// printing, stacks, messages, the later built-ins and what is gone; and what must not
// change: the workbench's own error lines, the modern target without the page's
// objects, and the JScript target.
#include <gtest/gtest.h>
#include <js/GCAPI.h>
#include <js/RealmIterators.h>

#include <string>

#include "env/EnvTestSupport.h"
#include "script/EngineInternal.h"

namespace {

using qy::script::ScriptTarget;
using qy::test::EnvHost;

constexpr const char* kAddress = "https://www.example.com/app/index.html";

class Persona : public ::testing::Test {
protected:
    EnvHost page{ScriptTarget::ES2021, true, kAddress};
};

// ---- native printing ------------------------------------------------------------------

TEST_F(Persona, BuiltInsPrintOnOneLineAsV8Does) {
    EXPECT_EQ(page.Text("String(Math.max)"), "function max() { [native code] }");
    EXPECT_EQ(page.Text("Function.prototype.toString.call(Array.prototype.map)"), "function map() { [native code] }");
    EXPECT_EQ(page.Text("Object.getOwnPropertyDescriptor(Map.prototype, 'size').get + ''"),
              "function get size() { [native code] }");
    EXPECT_EQ(page.Text("String(Function.prototype.toString)"), "function toString() { [native code] }");
    EXPECT_EQ(page.Text("String(function f() {}.bind(null))"), "function () { [native code] }");
    EXPECT_EQ(page.Text("String(new Proxy(function () {}, {}))"), "function () { [native code] }");
    // The persona's own additions print as built-ins too, never as their source.
    EXPECT_EQ(page.Text("String(Array.prototype.toSorted)"), "function toSorted() { [native code] }");
    EXPECT_EQ(page.Text("String(Error)"), "function Error() { [native code] }");
    EXPECT_EQ(page.Text("String(JSON.parse)"), "function parse() { [native code] }");
}

TEST_F(Persona, UserFunctionsKeepTheirSourceAndEveryWayAgrees) {
    ASSERT_TRUE(page.Add("function add(a, b) { return a + b; }\nclass Point { constructor() { this.x = 1; } }"));
    EXPECT_EQ(page.Text("String(add)"), "function add(a, b) { return a + b; }");
    EXPECT_EQ(page.Text("Point + ''"), "class Point { constructor() { this.x = 1; } }");
    EXPECT_TRUE(page.True("[Math.min, add, Date.now, Point].every(function (f) {"
                          "  return String(f) === f + '' && f + '' === Function.prototype.toString.call(f); })"));
    EXPECT_EQ(page.Text("try { Function.prototype.toString.call({}) } catch (e) { e.name + ': ' + e.message }"),
              "TypeError: Function.prototype.toString requires that 'this' be a Function");
    EXPECT_TRUE(page.True("!Math.max.hasOwnProperty('toString') && !('prototype' in Array.prototype.findLast)"));
}

// ---- stacks ---------------------------------------------------------------------------

TEST_F(Persona, StacksNameTheFramesAtThePageAddress) {
    ASSERT_TRUE(page.Add("function inner() { return new Error('boom'); }\n"
                         "function outer() { return inner(); }\n"));
    EXPECT_EQ(page.Text("outer().stack"),
              "Error: boom\n"
              "    at inner (https://www.example.com/app/index.html:1:27)\n"
              "    at outer (https://www.example.com/app/index.html:2:27)\n"
              "    at https://www.example.com/app/index.html:1:1");
    EXPECT_EQ(page.Text("try { null.x } catch (e) { e.stack.split('\\n')[0] }"),
              "TypeError: Cannot read properties of null (reading 'x')");
}

TEST_F(Persona, FramesAreNamedAsV8NamesThem) {
    ASSERT_TRUE(page.Add("var o = {run: function () { null.x; }};\n"
                         "function Outer() { o.run(); }\n"
                         "function thrown() { try { new Outer(); } catch (e) { return e.stack; } }\n"
                         "class Box { make() { return new Error('b'); } }\n"));
    EXPECT_EQ(page.Text("thrown()"),
              "TypeError: Cannot read properties of null (reading 'x')\n"
              "    at Object.run (https://www.example.com/app/index.html:1:34)\n"
              "    at new Outer (https://www.example.com/app/index.html:2:22)\n"
              "    at thrown (https://www.example.com/app/index.html:3:27)\n"
              "    at https://www.example.com/app/index.html:1:1");
    EXPECT_EQ(page.Text("new Box().make().stack.split('\\n')[1]"),
              "    at Box.make (https://www.example.com/app/index.html:4:29)");
    EXPECT_EQ(page.Text("eval('new Error(\\'e\\')').stack.split('\\n')[1]"),
              "    at eval (eval at <anonymous> (https://www.example.com/app/index.html:1:1), <anonymous>:1:1)");
}

TEST_F(Persona, FramesArePlacedAndNamedAsV8DoesForAnonymousFunctionsGeneratorsAndMembers) {
    auto second = [&](const std::string& code) {
        return page.Text("(function () { try { " + code + " } catch (e) { return e.stack.split('\\n')[1]; } })()");
    };
    // An anonymous function takes the name of the variable or member it was stored in;
    // a member's name shows without the receiver's type, and a function given to a call
    // there takes none.
    EXPECT_EQ(second("var o = {}; var g = [function () { throw new Error('x'); }][0]; g.call(o);"),
              "    at Object.g (https://www.example.com/app/index.html:1:63)");
    EXPECT_EQ(second("var h = [function () { throw new Error('x'); }][0]; h();"),
              "    at h (https://www.example.com/app/index.html:1:51)");
    EXPECT_EQ(second("var o = {a: [function () { throw new Error('x'); }]}; o.a[0]();"),
              "    at o.a (https://www.example.com/app/index.html:1:55)");
    EXPECT_EQ(second("function id(f) { return f; } var w = id(function () { throw new Error('x'); }); w();"),
              "    at https://www.example.com/app/index.html:1:82");
    // A generator's own method shows between it and its caller; a for-of loop stands at
    // its binding.
    ASSERT_TRUE(page.Add("function* gen() { yield 1; null.x; }\n"
                         "function runs() { try { for (const v of gen()) {} } catch (e) { return e.stack; } }\n"));
    EXPECT_EQ(page.Text("runs().split('\\n').slice(1, 4).join('|')"),
              "    at gen (https://www.example.com/app/index.html:1:33)|"
              "    at gen.next (<anonymous>)|"
              "    at runs (https://www.example.com/app/index.html:2:36)");
    // A property of null or undefined is placed at the member read, or a write's `=`.
    EXPECT_EQ(second("var o = {}; o.a['k'];"), "    at https://www.example.com/app/index.html:1:37");
    EXPECT_EQ(second("var o = {}; o.a\n  .b;"), "    at https://www.example.com/app/index.html:2:4");
    EXPECT_EQ(second("var o; o.x = 1;"), "    at https://www.example.com/app/index.html:1:33");
}

TEST_F(Persona, ErrorSubclassesLeaveTheirConstructorsOut) {
    ASSERT_TRUE(page.Add("class MyErr extends Error { constructor(m) { super(m); this.name = 'MyErr'; } }\n"
                         "class Deeper extends MyErr {}\n"
                         "function make(C) { return new C('x'); }\n"));
    EXPECT_EQ(page.Text("make(MyErr).stack.split('\\n').slice(0, 2).join('|')"),
              "MyErr: x|    at make (https://www.example.com/app/index.html:3:27)");
    EXPECT_EQ(page.Text("make(Deeper).stack.split('\\n').slice(0, 2).join('|')"),
              "MyErr: x|    at make (https://www.example.com/app/index.html:3:27)");
    EXPECT_EQ(page.Text("make(Error).stack.split('\\n').slice(0, 2).join('|')"),
              "Error: x|    at make (https://www.example.com/app/index.html:3:27)");
}

TEST_F(Persona, ErrorsCaughtUnderArrowFunctionsKeepTheirStacks) {
    // A detector's probe: sources collected through async arrows over Promise.all, one
    // of them reading the stack of an error it caught; arrow frames have no receiver of
    // their own.
    ASSERT_TRUE(page.Add("function probe() { try { null[0](); } catch (e) {\n"
                         "  if (e instanceof Error && e.stack != null) return e.stack.toString(); }\n"
                         "  throw new Error('no stack'); }\n"
                         "var got = {};\n"
                         "async function collect(sources) {\n"
                         "  await Promise.all(Object.keys(sources).map(async (k) => { got[k] = await sources[k](); })); }\n"
                         "collect({trace: probe}).catch(function (e) { got.failed = e.message; });\n"
                         "var o = {m: function () { return [1].map((k) => probe())[0]; }};\n"));
    EXPECT_EQ(page.Text("typeof got.trace + ' ' + got.failed"), "string undefined");
    EXPECT_EQ(page.Text("got.trace.split('\\n').slice(0, 3).join('|')"),
              "TypeError: Cannot read properties of null (reading '0')|"
              "    at Object.probe [as trace] (https://www.example.com/app/index.html:1:30)|"
              "    at https://www.example.com/app/index.html:6:86");
    // No receiver type for the arrow; the built-in that called it shows, and the method
    // that called that keeps its own.
    EXPECT_EQ(page.Text("o.m().split('\\n').slice(2, 5).join('|')"),
              "    at https://www.example.com/app/index.html:8:49|"
              "    at Array.map (<anonymous>)|"
              "    at Object.m (https://www.example.com/app/index.html:8:38)");
}

TEST_F(Persona, AsyncFunctionsWaitingShowAsV8ShowsThem) {
    ASSERT_TRUE(page.Add("var seen = {};\n"
                         "function keep(name) { return function (e) { seen[name] = e.stack.replace(/https:[^)]*index.html/g, 'P'); }; }\n"
                         "async function inner() { await null; throw new Error('x'); }\n"
                         "async function outer() { await inner(); }\n"
                         "outer().catch(keep('awaited'));\n"
                         "async function mid() { await inner(); } async function head() { await mid(); }\n"
                         "head().catch(keep('two'));\n"
                         "function caller() { return inner(); }\n"
                         "caller().catch(keep('called'));\n"
                         "async function returns() { return inner(); }\n"
                         "returns().catch(keep('returned'));\n"
                         "async function later() { var p = inner(); await 1; return p; }\n"
                         "later().catch(keep('not awaited'));\n"
                         "(async () => { await inner(); })().catch(keep('arrow'));\n"
                         "async function* gen() { await null; throw new Error('g'); }\n"
                         "async function loops() { for await (const x of gen()) {} }\n"
                         "loops().catch(keep('for await'));\n"));
    // Each function awaiting the one above shows at its await; the script that started
    // them waits for nothing and is not shown.
    EXPECT_EQ(page.Text("seen.awaited"), "Error: x\n    at inner (P:3:44)\n    at async outer (P:4:26)");
    EXPECT_EQ(page.Text("seen.two"), "Error: x\n    at inner (P:3:44)\n    at async mid (P:6:24)\n    at async head (P:6:65)");
    // A caller that only called it, returned its promise or awaited something else
    // first is not waiting for it: V8 shows none of them.
    for (const char* alone : {"called", "returned", "not awaited"})
        EXPECT_EQ(page.Text(std::string("seen['") + alone + "']"), "Error: x\n    at inner (P:3:44)") << alone;
    // An anonymous function waiting shows by its place; a for-await loop at its binding.
    EXPECT_EQ(page.Text("seen.arrow"), "Error: x\n    at inner (P:3:44)\n    at async P:14:16");
    EXPECT_EQ(page.Text("seen['for await']"), "Error: g\n    at gen (P:15:43)\n    at async loops (P:16:43)");
}

TEST_F(Persona, ManyErrorsStillGetTheirStacks) {
    // Past the errors whose frames the debugger names, the engine's frames name them;
    // writing thousands of stacks (each allocation may collect) keeps every frame intact.
    EXPECT_EQ(page.Text("(function () { function a() { return new Error('x'); } function b() { return a(); }"
                        " var bad = 0; for (var i = 0; i < 3000; i++) { var s = b().stack;"
                        " if (s.split('\\n').length !== 5 || s.indexOf('at b (') < 0) bad++; } return bad; })()"),
              "0");
    ASSERT_TRUE(page.Add("function many() { var e; for (var i = 0; i < 2500; i++) e = new Error('n' + i); return e; }"));
    EXPECT_EQ(page.Text("many().stack"),
              "Error: n2499\n"
              "    at many (https://www.example.com/app/index.html:1:61)\n"
              "    at https://www.example.com/app/index.html:1:1");
    EXPECT_EQ(page.Text("(function () { var m; for (var i = 0; i < 2500; i++) { try { null.x; } catch (e) { m = e; } }"
                        " return Object.getOwnPropertyNames(m).join() + ' ' + m.stack.split('\\n')[0]; })()"),
              "stack,message TypeError: Cannot read properties of null (reading 'x')");
}

TEST_F(Persona, InternalFramesNeverShow) {
    // The callback runs inside a built-in the persona writes in script: only the user's
    // frames show, and the workbench's file names appear nowhere.
    ASSERT_TRUE(page.Add("function viaBuiltIn() { var e; [1].findLast(function cb() { e = new Error('in'); }); return e; }"));
    std::string stack = page.Text("viaBuiltIn().stack");
    EXPECT_EQ(stack.find("qy-internal"), std::string::npos) << stack;
    EXPECT_EQ(stack.find("browser-env"), std::string::npos) << stack;
    EXPECT_NE(stack.find("at cb ("), std::string::npos) << stack;
    EXPECT_NE(stack.find("at viaBuiltIn ("), std::string::npos) << stack;
    EXPECT_EQ(page.Text("try { JSON.parse('{a') } catch (e) { e.stack.indexOf('qy-internal') }"), "-1");
}

TEST_F(Persona, StackTraceLimitAndCaptureStackTrace) {
    ASSERT_TRUE(page.Add("function deep(n) { return n ? deep(n - 1) : new Error('x'); }\n"
                         "function capture(o) { Error.captureStackTrace(o, capture); }\n"
                         "function caller(o) { capture(o); return o; }\n"));
    EXPECT_EQ(page.Text("deep(30).stack.split('\\n').length"), "11");
    EXPECT_EQ(page.Text("Error.stackTraceLimit = 3; deep(30).stack.split('\\n').length"), "4");
    EXPECT_EQ(page.Text("Error.stackTraceLimit = 'x'; typeof new Error('x').stack"), "undefined");
    // The stack is still the error's own, reading undefined, as in V8.
    EXPECT_EQ(page.Text("[new Error('x').hasOwnProperty('stack'), (function () { try { null.x; } catch (e) {"
                        " return e.hasOwnProperty('stack') + ' ' + e.stack; } })()].join()"),
              "true,true undefined");
    EXPECT_EQ(page.Text("Error.stackTraceLimit = 10; caller({message: 'm'}).stack.split('\\n').slice(0, 2).join('|')"
                        ".replace(/:\\d+\\)$/, ')')"),
              "Error: m|    at caller (https://www.example.com/app/index.html:3)");
    EXPECT_EQ(page.Text("var o = {}; Error.captureStackTrace(o); Object.getOwnPropertyNames(o).join()"), "stack");
    EXPECT_EQ(page.Text("try { Error.captureStackTrace(1) } catch (e) { e.name }"), "TypeError");
}

TEST_F(Persona, ErrorsOwnTheirStackAndSurviveCollection) {
    EXPECT_EQ(page.Text("Object.getOwnPropertyNames(new Error('x')).join()"), "stack,message");
    EXPECT_EQ(page.Text("var e = new TypeError('t'); e.stack = 'mine'; e.stack"), "mine");
    EXPECT_EQ(page.Text("[typeof new Error('x').fileName, 'lineNumber' in new RangeError('x')].join()"), "undefined,false");
    ASSERT_TRUE(page.Add("var kept = (function made() { return new Error('kept'); })();"));
    // The record of each error's stack is weak: a collection keeps what is still held.
    JS_GC(qy::script::detail::Cx());
    EXPECT_EQ(page.Text("kept.stack.split('\\n').slice(0, 2).join('|')"),
              "Error: kept|    at made (https://www.example.com/app/index.html:1:38)");
    EXPECT_TRUE(page.True("(function () { class Mine extends Error {} var m = new Mine('s');"
                          "  return m instanceof Mine && m instanceof Error && m.stack.indexOf('Error: s') === 0; })()"));
    EXPECT_TRUE(page.True("Error('no new') instanceof Error && TypeError.prototype.constructor === TypeError"));
}

size_t LiveRealms() {
    size_t count = 0;
    JS::IterateRealms(qy::script::detail::Cx(), &count,
                      [](JSContext*, void* data, JS::Realm*, const JS::AutoRequireNoGC&) { ++*static_cast<size_t*>(data); });
    return count;
}

TEST(PersonaGlobals, ResetPagesAreCollected) {
    // Neither the watcher of exceptions nor the records of stacks keep an old page alive.
    EnvHost page(ScriptTarget::ES2021, true, kAddress);
    page.Text("try { null.x } catch (e) { e.stack }");
    JS_GC(qy::script::detail::Cx());
    size_t before = LiveRealms();
    for (int i = 0; i < 20; ++i) {
        page.host.Reset();
        page.Text("try { null.x } catch (e) { new Error('x').stack + e.stack }");
    }
    JS_GC(qy::script::detail::Cx());
    EXPECT_LE(LiveRealms(), before + 2);
}

// ---- messages and types -----------------------------------------------------------------

TEST_F(Persona, TheCommonErrorsInV8Words) {
    auto caught = [&](const std::string& code) {
        return page.Text("(function () { try { " + code + " } catch (e) { return e.name + ': ' + e.message; } })()");
    };
    EXPECT_EQ(caught("var a; a.b.c;"), "TypeError: Cannot read properties of undefined (reading 'b')");
    EXPECT_EQ(caught("var a = null; a[0];"), "TypeError: Cannot read properties of null (reading '0')");
    EXPECT_EQ(caught("var a; a.x = 1;"), "TypeError: Cannot set properties of undefined (setting 'x')");
    EXPECT_EQ(caught("var a = {}; a.b();"), "TypeError: a.b is not a function");
    EXPECT_EQ(caught("return missingName;"), "ReferenceError: missingName is not defined");
    EXPECT_EQ(caught("const c = 1; c = 2;"), "TypeError: Assignment to constant variable.");
    EXPECT_EQ(caught("new Array(-1);"), "RangeError: Invalid array length");
    EXPECT_EQ(caught("(function r() { r(); })();"), "RangeError: Maximum call stack size exceeded");
    EXPECT_EQ(caught("JSON.parse('a');"), "SyntaxError: Unexpected token 'a', \"a\" is not valid JSON");
    EXPECT_EQ(caught("JSON.parse('{\"a\":1');"),
              "SyntaxError: Expected ',' or '}' after property value in JSON at position 6 (line 1 column 7)");
    EXPECT_EQ(caught("JSON.parse('[1,\\n 2 x]');"),
              "SyntaxError: Expected ',' or ']' after array element in JSON at position 7 (line 2 column 4)");
    EXPECT_TRUE(page.True("(function () { try { (function r() { r(); })(); } catch (e) { return e instanceof RangeError; } })()"));
    EXPECT_EQ(page.Text("JSON.parse('{\"a\":[1,2]}', function (k, v) { return k === 'a' ? v.length : v; }).a"), "2");
}

TEST_F(Persona, LessCommonErrorsNameTheValuesV8Names) {
    auto caught = [&](const std::string& code) {
        return page.Text("(function () { try { " + code + " } catch (e) { return e.name + ': ' + e.message; } })()");
    };
    // Values the engine leaves out are read from the call at the error's place: a literal
    // or a variable, never by running the page's code.
    EXPECT_EQ(caught("var k = -3; 'x'.repeat(k);"), "RangeError: Invalid count value: -3");
    EXPECT_EQ(caught("var o = {k: 'key'}; return o.k in 5;"), "TypeError: Cannot use 'in' operator to search for 'key' in 5");
    EXPECT_EQ(caught("var Shape = class {}; Shape();"), "TypeError: Class constructor Shape cannot be invoked without 'new'");
    EXPECT_EQ(caught("var flags = 'gg'; new RegExp('a', flags);"), "SyntaxError: Invalid flags supplied to RegExp constructor 'gg'");
    ASSERT_TRUE(page.Add("var hits = 0; var counted = {get n() { hits++; return -1; }};"));
    EXPECT_EQ(caught("'x'.repeat(counted.n);"), "RangeError: Invalid count value");
    EXPECT_EQ(page.Text("hits"), "1");
    ASSERT_TRUE(page.Add("Object.defineProperty(window, 'countedGlobal', {get: function () { hits++; return 7; }, configurable: true});"));
    EXPECT_EQ(caught("return 'a' in countedGlobal;"), "TypeError: right-hand side of 'in' should be an object, got number");
    EXPECT_EQ(page.Text("hits"), "2");
    // The page's own errors keep their words, even the engine's.
    EXPECT_EQ(caught("throw new RangeError('repeat count must be non-negative');"),
              "RangeError: repeat count must be non-negative");
    EXPECT_EQ(page.Text("(function () { try { throw {message: 'nothing to repeat'}; } catch (e) {"
                        " return e.message + ' ' + ('stack' in e); } })()"),
              "nothing to repeat false");
    // A built-in's error shows the built-in above its caller, and the stack's first line
    // has the message V8 gives.
    ASSERT_TRUE(page.Add("function parses() { return JSON.parse('{'); }\nfunction repeats() { return 'x'.repeat(-1); }"));
    EXPECT_EQ(page.Text("try { parses() } catch (e) { e.stack.split('\\n').slice(0, 3).join('|') }"),
              "SyntaxError: Expected property name or '}' in JSON at position 1 (line 1 column 2)|"
              "    at JSON.parse (<anonymous>)|"
              "    at parses (https://www.example.com/app/index.html:1:33)");
    EXPECT_EQ(page.Text("try { repeats() } catch (e) { e.stack.split('\\n').slice(0, 3).join('|') }"),
              "RangeError: Invalid count value: -1|"
              "    at String.repeat (<anonymous>)|"
              "    at repeats (https://www.example.com/app/index.html:2:33)");
}

TEST_F(Persona, PatternsDescriptorsHeritageAndGeneratorsNameWhatV8Names) {
    auto caught = [&](const std::string& code) {
        return page.Text("(function () { try { " + code + " } catch (e) { return e.name + ': ' + e.message; } })()");
    };
    // A nested pattern given nothing reads its first property from it.
    EXPECT_EQ(caught("var {a: {b}} = {};"), "TypeError: Cannot read properties of undefined (reading 'b')");
    EXPECT_EQ(caught("var o = {a: null}; var {x, a: {c, d}} = o;"), "TypeError: Cannot read properties of null (reading 'c')");
    EXPECT_EQ(caught("var b; ({a: {b}} = {});"), "TypeError: Cannot read properties of undefined (reading 'b')");
    EXPECT_EQ(caught("var [{e}] = [];"), "TypeError: Cannot read properties of undefined (reading 'e')");
    // An accessor field that is no function: its value, written or held.
    EXPECT_EQ(caught("Object.defineProperty({}, 'x', {get: 1});"), "TypeError: Getter must be a function: 1");
    EXPECT_EQ(caught("var d = {set: [2]}; Object.defineProperty({}, 'x', d);"),
              "TypeError: Setter must be a function: [object Array]");
    EXPECT_EQ(caught("Object.defineProperties({}, {x: {get: 'g'}});"), "TypeError: Getter must be a function: g");
    // A class extending what cannot be extended: the value, a function by its source.
    EXPECT_EQ(caught("var f = () => 1; class A extends f {}"), "TypeError: Class extends value () => 1 is not a constructor or null");
    EXPECT_EQ(caught("function* g() {} class A extends g {}"),
              "TypeError: Class extends value function* g() {} is not a constructor or null");
    EXPECT_EQ(caught("var n = 5; class A extends n {}"), "TypeError: Class extends value 5 is not a constructor or null");
    EXPECT_EQ(caught("var f = function () {}; f.prototype = 3; class A extends f {}"),
              "TypeError: Class extends value does not have valid prototype property 3");
    // Each call's own value, also where the class sits in a function called from a
    // closure of an earlier call's variable.
    EXPECT_EQ(page.Text("function tried(f) { try { f(); } catch (e) { return e.message.split(' ')[4]; } } var seen = [];"
                        " [Math.max, Math.min].forEach(function (g) { var fn = g; seen.push((function () {"
                        " return tried(function () { var S = class extends fn {}; }); })()); }); seen.join(' ')"),
              "max() min()");
    // An ordinary `new` of a non-constructor keeps the common words.
    EXPECT_EQ(caught("var f = () => 1; new f();"), "TypeError: f is not a constructor");
    // A generator's methods on another receiver.
    EXPECT_EQ(caught("function* g() {} g.prototype.next.call({});"),
              "TypeError: Method [Generator].prototype.next called on incompatible receiver #<Object>");
    EXPECT_EQ(caught("function* g() {} g.prototype.return.call(1);"),
              "TypeError: Method [Generator].prototype.return called on incompatible receiver 1");
}

TEST_F(Persona, TrapsAtomicsAndAccessorsNameTheValueV8Names) {
    auto caught = [&](const std::string& code) {
        return page.Text("(function () { try { " + code + " } catch (e) { return e.name + ': ' + e.message; } })()");
    };
    // A trap that is no function, written in the handler or read from the proxy's own.
    EXPECT_EQ(caught("return new Proxy({}, {get: 1}).a;"),
              "TypeError: '1' returned for property 'get' of object '#<Object>' is not a function");
    EXPECT_EQ(caught("class H { constructor() { this.has = true; } } var p = new Proxy({}, new H()); return 'a' in p;"),
              "TypeError: 'true' returned for property 'has' of object '#<H>' is not a function");
    EXPECT_EQ(caught("var h = {set: {}}; var p = new Proxy({}, h); p.a = 1;"),
              "TypeError: '#<Object>' returned for property 'set' of object '#<Object>' is not a function");
    // Atomics on an array of floats, made on the spot or held.
    EXPECT_EQ(caught("Atomics.add(new Float64Array(1), 0, 1);"),
              "TypeError: [object Float64Array] is not an integer typed array.");
    EXPECT_EQ(caught("var u = new Uint8ClampedArray(2); Atomics.store(u, 0, 1);"),
              "TypeError: [object Uint8ClampedArray] is not an integer typed array.");
    // RegExp.prototype's flags getter called on a primitive.
    EXPECT_EQ(caught("Object.getOwnPropertyDescriptor(RegExp.prototype, 'flags').get.call(1);"),
              "TypeError: RegExp.prototype.flags getter called on non-object 1");
}

TEST_F(Persona, CallResultsReceiversAndEvalCallersAsV8NamesThem) {
    auto caught = [&](const std::string& code) {
        return page.Text("(function () { try { " + code + " } catch (e) { return e.message; } })()");
    };
    // A plain call's result that cannot be iterated: V8 suspects the call too.
    EXPECT_EQ(caught("function f() { return 1; } var [a] = f();"), "f is not a function or its return value is not iterable");
    EXPECT_EQ(caught("function f() { return 1; } return [...f(2)];"), "f is not a function or its return value is not iterable");
    // A member called through a comma, as bundlers write it.
    EXPECT_EQ(caught("var m = {}; (0, m.default)(1, 2);"), "(0 , m.default) is not a function");
    EXPECT_EQ(caught("var m = {}; m.default();"), "m.default is not a function");
    // A promise's method on another receiver, and a function that keeps a member.
    EXPECT_EQ(caught("return Promise.prototype.then.call(1);"), "Method Promise.prototype.then called on incompatible receiver 1");
    EXPECT_EQ(caught("(function () { 'use strict'; delete Object.prototype; })();"),
              "Cannot delete property 'prototype' of function Object() { [native code] }");
    // Eval'd code names the function that called eval by its own name only.
    EXPECT_EQ(page.Text("(function () { var got; Error.prepareStackTrace = function (e, s) { got = s[0].getEvalOrigin(); return ''; };"
                        " var run = [function () { eval('new Error(1).stack'); }][0]; run(); delete Error.prepareStackTrace;"
                        " return got.replace(/\\(.*\\)/, '(P)'); })()"),
              "eval at run (P)");
}

TEST_F(Persona, ACircleInJsonSaysWhereItCloses) {
    auto caught = [&](const std::string& code) {
        return page.Text("(function () { try { " + code + " } catch (e) { return e.message; } })()");
    };
    EXPECT_EQ(caught("JSON.stringify(window);"),
              "Converting circular structure to JSON\n    --> starting at object with constructor 'Window'\n"
              "    --- property 'window' closes the circle");
    EXPECT_EQ(caught("class K {} var k = new K(); k.list = [1, k]; JSON.stringify({k: k});"),
              "Converting circular structure to JSON\n    --> starting at object with constructor 'K'\n"
              "    |     property 'list' -> object with constructor 'Array'\n    --- index 1 closes the circle");
    // A long way round shows its first two members and its last; a shared member that
    // closes no circle is no part of it.
    EXPECT_EQ(caught("var s = {}; var p = {s: s, t: s, a: {b: {c: {d: {}}}}}; p.a.b.c.d.e = p; JSON.stringify(p);"),
              "Converting circular structure to JSON\n    --> starting at object with constructor 'Object'\n"
              "    |     property 'a' -> object with constructor 'Object'\n"
              "    |     property 'b' -> object with constructor 'Object'\n    |     ...\n"
              "    |     property 'd' -> object with constructor 'Object'\n    --- property 'e' closes the circle");
    // A list of names is followed; a replacer function of the page's is not run twice.
    EXPECT_EQ(caught("var h = {m: {}, n: 1}; h.m.h = h; JSON.stringify(h, ['m', 'h']);"),
              "Converting circular structure to JSON\n    --> starting at object with constructor 'Object'\n"
              "    |     property 'm' -> object with constructor 'Object'\n    --- property 'h' closes the circle");
    ASSERT_TRUE(page.Add("var calls = 0;"));
    EXPECT_EQ(caught("var h = {}; h.h = h; JSON.stringify(h, function (k, v) { calls++; return v; });"),
              "Converting circular structure to JSON");
    EXPECT_EQ(page.Text("calls"), "2");
}

TEST_F(Persona, BuiltInsThatCallThePageShowInItsStacks) {
    // A minified script: one long line, read only around the error's place.
    std::string pad(200000, 'a');
    ASSERT_TRUE(page.Add("var pad = '" + pad + "'; function maps() { return [1].map(function cb() { return new Error('m'); })[0]; }"
                         " function sorts(list) { list.sort(function (a, b) { null.x; }); }"));
    EXPECT_EQ(page.Text("maps().stack.split('\\n').slice(1, 4).join('|').replace(/:1:\\d+/g, ':1:C')"),
              "    at cb (https://www.example.com/app/index.html:1:C)|"
              "    at Array.map (<anonymous>)|"
              "    at maps (https://www.example.com/app/index.html:1:C)");
    EXPECT_EQ(page.Text("try { sorts([2, 1]) } catch (e) { e.stack.split('\\n').slice(2, 4).join('|').replace(/:1:\\d+/g, ':1:C') }"),
              "    at Array.sort (<anonymous>)|"
              "    at sorts (https://www.example.com/app/index.html:1:C)");
    // A function of the page's own that happens to be named as a built-in is no built-in.
    ASSERT_TRUE(page.Add("function map(f) { return f(); }\nfunction viaOwn() { return map(function () { return new Error('o'); }); }"));
    EXPECT_EQ(page.Text("viaOwn().stack.split('\\n')[2]"), "    at map (https://www.example.com/app/index.html:1:26)");
}

TEST_F(Persona, ErrorsBuiltInsRejectPromisesWithAreV8s) {
    ASSERT_TRUE(page.Add("var seen = {};\n"
                         "function gathers() { return Promise.all(5); }\n"
                         "gathers().catch(function (e) { seen.all = e.message + '|' + e.stack.split('\\n').slice(0, 3).join('|'); });\n"
                         "async function waits() { await Promise.race(); }\n"
                         "waits().catch(function (e) { seen.race = e.message + '|' + e.stack.split('\\n').slice(1, 3).join('|'); });\n"
                         "var early = Promise.allSettled({});\n"
                         "setTimeout(function () { early.catch(function (e) { seen.late = e.message; }); }, 0);\n"
                         "Promise.resolve('{').then(JSON.parse).catch(function (e) { seen.job = e.stack; });\n"
                         "Promise.reject(new TypeError('mine')).catch(function (e) { seen.mine = e.stack.split('\\n')[1]; });\n"
                         "function cycles() { var resolve, p = new Promise(function (r) { resolve = r; }); resolve(p); return p; }\n"
                         "cycles().catch(function (e) { seen.cycle = e.stack; });\n"));
    EXPECT_EQ(page.Text("seen.all"),
              "number 5 is not iterable (cannot read property Symbol(Symbol.iterator))|"
              "TypeError: number 5 is not iterable (cannot read property Symbol(Symbol.iterator))|"
              "    at Promise.all (<anonymous>)|"
              "    at gathers (https://www.example.com/app/index.html:2:37)");
    EXPECT_EQ(page.Text("seen.race"),
              "undefined is not iterable (cannot read property Symbol(Symbol.iterator))|"
              "    at Promise.race (<anonymous>)|"
              "    at waits (https://www.example.com/app/index.html:4:40)");
    EXPECT_EQ(page.Text("seen.late"), "object is not iterable (cannot read property Symbol(Symbol.iterator))");
    // A built-in called straight from a promise's job: no caller to show.
    EXPECT_EQ(page.Text("seen.job"), "SyntaxError: Expected property name or '}' in JSON at position 1 (line 1 column 2)\n"
                                     "    at parse (<anonymous>)");
    // The page's own rejection keeps the stack it was made with.
    EXPECT_EQ(page.Text("seen.mine"), "    at https://www.example.com/app/index.html:9:16");
    // A promise resolved with itself: the resolving function shows as a nameless built-in.
    EXPECT_EQ(page.Text("seen.cycle"), "TypeError: Chaining cycle detected for promise #<Promise>\n"
                                       "    at <anonymous>\n"
                                       "    at cycles (https://www.example.com/app/index.html:10:82)\n"
                                       "    at https://www.example.com/app/index.html:11:1");
}

TEST_F(Persona, WorkbenchErrorLinesKeepTheEngineNumbers) {
    // The same error in the persona and in the modern target without it: the log's
    // number, description and place are the workbench's own in both.
    EnvHost plain(ScriptTarget::ES2021, false, kAddress);
    const char* cases[] = {
        "null.x",
        "var u; u.x = 1",
        "missingName + 1",
        "const c = 1; c = 2",
        "new Array(-1)",
        "(function r() { r(); })()",
        "JSON.parse('{a')",
        "var n = 1; n()",
        "Symbol() + ''",
        "[].reduce(function (a) { return a; })",
        "Math.max.apply(null, 1)",
        "null instanceof 1",
        "Object.keys(null)",
        "var {} = null",
        "'x'.repeat(-1)",
        "(1).toFixed(101)",
        "'a' in 5",
        "1n + 1",
        "Promise()",
        "new RegExp('[')",
    };
    for (const char* code : cases) {
        page.Text(code);
        plain.Text(code);
        EXPECT_NE(page.ErrorNumber(), 0) << code;
        EXPECT_EQ(page.ErrorNumber(), plain.ErrorNumber()) << code;
        EXPECT_EQ(page.ErrorDescription(), plain.ErrorDescription()) << code;
        EXPECT_EQ(qy::script::GetPropertyNumber(page.host.GetError(), "Line"),
                  qy::script::GetPropertyNumber(plain.host.GetError(), "Line"))
            << code;
        EXPECT_EQ(qy::script::GetPropertyNumber(page.host.GetError(), "Column"),
                  qy::script::GetPropertyNumber(plain.host.GetError(), "Column"))
            << code;
    }
}

TEST_F(Persona, EngineWordingComesBackOutsideThePersona) {
    EXPECT_NE(page.Text("try { null.x } catch (e) { e.message }").find("Cannot read"), std::string::npos);
    EnvHost plain(ScriptTarget::ES2021, false, kAddress);
    EXPECT_EQ(plain.Text("try { null.x } catch (e) { e.message }"), "null has no properties");
    EXPECT_EQ(plain.Text("try { (function r() { r(); })() } catch (e) { e.name + ': ' + e.message }"),
              "InternalError: too much recursion");
    EXPECT_EQ(plain.Text("String(Math.max)"), "function max() {\n    [native code]\n}");
    // And back again in the persona.
    EXPECT_EQ(page.Text("try { (function r() { r(); })() } catch (e) { e.name }"), "RangeError");
}

// ---- built-ins ------------------------------------------------------------------------

TEST_F(Persona, BuiltInsListTheirMembersInV8sOrder) {
    EXPECT_EQ(page.Text("Object.getOwnPropertyNames(Array.prototype).slice(0, 6).join()"),
              "length,constructor,at,concat,copyWithin,fill");
    EXPECT_EQ(page.Text("Object.getOwnPropertyNames(Object.prototype).join()"),
              "constructor,__defineGetter__,__defineSetter__,hasOwnProperty,__lookupGetter__,__lookupSetter__,"
              "isPrototypeOf,propertyIsEnumerable,toString,valueOf,__proto__,toLocaleString");
    EXPECT_EQ(page.Text("Object.getOwnPropertyNames(Function.prototype).join()"),
              "length,name,constructor,apply,bind,call,toString,arguments,caller");
    EXPECT_EQ(page.Text("Object.getOwnPropertyNames(Reflect).slice(0, 3).join()"), "defineProperty,deleteProperty,apply");
    // Only the order changes: the same functions with the same flags, still working.
    EXPECT_TRUE(page.True("(function () { var d = Object.getOwnPropertyDescriptor(Array.prototype, 'map');"
                          " return d.writable && !d.enumerable && d.configurable && String(d.value) === 'function map() { [native code] }'"
                          " && [1, 2].map(function (x) { return x * 2; }).join() === '2,4'"
                          " && 'a-b'.replace(/-/, '+') === 'a+b' && new Map([[1, 2]]).get(1) === 2; })()"));
    EXPECT_TRUE(page.True("Object.keys(Array.prototype).length === 0 && !Object.prototype.propertyIsEnumerable('toString')"));
    // What a page added before it looked comes after V8's members, and each way of
    // listing agrees.
    ASSERT_TRUE(page.Add("Map.prototype.extra = 1; String.prototype.split = null;"));
    EXPECT_EQ(page.Text("Reflect.ownKeys(Map.prototype).filter(function (k) { return typeof k === 'string'; }).join()"),
              "constructor,get,set,has,delete,clear,entries,forEach,keys,size,values,extra");
    EXPECT_EQ(page.Text("Object.keys(Object.getOwnPropertyDescriptors(Promise.prototype)).join()"), "constructor,then,catch,finally");
    EXPECT_EQ(page.Text("String(Object.getOwnPropertyNames) + Object.getOwnPropertyNames.length"),
              "function getOwnPropertyNames() { [native code] }1");
}

TEST_F(Persona, ArrayCopiesFollowTheLanguage) {
    EXPECT_EQ(page.Text("JSON.stringify([1, 2, 3].toSpliced())"), "[1,2,3]");
    EXPECT_EQ(page.Text("JSON.stringify([1, 2, 3].toSpliced(-1))"), "[1,2]");
    EXPECT_EQ(page.Text("JSON.stringify([1, 2, 3].toSpliced(0, 1, 'a', 'b'))"), "[\"a\",\"b\",2,3]");
    EXPECT_EQ(page.Text("JSON.stringify([3, , 1].toSorted())"), "[1,3,null]");
    EXPECT_EQ(page.Text("var a = [3, 1]; a.toReversed(); a.join()"), "3,1");
    EXPECT_EQ(page.Text("JSON.stringify(Array.prototype.with.call({length: 2, 0: 'x'}, 1, 'y'))"), "[\"x\",\"y\"]");
    EXPECT_EQ(page.Text("try { [1].with(-2, 0) } catch (e) { e.name }"), "RangeError");
    EXPECT_EQ(page.Text("[1, 2, 3, 4].findLastIndex(function (x) { return x < 3; })"), "1");
    EXPECT_EQ(page.Text("Array.from(new Float64Array([2, 1]).toSorted()).join()"), "1,2");
    EXPECT_EQ(page.Text("try { Int8Array.prototype.toReversed.call([1]) } catch (e) { e.name }"), "TypeError");
    EXPECT_EQ(page.Text("try { [].toSorted.call(null) } catch (e) { e.name }"), "TypeError");
}

TEST_F(Persona, GroupingSetsAndClones) {
    EXPECT_EQ(page.Text("Map.groupBy([-0, 0, 1], function (x) { return x; }).get(0).length"), "2");
    EXPECT_EQ(page.Text("Object.keys(Object.groupBy('abca', function (c) { return c; })).join()"), "a,b,c");
    EXPECT_EQ(page.Text("Array.from(new Set([1, 2]).union(new Map([[3, 'x']]))).join()"), "1,2,3");
    EXPECT_EQ(page.Text("new Set([1, 2]).isSubsetOf({size: 5, has: function (v) { return v < 3; }, keys: function () {}})"),
              "true");
    EXPECT_EQ(page.Text("try { new Set().union({size: 1, has: 1, keys: function () {}}) } catch (e) { e.name }"),
              "TypeError");
    EXPECT_TRUE(page.True("(function () { var b = new Uint8Array([1, 2]); var o = {b: b, list: [b]};"
                          "  var c = structuredClone(o); return c.b !== b && c.list[0] === c.b && c.b[1] === 2"
                          "  && c.b instanceof Uint8Array; })()"));
    EXPECT_EQ(page.Text("try { structuredClone({f: function () {}}) } catch (e) { e.name }"), "DataCloneError");
    EXPECT_EQ(page.Text("structuredClone(new Error('e')).message"), "e");
    EXPECT_EQ(page.Text("'\\uDC00x'.toWellFormed().charCodeAt(0)"), "65533");
    ASSERT_TRUE(page.Add("var got = null; Array.fromAsync([Promise.resolve(1), 2]).then(function (a) { got = a.join(); });"
                         "var r = Promise.withResolvers(); var settled = null; r.promise.then(function (v) { settled = v; });"
                         "r.resolve(5);"));
    EXPECT_EQ(page.Text("got + ' ' + settled"), "1,2 5");
}

TEST_F(Persona, BuiltInsIgnoreWhatThePageChanged) {
    // V8's built-ins do not go through the prototypes a page may replace.
    ASSERT_TRUE(page.Add("Array.prototype.push = function () { throw new Error('push'); };"
                         "Array.prototype.indexOf = function () { return -1; };"
                         "String.prototype.slice = function () { return 'patched'; };"
                         "Map.prototype.forEach = Set.prototype.forEach = function () {};"));
    EXPECT_EQ(page.Text("JSON.stringify(Object.groupBy([1, 2, 3], function (x) { return x % 2; }))"), "{\"0\":[2],\"1\":[1,3]}");
    EXPECT_EQ(page.Text("Map.groupBy([1, 2], function (x) { return 'k'; }).get('k').length"), "2");
    EXPECT_EQ(page.Text("Array.from(new Set([1, 2]).intersection(new Set([2, 3]))).join()"), "2");
    EXPECT_EQ(page.Text("structuredClone(new Map([[1, new Set([2])]])).get(1).has(2)"), "true");
    EXPECT_EQ(page.Text("try { JSON.parse('{\"name\":\"value\",\"other\":tru,\"more\":1}') } catch (e) { e.message }"),
              "Unexpected token ',', ...\"other\":tru,\"more\":1}\" is not valid JSON");
    EXPECT_EQ(page.Text("Array.from(new Intl.Segmenter('en', {granularity: 'word'}).segment('ab cd')).length"), "3");
    // What the built-ins take when first needed (a kind's constructor, the objects whose
    // members they order) is what they would have taken at the start.
    ASSERT_TRUE(page.Add("var keptInt16 = Int16Array, keptReflect = Reflect;"
                         "Int16Array = function () { throw new Error('replaced'); }; Reflect = {};"));
    EXPECT_EQ(page.Text("var c = new keptInt16([1, 2]).toReversed(); (c instanceof keptInt16) + ' ' + c.join()"), "true 2,1");
    EXPECT_EQ(page.Text("Object.getOwnPropertyNames(keptReflect).slice(0, 3).join()"), "defineProperty,deleteProperty,apply");
}

TEST_F(Persona, IntlMadeWhenFirstReachedIsAsAtTheStart) {
    // Dates first, then Intl reached with the built-ins and Object.prototype changed: the
    // formats still take the profile's zone, the later members are there, in V8's order.
    ASSERT_TRUE(page.Add("var early = new Date(0).toString();"
                         "Object.prototype.get = function () {}; Object.prototype.set = undefined;"
                         "Array.prototype.forEach = Array.prototype.push = function () { throw new Error('patched'); };"
                         "var zone = Intl.DateTimeFormat().resolvedOptions().timeZone, names = Object.getOwnPropertyNames(Intl);"
                         "delete Object.prototype.get; delete Object.prototype.set;"));
    EXPECT_EQ(page.Text("early.slice(-17) + ' ' + zone"), "GMT+0800 (中国标准时间) Asia/Shanghai");
    EXPECT_EQ(page.Text("names.join()"),
              "getCanonicalLocales,supportedValuesOf,DateTimeFormat,NumberFormat,Collator,v8BreakIterator,PluralRules,"
              "RelativeTimeFormat,ListFormat,Locale,DisplayNames,Segmenter");
    EXPECT_EQ(page.Text("String(Intl.NumberFormat) + ' ' + (Intl.DateTimeFormat.prototype.constructor === Intl.DateTimeFormat)"
                        " + ' ' + Intl.NumberFormat().resolvedOptions().locale"),
              "function NumberFormat() { [native code] } true zh-CN");
    EXPECT_EQ(page.Text("Object.getOwnPropertyDescriptor(Intl.Segmenter, 'prototype').writable + ' ' +"
                        " Object.prototype.toString.call(new Intl.Segmenter('en'))"),
              "false [object Intl.Segmenter]");
    // A page that drops Intl before reaching it keeps its dates in the profile's zone.
    EnvHost other{ScriptTarget::ES2021, true, kAddress};
    EXPECT_EQ(other.Text("delete globalThis.Intl; typeof Intl + ' ' + new Date(0).toLocaleString()"),
              "undefined 1970/1/1 08:00:00");
}

// ---- what no Chrome has -------------------------------------------------------------------

TEST(PersonaRemoved, GoneInThePersonaKeptElsewhere) {
    const char* names = "[typeof ScriptEngine, typeof InternalError, typeof Date.prototype.getVarDate].join()";
    EnvHost page(ScriptTarget::ES2021, true, kAddress);
    EXPECT_EQ(page.Text(names), "undefined,undefined,undefined");
    EXPECT_EQ(page.Text("typeof Iterator.prototype.asIndexedPairs + typeof SharedArrayBuffer"), "undefinedundefined");
    EnvHost plain(ScriptTarget::ES2021, false, kAddress);
    EXPECT_EQ(plain.Text(names), "function,function,function");
    EXPECT_EQ(plain.Text("typeof Array.prototype.findLast + typeof Error.captureStackTrace"), "undefinedundefined");
}

// ---- the JScript target -------------------------------------------------------------------

TEST(PersonaJScript, TheJScriptTargetIsUntouched) {
    EnvHost jscript(ScriptTarget::JScript58, true, kAddress);
    EXPECT_EQ(jscript.Text("ScriptEngine()"), "JScript");
    EXPECT_EQ(jscript.Text("typeof Error.captureStackTrace"), "undefined");
    EXPECT_EQ(jscript.Text("typeof Array.prototype.findLast"), "undefined");
    EXPECT_NE(jscript.Text("String(Math.max)"), "function max() { [native code] }");
    jscript.Text("null.x");
    EXPECT_EQ(jscript.ErrorDescription(), "缺少对象");
}

}  // namespace
