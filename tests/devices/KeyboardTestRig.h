#pragma once

// The emulated keyboard on a simulated bus with a command channel opened on the cable or
// through the receiver, as the keyboard device object has it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "device/CDeviceChannel.h"
#include "device/CDeviceCommands.h"
#include "device/SimBus.h"
#include "devices/keyboard/KeyboardMemory.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimKeyboard.h"
#include "sim/SimKeyboardLayout.h"

namespace q208::test {

struct KeyboardPath {
    const char* name;
    bool receiver;
};

inline std::string PathName(const ::testing::TestParamInfo<KeyboardPath>& info) { return info.param.name; }

class KeyboardRig {
public:
    explicit KeyboardRig(bool receiver)
        : receiver_(receiver), bus_(std::make_shared<SimBus>()), devices_(bus_), channel_(bus_), commands_(channel_) {
        // A keyboard linked to a plugged receiver sends its events through the receiver,
        // so the cable case has the keyboard alone.
        if (receiver)
            devices_.PlugAll({sim::SimDeviceKind::Keyboard, sim::SimDeviceKind::Receiver});
        else
            devices_.Plug(sim::SimDeviceKind::Keyboard);
        channel_.OpenPath(CommandPath(), receiver ? CDeviceChannel::kLinkReceiver : CDeviceChannel::kLinkWired, 0);
    }
    std::string CommandPath() const {
        return devices_.CommandPath(receiver_ ? sim::SimDeviceKind::Receiver : sim::SimDeviceKind::Keyboard);
    }
    sim::SimKeyboard& Keyboard() { return *devices_.Keyboard(); }
    uint32_t Seen(uint8_t code) { return Keyboard().CommandsSeen(code); }

    bool receiver_;
    std::shared_ptr<SimBus> bus_;
    sim::SimDeviceSet devices_;
    CDeviceChannel channel_;
    CDeviceCommands commands_;
};

// The device key index and key-table row of one emulated key.
inline uint8_t DeviceKeyOfRow(int row) {
    const auto keys = sim::SimKeyboardKeys();
    for (size_t k = 0; k < keys.size(); ++k) {
        if (keys[k].tableRow == row) return static_cast<uint8_t>(k);
    }
    return 0xFF;
}

// A fresh folder removed with its contents.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string name = ::testing::TempDir() + "q208-kbd-XXXXXX";
        path_ = mkdtemp(name.data());
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace q208::test
