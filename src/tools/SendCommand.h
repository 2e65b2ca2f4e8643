#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl send NAME [WPARAM [LPARAM]]: sends one registered message to the running
// program's main window, as a game or a script would, and waits for it to be handled.
class SendCommand {
public:
    static constexpr int kExitNotRunning = 3;
    // The running program answered that it did not take the message.
    static constexpr int kExitNotTaken = 2;
    static constexpr int kTimeoutMs = 2000;

    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
    // Decimal or 0x hexadecimal, 64 bits at most; nothing else.
    static std::optional<uint64_t> ParseNumber(const std::string& text);
};

}  // namespace q208
