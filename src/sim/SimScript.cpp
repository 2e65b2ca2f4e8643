#include "sim/SimScript.h"

#include <ostream>
#include <sstream>

#include "sim/SimDeviceSet.h"

namespace q208::sim {
namespace {

constexpr std::string_view kEndPrefix = "@end";

bool ParseCount(std::string_view digits, uint64_t& count) {
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    count = std::stoull(std::string(digits));
    return true;
}

}  // namespace

std::unique_ptr<SimScript> SimScript::Parse(std::string_view text, std::string& error) {
    auto script = std::make_unique<SimScript>();
    std::istringstream in{std::string(text)};
    int number = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++number;
        const std::vector<std::string> words = SimVerbs::Split(raw);
        if (words.empty() || words[0][0] == '#') continue;
        Line line{number, 0, {}};
        std::size_t first = 0;
        if (words[0][0] == '@') {
            const bool atEnd = words[0] == kEndPrefix;
            if (!atEnd && !ParseCount(std::string_view(words[0]).substr(1), line.after)) {
                error = "line " + std::to_string(number) + ": '" + words[0] + "' is neither @N nor @end";
                return nullptr;
            }
            if (atEnd) line.after = kAtEnd;
            first = 1;
        }
        for (std::size_t i = first; i < words.size(); ++i) line.verb += (i > first ? " " : "") + words[i];
        if (line.verb.empty()) {
            error = "line " + std::to_string(number) + ": no verb after '" + words[0] + "'";
            return nullptr;
        }
        script->lines_.push_back(std::move(line));
    }
    return script;
}

SimScript::~SimScript() {
    if (devices_) devices_->SetOutputObserver({});
}

int SimScript::RunLine(const Line& line, std::string& error) {
    const SimVerbResult result = SimVerbs(*devices_).Run(line.verb);
    if (result.status != SimVerbs::kDone) {
        error = "line " + std::to_string(line.number) + ": " + line.verb + ": " + result.text;
        return result.status;
    }
    if (out_) *out_ << result.text;
    return 0;
}

int SimScript::Start(SimDeviceSet& devices, std::ostream& out, std::string& error) {
    devices_ = &devices;
    out_ = &out;
    std::lock_guard lock(mutex_);
    while (!lines_.empty() && lines_.front().after == 0) {
        const Line line = lines_.front();
        lines_.pop_front();
        if (const int status = RunLine(line, error)) return status;
    }
    if (!lines_.empty()) devices.SetOutputObserver([this](SimDeviceKind) { OnOutputReport(); });
    return 0;
}

void SimScript::OnOutputReport() {
    std::lock_guard lock(mutex_);
    ++reports_;
    while (!lines_.empty() && lines_.front().after != kAtEnd && lines_.front().after <= reports_) {
        const Line line = lines_.front();
        lines_.pop_front();
        std::string error;
        const int status = RunLine(line, error);
        if (status && !lateStatus_) {
            lateStatus_ = status;
            lateError_ = error;
        }
    }
}

int SimScript::Finish(std::string& error) {
    if (!devices_) return 0;
    devices_->SetOutputObserver({});
    std::lock_guard lock(mutex_);
    if (lateStatus_) {
        error = lateError_;
        return lateStatus_;
    }
    int status = 0;
    while (!lines_.empty()) {
        const Line line = lines_.front();
        lines_.pop_front();
        if (line.after != kAtEnd) {
            error = "line " + std::to_string(line.number) + ": never reached (" + std::to_string(reports_) +
                    " reports were sent)";
            status = SimVerbs::kRefused;
            continue;
        }
        if (const int failed = RunLine(line, error)) return failed;
    }
    return status;
}

}  // namespace q208::sim
