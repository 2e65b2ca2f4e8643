#pragma once

#include <string>
#include <string_view>

namespace q208 {

// The text of a language key of the skin in the language the user chose in q208 (the
// saved "LANGUAGE" setting), else the desktop's (Chinese for a zh locale), else English;
// the key itself when no language file has it.
std::string CtlMessageText(std::string_view key);

}  // namespace q208
