#pragma once

#include <utility>
#include <vector>

#include "ui/UiNotify.h"
#include "ui/UiTypes.h"

namespace q208 {

// How the items of a list or combo draw themselves, set on the owner.
struct TListInfoUI {
    int font = -1;
    UINT textStyle = DT_VCENTER | DT_SINGLELINE;
    UiRect textPadding{4, 0, 4, 0};
    ARGB textColor = 0xFF000000;
    ARGB bkColor = 0;
    ARGB selectedTextColor = 0xFF000000;
    ARGB selectedBkColor = 0xFFC1E3FF;
    ARGB hotTextColor = 0xFF000000;
    ARGB hotBkColor = 0xFFE9F5FF;
    ARGB disabledTextColor = 0xFFCCCCCC;
    int itemHeight = 0;  // 0: the item's own height (or the font height plus a margin)
};

// A list or combo that owns selectable items.
class IListOwnerUI {
public:
    virtual ~IListOwnerUI() = default;
    virtual TListInfoUI* GetListInfo() = 0;
    virtual int GetCurSel() const = 0;
    // Selects item `index` (-1: none); "itemselect" (wParam new, lParam old) when
    // triggerEvent and the selection changed.
    virtual bool SelectItem(int index, bool takeFocus = false, bool triggerEvent = true) = 0;
    // Events an item does not handle itself (wheel, keys).
    virtual void DoItemEvent(TEventUI& event) = 0;
    // Left and right edges of the columns (window coordinates) that the cells of a row
    // follow; empty when the rows lay their cells out themselves.
    virtual std::vector<std::pair<int, int>> GetColumns() const { return {}; }
};

// A selectable item of a list or combo (GetInterface("ListItem")).
class IListItemUI {
public:
    virtual ~IListItemUI() = default;
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() const = 0;
    virtual void SetOwner(IListOwnerUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    // Marks the item; selecting through the item also selects it in its owner.
    virtual bool Select(bool select = true, bool triggerEvent = true) = 0;
};

}  // namespace q208
