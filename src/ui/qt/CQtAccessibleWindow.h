#pragma once

#include <memory>

#include <QAccessibleWidget>

namespace q208 {

class CQtAccessibleTree;
class CQtSurfaceWidget;

// A window of the layer as an accessible object: its one child is the root control, so a
// client sees the drawn controls instead of a single blank widget.
class CQtAccessibleWindow : public QAccessibleWidget {
public:
    explicit CQtAccessibleWindow(CQtSurfaceWidget& widget);
    ~CQtAccessibleWindow() override;

    // Makes Qt ask this class for the accessible object of every surface widget.
    static void InstallFactory();

    QAccessible::Role role() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    CQtAccessibleTree* Tree() const;

    CQtSurfaceWidget& widget_;
    mutable std::unique_ptr<CQtAccessibleTree> tree_;
};

}  // namespace q208
