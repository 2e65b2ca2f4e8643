#include "profile/MacroStore.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

namespace q208 {

namespace {

constexpr uint8_t kMacroType = 0x70;
constexpr uint8_t kMacroRepeatType = 0x71;

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool NameInUse(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return MacroStore::SameName(n, name); });
}

}  // namespace

MacroStore::MacroStore(std::filesystem::path folder, std::string indexFile)
    : folder_(std::move(folder)), indexFile_(std::move(indexFile)) {}

Json::Value MacroStore::ReadIndex() const {
    Json::Value index = ReadJsonValue(IndexPath());
    if (!index.isObject()) index = Json::Value(Json::objectValue);
    if (!index["MacroInfo"].isArray()) index["MacroInfo"] = Json::Value(Json::arrayValue);
    return index;
}

bool MacroStore::WriteIndex(const Json::Value& index) const {
    if (WriteJsonFile(index, IndexPath()) == 0) return true;
    Trace("macros: %s could not be written\n", IndexPath().string().c_str());
    return false;
}

std::vector<MacroStore::Entry> MacroStore::List() const {
    std::vector<Entry> entries;
    const Json::Value index = ReadJsonValue(IndexPath());
    const Json::Value& list = json::Find(index, "MacroInfo");
    if (!list.isArray()) return entries;
    for (const Json::Value& item : list) {
        entries.push_back({json::ToString(json::Find(item, "MacroName")), json::ToString(json::Find(item, "Guid"))});
    }
    return entries;
}

std::vector<std::string> MacroStore::Names() const {
    std::vector<std::string> names;
    for (Entry& entry : List()) names.push_back(std::move(entry.name));
    return names;
}

std::filesystem::path MacroStore::EventFile(int index) const {
    const std::vector<Entry> entries = List();
    if (index < 0 || index >= static_cast<int>(entries.size())) return {};
    if (!IsPlainIdentifier(entries[index].guid)) {
        Trace("macros: macro %d has no usable identifier in %s\n", index, indexFile_.c_str());
        return {};
    }
    return folder_ / (entries[index].guid + kExtension);
}

bool MacroStore::SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string MacroStore::NewName(const std::vector<std::string>& names) {
    for (int n = 1;; ++n) {
        std::string name = "macro_" + std::to_string(n);
        if (!NameInUse(names, name)) return name;
    }
}

std::string MacroStore::ImportName(const std::filesystem::path& file, const std::vector<std::string>& names) {
    std::string name = file.stem().string();
    for (int counter = 1; NameInUse(names, name);) name = std::to_string(++counter);
    return name;
}

MacroResult MacroStore::Append(const std::string& name, std::string* guid, int* added) {
    Json::Value index = ReadIndex();
    Json::Value& list = index["MacroInfo"];
    if (static_cast<int>(list.size()) >= kMaxMacros) return MacroResult::AtLimit;
    Json::Value entry(Json::objectValue);
    entry["MacroName"] = name;
    *guid = MakeTimeStampName();
    entry["Guid"] = *guid;
    list.append(entry);
    if (!WriteIndex(index)) return MacroResult::WriteFailed;
    if (added) *added = static_cast<int>(list.size()) - 1;
    return MacroResult::Done;
}

MacroResult MacroStore::Create(int* added, std::string* name) {
    const std::vector<std::string> names = Names();
    if (static_cast<int>(names.size()) >= kMaxMacros) return MacroResult::AtLimit;
    const std::string newName = NewName(names);
    std::string guid;
    const MacroResult result = Append(newName, &guid, added);
    if (result == MacroResult::Done && name) *name = newName;
    return result;
}

MacroResult MacroStore::Import(const std::filesystem::path& file, int* added, std::string* name) {
    const std::vector<std::string> names = Names();
    if (static_cast<int>(names.size()) >= kMaxMacros) return MacroResult::AtLimit;
    const JsonReadResult read = ReadJsonFile(file, JsonLimits{kMaxImportBytes, kMaxJsonDepth});
    if (read.status != JsonReadStatus::Ok || !read.value.isObject()) {
        Trace("macros: %s is not a macro file\n", file.string().c_str());
        return MacroResult::BadFile;
    }
    const std::string newName = ImportName(file, names);
    std::string guid;
    int index = -1;
    if (const MacroResult result = Append(newName, &guid, &index); result != MacroResult::Done) return result;
    // The index is what names the macro; the copied file keeps its own "MacroName" and
    // "Guid" until the next save.
    if (!CopyFileSafely(file, folder_ / (guid + kExtension), kMaxImportBytes)) {
        Delete(index);
        return MacroResult::WriteFailed;
    }
    if (added) *added = index;
    if (name) *name = newName;
    return MacroResult::Done;
}

MacroResult MacroStore::Export(int index, const std::filesystem::path& target) const {
    const std::filesystem::path source = EventFile(index);
    if (source.empty() || target.empty()) return MacroResult::NoMacro;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(source, ec)) {
        // A macro that was never saved has no events yet: export it as an empty one.
        Json::Value document(Json::objectValue);
        document["MacroName"] = List()[index].name;
        document["Guid"] = List()[index].guid;
        document["Events"] = Json::Value(Json::arrayValue);
        document["Version"] = kVersion;
        return WriteJsonFile(document, target) == 0 ? MacroResult::Done : MacroResult::WriteFailed;
    }
    return CopyFileSafely(source, target) ? MacroResult::Done : MacroResult::WriteFailed;
}

MacroResult MacroStore::Rename(int index, std::string_view name, std::string* newName) {
    Json::Value document = ReadIndex();
    Json::Value& list = document["MacroInfo"];
    if (index < 0 || index >= static_cast<int>(list.size())) return MacroResult::NoMacro;
    const std::string_view trimmed = Trimmed(name);
    if (trimmed.empty()) return MacroResult::NameEmpty;
    if (NameInUse(Names(), trimmed)) return MacroResult::NameTaken;
    list[index]["MacroName"] = std::string(trimmed);
    if (!WriteIndex(document)) return MacroResult::WriteFailed;
    if (newName) *newName = std::string(trimmed);
    return MacroResult::Done;
}

MacroResult MacroStore::Delete(int index) {
    Json::Value document = ReadIndex();
    Json::Value& list = document["MacroInfo"];
    if (index < 0 || index >= static_cast<int>(list.size())) return MacroResult::NoMacro;
    const std::filesystem::path events = EventFile(index);
    Json::Value removed;
    list.removeIndex(static_cast<Json::ArrayIndex>(index), &removed);
    if (!WriteIndex(document)) return MacroResult::WriteFailed;
    std::error_code ec;
    if (!events.empty()) std::filesystem::remove(events, ec);
    return MacroResult::Done;
}

std::vector<Json::Value> MacroStore::LoadEvents(int index) const {
    std::vector<Json::Value> events;
    const std::filesystem::path file = EventFile(index);
    if (file.empty()) return events;
    const Json::Value document = ReadJsonValue(file);
    const Json::Value& list = json::Find(document, "Events");
    if (!list.isArray()) return events;
    for (const Json::Value& event : list) {
        if (event.isObject()) events.push_back(event);
    }
    return events;
}

std::vector<MacroEvent> MacroStore::LoadMacroEvents(int index) const {
    std::vector<MacroEvent> events;
    for (const Json::Value& event : LoadEvents(index)) events.push_back(MacroEvent::FromJson(event));
    return events;
}

int MacroStore::SavedDelay(std::string_view cell) {
    long long value = 0;
    const std::string_view text = Trimmed(cell);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) value = MacroEvent::kMaxDelay;
    else if (ec != std::errc{} || end != text.data() + text.size()) value = 0;
    return static_cast<int>(std::clamp<long long>(value, kMinSavedDelay, MacroEvent::kMaxDelay));
}

MacroResult MacroStore::SaveEvents(int index, std::vector<Json::Value> events, bool* trimmed) {
    const std::vector<Entry> entries = List();
    const std::filesystem::path file = EventFile(index);
    if (file.empty()) return MacroResult::NoMacro;
    if (trimmed) *trimmed = events.size() > static_cast<size_t>(kMaxEvents);
    if (events.size() > static_cast<size_t>(kMaxEvents)) events.resize(kMaxEvents);
    Json::Value document(Json::objectValue);
    document["MacroName"] = entries[index].name;
    document["Guid"] = entries[index].guid;
    Json::Value& list = document["Events"] = Json::Value(Json::arrayValue);
    for (Json::Value& event : events) {
        const Json::Value& delay = json::Find(event, "Delay");
        event["Delay"] = std::to_string(SavedDelay(delay.isString() ? delay.asString()
                                                                    : std::to_string(MacroEvent::DelayOf(delay))));
        list.append(event);
    }
    document["Version"] = kVersion;
    if (WriteJsonFile(document, file) != 0) {
        Trace("macros: %s could not be written\n", file.string().c_str());
        return MacroResult::WriteFailed;
    }
    return MacroResult::Done;
}

bool MacroStore::IsMacroAssignment(const KeyAssignmentHalf& half) {
    return half.type == kMacroType || half.type == kMacroRepeatType;
}

bool MacroStore::PlaysMacro(const KeyAssignmentHalf& half, int index) {
    return IsMacroAssignment(half) && half.param1 == index;
}

bool MacroStore::RenumberAfterDelete(std::vector<KeyAssignmentRecord>& records, int deleted) {
    bool changed = false;
    for (KeyAssignmentRecord& record : records) {
        KeyAssignmentHalf& half = record.current;
        if (!IsMacroAssignment(half)) continue;
        if (half.param1 == deleted) {
            const uint16_t key = half.index;
            half = record.defaults;
            half.index = key;
            changed = true;
        } else if (half.param1 > deleted) {
            --half.param1;
            changed = true;
        }
    }
    return changed;
}

}  // namespace q208
