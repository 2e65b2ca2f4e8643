#include "profile/ProfileList.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <system_error>
#include <thread>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/FileNotices.h"
#include "profile/JsonFile.h"
#include "profile/ProfileDocument.h"
#include "profile/ProfilePaths.h"

namespace q208 {

namespace {

constexpr const char* kList = "profilelist";
constexpr const char* kSelect = "profileselect";
constexpr const char* kName = "profilename";
constexpr const char* kId = "profileUUID";
constexpr const char* kIsLink = "profileislink";
constexpr const char* kLinkName = "profilelinkmame";
// What a reset of a headset profile carries over from the old document.
constexpr const char* kHeadsetKept[] = {"CustomEQNameInfo", "CustomEQHzValueInfo"};
// Identifiers are the creation time to the millisecond; a clash waits for the next one, and
// after this many tries (a clock that stands still) a counter tells them apart.
constexpr int kIdentifierTries = 200;

bool HasProfiles(const Json::Value& list) {
    const Json::Value& entries = json::Find(list, kList);
    return entries.isArray() && !entries.empty();
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

Json::Value NewEntry(const std::string& name, const std::string& id) {
    Json::Value entry(Json::objectValue);
    entry[kName] = name;
    entry[kId] = id;
    entry[kIsLink] = 0;
    entry[kLinkName] = "";
    return entry;
}

// The first device section of a document, or null when the document has none.
const Json::Value& FirstSection(const Json::Value& document) {
    return json::At(json::Find(document, "Device"), 0);
}

struct ResultMessage {
    ProfileResult result;
    const char* key;
    const char* importKey;
};

constexpr ResultMessage kResultMessages[] = {
    {ProfileResult::LimitReached, "message_text_30", "message_text_34"},
    {ProfileResult::NameInUse, "message_text_5", "message_text_5"},
    {ProfileResult::BlankName, "message_text_25", "message_text_25"},
    {ProfileResult::BadFile, "message_text_33", "message_text_33"},
    {ProfileResult::Ignored, "message_text_33", "message_text_33"},
};

}  // namespace

std::string_view ProfileResultMessageKey(ProfileResult result, bool import) {
    for (const ResultMessage& row : kResultMessages) {
        if (row.result == result) return import ? row.importKey : row.key;
    }
    return {};
}

ProfileList::ProfileList(std::filesystem::path profileFolder, std::filesystem::path defaultDocument, int deviceKind)
    : folder_(std::move(profileFolder)), defaultDocument_(std::move(defaultDocument)), kind_(deviceKind) {}

Json::Value& ProfileList::Entries() { return json::Member(list_, kList); }

const Json::Value& ProfileList::Entries() const { return json::Find(list_, kList); }

bool ProfileList::Load() {
    JsonReadResult read = ReadJsonFile(ListPath());
    listLocked_ = read.status == JsonReadStatus::Unreadable;
    if (listLocked_) {
        // The user's list stays exactly as it is; nothing is made in its place.
        FileNotices::Note({ListPath(), FileNoticeKind::Unreadable, read.reason});
        list_ = Json::Value();
        return false;
    }
    list_ = std::move(read.value);
    if (HasProfiles(list_)) {
        if (RepairIdentifiers() && !WriteList()) Trace("profile list: %s could not be written\n", ListPath().string().c_str());
        return true;
    }
    if (read.status != JsonReadStatus::Missing && !KeepUnusableListAside()) return false;
    return CreateFirstProfile();
}

// Something is there that we cannot read as a list: keep it for the user. False (and the
// list locked) when it cannot be moved.
bool ProfileList::KeepUnusableListAside() {
    const std::filesystem::path kept = SetFileAside(ListPath());
    if (kept.empty()) {
        Trace("profile list: %s is not a profile list and cannot be moved aside\n", ListPath().string().c_str());
        FileNotices::Note({ListPath(), FileNoticeKind::Unreadable, "not a profile list"});
        listLocked_ = true;
        return false;
    }
    Trace("profile list: %s is not a profile list; kept as %s\n", ListPath().string().c_str(), kept.string().c_str());
    FileNotices::Note({ListPath(), FileNoticeKind::KeptAside, kept.string()});
    return true;
}

bool ProfileList::Peek() {
    list_ = ReadJsonValue(ListPath());
    if (HasProfiles(list_)) return true;
    list_ = Json::Value();
    return false;
}

void ProfileList::Refresh() {
    JsonReadResult read = ReadJsonFile(ListPath());
    listLocked_ = read.status == JsonReadStatus::Unreadable;
    if (listLocked_) {
        FileNotices::Note({ListPath(), FileNoticeKind::Unreadable, read.reason});
        return;
    }
    if (HasProfiles(read.value)) {
        list_ = std::move(read.value);
        RepairIdentifiers();
        return;
    }
    if (read.status != JsonReadStatus::Missing && KeepUnusableListAside()) {
        Trace("profile list: %s turned unreadable; the list last read is written again\n", ListPath().string().c_str());
    }
}

// Identifiers become file names: one that could be a path ("..", a separator, empty) or
// names the same document as an earlier entry is replaced, so that no operation reads,
// writes or deletes a file outside the profile folder or another profile's document.
bool ProfileList::RepairIdentifiers() {
    Json::Value& entries = Entries();
    bool changed = false;
    for (Json::ArrayIndex i = entries.size(); i-- > 0;) {
        if (!entries[i].isObject()) {
            Trace("profile list: entry %u is not a profile; dropped\n", i);
            Json::Value removed;
            entries.removeIndex(i, &removed);
            changed = true;
        }
    }
    for (Json::ArrayIndex i = 0; i < entries.size(); ++i) {
        const std::string id = json::ToString(json::Find(entries[i], kId));
        bool repeated = false;
        for (Json::ArrayIndex j = 0; j < i && !repeated; ++j) repeated = json::ToString(json::Find(entries[j], kId)) == id;
        if (IsPlainIdentifier(id) && json::Find(entries[i], kId).isString() && !repeated) continue;
        const std::string fresh = NewIdentifier();
        Trace("profile list: entry %u has the identifier \"%.80s\", which cannot name its document; it becomes %s\n", i,
              id.c_str(), fresh.c_str());
        entries[i][kId] = fresh;
        changed = true;
    }
    if (Selected() != json::ToInt(json::Find(list_, kSelect)) && Count() > 0) {
        list_[kSelect] = Selected();
        changed = true;
    }
    return changed;
}

bool ProfileList::CreateFirstProfile() {
    const std::string id = NewIdentifier();
    Json::Value list(Json::objectValue);
    list[kList] = Json::Value(Json::arrayValue);
    list[kList].append(NewEntry(kFirstProfileName, id));
    list[kSelect] = 0;
    Json::Value document = ReadJsonValue(defaultDocument_);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    document[kName] = kFirstProfileName;
    document[kId] = id;
    if (WriteJsonFile(document, folder_ / (id + kProfileExtension)) != 0)
        Trace("profile list: the first profile's document could not be written\n");
    list_ = std::move(list);
    if (!WriteList()) {
        Trace("profile list: %s could not be written\n", ListPath().string().c_str());
        return false;
    }
    return true;
}

int ProfileList::Count() const { return static_cast<int>(Entries().size()); }

int ProfileList::Selected() const {
    const int count = Count();
    if (count == 0) return -1;
    const int stored = json::ToInt(json::Find(list_, kSelect));
    return stored >= 0 && stored < count ? stored : 0;
}

std::string ProfileList::NameAt(int index) const { return json::ToString(json::Find(json::At(Entries(), index), kName)); }

std::string ProfileList::IdAt(int index) const {
    const std::string id = json::ToString(json::Find(json::At(Entries(), index), kId));
    return IsPlainIdentifier(id) ? id : std::string();
}

std::filesystem::path ProfileList::DocumentPath(int index) const {
    const std::string id = IdAt(index);
    return id.empty() ? std::filesystem::path() : folder_ / (id + kProfileExtension);
}

int ProfileList::FindName(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        if (EqualNoCase(NameAt(i), name)) return i;
    }
    return -1;
}

std::string ProfileList::NewIdentifier() const {
    const auto taken = [this](const std::string& id) {
        for (Json::ArrayIndex i = 0; i < Entries().size(); ++i) {
            if (json::ToString(json::Find(Entries()[i], kId)) == id) return true;
        }
        std::error_code error;
        return std::filesystem::exists(folder_ / (id + kProfileExtension), error);
    };
    std::string id = MakeTimeStampName();
    for (int attempt = 0; taken(id) && attempt < kIdentifierTries; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        id = MakeTimeStampName();
    }
    const std::string base = id;
    for (int n = 2; taken(id); ++n) id = base + "_" + std::to_string(n);
    return id;
}

bool ProfileList::WriteList() {
    if (listLocked_) {
        Trace("profile list: %s could not be read; it is not written over\n", ListPath().string().c_str());
        return false;
    }
    return WriteJsonFile(list_, ListPath()) == 0;
}

// The caller has refreshed the list and checked the limit.
ProfileResult ProfileList::AppendEntry(const std::string& name, Json::Value document, int* added) {
    if (listLocked_) return ProfileResult::WriteFailed;  // no document without a list to name it
    const std::string id = NewIdentifier();
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    document[kName] = name;
    document[kId] = id;
    // The document first: a crash in between leaves a stray file, never an entry whose
    // document is missing.
    if (WriteJsonFile(document, folder_ / (id + kProfileExtension)) != 0) return ProfileResult::WriteFailed;
    Entries().append(NewEntry(name, id));
    if (!WriteList()) return ProfileResult::WriteFailed;
    if (added) *added = Count() - 1;
    return ProfileResult::Done;
}

ProfileResult ProfileList::Create(int* added) {
    Refresh();
    if (Count() >= kLimit) return ProfileResult::LimitReached;
    std::string name;
    for (int n = 1; name.empty() || FindName(name) >= 0; ++n) name = "profile" + std::to_string(n);
    return AppendEntry(name, ReadJsonValue(defaultDocument_), added);
}

ProfileResult ProfileList::Copy(int* added) {
    Refresh();
    if (Count() >= kLimit) return ProfileResult::LimitReached;
    const int selected = Selected();
    if (selected < 0) return ProfileResult::NoProfile;
    ProfileDocumentRead source = ReadProfileDocument(DocumentPath(selected));
    if (source.locked) return ProfileResult::WriteFailed;  // the user was told which file
    std::string name = NameAt(selected) + " copy";
    while (FindName(name) >= 0) name += " copy";
    return AppendEntry(name, std::move(source.document), added);
}

ProfileResult ProfileList::Import(const std::filesystem::path& file, std::string proposedName, int* added) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxImportBytes) {
        Trace("profile list: %s is missing or larger than %ju bytes; not imported\n", file.string().c_str(),
              static_cast<std::uintmax_t>(kMaxImportBytes));
        return ProfileResult::BadFile;
    }
    Json::Value document = ReadJsonValue(file);
    if (!document.isObject()) return ProfileResult::BadFile;
    if (json::Find(document, kName).isNull() || json::Find(document, kId).isNull()) return ProfileResult::Ignored;
    Refresh();
    if (Count() >= kLimit) return ProfileResult::LimitReached;
    for (int n = 1; FindName(proposedName) >= 0; ++n) proposedName += "(" + std::to_string(n) + ")";
    return AppendEntry(proposedName, std::move(document), added);
}

ProfileResult ProfileList::Rename(std::string_view name) {
    if (IsBlank(name)) return ProfileResult::BlankName;
    Refresh();
    const int selected = Selected();
    if (selected < 0) return ProfileResult::NoProfile;
    if (const int other = FindName(name); other >= 0 && other != selected) return ProfileResult::NameInUse;
    Entries()[static_cast<Json::ArrayIndex>(selected)][kName] = std::string(name);
    if (!WriteList()) return ProfileResult::WriteFailed;
    const std::filesystem::path path = DocumentPath(selected);
    ProfileDocumentRead read = ReadProfileDocument(path);
    // A document that could not be read keeps its old inner name; the list has the new one.
    if (read.locked) return ProfileResult::Done;
    Json::Value document = std::move(read.document);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    document[kName] = std::string(name);
    return WriteJsonFile(document, path) == 0 ? ProfileResult::Done : ProfileResult::WriteFailed;
}

ProfileResult ProfileList::Delete() {
    Refresh();
    const int selected = Selected();
    if (selected < 0 || Count() <= 1) return ProfileResult::NoProfile;
    const std::filesystem::path document = DocumentPath(selected);
    Json::Value removed;
    Entries().removeIndex(static_cast<Json::ArrayIndex>(selected), &removed);
    list_[kSelect] = selected > 0 ? selected - 1 : 0;
    // The list first: a crash in between leaves a stray document, never a dangling entry.
    if (!WriteList()) return ProfileResult::WriteFailed;
    std::error_code error;
    if (!document.empty() && !std::filesystem::remove(document, error) && error)
        Trace("profile list: %s could not be deleted (%s)\n", document.string().c_str(), error.message().c_str());
    return ProfileResult::Done;
}

ProfileResult ProfileList::Reset() {
    Refresh();
    const int selected = Selected();
    if (selected < 0) return ProfileResult::NoProfile;
    const std::filesystem::path path = DocumentPath(selected);
    // A document that could not be read is not replaced: what it holds is unknown.
    const ProfileDocumentRead current = ReadProfileDocument(path);
    if (current.locked) return ProfileResult::WriteFailed;
    Json::Value document = ReadJsonValue(defaultDocument_);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    document[kName] = NameAt(selected);
    document[kId] = IdAt(selected);
    if (kind_ == kHeadsetKind) {
        // The user's own equaliser presets are not factory settings.
        const Json::Value& old = current.document;
        for (const char* key : kHeadsetKept) {
            const Json::Value& kept = json::Find(FirstSection(old), key);
            if (!kept.isNull()) json::Member(json::Element(json::Member(document, "Device"), 0), key) = kept;
        }
    }
    return WriteJsonFile(document, path) == 0 ? ProfileResult::Done : ProfileResult::WriteFailed;
}

ProfileResult ProfileList::Export(std::filesystem::path target) const {
    const int selected = Selected();
    if (selected < 0 || target.empty()) return ProfileResult::NoProfile;
    const std::filesystem::path document = DocumentPath(selected);
    if (ReadJsonFile(document).status == JsonReadStatus::Missing) return ProfileResult::NoProfile;
    if (!target.has_extension()) target += ".json";
    // Byte for byte: the exported file is the document as it is stored.
    return CopyFileSafely(document, target, kMaxImportBytes) ? ProfileResult::Done : ProfileResult::WriteFailed;
}

ProfileResult ProfileList::Select(int index) {
    Refresh();
    if (index < 0 || index >= Count()) return ProfileResult::NoProfile;
    list_[kSelect] = index;
    return WriteList() ? ProfileResult::Done : ProfileResult::WriteFailed;
}

std::string ProfileList::ImportName(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot != 0) name = name.substr(0, dot);
    return std::string(name);
}

bool ProfileList::IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace q208
