#include "update/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>

#include "platform/Event.h"
#include "platform/Trace.h"

namespace q208 {

std::atomic<int> HttpClient::lastError_{0};

namespace {

constexpr long kMaxRedirects = 10;
constexpr int kPollSliceMs = 250;
constexpr const char* kWebProtocols = "http,https";
constexpr const char* kSecureProtocols = "https";

// How a libcurl failure is reported: the number kept as the last error.
struct CurlErrorRule {
    CURLcode code;
    int error;
};
constexpr CurlErrorRule kCurlErrors[] = {
    {CURLE_UNSUPPORTED_PROTOCOL, HttpClient::kErrorUnrecognizedScheme},
    {CURLE_URL_MALFORMAT, HttpClient::kErrorInvalidUrl},
    {CURLE_COULDNT_RESOLVE_PROXY, HttpClient::kErrorNameNotResolved},
    {CURLE_COULDNT_RESOLVE_HOST, HttpClient::kErrorNameNotResolved},
    {CURLE_COULDNT_CONNECT, HttpClient::kErrorCannotConnect},
    {CURLE_OPERATION_TIMEDOUT, HttpClient::kErrorTimeout},
    {CURLE_ABORTED_BY_CALLBACK, HttpClient::kErrorCancelled},
    {CURLE_TOO_MANY_REDIRECTS, HttpClient::kErrorRedirectFailed},
    {CURLE_PEER_FAILED_VERIFICATION, HttpClient::kErrorSecureFailure},
    {CURLE_SSL_CONNECT_ERROR, HttpClient::kErrorSecureFailure},
    {CURLE_SSL_CACERT_BADFILE, HttpClient::kErrorSecureFailure},
    {CURLE_SSL_CERTPROBLEM, HttpClient::kErrorSecureFailure},
    {CURLE_SEND_ERROR, HttpClient::kErrorConnectionAborted},
    {CURLE_RECV_ERROR, HttpClient::kErrorConnectionAborted},
    {CURLE_GOT_NOTHING, HttpClient::kErrorInvalidServerResponse},
    {CURLE_WEIRD_SERVER_REPLY, HttpClient::kErrorInvalidServerResponse},
};

int ErrorOf(CURLcode code) {
    for (const CurlErrorRule& rule : kCurlErrors) {
        if (rule.code == code) return rule.error;
    }
    return HttpClient::kErrorInternal;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// Appends what fits; a longer answer is cut at the bound and the transfer ends there.
size_t Collect(char* data, size_t size, size_t count, void* user) {
    auto& answer = *static_cast<HttpAnswer*>(user);
    const size_t bytes = size * count;
    const size_t room = HttpAnswer::kMaxAnswerBytes - answer.text.size();
    if (bytes > room) {
        answer.text.append(data, room);
        answer.truncated = true;
        return 0;
    }
    answer.text.append(data, bytes);
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* stop = static_cast<const Event*>(user);
    return stop && stop->IsSet() ? 1 : 0;
}

// Runs the transfer on a multi handle so that the stop event wakes it at once.
CURLcode Perform(CURL* easy, const Event* stop) {
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) return CURLE_OUT_OF_MEMORY;
    CURLcode result = CURLE_OK;
    bool done = false;
    while (!done) {
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                result = message->data.result;
                done = true;
            }
        }
        if (done) break;
        if (stop && stop->IsSet()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        curl_waitfd extra{};
        extra.fd = stop ? stop->Fd() : -1;
        extra.events = CURL_WAIT_POLLIN;
        curl_multi_poll(multi.get(), stop ? &extra : nullptr, stop ? 1u : 0u, kPollSliceMs, nullptr);
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

}  // namespace

bool HttpClient::IsWebUrl(std::string_view url) {
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (StartsWithNoCase(url, scheme)) {
            const std::string_view rest = url.substr(scheme.size());
            return !rest.empty() && rest.front() != '/' &&
                   rest.find_first_of(" \t\r\n") == std::string_view::npos;
        }
    }
    return false;
}

size_t HttpClient::Request(std::string_view method, const std::string& url, std::span<const char> body,
                           HttpAnswer& answer, bool useProxy, const HttpOptions& options) {
    answer = {};
    const bool post = EqualNoCase(method, "POST");
    if (!post && !EqualNoCase(method, "GET")) {
        Trace("http: method %.*s is not supported\n", static_cast<int>(method.size()), method.data());
        lastError_ = kErrorInvalidParameter;
        return 0;
    }
    if (url.empty()) {
        Trace("http: no URL\n");
        lastError_ = kErrorPathNotFound;
        answer.text = HttpAnswer::kNoLinkServer;
        return 0;
    }
    if (!IsWebUrl(url)) {
        Trace("http: %s is not an http or https URL; nothing sent\n", url.c_str());
        lastError_ = kErrorUnrecognizedScheme;
        answer.text = HttpAnswer::kNoLinkServer;
        return 0;
    }

    InitCurlOnce();
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        lastError_ = kErrorInternal;
        answer.text = HttpAnswer::kNoLinkServer;
        return 0;
    }
    CURL* h = easy.get();
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, kWebProtocols);
    // A secure request stays secure: its redirects may only lead to https.
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR,
                     StartsWithNoCase(url, "https://") ? kSecureProtocols : kWebProtocols);
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.caFile.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, options.caFile.c_str());
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, std::max(1L, options.stallTimeoutMs / 1000));
    if (useProxy && !options.proxy.name.empty()) {
        curl_easy_setopt(h, CURLOPT_PROXY, options.proxy.name.c_str());
        if (!options.proxy.user.empty()) {
            curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, options.proxy.user.c_str());
            curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, options.proxy.password.c_str());
        }
    }

    curl_slist* list = nullptr;
    for (const char* line : {kContentType, kAccept, "Expect:"}) {
        curl_slist* next = curl_slist_append(list, line);
        if (!next) {
            curl_slist_free_all(list);
            lastError_ = kErrorInternal;
            answer.text = HttpAnswer::kNoLinkServer;
            return 0;
        }
        list = next;
    }
    const std::unique_ptr<curl_slist, ListDeleter> headers(list);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    if (!body.empty()) {
        // The body goes as it is, byte count included (libcurl writes Content-Length).
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
        if (!post) curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "GET");
    } else if (post) {
        curl_easy_setopt(h, CURLOPT_POST, 1L);
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, 0L);
    } else {
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &answer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, const_cast<Event*>(options.stop));

    const CURLcode result = Perform(h, options.stop);
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer.httpStatus);
    const bool cut = result == CURLE_WRITE_ERROR && answer.truncated;
    if (result != CURLE_OK && !cut) {
        Trace("http: %s failed: %s (%s)\n", url.c_str(), curl_easy_strerror(result), errorText);
        lastError_ = ErrorOf(result);
        if (answer.text.empty()) {
            answer.text = HttpAnswer::kNoLinkServer;
            return 0;
        }
    } else {
        lastError_ = kErrorNone;
        if (cut) Trace("http: the answer of %s is longer than %zu bytes; it was cut\n", url.c_str(),
                       HttpAnswer::kMaxAnswerBytes);
    }
    answer.sent = true;
    return answer.text.size();
}

}  // namespace q208
