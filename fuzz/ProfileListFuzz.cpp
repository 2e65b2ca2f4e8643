// libFuzzer target for the profile list file: whatever the list holds, loading must not
// crash, and a list that loads has a selection inside it.
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "FuzzFile.h"
#include "profile/ProfileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace fs = std::filesystem;
    const fs::path folder = q208::fuzz::FuzzFolder() / "profiles";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path list = folder / q208::ProfileList::kFileName;
    fs::rename(q208::fuzz::WriteFuzzFile("list", data, size), list);
    q208::ProfileList peek(folder, folder / "absent-default.Json");
    if (peek.Peek() && peek.Count() <= 0) std::abort();
    return 0;
}
