#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "sim/SimFirmware.h"

namespace q208::sim {

// The emulated 2.4 GHz receiver. It reads the target byte 32 of each command (0 keyboard,
// 2 mouse), zeroes it (the host writes it after the checksum) and hands the command to the
// device behind it; QueryLink (0xAA) it answers itself with the keyboard's link state in
// byte 8 and the mouse's in byte 9 (0xFF linked, 0 not). A command for a device that is not
// linked gets an answer with 0xFF in byte 3, or 0xAA for the lighting stream (0x12).
// While a device is linked its spontaneous reports come out of the receiver.
class SimReceiver : public SimFirmware {
public:
    // Either device may be null (nothing paired). Both start linked when present.
    SimReceiver(std::shared_ptr<SimFirmware> keyboard, std::shared_ptr<SimFirmware> mouse);
    ~SimReceiver() override;

    // kind is Keyboard or Mouse; other kinds are ignored. Linking needs a paired device.
    void SetLinked(SimDeviceKind kind, bool linked);
    bool IsLinked(SimDeviceKind kind) const;

    std::shared_ptr<SimFirmware> Keyboard() const { return links_[0].device; }
    std::shared_ptr<SimFirmware> Mouse() const { return links_[1].device; }

protected:
    std::vector<SimAnswer> Respond(const Report& request) override;

private:
    struct Link {
        uint8_t target;
        std::shared_ptr<SimFirmware> device;
        std::atomic<bool> linked{false};
    };

    Link* LinkForTarget(uint8_t target);
    static int LinkIndex(SimDeviceKind kind);  // -1 for kinds a receiver does not carry
    SimAnswer AnswerQueryLink(const Report& request, bool linkLost) const;
    static SimAnswer AnswerUnreachable(uint8_t command);

    std::mutex linkMutex_;  // serialises SetLinked
    std::array<Link, 2> links_;
};

}  // namespace q208::sim
