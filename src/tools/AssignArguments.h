#pragma once

#include <string>
#include <vector>

#include "editors/KeyAssignment.h"

namespace q208 {

// The arguments of `q208ctl assign` after KEY: CATEGORY and what it needs, as the panel's
// form. The record itself is built by KeyAssignment, the panel's own logic.
//   disabled | default
//   mouse left|middle|right|forward|back      dpi 1|2|3
//   move DIRECTION DELAY SPEED COUNT          (DIRECTION 0 or 1, DELAY and SPEED 0-15)
//   wheel up|down DELAY SPEED COUNT           fire INTERVAL COUNT
//   key [ctrl+|shift+|alt+|win+]KEYNAME       (KEYNAME a name of the key table; a modifier alone too)
//   media NAME      system power|sleep|wake   combo NAME   (names as `assign --help` lists them)
//   macro INDEX MODE [TIMES]                  (MODE 0-3, or 4 with TIMES)
//   gun N                                     (0-3)
class AssignArguments {
public:
    // Fills `form` (and, for `key`, the model's record being edited); false with the reason.
    static bool Parse(const std::vector<std::string>& arguments, KeyAssignment& model, KeyAssignment::Form& form,
                      std::string& error);
    // The names a category takes, for the reason of a bad one.
    static std::string NamesOf(KeyCategory category);
};

}  // namespace q208
