#include "device/DeviceResult.h"

namespace q208 {
namespace {

struct ResultText {
    int result;
    const char* text;
};

constexpr ResultText kResultTexts[] = {
    {kResultOk, "success"},
    {kResultNoAnswer, "not open or no answer"},
    {kResultWriteFailed, "write failed"},
    {kResultUnreachable, "the receiver cannot reach the device"},
    {kResultStatusFF, "the device answered status 0xFF"},
    {kResultStatusFE, "the device answered status 0xFE"},
    {kResultBadBank, "bad key-map bank"},
};

}  // namespace

const char* DescribeDeviceResult(int result) {
    for (const auto& entry : kResultTexts) {
        if (entry.result == result) return entry.text;
    }
    return "unknown result";
}

}  // namespace q208
