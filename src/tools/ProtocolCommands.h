#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's commands that find the supported devices and talk to one of them over its
// command channel: list, info, keymap, ledmap, config, status, link. A failed device
// command prints "error: …" with its result code and meaning and exits 2.
class ProtocolCommands {
public:
    static constexpr int kExitFailed = 2;

    // Adds every command of this class to `table`.
    static void AddTo(CtlCommandTable& table);

    static int List(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Info(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int KeyMap(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int LedMap(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Config(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Status(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Link(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
