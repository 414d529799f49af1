#include "net/HttpGet.h"

#include <cctype>
#include <string_view>

#include <curl/curl.h>

#include <memory>

namespace qy::net {
namespace {

struct CurlEasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct CurlListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

struct Transfer {
    std::string body;
    size_t received = 0;  ///< decoded bytes, the ones after a zero byte included
    bool sawZero = false;
    bool tooLarge = false;
    bool cancelled = false;
    const HttpControl* control = nullptr;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    size_t n = size * count;
    // The limit counts what arrives, not what is kept: a compressed reply that unpacks
    // into endless zeros (a "bomb") ends at the limit instead of being read for ever.
    t->received += n;
    if (t->received > kMaxBodyBytes) {
        t->tooLarge = true;
        return 0;  // ends the transfer
    }
    if (t->sawZero) return n;
    std::string_view chunk(data, n);
    size_t zero = chunk.find('\0');
    if (zero != std::string_view::npos) {
        chunk = chunk.substr(0, zero);
        t->sawZero = true;  // the text ends here; the rest is read and dropped
    }
    t->body.append(chunk);
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->control->pump) t->control->pump();
    if (t->control->cancelled && t->control->cancelled()) {
        t->cancelled = true;
        return 1;  // ends the transfer
    }
    return 0;
}

/// The reason a transfer failed, as the user reads it.
std::string ChineseReason(CURLcode code) {
    switch (code) {
        case CURLE_OPERATION_TIMEDOUT: return "连接超时";
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return "无法解析主机";
        case CURLE_COULDNT_CONNECT: return "连接被拒绝";
        case CURLE_UNSUPPORTED_PROTOCOL: return "不支持的协议（只能使用 http 或 https）";
        case CURLE_URL_MALFORMAT: return "地址格式不正确";
        case CURLE_TOO_MANY_REDIRECTS: return "重定向次数过多";
        case CURLE_BAD_CONTENT_ENCODING: return "无法解码压缩的内容";
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION: return "安全连接失败";
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
        case CURLE_PARTIAL_FILE: return "连接中断";
        default: return "网络错误";
    }
}

/// Keeps the Set-Cookie headers: a page's cookies seed the browser environment's jar.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    size_t n = size * count;
    std::string_view line(data, n);
    constexpr std::string_view kName = "set-cookie:";
    if (line.size() > kName.size()) {
        bool match = true;
        for (size_t i = 0; i < kName.size() && match; ++i)
            match = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i]))) == kName[i];
        if (match) {
            std::string_view value = line.substr(kName.size());
            while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
            while (!value.empty() && (value.back() == '\r' || value.back() == '\n' || value.back() == ' ')) value.remove_suffix(1);
            static_cast<HttpResult*>(user)->setCookies.emplace_back(value);
        }
    }
    return n;
}

void GlobalInitOnce() {
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    (void)done;
}

}  // namespace

HttpResult HttpGet(const std::string& address, const std::function<void()>& pump) {
    HttpControl control;
    control.pump = pump;
    return HttpGet(address, control);
}

HttpResult HttpGet(const std::string& address, const HttpControl& control) {
    HttpResult result;
    GlobalInitOnce();
    CurlEasy curl(curl_easy_init());
    if (!curl || address.empty()) {
        result.error = "no address";
        result.reason = "地址为空";
        return result;
    }
    Transfer transfer;
    transfer.control = &control;
    CurlList headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, control.userAgent.empty() ? address.c_str() : control.userAgent.c_str());
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 20L);
    // A typed file:// address or a redirect to ftp:// must not reach anything but the web.
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // Every encoding the library can decode is offered and decoded.
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, control.deadlineMilliseconds);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kStallTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &result);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    CURLcode code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
    char* contentType = nullptr;
    if (curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
        result.contentType = contentType;
    if (transfer.tooLarge) {
        result.error = "reply larger than 64 MiB";
        result.reason = transfer.body.empty() && transfer.sawZero ? "回应解压后超过 64 MiB，且全是零字节，不是文本"
                                                                  : "回应超过 64 MiB";
    } else if (transfer.cancelled) {
        result.error = "cancelled";
        result.reason = "已取消";
        result.cancelled = true;
    } else if (code != CURLE_OK) {
        result.error = curl_easy_strerror(code);
        result.reason = ChineseReason(code);
    } else if (result.status >= 400) {
        result.error = "HTTP " + std::to_string(result.status);
        result.reason = result.error;
    } else {
        result.ok = true;
        result.droppedBytes = transfer.received - transfer.body.size();
        result.body = std::move(transfer.body);
    }
    return result;
}

std::string HttpGetText(const std::string& address, const std::function<void()>& pump) {
    HttpResult r = HttpGet(address, pump);
    return r.ok ? r.body : std::string();
}

}  // namespace qy::net
