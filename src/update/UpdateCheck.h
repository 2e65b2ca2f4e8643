#pragma once

#include <cstddef>
#include <vector>

#include "update/UpdateTypes.h"

namespace q208 {

class Event;
class UpdateQuery;
class UpdateTimeFile;

// States of the settings window's update area.
enum UpdateWindowState : int {
    kUpdateStateChecking = 0,
    kUpdateStateHaveUpdate = 1,
    kUpdateStateUnreachable = 2,
    kUpdateStateUpdating = 3,
    kUpdateStateAllCurrent = 4,
};

// Where a check pass reports, in order, from the thread it runs on.
class IUpdateCheckSink {
public:
    virtual ~IUpdateCheckSink() = default;
    virtual void SetState(int state) = 0;
    // Items are numbered in the order they are added.
    virtual void AddItem(const UpdateInfo& item) = 0;
    virtual void UpdateItem(size_t index, const UpdateInfo& info) = 0;
    // The pass is over; `state` is what the window shows now.
    virtual void Finish(int state) = 0;
};

// One pass over the targets: every target becomes an item shown as current, then each is
// asked about in turn and its item updated with the answer. A target whose request never
// reached the service keeps its own version texts and counts as a failure.
class UpdateCheck {
public:
    // Returns the final state, or -1 when `stop` ended the pass early (nothing finished).
    static int Run(const std::vector<UpdateTarget>& targets, const UpdateQuery& query, const UpdateTimeFile& time,
                   IUpdateCheckSink& sink, const Event* stop);
    // The item shown for a target before (or without) an answer.
    static UpdateInfo LocalItem(const UpdateTarget& target);
    // 1 when an item has an update, else 2 when every target failed, else 4.
    static int FinalState(const std::vector<UpdateInfo>& items, size_t failures);
};

}  // namespace q208
