#include "editors/LightEnableTables.h"

#include <array>
#include <vector>

namespace q208 {

namespace {

constexpr Tri O = Tri::On;
constexpr Tri X = Tri::Off;
constexpr Tri K = Tri::Keep;

struct Entry {
    std::vector<int> effects;  // empty: every other effect
    LightEnableRow row;
};

LightEnableRow Row(Tri seven, Tri colour, Tri palette, Tri bright, Tri speed, Tri dir) {
    LightEnableRow r;
    r.sevenColour = seven;
    r.colour = colour;
    r.palette = palette;
    r.brightness = bright;
    r.speed = speed;
    r.direction = dir;
    return r;
}

LightEnableRow NoColourLayout(LightEnableRow r) {
    r.lightColourLayout = X;
    return r;
}

LightEnableRow Labels(LightEnableRow r, std::string_view left, std::string_view right) {
    r.leftLabel = left;
    r.rightLabel = right;
    return r;
}

const std::array<Entry, 19>& KeyboardTable() {
    static const std::array<Entry, 19> table = [] {
        LightEnableRow e17 = NoColourLayout(Row(X, X, X, O, O, X));
        e17.speedHidden = true;
        e17.subModeLayout = true;
        LightEnableRow e18 = NoColourLayout(Row(X, O, X, O, X, X));
        e18.speedHidden = true;
        e18.customLayout = true;
        LightEnableRow e29 = Row(O, O, O, O, X, O);
        e29.speedHidden = true;
        e29.audioLayout = true;
        return std::array<Entry, 19>{{
            {{1, 2}, Row(O, O, O, O, O, O)},
            {{3}, NoColourLayout(Row(X, X, X, O, O, X))},
            {{4, 23}, Row(O, O, O, O, O, X)},
            {{5}, Row(O, O, O, O, X, X)},
            {{6, 7, 8, 9, 12, 13, 14, 25, 33}, Row(O, O, O, O, O, X)},
            {{10, 26}, NoColourLayout(Row(X, X, X, O, O, X))},
            {{11}, Labels(NoColourLayout(Row(X, X, X, O, O, O)), "light_set_down_to_up_text", "light_set_up_to_down_text")},
            {{15}, Row(O, O, O, O, X, X)},
            {{16}, Labels(NoColourLayout(Row(X, X, X, O, X, O)), "light_set_outside_to_inside_text",
                          "light_set_inside_to_outside_text")},
            {{17}, e17},
            {{18}, e18},
            {{19}, NoColourLayout(Row(X, X, X, X, X, X))},
            {{21}, Row(X, X, X, O, X, X)},
            {{22, 24}, Labels(Row(O, O, O, O, O, O), "light_set_clockwise_text", "light_set_anticlockwise_text")},
            {{27}, Row(X, X, X, O, O, O)},
            {{28}, Labels(Row(O, O, O, O, O, O), "light_set_up_to_down_text", "light_set_down_to_up_text")},
            {{29}, e29},
            {{30}, NoColourLayout(Row(X, X, X, O, X, X))},
            {{}, Row(X, X, X, X, X, X)},
        }};
    }();
    return table;
}

LightEnableRow Rgb(LightEnableRow r, Tri rgb) {
    r.rgbLayout = rgb;
    return r;
}

const std::array<Entry, 7>& MouseTable() {
    static const std::array<Entry, 7> table{{
        {{0}, Rgb(Row(X, O, O, O, X, X), O)},
        {{1, 7}, Rgb(Row(X, O, O, O, O, X), O)},
        {{2, 3, 4, 5}, Rgb(Row(X, X, X, O, O, X), X)},
        {{6}, Row(X, X, X, X, X, X)},
        {{8}, Row(X, X, X, O, O, X)},
        {{10}, Row(O, O, O, O, O, X)},
        {{}, Row(X, X, X, X, X, X)},
    }};
    return table;
}

const std::array<Entry, 5>& PadTable() {
    static const std::array<Entry, 5> table{{
        {{0}, Row(O, O, O, O, O, O)},
        {{1}, Row(X, X, X, O, O, X)},
        {{2, 4}, Row(O, O, O, O, O, X)},
        {{3}, Row(X, O, O, O, X, X)},
        {{}, Row(X, X, X, X, X, X)},
    }};
    return table;
}

// Kind 5 has no direction control of its own: its rows leave the direction as it is.
LightEnableRow Kind5(Tri seven, Tri colour, Tri palette, Tri bright, Tri speed) {
    LightEnableRow r = Row(seven, colour, palette, bright, speed, K);
    return r;
}

const std::array<Entry, 4>& Kind5Table() {
    static const std::array<Entry, 4> table{{
        {{0, 2, 3}, Kind5(O, O, O, O, O)},
        {{1}, Kind5(X, O, O, O, X)},
        {{4}, Kind5(X, X, X, O, O)},
        {{}, Kind5(X, X, X, X, X)},
    }};
    return table;
}

template <size_t N>
LightEnableRow Look(const std::array<Entry, N>& table, int effect) {
    for (const Entry& entry : table) {
        if (entry.effects.size() == 0) return entry.row;
        for (int e : entry.effects) {
            if (e == effect) return entry.row;
        }
    }
    return Row(X, X, X, X, X, X);
}

}  // namespace

LightEnableReset LightEnableResetOf(int kind) {
    switch (kind) {
    case 1: return {true, true};
    case 2:
    case 3:
    case 4:
    case 7: return {false, true};
    default: return {false, false};
    }
}

LightEnableRow LightEnableRowOf(int kind, int effect) {
    switch (kind) {
    case 1: return Look(KeyboardTable(), effect);
    case 2: return Look(MouseTable(), effect);
    case 3:
    case 4:
    case 7: return Look(PadTable(), effect);
    case 5: return Look(Kind5Table(), effect);
    default: return Row(X, X, X, X, X, X);
    }
}

}  // namespace q208
