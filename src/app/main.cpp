#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AppOptions.h"
#include "app/AppStartup.h"
#include "app/CPreviewWnd.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/LayoutRenderer.h"

// Sanitizer builds: the font configuration library keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
// Thread-sanitizer builds: Qt's own threads (the D-Bus connection among them) live in
// libraries built without the sanitizer, whose synchronisation it cannot see; the main
// loop under Qt's event dispatcher is glib's, equally uninstrumented.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\nrace:libQt6DBus.so\nrace:libglib-2.0.so\nrace:libgio-2.0.so\n";
}

namespace {

int Render(const q208::AppOptions& options) {
    // A picture needs no display: the offscreen platform unless one was chosen.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    q208::EnsureQtApplication();
    // Pages name the program's own classes (device pages, key buttons).
    q208::RegisterProgramControls();
    q208::RenderRequest request;
    request.layout = options.layout;
    request.size = options.size;
    request.outFile = options.outFile;
    request.language = options.language;
    request.skinFolder = options.skinFolder;
    const q208::RenderResult result = q208::RenderLayoutToPng(request);
    for (const std::string& problem : result.diagnostics) std::fprintf(stderr, "q208: %s\n", problem.c_str());
    if (!result.ok) {
        std::fprintf(stderr, "q208: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("%s: %dx%d\n", options.outFile.c_str(), result.size.cx, result.size.cy);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = q208::AppOptions::Parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "q208: %s\n%s", error.c_str(), q208::AppOptions::Usage().c_str());
        return 2;
    }
    for (const std::string& unknown : options->unknownArguments) {
        std::fprintf(stderr, "q208: unknown argument '%s', ignored\n", unknown.c_str());
    }
    if (!options->unknownArguments.empty()) std::fprintf(stderr, "%s", q208::AppOptions::Usage().c_str());
    switch (options->mode) {
    case q208::AppOptions::Mode::Help:
        std::printf("%s", q208::AppOptions::Usage().c_str());
        return 0;
    case q208::AppOptions::Mode::Render:
        return Render(*options);
    case q208::AppOptions::Mode::Preview:
        return q208::RunPreview(options->layout, options->language, options->skinFolder);
    case q208::AppOptions::Mode::Run:
        break;
    }
    return q208::RunProgram(*options);
}
