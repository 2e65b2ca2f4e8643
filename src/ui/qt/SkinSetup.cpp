#include "ui/qt/SkinSetup.h"

#include <system_error>

#include <QFontDatabase>

#include "platform/Trace.h"
#include "ui/CControlUI.h"
#include "ui/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/qt/QtConvert.h"

namespace q208 {

namespace {
constexpr const char* kResourceIndex = "res.xml";
constexpr const char* kSharedStyle = "style.xml";
constexpr int kPlainFiles = 1;
}  // namespace

bool LoadSkin(const std::filesystem::path& skinFolder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(skinFolder, ec)) {
        Trace("skin folder %s not found", skinFolder.string().c_str());
        return false;
    }
    CPaintManagerUI::SetResourceType(kPlainFiles);
    CPaintManagerUI::SetResourcePath(skinFolder.string());
    const bool indexed = CResourceManager::GetInstance().LoadResource(kResourceIndex);
    if (std::filesystem::exists(skinFolder / kSharedStyle, ec)) LoadSharedStyle(kSharedStyle);
    return indexed;
}

bool LoadSharedStyle(const std::string& layout) {
    CPaintManagerUI scratch;  // shared fonts outlive it; its own ones are not kept
    CDialogBuilder builder;
    return builder.Create(layout, nullptr, &scratch) != nullptr;
}

const std::vector<std::string>& PrivateFontFiles() {
    static const std::vector<std::string> files = {"Simplified_Chinese.ttf", "Predator-Regular.otf",
                                                   "NotoSansThai-Regular.ttf", "NotoSansCJKtc-Regular.otf"};
    return files;
}

PrivateFonts::PrivateFonts(const std::filesystem::path& fontFolder) {
    for (const std::string& file : PrivateFontFiles()) {
        const std::filesystem::path path = fontFolder / file;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) continue;  // a missing font is no error
        const int id = QFontDatabase::addApplicationFont(qtconv::Str(path.string()));
        if (id < 0) {
            Trace("font %s cannot be loaded", path.string().c_str());
            continue;
        }
        ids_.push_back(id);
        for (const QString& family : QFontDatabase::applicationFontFamilies(id)) families_.push_back(qtconv::Str(family));
    }
}

PrivateFonts::~PrivateFonts() {
    for (auto id = ids_.rbegin(); id != ids_.rend(); ++id) QFontDatabase::removeApplicationFont(*id);
}

}  // namespace q208
