#include "profile/JsonFile.h"

#include "profile/FileNotices.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>
#include <mutex>
#include <utility>

#include <json/reader.h>
#include <json/writer.h>

#include "platform/Trace.h"

namespace q208 {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxIdentifierBytes = 200;
// New files, and files that replace a link or a special file, are the user's alone.
constexpr mode_t kNewFileMode = 0600;
constexpr std::string_view kTempMarker = ".tmp-";
constexpr std::size_t kTempSuffixLength = 6;  // mkstemp's XXXXXX
constexpr int kTempAttempts = 3;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A descriptor closed on every path out.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    int Release() { return std::exchange(fd_, -1); }
    void Reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

bool WriteAllTo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// A temporary file of ours: "." + target name + ".tmp-" + six characters.
bool IsTemporaryName(std::string_view name) {
    if (name.size() < 1 + kTempMarker.size() + kTempSuffixLength || name.front() != '.') return false;
    return name.substr(name.size() - kTempSuffixLength - kTempMarker.size(), kTempMarker.size()) == kTempMarker;
}

// A writer holds an exclusive lock on its temporary file until it has renamed it, and the
// lock goes with the process: a temporary file nobody holds was left by a writer that was
// killed, and goes.
void RemoveAbandonedTemporaries(const fs::path& folder) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return;
    const int dirFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!IsTemporaryName(entry->d_name)) continue;
        Descriptor fd(::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (!fd.IsOpen() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;  // a writer is at work
        if (::unlinkat(dirFd, entry->d_name, 0) == 0) Trace("removed %s, left by a writer that was stopped", entry->d_name);
    }
}

// Owns the descriptor and the name of the temporary file until it has been renamed.
class TemporaryFile {
public:
    explicit TemporaryFile(const fs::path& target) {
        const fs::path folder = FolderOf(target);
        RemoveAbandonedTemporaries(folder);
        for (int attempt = 0; attempt < kTempAttempts && !IsOpen(); ++attempt) Create(folder, target);
    }
    ~TemporaryFile() {
        fd_.Reset();
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return fd_.IsOpen(); }

    bool WriteAll(std::string_view bytes) { return WriteAllTo(fd_.Get(), bytes); }

    // Flushes and closes; the file takes the mode of the regular file it replaces.
    bool Finish(const fs::path& target) {
        struct stat st {};
        const mode_t mode =
            ::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? (st.st_mode & 07777) : kNewFileMode;
        const bool ok = ::fchmod(fd_.Get(), mode) == 0 && ::fsync(fd_.Get()) == 0;
        const bool closed = ::close(fd_.Release()) == 0;
        return ok && closed;
    }

    bool RenameOver(const fs::path& target) {
        if (::rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    void Create(const fs::path& folder, const fs::path& target) {
        std::string name = (folder / ("." + target.filename().string() + std::string(kTempMarker) + "XXXXXX")).string();
        Descriptor fd(::mkstemp(name.data()));
        if (!fd.IsOpen()) return;
        struct stat st {};
        // Locked, and still there: another writer's clean-up may have taken it in between.
        if (::flock(fd.Get(), LOCK_EX) != 0 || ::fstat(fd.Get(), &st) != 0 || st.st_nlink == 0) return;
        fd_.Reset(fd.Release());
        name_ = std::move(name);
    }

    Descriptor fd_;
    std::string name_;
};

std::string SystemReason(int error) { return std::strerror(error); }

// Opens without blocking on a pipe or a device, and only regular files count.
JsonReadResult ReadBytes(const fs::path& path, std::uintmax_t maxBytes, std::string& bytes) {
    JsonReadResult result;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsOpen()) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) return result;
        result.status = JsonReadStatus::Unreadable;
        result.reason = SystemReason(error);
        return result;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = JsonReadStatus::Unreadable;
        result.reason = "not a regular file";
        return result;
    }
    if (st.st_size == 0) return result;
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        result.status = JsonReadStatus::Unreadable;
        result.reason = "larger than " + std::to_string(maxBytes) + " bytes";
        return result;
    }
    bytes.assign(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            result.status = JsonReadStatus::Unreadable;
            result.reason = n == 0 ? "shorter than its size" : SystemReason(errno);
            bytes.clear();
            return result;
        }
        done += static_cast<std::size_t>(n);
    }
    result.status = JsonReadStatus::Ok;
    return result;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    return text;
}

}  // namespace

JsonReadResult ReadJsonFile(const fs::path& path, const JsonLimits& limits) {
    std::string bytes;
    JsonReadResult result = ReadBytes(path, limits.maxBytes, bytes);
    if (result.status == JsonReadStatus::Unreadable) {
        Trace("readjsonFile 错误吗：：%s (%s)", result.reason.c_str(), path.c_str());
    }
    if (result.status != JsonReadStatus::Ok) return result;
    result.value = ParseJsonText(bytes, limits.maxDepth);
    if (result.value.isNull()) {
        result.status = JsonReadStatus::Invalid;
        Trace("ReadJsonValue: %s is not valid JSON", path.c_str());
    }
    return result;
}

std::string readjsonFile(const fs::path& path) {
    std::string bytes;
    const JsonReadResult result = ReadBytes(path, kMaxJsonFileBytes, bytes);
    if (result.status == JsonReadStatus::Unreadable) {
        Trace("readjsonFile 错误吗：：%s (%s)", result.reason.c_str(), path.c_str());
    }
    return bytes;
}

Json::Value ParseJsonText(std::string_view text, int maxDepth) {
    text = WithoutByteOrderMark(text);
    Json::Value value;
    try {
        Json::CharReaderBuilder builder;
        builder["allowComments"] = true;
        builder["collectComments"] = true;
        builder["stackLimit"] = maxDepth;
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        std::string errors;
        if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) return Json::Value();
    } catch (const std::exception& e) {
        // The parser throws on nesting deeper than its stack limit.
        Trace("json parse refused: %s", e.what());
        return Json::Value();
    }
    return value;
}

Json::Value ReadJsonValue(const fs::path& path) {
    JsonReadResult result = ReadJsonFile(path);
    if (result.status == JsonReadStatus::Missing) Trace("ReadJsonValue: no text in %s", path.c_str());
    return std::move(result.value);
}

std::string StyledJsonText(const Json::Value& document) {
    std::string text = Json::StyledWriter().write(document);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    text += '\n';
    return text;
}

bool WriteFileAtomically(std::string_view bytes, const fs::path& path) {
    if (path.empty() || !path.has_filename()) {
        Trace("WriteJsonFile: no file name to write to");
        return false;
    }
    TemporaryFile temp(path);
    if (!temp.IsOpen()) {
        const std::string reason = std::strerror(errno);
        Trace("WriteJsonFile: cannot create a temporary file beside %s: %s", path.c_str(), reason.c_str());
        FileNotices::Note({path, FileNoticeKind::Unwritable, reason});
        return false;
    }
    if (!temp.WriteAll(bytes) || !temp.Finish(path) || !temp.RenameOver(path)) {
        const std::string reason = std::strerror(errno);
        Trace("WriteJsonFile: %s not written: %s", path.c_str(), reason.c_str());
        FileNotices::Note({path, FileNoticeKind::Unwritable, reason});
        return false;
    }
    return true;
}

int WriteJsonFile(const Json::Value& document, const fs::path& path) {
    return WriteFileAtomically(StyledJsonText(document), path) ? 0 : -1;
}

bool CopyFileSafely(const fs::path& source, const fs::path& target, std::uintmax_t maxBytes) {
    std::string bytes;
    const JsonReadResult read = ReadBytes(source, maxBytes, bytes);
    if (read.status != JsonReadStatus::Ok) {
        Trace("copy: %s cannot be read (%s)", source.c_str(), read.reason.empty() ? "missing or empty" : read.reason.c_str());
        return false;
    }
    return WriteFileAtomically(bytes, target);
}

namespace {

// Copies into a name that must not exist yet; nothing is left behind when the copy fails.
// EEXIST tells the caller to try the next name.
bool CopyToNewFile(const fs::path& from, const fs::path& to, int& error) {
    std::string bytes;
    const JsonReadResult read = ReadBytes(from, kMaxJsonFileBytes, bytes);
    if (read.status != JsonReadStatus::Ok) {
        error = EIO;
        return false;
    }
    Descriptor fd(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode));
    if (!fd.IsOpen()) {
        error = errno;
        return false;
    }
    if (!WriteAllTo(fd.Get(), bytes) || ::fsync(fd.Get()) != 0 || ::close(fd.Release()) != 0) {
        error = errno;
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

fs::path AsideName(const fs::path& path, int n) {
    fs::path aside = path;
    aside += n == 1 ? std::string(".bad") : ".bad." + std::to_string(n);
    return aside;
}

}  // namespace

fs::path SetFileAside(const fs::path& path) {
    constexpr int kMaxCopies = 100;
    bool copy = false;
    for (int n = 1; n <= kMaxCopies; ++n) {
        const fs::path aside = AsideName(path, n);
        struct stat st {};
        if (::lstat(aside.c_str(), &st) == 0) continue;
        int error = 0;
        if (!copy) {
            // No replace: a name that appeared meanwhile is not overwritten either.
            if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
            error = errno;
            // File systems without the no-replace rename get a copy instead.
            copy = error == EINVAL || error == ENOSYS;
            if (copy) --n;
            if (error != EEXIST && !copy) break;
            continue;
        }
        if (CopyToNewFile(path, aside, error)) return aside;
        if (error != EEXIST) break;
    }
    Trace("%s could not be kept aside", path.c_str());
    return {};
}

std::string MakeTimeStampName() {
    static std::mutex mutex;
    static long long lastMs = 0;
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    long long ms = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    {
        const std::lock_guard lock(mutex);
        ms = std::max(ms, lastMs + 1);
        lastMs = ms;
    }
    const time_t seconds = static_cast<time_t>(ms / 1000);
    tm local {};
    localtime_r(&seconds, &local);
    char name[64];
    std::snprintf(name, sizeof name, "%d_%02d_%02d_%02d_%02d_%02d_%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms % 1000));
    return name;
}

bool IsPlainIdentifier(std::string_view identifier) {
    return !identifier.empty() && identifier.size() <= kMaxIdentifierBytes &&
           identifier.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
           identifier.find("..") == std::string_view::npos;
}

}  // namespace q208
