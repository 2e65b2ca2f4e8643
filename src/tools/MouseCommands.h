#pragma once

#include <iosfwd>

#include "tools/CtlCommandTable.h"
#include "tools/CtlOptions.h"

namespace q208 {

// q208ctl's mouse commands, on the cable ("mouse", the default) or through the receiver
// (--device receiver-mouse):
//   mouse                         the active settings block, decoded
//   set-dpi STAGE=DPI[,…]         DPI of stages 0 … 6, converted with the mouse's sensor
//   set-stage N                   the active DPI stage
//   set-polling N                 polling option 0 … 4
//   set-sleep ble1=M ble2=M dev1=M dev2=M   sleep times in minutes (any of them)
//   set-logo N                    logo LED mode
//   set-mouse-lighting KEY=VALUE  as set-lighting (effect, brightness, …, rgb=R,G,B)
//   set-button FUNCTION TYPE,P1,P2  button function 0 … 10 gets the code
//   buttons                       the function-to-button map and each button's code
// The settings commands read the block into the mouse's profile, change the profile, save
// it and write the block from it, as the mouse page does.
class MouseCommands {
public:
    static void AddTo(CtlCommandTable& table);

    static int Show(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetDpi(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetStage(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetPolling(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetSleep(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetLogo(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetLighting(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int SetButton(const CtlOptions& options, std::ostream& out, std::ostream& err);
    static int Buttons(const CtlOptions& options, std::ostream& out, std::ostream& err);
};

}  // namespace q208
