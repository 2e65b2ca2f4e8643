#include "device/ReceiverLinkPoller.h"

#include <span>

#include "device/CDeviceCommands.h"
#include "device/DeviceSlot.h"
#include "platform/Trace.h"

namespace q208 {
namespace {

constexpr size_t kSlotKeyboardSecondary = kSlotKeyboard + 1;
constexpr size_t kSlotReceiverKeyboardSecondary = kSlotReceiverKeyboard + 1;
constexpr size_t kSlotReceiverSecondary = kSlotReceiver + 1;
constexpr size_t kSlotReceiverMouseSecondary = kSlotReceiverMouse + 1;

}  // namespace

void ReceiverLinkPoller::Apply(ReceiverLinkState state, CablePresence present) {
    DetachUnpluggedSlots(state, present);
    FollowKeyboardLink(state.keyboard, present);
    FollowMouseLink(state.mouse, present);
    if (state.keyboard == ReceiverLinkState::kDown) owner_.ClearViaReceiver(kKindKeyboard);
    if (state.mouse == ReceiverLinkState::kDown) owner_.ClearViaReceiver(kKindMouse);
}

void ReceiverLinkPoller::DetachUnpluggedSlots(ReceiverLinkState state, CablePresence present) {
    if (state.keyboard == ReceiverLinkState::kDown && !present.keyboard) owner_.DetachSlot(kSlotReceiverKeyboard);
    if (state.mouse == ReceiverLinkState::kDown && !present.mouse) owner_.DetachSlot(kSlotReceiverMouse);
}

void ReceiverLinkPoller::FollowKeyboardLink(uint8_t keyboard, CablePresence present) {
    if (keyboard == ReceiverLinkState::kUp && !keyboardLinked_) {
        keyboardLinked_ = true;
        WatchReceiver();
        owner_.AttachSlot(kSlotReceiverKeyboard);
        owner_.AttachSlot(kSlotReceiverKeyboardSecondary);
    } else if (keyboard == ReceiverLinkState::kDown && keyboardLinked_) {
        keyboardLinked_ = false;
        owner_.RemoveDeviceObjectOf(kSlotReceiverKeyboard);
        owner_.DetachSlot(kSlotReceiverKeyboard);
        // The keyboard on its own cable takes over.
        if (present.keyboard) {
            owner_.AttachSlot(kSlotKeyboard);
            owner_.AttachSlot(kSlotKeyboardSecondary);
        }
    }
}

void ReceiverLinkPoller::FollowMouseLink(uint8_t mouse, CablePresence present) {
    if (mouse == ReceiverLinkState::kUp && !mouseLinked_) {
        mouseLinked_ = true;
        WatchReceiver();
        owner_.AttachSlot(kSlotReceiverMouse);
        owner_.AttachSlot(kSlotReceiverMouseSecondary);
    } else if (mouse == ReceiverLinkState::kDown && mouseLinked_) {
        mouseLinked_ = false;
        owner_.RemoveDeviceObjectOf(kSlotReceiverMouse);
        if (!present.mouse) owner_.DetachSlot(kSlotReceiverMouse);
    }
}

// From now on the removal check notices when the receiver is unplugged.
void ReceiverLinkPoller::WatchReceiver() {
    owner_.SetConnected(kSlotReceiver);
    owner_.SetConnected(kSlotReceiverSecondary);
}

ReceiverLinkState ReceiverLinkPoller::Query(CDeviceChannel& channel, const std::string& receiverPath) {
    {
        LockGuard io(channel.IoLock());
        CHidDevice& receiver = channel.ReceiverDevice();
        const bool open = receiver.IsOpen() && receiver.DevicePath() == receiverPath;
        if (!open && !receiver.Open(receiverPath, true, true, true, false)) {
            Trace("receiver poll: cannot open %s\n", receiverPath.c_str());
            return {};
        }
        channel.SetLinkType(CDeviceChannel::kLinkReceiver);
        channel.SetOpen(true);
    }
    uint8_t links[2] = {ReceiverLinkState::kDown, ReceiverLinkState::kDown};
    CDeviceCommands(channel).QueryLink(std::span<uint8_t, 2>(links));
    return {links[0], links[1]};
}

}  // namespace q208
