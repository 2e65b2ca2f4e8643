#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "sim/SimDescriptors.h"
#include "sim/SimDeviceTable.h"

namespace q208::sim {
namespace {

// Just enough of a report-descriptor walk to see what a host's parser would see.
struct ParsedCollection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::map<uint8_t, int> inputBits;   // per report id
    std::map<uint8_t, int> outputBits;
    std::vector<std::pair<uint16_t, int>> firstInputs;  // (usage, bits) of report 4's inputs
};

std::vector<ParsedCollection> Walk(std::span<const uint8_t> descriptor) {
    std::vector<ParsedCollection> collections;
    uint16_t usagePage = 0;
    uint8_t reportId = 0;
    int reportSize = 0;
    int reportCount = 0;
    std::vector<uint32_t> usages;
    int depth = 0;
    for (std::size_t i = 0; i < descriptor.size();) {
        const uint8_t prefix = descriptor[i];
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        EXPECT_LE(i + 1 + size, descriptor.size()) << "item runs past the end";
        uint32_t value = 0;
        for (std::size_t b = 0; b < size && i + 1 + b < descriptor.size(); ++b) {
            value |= static_cast<uint32_t>(descriptor[i + 1 + b]) << (8 * b);
        }
        switch (prefix & 0xFC) {
            case 0x04: usagePage = static_cast<uint16_t>(value); break;
            case 0x84: reportId = static_cast<uint8_t>(value); break;
            case 0x74: reportSize = static_cast<int>(value); break;
            case 0x94: reportCount = static_cast<int>(value); break;
            case 0x08: usages.push_back(value); break;
            case 0xA0:
                if (depth++ == 0) {
                    ParsedCollection tlc;
                    tlc.usagePage = usagePage;
                    tlc.usage = static_cast<uint16_t>(usages.empty() ? 0 : usages[0]);
                    collections.push_back(tlc);
                }
                break;
            case 0xC0: --depth; break;
            case 0x80:
            case 0x90: {
                ParsedCollection& tlc = collections.back();
                const int bits = reportSize * reportCount;
                ((prefix & 0xFC) == 0x80 ? tlc.inputBits : tlc.outputBits)[reportId] += bits;
                if ((prefix & 0xFC) == 0x80 && reportId == 4) {
                    tlc.firstInputs.emplace_back(usages.empty() ? 0 : usages[0], reportSize);
                }
                break;
            }
            default: break;
        }
        if ((prefix & 0x0C) == 0x00) {  // a main item ends the local usages
            usages.clear();
        }
        i += 1 + size;
    }
    EXPECT_EQ(depth, 0) << "unbalanced collections";
    return collections;
}

TEST(SimDeviceTableTest, DescriptorsPublishTheCollectionsOfTheTableWithFullSizeVendorReports) {
    for (const SimDeviceEntry& device : SimDeviceTable()) {
        SCOPED_TRACE(device.name);
        ASSERT_EQ(device.interfaces.size(), InterfaceDescriptors(device.kind).size());
        bool commandsFound = false;
        for (const SimInterface& interface : device.interfaces) {
            const auto parsed = Walk(ReportDescriptor(device.kind, interface.interfaceNumber));
            ASSERT_EQ(parsed.size(), interface.collections.size()) << "mi " << int(interface.interfaceNumber);
            for (std::size_t c = 0; c < parsed.size(); ++c) {
                const SimCollection& expected = interface.collections[c];
                EXPECT_EQ(expected.number, parsed.size() == 1 ? 0 : c + 1);
                EXPECT_EQ(parsed[c].usagePage, expected.usagePage);
                EXPECT_EQ(parsed[c].usage, expected.usage);
                if (!expected.carriesCommands) {
                    continue;
                }
                commandsFound = true;
                EXPECT_EQ(interface.interfaceNumber, device.commandInterface);
                EXPECT_EQ(expected.number, device.commandCollection);
                EXPECT_EQ(parsed[c].inputBits.at(4), 63 * 8);
                EXPECT_EQ(parsed[c].outputBits.at(4), 63 * 8);
                ASSERT_FALSE(parsed[c].firstInputs.empty());
                EXPECT_EQ(parsed[c].firstInputs[0], std::make_pair(uint16_t{0x01}, 16));  // the event value
            }
        }
        EXPECT_TRUE(commandsFound);
    }
}

TEST(SimDeviceTableTest, EveryInterfaceTheHostLooksForIsPublished) {
    struct Row { uint16_t vid, pid; uint8_t mi, col; uint16_t page, usage; };
    const Row hostRows[] = {
        {0x4E5B, 0x7C13, 1, 4, 0xFF1C, 0x92}, {0x4E5B, 0x7C13, 1, 3, 0x000C, 0x01},
        {0x4E5B, 0x7C12, 1, 4, 0xFF1C, 0x92}, {0x4E5B, 0x7C12, 1, 3, 0x000C, 0x01},
        {0x4E5B, 0x7C11, 1, 2, 0xFF1C, 0x92}, {0x4E5B, 0x7C11, 0, 3, 0x000C, 0x01},
        {0x4E5B, 0x5D02, 1, 4, 0xFF1C, 0x92}, {0x4E5B, 0x5D02, 1, 3, 0x000C, 0x01},
        {0x2A91, 0x3E48, 3, 0, 0x000C, 0x01},
    };
    for (const Row& row : hostRows) {
        bool found = false;
        for (const SimDeviceEntry& device : SimDeviceTable()) {
            for (const SimInterface& interface : device.interfaces) {
                for (const SimCollection& tlc : interface.collections) {
                    found = found || (device.vendorId == row.vid && device.productId == row.pid &&
                                      interface.interfaceNumber == row.mi && tlc.number == row.col &&
                                      tlc.usagePage == row.page && tlc.usage == row.usage);
                }
            }
        }
        EXPECT_TRUE(found) << std::hex << row.pid << " mi " << int(row.mi) << " col " << int(row.col);
    }
    EXPECT_EQ(SimDeviceEntryFor(SimDeviceKind::Headset).hostKindCode, 7);
    EXPECT_TRUE(ReportDescriptor(SimDeviceKind::Headset, 0).empty());
}

}  // namespace
}  // namespace q208::sim
