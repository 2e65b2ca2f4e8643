#pragma once

#include <string>

#include "profile/ProfileRecords.h"

namespace q208 {

// What a key does now, as words for the key's accessible name: empty while it keeps its
// factory function, else its kind in the language applied ("Macro 2", "Multimedia", ...).
std::string KeyAssignmentText(const KeyAssignmentHalf& now, const KeyAssignmentHalf& factory);

}  // namespace q208
