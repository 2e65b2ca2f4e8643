#include "sim/SimReceiver.h"

namespace q208::sim {

SimReceiver::SimReceiver(std::shared_ptr<SimFirmware> keyboard, std::shared_ptr<SimFirmware> mouse)
    : SimFirmware(SimDeviceKind::Receiver) {
    links_[0].target = kTargetKeyboard;
    links_[0].device = std::move(keyboard);
    links_[1].target = kTargetMouse;
    links_[1].device = std::move(mouse);
    SetLinked(SimDeviceKind::Keyboard, true);
    SetLinked(SimDeviceKind::Mouse, true);
}

SimReceiver::~SimReceiver() {
    // Detach the forwarders first: they point back at this receiver.
    SetLinked(SimDeviceKind::Keyboard, false);
    SetLinked(SimDeviceKind::Mouse, false);
}

void SimReceiver::SetLinked(SimDeviceKind kind, bool linked) {
    std::lock_guard lock(linkMutex_);
    const int index = LinkIndex(kind);
    if (index < 0 || !links_[index].device) {
        return;
    }
    Link* link = &links_[index];
    if (linked) {
        link->device->SetForwarder([this](std::span<const uint8_t> report) { QueueReport(report); });
    } else {
        link->device->SetForwarder(nullptr);
    }
    link->linked.store(linked);
}

bool SimReceiver::IsLinked(SimDeviceKind kind) const {
    const int index = LinkIndex(kind);
    return index >= 0 && links_[index].linked.load();
}

std::vector<SimAnswer> SimReceiver::Respond(const Report& request) {
    Report routed = request;
    const uint8_t target = routed[ReportByte::Target];
    routed[ReportByte::Target] = 0;
    const bool linkLost = faults().linkLoss.Take();

    if (routed[ReportByte::Command] == Command::QueryLink) {
        if (!ChecksumMatches(routed)) {
            return RejectChecksum(routed);
        }
        return {AnswerQueryLink(routed, linkLost)};
    }
    Link* link = LinkForTarget(target);
    if (link == nullptr || !link->linked.load() || linkLost) {
        return {AnswerUnreachable(routed[ReportByte::Command])};
    }
    return link->device->HandleOutputReport(routed);
}

SimAnswer SimReceiver::AnswerQueryLink(const Report& request, bool linkLost) const {
    Report answer = MakeAnswer(request, kStatusOk);
    const bool keyboard = !linkLost && IsLinked(SimDeviceKind::Keyboard);
    const bool mouse = !linkLost && IsLinked(SimDeviceKind::Mouse);
    answer[kKeyboardLinkByte] = keyboard ? kLinked : kNotLinked;
    answer[kMouseLinkByte] = mouse ? kLinked : kNotLinked;
    StoreChecksum(answer);
    return SimAnswer{answer};
}

SimAnswer SimReceiver::AnswerUnreachable(uint8_t command) {
    return SimAnswer{MakeEcho(command == Command::StreamLightFrame ? kUnreachableFast : kUnreachable)};
}

SimReceiver::Link* SimReceiver::LinkForTarget(uint8_t target) {
    for (Link& link : links_) {
        if (link.target == target && link.device) {
            return &link;
        }
    }
    return nullptr;
}

int SimReceiver::LinkIndex(SimDeviceKind kind) {
    switch (kind) {
        case SimDeviceKind::Keyboard:
            return 0;
        case SimDeviceKind::Mouse:
            return 1;
        default:
            return -1;
    }
}

}  // namespace q208::sim
