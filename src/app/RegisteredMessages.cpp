#include "app/RegisteredMessages.h"

#include <algorithm>
#include <cctype>

#include "platform/MessageEndpoint.h"
#include "platform/Trace.h"
#include "ui/UiMessaging.h"

namespace q208 {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void RegisteredMessages::RegisterAll() {
    for (const RegisteredMessageName& entry : kRegisteredMessageNames) RegisterWindowMessage(entry.name);
}

UINT RegisteredMessages::IdOf(std::string_view name) { return RegisterWindowMessage(name); }

UINT RegisteredMessages::Companion(int index) {
    if (index < 0 || index >= static_cast<int>(kCompanionMessageNames.size())) return 0;
    return RegisterWindowMessage(kCompanionMessageNames[static_cast<size_t>(index)]);
}

const RegisteredMessageName* RegisteredMessages::Find(std::string_view name) {
    if (name.empty()) return nullptr;
    const auto it = std::find_if(kRegisteredMessageNames.begin(), kRegisteredMessageNames.end(),
                                 [&](const RegisteredMessageName& entry) { return EqualNoCase(entry.name, name); });
    return it == kRegisteredMessageNames.end() ? nullptr : &*it;
}

bool RegisteredMessages::IsAcceptedFromOtherPrograms(std::string_view name) {
    const RegisteredMessageName* entry = Find(name);
    return entry != nullptr && entry->fromOtherPrograms;
}

std::optional<UINT> RegisteredMessages::MessageFromOtherProgram(const EndpointMessage& message) {
    if (message.isCopyData) return std::nullopt;
    if (!IsAcceptedFromOtherPrograms(message.name)) {
        Trace("registered message \"%.80s\" from another program refused", message.name.c_str());
        return std::nullopt;
    }
    return RegisterWindowMessage(message.name);
}

}  // namespace q208
