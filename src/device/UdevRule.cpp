#include "device/UdevRule.h"

#include <fnmatch.h>

#include <algorithm>
#include <optional>
#include <cstdio>
#include <sstream>

#include "device/DeviceSlot.h"

namespace q208 {
namespace {

constexpr const char* kUaccess = "uaccess";

std::string Hex4(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// One KEY OP "VALUE" term of a rule line.
struct Term {
    std::string key, op, value;
};

// The terms of a line, or nothing when it does not read as KEY OP "VALUE", ...
std::optional<std::vector<Term>> ParseTerms(std::string_view line) {
    std::vector<Term> terms;
    size_t at = 0;
    while (true) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == ',')) ++at;
        if (at >= line.size()) return terms;
        const size_t opAt = line.find_first_of("=!+-:", at);
        const size_t quote = line.find('"', at);
        if (opAt == std::string_view::npos || quote == std::string_view::npos || quote < opAt) return std::nullopt;
        const size_t close = line.find('"', quote + 1);
        if (close == std::string_view::npos) return std::nullopt;
        Term term{std::string(Trim(line.substr(at, opAt - at))), std::string(Trim(line.substr(opAt, quote - opAt))),
                  std::string(line.substr(quote + 1, close - quote - 1))};
        terms.push_back(std::move(term));
        at = close + 1;
    }
}

bool Matches(const std::string& pattern, const std::string& value) {
    // A value may list alternatives separated by '|'.
    std::istringstream alternatives(pattern);
    for (std::string one; std::getline(alternatives, one, '|');) {
        if (::fnmatch(one.c_str(), value.c_str(), 0) == 0) return true;
    }
    return false;
}

// What a hidraw node of a USB device shows to the matches this reader knows.
std::optional<std::string> PropertyOf(const std::string& key, UdevRule::DeviceId device) {
    if (key == "SUBSYSTEM") return std::string("hidraw");
    if (key == "ACTION") return std::string("add");
    if (key == "ATTRS{idVendor}") return Hex4(device.vendor);
    if (key == "ATTRS{idProduct}") return Hex4(device.product);
    if (key == "KERNELS") {
        char name[32];
        std::snprintf(name, sizeof name, "0003:%04X:%04X.0001", device.vendor, device.product);
        return std::string(name);
    }
    return std::nullopt;
}

// Whether the line's matches all hold and it adds the uaccess tag.
bool LineGrants(const std::vector<Term>& terms, UdevRule::DeviceId device) {
    bool tags = false;
    for (const Term& term : terms) {
        if (term.op == "==" || term.op == "!=") {
            const auto value = PropertyOf(term.key, device);
            if (!value || Matches(term.value, *value) != (term.op == "==")) return false;
        } else if (term.key == "TAG" && (term.op == "+=" || term.op == "=") && term.value == kUaccess) {
            tags = true;
        }
    }
    return tags;
}

}  // namespace

std::vector<UdevRule::DeviceId> UdevRule::DeviceIds() {
    std::vector<DeviceId> ids;
    for (const DeviceSlot& row : SupportedDeviceTable()) {
        const DeviceId id{row.vendorId, row.productId};
        if (row.productId != 0 && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    return ids;
}

std::string UdevRule::Text() {
    std::string text =
        "# The Tulmaro Q208 devices: the user logged in at the seat may open their hidraw nodes,\n"
        "# so that q208 and q208ctl work without root. 'q208ctl doctor rule' prints this file.\n";
    for (const DeviceId& id : DeviceIds()) {
        text += "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" + Hex4(id.vendor) + "\", ATTRS{idProduct}==\"" +
                Hex4(id.product) + "\", TAG+=\"" + kUaccess + "\"\n";
    }
    return text;
}

bool UdevRule::GrantsAccess(std::string_view text, DeviceId device) {
    std::istringstream lines{std::string(text)};
    std::string line, joined;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\\') {  // continued on the next line
            joined += line.substr(0, line.size() - 1);
            continue;
        }
        joined += line;
        const std::string_view trimmed = Trim(joined);
        const bool comment = trimmed.empty() || trimmed.front() == '#';
        const auto terms = comment ? std::nullopt : ParseTerms(trimmed);
        joined.clear();
        if (terms && LineGrants(*terms, device)) return true;
    }
    return false;
}

}  // namespace q208
