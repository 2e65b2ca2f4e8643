#pragma once

#include <memory>
#include <vector>

#include "ui/CControlUI.h"

namespace q208 {

class CScrollBarUI;

// A control with children. The plain container gives every child its whole client area
// (minus the inset); the layouts derive from it. Children are owned here.
class CContainerUI : public CControlUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    std::string GetClass() const override { return "ContainerUI"; }
    std::vector<CControlUI*> GetAccessChildren() const override;
    void* GetInterface(std::string_view name) override;

    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(const CControlUI* control) const;
    bool SetItemIndex(CControlUI* control, int index);
    int GetCount() const { return static_cast<int>(items_.size()); }

    // Takes ownership; returns the added control (null when `control` is null). An index
    // out of range appends.
    virtual CControlUI* AddAt(std::unique_ptr<CControlUI> control, int index);
    template <class T>
    T* Add(std::unique_ptr<T> control) {
        return static_cast<T*>(AddAt(std::move(control), GetCount()));
    }
    // Destroys the child. False when it is not a child.
    virtual bool Remove(CControlUI* control);
    bool RemoveAt(int index);
    virtual void RemoveAll();
    // Takes the child out of the tree without destroying it.
    virtual std::unique_ptr<CControlUI> Detach(CControlUI* control);

    // Virtual: a list keeps its header's height above the rows.
    virtual UiRect GetInset() const;
    void SetInset(const UiRect& inset);
    int GetChildPadding() const;
    void SetChildPadding(int padding);
    UINT GetChildAlign() const { return childAlign_; }
    void SetChildAlign(UINT align);
    UINT GetChildVAlign() const { return childVAlign_; }
    void SetChildVAlign(UINT align);
    bool IsMouseChildEnabled() const { return mouseChildEnabled_; }
    void SetMouseChildEnabled(bool enabled) { mouseChildEnabled_ = enabled; }

    // Scrolling: bars appear when the content is larger than the client area.
    void EnableScrollBar(bool vertical = true, bool horizontal = false);
    CScrollBarUI* GetVerticalScrollBar() const { return vScroll_.get(); }
    CScrollBarUI* GetHorizontalScrollBar() const { return hScroll_.get(); }
    UiSize GetScrollPos() const;
    UiSize GetScrollRange() const;
    virtual void SetScrollPos(UiSize pos);
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void HomeUp();
    void EndDown();
    // Scrolls so that `rc` (window coordinates, as laid out now) is inside the client area.
    void ScrollIntoView(const UiRect& rc);

    void SetPos(const UiRect& rc, bool needInvalidate = true) override;
    void DoEvent(TEventUI& event) override;
    void DoPaint(IRenderTarget& target, const UiRect& rcPaint) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
    CControlUI* FindControl(const FindProc& proc, UINT flags) override;
    AttrResult SetAttribute(std::string_view name, std::string_view value) override;

protected:
    // Places a float child by its fixed position relative to this control's rectangle.
    void SetFloatPos(int index);
    // The client area: the rectangle minus inset and visible scroll bars.
    UiRect ClientArea() const;
    // Shows or hides the bars for content of the given size in `area` (inset removed) and
    // places them; returns the area left for the children.
    UiRect ProcessScrollBar(const UiRect& area, int cxNeeded, int cyNeeded);
    // Lays the children out in one line, horizontally or vertically.
    void LayoutLine(const UiRect& rc, bool horizontal);

    std::vector<std::unique_ptr<CControlUI>> items_;

private:
    UiRect inset_;
    int childPadding_ = 0;
    UINT childAlign_ = DT_LEFT;
    UINT childVAlign_ = DT_TOP;
    bool mouseChildEnabled_ = true;
    std::unique_ptr<CScrollBarUI> vScroll_;
    std::unique_ptr<CScrollBarUI> hScroll_;
};

}  // namespace q208
