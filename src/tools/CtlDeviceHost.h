#pragma once

#include <iosfwd>
#include <optional>

#include "devices/lighting/LightSync.h"

namespace q208 {

class CDeviceChannel;
class HeadsetAudioController;
struct CtlDeviceTarget;

// The running q208 as seen by a device command it executes for q208ctl: the command runs
// on the channel the program has open on the device, so that the program and the command
// never read each other's answers.
class ICtlDeviceHost {
public:
    virtual ~ICtlDeviceHost() = default;
    // The program's open command channel to `target`, or null when the program has none
    // (the command then opens one of its own on the program's bus).
    virtual CDeviceChannel* CommandChannelFor(const CtlDeviceTarget& target) = 0;
    // The headset page's audio settings, or null when the program shows no headset; after
    // a change the page is shown again with `HeadsetAudioChanged`.
    virtual HeadsetAudioController* HeadsetAudio() { return nullptr; }
    virtual void HeadsetAudioChanged() {}
    // Switches the program's keyboards to the music pattern of effect 29, or back; false
    // when the program shows no keyboard.
    virtual bool SetMusicMode(bool /*on*/) { return false; }
    // Same-mode lighting of the running program: starts it with `setting`, or ends it
    // without one; writes what became of it to `out`. False when the program has none.
    virtual bool SyncLighting(const std::optional<LightSync::Setting>& /*setting*/, std::ostream& /*out*/) {
        return false;
    }
    // Lists the synchronised devices and the colour word each shows now; false without.
    virtual bool SyncStatus(std::ostream& /*out*/) { return false; }
};

}  // namespace q208
