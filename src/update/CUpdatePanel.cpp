#include "update/CUpdatePanel.h"

#include <deque>
#include <mutex>

#include "platform/ProcessLauncher.h"
#include "platform/Trace.h"
#include "ui/CButtonUI.h"
#include "ui/CListUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"
#include "ui/CWindowWnd.h"
#include "ui/UiMessaging.h"
#include "ui/UiNotify.h"
#include "update/CUpdateInfoListItemUI.h"
#include "update/UpdateTimeFile.h"

#ifndef Q208_VERSION_TEXT
#define Q208_VERSION_TEXT "0.0.0"
#define Q208_VERSION_NUMBER 0
#endif

namespace q208 {

std::atomic<bool> CUpdatePanel::updateRequested_{false};

namespace {

constexpr UINT kClearUpdateMark = 3094;  // WM_CLEAR_UPDATE_MARK of the main window
constexpr WPARAM kProgressItemDone = 1;
constexpr WPARAM kProgressPercent = 4;

// What each window state shows: its text key, and the picture beside it (the busy ring
// while checking).
struct StateRule {
    int state;
    const char* textKey;
    const char* glyph;
    ARGB colour;
};
constexpr StateRule kStateRules[] = {
    {kUpdateStateChecking, "GetUpdateInfoText", "", 0},
    {kUpdateStateHaveUpdate, "HaveUpdateInfoText", "!", 0xff0099ff},
    {kUpdateStateUnreachable, "NoUpdateInfoText", "x", 0xff666666},
    {kUpdateStateUpdating, "ISUpdateINGText", "…", 0xff0078c8},
    {kUpdateStateAllCurrent, "UpdateIsLastText", "✓", 0xff2e9d58},
};

const StateRule& RuleOf(int state) {
    for (const StateRule& rule : kStateRules) {
        if (rule.state == state) return rule;
    }
    return kStateRules[0];
}

// The notes under an item with something to offer: what this program does about it.
constexpr const char* kSoftwareNote = "%{update_note_software}";
constexpr const char* kSoftwareOpenedNote = "%{update_note_page_opened}";
constexpr const char* kSoftwareNoPageNote = "%{update_note_no_page}";
constexpr const char* kFirmwareNote = "%{update_note_firmware}";

bool OpenWithDesktop(const std::string& url) {
    const char* path = std::getenv("PATH");
    const auto opener = FindOnPath("xdg-open", path ? path : "/usr/bin:/bin");
    if (!opener) {
        Trace("update: no xdg-open to show %s\n", url.c_str());
        return false;
    }
    return SpawnDetached({opener->string(), url});
}

bool IsStatusToKeep(int status) {
    return status == kUpdateCurrent || status == kUpdateNeeded || status == kUpdateNeededToo ||
           status == kUpdateFailed;
}

}  // namespace

struct CUpdatePanel::CheckEvent {
    enum Kind { State, Add, Update, Finish } kind = State;
    size_t index = 0;
    UpdateInfo info;
    int state = 0;
};

// Shared by the window and its check thread; the thread may outlive the window briefly.
struct CUpdatePanel::Shared {
    std::mutex mutex;
    std::deque<CheckEvent> events;
    HWND window = 0;

    void Push(CheckEvent event) {
        {
            std::lock_guard lock(mutex);
            events.push_back(std::move(event));
        }
        q208::PostMessage(window, kCheckWorkMessage);
    }
    std::deque<CheckEvent> Take() {
        std::lock_guard lock(mutex);
        return std::exchange(events, {});
    }
};

class CUpdatePanel::Sink : public IUpdateCheckSink {
public:
    explicit Sink(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    void SetState(int state) override { shared_->Push({CheckEvent::State, 0, {}, state}); }
    void AddItem(const UpdateInfo& item) override { shared_->Push({CheckEvent::Add, 0, item, 0}); }
    void UpdateItem(size_t index, const UpdateInfo& info) override {
        shared_->Push({CheckEvent::Update, index, info, 0});
    }
    void Finish(int state) override { shared_->Push({CheckEvent::Finish, 0, {}, state}); }

private:
    std::shared_ptr<Shared> shared_;
};

UpdateTarget CUpdatePanel::ProgramTarget() {
    UpdateTarget program;
    program.versionFormat = 0;
    program.keyNumber = 0;
    program.version = Q208_VERSION_NUMBER;
    program.keyName = "Q208";
    program.target = UpdateTarget::kSoftwareTarget;
    program.keyModel = "LINUX";
    program.displayName = "AP";
    program.versionText = Q208_VERSION_TEXT;
    return program;
}

std::vector<UpdateTarget> CUpdatePanel::WithProgram(std::vector<UpdateTarget> devices) {
    std::vector<UpdateTarget> targets{ProgramTarget()};
    for (UpdateTarget& device : devices) {
        if (device.version != 0) targets.push_back(std::move(device));
    }
    return targets;
}

CUpdatePanel::CUpdatePanel(CPaintManagerUI& manager, CWindowWnd& window, HWND owner, Context context)
    : manager_(manager), window_(window), owner_(owner), context_(std::move(context)),
      shared_(std::make_shared<Shared>()) {
    shared_->window = window_.GetHWND();
    if (!context_.openUrl) context_.openUrl = OpenWithDesktop;
}

CUpdatePanel::~CUpdatePanel() { Stop(); }

CControlUI* CUpdatePanel::Find(const char* name) const { return manager_.FindControl(name); }

bool CUpdatePanel::IsSoftware(size_t item) const {
    return item < context_.targets.size() && context_.targets[item].IsSoftware();
}

void CUpdatePanel::Start() {
    if (auto* button = Find(kUpdateButton)) button->SetEnabled(false);
    if (!context_.service.Configured()) {
        // Nothing is asked; the list shows what is installed.
        noService_ = true;
        for (const UpdateTarget& target : context_.targets) {
            Apply({CheckEvent::Add, 0, UpdateCheck::LocalItem(target), 0});
        }
        SetState(kUpdateStateUnreachable);
        Trace("update: no update service is configured; nothing is sent\n");
        return;
    }
    auto shared = shared_;
    const std::vector<UpdateTarget> targets = context_.targets;
    const UpdateServiceSettings service = context_.service;
    const std::filesystem::path folder = context_.userDataFolder;
    thread_.Start([shared, targets, service, folder](const Event& stop) {
        Sink sink(shared);
        const UpdateQuery query(service, &stop);
        UpdateCheck::Run(targets, query, UpdateTimeFile(folder), sink, &stop);
    });
}

void CUpdatePanel::Stop() {
    thread_.RequestStop();
    if (thread_.Stop(kStopWaitMs) == WorkerThread::StopResult::TimedOut) {
        Trace("update: the check thread did not end within %d ms\n", kStopWaitMs);
    }
}

bool CUpdatePanel::OnMessage(UINT uMsg) {
    if (uMsg != kCheckWorkMessage) return false;
    for (const CheckEvent& event : shared_->Take()) Apply(event);
    return true;
}

void CUpdatePanel::Apply(const CheckEvent& event) {
    auto* list = dynamic_cast<CListUI*>(Find(kList));
    switch (event.kind) {
    case CheckEvent::State:
        SetState(event.state);
        break;
    case CheckEvent::Add:
        if (list) {
            auto item = std::make_unique<CUpdateInfoListItemUI>();
            item->SetInfo(event.info);
            item->NameCells(list->GetCount());
            list->Add(std::move(item));
        }
        break;
    case CheckEvent::Update:
        if (CUpdateInfoListItemUI* item = ItemAt(static_cast<int>(event.index))) {
            item->SetInfo(event.info);
            if (event.info.status != kUpdateCurrent) item->SetNote(IsSoftware(event.index) ? kSoftwareNote : kFirmwareNote);
        }
        break;
    case CheckEvent::Finish:
        OnChecked(event.state);
        break;
    }
}

void CUpdatePanel::OnChecked(int state) {
    bool any = false;
    for (int i = 0; i < ItemCount(); ++i) {
        CUpdateInfoListItemUI* item = ItemAt(i);
        const bool offer = item->Status() != kUpdateCurrent && item->Status() != kUpdateLess;
        item->SetTicked(offer);
        any = any || offer;
    }
    if (auto* button = Find(kUpdateButton)) button->SetEnabled(any);
    SetState(state);
    if (state == kUpdateStateAllCurrent) q208::PostMessage(owner_, kClearUpdateMark);
}

void CUpdatePanel::SetState(int state) {
    state_ = state;
    const bool busy = state == kUpdateStateChecking;
    if (CControlUI* ring = Find(kRing)) ring->SetVisible(busy);
    if (CControlUI* image = Find(kImage)) {
        image->SetVisible(!busy);
        const StateRule& rule = RuleOf(state);
        image->SetText(rule.glyph);
        image->SetBkColor(rule.colour);
    }
    ShowStateText();
}

void CUpdatePanel::ShowStateText() {
    CControlUI* text = Find(kStatusText);
    if (!text || state_ < 0) return;
    if (noService_ && state_ == kUpdateStateUnreachable) {
        text->SetText(std::string("%{") + kNoServiceTextKey + "}");
        return;
    }
    const StateRule& rule = RuleOf(state_);
    if (state_ == kUpdateStateAllCurrent) {
        // The date goes after the text, so the text is resolved here (and again on a
        // language change).
        const std::string date = UpdateTimeFile(context_.userDataFolder).Load();
        text->SetText(CResourceManager::GetInstance().GetText(rule.textKey) + (date.empty() ? "" : " " + date));
        return;
    }
    text->SetText(std::string("%{") + rule.textKey + "}");
}

void CUpdatePanel::RefreshTexts() { ShowStateText(); }

int CUpdatePanel::ItemCount() const {
    auto* list = dynamic_cast<CListUI*>(Find(kList));
    return list ? list->GetCount() : 0;
}

CUpdateInfoListItemUI* CUpdatePanel::ItemAt(int index) const {
    auto* list = dynamic_cast<CListUI*>(Find(kList));
    if (!list || index < 0 || index >= list->GetCount()) return nullptr;
    return dynamic_cast<CUpdateInfoListItemUI*>(list->GetItemAt(index));
}

void CUpdatePanel::UpdateButtonFromTicks() {
    bool any = false;
    for (int i = 0; i < ItemCount(); ++i) any = any || ItemAt(i)->IsTicked();
    if (auto* button = Find(kUpdateButton)) button->SetEnabled(any);
}

bool CUpdatePanel::OnNotify(TNotifyUI& msg) {
    if (!msg.pSender) return false;
    const std::string& name = msg.pSender->GetName();
    if (msg.sType == DUI_MSGTYPE_SELECTCHANGED && name == CUpdateInfoListItemUI::kTickName) {
        UpdateButtonFromTicks();
        return true;
    }
    if (msg.sType != DUI_MSGTYPE_CLICK) return false;
    auto* tabs = dynamic_cast<CTabLayoutUI*>(Find(kTabs));
    if (name == kUpdateButton) {
        if (tabs) tabs->SelectItem(1);
    } else if (name == kOkButton) {
        OnAccept();
        if (tabs) tabs->SelectItem(0);
    } else if (name == kBackButton) {
        if (tabs) tabs->SelectItem(0);
    } else if (name == kNoticeButton) {
        if (CControlUI* notice = Find(kNotice)) notice->SetVisible(false);
        window_.ResizeClient(manager_.ScaleValue(kWindowWidth), manager_.ScaleValue(kWindowHeight));
    } else {
        return false;
    }
    return true;
}

// The user accepted what is ticked. The program's new version is installed by the package
// manager, so its release page is opened; firmware is not installed by this program.
void CUpdatePanel::OnAccept() {
    for (int i = 0; i < ItemCount(); ++i) {
        CUpdateInfoListItemUI* item = ItemAt(i);
        const bool wanted = item->IsTicked() &&
                            (item->Status() == kUpdateNeeded || item->Status() == kUpdateNeededToo);
        item->SetTicked(false);
        if (!wanted) continue;
        if (!IsSoftware(static_cast<size_t>(i))) {
            item->SetNote(kFirmwareNote);
            continue;
        }
        const std::string& page = item->Info().path;
        if (!HttpClient::IsWebUrl(page)) {
            Trace("update: the release page \"%s\" is not an http or https address; not opened\n", page.c_str());
            item->SetNote(kSoftwareNoPageNote);
        } else {
            item->SetNote(context_.openUrl(page) ? kSoftwareOpenedNote : kSoftwareNoPageNote);
        }
    }
    if (auto* button = Find(kUpdateButton)) button->SetEnabled(false);
    updateRequested_ = true;
}

CUpdateInfoListItemUI* CUpdatePanel::CurrentItem() const {
    for (int i = 0; i < ItemCount(); ++i) {
        CUpdateInfoListItemUI* item = ItemAt(i);
        if (item->Status() >= kUpdateDownloadWait && item->Status() <= kUpdateInstalling) return item;
    }
    return nullptr;
}

void CUpdatePanel::OnProgress(WPARAM wParam, LPARAM lParam) {
    CUpdateInfoListItemUI* item = CurrentItem();
    if (wParam == kProgressPercent) {
        if (item) item->SetProgress(static_cast<int>(lParam));
        return;
    }
    if (wParam != kProgressItemDone) {
        // 2 and 3 belong to the updater and its owner; the main window hands every progress
        // message to this window, so sending them back would only bounce them.
        Trace("update: progress message %lu left to the updater\n", static_cast<unsigned long>(wParam));
        return;
    }
    if (!item) return;
    item->SetVersions(item->Info().newVersion, "");
    item->SetStatus(kUpdateCurrent);
    bool pending = false;
    for (int i = 0; i < ItemCount(); ++i) {
        pending = pending || (ItemAt(i)->IsTicked() && ItemAt(i)->Status() != kUpdateCurrent);
    }
    SetState(pending ? kUpdateStateHaveUpdate : kUpdateStateAllCurrent);
    if (!pending) q208::PostMessage(owner_, kClearUpdateMark);
}

bool CUpdatePanel::CanClose() const {
    for (int i = 0; i < ItemCount(); ++i) {
        if (!IsStatusToKeep(ItemAt(i)->Status())) return false;
    }
    return true;
}

}  // namespace q208
