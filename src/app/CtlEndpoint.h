#pragma once

#include <atomic>
#include <memory>

#include "platform/MessageEndpoint.h"

namespace q208 {

class CMainWnd;
class CMessageQueue;

// The command endpoint of every q208: q208ctl hands its device commands to it while the
// program runs (tools/CtlRemoteProtocol.h), so that only one program talks to a device.
// A command runs on the window's thread through q208ctl's own command table, on the
// command channels of the program's device objects (under their locks) where the program
// has the device open; the listener thread only answers the alive check and waits a
// bounded time for the window's thread.
class CtlEndpoint {
public:
    // Below q208ctl's wait, so that a slow command is answered with a refusal, not cut off.
    static constexpr int kWindowWaitMs = 55000;

    // `window` is read on the window's thread only; it is null once the window is gone.
    CtlEndpoint(std::shared_ptr<CMessageQueue> windowQueue, std::shared_ptr<CMainWnd*> window);
    ~CtlEndpoint();
    CtlEndpoint(const CtlEndpoint&) = delete;
    CtlEndpoint& operator=(const CtlEndpoint&) = delete;

    bool Open();
    // Stops taking commands; a command waiting for the window's thread is answered at once.
    void Close();

    // One request as the endpoint serves it (also for tests).
    EndpointReply Serve(const EndpointMessage& message);

private:
    EndpointReply RunOnWindowThread(std::vector<std::string> arguments);

    std::weak_ptr<CMessageQueue> queue_;
    std::shared_ptr<CMainWnd*> window_;
    std::atomic<bool> closing_{false};
    MessageEndpoint endpoint_;
};

}  // namespace q208
