#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/IRenderTarget.h"
#include "ui/UiAccess.h"
#include "ui/UiAttr.h"
#include "ui/UiDefs.h"
#include "ui/UiNotify.h"
#include "ui/UiTypes.h"

namespace q208 {

class CPaintManagerUI;

// The base of every control: a named rectangle with text, colours, images and a border,
// placed by its parent's layout. Sizes given to setters are at 96 DPI; getters return them
// scaled by the window's DPI. The parent owns its children; the manager only observes.
class CControlUI {
public:
    using FindProc = std::function<CControlUI*(CControlUI*)>;
    using NotifyListener = std::function<void(TNotifyUI&)>;

    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual std::string GetClass() const { return "ControlUI"; }
    // This object as the named interface ("Control", "Button", ...), or null.
    virtual void* GetInterface(std::string_view name);

    const std::string& GetName() const { return name_; }
    void SetName(std::string name);

    // The shown text: the raw text, or the language text of its key when the text is a
    // resource (resourcetext="true", or written as "%{key}").
    virtual std::string GetText() const;
    virtual void SetText(std::string text);
    const std::string& GetRawText() const { return text_; }
    bool IsResourceText() const { return resourceText_; }
    void SetResourceText(bool resource);
    std::string GetToolTip() const;
    void SetToolTip(std::string text) { toolTip_ = std::move(text); }

    const std::string& GetUserData() const { return userData_; }
    void SetUserData(std::string data) { userData_ = std::move(data); }
    uintptr_t GetTag() const { return tag_; }
    void SetTag(uintptr_t tag) { tag_ = tag; }

    virtual bool IsVisible() const { return visible_; }
    virtual void SetVisible(bool visible = true);
    // Visible together with every container above it: only then is anything of it painted.
    bool IsShownInTree() const;
    virtual bool IsEnabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled = true);
    bool IsMouseEnabled() const { return mouseEnabled_; }
    void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
    bool IsKeyboardEnabled() const { return keyboardEnabled_; }
    void SetKeyboardEnabled(bool enabled) { keyboardEnabled_ = enabled; }
    bool IsFocused() const { return focused_; }
    virtual void SetFocus();
    bool IsFloat() const { return float_; }
    void SetFloat(bool isFloat);
    // Tab and Shift+Tab stop at controls that take keyboard input (buttons, options, edits,
    // combos, sliders, lists, ...); "tabstop" in a layout overrides the class's choice.
    bool IsTabStop() const { return tabStop_ < 0 ? TakesKeyboardFocus() : tabStop_ > 0; }
    void SetTabStop(bool stop) { tabStop_ = stop ? 1 : 0; }
    // A control that wants Tab itself (a key capture field) gets it as a key event instead
    // of the focus moving on.
    bool IsWantTab() const { return wantTab_; }
    void SetWantTab(bool want) { wantTab_ = want; }
    bool IsContextMenuUsed() const { return contextMenu_; }
    void SetContextMenuUsed(bool used) { contextMenu_ = used; }

    ARGB GetBkColor() const { return bkColor_; }
    void SetBkColor(ARGB color);
    const std::string& GetBkImage() const { return bkImage_.raw; }
    // False (and no change) when the description is malformed.
    bool SetBkImage(std::string_view image);
    ARGB GetBorderColor() const { return borderColor_; }
    void SetBorderColor(ARGB color);
    int GetBorderSize() const;
    void SetBorderSize(int size);
    UiSize GetBorderRound() const;
    void SetBorderRound(UiSize round);

    // Geometry in window client coordinates, valid after a layout pass.
    const UiRect& GetPos() const { return rcItem_; }
    virtual void SetPos(const UiRect& rc, bool needInvalidate = true);
    int GetWidth() const { return rcItem_.Width(); }
    int GetHeight() const { return rcItem_.Height(); }
    UiSize GetFixedXY() const;
    void SetFixedXY(UiSize xy);
    int GetFixedWidth() const;
    void SetFixedWidth(int cx);
    int GetFixedHeight() const;
    void SetFixedHeight(int cy);
    int GetMinWidth() const;
    void SetMinWidth(int cx);
    int GetMaxWidth() const;
    void SetMaxWidth(int cx);
    int GetMinHeight() const;
    void SetMinHeight(int cy);
    int GetMaxHeight() const;
    void SetMaxHeight(int cy);
    UiRect GetPadding() const;
    void SetPadding(const UiRect& padding);
    // The size the control asks of its parent; 0 in an axis means "stretch".
    virtual UiSize EstimateSize(UiSize available);

    CControlUI* GetParent() const { return parent_; }
    CPaintManagerUI* GetManager() const { return manager_; }
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* FindControl(const FindProc& proc, UINT flags);

    // Runs the control's listeners, then DoEvent.
    void Event(TEventUI& event);
    // Handles what this control knows and hands the rest to its parent.
    virtual void DoEvent(TEventUI& event);
    virtual bool Activate();

    // Listeners see this control's notifications before the window's notifiers.
    void AddNotifyListener(NotifyListener listener) { listeners_.push_back(std::move(listener)); }
    const std::vector<NotifyListener>& NotifyListeners() const { return listeners_; }

    virtual void DoPaint(IRenderTarget& target, const UiRect& rcPaint);
    virtual void PaintBkColor(IRenderTarget& target);
    virtual void PaintBkImage(IRenderTarget& target);
    virtual void PaintStatusImage(IRenderTarget& target);
    virtual void PaintText(IRenderTarget& target);
    virtual void PaintBorder(IRenderTarget& target);

    // A control with an open drop-down (CPaintManagerUI::SetPopup) gets pointer events in
    // this rectangle first; the manager paints it last and closes it on a click outside.
    virtual UiRect GetPopupRect() const { return {}; }
    virtual void PaintPopup(IRenderTarget& /*target*/) {}
    virtual void ClosePopup() {}

    virtual AttrResult SetAttribute(std::string_view name, std::string_view value);
    // Applies name="value" pairs in order; false when the list or a value was bad.
    bool ApplyAttributeList(std::string_view list);

    // Marks the control's rectangle for repainting; nothing when it is not shown.
    void Invalidate();
    bool IsUpdateNeeded() const { return updateNeeded_; }
    void NeedUpdate();
    void NeedParentUpdate();

    // What assistive technology is told about the control. The name is the shown text, else
    // the tooltip, else the text of the language key (or the literal) given as "accessname".
    virtual AccessRole GetAccessRole() const;
    virtual std::string GetAccessName() const;
    // The tooltip, unless it already serves as the name.
    std::string GetAccessDescription() const;
    void SetAccessName(std::string keyOrText) { accessName_ = std::move(keyOrText); }
    // A slider's or progress bar's value; none for other controls.
    virtual std::optional<AccessValue> GetAccessValue() const { return std::nullopt; }
    // Sets the value as the user would (with the notifications a drag sends); false when the
    // control takes no value from outside or is disabled.
    virtual bool SetAccessValue(int /*value*/) { return false; }
    virtual bool IsAccessCheckable() const { return false; }
    virtual bool IsAccessChecked() const { return false; }
    virtual bool IsAccessEditable() const { return false; }
    // The actions of the control (kAccessPress, kAccessToggle) and running one of them; an
    // action of a disabled control, or one it does not offer, does nothing and gives false.
    virtual std::vector<std::string_view> GetAccessActions() const { return {}; }
    virtual bool DoAccessAction(std::string_view /*action*/) { return false; }
    // The controls shown below this one (containers: their visible items).
    virtual std::vector<CControlUI*> GetAccessChildren() const { return {}; }

    // Expires when the control is destroyed: code that raises notifications checks it
    // before touching the control again, since a handler may delete it.
    std::weak_ptr<int> Lifetime() const { return lifetime_; }

    // A 96-DPI length in the window's current DPI.
    int Scaled(int value) const;
    UiRect Scaled(const UiRect& rc) const;

protected:
    // Draws an image of this control; `dest` in the desc is relative to the control.
    void DrawImage(IRenderTarget& target, const attr::ImageDesc& image, const UiRect& where);
    void DrawImage(IRenderTarget& target, const attr::ImageDesc& image) { DrawImage(target, image, rcItem_); }
    bool IsImageEmpty(const attr::ImageDesc& image) const { return image.file.empty(); }
    void SendNotify(std::string_view type, WPARAM wParam = 0, LPARAM lParam = 0);
    // Tells the window's accessibility observer, when there is one, what changed here.
    void NotifyAccess(AccessEvent event);
    // Whether the class is a tab stop by default.
    virtual bool TakesKeyboardFocus() const { return false; }

    struct ImageAttr {
        std::string raw;
        attr::ImageDesc desc;
        bool Set(std::string_view value);
    };

    CPaintManagerUI* manager_ = nullptr;
    CControlUI* parent_ = nullptr;
    UiRect rcItem_;
    bool updateNeeded_ = true;
    bool focused_ = false;

private:
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
    std::weak_ptr<int> managerLife_;
    std::string name_;
    std::string text_;
    std::string toolTip_;
    std::string accessName_;
    std::string userData_;
    uintptr_t tag_ = 0;
    bool resourceText_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    bool mouseEnabled_ = true;
    bool keyboardEnabled_ = true;
    bool float_ = false;
    bool contextMenu_ = false;
    bool wantTab_ = false;
    int tabStop_ = -1;  // -1: as the class says
    ARGB bkColor_ = 0;
    ImageAttr bkImage_;
    ARGB borderColor_ = 0;
    int borderSize_ = 0;
    UiSize borderRound_;
    UiSize fixedXY_;
    UiSize fixedSize_;
    UiSize minSize_;
    UiSize maxSize_{9999, 9999};
    UiRect padding_;
    std::vector<NotifyListener> listeners_;
};

}  // namespace q208
