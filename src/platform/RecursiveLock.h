#pragma once

#include <mutex>

namespace q208 {

// The locks of the device layer may be entered twice by the same thread.
using RecursiveLock = std::recursive_mutex;
using LockGuard = std::lock_guard<std::recursive_mutex>;

}  // namespace q208
