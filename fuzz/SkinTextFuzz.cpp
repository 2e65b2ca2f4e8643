// libFuzzer target for the language files and the layout index: either file may be edited
// by hand, and loading a bad one must keep the previous table.
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "ui/CResourceManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& resources = q208::CResourceManager::GetInstance();
    resources.Release();
    resources.AddText("fuzz_known", "kept");
    const auto path = q208::fuzz::WriteFuzzFile("lan.xml", data, size);
    if (!resources.LoadLanguage(path.string()) && resources.GetText("fuzz_known") != "kept") std::abort();
    (void)resources.LoadResource(path.string());
    (void)resources.GetXmlPath("XML_MAIN");
    return 0;
}
