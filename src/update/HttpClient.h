#pragma once

#include <atomic>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace q208 {

class Event;

// A named proxy for requests made with the proxy flag; empty name: none. Without it the
// desktop's proxy settings apply (http_proxy, https_proxy, all_proxy, no_proxy).
struct HttpProxy {
    std::string name;
    std::string user;
    std::string password;
};

struct HttpOptions {
    // PEM file of the authorities to trust instead of the system's store (a private CA).
    std::string caFile;
    HttpProxy proxy;
    // The transfer ends as soon as this is set (the caller is shutting down).
    const Event* stop = nullptr;
    long connectTimeoutMs = 60000;
    // Sending and receiving each give up after this long without progress.
    long stallTimeoutMs = 30000;
};

// What came back. The text never exceeds kMaxAnswerBytes; a longer answer is cut there
// and marked truncated, so that nobody reads it as a complete document.
struct HttpAnswer {
    static constexpr size_t kBufferSize = 102400;
    static constexpr size_t kMaxAnswerBytes = kBufferSize - 1;
    // The text left in the answer when the request never reached the server.
    static constexpr const char* kNoLinkServer = "NO_LINK_SERVER";

    std::string text;
    bool truncated = false;
    bool sent = false;  // the server received the request and answered
    long httpStatus = 0;
};

// One synchronous HTTP request over libcurl. Only http and https are spoken, redirects
// included (and an https request is never redirected to plain http); certificates and
// host names are always verified. Every failure is traced with its reason.
class HttpClient {
public:
    // Error numbers kept in LastError(), as the service routine has always reported them.
    static constexpr int kErrorNone = 0;
    static constexpr int kErrorPathNotFound = 3;   // empty URL
    static constexpr int kErrorInvalidParameter = 87;  // method other than GET or POST
    static constexpr int kErrorTimeout = 12002;
    static constexpr int kErrorInternal = 12004;
    static constexpr int kErrorInvalidUrl = 12005;
    static constexpr int kErrorUnrecognizedScheme = 12006;
    static constexpr int kErrorNameNotResolved = 12007;
    static constexpr int kErrorCancelled = 12017;
    static constexpr int kErrorCannotConnect = 12029;
    static constexpr int kErrorConnectionAborted = 12030;
    static constexpr int kErrorInvalidServerResponse = 12152;
    static constexpr int kErrorRedirectFailed = 12156;
    static constexpr int kErrorSecureFailure = 12175;

    static constexpr const char* kUserAgent = "WinHTTP Client/1.0";
    static constexpr const char* kContentType = "Content-Type: application/x-www-form-urlencoded";
    static constexpr const char* kAccept = "Accept:application/prs.Qelin.v1+json";

    // `method` "GET" or "POST" in any letter case. Returns the number of answer bytes in
    // `answer.text`; 0 when nothing came back, and then, when the request never got an
    // answer, the text is "NO_LINK_SERVER".
    static size_t Request(std::string_view method, const std::string& url, std::span<const char> body,
                          HttpAnswer& answer, bool useProxy, const HttpOptions& options = {});

    // The error of the last failing request of this process (0 after a success).
    static int LastError() { return lastError_.load(); }

    // True for a URL this client will fetch: http:// or https:// with a host.
    static bool IsWebUrl(std::string_view url);

private:
    static std::atomic<int> lastError_;
};

}  // namespace q208
