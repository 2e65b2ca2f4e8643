#include "ui/qt/CQtAccessibleWindow.h"

#include "ui/CControlUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/IWindowSurface.h"
#include "ui/qt/CQtAccessibleControl.h"
#include "ui/qt/CQtAccessibleTree.h"
#include "ui/qt/CQtSurfaceWidget.h"

namespace q208 {

namespace {

QAccessibleInterface* SurfaceFactory(const QString& /*className*/, QObject* object) {
    auto* widget = dynamic_cast<CQtSurfaceWidget*>(object);
    return widget ? new CQtAccessibleWindow(*widget) : nullptr;
}

}  // namespace

CQtAccessibleWindow::CQtAccessibleWindow(CQtSurfaceWidget& widget)
    : QAccessibleWidget(&widget, QAccessible::Window), widget_(widget) {}

CQtAccessibleWindow::~CQtAccessibleWindow() = default;

void CQtAccessibleWindow::InstallFactory() {
    static bool installed = false;
    if (std::exchange(installed, true)) return;
    QAccessible::installFactory(SurfaceFactory);
}

// Made on the first question a client asks: until then the manager has no observer.
CQtAccessibleTree* CQtAccessibleWindow::Tree() const {
    if (tree_ && !tree_->Manager()) tree_.reset();  // the window's manager went away
    if (!tree_) {
        IWindowEventSink* sink = widget_.Sink();
        CPaintManagerUI* manager = sink ? sink->GetAccessManager() : nullptr;
        if (!manager) return nullptr;
        tree_ = std::make_unique<CQtAccessibleTree>(widget_, *manager);
    }
    return tree_.get();
}

QAccessible::Role CQtAccessibleWindow::role() const {
    return widget_.windowType() == Qt::Popup ? QAccessible::PopupMenu : QAccessible::Window;
}

int CQtAccessibleWindow::childCount() const {
    CQtAccessibleTree* tree = Tree();
    return tree && tree->Root() ? 1 : 0;
}

QAccessibleInterface* CQtAccessibleWindow::child(int index) const {
    CQtAccessibleTree* tree = Tree();
    return index == 0 && tree ? tree->InterfaceFor(tree->Root()) : nullptr;
}

int CQtAccessibleWindow::indexOfChild(const QAccessibleInterface* child) const {
    CQtAccessibleTree* tree = Tree();
    if (!tree || !child || child->object()) return -1;
    return static_cast<const CQtAccessibleControl*>(child)->Control() == tree->Root() && tree->Root() ? 0 : -1;
}

QAccessibleInterface* CQtAccessibleWindow::childAt(int x, int y) const {
    QAccessibleInterface* root = child(0);
    return root && root->rect().contains(x, y) ? root : nullptr;
}

QAccessibleInterface* CQtAccessibleWindow::focusChild() const {
    CQtAccessibleTree* tree = Tree();
    return tree ? tree->InterfaceFor(tree->Focus()) : nullptr;
}

}  // namespace q208
