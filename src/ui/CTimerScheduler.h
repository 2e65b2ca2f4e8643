#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/UiTypes.h"

namespace q208 {

class CControlUI;
class CPaintManagerUI;

// The control timers of one UI thread. A timer repeats every interval until killed; when
// the thread was busy past several intervals it fires once and is rescheduled from now.
// Timers due at the same time fire in the order they were set.
class CTimerScheduler {
public:
    struct Expiry {
        CPaintManagerUI* manager;
        CControlUI* control;
        UINT id;
    };

    // Sets or re-arms (control, id); an interval of 0 counts as 1 ms.
    void Set(CPaintManagerUI* manager, CControlUI* control, UINT id, UINT intervalMs, uint64_t now);
    bool Kill(CPaintManagerUI* manager, CControlUI* control, UINT id);
    void KillControl(CPaintManagerUI* manager, CControlUI* control);
    void KillManager(CPaintManagerUI* manager);
    bool Has(const CPaintManagerUI* manager, const CControlUI* control, UINT id) const;
    size_t Count() const { return timers_.size(); }

    std::optional<uint64_t> NextDeadline() const;
    // Takes the earliest timer due at `now`, reschedules it, and returns what to fire.
    std::optional<Expiry> TakeDue(uint64_t now);

private:
    struct Timer {
        CPaintManagerUI* manager;
        CControlUI* control;
        UINT id;
        UINT interval;
        uint64_t deadline;
        uint64_t order;
    };
    std::vector<Timer> timers_;
    uint64_t nextOrder_ = 0;
};

}  // namespace q208
