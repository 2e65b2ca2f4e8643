#include "app/AppStartup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "app/CMainWnd.h"
#include "app/CtlEndpoint.h"
#include "app/MainWndMessages.h"
#include "app/QtMainWndShell.h"
#include "sim/SimEndpoint.h"
#include "app/SimWindowVerbs.h"
#include "controls/CMpDevicePowerUI.h"
#include "editors/CDeviceProfileUI.h"
#include "editors/CMacroControlUI.h"
#include "editors/CKeySetControlUI.h"
#include "editors/CShootControlUI.h"
#include "editors/CLightControlUI.h"
#include "controls/RegisterControls.h"
#include "device/SimBus.h"
#include "devices/RegisterDeviceControls.h"
#include "update/CUpdateInfoListItemUI.h"
#include "platform/EndpointMessaging.h"
#include "platform/Paths.h"
#include "platform/RegisteredMessageNames.h"
#include "platform/SingleInstanceLock.h"
#include "platform/Trace.h"
#include "sim/SimControl.h"
#include "sim/SimDeviceSet.h"
#include "sim/SimVerbs.h"
#include "ui/CControlFactory.h"
#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/UiMessaging.h"
#include "ui/qt/CQtPlatform.h"
#include "ui/qt/SkinSetup.h"
#include "ui/qt/WindowSnapshot.h"

namespace q208 {

namespace {

// The running copy is asked to come to the front (lParam 1).
void WakeFirstCopy() {
    if (const auto first = FindWindow(kMainWindowClass, kMainWindowTitle)) {
        if (SendMessageTo(*first, kProductMessageName, 0, 1).Delivered()) return;
    }
    BroadcastMessage(kProductMessageName, 0, 1);
}

// The older control message of a simulating instance, as a verb line of the emulator's
// vocabulary: action and kind numbers become their names.
std::function<bool(int, int)> SimControl(sim::SimDeviceSet& devices) {
    return [&devices](int action, int kindNumber) {
        if (kindNumber < 0 || kindNumber >= sim::kSimDeviceKindCount) return false;
        const auto* entry = std::find_if(std::begin(sim::kSimControlActionNames), std::end(sim::kSimControlActionNames),
                                         [&](const auto& known) { return known.action == action; });
        if (entry == std::end(sim::kSimControlActionNames)) return false;
        const char* kind = sim::SimDeviceSet::KindName(static_cast<sim::SimDeviceKind>(kindNumber));
        return sim::SimVerbs(devices).Run(std::string(entry->name) + " " + kind).status == sim::SimVerbs::kDone;
    };
}

// Closes the window after a time, from a helper thread that ends early when asked.
class QuitTimer {
public:
    QuitTimer(HWND window, int seconds) {
        if (seconds <= 0) return;
        thread_ = std::thread([this, window, seconds] {
            if (!stop_.Wait(seconds * 1000)) PostMessage(window, WM_CLOSE, IDOK, 0);
        });
    }
    ~QuitTimer() {
        stop_.Set();
        if (thread_.joinable()) thread_.join();
    }

private:
    Event stop_;
    std::thread thread_;
};

}  // namespace

void RegisterProgramControls() {
    RegisterControls();
    RegisterDeviceControls();
    CControlFactory::GetInstance().RegistControl(CMpDevicePowerUI::kClassName,
                                                 [] { return std::make_unique<CMpDevicePowerUI>(); });
    CControlFactory::GetInstance().RegistControl(CDeviceProfileUI::kClassName,
                                                 [] { return std::make_unique<CDeviceProfileUI>(); });
    CControlFactory::GetInstance().RegistControl(CUpdateInfoListItemUI::kClassName,
                                                 [] { return std::make_unique<CUpdateInfoListItemUI>(); });
    CControlFactory::GetInstance().RegistControl(CKeySetControlUI::kClassName,
                                                 [] { return std::make_unique<CKeySetControlUI>(); });
    CControlFactory::GetInstance().RegistControl(CShootControlUI::kClassName,
                                                 [] { return std::make_unique<CShootControlUI>(); });
    CControlFactory::GetInstance().RegistControl(CMacroControlUI::kClassName,
                                                 [] { return std::make_unique<CMacroControlUI>(); });
    CControlFactory::GetInstance().RegistControl(CLightControlUI::kClassName,
                                                 [] { return std::make_unique<CLightControlUI>(); });
}

int RunProgram(const AppOptions& options) {
    if (!options.screenshotFile.empty()) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EnsureQtApplication();
    // Another user's folder (or one others can write into) could hold sockets posing as ours.
    if (const std::string problem = RuntimeFolderProblem(); !problem.empty()) {
        std::fprintf(stderr, "q208: %s; the program does not start with it\n", problem.c_str());
        return 1;
    }
    const DataRoot root = FindDataRoot();
    Trace("data root (%s): skin %s, DefaultData %s, Font %s\n", root.origin.c_str(), root.skin.c_str(),
          root.defaultData.c_str(), root.fonts.c_str());
    // Removed last, after the window and the resources that use them.
    const PrivateFonts fonts(root.fonts);

    const UINT productMessage = RegisterWindowMessage(kProductMessageName);
    Trace("软件标示：%u\n", productMessage);
    for (const char* name : kCompanionMessageNames) RegisterWindowMessage(name);

    SingleInstanceLock lock;
    if (!lock.Acquire()) {
        // A screenshot run would otherwise wake the running copy and end as if it had saved.
        if (!options.screenshotFile.empty()) {
            std::fprintf(stderr, "q208: another copy is running; --screenshot needs to run alone (no file written; "
                                 "use 'q208ctl sim screenshot FILE' on the running copy)\n");
            return 1;
        }
        WakeFirstCopy();
        return 0;
    }

    SetUiPlatform(std::make_shared<CQtPlatform>());
    LoadSkin(options.skinFolder.empty() ? root.skin : std::filesystem::path(options.skinFolder));
    RegisterProgramControls();

    MainWndSettings settings;
    settings.shell = std::make_shared<QtMainWndShell>();
    std::unique_ptr<sim::SimDeviceSet> simDevices;
    std::unique_ptr<SimEndpoint> simEndpoint;
    if (options.simulate) {
        std::string error;
        const auto kinds = options.simulateListGiven && options.simulateList.empty()
                               ? std::optional<std::vector<sim::SimDeviceKind>>(std::vector<sim::SimDeviceKind>{})
                               : sim::SimDeviceSet::ParseList(options.simulateList, &error);
        if (!kinds) {
            std::fprintf(stderr, "q208: %s\n", error.c_str());
            return 2;
        }
        auto bus = std::make_shared<SimBus>();
        SetDefaultHidBus(bus);
        settings.bus = bus;
        simDevices = std::make_unique<sim::SimDeviceSet>(bus);
        simDevices->PlugAll(*kinds);
        settings.simControl = SimControl(*simDevices);
    }

    int exitCode = 0;
    // The callbacks run on the window's thread while the window exists.
    auto current = std::make_shared<CMainWnd*>(nullptr);
    if (simDevices) {
        simEndpoint = std::make_unique<SimEndpoint>(*simDevices);
        const SimWindowVerbs windowVerbs(CMessageQueue::CurrentShared(), current);
        simEndpoint->SetExtraVerbs([windowVerbs](const std::string& line) { return windowVerbs.Run(line); });
        simEndpoint->Open();
    }
    // q208ctl's device commands run here while the program runs; open before the window, so
    // that a command sent while it starts waits for it instead of opening the device beside it.
    CtlEndpoint ctlEndpoint(CMessageQueue::CurrentShared(), current);
    ctlEndpoint.Open();
    if (!options.screenshotFile.empty()) {
        settings.onSettled = [current, file = options.screenshotFile, &exitCode] {
            std::string error;
            if (!SaveWindowPng((*current)->GetPaintManager(), file, &error)) {
                std::fprintf(stderr, "q208: %s\n", error.c_str());
                exitCode = 1;
            } else {
                std::printf("%s\n", file.c_str());
            }
            (*current)->Close(IDOK);
        };
    }
    if (options.exitAfterFirstPaint) settings.onFirstPaint = [current] { (*current)->Close(IDOK); };
    auto window = std::make_unique<CMainWnd>(settings);
    *current = window.get();
    if (!window->Create(0, kMainWindowTitle, 0, 0, 0, 0, CMainWnd::kWindowWidth, CMainWnd::kWindowHeight)) {
        std::fprintf(stderr, "q208: the main window could not be created\n");
        return 1;
    }
    window->CenterWindow();
    {
        QuitTimer quit(window->GetHWND(), options.quitAfterSeconds);
        CPaintManagerUI::MessageLoop();
    }
    ctlEndpoint.Close();
    *current = nullptr;
    window.reset();
    CResourceManager::GetInstance().Release();
    simEndpoint.reset();
    simDevices.reset();
    lock.Release();
    return exitCode;
}

}  // namespace q208
