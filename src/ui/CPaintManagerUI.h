#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "ui/IRenderTarget.h"
#include "ui/UiAccess.h"
#include "ui/UiDefs.h"
#include "ui/UiNotify.h"
#include "ui/UiTypes.h"

namespace q208 {

class CControlUI;
class CWindowWnd;

// One per window: owns the control tree, knows controls by name, tracks the focused,
// hovered and pressed controls, option groups, timers, notifiers and message filters,
// fonts and DPI; turns window messages into control events and paints the tree.
// Used only on the UI thread that created it.
class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // Binds the manager to its window (null for a tree without a window, as in tests).
    void Init(CWindowWnd* window, std::string name = {});
    CWindowWnd* GetWindow() const { return window_; }
    HWND GetPaintWindow() const;
    const std::string& GetName() const { return name_; }

    // Shared resources of the process.
    static void SetInstancePath(std::string path);
    static const std::string& GetInstancePath();
    static void SetResourcePath(std::string path);  // folder of the skin; a '/' is appended
    static const std::string& GetResourcePath();
    static void SetResourceType(int type) { resourceType_ = type; }  // 1: plain files
    static int GetResourceType() { return resourceType_; }
    // A skin-relative name as a path under the resource path (absolute names stay).
    static std::string ResolveResource(std::string_view name);

    // Control tree.
    bool AttachDialog(std::unique_ptr<CControlUI> root);
    CControlUI* GetRoot() const { return root_.get(); }
    // Gives `control` and its subtree this manager and registers their names and groups.
    bool InitControls(CControlUI* control, CControlUI* parent = nullptr);
    // Forgets every reference to `control` (focus, hover, click, popup, name, group,
    // timers, pending notifications). Called when it is destroyed or leaves the tree.
    void ReapObjects(CControlUI* control);
    void RenameControl(CControlUI* control, const std::string& oldName, const std::string& newName);
    CControlUI* FindControl(std::string_view name) const;
    CControlUI* FindControl(UiPoint pt) const;
    CControlUI* FindSubControlByName(CControlUI* parent, std::string_view name) const;
    CControlUI* FindSubControlByPoint(CControlUI* parent, UiPoint pt) const;
    std::vector<CControlUI*> FindSubControlsByClass(CControlUI* parent, std::string_view className) const;

    // Focus, hover and the pressed control.
    CControlUI* GetFocus() const { return focus_; }
    void SetFocus(CControlUI* control);
    CControlUI* GetHover() const { return hover_; }
    CControlUI* GetClick() const { return click_; }
    // Moves the focus to the next (or previous) tab stop in tree order, wrapping around;
    // false when the window has none. The focused control then shows a focus frame until
    // the pointer is used.
    bool SetNextTabControl(bool forward = true);
    bool IsFocusFrameShown() const { return focusFrame_ && focus_; }
    // A control showing a drop-down gets pointer events first until it closes it.
    void SetPopup(CControlUI* control);
    CControlUI* GetPopup() const { return popup_; }

    // Option groups.
    bool AddOptionGroup(const std::string& group, CControlUI* control);
    const std::vector<CControlUI*>* GetOptionGroup(const std::string& group) const;
    void RemoveOptionGroup(const std::string& group, CControlUI* control);
    void RemoveAllOptionGroups() { optionGroups_.clear(); }

    // Timers: each expiry is a "timer" notification of `control` (wParam = id), repeating
    // until killed.
    bool SetTimer(CControlUI* control, UINT id, UINT elapseMs);
    bool KillTimer(CControlUI* control, UINT id);
    void KillTimer(CControlUI* control);
    void RemoveAllTimers();
    bool HasTimer(const CControlUI* control, UINT id) const;
    // Called by the thread's message queue when a timer is due.
    void FireTimer(CControlUI* control, UINT id);

    // Notifications.
    bool AddNotifier(INotifyUI* notifier);
    bool RemoveNotifier(INotifyUI* notifier);
    // Synchronous by default: the sender's listeners, then every notifier in order.
    // Asynchronous ones are delivered from the message loop (dropped if the sender dies).
    void SendNotify(TNotifyUI& msg, bool async = false);
    void SendNotify(CControlUI* control, std::string_view type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);

    // Message filters.
    bool AddPreMessageFilter(IMessageFilterUI* filter);
    bool RemovePreMessageFilter(IMessageFilterUI* filter);
    bool AddMessageFilter(IMessageFilterUI* filter);
    bool RemoveMessageFilter(IMessageFilterUI* filter);
    bool PreMessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Runs the filters, then handles input, focus and size messages. True when handled.
    // Pointer messages: lParam = MakeLParam(x, y), wParam = MK_* bits (WM_MOUSEWHEEL: the
    // signed distance in the high word). WM_KEYDOWN/UP: wParam = VK_*, lParam = MK_SHIFT/
    // MK_CONTROL/MK_ALT bits, the scan code in bits 16-23 and the extended flag in bit 24. WM_CHAR: wParam = one Unicode code point.
    bool MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A window opened for another one (a drop-down, a menu) uses its fonts and <Default>
    // lists where it has none of its own.
    void UseParentResource(CPaintManagerUI* parent);
    CPaintManagerUI* GetParentResource() const { return parentLife_.expired() ? nullptr : parent_; }

    // <Default> attribute lists by control element name.
    void AddDefaultAttributeList(std::string_view controlName, std::string_view list);
    std::string_view GetDefaultAttributeList(std::string_view controlName) const;
    void RemoveAllDefaultAttributeList() { defaults_.clear(); }

    // Fonts: id → descriptor; ids not present give the default font. Shared fonts are
    // seen by every window; a window's own font of the same id wins.
    void AddFont(int id, std::string face, int size, bool bold = false, bool underline = false,
                 bool italic = false, bool shared = false);
    void SetDefaultFont(std::string face, int size, bool bold = false, bool underline = false,
                        bool italic = false, bool shared = false);
    void RemoveAllFonts(bool shared = false);
    static void RemoveAllSharedFonts();
    bool HasFont(int id) const;
    // Scaled to the window's DPI.
    FontDesc GetFont(int id) const;
    FontDesc GetDefaultFontInfo() const;

    // DPI: lengths of the skin are at 96 DPI and scaled when laid out and painted.
    int GetDPI() const { return dpi_; }
    void SetDPI(int dpi);
    static void SetAllDPI(int dpi);
    // Re-applies the scale to everything derived from it (layout, fonts, painting).
    void ResetDPIAssets();
    int ScaleValue(int value) const;

    // Window size and layout.
    void SetInitSize(int cx, int cy) { initSize_ = {cx, cy}; }
    UiSize GetInitSize() const { return initSize_; }
    // The title-bar area that moves the window: left, top and right margins and the height.
    void SetCaptionRect(const UiRect& caption) { caption_ = caption; }
    const UiRect& GetCaptionRect() const { return caption_; }
    // True when `pt` lies in the title-bar area on no control that takes clicks itself.
    bool IsCaptionPoint(UiPoint pt) const;
    void SetMinInfo(int cx, int cy) { minInfo_ = {cx, cy}; }
    UiSize GetMinInfo() const { return minInfo_; }
    void SetClientSize(int cx, int cy);
    UiSize GetClientSize() const { return clientSize_; }
    void NeedUpdate();
    bool IsUpdateNeeded() const { return updateNeeded_; }
    // Lays the tree out now if something asked for it.
    void DoLayout();
    void Invalidate(const UiRect& rc);
    // Paints `dirty` (after a pending layout), drop-down last.
    void Paint(IRenderTarget& target, const UiRect& dirty);

    // Runs the calling thread's message loop until the quit message; returns its code.
    static int MessageLoop();
    // Handles what is queued and due on the calling thread without waiting (tests, tools).
    static void PumpMessages();
    // Re-texts every window of the calling thread after a language change.
    static void ReloadAllText();

    std::weak_ptr<int> Lifetime() const { return lifetime_; }

    // Accessibility: one observer of this window's tree (null: none, the usual case).
    void SetAccessObserver(IAccessObserver* observer) { accessObserver_ = observer; }
    IAccessObserver* GetAccessObserver() const { return accessObserver_; }
    void NotifyAccess(CControlUI* control, AccessEvent event) {
        if (accessObserver_) accessObserver_->OnAccessEvent(control, event);
    }

private:
    void RegisterNames(CControlUI* control);
    bool DispatchPointer(UINT msg, WPARAM wParam, LPARAM lParam);
    bool DispatchKey(UINT msg, WPARAM wParam, LPARAM lParam);
    void SetHover(CControlUI* control, UiPoint pt);
    void DeliverNotify(TNotifyUI& msg);
    // What a notification tells an accessibility observer.
    void NotifyAccessOf(const TNotifyUI& msg);
    void FlushAsyncNotifications();
    TEventUI MakeEvent(int type, CControlUI* sender, UiPoint pt, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void UpdateToolTip();
    std::vector<CControlUI*> TabStops() const;
    void InvalidateFocusFrame();
    // A font of this window or of its parent resource, not yet scaled.
    const FontDesc* OwnFont(int id) const;

    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
    const std::thread::id thread_ = std::this_thread::get_id();
    CWindowWnd* window_ = nullptr;
    std::string name_;
    std::unique_ptr<CControlUI> root_;
    std::unordered_map<std::string, CControlUI*> names_;
    CControlUI* focus_ = nullptr;
    CControlUI* hover_ = nullptr;
    CControlUI* click_ = nullptr;
    CControlUI* popup_ = nullptr;
    bool focusFrame_ = false;
    CPaintManagerUI* parent_ = nullptr;
    std::weak_ptr<int> parentLife_;
    UiPoint lastMouse_;
    std::map<std::string, std::vector<CControlUI*>> optionGroups_;
    std::vector<INotifyUI*> notifiers_;
    std::vector<IMessageFilterUI*> preFilters_;
    std::vector<IMessageFilterUI*> filters_;
    std::vector<TNotifyUI> asyncNotifications_;
    bool asyncFlushPosted_ = false;
    std::unordered_map<std::string, std::string> defaults_;
    std::map<int, FontDesc> fonts_;
    FontDesc defaultFont_;
    bool hasDefaultFont_ = false;
    int dpi_ = 96;
    UiSize initSize_;
    UiSize minInfo_;
    UiRect caption_;
    UiSize clientSize_;
    bool updateNeeded_ = true;
    UiRect dirty_;
    IAccessObserver* accessObserver_ = nullptr;

    static int resourceType_;
};

}  // namespace q208
