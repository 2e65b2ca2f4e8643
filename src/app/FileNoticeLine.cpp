#include "app/FileNoticeLine.h"

#include "ui/CControlUI.h"
#include "ui/CMessageQueue.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace q208 {

namespace {

// Puts each argument in for the next "%s" of the text; the rest of the text stays.
std::string Fill(std::string text, std::initializer_list<std::string> arguments) {
    std::size_t from = 0;
    for (const std::string& argument : arguments) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, argument);
        from = at + argument.size();
    }
    return text;
}

// What the line calls a file: its name, after its device folder ("Keyboard/<id>.Json") when
// that folder has a short name; the whole path is in the tool tip.
std::string ShownName(const std::filesystem::path& file) {
    constexpr std::size_t kShortFolder = 16;
    const std::string folder = file.parent_path().filename().string();
    const std::string name = file.filename().string();
    return !folder.empty() && folder.size() <= kShortFolder ? folder + "/" + name : name;
}

}  // namespace

FileNoticeLine::FileNoticeLine(CPaintManagerUI& manager) : manager_(manager) {
    std::weak_ptr<CMessageQueue> queue = CMessageQueue::CurrentShared();
    std::weak_ptr<int> life = life_;
    FileNotices::SetListener([this, queue, life](const FileNotice& notice) {
        if (const auto target = queue.lock()) {
            target->PostTask([this, life, notice] {
                if (!life.expired()) Show(notice);
            });
        }
    });
}

FileNoticeLine::~FileNoticeLine() { FileNotices::SetListener(nullptr); }

std::string FileNoticeLine::TextOf(const FileNotice& notice) {
    const CResourceManager& resources = CResourceManager::GetInstance();
    const std::string file = ShownName(notice.file);
    if (notice.kind == FileNoticeKind::KeptAside) {
        return Fill(resources.GetText(kKeptAsideKey), {file, std::filesystem::path(notice.detail).filename().string()});
    }
    if (notice.kind == FileNoticeKind::Unwritable) return Fill(resources.GetText(kUnwritableKey), {file});
    return Fill(resources.GetText(kUnreadableKey), {file});
}

void FileNoticeLine::Show(const FileNotice& notice) {
    latest_ = notice;
    CControlUI* line = manager_.FindControl(kControlName);
    if (!line) return;
    line->SetText(TextOf(notice));
    line->SetToolTip(notice.file.string() + " (" + notice.detail + ")");
    line->SetVisible(true);
}

void FileNoticeLine::Refresh() {
    if (latest_) Show(*latest_);
}

}  // namespace q208
