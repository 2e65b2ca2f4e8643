#pragma once

namespace q208 {

// Results of a device command, shared by the channel and the command set.
enum DeviceResult : int {
    kResultOk = 1,
    kResultNoAnswer = 0,        // channel not open, read failed or timed out
    kResultWriteFailed = -1,
    kResultUnreachable = -101,  // the receiver cannot reach the addressed device
    kResultStatusFF = -102,
    kResultStatusFE = -103,
    kResultBadBank = -201,      // key-map write with a bank other than 0
};

// A short English meaning for diagnostics ("no answer", "write failed", ...).
const char* DescribeDeviceResult(int result);

}  // namespace q208
