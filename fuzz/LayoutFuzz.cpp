// libFuzzer target for skin layouts through the dialog builder: any XML builds a tree or
// is refused with diagnostics, never crashes or recurses without bound.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/CControlUI.h"
#include "ui/CDialogBuilder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view xml(reinterpret_cast<const char*>(data), size);
    q208::CDialogBuilder builder;
    auto root = builder.CreateFromString(xml);
    if (!root && builder.Diagnostics().empty()) std::abort();  // a refusal is always said
    return 0;
}
