#include "ui/qt/CQtAccessibleControl.h"

#include <algorithm>
#include <utility>

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include "ui/CControlUI.h"
#include "ui/qt/CQtAccessibleTree.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {

constexpr std::pair<AccessRole, QAccessible::Role> kRoles[] = {
    {AccessRole::Panel, QAccessible::Pane},
    {AccessRole::PushButton, QAccessible::Button},
    {AccessRole::CheckBox, QAccessible::CheckBox},
    {AccessRole::RadioButton, QAccessible::RadioButton},
    {AccessRole::ComboBox, QAccessible::ComboBox},
    {AccessRole::List, QAccessible::List},
    {AccessRole::ListItem, QAccessible::ListItem},
    {AccessRole::Slider, QAccessible::Slider},
    {AccessRole::TextEntry, QAccessible::EditableText},
    {AccessRole::Label, QAccessible::StaticText},
    {AccessRole::PageTabList, QAccessible::PageTabList},
    {AccessRole::PageTab, QAccessible::PageTab},
    {AccessRole::ProgressBar, QAccessible::ProgressBar},
    {AccessRole::Menu, QAccessible::PopupMenu},
    {AccessRole::MenuItem, QAccessible::MenuItem},
};

// Actions arrive under our names or, from some clients, under Qt's standard ones.
std::string_view ActionOf(const QString& name) {
    if (name.compare(QString::fromLatin1(kAccessPress.data(), kAccessPress.size()), Qt::CaseInsensitive) == 0 ||
        name == QAccessibleActionInterface::pressAction())
        return kAccessPress;
    if (name.compare(QString::fromLatin1(kAccessToggle.data(), kAccessToggle.size()), Qt::CaseInsensitive) == 0 ||
        name == QAccessibleActionInterface::toggleAction())
        return kAccessToggle;
    return {};
}

}  // namespace

CQtAccessibleControl::CQtAccessibleControl(CQtAccessibleTree& tree, CControlUI& control)
    : tree_(tree), control_(&control) {}

QWindow* CQtAccessibleControl::window() const {
    QWidget* widget = tree_.Widget();
    return widget ? widget->windowHandle() : nullptr;
}

QAccessibleInterface* CQtAccessibleControl::parent() const {
    if (!control_) return nullptr;
    if (CControlUI* up = control_->GetParent()) return tree_.InterfaceFor(up);
    return tree_.WindowInterface();
}

QAccessibleInterface* CQtAccessibleControl::child(int index) const {
    if (!control_ || index < 0) return nullptr;
    const std::vector<CControlUI*> children = control_->GetAccessChildren();
    return index < static_cast<int>(children.size()) ? tree_.InterfaceFor(children[index]) : nullptr;
}

int CQtAccessibleControl::childCount() const {
    return control_ ? static_cast<int>(control_->GetAccessChildren().size()) : 0;
}

int CQtAccessibleControl::indexOfChild(const QAccessibleInterface* child) const {
    if (!control_ || !child || child->object()) return -1;
    const CControlUI* wanted = static_cast<const CQtAccessibleControl*>(child)->Control();
    const std::vector<CControlUI*> children = control_->GetAccessChildren();
    auto it = std::find(children.begin(), children.end(), wanted);
    return it == children.end() ? -1 : static_cast<int>(it - children.begin());
}

QAccessibleInterface* CQtAccessibleControl::childAt(int x, int y) const {
    if (!control_) return nullptr;
    for (CControlUI* c : control_->GetAccessChildren()) {
        if (tree_.ScreenRect(*c).contains(x, y)) return tree_.InterfaceFor(c);
    }
    return nullptr;
}

QAccessibleInterface* CQtAccessibleControl::focusChild() const {
    CControlUI* focus = tree_.Focus();
    for (CControlUI* up = focus; up; up = up->GetParent()) {
        if (up->GetParent() == control_) return tree_.InterfaceFor(focus);
    }
    return nullptr;
}

QString CQtAccessibleControl::text(QAccessible::Text t) const {
    if (!control_) return {};
    switch (t) {
    case QAccessible::Name: return qtconv::Str(control_->GetAccessName());
    // The layout name, the same in every language, lets scripts find a control; controls
    // without one describe themselves by their tooltip.
    case QAccessible::Description:
        return qtconv::Str(control_->GetName().empty() ? control_->GetAccessDescription() : control_->GetName());
    case QAccessible::Value: {
        if (auto value = control_->GetAccessValue()) return QString::number(value->current);
        const AccessRole role = control_->GetAccessRole();
        return role == AccessRole::TextEntry || role == AccessRole::ComboBox ? ShownText() : QString();
    }
    default: return {};
    }
}

void CQtAccessibleControl::setText(QAccessible::Text, const QString&) {}

QRect CQtAccessibleControl::rect() const { return control_ ? tree_.ScreenRect(*control_) : QRect(); }

QAccessible::Role CQtAccessibleControl::role() const {
    if (!control_) return QAccessible::NoRole;
    const AccessRole role = control_->GetAccessRole();
    for (const auto& [ours, qt] : kRoles) {
        if (ours == role) return qt;
    }
    return QAccessible::Pane;
}

QAccessible::State CQtAccessibleControl::state() const {
    QAccessible::State s;
    if (!control_) {
        s.invalid = true;
        return s;
    }
    s.disabled = !control_->IsEnabled();
    s.invisible = !control_->IsShownInTree();
    s.focusable = control_->IsTabStop();
    s.focused = control_->IsFocused();
    s.checkable = control_->IsAccessCheckable();
    const bool item = control_->GetAccessRole() == AccessRole::ListItem;
    s.selectable = item;
    if (item) s.selected = control_->IsAccessChecked();
    else s.checked = control_->IsAccessChecked();
    s.editable = control_->IsAccessEditable();
    s.readOnly = control_->GetAccessRole() == AccessRole::TextEntry && !control_->IsAccessEditable();
    return s;
}

void* CQtAccessibleControl::interface_cast(QAccessible::InterfaceType type) {
    if (!control_) return nullptr;
    switch (type) {
    case QAccessible::ValueInterface:
        return control_->GetAccessValue() ? static_cast<QAccessibleValueInterface*>(this) : nullptr;
    case QAccessible::ActionInterface:
        return control_->GetAccessActions().empty() ? nullptr : static_cast<QAccessibleActionInterface*>(this);
    case QAccessible::TextInterface: return static_cast<QAccessibleTextInterface*>(this);
    default: return nullptr;
    }
}

QVariant CQtAccessibleControl::currentValue() const {
    auto value = control_ ? control_->GetAccessValue() : std::nullopt;
    return value ? QVariant(value->current) : QVariant();
}

void CQtAccessibleControl::setCurrentValue(const QVariant& value) {
    bool ok = false;
    const int number = static_cast<int>(value.toDouble(&ok));
    if (control_ && ok) control_->SetAccessValue(number);
}

QVariant CQtAccessibleControl::maximumValue() const {
    auto value = control_ ? control_->GetAccessValue() : std::nullopt;
    return value ? QVariant(value->max) : QVariant();
}

QVariant CQtAccessibleControl::minimumValue() const {
    auto value = control_ ? control_->GetAccessValue() : std::nullopt;
    return value ? QVariant(value->min) : QVariant();
}

QVariant CQtAccessibleControl::minimumStepSize() const { return QVariant(1); }

QStringList CQtAccessibleControl::actionNames() const {
    QStringList names;
    if (!control_) return names;
    for (std::string_view action : control_->GetAccessActions())
        names << QString::fromLatin1(action.data(), static_cast<qsizetype>(action.size()));
    return names;
}

// The action runs from the event loop, not inside the client's call: a click may open a
// modal dialog, whose loop would otherwise hold the client's request until it closes.
void CQtAccessibleControl::doAction(const QString& actionName) {
    const std::string_view action = ActionOf(actionName);
    if (!control_ || action.empty()) return;
    CControlUI* control = control_;
    QTimer::singleShot(0, QCoreApplication::instance(), [control, alive = control->Lifetime(), action] {
        if (!alive.expired()) control->DoAccessAction(action);
    });
}

QStringList CQtAccessibleControl::keyBindingsForAction(const QString&) const { return {}; }

QString CQtAccessibleControl::ShownText() const { return control_ ? qtconv::Str(control_->GetText()) : QString(); }

void CQtAccessibleControl::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
}

QString CQtAccessibleControl::text(int startOffset, int endOffset) const {
    const QString all = ShownText();
    startOffset = std::clamp(startOffset, 0, static_cast<int>(all.size()));
    endOffset = endOffset < 0 ? static_cast<int>(all.size()) : std::clamp(endOffset, startOffset, static_cast<int>(all.size()));
    return all.mid(startOffset, endOffset - startOffset);
}

int CQtAccessibleControl::characterCount() const { return static_cast<int>(ShownText().size()); }

QRect CQtAccessibleControl::characterRect(int) const { return rect(); }

int CQtAccessibleControl::offsetAtPoint(const QPoint&) const { return 0; }

QString CQtAccessibleControl::attributes(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = characterCount();
    if (!control_ || control_->GetName().empty()) return {};
    return QString::fromLatin1(kLayoutNameAttribute) + u':' + qtconv::Str(control_->GetName()) + u';';
}

}  // namespace q208
