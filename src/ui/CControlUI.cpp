#include "ui/CControlUI.h"

#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/UiAttrTable.h"

namespace q208 {

namespace {

// "%{key}" is a language key written into the text itself.
std::optional<std::string_view> InlineKey(std::string_view text) {
    if (text.size() > 3 && text.starts_with("%{") && text.ends_with("}")) return text.substr(2, text.size() - 3);
    return std::nullopt;
}

const AttrTable<CControlUI>& ControlAttrs() {
    using C = CControlUI;
    static const AttrTable<C> table = {
        {"name", [](C& c, std::string_view v) { c.SetName(std::string(v)); return AttrResult::Applied; }},
        {"text", [](C& c, std::string_view v) { c.SetText(std::string(v)); return AttrResult::Applied; }},
        {"tooltip", [](C& c, std::string_view v) { c.SetToolTip(std::string(v)); return AttrResult::Applied; }},
        {"accessname", [](C& c, std::string_view v) { c.SetAccessName(std::string(v)); return AttrResult::Applied; }},
        {"userdata", [](C& c, std::string_view v) { c.SetUserData(std::string(v)); return AttrResult::Applied; }},
        {"resourcetext", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetResourceText(b); }); }},
        {"tag", [](C& c, std::string_view v) { return SetParsed(attr::Number(v), [&](int n) { c.SetTag(static_cast<uintptr_t>(n)); }); }},
        {"pos", [](C& c, std::string_view v) {
             return SetParsed(attr::Rect(v), [&](UiRect r) {
                 c.SetFixedXY({r.left >= 0 ? r.left : r.right, r.top >= 0 ? r.top : r.bottom});
                 c.SetFixedWidth(r.right - r.left);
                 c.SetFixedHeight(r.bottom - r.top);
             });
         }},
        {"float", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetFloat(b); }); }},
        {"padding", [](C& c, std::string_view v) { return SetParsed(attr::Rect(v), [&](UiRect r) { c.SetPadding(r); }); }},
        {"width", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetFixedWidth(n); }); }},
        {"height", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetFixedHeight(n); }); }},
        {"minwidth", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetMinWidth(n); }); }},
        {"maxwidth", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetMaxWidth(n); }); }},
        {"minheight", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetMinHeight(n); }); }},
        {"maxheight", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetMaxHeight(n); }); }},
        {"bkcolor", [](C& c, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB a) { c.SetBkColor(a); }); }},
        {"bkimage", [](C& c, std::string_view v) { return c.SetBkImage(v) ? AttrResult::Applied : AttrResult::Malformed; }},
        {"bordercolor", [](C& c, std::string_view v) { return SetParsed(attr::Color(v), [&](ARGB a) { c.SetBorderColor(a); }); }},
        {"bordersize", [](C& c, std::string_view v) { return SetParsed(attr::Int(v), [&](int n) { c.SetBorderSize(n); }); }},
        {"borderround", [](C& c, std::string_view v) { return SetParsed(attr::Size(v), [&](UiSize s) { c.SetBorderRound(s); }); }},
        {"visible", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetVisible(b); }); }},
        {"enabled", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetEnabled(b); }); }},
        {"mouse", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetMouseEnabled(b); }); }},
        {"keyboard", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetKeyboardEnabled(b); }); }},
        {"menu", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetContextMenuUsed(b); }); }},
        {"tabstop", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetTabStop(b); }); }},
        {"wanttab", [](C& c, std::string_view v) { return SetParsed(attr::Bool(v), [&](bool b) { c.SetWantTab(b); }); }},
    };
    return table;
}

}  // namespace

bool CControlUI::ImageAttr::Set(std::string_view value) {
    auto parsed = attr::Image(value);
    if (!parsed) return false;
    raw = std::string(value);
    desc = std::move(*parsed);
    return true;
}

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
    if (manager_ && !managerLife_.expired()) manager_->ReapObjects(this);
}

void* CControlUI::GetInterface(std::string_view name) { return name == "Control" ? this : nullptr; }

void CControlUI::SetName(std::string name) {
    if (name == name_) return;
    std::string old = std::move(name_);
    name_ = std::move(name);
    if (manager_) manager_->RenameControl(this, old, name_);
}

std::string CControlUI::GetText() const {
    if (resourceText_) return CResourceManager::GetInstance().GetText(text_);
    if (auto key = InlineKey(text_)) return CResourceManager::GetInstance().GetText(*key);
    return text_;
}

void CControlUI::SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    Invalidate();
    NotifyAccess(AccessEvent::NameChanged);
}

void CControlUI::SetResourceText(bool resource) {
    if (resource == resourceText_) return;
    resourceText_ = resource;
    Invalidate();
}

std::string CControlUI::GetToolTip() const {
    if (resourceText_) return CResourceManager::GetInstance().GetText(toolTip_);
    if (auto key = InlineKey(toolTip_)) return CResourceManager::GetInstance().GetText(*key);
    return toolTip_;
}

void CControlUI::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (!visible && manager_) {
        // Hidden controls lose focus and pointer state, like removed ones.
        if (focused_) manager_->SetFocus(nullptr);
    }
    NeedParentUpdate();
    if (parent_ && manager_) manager_->NotifyAccess(parent_, AccessEvent::TreeChanged);
}

void CControlUI::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate();
    NotifyAccess(AccessEvent::StateChanged);
}

void CControlUI::SetFocus() {
    if (manager_) manager_->SetFocus(this);
}

void CControlUI::SetFloat(bool isFloat) {
    if (isFloat == float_) return;
    float_ = isFloat;
    NeedParentUpdate();
}

void CControlUI::SetBkColor(ARGB color) {
    if (color == bkColor_) return;
    bkColor_ = color;
    Invalidate();
}

bool CControlUI::SetBkImage(std::string_view image) {
    if (!bkImage_.Set(image)) return false;
    Invalidate();
    return true;
}

void CControlUI::SetBorderColor(ARGB color) {
    borderColor_ = color;
    Invalidate();
}

int CControlUI::GetBorderSize() const { return Scaled(borderSize_); }
void CControlUI::SetBorderSize(int size) {
    borderSize_ = std::max(0, size);
    Invalidate();
}

UiSize CControlUI::GetBorderRound() const { return {Scaled(borderRound_.cx), Scaled(borderRound_.cy)}; }
void CControlUI::SetBorderRound(UiSize round) {
    borderRound_ = round;
    Invalidate();
}

void CControlUI::SetPos(const UiRect& rc, bool needInvalidate) {
    const UiRect old = rcItem_;
    rcItem_ = rc.Normalized();
    updateNeeded_ = false;
    if (needInvalidate && manager_ && old != rcItem_) manager_->Invalidate(old.Union(rcItem_));
}

UiSize CControlUI::GetFixedXY() const { return {Scaled(fixedXY_.cx), Scaled(fixedXY_.cy)}; }
void CControlUI::SetFixedXY(UiSize xy) {
    fixedXY_ = xy;
    NeedParentUpdate();
}
int CControlUI::GetFixedWidth() const { return Scaled(fixedSize_.cx); }
void CControlUI::SetFixedWidth(int cx) {
    if (cx < 0 || cx == fixedSize_.cx) return;
    fixedSize_.cx = cx;
    NeedParentUpdate();
}
int CControlUI::GetFixedHeight() const { return Scaled(fixedSize_.cy); }
void CControlUI::SetFixedHeight(int cy) {
    if (cy < 0 || cy == fixedSize_.cy) return;
    fixedSize_.cy = cy;
    NeedParentUpdate();
}
int CControlUI::GetMinWidth() const { return Scaled(minSize_.cx); }
void CControlUI::SetMinWidth(int cx) {
    if (cx < 0) return;
    minSize_.cx = cx;
    NeedParentUpdate();
}
int CControlUI::GetMaxWidth() const { return Scaled(maxSize_.cx); }
void CControlUI::SetMaxWidth(int cx) {
    if (cx < 0) return;
    maxSize_.cx = cx;
    NeedParentUpdate();
}
int CControlUI::GetMinHeight() const { return Scaled(minSize_.cy); }
void CControlUI::SetMinHeight(int cy) {
    if (cy < 0) return;
    minSize_.cy = cy;
    NeedParentUpdate();
}
int CControlUI::GetMaxHeight() const { return Scaled(maxSize_.cy); }
void CControlUI::SetMaxHeight(int cy) {
    if (cy < 0) return;
    maxSize_.cy = cy;
    NeedParentUpdate();
}
UiRect CControlUI::GetPadding() const { return Scaled(padding_); }
void CControlUI::SetPadding(const UiRect& padding) {
    padding_ = padding;
    NeedParentUpdate();
}

UiSize CControlUI::EstimateSize(UiSize /*available*/) { return {GetFixedWidth(), GetFixedHeight()}; }

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
    manager_ = manager;
    managerLife_ = manager ? manager->Lifetime() : std::weak_ptr<int>();
    parent_ = parent;
    if (init && parent_) Invalidate();
    if (init && manager_) manager_->InitControls(this, parent);
}

CControlUI* CControlUI::FindControl(const FindProc& proc, UINT flags) {
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((flags & UIFIND_HITTEST) && !mouseEnabled_) return nullptr;
    return proc(this);
}

void CControlUI::Event(TEventUI& event) { DoEvent(event); }

void CControlUI::DoEvent(TEventUI& event) {
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        focused_ = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        focused_ = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        SendNotify(DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
        return;
    case UIEVENT_CONTEXTMENU:
        if (contextMenu_) {
            SendNotify(DUI_MSGTYPE_MENU, event.wParam, event.lParam);
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
    case UIEVENT_MOUSEHOVER:
        return;
    default:
        break;
    }
    if (parent_) parent_->DoEvent(event);
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::SendNotify(std::string_view type, WPARAM wParam, LPARAM lParam) {
    if (manager_) manager_->SendNotify(this, type, wParam, lParam);
}

void CControlUI::NotifyAccess(AccessEvent event) {
    if (manager_) manager_->NotifyAccess(this, event);
}

AccessRole CControlUI::GetAccessRole() const {
    // The pages of a tab layout are its tabs.
    if (parent_ && parent_->GetInterface("TabLayout")) return AccessRole::PageTab;
    return AccessRole::Panel;
}

std::string CControlUI::GetAccessName() const {
    if (std::string text = GetText(); !text.empty()) return text;
    if (std::string tip = GetToolTip(); !tip.empty()) return tip;
    if (accessName_.empty()) return {};
    std::string_view key = accessName_;
    if (auto inlineKey = InlineKey(accessName_)) key = *inlineKey;
    std::string text = CResourceManager::GetInstance().GetText(key);
    return text.empty() ? accessName_ : text;
}

std::string CControlUI::GetAccessDescription() const {
    std::string tip = GetToolTip();
    return tip == GetAccessName() ? std::string{} : tip;
}

void CControlUI::DoPaint(IRenderTarget& target, const UiRect& rcPaint) {
    if (!rcPaint.Intersects(rcItem_)) return;
    PaintBkColor(target);
    PaintBkImage(target);
    PaintStatusImage(target);
    PaintText(target);
    PaintBorder(target);
}

void CControlUI::PaintBkColor(IRenderTarget& target) {
    if ((bkColor_ >> 24) == 0) return;
    const UiSize round = GetBorderRound();
    if (round.cx > 0) {
        target.FillRoundRect(rcItem_, round.cx, bkColor_);
    } else {
        target.FillRect(rcItem_, bkColor_);
    }
}

void CControlUI::PaintBkImage(IRenderTarget& target) {
    if (!IsImageEmpty(bkImage_.desc)) DrawImage(target, bkImage_.desc);
}

void CControlUI::PaintStatusImage(IRenderTarget&) {}
void CControlUI::PaintText(IRenderTarget&) {}

void CControlUI::PaintBorder(IRenderTarget& target) {
    const int size = GetBorderSize();
    if (size <= 0 || (borderColor_ >> 24) == 0) return;
    target.DrawBorder(rcItem_, size, GetBorderRound().cx, borderColor_);
}

void CControlUI::DrawImage(IRenderTarget& target, const attr::ImageDesc& image, const UiRect& where) {
    ImageDraw draw;
    draw.file = CPaintManagerUI::ResolveResource(image.file);
    draw.dest = image.hasDest ? Scaled(image.dest).Offset(where.left, where.top) : where;
    draw.source = image.source;
    draw.corner = image.corner;
    draw.fade = image.fade;
    draw.tint = image.tint;
    draw.tintIntensity = image.tintIntensity;
    target.DrawImage(draw);
}

AttrResult CControlUI::SetAttribute(std::string_view name, std::string_view value) {
    return ApplyAttr(ControlAttrs(), *this, name, value).value_or(AttrResult::Unknown);
}

bool CControlUI::ApplyAttributeList(std::string_view list) {
    auto pairs = attr::List(list);
    if (!pairs) return false;
    bool ok = true;
    for (const auto& [name, value] : *pairs) ok = SetAttribute(name, value) == AttrResult::Applied && ok;
    return ok;
}

bool CControlUI::IsShownInTree() const {
    for (const CControlUI* c = this; c; c = c->parent_) {
        if (!c->visible_) return false;
    }
    return true;
}

// A control on a hidden page keeps its old rectangle, which overlaps the page shown now;
// repainting it there would only redraw what did not change. Showing the page again
// repaints it whole.
void CControlUI::Invalidate() {
    if (manager_ && IsShownInTree()) manager_->Invalidate(rcItem_);
}

void CControlUI::NeedUpdate() {
    updateNeeded_ = true;
    if (manager_) manager_->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
    if (parent_) {
        parent_->NeedUpdate();
    } else {
        NeedUpdate();
    }
}

int CControlUI::Scaled(int value) const { return manager_ ? manager_->ScaleValue(value) : value; }

UiRect CControlUI::Scaled(const UiRect& rc) const {
    return {Scaled(rc.left), Scaled(rc.top), Scaled(rc.right), Scaled(rc.bottom)};
}

}  // namespace q208
