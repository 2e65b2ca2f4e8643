#pragma once

#include <string>
#include <vector>

#include "ui/UiTypes.h"

namespace q208 {

// What to render: a layout (file, layout name of the index, or XML text) at a size.
struct RenderRequest {
    std::string layout;
    UiSize size;             // 0x0: the layout's own <Window size>
    std::string outFile;     // PNG
    std::string language;    // language file (key -> text); empty: none
    std::string skinFolder;  // empty: the data root's skin folder
};

struct RenderResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> diagnostics;  // problems the builder met (rendering goes on)
    UiSize size;
};

// Builds the layout with the real builder, lays it out and paints it into a PNG, with no
// window: works on Qt's offscreen platform without a display. Needs the Qt application
// (EnsureQtApplication).
RenderResult RenderLayoutToPng(const RenderRequest& request);

}  // namespace q208
