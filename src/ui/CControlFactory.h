#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace q208 {

class CControlUI;

// Creates controls by layout element name: the built-in classes first, then the classes
// the program registered. Names compare without regard to case, and "Name" also finds a
// class registered as "CNameUI".
class CControlFactory {
public:
    using Creator = std::function<std::unique_ptr<CControlUI>()>;

    static CControlFactory& GetInstance();

    // False when the name is empty or the creator null. A later registration replaces one
    // of the same name.
    bool RegistControl(std::string_view className, Creator creator);
    // Null when no class of that name exists.
    std::unique_ptr<CControlUI> CreateControl(std::string_view name) const;

private:
    CControlFactory();
    static std::unique_ptr<CControlUI> Lookup(const std::unordered_map<std::string, Creator>& table, std::string_view name);

    mutable std::mutex mutex_;
    std::unordered_map<std::string, Creator> builtins_;
    std::unordered_map<std::string, Creator> registered_;
};

}  // namespace q208
