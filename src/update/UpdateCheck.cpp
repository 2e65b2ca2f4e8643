#include "update/UpdateCheck.h"

#include <algorithm>

#include "platform/Event.h"
#include "platform/Trace.h"
#include "update/HttpClient.h"
#include "update/UpdateService.h"
#include "update/UpdateTimeFile.h"

namespace q208 {

UpdateInfo UpdateCheck::LocalItem(const UpdateTarget& target) {
    UpdateInfo item;
    item.name = ItemName(target);
    item.currentVersion = CurrentVersionText(target);
    item.status = kUpdateCurrent;
    return item;
}

int UpdateCheck::FinalState(const std::vector<UpdateInfo>& items, size_t failures) {
    const bool update = std::any_of(items.begin(), items.end(), [](const UpdateInfo& item) {
        return item.status != kUpdateCurrent && item.status != kUpdateLess;
    });
    if (update) return kUpdateStateHaveUpdate;
    if (failures == items.size()) return kUpdateStateUnreachable;
    return kUpdateStateAllCurrent;
}

int UpdateCheck::Run(const std::vector<UpdateTarget>& targets, const UpdateQuery& query, const UpdateTimeFile& time,
                     IUpdateCheckSink& sink, const Event* stop) {
    sink.SetState(kUpdateStateChecking);
    for (const UpdateTarget& target : targets) sink.AddItem(LocalItem(target));
    std::vector<UpdateInfo> items;
    size_t failures = 0;
    for (size_t i = 0; i < targets.size(); ++i) {
        if (stop && stop->IsSet()) return -1;
        const UpdateTarget& target = targets[i];
        UpdateInfo info = query.Query(ServiceKey(target), target.version, target.versionFormat);
        if (stop && stop->IsSet()) return -1;
        const bool reached = info.name != HttpAnswer::kNoLinkServer;
        if (!reached) {
            ++failures;
            info.name.clear();
            Trace("update: %s: the service was not reached (error %d)\n", ServiceKey(target).c_str(),
                  HttpClient::LastError());
        }
        if (info.name.empty()) {
            info = LocalItem(target);
        } else {
            // The installed version as the program itself writes it.
            info.currentVersion = CurrentVersionText(target);
        }
        if (info.status == kUpdateCurrent) info.newVersion.clear();
        sink.UpdateItem(i, info);
        // Only a check that got an answer counts as the last check.
        if (reached) time.StoreToday();
        items.push_back(std::move(info));
    }
    const int state = FinalState(items, failures);
    sink.Finish(state);
    return state;
}

}  // namespace q208
