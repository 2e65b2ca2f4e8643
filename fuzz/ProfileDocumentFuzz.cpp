// libFuzzer target for JSON documents as the profile files are read: the text parser with
// its depth bound, then the profile-document reader and the section accessors on the result.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzFile.h"
#include "profile/JsonFile.h"
#include "profile/ProfileDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)q208::ParseJsonText(text);

    const auto path = q208::fuzz::WriteFuzzFile("profile.Json", data, size);
    q208::ProfileDocumentRead read = q208::ReadProfileDocument(path, false);
    if (!read.document.isNull()) {
        if (!read.document.isObject()) std::abort();  // only a document that can take sections
        for (int index = 0; index < 8; ++index) {
            Json::Value copy = q208::CopySection(read.document, index);
            if (!copy.isNull() && !copy.isObject()) std::abort();
        }
        if (!q208::PutSection(read.document, 3, Json::Value(Json::objectValue))) std::abort();
        if (!q208::CopySection(read.document, 3).isObject()) std::abort();
    }
    return 0;
}
