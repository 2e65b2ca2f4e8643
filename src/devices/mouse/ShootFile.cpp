#include "devices/mouse/ShootFile.h"

#include <algorithm>
#include <system_error>

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

namespace q208 {
namespace {

constexpr const char* kEvents = "Events";
constexpr const char* kDown = "down";
constexpr const char* kUp = "up";
constexpr int kMaxDistance = 255;  // the device keeps one byte per distance
constexpr int kMaxDelay = 65535;

// Rewrites the four members the editor owns, in the order "Action", "Button", "Delay",
// "Type" (the styled writer writes members in name order); other members stay.
void SetEvent(Json::Value& event, bool down, int button, int delay, int type) {
    if (!event.isObject()) event = Json::Value(Json::objectValue);
    event["Action"] = down ? kDown : kUp;
    event["Button"] = button;
    event["Delay"] = delay;
    event["Type"] = type;
}

bool IsDown(const Json::Value& event) { return json::ToString(json::Find(event, "Action")) == kDown; }

std::string StatusText(ShootFile::Status status) {
    switch (status) {
        case ShootFile::Status::Ok: return "usable";
        case ShootFile::Status::Missing: return "missing or empty";
        case ShootFile::Status::Unreadable: return "cannot be read";
        case ShootFile::Status::Invalid: return "is not a JSON object";
        case ShootFile::Status::TooShort: return "holds too few events";
    }
    return "?";
}

}  // namespace

std::filesystem::path ShootFile::PathOf(const std::filesystem::path& folder, int gun) {
    return folder / ("ShootData_" + std::to_string(gun) + ".Shoot");
}

int ShootFile::EventCount(const Json::Value& document) {
    const Json::Value& events = json::Find(document, kEvents);
    return events.isArray() ? static_cast<int>(events.size()) : 0;
}

ShootFile::Loaded ShootFile::Load(const std::filesystem::path& path) {
    JsonReadResult read = ReadJsonFile(path, JsonLimits{kMaxBytes, 16});
    Loaded loaded;
    switch (read.status) {
        case JsonReadStatus::Missing: loaded.status = Status::Missing; break;
        case JsonReadStatus::Unreadable: loaded.status = Status::Unreadable; break;
        case JsonReadStatus::Invalid: loaded.status = Status::Invalid; break;
        case JsonReadStatus::Ok:
            loaded.status = !read.value.isObject()                                  ? Status::Invalid
                            : EventCount(read.value) < kBulletCount * kEventsPerBullet ? Status::TooShort
                                                                                      : Status::Ok;
            break;
    }
    if (loaded.status == Status::Ok) {
        loaded.document = std::move(read.value);
        return loaded;
    }
    loaded.problem = path.filename().string() + " " + StatusText(loaded.status);
    if (loaded.status == Status::TooShort)
        loaded.problem += " (" + std::to_string(EventCount(read.value)) + " of " +
                          std::to_string(kBulletCount * kEventsPerBullet) + ")";
    if (!read.reason.empty()) loaded.problem += ": " + read.reason;
    return loaded;
}

ShootFile::Bullet ShootFile::BulletOf(const Json::Value& document, int bullet) {
    const int first = std::clamp(bullet, 0, kBulletCount - 1) * kEventsPerBullet;
    const Json::Value& events = json::Find(document, kEvents);
    const Json::Value& x = json::At(events, first + 2);
    const Json::Value& y = json::At(events, first + 3);
    Bullet shown;
    shown.xLeft = IsDown(x);
    shown.x = json::ToInt(json::Find(x, "Button"));
    shown.yUp = IsDown(y);
    shown.y = json::ToInt(json::Find(y, "Button"));
    shown.delay = json::ToIntOrText(json::Find(y, "Delay"));
    return shown;
}

void ShootFile::SetBullet(Json::Value& document, int bullet, const Bullet& value) {
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    Json::Value& events = document[kEvents];
    if (!events.isArray()) events = Json::Value(Json::arrayValue);
    const auto first = static_cast<Json::ArrayIndex>(std::clamp(bullet, 0, kBulletCount - 1) * kEventsPerBullet);
    const int x = std::clamp(value.x, 0, kMaxDistance);
    const int y = std::clamp(value.y, 0, kMaxDistance);
    const int delay = std::clamp(value.delay, 0, kMaxDelay);
    SetEvent(events[first], true, kLeftButton, kPressDelay, kButtonType);
    SetEvent(events[first + 1], false, kLeftButton, 0, kButtonType);
    SetEvent(events[first + 2], value.xLeft, x, kMoveDelay, kHorizontalType);
    SetEvent(events[first + 3], value.yUp, y, delay, kVerticalType);
    SetEvent(events[first + 4], value.xLeft, 0, 0, kHorizontalType);
    SetEvent(events[first + 5], value.yUp, 0, 0, kVerticalType);
}

bool ShootFile::StoreBullet(const std::filesystem::path& path, const std::filesystem::path& fallback, int bullet,
                            const Bullet& value, std::string& problem) {
    Loaded loaded = Load(path);
    if (loaded.status == Status::Unreadable) {
        problem = loaded.problem;
        return false;
    }
    if (loaded.status != Status::Ok) {
        Loaded factory = Load(fallback);
        if (factory.status != Status::Ok) {
            problem = loaded.problem + "; the factory copy " + factory.problem;
            return false;
        }
        if ((loaded.status == Status::Invalid || loaded.status == Status::TooShort) && SetFileAside(path).empty()) {
            problem = loaded.problem + "; it could not be set aside";
            return false;
        }
        Trace("shoot: %s; starting from the factory copy\n", loaded.problem.c_str());
        loaded.document = std::move(factory.document);
    }
    SetBullet(loaded.document, bullet, value);
    if (WriteJsonFile(loaded.document, path) != 0) {
        problem = path.filename().string() + " could not be written";
        return false;
    }
    return true;
}

bool ShootFile::CopyShootFile(const std::filesystem::path& source, const std::filesystem::path& target,
                              std::string& problem) {
    const Loaded loaded = Load(source);
    if (loaded.status != Status::Ok) {
        problem = loaded.problem;
        return false;
    }
    if (!CopyFileSafely(source, target, kMaxBytes)) {
        problem = target.filename().string() + " could not be written";
        return false;
    }
    return true;
}

bool ShootFile::EnsureWorkFile(const std::filesystem::path& work, const std::filesystem::path& factory) {
    std::error_code ec;
    const bool present = std::filesystem::exists(work, ec);
    if (present && !(std::filesystem::is_regular_file(work, ec) && std::filesystem::file_size(work, ec) == 0))
        return true;
    std::string problem;
    if (CopyShootFile(factory, work, problem)) return true;
    Trace("shoot: %s not created from the factory copy: %s\n", work.string().c_str(), problem.c_str());
    return false;
}

std::string ShootFile::Describe(const Bullet& bullet) {
    return std::string(bullet.xLeft ? "left " : "right ") + std::to_string(bullet.x) + (bullet.yUp ? " up " : " down ") +
           std::to_string(bullet.y) + " delay " + std::to_string(bullet.delay);
}

}  // namespace q208
