#include "sim/uhid/BridgeVerbs.h"

#include <algorithm>
#include <cstdlib>

#include "sim/SimDeviceSet.h"

namespace q208::sim {
namespace {

std::optional<uint32_t> Count(const std::string& text) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const unsigned long value = std::strtoul(text.c_str(), nullptr, 10);
    if (value == 0 || value > BridgeVerbs::kMaxCount) return std::nullopt;
    return static_cast<uint32_t>(value);
}

std::string Rest(const std::vector<std::string>& words, size_t from) {
    std::string line;
    for (size_t i = from; i < words.size(); ++i) line += (i > from ? " " : "") + words[i];
    return line;
}

}  // namespace

SimVerbResult BridgeVerbs::Run(const std::string& line) {
    const std::vector<std::string> words = SimVerbs::Split(line);
    if (std::optional<SimVerbResult> own = RunOwn(words)) return std::move(*own);
    return SimVerbs(devices_).Run(words);
}

std::optional<SimVerbResult> BridgeVerbs::RunOwn(const std::vector<std::string>& words) {
    if (words.empty() || (words[0] != "after" && words[0] != "repeat")) return std::nullopt;
    const std::optional<uint32_t> count = words.size() > 1 ? Count(words[1]) : std::nullopt;
    if (!count || words.size() < 3) {
        return SimVerbResult{SimVerbs::kBadLine,
                             words[0] + " takes a count of 1 to " + std::to_string(kMaxCount) + " and a verb"};
    }
    const std::string verb = Rest(words, 2);
    if (words[0] == "after") {
        std::lock_guard lock(mutex_);
        waiting_.push_back(Timed{answered_ + *count, verb});
        std::stable_sort(waiting_.begin(), waiting_.end(),
                         [](const Timed& a, const Timed& b) { return a.due < b.due; });
        return SimVerbResult{SimVerbs::kDone, {}};
    }
    SimVerbResult last;
    for (uint32_t i = 0; i < *count; ++i) {
        last = Run(verb);
        if (last.status != SimVerbs::kDone) {
            last.text = "repeat stopped at " + std::to_string(i + 1) + ": " + last.text;
            return last;
        }
    }
    return last;
}

void BridgeVerbs::OnAnswered() {
    std::deque<Timed> due;
    {
        std::lock_guard lock(mutex_);
        ++answered_;
        while (!waiting_.empty() && waiting_.front().due <= answered_) {
            due.push_back(std::move(waiting_.front()));
            waiting_.pop_front();
        }
    }
    // Outside the lock: a timed line may arm another one.
    for (const Timed& timed : due) Run(timed.line);
}

size_t BridgeVerbs::Waiting() const {
    std::lock_guard lock(mutex_);
    return waiting_.size();
}

}  // namespace q208::sim
