#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "device/CDeviceChannel.h"

namespace q208 {

// What the receiver poll does to its owner (the main window), in the order it does it.
class IReceiverLinkOwner {
public:
    virtual ~IReceiverLinkOwner() = default;
    virtual void AttachSlot(size_t slot) = 0;
    virtual void DetachSlot(size_t slot) = 0;
    // Closes and drops the device object that belongs to `slot`, if there is one.
    virtual void RemoveDeviceObjectOf(size_t slot) = 0;
    // Marks a slot watched by the removal check.
    virtual void SetConnected(size_t slot) = 0;
    // Clears the via-receiver flag of the first device object of `kind` (keyboard or mouse).
    virtual void ClearViaReceiver(uint16_t kind) = 0;
};

// The link state the receiver reports for the keyboard and the mouse behind it.
struct ReceiverLinkState {
    static constexpr uint8_t kDown = 0x00;
    static constexpr uint8_t kUp = 0xFF;
    uint8_t keyboard = kDown;
    uint8_t mouse = kDown;
};

// Whether a keyboard or mouse is attached on its own cable.
struct CablePresence {
    bool keyboard = false;
    bool mouse = false;
};

// Turns one receiver answer into attaches and detaches of the slots behind the receiver.
// It keeps whether the keyboard and the mouse are linked (both start unlinked), so a link
// that comes up attaches once and a link that goes down detaches once.
class ReceiverLinkPoller {
public:
    explicit ReceiverLinkPoller(IReceiverLinkOwner& owner) : owner_(owner) {}

    void Apply(ReceiverLinkState state, CablePresence present);

    // Both unlinked again: the receiver went away.
    void Reset() { keyboardLinked_ = mouseLinked_ = false; }

    bool KeyboardLinked() const { return keyboardLinked_; }
    bool MouseLinked() const { return mouseLinked_; }

    // Opens the channel's receiver device on `receiverPath` under its I/O lock, marks the
    // channel open and on the receiver, and asks the receiver for its links. A path that
    // cannot be opened, or a query that fails, reads as nothing linked.
    static ReceiverLinkState Query(CDeviceChannel& channel, const std::string& receiverPath);

private:
    void DetachUnpluggedSlots(ReceiverLinkState state, CablePresence present);
    void FollowKeyboardLink(uint8_t keyboard, CablePresence present);
    void FollowMouseLink(uint8_t mouse, CablePresence present);
    void WatchReceiver();

    IReceiverLinkOwner& owner_;
    bool keyboardLinked_ = false;
    bool mouseLinked_ = false;
};

}  // namespace q208
