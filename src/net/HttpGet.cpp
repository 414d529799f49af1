#include "net/HttpGet.h"

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
    bool sawZero = false;
    bool tooLarge = false;
    const std::function<void()>* pump = nullptr;
};

size_t OnData(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    size_t n = size * count;
    if (t->sawZero) return n;
    std::string_view chunk(data, n);
    size_t zero = chunk.find('\0');
    if (zero != std::string_view::npos) {
        chunk = chunk.substr(0, zero);
        t->sawZero = true;  // the text ends here; the rest is read and dropped
    }
    if (t->body.size() + chunk.size() > kMaxBodyBytes) {
        t->tooLarge = true;
        return 0;  // ends the transfer
    }
    t->body.append(chunk);
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->pump && *t->pump) (*t->pump)();
    return 0;
}

void GlobalInitOnce() {
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    (void)done;
}

}  // namespace

HttpResult HttpGet(const std::string& address, const std::function<void()>& pump) {
    HttpResult result;
    GlobalInitOnce();
    CurlEasy curl(curl_easy_init());
    if (!curl || address.empty()) {
        result.error = "no address";
        return result;
    }
    Transfer transfer;
    transfer.pump = &pump;
    CurlList headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, address.c_str());
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    curl_easy_setopt(h, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kStallTimeoutSeconds);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    CURLcode code = curl_easy_perform(h);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &result.status);
    if (transfer.tooLarge) {
        result.error = "reply larger than 64 MiB";
    } else if (code != CURLE_OK) {
        result.error = curl_easy_strerror(code);
    } else if (result.status >= 400) {
        result.error = "HTTP " + std::to_string(result.status);
    } else {
        result.ok = true;
        result.body = std::move(transfer.body);
    }
    return result;
}

std::string HttpGetText(const std::string& address, const std::function<void()>& pump) {
    HttpResult r = HttpGet(address, pump);
    return r.ok ? r.body : std::string();
}

}  // namespace qy::net
