#pragma once

#include <memory>
#include <unordered_map>

#include <QAccessible>
#include <QPointer>
#include <QWidget>

#include "ui/UiAccess.h"

namespace q208 {

class CControlUI;
class CPaintManagerUI;

// The accessible objects of one window's controls: made when a client first asks for a
// control, dropped when the control goes away, and the control's changes passed on as
// accessibility events. It exists only once an accessibility client looked at the window,
// so a desktop without one pays nothing.
class CQtAccessibleTree : public IAccessObserver {
public:
    CQtAccessibleTree(QWidget& widget, CPaintManagerUI& manager);
    ~CQtAccessibleTree() override;
    CQtAccessibleTree(const CQtAccessibleTree&) = delete;
    CQtAccessibleTree& operator=(const CQtAccessibleTree&) = delete;

    // The accessible object of a control of this window (made on first use); null for null.
    QAccessibleInterface* InterfaceFor(CControlUI* control);
    // The window's own object: the parent of the root control.
    QAccessibleInterface* WindowInterface() const;
    QWidget* Widget() const { return widget_.data(); }
    CPaintManagerUI* Manager() const { return manager_; }
    CControlUI* Root() const;
    CControlUI* Focus() const;
    // A control's rectangle on the screen.
    QRect ScreenRect(const CControlUI& control) const;

    void OnAccessEvent(CControlUI* control, AccessEvent event) override;
    void OnAccessDetached() override;

private:
    void Forget(CControlUI* control);
    void ForgetAll();
    QAccessibleInterface* Existing(CControlUI* control) const;

    QPointer<QWidget> widget_;
    CPaintManagerUI* manager_;
    std::weak_ptr<int> managerLife_;
    std::unordered_map<CControlUI*, QAccessible::Id> ids_;
};

}  // namespace q208
