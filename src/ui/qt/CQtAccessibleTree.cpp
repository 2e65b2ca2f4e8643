#include "ui/qt/CQtAccessibleTree.h"

#include <QAccessibleEvent>

#include "ui/CControlUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/qt/CQtAccessibleControl.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

CQtAccessibleTree::CQtAccessibleTree(QWidget& widget, CPaintManagerUI& manager)
    : widget_(&widget), manager_(&manager), managerLife_(manager.Lifetime()) {
    manager.SetAccessObserver(this);
}

CQtAccessibleTree::~CQtAccessibleTree() {
    if (manager_ && !managerLife_.expired() && manager_->GetAccessObserver() == this)
        manager_->SetAccessObserver(nullptr);
    ForgetAll();
}

CControlUI* CQtAccessibleTree::Root() const { return manager_ ? manager_->GetRoot() : nullptr; }

CControlUI* CQtAccessibleTree::Focus() const { return manager_ ? manager_->GetFocus() : nullptr; }

QAccessibleInterface* CQtAccessibleTree::WindowInterface() const {
    return widget_ ? QAccessible::queryAccessibleInterface(widget_.data()) : nullptr;
}

QAccessibleInterface* CQtAccessibleTree::Existing(CControlUI* control) const {
    auto it = ids_.find(control);
    return it == ids_.end() ? nullptr : QAccessible::accessibleInterface(it->second);
}

QAccessibleInterface* CQtAccessibleTree::InterfaceFor(CControlUI* control) {
    if (!control || !manager_ || control->GetManager() != manager_) return nullptr;
    if (QAccessibleInterface* known = Existing(control)) return known;
    // Qt owns registered objects and deletes them through deleteAccessibleInterface.
    auto* made = new CQtAccessibleControl(*this, *control);
    ids_[control] = QAccessible::registerAccessibleInterface(made);
    return made;
}

QRect CQtAccessibleTree::ScreenRect(const CControlUI& control) const {
    const QRect local = qtconv::Rect(control.GetPos());
    if (!widget_) return local;
    return QRect(widget_->mapToGlobal(local.topLeft()), local.size());
}

void CQtAccessibleTree::Forget(CControlUI* control) {
    auto it = ids_.find(control);
    if (it == ids_.end()) return;
    const QAccessible::Id id = it->second;
    ids_.erase(it);
    if (auto* made = static_cast<CQtAccessibleControl*>(QAccessible::accessibleInterface(id))) made->Invalidate();
    QAccessible::deleteAccessibleInterface(id);
}

void CQtAccessibleTree::ForgetAll() {
    while (!ids_.empty()) Forget(ids_.begin()->first);
}

void CQtAccessibleTree::OnAccessDetached() {
    ForgetAll();
    manager_ = nullptr;
}

void CQtAccessibleTree::OnAccessEvent(CControlUI* control, AccessEvent event) {
    if (event == AccessEvent::Destroyed) {
        Forget(control);
        return;
    }
    if (!QAccessible::isActive()) return;
    // Focus is announced even for a control no client has looked at yet; other changes only
    // for those a client knows.
    QAccessibleInterface* iface = event == AccessEvent::Focus ? InterfaceFor(control) : Existing(control);
    if (!iface) return;
    switch (event) {
    case AccessEvent::Focus: {
        QAccessibleEvent focus(iface, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
        break;
    }
    case AccessEvent::ValueChanged:
        if (iface->valueInterface() && control->GetAccessValue()) {
            QAccessibleValueChangeEvent changed(iface, iface->valueInterface()->currentValue());
            QAccessible::updateAccessibility(&changed);
        } else {
            QAccessibleEvent renamed(iface, QAccessible::NameChanged);  // a combo shows its new item
            QAccessible::updateAccessibility(&renamed);
        }
        break;
    case AccessEvent::TextChanged: {
        QAccessibleTextUpdateEvent changed(iface, 0, QString(), qtconv::Str(control->GetText()));
        QAccessible::updateAccessibility(&changed);
        break;
    }
    case AccessEvent::NameChanged: {
        QAccessibleEvent renamed(iface, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
        break;
    }
    case AccessEvent::StateChanged: {
        QAccessible::State changed;
        changed.checked = changed.selected = changed.disabled = true;
        QAccessibleStateChangeEvent stateEvent(iface, changed);
        QAccessible::updateAccessibility(&stateEvent);
        break;
    }
    case AccessEvent::TreeChanged: {
        QAccessibleEvent reordered(iface, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reordered);
        break;
    }
    case AccessEvent::Destroyed: break;
    }
}

}  // namespace q208
