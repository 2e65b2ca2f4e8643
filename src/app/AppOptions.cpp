#include "app/AppOptions.h"

#include <charconv>

namespace q208 {

namespace {

constexpr int kMaxSide = 16384;

std::optional<int> ParseSide(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value <= 0 || value > kMaxSide) return std::nullopt;
    return value;
}

}  // namespace

std::optional<UiSize> ParseSize(const std::string& text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return std::nullopt;
    const auto cx = ParseSide(std::string_view(text).substr(0, x));
    const auto cy = ParseSide(std::string_view(text).substr(x + 1));
    if (!cx || !cy) return std::nullopt;
    return UiSize{*cx, *cy};
}

std::optional<AppOptions> AppOptions::Parse(const std::vector<std::string>& args, std::string& error) {
    AppOptions options;
    auto value = [&](size_t& i, const std::string& name) -> std::optional<std::string> {
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return std::nullopt;
        }
        return args[++i];
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.mode = Mode::Help;
            return options;
        }
        std::optional<std::string> v;
        if (arg == "--render") {
            if (!(v = value(i, arg))) return std::nullopt;
            options.mode = Mode::Render;
            options.layout = *v;
        } else if (arg == "--preview") {
            if (!(v = value(i, arg))) return std::nullopt;
            options.mode = Mode::Preview;
            options.layout = *v;
        } else if (arg == "--size") {
            if (!(v = value(i, arg))) return std::nullopt;
            const auto size = ParseSize(*v);
            if (!size) {
                error = "--size wants WIDTHxHEIGHT, not '" + *v + "'";
                return std::nullopt;
            }
            options.size = *size;
        } else if (arg == "--out") {
            if (!(v = value(i, arg))) return std::nullopt;
            options.outFile = *v;
        } else if (arg == "--lang") {
            if (!(v = value(i, arg))) return std::nullopt;
            options.language = *v;
        } else if (arg == "--skin") {
            if (!(v = value(i, arg))) return std::nullopt;
            options.skinFolder = *v;
        } else if (arg == "--simulate" || arg.rfind("--simulate=", 0) == 0) {
            options.simulate = true;
            options.simulateListGiven = arg.size() > 10;
            options.simulateList = options.simulateListGiven ? arg.substr(11) : std::string();
        } else if (arg == "--screenshot") {
            if (!(v = value(i, arg))) return std::nullopt;
            options.screenshotFile = *v;
        } else if (arg == "--exit-after-first-paint") {
            options.exitAfterFirstPaint = true;
        } else if (arg == "--quit-after") {
            if (!(v = value(i, arg))) return std::nullopt;
            const auto seconds = ParseSide(*v);
            if (!seconds) {
                error = "--quit-after wants a number of seconds, not '" + *v + "'";
                return std::nullopt;
            }
            options.quitAfterSeconds = *seconds;
        } else {
            // Desktops and launchers may pass arguments of their own; the program runs
            // without them, and says so.
            options.unknownArguments.push_back(arg);
        }
    }
    const bool renderOnly = options.size.cx > 0 || !options.outFile.empty();
    if (options.mode != Mode::Render && renderOnly) {
        error = "--size and --out go with --render";
        return std::nullopt;
    }
    if (options.mode != Mode::Render && options.mode != Mode::Preview && !options.language.empty()) {
        error = "--lang goes with --render or --preview";
        return std::nullopt;
    }
    if (options.mode == Mode::Render && (options.simulate || !options.screenshotFile.empty())) {
        error = "--simulate and --screenshot run the program, not --render";
        return std::nullopt;
    }
    if (options.mode == Mode::Render && options.outFile.empty()) {
        error = "--render needs --out FILE.png";
        return std::nullopt;
    }
    return options;
}

std::string AppOptions::Usage() {
    return "usage: q208 [--simulate[=LIST]] [--screenshot FILE.png] [--skin DIR]\n"
           "       q208 --render LAYOUT.xml [--size WxH] --out FILE.png [--lang FILE] [--skin DIR]\n"
           "       q208 --preview LAYOUT.xml [--lang FILE] [--skin DIR]\n"
           "  (no option)      run the configurator: one copy per user, lives in the tray\n"
           "  --simulate[=LIST] run over emulated devices instead of the machine's HID devices;\n"
           "                   LIST: keyboard,mouse,mousepad,headset,receiver (empty: none;\n"
           "                   no '=': the default set); change them with 'q208ctl sim'\n"
           "  --screenshot FILE save the main window as PNG once the devices found are read, exit\n"
           "  --exit-after-first-paint  exit once the first frame is painted (measuring)\n"
           "  --quit-after N   exit after N seconds (measuring)\n"
           "  --render LAYOUT  build a layout (file, index name or XML) and save it as a PNG\n"
           "  --preview LAYOUT open a layout in a real window (closebtn or the window manager closes it)\n"
           "  --size WxH       size of the picture (default: the layout's window size)\n"
           "  --out FILE       the PNG to write\n"
           "  --lang FILE      language file for the texts\n"
           "  --skin DIR       skin folder (default: the program's skin)\n"
           "  --help           this text\n";
}

}  // namespace q208
