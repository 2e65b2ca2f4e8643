#pragma once

#include <memory>
#include <optional>
#include <string>

#include "profile/FileNotices.h"

namespace q208 {

class CMessageQueue;
class CPaintManagerUI;

// The main window's notice line ("file_notice"): tells the user, in their language, of a
// file of theirs the program could not read or had to move aside, naming the file. It
// shows the latest notice until the program ends. Notices may come from any thread; the
// line changes on the window's thread only.
class FileNoticeLine {
public:
    static constexpr const char* kControlName = "file_notice";
    static constexpr const char* kUnreadableKey = "file_notice_unreadable";
    static constexpr const char* kKeptAsideKey = "file_notice_kept_aside";
    static constexpr const char* kUnwritableKey = "file_notice_unwritable";

    // Listens from now on (notices noted earlier are shown at once).
    explicit FileNoticeLine(CPaintManagerUI& manager);
    ~FileNoticeLine();
    FileNoticeLine(const FileNoticeLine&) = delete;
    FileNoticeLine& operator=(const FileNoticeLine&) = delete;

    void Show(const FileNotice& notice);
    // Shows the latest notice again in the language now applied.
    void Refresh();

    // The text of a notice in the current language: the language text with the file (and,
    // when kept aside, its new name) put in for "%s".
    static std::string TextOf(const FileNotice& notice);

private:
    CPaintManagerUI& manager_;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
    std::optional<FileNotice> latest_;
};

}  // namespace q208
