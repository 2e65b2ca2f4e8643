#include <iostream>
#include <string>
#include <vector>

#include "profile/FileNotices.h"
#include "tools/CtlCommandTable.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // A file of the user's that could not be used is said on stderr, once.
    q208::FileNotices::SetListener([](const q208::FileNotice& notice) {
        if (notice.kind == q208::FileNoticeKind::KeptAside) {
            std::cerr << "q208ctl: " << notice.file.string() << " could not be used; it is kept as " << notice.detail << '\n';
        } else if (notice.kind == q208::FileNoticeKind::Unwritable) {
            std::cerr << "q208ctl: " << notice.file.string() << " could not be saved (" << notice.detail
                      << "); the old file is kept\n";
        } else {
            std::cerr << "q208ctl: " << notice.file.string() << " could not be read (" << notice.detail
                      << "); it is left as it is\n";
        }
    });
    return q208::CtlCommandTable::Standard().Run(args, std::cout, std::cerr);
}
