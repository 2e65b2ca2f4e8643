#include "update/UpdateTypes.h"

#include <cstdio>

namespace q208 {

std::string ServiceKey(const UpdateTarget& target) {
    if (target.version == 0) return "NULL";
    return target.keyName + "_" + std::to_string(target.versionFormat) + "_" + target.target + "_" + target.keyModel +
           "_" + std::to_string(target.keyNumber);
}

std::string CurrentVersionText(const UpdateTarget& target) {
    if (target.IsHex()) {
        char text[16];
        std::snprintf(text, sizeof text, "V%04x", static_cast<unsigned>(target.version));
        return text;
    }
    if (!target.versionText.empty()) return "V" + target.versionText;
    return "V" + std::to_string(target.version);
}

std::string ItemName(const UpdateTarget& target) { return target.IsSoftware() ? "AP" : target.displayName; }

}  // namespace q208
