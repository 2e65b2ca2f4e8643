#include "platform/TickCount.h"

#include <chrono>

namespace q208 {

uint64_t TickCount64() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t TickCount() { return static_cast<uint32_t>(TickCount64()); }

}  // namespace q208
