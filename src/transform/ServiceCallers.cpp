// Caller programs for the local service: the expression becomes one JSON request, and
// each language sends it with the HTTP client its users have at hand.
#include <cstdio>

#include "transform/CallerSnippets.h"

namespace qy::transform {
namespace {

bool IdentifierStart(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'$' || c >= 0x80; }
bool IdentifierPart(char16_t c) { return IdentifierStart(c) || (c >= u'0' && c <= u'9'); }
bool Blank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

void AppendUnit(std::string& out, char16_t c) {
    switch (c) {
        case u'"': out += "\\\""; return;
        case u'\\': out += "\\\\"; return;
        case u'\n': out += "\\n"; return;
        case u'\r': out += "\\r"; return;
        case u'\t': out += "\\t"; return;
        default: break;
    }
    if (c >= 0x20 && c < 0x7F) {
        out += static_cast<char>(c);
        return;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
    out += buf;
}

std::string JsonString(std::u16string_view s) {
    std::string out = "\"";
    for (char16_t c : s) AppendUnit(out, c);
    return out + "\"";
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

/// Reads the literal arguments of a call, as JSON; false for anything that is not one.
class Arguments {
public:
    explicit Arguments(std::u16string_view s) : m_s(s) {}

    bool Read(std::string& json) {
        json = "[";
        Skip();
        if (m_i == m_s.size()) return true;
        while (true) {
            if (json.size() > 1) json += ',';
            if (!Value(json)) return false;
            Skip();
            if (m_i == m_s.size()) return true;
            if (m_s[m_i++] != u',') return false;
            Skip();
        }
    }

private:
    void Skip() {
        while (m_i < m_s.size() && Blank(m_s[m_i])) ++m_i;
    }

    bool Word(std::u16string_view w) {
        if (m_s.substr(m_i, w.size()) != w) return false;
        size_t end = m_i + w.size();
        if (end < m_s.size() && IdentifierPart(m_s[end])) return false;
        m_i = end;
        return true;
    }

    bool Value(std::string& json) {
        if (m_i >= m_s.size()) return false;
        char16_t c = m_s[m_i];
        if (c == u'\'' || c == u'"') return String(json);
        for (const char* w : {"true", "false", "null"}) {
            std::u16string word(w, w + std::char_traits<char>::length(w));
            if (Word(word)) {
                json += w;
                return true;
            }
        }
        return Number(json);
    }

    bool String(std::string& json) {
        char16_t quote = m_s[m_i++];
        std::u16string value;
        while (m_i < m_s.size() && m_s[m_i] != quote) {
            char16_t c = m_s[m_i++];
            if (c == u'\n' || c == u'\r') return false;
            if (c != u'\\') {
                value += c;
                continue;
            }
            if (m_i >= m_s.size()) return false;
            char16_t e = m_s[m_i++];
            switch (e) {
                case u'n': value += u'\n'; break;
                case u'r': value += u'\r'; break;
                case u't': value += u'\t'; break;
                case u'b': value += u'\b'; break;
                case u'f': value += u'\f'; break;
                case u'v': value += u'\v'; break;
                case u'0': value += u'\0'; break;
                case u'x': case u'u': {
                    int digits = e == u'x' ? 2 : 4, v = 0;
                    for (int k = 0; k < digits; ++k) {
                        int h = m_i < m_s.size() ? HexValue(m_s[m_i++]) : -1;
                        if (h < 0) return false;
                        v = v * 16 + h;
                    }
                    value += static_cast<char16_t>(v);
                    break;
                }
                default: value += e; break;
            }
        }
        if (m_i >= m_s.size()) return false;
        ++m_i;
        json += JsonString(value);
        return true;
    }

    /// A decimal number as JSON writes it (JavaScript's other spellings go to /eval).
    bool Number(std::string& json) {
        size_t start = m_i;
        auto digit = [this] { return m_i < m_s.size() && m_s[m_i] >= u'0' && m_s[m_i] <= u'9'; };
        if (m_i < m_s.size() && m_s[m_i] == u'-') ++m_i;
        if (!digit()) return false;
        if (m_s[m_i] == u'0') ++m_i;
        else while (digit()) ++m_i;
        if (m_i < m_s.size() && m_s[m_i] == u'.') {
            ++m_i;
            if (!digit()) return false;
            while (digit()) ++m_i;
        }
        if (m_i < m_s.size() && (m_s[m_i] == u'e' || m_s[m_i] == u'E')) {
            ++m_i;
            if (m_i < m_s.size() && (m_s[m_i] == u'+' || m_s[m_i] == u'-')) ++m_i;
            if (!digit()) return false;
            while (digit()) ++m_i;
        }
        if (m_i < m_s.size() && IdentifierPart(m_s[m_i])) return false;
        for (size_t k = start; k < m_i; ++k) json += static_cast<char>(m_s[k]);
        return true;
    }

    std::u16string_view m_s;
    size_t m_i = 0;
};

std::u16string_view Trimmed(std::u16string_view s) {
    while (!s.empty() && (Blank(s.front()) || s.front() == u';')) s.remove_prefix(1);
    while (!s.empty() && (Blank(s.back()) || s.back() == u';')) s.remove_suffix(1);
    return s;
}

std::string Lit(LiteralSyntax syntax, std::u16string_view text) { return StringLiteral(syntax, text); }
std::string Lit(LiteralSyntax syntax, const std::string& ascii) {
    return StringLiteral(syntax, std::u16string(ascii.begin(), ascii.end()));
}

const char* kHeader = "青柚JS调试工具生成的调用代码";
const char* kServiceNote = "调用本地服务（先运行 qingyou-js serve 脚本.js，或在工作台中选 工具 → 作为本地服务运行）";

std::string PythonRequests(const std::u16string_view address, const ServiceRequest& r) {
    const auto py = LiteralSyntax::Python;
    return std::string("# ") + kHeader + "：Python + requests，" + kServiceNote +
           "\nimport requests\n\nSERVICE = " + Lit(py, address) +
           "\nHEADERS = {\"Content-Type\": \"application/json\"}\n"
           "# 服务设了令牌时：HEADERS[\"Authorization\"] = \"Bearer 令牌\"\n"
           "session = requests.Session()  # 连接保持打开，连续调用更快\n\n\n"
           "def call_service(path, body):\n"
           "    answer = session.post(SERVICE + path, data=body.encode(\"utf-8\"), headers=HEADERS, timeout=30).json()\n"
           "    if \"error\" in answer:\n"
           "        e = answer[\"error\"]\n"
           "        raise RuntimeError(\"%s（错误号 %s，第 %s 行）\" % (e[\"description\"], e[\"number\"], e[\"line\"]))\n"
           "    return answer[\"result\"]\n\n\n"
           "print(call_service(" + Lit(py, r.path) + ", " + Lit(py, r.body) + "))\n";
}

std::string PythonStandard(const std::u16string_view address, const ServiceRequest& r) {
    const auto py = LiteralSyntax::Python;
    return std::string("# ") + kHeader + "：Python 标准库（urllib），" + kServiceNote +
           "\nimport json\nimport urllib.error\nimport urllib.request\n\nSERVICE = " + Lit(py, address) +
           "\nHEADERS = {\"Content-Type\": \"application/json\"}\n"
           "# 服务设了令牌时：HEADERS[\"Authorization\"] = \"Bearer 令牌\"\n\n\n"
           "def call_service(path, body):\n"
           "    request = urllib.request.Request(SERVICE + path, data=body.encode(\"utf-8\"), headers=HEADERS, method=\"POST\")\n"
           "    try:\n"
           "        with urllib.request.urlopen(request, timeout=30) as response:\n"
           "            answer = json.load(response)\n"
           "    except urllib.error.HTTPError as failure:  # 400、422 等也带着 JSON 的错误说明\n"
           "        answer = json.load(failure)\n"
           "    if \"error\" in answer:\n"
           "        e = answer[\"error\"]\n"
           "        raise RuntimeError(\"%s（错误号 %s，第 %s 行）\" % (e[\"description\"], e[\"number\"], e[\"line\"]))\n"
           "    return answer[\"result\"]\n\n\n"
           "print(call_service(" + Lit(py, r.path) + ", " + Lit(py, r.body) + "))\n";
}

std::string NodeFetch(const std::u16string_view address, const ServiceRequest& r) {
    const auto js = LiteralSyntax::JavaScript;
    return std::string("// ") + kHeader + "：Node.js 18 起自带的 fetch，" + kServiceNote +
           "\nconst SERVICE = " + Lit(js, address) +
           ";\nconst headers = { \"Content-Type\": \"application/json\" };\n"
           "// 服务设了令牌时：headers.Authorization = \"Bearer 令牌\";\n\n"
           "async function callService(path, body) {\n"
           "    const answer = await (await fetch(SERVICE + path, { method: \"POST\", headers, body })).json();\n"
           "    if (answer.error) {\n"
           "        const e = answer.error;\n"
           "        throw new Error(`${e.description}（错误号 ${e.number}，第 ${e.line} 行）`);\n"
           "    }\n"
           "    return answer.result;\n"
           "}\n\n"
           "callService(" + Lit(js, r.path) + ", " + Lit(js, r.body) + ").then(console.log);\n";
}

std::string Go(const std::u16string_view address, const ServiceRequest& r) {
    const auto go = LiteralSyntax::Go;
    return std::string("// ") + kHeader + "：Go 标准库（net/http），" + kServiceNote +
           "\npackage main\n\nimport (\n\t\"encoding/json\"\n\t\"fmt\"\n\t\"net/http\"\n\t\"strings\"\n\t\"time\"\n)\n\n"
           "const service = " + Lit(go, address) + "\n\n"
           "var client = &http.Client{Timeout: 30 * time.Second} // 连接保持打开，连续调用更快\n\n"
           "func callService(path, body string) (any, error) {\n"
           "\trequest, err := http.NewRequest(\"POST\", service+path, strings.NewReader(body))\n"
           "\tif err != nil {\n\t\treturn nil, err\n\t}\n"
           "\trequest.Header.Set(\"Content-Type\", \"application/json\")\n"
           "\t// 服务设了令牌时：request.Header.Set(\"Authorization\", \"Bearer 令牌\")\n"
           "\tresponse, err := client.Do(request)\n"
           "\tif err != nil {\n\t\treturn nil, err\n\t}\n"
           "\tdefer response.Body.Close()\n"
           "\tvar answer struct {\n\t\tResult any `json:\"result\"`\n\t\tError  *struct {\n"
           "\t\t\tNumber      int    `json:\"number\"`\n\t\t\tDescription string `json:\"description\"`\n"
           "\t\t\tLine        int    `json:\"line\"`\n\t\t} `json:\"error\"`\n\t}\n"
           "\tif err := json.NewDecoder(response.Body).Decode(&answer); err != nil {\n\t\treturn nil, err\n\t}\n"
           "\tif answer.Error != nil {\n"
           "\t\treturn nil, fmt.Errorf(\"%s（错误号 %d，第 %d 行）\", answer.Error.Description, answer.Error.Number, answer.Error.Line)\n"
           "\t}\n\treturn answer.Result, nil\n}\n\n"
           "func main() {\n"
           "\tresult, err := callService(" + Lit(go, r.path) + ", " + Lit(go, r.body) + ")\n"
           "\tif err != nil {\n\t\tpanic(err)\n\t}\n\tfmt.Println(result)\n}\n";
}

std::string Java(const std::u16string_view address, const ServiceRequest& r) {
    const auto java = LiteralSyntax::Java;
    return std::string("// ") + kHeader + "：Java 11 起自带的 java.net.http，" + kServiceNote +
           "\n// Java 标准库没有 JSON 解析：这里打印整个回答 {\"result\": …, \"type\": …}，可交给 Jackson、Gson 等读取\n"
           "import java.net.URI;\nimport java.net.http.HttpClient;\nimport java.net.http.HttpRequest;\n"
           "import java.net.http.HttpResponse;\nimport java.nio.charset.StandardCharsets;\nimport java.time.Duration;\n\n"
           "public class ServiceCaller {\n"
           "    static final String SERVICE = " + Lit(java, address) + ";\n"
           "    static final HttpClient CLIENT = HttpClient.newHttpClient(); // 连接保持打开，连续调用更快\n\n"
           "    static String callService(String path, String body) throws Exception {\n"
           "        HttpRequest request = HttpRequest.newBuilder(URI.create(SERVICE + path))\n"
           "                .timeout(Duration.ofSeconds(30))\n"
           "                .header(\"Content-Type\", \"application/json\")\n"
           "                // 服务设了令牌时：.header(\"Authorization\", \"Bearer 令牌\")\n"
           "                .POST(HttpRequest.BodyPublishers.ofString(body, StandardCharsets.UTF_8))\n"
           "                .build();\n"
           "        HttpResponse<String> response = CLIENT.send(request, HttpResponse.BodyHandlers.ofString(StandardCharsets.UTF_8));\n"
           "        if (response.statusCode() != 200) {\n"
           "            throw new IllegalStateException(response.body());\n"
           "        }\n"
           "        return response.body();\n"
           "    }\n\n"
           "    public static void main(String[] args) throws Exception {\n"
           "        System.out.println(callService(" + Lit(java, r.path) + ", " + Lit(java, r.body) + "));\n"
           "    }\n}\n";
}

std::string CSharp(const std::u16string_view address, const ServiceRequest& r) {
    const auto cs = LiteralSyntax::CSharp;
    return std::string("// ") + kHeader + "：C#（.NET 6 起的 HttpClient 与 System.Text.Json），" + kServiceNote +
           "\nusing System;\nusing System.Net.Http;\nusing System.Text;\nusing System.Text.Json;\nusing System.Threading.Tasks;\n\n"
           "class ServiceCaller\n{\n"
           "    const string Service = " + Lit(cs, address) + ";\n"
           "    static readonly HttpClient Client = new HttpClient { Timeout = TimeSpan.FromSeconds(30) }; // 连接保持打开\n\n"
           "    static async Task<JsonElement> CallService(string path, string body)\n    {\n"
           "        // 服务设了令牌时：Client.DefaultRequestHeaders.Authorization = new System.Net.Http.Headers.AuthenticationHeaderValue(\"Bearer\", \"令牌\");\n"
           "        var response = await Client.PostAsync(Service + path, new StringContent(body, Encoding.UTF8, \"application/json\"));\n"
           "        using var answer = JsonDocument.Parse(await response.Content.ReadAsStringAsync());\n"
           "        if (answer.RootElement.TryGetProperty(\"error\", out var e))\n"
           "            throw new InvalidOperationException($\"{e.GetProperty(\"description\")}（错误号 {e.GetProperty(\"number\")}，第 {e.GetProperty(\"line\")} 行）\");\n"
           "        return answer.RootElement.GetProperty(\"result\").Clone();\n    }\n\n"
           "    static async Task Main()\n    {\n"
           "        Console.WriteLine(await CallService(" + Lit(cs, r.path) + ", " + Lit(cs, r.body) + "));\n"
           "    }\n}\n";
}

/// 易语言 text constants sit between “ and ”; the request body is plain ASCII, so only
/// a closing quote would need care, and it never occurs in JSON.
std::string EasyLanguage(const std::u16string_view address, const ServiceRequest& r) {
    std::string url;
    for (char16_t c : address) url += c < 0x80 ? static_cast<char>(c) : '?';
    return std::string(".版本 2\n\n.子程序 调用本地服务, 文本型, , ") + kHeader + "：" + kServiceNote +
           "。返回服务的 JSON 回答，如 {\"result\": …, \"type\": \"文本型\"}\n"
           ".局部变量 http, 对象\n\n"
           "http.创建 (“WinHttp.WinHttpRequest.5.1”, )\n"
           "http.方法 (“Open”, “POST”, “" + url + r.path + "”, 假)\n"
           "http.方法 (“SetRequestHeader”, “Content-Type”, “application/json; charset=utf-8”)\n"
           "' 服务设了令牌时：http.方法 (“SetRequestHeader”, “Authorization”, “Bearer 令牌”)\n"
           "http.方法 (“Send”, “" + r.body + "”)\n"
           "返回 (http.读文本属性 (“ResponseText”, ))\n";
}

}  // namespace

const std::vector<ServiceLanguageInfo>& ServiceLanguages() {
    static const std::vector<ServiceLanguageInfo> languages = {
        {ServiceLanguage::PythonRequests, "service-python-requests", "Python (requests)"},
        {ServiceLanguage::PythonStandard, "service-python", "Python (标准库 urllib)"},
        {ServiceLanguage::NodeFetch, "service-node", "Node (fetch)"},
        {ServiceLanguage::Go, "service-go", "Go (net/http)"},
        {ServiceLanguage::Java, "service-java", "Java (java.net.http)"},
        {ServiceLanguage::CSharp, "service-csharp", "C# (HttpClient)"},
        {ServiceLanguage::EasyLanguage, "service-e", "易语言 (WinHttp)"},
    };
    return languages;
}

ServiceRequest ServiceRequestFor(std::u16string_view expression) {
    std::u16string_view e = Trimmed(expression);
    size_t i = 0;
    // name(.name)* ( literal, … )
    while (i < e.size()) {
        if (!IdentifierStart(e[i])) break;
        while (i < e.size() && IdentifierPart(e[i])) ++i;
        if (i < e.size() && e[i] == u'.') {
            ++i;
            continue;
        }
        break;
    }
    size_t nameEnd = i;
    while (i < e.size() && Blank(e[i])) ++i;
    if (nameEnd > 0 && e[nameEnd - 1] != u'.' && i < e.size() && e[i] == u'(' && e.back() == u')') {
        std::string args;
        if (Arguments(e.substr(i + 1, e.size() - i - 2)).Read(args))
            return {"/call", "{\"function\":" + JsonString(e.substr(0, nameEnd)) + ",\"args\":" + args + "]}"};
    }
    return {"/eval", "{\"expr\":" + JsonString(e) + "}"};
}

std::string ServiceCallerProgram(ServiceLanguage language, std::u16string_view address, std::u16string_view expression) {
    ServiceRequest r = ServiceRequestFor(expression);
    switch (language) {
        case ServiceLanguage::PythonRequests: return PythonRequests(address, r);
        case ServiceLanguage::PythonStandard: return PythonStandard(address, r);
        case ServiceLanguage::NodeFetch: return NodeFetch(address, r);
        case ServiceLanguage::Go: return Go(address, r);
        case ServiceLanguage::Java: return Java(address, r);
        case ServiceLanguage::CSharp: return CSharp(address, r);
        case ServiceLanguage::EasyLanguage: return EasyLanguage(address, r);
    }
    return {};
}

}  // namespace qy::transform
