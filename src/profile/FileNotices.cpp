#include "profile/FileNotices.h"

#include <mutex>
#include <set>
#include <utility>

#include "platform/Trace.h"

namespace q208 {

namespace {

struct State {
    std::mutex mutex;
    FileNotices::Listener listener;
    std::vector<FileNotice> pending;
    std::set<std::pair<std::string, FileNoticeKind>> told;
};

State& Shared() {
    static State state;
    return state;
}

}  // namespace

void FileNotices::Note(FileNotice notice) {
    State& state = Shared();
    Listener listener;
    {
        const std::lock_guard lock(state.mutex);
        if (!state.told.emplace(notice.file.string(), notice.kind).second) return;
        if (!state.listener) {
            state.pending.push_back(std::move(notice));
            return;
        }
        listener = state.listener;
    }
    Trace("file notice: %s (%s)", notice.file.c_str(), notice.detail.c_str());
    listener(notice);  // outside the lock: a listener may note again or set another
}

FileNotices::Listener FileNotices::SetListener(Listener listener) {
    State& state = Shared();
    std::vector<FileNotice> pending;
    Listener previous;
    {
        const std::lock_guard lock(state.mutex);
        previous = std::exchange(state.listener, listener);
        if (listener) pending.swap(state.pending);
    }
    for (const FileNotice& notice : pending) listener(notice);
    return previous;
}

void FileNotices::Reset() {
    State& state = Shared();
    const std::lock_guard lock(state.mutex);
    state.pending.clear();
    state.told.clear();
}

}  // namespace q208
