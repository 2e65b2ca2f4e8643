#pragma once

#include <QAccessibleInterface>

namespace q208 {

class CControlUI;
class CQtAccessibleTree;

// One control of the window layer as an accessible object: role, name, states, its shown
// children, a value for sliders and progress bars, actions, and its text. Its description
// is the control's layout name (its text attributes carry it too, as "layout-name").
class CQtAccessibleControl : public QAccessibleInterface,
                             public QAccessibleValueInterface,
                             public QAccessibleActionInterface,
                             public QAccessibleTextInterface {
public:
    static constexpr const char* kLayoutNameAttribute = "layout-name";

    CQtAccessibleControl(CQtAccessibleTree& tree, CControlUI& control);

    // Called by the tree just before the control goes away.
    void Invalidate() { control_ = nullptr; }

    bool isValid() const override { return control_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // Value
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // Actions
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

    // Text
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    CControlUI* Control() const { return control_; }

private:
    QString ShownText() const;

    CQtAccessibleTree& tree_;
    CControlUI* control_;
};

}  // namespace q208
