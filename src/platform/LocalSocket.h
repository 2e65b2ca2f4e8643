#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/MessageFrame.h"

namespace q208 {

// One Unix stream socket of the message endpoints, closed on destruction. Every wait is
// bounded by a deadline on TickCount64(), so a peer that stops talking never hangs us.
class LocalSocket {
public:
    enum class ConnectResult { Connected, NoListener, Failed };

    LocalSocket() = default;
    explicit LocalSocket(int fd) : fd_(fd) {}
    ~LocalSocket() { Close(); }
    LocalSocket(LocalSocket&& other) noexcept;
    LocalSocket& operator=(LocalSocket&& other) noexcept;
    LocalSocket(const LocalSocket&) = delete;
    LocalSocket& operator=(const LocalSocket&) = delete;

    int Fd() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Close();

    // NoListener: the file is missing or nobody listens on it (a stale file).
    ConnectResult Connect(const std::filesystem::path& path, int timeoutMs);
    bool WriteAll(std::span<const uint8_t> bytes, uint64_t deadline);
    // Reads exactly one frame. Status Incomplete when the peer closed or the deadline passed.
    ParsedFrame ReadFrame(size_t maxDataBytes, uint64_t deadline);

    // Longest socket path the kernel takes (sun_path less its terminating zero).
    static constexpr size_t kMaxPathBytes = 107;

private:
    int fd_ = -1;
};

}  // namespace q208
