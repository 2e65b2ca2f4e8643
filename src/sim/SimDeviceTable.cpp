#include "sim/SimDeviceTable.h"

namespace q208::sim {
namespace {

constexpr uint16_t kPlatformVendor = 0x4E5B;
constexpr uint16_t kHeadsetVendor = 0x2A91;

constexpr uint8_t kReportMain = 1;  // keyboard keys or pointer
constexpr uint8_t kReportSystem = 2;
constexpr uint8_t kReportConsumer = 3;
constexpr uint8_t kReportVendor = 4;

constexpr SimCollection kBootKeyboard[] = {{0, 0x0001, 0x06, 0, false}};
constexpr SimCollection kCommandInterface[] = {
    {1, 0x0001, 0x06, kReportMain, false},
    {2, 0x0001, 0x80, kReportSystem, false},
    {3, 0x000C, 0x01, kReportConsumer, false},
    {4, 0xFF1C, 0x92, kReportVendor, true},
};
constexpr SimCollection kMousePointer[] = {
    {1, 0x0001, 0x02, kReportMain, false},
    {2, 0x0001, 0x80, kReportSystem, false},
    {3, 0x000C, 0x01, kReportConsumer, false},
};
constexpr SimCollection kMouseCommand[] = {
    {1, 0x0001, 0x06, kReportMain, false},
    {2, 0xFF1C, 0x92, kReportVendor, true},
};
constexpr SimCollection kReceiverPointer[] = {{0, 0x0001, 0x02, kReportMain, false}};
// The headset's only collection holds the media keys (id 1) and the vendor reports (id 4).
constexpr SimCollection kHeadset[] = {{0, 0x000C, 0x01, kReportVendor, true}};

constexpr SimInterface kKeyboardInterfaces[] = {{0, kBootKeyboard}, {1, kCommandInterface}};
constexpr SimInterface kMouseInterfaces[] = {{0, kMousePointer}, {1, kMouseCommand}};
constexpr SimInterface kMousePadInterfaces[] = {{1, kCommandInterface}};
constexpr SimInterface kHeadsetInterfaces[] = {{3, kHeadset}};
constexpr SimInterface kReceiverInterfaces[] = {
    {0, kBootKeyboard}, {1, kCommandInterface}, {2, kReceiverPointer}};

constexpr SimDeviceEntry kTable[] = {
    {SimDeviceKind::Keyboard, "keyboard", 1, kPlatformVendor, 0x7C13, kKeyboardInterfaces, 1, 4},
    {SimDeviceKind::Mouse, "mouse", 2, kPlatformVendor, 0x7C11, kMouseInterfaces, 1, 2},
    {SimDeviceKind::MousePad, "mouse pad", 3, kPlatformVendor, 0x5D02, kMousePadInterfaces, 1, 4},
    {SimDeviceKind::Headset, "headset", 7, kHeadsetVendor, 0x3E48, kHeadsetInterfaces, 3, 0},
    {SimDeviceKind::Receiver, "receiver", 10, kPlatformVendor, 0x7C12, kReceiverInterfaces, 1, 4},
};

}  // namespace

std::span<const SimDeviceEntry> SimDeviceTable() { return kTable; }

const SimDeviceEntry& SimDeviceEntryFor(SimDeviceKind kind) {
    for (const SimDeviceEntry& entry : kTable) {
        if (entry.kind == kind) {
            return entry;
        }
    }
    return kTable[0];  // every kind has a row; kept for the compiler
}

}  // namespace q208::sim
