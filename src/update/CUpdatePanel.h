#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/WorkerThread.h"
#include "ui/UiDefs.h"
#include "ui/UiTypes.h"
#include "update/UpdateCheck.h"
#include "update/UpdateService.h"

namespace q208 {

class CControlUI;
class CListUI;
class CPaintManagerUI;
class CWindowWnd;
class CUpdateInfoListItemUI;
struct TNotifyUI;

// The update area of the settings window: it lists the program and every attached
// device's firmware, runs one check pass on its own thread when the window opens and
// shows the answers item by item, with the window's update state above them.
//
// On this system a newer program comes through the package manager: accepting an offered
// program update opens its release page in the browser (only an http or https address),
// and firmware is never downloaded or run here; nothing from the network is executed.
class CUpdatePanel {
public:
    // The check thread's results reach the window's thread with this message.
    static constexpr UINT kCheckWorkMessage = WM_APP + 0x30;
    static constexpr int kStopWaitMs = 500;
    static constexpr int kWindowWidth = 630;
    static constexpr int kWindowHeight = 500;

    static constexpr const char* kList = "update_info_list";
    static constexpr const char* kStatusText = "Update_Status_text";
    static constexpr const char* kRing = "update_status_ring";
    static constexpr const char* kImage = "update_status_image";
    static constexpr const char* kUpdateButton = "update_fw_and_ap";
    static constexpr const char* kOkButton = "update_OK_btn";
    static constexpr const char* kBackButton = "update_back_btn";
    static constexpr const char* kTabs = "get_update_tab_layout";
    static constexpr const char* kNotice = "update_tishi_layout";
    static constexpr const char* kNoticeButton = "set_in_update_wnd_btn";
    // The state-2 picture's text when no service is configured.
    static constexpr const char* kNoServiceTextKey = "NoUpdateServiceText";

    // Opens an http or https address in the desktop's browser; false when it could not.
    using UrlOpener = std::function<bool(const std::string& url)>;

    struct Context {
        std::vector<UpdateTarget> targets;
        UpdateServiceSettings service;
        std::filesystem::path userDataFolder;
        UrlOpener openUrl;  // empty: xdg-open
    };

    // `window` (built already) receives kCheckWorkMessage; `owner` (the main window) hears
    // WM_CLEAR_UPDATE_MARK (3094) when everything is current.
    CUpdatePanel(CPaintManagerUI& manager, CWindowWnd& window, HWND owner, Context context);
    ~CUpdatePanel();
    CUpdatePanel(const CUpdatePanel&) = delete;
    CUpdatePanel& operator=(const CUpdatePanel&) = delete;

    // Starts the check, or, without a service, says so and sends nothing.
    void Start();
    // True when the notification was one of the panel's controls.
    bool OnNotify(TNotifyUI& msg);
    // The check thread's results; true when `uMsg` was kCheckWorkMessage.
    bool OnMessage(UINT uMsg);
    // The update progress message of an updater program: 1 the current item is done,
    // 4 its percentage in `lParam`; 2 and 3 are the updater's own.
    void OnProgress(WPARAM wParam, LPARAM lParam);
    // False while an item is in a state that must not be left (downloading, installing…).
    bool CanClose() const;
    // Stops the check thread (bounded wait).
    void Stop();
    // After a language change: the state text again.
    void RefreshTexts();

    int State() const { return state_; }
    bool ServiceConfigured() const { return context_.service.Configured(); }
    int ItemCount() const;
    CUpdateInfoListItemUI* ItemAt(int index) const;
    bool CheckRunning() const { return thread_.IsRunning(); }
    // Raised by "update_OK_btn"; read by whoever carries the update out.
    static bool UpdateRequested() { return updateRequested_.load(); }
    static void ClearUpdateRequested() { updateRequested_ = false; }

    // The targets of a check: the program itself first, then the devices; entries without a
    // version are left out.
    static std::vector<UpdateTarget> WithProgram(std::vector<UpdateTarget> devices);
    static UpdateTarget ProgramTarget();

private:
    struct CheckEvent;
    struct Shared;
    class Sink;

    void Apply(const CheckEvent& event);
    void SetState(int state);
    void ShowStateText();
    void OnChecked(int state);
    void OnAccept();
    void UpdateButtonFromTicks();
    CUpdateInfoListItemUI* CurrentItem() const;
    CControlUI* Find(const char* name) const;
    // Whether list item `item` (items follow the targets) is the program itself.
    bool IsSoftware(size_t item) const;

    CPaintManagerUI& manager_;
    CWindowWnd& window_;
    HWND owner_;
    Context context_;
    std::shared_ptr<Shared> shared_;
    WorkerThread thread_{"update check"};
    int state_ = -1;
    bool noService_ = false;
    static std::atomic<bool> updateRequested_;
};

}  // namespace q208
