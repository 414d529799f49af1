// The measuring stick of bench/serve.sh: node's own http server calling the same md5 file.
const http = require("http");
const fs = require("fs");
const file = process.argv[2], port = Number(process.argv[3]);
// In the main context, as a hand-written server would hold it (a vm context's globals
// are much slower to reach).
const md5 = new Function(fs.readFileSync(file, "utf8") + "\nreturn md5;")();
http.createServer((req, res) => {
    let body = "";
    req.setEncoding("utf8");
    req.on("data", (chunk) => { body += chunk; });
    req.on("end", () => {
        res.setHeader("Content-Type", "application/json; charset=utf-8");
        try {
            const request = JSON.parse(body);
            res.end(JSON.stringify({ result: md5.apply(null, request.args), type: "文本型" }));
        } catch (e) {
            res.statusCode = 400;
            res.end(JSON.stringify({ error: { description: String(e) } }));
        }
    });
}).listen(port, "127.0.0.1");
