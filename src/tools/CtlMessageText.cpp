#include "tools/CtlMessageText.h"

#include <cstdlib>

#include <pugixml.hpp>

#include "platform/Paths.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"

namespace q208 {

namespace {

constexpr const char* kEnglishFile = "lan_en.xml";
constexpr const char* kChineseFile = "lan_cn.xml";

// The language file of the saved language id, empty when none is saved or known.
std::string SavedLanguageFile(const DataRoot& root) {
    const Json::Value saved = json::Find(ReadJsonValue(SettingsFile()), "LANGUAGE");
    if (!saved.isIntegral()) return {};
    const Json::Value config = ReadJsonValue(root.defaultData / "Language.config");
    const Json::Value& entries = json::Find(config, "Language");
    for (Json::ArrayIndex i = 0; entries.isArray() && i < entries.size(); ++i) {
        if (json::ToInt(json::Find(entries[i], "Language_ID")) == saved.asInt())
            return json::ToString(json::Find(entries[i], "Language_file"));
    }
    return {};
}

std::string LocaleLanguageFile() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return std::string_view(value).rfind("zh", 0) == 0 ? kChineseFile : kEnglishFile;
    }
    return kEnglishFile;
}

std::string TextIn(const std::filesystem::path& file, std::string_view key) {
    pugi::xml_document document;
    if (!document.load_file(file.c_str())) return {};
    for (const pugi::xml_node node : document.document_element().children("Text")) {
        if (key == node.attribute("id").as_string()) return node.attribute("value").as_string();
    }
    return {};
}

}  // namespace

std::string CtlMessageText(std::string_view key) {
    const DataRoot root = FindDataRoot();
    std::string file = SavedLanguageFile(root);
    // A language file name comes from a user-writable file: only a plain name is used.
    if (file.empty() || !IsPlainIdentifier(file)) file = LocaleLanguageFile();
    for (const std::string& candidate : {file, std::string(kEnglishFile)}) {
        if (std::string text = TextIn(root.skin / candidate, key); !text.empty()) return text;
    }
    return std::string(key);
}

}  // namespace q208
