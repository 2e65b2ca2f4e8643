#pragma once

#include "app/AppOptions.h"

namespace q208 {

// Runs the configurator: private fonts, the shared messages, one copy per user (a second
// copy brings the first to the front and ends), the skin and the control classes, the main
// window until it is destroyed, then everything torn down in reverse order. The exit code.
int RunProgram(const AppOptions& options);

// Makes every control class of the program known to the control factory.
void RegisterProgramControls();

}  // namespace q208
