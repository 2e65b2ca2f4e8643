#include "profile/CachedDocument.h"

#include <sys/stat.h>

#include "profile/ProfileDocument.h"

namespace q208 {
namespace fs = std::filesystem;

namespace {

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

bool CachedDocument::Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           SameTime(modified, other.modified) && SameTime(changed, other.changed);
}

std::optional<CachedDocument::Stamp> CachedDocument::StampOf(const fs::path& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return Stamp{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

Json::Value& CachedDocument::Get(const fs::path& path) {
    const std::optional<Stamp> now = StampOf(path);
    if (now && stamp_ && path == path_ && *now == *stamp_) return document_;
    // Stamped before reading: a change during the read shows as a mismatch next time.
    path_ = path;
    stamp_ = now;
    ProfileDocumentRead read = ReadProfileDocument(path);
    document_ = std::move(read.document);
    locked_ = read.locked;
    if (document_.isNull()) stamp_.reset();  // a file set aside as .bad must not count as read
    return document_;
}

void CachedDocument::Written(const fs::path& path, bool ok) {
    path_ = path;
    stamp_ = ok ? StampOf(path) : std::nullopt;
    if (ok) locked_ = false;
}

}  // namespace q208
