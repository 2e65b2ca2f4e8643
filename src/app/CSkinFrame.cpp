#include "app/CSkinFrame.h"

#include <utility>

#include "platform/Trace.h"
#include "ui/CMessageQueue.h"
#include "ui/CTabLayoutUI.h"
#include "ui/qt/FileDialogs.h"

namespace q208 {

CSkinFrame::CSkinFrame(SkinSettings settings, FileChooser chooser)
    : settings_(std::move(settings)), chooser_(std::move(chooser)) {
    if (!chooser_) {
        chooser_ = [](HWND owner, const std::string& filter) { return ShowOpenFileDialog(owner, {}, filter); };
    }
}

void CSkinFrame::Notify(TNotifyUI& msg) {
    if (msg.pSender && (msg.sType == DUI_MSGTYPE_CLICK || msg.sType == DUI_MSGTYPE_SELECTCHANGED)) {
        const std::string& name = msg.pSender->GetName();
        if (name == "skin_image") {
            ShowPage(0);
        } else if (name == "skin_color") {
            ShowPage(1);
        } else if (msg.sType == DUI_MSGTYPE_CLICK) {
            if (name == "skin_image_btn") {
                ChooseImage(settings_, msg.pSender->GetBkImage(), true);
            } else if (name == "skin_color_btn") {
                ChooseColor(msg.pSender->GetBkColor());
            } else if (name == "skin_reset") {
                ChooseImage(settings_, SkinSettings::kDefaultImage, false);
            } else if (name == "skin_Custom") {
                ChooseCustomImage();
            }
        }
    }
    WindowImplBase::Notify(msg);
}

void CSkinFrame::ChooseImage(const SkinSettings& settings, const std::string& image, bool chosenImage) {
    if (image.empty()) return;
    // A picture that cannot be read would leave a hole where the background was, and come
    // back from main.ini on every start.
    if (!SkinSettings::IsReadableImage(image)) {
        Trace("skin picture refused, it cannot be read: %s", image.c_str());
        return;
    }
    SkinChangeSubject::Instance().Broadcast({false, 0, image});
    if (!settings.Save(chosenImage, image)) Trace("skin choice not saved");
}

void CSkinFrame::ChooseColor(ARGB color) { SkinChangeSubject::Instance().Broadcast({true, color, {}}); }

// The frame closes first and the dialog runs afterwards over the main window: a pop-up
// goes away as soon as the dialog takes the focus, and the dialog must not depend on it.
void CSkinFrame::ChooseCustomImage() {
    const HWND owner = GetOwnerHWND();
    Close(IDCANCEL);
    CMessageQueue::Current().PostTask([owner, chooser = chooser_, settings = settings_] {
        const std::optional<std::string> file = chooser(owner, kFileFilter);
        if (!file || file->empty()) return;
        if (!IsPngFile(*file)) {
            Trace("skin picture refused, not a PNG file: %s", file->c_str());
            return;
        }
        ChooseImage(settings, *file, true);
    });
}

void CSkinFrame::ShowPage(int page) {
    if (auto* tab = dynamic_cast<CTabLayoutUI*>(m_pm.FindControl("skin_tab"))) tab->SelectItem(page);
}

}  // namespace q208
