// libFuzzer target for main.ini and the other small settings files: any text loads or is
// refused, and what loads saves and loads again to the same values.
#include <cstdint>
#include <cstdlib>

#include "FuzzFile.h"
#include "app/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    q208::IniFile ini;
    const auto path = q208::fuzz::WriteFuzzFile("main.ini", data, size);
    if (!ini.Load(path)) return 0;
    const auto value = ini.Get("Main", "Language");
    const auto again = q208::fuzz::FuzzFolder() / "again.ini";
    if (!ini.Save(again)) return 0;
    q208::IniFile reread;
    if (!reread.Load(again) || reread.Get("Main", "Language") != value) std::abort();
    return 0;
}
