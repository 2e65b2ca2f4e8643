#pragma once

// A local update service for tests: tests/support/update_server.py on 127.0.0.1 with a
// port of the system's choosing, over TLS with certificates made at test time by openssl.
// It records every request it received, so that a test can check the exact bytes.

#include <json/reader.h>
#include <json/writer.h>
#include <json/value.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Paths.h"

extern char** environ;

namespace q208::test {

// The test authorities and server certificates, made once per folder.
struct TestCertificates {
    std::filesystem::path caFile;         // the authority a client is given
    std::filesystem::path serverCert;     // 127.0.0.1 and localhost, signed by caFile
    std::filesystem::path serverKey;
    std::filesystem::path strangerCert;   // 127.0.0.1, signed by an authority nobody knows
    std::filesystem::path strangerKey;
    std::filesystem::path wrongNameCert;  // signed by caFile, but for another host name
    std::filesystem::path wrongNameKey;

    // False when openssl failed (the reason is on stderr).
    static bool Make(const std::filesystem::path& folder, TestCertificates& out) {
        namespace fs = std::filesystem;
        fs::create_directories(folder);
        const auto at = [&](const char* name) { return (folder / name).string(); };
        const auto run = [](const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; };
        const std::string newKey = "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes ";
        const auto makeCa = [&](const char* name, const char* subject) {
            return run(newKey + "-x509 -days 2 -keyout " + at(name) + ".key -out " + at(name) + ".pem -subj '/CN=" +
                       subject + "'");
        };
        const auto makeServer = [&](const char* name, const char* ca, const char* altNames, int serial) {
            std::ofstream(at(name) + ".ext") << "subjectAltName=" << altNames
                                             << "\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n";
            return run(newKey + "-keyout " + at(name) + ".key -out " + at(name) + ".csr -subj '/CN=" + name + "'") &&
                   run("openssl x509 -req -days 2 -in " + at(name) + ".csr -CA " + at(ca) + ".pem -CAkey " + at(ca) +
                       ".key -set_serial " + std::to_string(serial) + " -extfile " + at(name) + ".ext -out " +
                       at(name) + ".pem");
        };
        if (!makeCa("ca", "Q208 Test Authority") || !makeCa("stranger-ca", "Unknown Test Authority") ||
            !makeServer("server", "ca", "IP:127.0.0.1,DNS:localhost", 11) ||
            !makeServer("stranger", "stranger-ca", "IP:127.0.0.1,DNS:localhost", 12) ||
            !makeServer("wrong-name", "ca", "DNS:updates.other.invalid", 13)) {
            return false;
        }
        out.caFile = folder / "ca.pem";
        out.serverCert = folder / "server.pem";
        out.serverKey = folder / "server.key";
        out.strangerCert = folder / "stranger.pem";
        out.strangerKey = folder / "stranger.key";
        out.wrongNameCert = folder / "wrong-name.pem";
        out.wrongNameKey = folder / "wrong-name.key";
        return true;
    }
};

// One request as the server received it.
struct ReceivedRequest {
    std::string method;
    std::string path;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;  // the exact bytes

    std::string Header(const std::string& name) const {
        for (const auto& [key, value] : headers) {
            if (key.size() == name.size() &&
                std::equal(key.begin(), key.end(), name.begin(),
                           [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
                return value;
            }
        }
        return "\x01missing";
    }
};

class LocalUpdateServer {
public:
    // `folder` holds the port file, the request log and the answers.
    explicit LocalUpdateServer(std::filesystem::path folder) : folder_(std::move(folder)) {
        std::filesystem::create_directories(folder_);
        SetAnswers("{}");
    }
    ~LocalUpdateServer() { Stop(); }
    LocalUpdateServer(const LocalUpdateServer&) = delete;
    LocalUpdateServer& operator=(const LocalUpdateServer&) = delete;

    // Beside this file in the source tree the program was built from.
    static std::filesystem::path Script() {
        return FindDataRoot().skin.parent_path() / "tests" / "support" / "update_server.py";
    }

    // Plain http when `cert` is empty. False when it did not start listening.
    bool Start(const std::filesystem::path& cert = {}, const std::filesystem::path& key = {}) {
        Stop();
        const auto portFile = folder_ / "port";
        std::filesystem::remove(portFile);
        std::vector<std::string> argv = {"/usr/bin/python3",     Script().string(),       "--port-file",
                                         portFile.string(),      "--log",                 Log().string(),
                                         "--answers",            Answers().string()};
        if (!cert.empty()) argv.insert(argv.end(), {"--cert", cert.string(), "--key", key.string()});
        std::vector<char*> args;
        for (std::string& arg : argv) args.push_back(arg.data());
        args.push_back(nullptr);
        if (::posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0) return false;
        secure_ = !cert.empty();
        for (int i = 0; i < 200 && port_ == 0; ++i) {
            std::ifstream in(portFile);
            if (!(in >> port_)) port_ = 0;
            if (port_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return port_ != 0;
    }

    void Stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        pid_ = 0;
        port_ = 0;
    }

    int Port() const { return port_; }
    // The service's base URL, as "UpdateService" takes it.
    std::string BaseUrl(const std::string& host = "127.0.0.1") const {
        return std::string(secure_ ? "https://" : "http://") + host + ":" + std::to_string(port_) + "/api/";
    }

    // A JSON object: app_key (or "*") -> {"status", "body", "repeat", "location"}.
    void SetAnswers(const std::string& json) const { std::ofstream(Answers()) << json; }
    // The same JSON answer for every key.
    void AnswerAll(const std::string& body, int status = 200) const {
        Json::Value answers;
        answers["*"]["status"] = status;
        answers["*"]["body"] = body;
        SetAnswers(Json::writeString(Json::StreamWriterBuilder(), answers));
    }

    std::vector<ReceivedRequest> Requests() const {
        std::vector<ReceivedRequest> requests;
        std::ifstream in(Log());
        std::string line;
        while (std::getline(in, line)) {
            Json::Value record;
            std::istringstream stream(line);
            if (!Json::parseFromStream(Json::CharReaderBuilder(), stream, &record, nullptr)) continue;
            ReceivedRequest request;
            request.method = record["method"].asString();
            request.path = record["path"].asString();
            for (const Json::Value& header : record["headers"]) {
                request.headers.emplace_back(header[0].asString(), header[1].asString());
            }
            const std::string hex = record["body"].asString();
            for (size_t i = 0; i + 1 < hex.size(); i += 2) {
                request.body.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
            }
            requests.push_back(std::move(request));
        }
        return requests;
    }

private:
    std::filesystem::path Log() const { return folder_ / "requests.log"; }
    std::filesystem::path Answers() const { return folder_ / "answers.json"; }

    std::filesystem::path folder_;
    pid_t pid_ = 0;
    int port_ = 0;
    bool secure_ = false;
};

}  // namespace q208::test
