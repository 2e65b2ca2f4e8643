#pragma once

#include <memory>
#include <string>
#include <vector>

#include "devices/lighting/LightSync.h"
#include "devices/lighting/LightSyncThread.h"
#include "profile/ProfileRecords.h"

namespace q208 {

class CVantorixUSBDevice;

// The devices that show one host-rendered effect in step, the shared settings and the
// synchronisation thread. UI thread only, apart from the thread itself.
//
// A device joins when same mode is started (from a device page or q208ctl) while its
// channel is open; it leaves when the user picks another effect on its own page, when it
// goes away, or when synchronisation ends. Its device-list mark shows it is in the group.
class LightSyncGroup {
public:
    LightSyncGroup();
    ~LightSyncGroup();

    // Every device page the window builds; the thread skips those not synchronised.
    void Attach(CVantorixUSBDevice& device);
    bool StartThread();
    void StopThread();
    LightSyncThread& Thread() { return *thread_; }
    const LightSync& Settings() const { return sync_; }

    // Same mode pressed on `pressed`'s page: its lighting, turned into an effect type, for
    // every device. False (nothing changed) when its mode has no synchronised counterpart.
    bool SameMode(CVantorixUSBDevice& pressed);
    // Gives every attached device with an open channel the setting (keyboards, mice, pads,
    // headsets in that order); the number of devices that joined.
    int Start(const LightSync::Setting& setting);
    void Leave(CVantorixUSBDevice& device);
    void End();
    // The members in attach order.
    std::vector<CVantorixUSBDevice*> Members() const;

private:
    struct Member;
    static void Mark(CVantorixUSBDevice& device, bool on);

    LightSync sync_;
    std::unique_ptr<LightSyncThread> thread_;
    std::vector<std::unique_ptr<Member>> devices_;
};

}  // namespace q208
