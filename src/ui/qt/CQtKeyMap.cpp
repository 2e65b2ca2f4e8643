#include "ui/qt/CQtKeyMap.h"

#include <array>
#include <utility>

#include <Qt>

#include "ui/UiDefs.h"

namespace q208 {

namespace {

constexpr UINT kVkF1 = 0x70;
constexpr UINT kVkInsert = 0x2D;
constexpr UINT kVkCapital = 0x14;
constexpr UINT kVkPause = 0x13;

constexpr std::array<std::pair<int, UINT>, 21> kKeys = {{
    {Qt::Key_Backspace, VK_BACK},  {Qt::Key_Tab, VK_TAB},       {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},   {Qt::Key_Enter, VK_RETURN},  {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},      {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},     {Qt::Key_PageUp, VK_PRIOR},  {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},         {Qt::Key_Home, VK_HOME},     {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},           {Qt::Key_Right, VK_RIGHT},   {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Delete, VK_DELETE},   {Qt::Key_Insert, kVkInsert}, {Qt::Key_CapsLock, kVkCapital},
}};

}  // namespace

UINT VirtualKeyFromQt(int qtKey) {
    // Qt numbers letters and digits by their upper-case ASCII code, as the layer does.
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) {
        return static_cast<UINT>(qtKey);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kVkF1 + static_cast<UINT>(qtKey - Qt::Key_F1);
    if (qtKey == Qt::Key_Pause) return kVkPause;
    for (const auto& [qt, vk] : kKeys) {
        if (qt == qtKey) return vk;
    }
    return 0;
}

}  // namespace q208
