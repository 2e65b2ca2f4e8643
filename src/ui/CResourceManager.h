#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace q208 {

// Process-wide skin resources: the layout index (res.xml: name → layout file) and the
// language table (key → text) that resource-text controls show.
//
// res.xml:      <Res><xml name="XML_MAIN" value="main.xml"/>...</Res>
// language file: <Language><Text id="message_text_5" value="..."/>...</Language>
class CResourceManager {
public:
    using TextQuery = std::function<std::optional<std::string>(std::string_view key)>;

    static CResourceManager& GetInstance();

    // Reads the layout index from a file under the resource path. False when missing or
    // malformed (traced); the previous index is kept then.
    bool LoadResource(std::string_view file);
    void AddXml(std::string name, std::string file);
    // The layout file of a name, or empty.
    std::string GetXmlPath(std::string_view name) const;

    void SetLanguage(std::string language);
    std::string GetLanguage() const;
    // Replaces the text table with the file's entries (a path under the resource path or
    // absolute). False, keeping the old table, when the file is missing or malformed.
    bool LoadLanguage(std::string_view file);
    void AddText(std::string key, std::string text);
    // The text of `key`: the table, then the query interface, else the key itself.
    std::string GetText(std::string_view key) const;
    void SetTextQueryInterface(TextQuery query);
    // Shows the current texts in every window of the calling thread.
    void ReloadText();
    // Forgets layouts and texts (at exit).
    void Release();

private:
    CResourceManager() = default;

    mutable std::mutex mutex_;
    std::unordered_map<std::string, std::string> xml_;
    std::unordered_map<std::string, std::string> texts_;
    std::string language_;
    TextQuery query_;
};

}  // namespace q208
