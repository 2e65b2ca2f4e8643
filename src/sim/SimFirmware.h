#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <span>
#include <vector>

#include "sim/SimDeviceKind.h"
#include "sim/SimFaults.h"
#include "sim/SimProtocol.h"
#include "sim/SimTraffic.h"

namespace q208::sim {

// One input report the device sends in reply, possibly late.
struct SimAnswer {
    Report report{};
    int delayMs = 0;
};

// The memory areas the commands work on.
enum class SimArea : uint8_t {
    Info,         // 0x03, 34-byte information block
    Config,       // 0x05 / 0x06, setting area (lighting entries, settings blocks)
    KeyMap,       // 0x07 / 0x09, 3 bytes per key
    LedMap,       // 0x1B, 1 byte per key
    Status,       // 0x1A, 6-byte status block
    CustomSlots,  // 0x0B, custom light frames in slots of 512 bytes
    LiveFrame,    // 0x12, live colour frame
    MacroData,    // 0x15, macro block
    MacroBlock,   // 0x17, shoot block of the mouse
};
inline constexpr std::size_t kSimAreaCount = 9;

// One emulated device: its memory and the handling of the vendor command report.
// Every public operation is thread-safe; the host may write from several threads while
// the glue drains spontaneous reports from another.
class SimFirmware {
public:
    explicit SimFirmware(SimDeviceKind kind);
    virtual ~SimFirmware();
    SimFirmware(const SimFirmware&) = delete;
    SimFirmware& operator=(const SimFirmware&) = delete;

    SimDeviceKind Kind() const { return kind_; }

    // One output report in (byte 0 = report id 0x04, 64 bytes), the answers out. A report
    // of another length or id is not a command and gets no answer.
    virtual std::vector<SimAnswer> HandleOutputReport(std::span<const uint8_t> report);

    // Input reports the device sent on its own, oldest first, each as long as its report
    // (byte 0 the report id): vendor events and the key, consumer and pointer reports of the
    // other collections of the command interface. While the device is linked to a receiver
    // they go out through the receiver instead.
    std::vector<std::vector<uint8_t>> TakeSpontaneousInput();
    // The same, keeping only the vendor reports (the others are dropped).
    std::vector<Report> TakeSpontaneousReports();
    // Called (from the emitting thread, no lock held) whenever a report was queued.
    void SetReportsPendingCallback(std::function<void()> callback);

    // Sends the vendor event report for code (see SimDescriptors.h for the codes).
    void EmitEvent(uint16_t code);
    // Sends an input report of another collection of the command interface (byte 0 its id).
    void EmitInput(std::span<const uint8_t> report) { QueueReport(report); }

    SimFaults& faults() { return faults_; }
    // The command reports the device received and the reports it sent.
    SimTraffic& traffic() { return traffic_; }
    const SimTraffic& traffic() const { return traffic_; }

    // The area as text for people: the fields where the layout is known, then the bytes in
    // hex. Nothing for an area the device does not have.
    virtual void DescribeArea(SimArea area, std::ostream& out) const;

    // The unplug fault asks the bus glue to take the device away: the handler runs (no lock
    // held) and the flag stays set until cleared.
    void SetUnplugHandler(std::function<void()> handler);
    bool UnplugRequested() const { return unplugRequested_.load(); }
    void ClearUnplugRequest() { unplugRequested_.store(false); }

    // Memory, as copies; an area the device does not have is empty.
    std::vector<uint8_t> AreaBytes(SimArea area) const;
    std::vector<uint8_t> Info() const { return AreaBytes(SimArea::Info); }
    std::vector<uint8_t> Config() const { return AreaBytes(SimArea::Config); }
    std::vector<uint8_t> KeyMap() const { return AreaBytes(SimArea::KeyMap); }
    std::vector<uint8_t> LedMap() const { return AreaBytes(SimArea::LedMap); }
    std::vector<uint8_t> Status() const { return AreaBytes(SimArea::Status); }
    std::vector<uint8_t> CustomSlots() const { return AreaBytes(SimArea::CustomSlots); }
    std::vector<uint8_t> LightFrame() const { return AreaBytes(SimArea::LiveFrame); }
    std::vector<uint8_t> MacroData() const { return AreaBytes(SimArea::MacroData); }
    std::vector<uint8_t> MacroBlock() const { return AreaBytes(SimArea::MacroBlock); }
    // Changes memory as the device itself would (tests, tools); false when out of range.
    bool Poke(SimArea area, std::size_t offset, std::span<const uint8_t> bytes);
    // Status block: battery %, charge state (0 charged, 1 charging, 2 on battery), 0,
    // wireless indicator, the value the host forwards to its main window, phone type.
    void SetStatusBlock(const std::array<uint8_t, 6>& status) { Poke(SimArea::Status, 0, status); }

    // Requests received per command code (whatever became of them).
    uint32_t CommandsSeen(uint8_t code) const;
    uint32_t BadChecksums() const { return badChecksums_.load(); }
    bool HostLightingEnabled() const { return hostLighting_.load(); }
    bool InConfigSession() const { return configSession_.load(); }
    // Live frames whose last byte arrived.
    uint32_t LiveFramesCompleted() const { return liveFrames_.load(); }

protected:
    void DefineArea(SimArea area, std::vector<uint8_t> initial);

    // What the device answers to a well-formed report once the injected faults let it
    // through. The receiver replaces it with its routing.
    virtual std::vector<SimAnswer> Respond(const Report& request);

    // The QueryLink answer of a device reached directly: itself linked.
    virtual void FillLinkState(Report& answer) const;

    static Report MakeAnswer(const Report& request, uint8_t status);
    // The 0xFE answer to a report whose checksum does not match; counts it.
    std::vector<SimAnswer> RejectChecksum(const Report& request);
    static Report MakeEcho(uint8_t command);

    // Everything the device emits goes through here.
    void QueueReport(std::span<const uint8_t> report);

    // The decoded fields of the setting area; the base knows no layout for it.
    virtual void DescribeConfig(std::ostream& out) const;

    // A receiver the device is linked to takes its spontaneous reports; null detaches.
    void SetForwarder(std::function<void(std::span<const uint8_t>)> forwarder);
    friend class SimReceiver;

private:
    enum class Access : uint8_t { Control, Read, Write };
    struct CommandRule {
        uint8_t code;
        Access access;
        SimArea area;
    };
    static const CommandRule* FindRule(uint8_t code);

    std::vector<SimAnswer> ApplyFaults(const Report& request);
    void AddDecorations(const Report& request, std::vector<SimAnswer>& answers);
    uint8_t StaleCommandFor(uint8_t command) const;
    uint8_t RunControl(uint8_t code);
    uint8_t RunRead(SimArea area, const Report& request, Report& answer) const;
    uint8_t RunWrite(uint8_t code, SimArea area, const Report& request);
    void RequestUnplug();

    const SimDeviceKind kind_;
    SimFaults faults_;
    SimTraffic traffic_;

    mutable std::mutex memoryMutex_;
    std::array<std::vector<uint8_t>, kSimAreaCount> areas_;
    std::array<uint32_t, 256> seen_{};
    uint8_t lastCommand_ = 0;

    std::mutex reportsMutex_;
    std::deque<std::vector<uint8_t>> pending_;
    std::function<void()> reportsPending_;
    // Held while a report is forwarded, so a receiver that detaches waits for it.
    std::recursive_mutex forwardMutex_;
    std::function<void(std::span<const uint8_t>)> forwarder_;

    std::mutex unplugMutex_;
    std::function<void()> unplugHandler_;
    std::atomic<bool> unplugRequested_{false};

    std::atomic<uint32_t> badChecksums_{0};
    std::atomic<bool> hostLighting_{false};
    std::atomic<bool> configSession_{false};
    std::atomic<uint32_t> liveFrames_{0};
};

}  // namespace q208::sim
