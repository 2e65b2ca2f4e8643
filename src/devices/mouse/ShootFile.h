#pragma once

#include <json/value.h>

#include <filesystem>
#include <optional>
#include <string>

namespace q208 {

// One gun slot of the mouse's fire key: "ShootData_<gun>.Shoot", a JSON document in the
// macro event format whose "Events" hold six events per bullet (left press, left release,
// the horizontal and the vertical correction, and two zero moves that end them). The
// vertical correction's "Delay" is the pause before the next bullet. Members besides
// "Events", and the members of the events that the editor does not set, are kept.
class ShootFile {
public:
    static constexpr int kGunCount = 4;
    static constexpr int kBulletCount = 30;
    static constexpr int kEventsPerBullet = 6;
    static constexpr int kLeftButton = 1;
    static constexpr int kPressDelay = 10;
    static constexpr int kMoveDelay = 5;
    static constexpr int kButtonType = 1;
    static constexpr int kHorizontalType = 4;
    static constexpr int kVerticalType = 5;
    // Shoot files are a few kilobytes; anything near this is not one.
    static constexpr std::uintmax_t kMaxBytes = 1u << 20;

    // What the editor shows of one bullet. xLeft: the pointer moves left ("Action" "down"),
    // yUp: it moves up ("down" too).
    struct Bullet {
        bool xLeft = false;
        int x = 0;
        bool yUp = false;
        int y = 0;
        int delay = 0;
        bool operator==(const Bullet&) const = default;
    };

    enum class Status { Ok, Missing, Unreadable, Invalid, TooShort };
    struct Loaded {
        Status status = Status::Missing;
        Json::Value document;  // null unless Ok
        std::string problem;   // what is wrong with the file, for a message
    };

    static std::filesystem::path PathOf(const std::filesystem::path& folder, int gun);

    // Ok only for a JSON object whose "Events" array holds at least six events per bullet.
    static Loaded Load(const std::filesystem::path& path);
    static int EventCount(const Json::Value& document);

    // Bullet `bullet` (clamped into the slot) of a document that Load accepted.
    static Bullet BulletOf(const Json::Value& document, int bullet);
    // Writes the six events of the bullet into the document ("Events" grows as needed).
    static void SetBullet(Json::Value& document, int bullet, const Bullet& value);

    // Stores the bullet in the file. A missing file, or one that is not a usable shoot file
    // (set aside as "<name>.bad" first), starts from the factory copy `fallback`; a file that
    // cannot be read at all is left alone. False with the reason in `problem`.
    static bool StoreBullet(const std::filesystem::path& path, const std::filesystem::path& fallback, int bullet,
                            const Bullet& value, std::string& problem);

    // Copies `source` byte for byte over `target`; false when it is not a usable shoot file
    // (nothing is copied then) or the copy failed.
    static bool CopyShootFile(const std::filesystem::path& source, const std::filesystem::path& target,
                              std::string& problem);
    // A missing or empty work file becomes a copy of the factory one; true when the work file
    // is there afterwards (usable or not: a file that does not parse is never replaced here).
    static bool EnsureWorkFile(const std::filesystem::path& work, const std::filesystem::path& factory);

    // "x=…" style text for q208ctl and traces: "left 3 up 0 delay 90".
    static std::string Describe(const Bullet& bullet);
};

}  // namespace q208
