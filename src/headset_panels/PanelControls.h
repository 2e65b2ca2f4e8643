#pragma once

#include <map>
#include <string>

#include "ui/CContainerUI.h"
#include "ui/CPaintManagerUI.h"

namespace q208 {

// The named controls of a panel, looked up below the panel on first use and kept; a
// control the layout lacks is looked up again next time (the layout may grow later) and
// the operation on it does nothing.
class PanelControls {
public:
    explicit PanelControls(CContainerUI& panel) : panel_(panel) {}

    template <typename T>
    T* Get(const std::string& name) {
        CControlUI*& cached = cache_[name];
        if (!cached && panel_.GetManager()) cached = panel_.GetManager()->FindSubControlByName(&panel_, name);
        return dynamic_cast<T*>(cached);
    }
    // A control removed from the layout must not be used through the cache.
    void Forget() { cache_.clear(); }

private:
    CContainerUI& panel_;
    std::map<std::string, CControlUI*> cache_;
};

}  // namespace q208
