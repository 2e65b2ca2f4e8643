#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "devices/lighting/LightSync.h"
#include "tools/CtlOptions.h"

namespace q208 {

class CtlCommandTable;

// "sync MODE [brightness=B speed=S colour=R,G,B multicolor=M direction=D]", "sync off" and
// "sync status": same-mode lighting of the running q208 (there is no other: the devices'
// colours are painted by the program).
class SyncCommand {
public:
    static constexpr int kExitNotRunning = 3;
    static void AddTo(CtlCommandTable& table);
    static int Run(const CtlOptions& options, std::ostream& out, std::ostream& err);
    // The setting of a command line after "sync MODE"; nothing with the reason in `error`.
    static std::optional<LightSync::Setting> Parse(const std::vector<std::string>& arguments, std::string& error);
};

}  // namespace q208
