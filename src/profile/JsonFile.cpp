#include "profile/JsonFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <fstream>

#include <json/reader.h>
#include <json/writer.h>

#include "platform/Trace.h"

namespace q208 {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxIdentifierBytes = 200;
constexpr mode_t kNewFileMode = 0644;

// Owns the descriptor and the name of the temporary file until it has been renamed.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& target) {
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::string name = (folder / ("." + target.filename().string() + ".tmp-XXXXXX")).string();
        fd_ = mkstemp(name.data());
        if (fd_ >= 0) name_ = name;
    }
    ~TemporaryFile() {
        if (fd_ >= 0) close(fd_);
        if (!name_.empty()) unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Name() const { return name_; }

    bool WriteAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }

    // Flushes and closes; the file keeps the mode the target had (new files: 0644).
    bool Finish(const fs::path& target) {
        struct stat st {};
        const mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : kNewFileMode;
        const bool ok = fchmod(fd_, mode) == 0 && fsync(fd_) == 0;
        const bool closed = close(fd_) == 0;
        fd_ = -1;
        return ok && closed;
    }

    bool RenameOver(const fs::path& target) {
        if (rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    int fd_ = -1;
    std::string name_;
};

}  // namespace

std::string readjsonFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kMaxJsonFileBytes) {
        Trace("readjsonFile: %s refused (%ju bytes)", path.c_str(), ec ? std::uintmax_t{0} : size);
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(size)) || in.gcount() != static_cast<std::streamsize>(size)) {
        Trace("readjsonFile 错误吗：：%d (%s)", errno, path.c_str());
        return {};
    }
    return text;
}

Json::Value ParseJsonText(std::string_view text) {
    Json::Value value;
    try {
        Json::Reader reader;
        if (!reader.parse(text.data(), text.data() + text.size(), value, true)) return Json::Value();
    } catch (const std::exception& e) {
        // The parser throws on nesting deeper than its stack limit.
        Trace("json parse refused: %s", e.what());
        return Json::Value();
    }
    return value;
}

Json::Value ReadJsonValue(const fs::path& path) {
    const std::string text = readjsonFile(path);
    if (text.empty()) {
        Trace("ReadJsonValue: no text in %s", path.c_str());
        return Json::Value();
    }
    Json::Value value = ParseJsonText(text);
    if (value.isNull()) Trace("ReadJsonValue: %s is not valid JSON", path.c_str());
    return value;
}

std::string StyledJsonText(const Json::Value& document) {
    std::string text = Json::StyledWriter().write(document);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    text += '\n';
    return text;
}

int WriteJsonFile(const Json::Value& document, const fs::path& path) {
    const std::string text = StyledJsonText(document);
    TemporaryFile temp(path);
    if (!temp.IsOpen()) {
        Trace("WriteJsonFile: cannot create a temporary file beside %s: %s", path.c_str(), std::strerror(errno));
        return -1;
    }
    if (!temp.WriteAll(text) || !temp.Finish(path) || !temp.RenameOver(path)) {
        Trace("WriteJsonFile: %s not written: %s", path.c_str(), std::strerror(errno));
        return -1;
    }
    return 0;
}

std::filesystem::path SetFileAside(const std::filesystem::path& path) {
    constexpr int kMaxCopies = 100;
    for (int n = 1; n <= kMaxCopies; ++n) {
        std::filesystem::path aside = path;
        aside += n == 1 ? std::string(".bad") : ".bad." + std::to_string(n);
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(aside, error))) continue;
        // No replace: a name that appeared meanwhile is not overwritten either.
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        return aside;
    }
    return {};
}

std::string MakeTimeStampName() {
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local {};
    localtime_r(&now.tv_sec, &local);
    char name[64];
    std::snprintf(name, sizeof name, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_nsec / 1000000));
    return name;
}

bool IsPlainIdentifier(std::string_view identifier) {
    return !identifier.empty() && identifier.size() <= kMaxIdentifierBytes &&
           identifier.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
           identifier.find("..") == std::string_view::npos;
}

}  // namespace q208
