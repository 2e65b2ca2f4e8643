#include "app/SkinSettings.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <utility>

#include "app/IniFile.h"
#include "platform/Paths.h"
#include "platform/Trace.h"
#include "ui/CControlUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/UiAttr.h"

namespace q208 {

bool ApplySkinToRoot(CControlUI& root, const SkinChangedParam& param) {
    if (param.colorFlag) {
        root.SetBkColor(param.color);
        root.SetBkImage("");
        return true;
    }
    if (!SkinSettings::IsReadableImage(param.image) || !root.SetBkImage(param.image)) {
        Trace("skin image not usable, the background stays: %s", param.image.c_str());
        return false;
    }
    root.SetBkColor(0);
    return true;
}

SkinChangeSubject& SkinChangeSubject::Instance() {
    static SkinChangeSubject subject;
    return subject;
}

int SkinChangeSubject::Add(Receiver receiver) {
    const int handle = next_++;
    receivers_.emplace_back(handle, std::move(receiver));
    return handle;
}

void SkinChangeSubject::Remove(int handle) {
    std::erase_if(receivers_, [handle](const auto& entry) { return entry.first == handle; });
}

void SkinChangeSubject::Broadcast(const SkinChangedParam& param) {
    const auto receivers = receivers_;  // a receiver may remove itself
    for (const auto& [handle, receiver] : receivers) receiver(param);
}

SkinSettings::SkinSettings(std::filesystem::path userDataFolder) : folder_(std::move(userDataFolder)) {}

std::optional<SkinChangedParam> SkinSettings::LoadSaved() const {
    IniFile ini;
    if (!ini.Load(File())) return std::nullopt;
    const auto flags = ini.Get(kSection, "FLAGS");
    const auto image = ini.Get(kSection, "IMAGE");
    if (!flags && !image) return std::nullopt;
    if (!flags || (*flags != "0" && *flags != "1") || !image || image->empty()) {
        Trace("main.ini: unusable skin entry (FLAGS \"%s\", IMAGE \"%s\"); the layout's background stays",
              flags ? flags->c_str() : "", image ? image->c_str() : "");
        return std::nullopt;
    }
    SkinChangedParam param;
    param.image = *flags == "1" ? *image : std::string(kDefaultImage);
    if (!IsReadableImage(param.image)) {
        Trace("main.ini: the skin picture %s cannot be read; the layout's background stays", param.image.c_str());
        return std::nullopt;
    }
    return param;
}

bool SkinSettings::Save(bool chosenImage, const std::string& image) const {
    IniFile ini;
    ini.Load(File());  // other sections of the file are kept
    ini.Set(kSection, "FLAGS", chosenImage ? "1" : "0");
    ini.Set(kSection, "IMAGE", image);
    if (!EnsureFolder(folder_)) {
        Trace("user data folder %s cannot be created; the skin is not saved", folder_.c_str());
        return false;
    }
    return ini.Save(File());
}

bool SkinSettings::ApplySaved(CControlUI& root) const {
    const auto saved = LoadSaved();
    if (!saved) return false;
    return ApplySkinToRoot(root, *saved);
}

bool SkinSettings::IsPngFile(const std::string& path) {
    static constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::ifstream in(path, std::ios::binary);
    std::array<char, 8> head{};
    if (!in.read(head.data(), head.size())) return false;
    return std::equal(head.begin(), head.end(), kSignature.begin(),
                      [](char got, unsigned char want) { return static_cast<unsigned char>(got) == want; });
}

bool SkinSettings::IsReadableImage(const std::string& image) {
    const auto desc = attr::Image(image);
    return desc && !desc->file.empty() && IsPngFile(CPaintManagerUI::ResolveResource(desc->file));
}

}  // namespace q208
