#include "ui/CResourceManager.h"

#include <pugixml.hpp>

#include "platform/Trace.h"
#include "ui/CPaintManagerUI.h"

namespace q208 {

CResourceManager& CResourceManager::GetInstance() {
    static CResourceManager instance;
    return instance;
}

bool CResourceManager::LoadResource(std::string_view file) {
    const std::string path = CPaintManagerUI::ResolveResource(file);
    pugi::xml_document doc;
    const auto result = doc.load_file(path.c_str());
    if (!result) {
        Trace("res: cannot read %s: %s", path.c_str(), result.description());
        return false;
    }
    std::unordered_map<std::string, std::string> index;
    for (auto node : doc.document_element().children()) {
        const std::string name = node.attribute("name").as_string();
        const std::string value = node.attribute("value").as_string();
        if (name.empty() || value.empty()) {
            Trace("res: %s: entry without name or value at offset %td", path.c_str(), node.offset_debug());
            continue;
        }
        index[name] = value;
    }
    std::lock_guard lock(mutex_);
    xml_ = std::move(index);
    return true;
}

void CResourceManager::AddXml(std::string name, std::string file) {
    std::lock_guard lock(mutex_);
    xml_[std::move(name)] = std::move(file);
}

std::string CResourceManager::GetXmlPath(std::string_view name) const {
    std::lock_guard lock(mutex_);
    auto it = xml_.find(std::string(name));
    return it == xml_.end() ? std::string() : it->second;
}

void CResourceManager::SetLanguage(std::string language) {
    std::lock_guard lock(mutex_);
    language_ = std::move(language);
}

std::string CResourceManager::GetLanguage() const {
    std::lock_guard lock(mutex_);
    return language_;
}

bool CResourceManager::LoadLanguage(std::string_view file) {
    const std::string path = CPaintManagerUI::ResolveResource(file);
    pugi::xml_document doc;
    const auto result = doc.load_file(path.c_str());
    if (!result) {
        Trace("language: cannot read %s: %s", path.c_str(), result.description());
        return false;
    }
    std::unordered_map<std::string, std::string> table;
    for (auto node : doc.document_element().children("Text")) {
        const std::string id = node.attribute("id").as_string();
        if (id.empty()) continue;
        table[id] = node.attribute("value").as_string();
    }
    std::lock_guard lock(mutex_);
    texts_ = std::move(table);
    return true;
}

void CResourceManager::AddText(std::string key, std::string text) {
    std::lock_guard lock(mutex_);
    texts_[std::move(key)] = std::move(text);
}

std::string CResourceManager::GetText(std::string_view key) const {
    TextQuery query;
    {
        std::lock_guard lock(mutex_);
        auto it = texts_.find(std::string(key));
        if (it != texts_.end()) return it->second;
        query = query_;
    }
    if (query) {
        if (auto text = query(key)) return *text;
    }
    return std::string(key);
}

void CResourceManager::SetTextQueryInterface(TextQuery query) {
    std::lock_guard lock(mutex_);
    query_ = std::move(query);
}

void CResourceManager::ReloadText() { CPaintManagerUI::ReloadAllText(); }

void CResourceManager::Release() {
    std::lock_guard lock(mutex_);
    xml_.clear();
    texts_.clear();
    query_ = nullptr;
}

}  // namespace q208
