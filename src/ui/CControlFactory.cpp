#include "ui/CControlFactory.h"

#include <cctype>

#include "ui/CButtonUI.h"
#include "ui/CComboUI.h"
#include "ui/CContainerUI.h"
#include "ui/CEditUI.h"
#include "ui/CHorizontalLayoutUI.h"
#include "ui/CLabelUI.h"
#include "ui/CListContainerElementUI.h"
#include "ui/CListLabelElementUI.h"
#include "ui/CListHeaderUI.h"
#include "ui/CListUI.h"
#include "ui/CColorPaletteUI.h"
#include "ui/CRingUI.h"
#include "ui/CTileLayoutUI.h"
#include "ui/CMenuElementUI.h"
#include "ui/CMenuSeparatorUI.h"
#include "ui/COptionUI.h"
#include "ui/CProgressUI.h"
#include "ui/CScrollBarUI.h"
#include "ui/CSliderUI.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CTextUI.h"
#include "ui/CVerticalLayoutUI.h"

namespace q208 {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

template <class T>
CControlFactory::Creator Make() {
    return [] { return std::unique_ptr<CControlUI>(std::make_unique<T>()); };
}

}  // namespace

CControlFactory& CControlFactory::GetInstance() {
    static CControlFactory factory;
    return factory;
}

CControlFactory::CControlFactory() {
    const std::pair<const char*, Creator> builtins[] = {
        {"Control", Make<CControlUI>()},
        {"Container", Make<CContainerUI>()},
        {"HorizontalLayout", Make<CHorizontalLayoutUI>()},
        {"VerticalLayout", Make<CVerticalLayoutUI>()},
        {"TabLayout", Make<CTabLayoutUI>()},
        {"Label", Make<CLabelUI>()},
        {"Text", Make<CTextUI>()},
        {"Button", Make<CButtonUI>()},
        {"Option", Make<COptionUI>()},
        {"Edit", Make<CEditUI>()},
        {"Combo", Make<CComboUI>()},
        {"ListLabelElement", Make<CListLabelElementUI>()},
        {"List", Make<CListUI>()},
        {"ListContainerElement", Make<CListContainerElementUI>()},
        {"Slider", Make<CSliderUI>()},
        {"Progress", Make<CProgressUI>()},
        {"ScrollBar", Make<CScrollBarUI>()},
        {"MenuElement", Make<CMenuElementUI>()},
        {"MenuSeparator", Make<CMenuSeparatorUI>()},
        {"ColorPalette", Make<CColorPaletteUI>()},
        {"TileLayout", Make<CTileLayoutUI>()},
        {"Ring", Make<CRingUI>()},
        {"ListHeader", Make<CListHeaderUI>()},
        {"ListHeaderItem", Make<CListHeaderItemUI>()},
    };
    for (const auto& [name, creator] : builtins) builtins_.emplace(Lower(name), creator);
}

bool CControlFactory::RegistControl(std::string_view className, Creator creator) {
    if (className.empty() || !creator) return false;
    std::lock_guard lock(mutex_);
    registered_[Lower(className)] = std::move(creator);
    return true;
}

std::unique_ptr<CControlUI> CControlFactory::Lookup(const std::unordered_map<std::string, Creator>& table,
                                                   std::string_view name) {
    const std::string key = Lower(name);
    if (auto it = table.find(key); it != table.end()) return it->second();
    if (auto it = table.find("c" + key + "ui"); it != table.end()) return it->second();
    return nullptr;
}

std::unique_ptr<CControlUI> CControlFactory::CreateControl(std::string_view name) const {
    if (auto control = Lookup(builtins_, name)) return control;
    Creator creator;
    {
        // Copied out so that a creator may itself use the factory.
        std::lock_guard lock(mutex_);
        const std::string key = Lower(name);
        auto it = registered_.find(key);
        if (it == registered_.end()) it = registered_.find("c" + key + "ui");
        if (it == registered_.end()) return nullptr;
        creator = it->second;
    }
    return creator();
}

}  // namespace q208
