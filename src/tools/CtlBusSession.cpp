#include "tools/CtlBusSession.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace q208 {
namespace {

// A script is a short text; anything much larger is not one.
constexpr std::streamsize kMaxScriptBytes = 1024 * 1024;

}  // namespace

CtlBusSession::~CtlBusSession() {
    if (!devices_) return;
    if (script_) {
        std::string error;
        if (script_->Finish(error) != 0 && scriptErr_) *scriptErr_ << "q208ctl: --sim-script " << error << '\n';
        script_.reset();
    }
    SetDefaultHidBus(previousDefault_);
    devices_.reset();  // unplugs the emulated devices before the bus goes
}

bool CtlBusSession::Start(const CtlOptions& options, std::string& error, std::ostream* out, std::ostream* err) {
    scriptOut_ = out;
    scriptErr_ = err;
    if (!options.simulate) {
        if (!options.simScript.empty()) {
            error = "--sim-script needs --simulate";
            return false;
        }
        bus_ = DefaultHidBus();
        return true;
    }
    const auto kinds = sim::SimDeviceSet::ParseList(options.simulateList, &error);
    if (!kinds) return false;
    auto bus = std::make_shared<SimBus>();
    devices_ = std::make_unique<sim::SimDeviceSet>(bus);
    devices_->PlugAll(*kinds);
    previousDefault_ = DefaultHidBus();
    SetDefaultHidBus(bus);
    bus_ = bus;
    return options.simScript.empty() || StartScript(options.simScript, error);
}

bool CtlBusSession::StartScript(const std::string& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    std::string text(static_cast<std::size_t>(kMaxScriptBytes) + 1, '\0');
    in.read(text.data(), kMaxScriptBytes + 1);
    if (!in.is_open() || in.bad() || in.gcount() > kMaxScriptBytes) {
        error = "--sim-script '" + file + "' cannot be read, or is larger than 1 MiB";
        return false;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    script_ = sim::SimScript::Parse(text, error);
    if (!script_) {
        error = "--sim-script " + error;
        return false;
    }
    if (script_->Start(*devices_, scriptOut_ ? *scriptOut_ : unusedOutput_, error) != 0) {
        error = "--sim-script " + error;
        script_.reset();
        return false;
    }
    return true;
}

}  // namespace q208
