#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/IRenderTarget.h"
#include "ui/UiDefs.h"
#include "ui/UiTypes.h"

namespace q208 {

// How a control took an attribute; the builder traces the last two with file and line.
enum class AttrResult { Applied, Unknown, Malformed };

// Parsers of attribute values as layouts write them. Each returns nullopt for a malformed
// value, so that the caller keeps its previous state.
namespace attr {

std::optional<bool> Bool(std::string_view v);            // "true"/"false" (also 1/0)
std::optional<int> Int(std::string_view v);              // decimal, optional sign
std::optional<UiSize> Size(std::string_view v);          // "cx,cy"
std::optional<UiRect> Rect(std::string_view v);          // "l,t,r,b"
std::optional<ARGB> Color(std::string_view v);           // "#AARRGGBB", "#RRGGBB", "0xAARRGGBB"
std::optional<int> Number(std::string_view v);           // decimal or 0x-prefixed hexadecimal
std::optional<UINT> HAlign(std::string_view v);          // "left", "center", "right" as DT_ flags
std::optional<UINT> VAlign(std::string_view v);          // "top", "vcenter"/"center", "bottom"

// An image description: a bare file name, or "file='..' source='l,t,r,b' dest='l,t,r,b'
// corner='l,t,r,b' fade='0..255' tint='#AARRGGBB' intensity='0..255'". `dest` stays relative
// to the control; the file stays skin-relative.
struct ImageDesc {
    std::string file;
    UiRect source;
    UiRect dest;
    bool hasDest = false;
    UiRect corner;
    int fade = 255;
    ARGB tint = 0;
    int tintIntensity = 0;
};
std::optional<ImageDesc> Image(std::string_view v);

// name="value" pairs of a <Default> value or SetAttributeList; nullopt when unbalanced.
std::optional<std::vector<std::pair<std::string, std::string>>> List(std::string_view v);

}  // namespace attr
}  // namespace q208
