// libFuzzer target for the HID report-descriptor parser: a device may report any bytes as
// its descriptor; parsing must stay in bounds, and what parses must be self-consistent.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "device/HidReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto parsed = q208::HidReportDescriptor::Parse(std::span(data, size), &error);
    if (!parsed) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    if (size > q208::HidReportDescriptor::kMaxDescriptorBytes) std::abort();
    for (int id = 0; id < 256; ++id) {
        const int collection = parsed->CollectionOfInputReport(static_cast<uint8_t>(id));
        if (collection < -1 || collection >= static_cast<int>(parsed->Collections().size())) std::abort();
    }
    return 0;
}
