#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace q208 {

// The lighting effects a device offers, from "default_light.json": one list per device
// (keyboard 0, mouse 1, mouse pad 2, headset 3). An effect's number is its position in the
// list; its device code is the entry's "value".
class KeyboardEffectList {
public:
    struct Entry {
        std::string name;  // the effect's name or language key
        bool visible = true;
        int code = 0;      // the device's code for the effect
    };

    static constexpr int kKeyboardListIndex = 0;
    static constexpr const char* kFileName = "default_light.json";
    // The code a lighting record carries for an effect the host renders and streams.
    static constexpr uint8_t kHostStreamedCode = 0xFE;

    KeyboardEffectList() = default;
    explicit KeyboardEffectList(std::vector<Entry> entries) : entries_(std::move(entries)) {}

    // The data root's "DefaultData/default_light.json".
    static std::filesystem::path DefaultFile();
    // Loads list `listIndex` of the file; a missing file, member or list leaves the lists
    // empty (false).
    bool Load(const std::filesystem::path& file, int listIndex);

    const std::vector<Entry>& Entries() const { return entries_; }
    const std::vector<std::string>& AreaNames() const { return areaNames_; }

    // The device code of an effect number; a number past the list is its own code.
    int DeviceCode(int number) const;
    // The byte the lighting record carries: the device code, 0xFE for the host-streamed
    // codes 29 and 30.
    uint8_t RecordCode(int number) const;
    // The effect number of a record code: the first entry with that code; 0xFE keeps
    // `current`; a code in no entry is taken as the number itself.
    int NumberOf(uint8_t code, int current) const;

private:
    std::vector<Entry> entries_;
    std::vector<std::string> areaNames_;
};

}  // namespace q208
