#include "devices/mouse/ShootBlock.h"

#include "device/DeviceResult.h"
#include "devices/mouse/MouseMemory.h"
#include "devices/mouse/ShootFile.h"
#include "platform/Trace.h"
#include "profile/JsonAccess.h"

namespace q208 {

ShootBlock::Built ShootBlock::FromFolder(const std::filesystem::path& folder) {
    std::vector<MacroBlock::Macro> guns;
    for (int gun = 0; gun < ShootFile::kGunCount; ++gun) {
        const ShootFile::Loaded loaded = ShootFile::Load(ShootFile::PathOf(folder, gun));
        if (loaded.status != ShootFile::Status::Ok) return {{}, loaded.problem};
        MacroBlock::Macro events;
        for (const Json::Value& item : json::Find(loaded.document, "Events")) events.push_back(MacroBlock::EventOf(item));
        guns.push_back(std::move(events));
    }
    return {Encode(guns), {}};
}

ShootBlock::Upload ShootBlock::Write(CDeviceCommands& commands, CDeviceChannel& channel, MouseMemory& memory,
                                     const std::filesystem::path& folder) {
    Upload upload;
    if (!channel.IsOpen()) {
        upload.result = kResultNoAnswer;
        return upload;
    }
    if ((upload.result = memory.ReadInfo(commands, channel)) != kResultOk) return upload;
    Built built = FromFolder(folder);
    if (built.block.empty()) {
        upload.problem = built.problem;
    } else if (built.block.size() > memory.MacroCapacity()) {
        upload.problem = "the shoot block of " + std::to_string(built.block.size()) +
                         " bytes is larger than the mouse's macro memory of " + std::to_string(memory.MacroCapacity()) +
                         " bytes";
    }
    if (!upload.problem.empty()) {
        Trace("shoot block not written: %s\n", upload.problem.c_str());
        upload.result = kResultNoAnswer;
        return upload;
    }
    upload.bytes = built.block.size();
    // Behind the receiver the mouse may fall asleep between the steps; what is left is skipped.
    if (!MouseMemory::Reachable(commands, channel)) return upload.result = kResultUnreachable, upload;
    if ((upload.result = commands.BeginConfig()) != kResultOk) return upload;
    if (!MouseMemory::Reachable(commands, channel)) return upload.result = kResultUnreachable, upload;
    if ((upload.result = commands.WriteMacroBlock(built.block)) != kResultOk) return upload;
    if (!MouseMemory::Reachable(commands, channel)) return upload.result = kResultUnreachable, upload;
    upload.result = commands.EndConfig();
    return upload;
}

}  // namespace q208
