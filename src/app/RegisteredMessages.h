#pragma once

#include <optional>
#include <string_view>

#include "platform/RegisteredMessageNames.h"
#include "ui/UiTypes.h"

namespace q208 {

struct EndpointMessage;

// The process's numbers for the registered names. Registering is idempotent: every module
// that needs a number may ask for it, equal names give equal numbers.
class RegisteredMessages {
public:
    // Registers every name of the vocabulary with the window layer (at start-up).
    static void RegisterAll();
    // The number of a name (registering it when needed).
    static UINT IdOf(std::string_view name);
    static UINT Companion(int index);

    // The table entry of a name, compared without regard to case as registration does.
    static const RegisteredMessageName* Find(std::string_view name);
    // True when another program may send `name` to us through the message endpoint.
    static bool IsAcceptedFromOtherPrograms(std::string_view name);
    // The window message a frame from another program becomes, or nothing when the name
    // is not one another program may send (traced).
    static std::optional<UINT> MessageFromOtherProgram(const EndpointMessage& message);
};

}  // namespace q208
