#include "device/CHidDevice.h"

#include <algorithm>
#include <climits>

#include "device/HidPath.h"
#include "platform/Trace.h"

namespace q208 {
namespace {

constexpr uint32_t kWaitForever = 0xFFFFFFFF;

int ToTimeout(uint32_t timeoutMs) {
    return timeoutMs == kWaitForever || timeoutMs > static_cast<uint32_t>(INT_MAX)
               ? -1
               : static_cast<int>(timeoutMs);
}

}  // namespace

CHidDevice::CHidDevice(std::shared_ptr<IHidBus> bus) : bus_(std::move(bus)) {}

CHidDevice::~CHidDevice() {
    Close();
    FreePaths();
}

bool CHidDevice::EnumeratePaths() {
    FreePaths();
    if (!bus_) return false;
    std::vector<std::string> paths;
    if (!bus_->TryEnumeratePaths(paths)) paths.clear();
    paths_ = std::move(paths);
    havePaths_ = true;
    return true;
}

const char* CHidDevice::NextPath() {
    if (!havePaths_ || cursor_ >= paths_.size()) return nullptr;
    return paths_[cursor_++].c_str();
}

void CHidDevice::FreePaths() {
    paths_.clear();
    paths_.shrink_to_fit();
    havePaths_ = false;
    cursor_ = 0;
}

bool CHidDevice::Open(const std::string& path, bool wantRead, bool wantWrite, bool overlapped,
                      bool exclusive) {
    wantRead_ = wantRead;
    wantWrite_ = wantWrite;
    overlapped_ = overlapped;
    exclusive_ = exclusive;
    if (path.size() > HidPath::kMaxLength) {
        Close();
        Trace("hid: path of %zu characters refused", path.size());
        return false;
    }
    devicePath_ = path;
    return Reopen();
}

bool CHidDevice::Reopen() {
    Close();
    if (!bus_ || devicePath_.empty()) return false;
    std::unique_ptr<IHidHandle> handle = bus_->Open(devicePath_, wantRead_, wantWrite_);
    if (!handle) return false;
    if (!CaptureInformation()) {
        FreeInformation();
        return false;
    }
    std::lock_guard lock(handleMutex_);
    handle_ = std::move(handle);
    return true;
}

void CHidDevice::Close() {
    std::shared_ptr<IHidHandle> closing;
    {
        std::lock_guard lock(handleMutex_);
        if (readPending_) readAbort_.Set();
        if (writePending_) writeAbort_.Set();
        closing = std::move(handle_);
    }
    FreeInformation();
    // A transfer still in flight holds its own reference; the node closes when it returns.
}

bool CHidDevice::IsOpen() const {
    std::lock_guard lock(handleMutex_);
    return handle_ != nullptr;
}

bool CHidDevice::CaptureInformation() {
    const std::vector<uint8_t> bytes = bus_->ReportDescriptor(devicePath_);
    std::string error;
    auto parsed = HidReportDescriptor::Parse(bytes, &error);
    if (!parsed) {
        Trace("hid: %s: bad report descriptor (%s)", devicePath_.c_str(), error.c_str());
        return false;
    }
    if (!bus_->Attributes(devicePath_, attributes_)) return false;
    const size_t index = HidPath::CollectionIndex(devicePath_);
    if (index >= parsed->Collections().size()) return false;
    descriptor_ = std::make_shared<const HidReportDescriptor>(std::move(*parsed));
    collection_ = &descriptor_->Collections()[index];
    caps_ = collection_->Caps();
    for (int type = 0; type < kHidReportTypeCount; ++type) BuildReportSet(static_cast<HidReportType>(type));
    interfaceNumber_ = HidPath::InterfaceNumber(devicePath_);
    collectionNumber_ = HidPath::CollectionNumber(devicePath_);
    return true;
}

void CHidDevice::BuildReportSet(HidReportType type) {
    ReportSet& set = reports_[static_cast<size_t>(type)];
    set.buffer.assign(collection_->ReportByteLength(type), 0);
    set.buttonCaps = collection_->ButtonCaps(type);
    set.valueCaps = collection_->ValueCaps(type);
    set.data.clear();
    for (const HidButtonCaps& caps : set.buttonCaps) {
        HidData entry;
        entry.isButtonData = true;
        entry.usagePage = caps.usagePage;
        entry.reportId = caps.reportId;
        entry.usageMin = caps.usageMin;
        entry.usageMax = caps.usageMax;
        entry.maxUsageLength = collection_->MaxUsageListLength(type, caps.usagePage);
        entry.usages.assign(entry.maxUsageLength, 0);
        set.data.push_back(std::move(entry));
    }
    for (const HidValueCaps& caps : set.valueCaps) {
        for (uint32_t usage = caps.usageMin; usage <= caps.usageMax; ++usage) {
            HidData entry;
            entry.usagePage = caps.usagePage;
            entry.reportId = caps.reportId;
            entry.usage = static_cast<uint16_t>(usage);
            set.data.push_back(std::move(entry));
        }
    }
}

void CHidDevice::FreeInformation() {
    for (ReportSet& set : reports_) set = ReportSet{};
    collection_ = nullptr;
    descriptor_.reset();
    caps_ = HidCaps{};
    attributes_ = HidAttributes{};
}

const HidTopLevelCollection* CHidDevice::PreparsedData() const { return collection_; }

int CHidDevice::ReadReport(uint8_t* buf, uint32_t len, uint32_t* bytesOut, uint32_t timeoutMs) {
    if (bytesOut) *bytesOut = 0;
    std::shared_ptr<IHidHandle> handle;
    {
        std::lock_guard lock(handleMutex_);
        if (!handle_) return 0;
        handle = handle_;
        readAbort_.Reset();  // a Close that came after an earlier read finished is stale
        readPending_ = true;
    }
    const int result = handle->Read(buf, len, ToTimeout(timeoutMs), &readAbort_);
    readPending_ = false;
    if (result <= 0) return 0;
    if (bytesOut) *bytesOut = static_cast<uint32_t>(result);
    return 1;
}

int CHidDevice::WriteReport(const uint8_t* buf, uint32_t len, uint32_t* bytesOut, uint32_t timeoutMs) {
    if (bytesOut) *bytesOut = 0;
    std::shared_ptr<IHidHandle> handle;
    {
        std::lock_guard lock(handleMutex_);
        if (!handle_) return 0;
        handle = handle_;
        writeAbort_.Reset();
        writePending_ = true;
    }
    const int result = handle->Write(buf, len, ToTimeout(timeoutMs), &writeAbort_);
    writePending_ = false;
    if (result <= 0) return 0;
    if (bytesOut) *bytesOut = static_cast<uint32_t>(result);
    return 1;
}

bool CHidDevice::FlushQueue() {
    std::shared_ptr<IHidHandle> handle;
    {
        std::lock_guard lock(handleMutex_);
        handle = handle_;
    }
    if (!handle) return false;
    handle->Flush();
    return true;
}

bool CHidDevice::PathExists(const std::string& path) { return bus_ && bus_->Exists(path); }

bool CHidDevice::UnpackInputReport(const uint8_t* report, uint32_t len, HidData* data,
                                   uint32_t count, const HidTopLevelCollection* preparsed) {
    if (report == nullptr || len == 0 || preparsed == nullptr || (data == nullptr && count > 0)) return false;
    const uint8_t reportId = report[0];
    for (uint32_t i = 0; i < count; ++i) {
        HidData& entry = data[i];
        if (entry.reportId != reportId) continue;
        if (entry.isButtonData) {
            uint32_t found = static_cast<uint32_t>(entry.usages.size());
            entry.status = preparsed->GetUsages(HidReportType::Input, entry.usagePage, 0,
                                                entry.usages.data(), &found, report, len);
            // Keep only the usages of this entry's range, in place.
            const uint32_t listed = std::min<uint32_t>(found, static_cast<uint32_t>(entry.usages.size()));
            uint32_t kept = 0;
            for (uint32_t k = 0; k < listed; ++k) {
                const uint16_t usage = entry.usages[k];
                if (usage >= entry.usageMin && usage <= entry.usageMax) entry.usages[kept++] = usage;
            }
            std::fill(entry.usages.begin() + kept, entry.usages.end(), 0);
        } else {
            entry.status = preparsed->GetUsageValue(HidReportType::Input, entry.usagePage, 0,
                                                    entry.usage, &entry.value, report, len);
            if (entry.status != kHidStatusSuccess) return false;
            entry.status = preparsed->GetScaledUsageValue(HidReportType::Input, entry.usagePage, 0,
                                                          entry.usage, &entry.scaledValue, report, len);
        }
        entry.isDataSet = true;
    }
    return true;
}

}  // namespace q208
