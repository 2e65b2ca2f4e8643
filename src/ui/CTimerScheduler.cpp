#include "ui/CTimerScheduler.h"

#include <algorithm>

namespace q208 {

void CTimerScheduler::Set(CPaintManagerUI* manager, CControlUI* control, UINT id, UINT intervalMs, uint64_t now) {
    const UINT interval = std::max<UINT>(1, intervalMs);
    for (auto& t : timers_) {
        if (t.manager == manager && t.control == control && t.id == id) {
            t.interval = interval;
            t.deadline = now + interval;
            t.order = nextOrder_++;
            return;
        }
    }
    timers_.push_back({manager, control, id, interval, now + interval, nextOrder_++});
}

bool CTimerScheduler::Kill(CPaintManagerUI* manager, CControlUI* control, UINT id) {
    const auto before = timers_.size();
    std::erase_if(timers_, [&](const Timer& t) { return t.manager == manager && t.control == control && t.id == id; });
    return timers_.size() != before;
}

void CTimerScheduler::KillControl(CPaintManagerUI* manager, CControlUI* control) {
    std::erase_if(timers_, [&](const Timer& t) { return t.manager == manager && t.control == control; });
}

void CTimerScheduler::KillManager(CPaintManagerUI* manager) {
    std::erase_if(timers_, [&](const Timer& t) { return t.manager == manager; });
}

bool CTimerScheduler::Has(const CPaintManagerUI* manager, const CControlUI* control, UINT id) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) {
        return t.manager == manager && t.control == control && t.id == id;
    });
}

std::optional<uint64_t> CTimerScheduler::NextDeadline() const {
    std::optional<uint64_t> next;
    for (const auto& t : timers_) {
        if (!next || t.deadline < *next) next = t.deadline;
    }
    return next;
}

std::optional<CTimerScheduler::Expiry> CTimerScheduler::TakeDue(uint64_t now) {
    Timer* due = nullptr;
    for (auto& t : timers_) {
        if (t.deadline > now) continue;
        if (!due || t.deadline < due->deadline || (t.deadline == due->deadline && t.order < due->order)) due = &t;
    }
    if (!due) return std::nullopt;
    const uint64_t next = due->deadline + due->interval;
    due->deadline = next > now ? next : now + due->interval;
    due->order = nextOrder_++;
    return Expiry{due->manager, due->control, due->id};
}

}  // namespace q208
