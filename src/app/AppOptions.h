#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/UiTypes.h"

namespace q208 {

// The program's command line. Without arguments the program runs normally; "--render"
// saves a layout as a PNG and exits; "--simulate[=LIST]" runs over emulated devices.
class AppOptions {
public:
    enum class Mode { Run, Render, Preview, Help };

    // Parses argv[1..]; nullopt with `error` set on a bad command line.
    static std::optional<AppOptions> Parse(const std::vector<std::string>& args, std::string& error);
    static std::string Usage();

    Mode mode = Mode::Run;
    std::string layout;
    UiSize size;  // 0x0: the layout's own size
    std::string outFile;
    std::string language;
    std::string skinFolder;
    // Runs over emulated devices: the list of kinds ("" = the default set).
    bool simulate = false;
    std::string simulateList;
    bool simulateListGiven = false;  // "--simulate=" with an empty list plugs nothing
    // Saves the main window as PNG after the first detection pass and exits.
    std::string screenshotFile;
    // Measuring aids: exit after the first painted frame, or after a number of seconds.
    bool exitAfterFirstPaint = false;
    int quitAfterSeconds = 0;
    // Arguments the program does not know; they are reported and left aside.
    std::vector<std::string> unknownArguments;
};

// "800x572" as a size; nullopt unless both sides are positive numbers.
std::optional<UiSize> ParseSize(const std::string& text);

}  // namespace q208
