#include "device/SupportedInterfaceMatcher.h"

#include "device/CHidDevice.h"

namespace q208 {
namespace {

bool PathNumbersEqual(const DeviceSlot& row, const InterfaceCandidate& c) {
    return row.vendorId == c.vendorId && row.productId == c.productId && row.interfaceNumber == c.interfaceNumber &&
           row.collectionNumber == c.collectionNumber;
}

bool AllEqual(const DeviceSlot& row, const InterfaceCandidate& c) {
    return PathNumbersEqual(row, c) && row.usagePage == c.usagePage && row.usage == c.usage;
}

}  // namespace

InterfaceCandidate SupportedInterfaceMatcher::FromPath(std::string_view path) {
    InterfaceCandidate candidate;
    candidate.vendorId = ParseVendorId(path);
    candidate.productId = ParseProductId(path);
    candidate.interfaceNumber = ParseInterfaceNumber(path);
    candidate.collectionNumber = ParseCollectionNumber(path);
    candidate.path = std::string(path);
    return candidate;
}

void SupportedInterfaceMatcher::CompleteFrom(const CHidDevice& device, InterfaceCandidate& candidate) {
    candidate.vendorId = device.Attributes().vendorId;
    candidate.productId = device.Attributes().productId;
    candidate.usagePage = device.Caps().usagePage;
    candidate.usage = device.Caps().usage;
}

bool SupportedInterfaceMatcher::QuickMatch(const InterfaceCandidate& candidate) const {
    for (const DeviceSlot& row : rows_) {
        if (row.IsFree() && PathNumbersEqual(row, candidate)) return true;
    }
    return false;
}

std::optional<size_t> SupportedInterfaceMatcher::FullMatch(const InterfaceCandidate& candidate) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].IsFree() && AllEqual(rows_[i], candidate)) return i;
    }
    return std::nullopt;
}

std::optional<size_t> SupportedInterfaceMatcher::Classify(InterfaceCandidate& candidate) const {
    const std::optional<size_t> row = FullMatch(candidate);
    if (row) {
        candidate.kind = rows_[*row].kind;
        candidate.role = rows_[*row].role;
    }
    return row;
}

}  // namespace q208
