#include "app/CSkinFrame.h"

#include <array>
#include <fstream>
#include <utility>

#include "platform/Trace.h"
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
                ChooseImage(msg.pSender->GetBkImage(), true, true);
            } else if (name == "skin_color_btn") {
                ChooseColor(msg.pSender->GetBkColor());
            } else if (name == "skin_reset") {
                ChooseImage(SkinSettings::kDefaultImage, true, false);
            } else if (name == "skin_Custom") {
                ChooseCustomImage();
            }
        }
    }
    WindowImplBase::Notify(msg);
}

void CSkinFrame::ChooseImage(const std::string& image, bool remember, bool chosenImage) {
    if (image.empty()) return;
    SkinChangeSubject::Instance().Broadcast({false, 0, image});
    if (remember && !settings_.Save(chosenImage, image)) Trace("skin choice not saved");
}

void CSkinFrame::ChooseColor(ARGB color) { SkinChangeSubject::Instance().Broadcast({true, color, {}}); }

void CSkinFrame::ChooseCustomImage() {
    const std::optional<std::string> file = chooser_(GetHWND(), kFileFilter);
    if (!file || file->empty()) return;
    if (!IsPngFile(*file)) {
        Trace("skin picture refused, not a PNG file: %s", file->c_str());
        return;
    }
    ChooseImage(*file, true, true);
}

void CSkinFrame::ShowPage(int page) {
    if (auto* tab = dynamic_cast<CTabLayoutUI*>(m_pm.FindControl("skin_tab"))) tab->SelectItem(page);
}

bool CSkinFrame::IsPngFile(const std::string& path) {
    static constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::ifstream in(path, std::ios::binary);
    std::array<char, 8> head{};
    if (!in.read(head.data(), head.size())) return false;
    for (size_t i = 0; i < head.size(); ++i) {
        if (static_cast<unsigned char>(head[i]) != kSignature[i]) return false;
    }
    return true;
}

}  // namespace q208
