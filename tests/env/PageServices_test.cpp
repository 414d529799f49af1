// The page's services whose answers a headless Chromium cannot give the probes (it
// gathers no candidates here, and the probes see no log): what the workbench does with
// them, end to end in a modern page.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "EnvTestSupport.h"
#include "env/Environment.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

bool Logged(const EnvHost& env, const std::string& part) {
    return std::any_of(env.lines.begin(), env.lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

TEST(PageServices, APeerConnectionGathersOneMdnsHostCandidateThenEnds) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(R"JS(
        var seen = [], pc = new RTCPeerConnection();
        pc.createDataChannel('');
        pc.onicegatheringstatechange = function () { seen.push('state ' + pc.iceGatheringState); };
        pc.onicecandidate = function (e) {
            seen.push(e.candidate ? 'candidate ' + e.candidate.candidate + ' ' + e.candidate.address + ' ' +
                JSON.stringify(e.candidate.toJSON()) : 'end');
        };
        pc.createOffer().then(function (o) { return pc.setLocalDescription(o); });
    )JS")) << env.ErrorDescription();
    std::string seen = env.Text("seen.join('\\n')");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        seen, m,
        std::regex("^state gathering\ncandidate candidate:\\d+ 1 udp 2113937151 ([0-9a-f-]{36}\\.local) \\d+ typ host "
                   "generation 0 ufrag [A-Za-z0-9+/]{4} network-cost 999 ([^ ]+) \\{\"candidate\":\"candidate:.*\",\"sdpMid\":\"0\","
                   "\"sdpMLineIndex\":0,\"usernameFragment\":\"[A-Za-z0-9+/]{4}\"\\}\nstate complete\nend$")))
        << seen;
    EXPECT_EQ(m[1], m[2]);  // the address a script reads is the mDNS name, never an address of the machine
    // Its ufrag is the offer's.
    EXPECT_TRUE(env.True("pc.localDescription.sdp.indexOf('a=ice-ufrag:' + /ufrag (\\S+)/.exec(seen[1])[1]) > 0"));
}

TEST(PageServices, AnIndexedDbTransactionThatFailsUndoesItsWritesAndStoresClones) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(R"JS(
        var log = [], db;
        var q = indexedDB.open('undo', 1);
        q.onupgradeneeded = function () { q.result.createObjectStore('s'); };
        q.onsuccess = function () {
            db = q.result;
            var thing = {n: 1}, tx = db.transaction('s', 'readwrite'), s = tx.objectStore('s');
            s.put(thing, 'a');
            thing.n = 2;
            tx.oncomplete = function () {
                var tx2 = db.transaction('s', 'readwrite'), s2 = tx2.objectStore('s');
                s2.put({n: 3}, 'b');
                s2.add({n: 4}, 'a');
                tx2.onabort = function () {
                    log.push('aborted ' + tx2.error.name);
                    var g = db.transaction('s').objectStore('s').getAll();
                    g.onsuccess = function () { log.push(JSON.stringify(g.result)); };
                };
            };
        };
    )JS")) << env.ErrorDescription();
    // The put of b went with the transaction the duplicate add aborted; a kept its value
    // as put (the later change to the object is not the store's).
    EXPECT_EQ(env.Text("log.join(' | ')"), "aborted ConstraintError | [{\"n\":1}]");
}

TEST(PageServices, AWorkersScriptsTimersAndErrorsStayItsOwn) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(R"JS(
        var got = [], lib = URL.createObjectURL(new Blob(['var fromLib = 6 * 7;']));
        var code = 'importScripts("' + lib + '"); var ticks = 0; setInterval(function () { ticks++; }, 1);' +
            'onmessage = function (e) { if (e.data === "ticks") postMessage(ticks > 0); else if (e.data === "boom") undefinedName(); else postMessage(fromLib + e.data); };';
        var w = new Worker(URL.createObjectURL(new Blob([code])));
        w.onmessage = function (e) { got.push(e.data); };
        w.postMessage(1);
        setTimeout(function () { w.postMessage('ticks'); }, 10);
    )JS")) << env.ErrorDescription();
    EXPECT_EQ(env.Text("got.join()"), "43,true");
    // An error nothing in the worker or the page takes goes to the log, in V8's words.
    ASSERT_TRUE(env.Add("w.postMessage('boom');")) << env.ErrorDescription();
    EXPECT_TRUE(Logged(env, "Worker 中未捕获的错误：Uncaught ReferenceError: undefinedName is not defined")) << env.lines.size();
    // Terminated, it hears nothing and its timers stop.
    ASSERT_TRUE(env.Add("w.terminate(); w.postMessage(2);")) << env.ErrorDescription();
    EXPECT_EQ(env.Text("got.join()"), "43,true");
    // The page never sees the worker's names.
    EXPECT_EQ(env.Text("typeof fromLib + typeof ticks + typeof importScripts + typeof WorkerGlobalScope"), "undefinedundefinedundefinedundefined");
}

TEST(PageServices, KeysWrappedAndAnAlgorithmChrome124LacksRefusedAsItRefusesIt) {
    // (The measuring stick is a newer Chromium, which knows Ed25519: the persona's Chrome
    // does not.)
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var why; crypto.subtle.generateKey('Ed25519', false, ['sign', 'verify'])"
                        ".then(null, function (e) { why = e.name + ': ' + e.message; });"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("why"), "NotSupportedError: Failed to execute 'generateKey' on 'SubtleCrypto': Algorithm: Unrecognized name");
    // A key wrapped under RSA-OAEP comes back whole (its JWK fits a 2048-bit modulus).
    ASSERT_TRUE(env.Add(R"JS(
        var back;
        var s = crypto.subtle;
        Promise.all([s.generateKey({name: 'RSA-OAEP', modulusLength: 2048, publicExponent: new Uint8Array([1, 0, 1]), hash: 'SHA-256'},
                        false, ['wrapKey', 'unwrapKey']),
                     s.importKey('raw', new Uint8Array(32).fill(7), 'AES-GCM', true, ['encrypt'])]).then(function (k) {
            return s.wrapKey('jwk', k[1], k[0].publicKey, {name: 'RSA-OAEP'}).then(function (w) {
                return s.unwrapKey('jwk', w, k[0].privateKey, {name: 'RSA-OAEP'}, 'AES-GCM', true, ['encrypt']);
            });
        }).then(function (u) { return s.exportKey('raw', u); }).then(function (raw) { back = new Uint8Array(raw).join(); },
            function (e) { back = String(e); });
    )JS")) << env.ErrorDescription();
    EXPECT_EQ(env.Text("back"), "7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7,7");
}

TEST(PageServices, ThePortableFormBringsTheServicesItCanGive) {
    // Outside the workbench the services come with the insertable form; what needs the
    // workbench's natives (digests, a worker's realm) is refused, never a script error.
    EnvHost bare(ScriptTarget::ES2021, false);
    ASSERT_TRUE(bare.Add(env::InsertableBlock(false))) << bare.ErrorDescription();
    ASSERT_TRUE(bare.Add("var out = [new Blob(['ab', new Uint8Array(3)]).size, Object.prototype.toString.call(new Headers()),"
                         " URL.createObjectURL(new Blob([])).indexOf('blob:') === 0];"
                         "crypto.subtle.digest('SHA-256', new Uint8Array(1)).then(null, function (e) { out.push(e.name); });"))
        << bare.ErrorDescription();
    EXPECT_EQ(bare.Text("out.join()"), "5,[object Headers],true,NotSupportedError");
}

}  // namespace
}  // namespace qy::test
