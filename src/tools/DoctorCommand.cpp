#include "tools/DoctorCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "device/DeviceSlot.h"
#include "device/HidrawBus.h"
#include "device/UdevRule.h"
#include "platform/EndpointMessaging.h"
#include "platform/Paths.h"
#include "platform/RegisteredMessageNames.h"
#include "tools/CtlCommandTable.h"

namespace q208 {
namespace fs = std::filesystem;
namespace {

constexpr size_t kMaxRuleFileBytes = 1024 * 1024;

struct Node {
    std::string devnode;
    std::vector<std::string> interfaces;  // "keyboard, vendor interface (slot 0)"
};

// The supported interfaces among the bus's paths, by node: the numbers in the path match a
// row of the table (nothing is opened for this).
std::vector<Node> OurNodes(HidrawBus& bus) {
    std::vector<Node> nodes;
    for (const std::string& path : bus.EnumeratePaths()) {
        const auto& table = SupportedDeviceTable();
        for (size_t slot = 0; slot < table.size(); ++slot) {
            const DeviceSlot& row = table[slot];
            if (row.productId == 0 || row.vendorId != ParseVendorId(path) || row.productId != ParseProductId(path) ||
                row.interfaceNumber != ParseInterfaceNumber(path) || row.collectionNumber != ParseCollectionNumber(path)) {
                continue;
            }
            const std::string devnode = path.substr(0, path.find('#'));
            if (nodes.empty() || nodes.back().devnode != devnode) nodes.push_back(Node{devnode, {}});
            nodes.back().interfaces.push_back(std::string(DeviceKindName(row.kind)) +
                                              (row.role == kRolePrimary ? " vendor" : " consumer") +
                                              " interface (slot " + std::to_string(slot) + ")");
        }
    }
    return nodes;
}

// "" when this user can open the node for reading and writing, else the reason.
std::string OpenProblem(const std::string& devnode) {
    const int fd = ::open(devnode.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::strerror(errno);
    ::close(fd);
    return {};
}

std::string ReadSmallFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text(kMaxRuleFileBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
}

// The rule files udev reads, by name: a file in an earlier folder hides one of the same
// name in a later folder.
std::map<std::string, fs::path> EffectiveRuleFiles(const fs::path& root) {
    std::map<std::string, fs::path> files;
    for (const char* folder : UdevRule::kRuleFolders) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(root / fs::path(folder).relative_path(), ec)) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() == ".rules" && !files.count(name)) files[name] = entry.path();
        }
    }
    return files;
}

struct RuleReport {
    std::vector<fs::path> granting;          // files that give access to some of our devices
    std::vector<UdevRule::DeviceId> missing;  // our ids no file gives access to
};

RuleReport CheckRules(const fs::path& root) {
    RuleReport report;
    std::vector<std::string> texts;
    for (const auto& [name, file] : EffectiveRuleFiles(root)) {
        std::string text = ReadSmallFile(file);
        bool grantsOne = false;
        for (const auto& id : UdevRule::DeviceIds()) grantsOne = grantsOne || UdevRule::GrantsAccess(text, id);
        if (grantsOne) report.granting.push_back(file);
        texts.push_back(std::move(text));
    }
    for (const auto& id : UdevRule::DeviceIds()) {
        bool granted = false;
        for (const std::string& text : texts) granted = granted || UdevRule::GrantsAccess(text, id);
        if (!granted) report.missing.push_back(id);
    }
    return report;
}

std::string IdText(UdevRule::DeviceId id) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", id.vendor, id.product);
    return text;
}

// The rule file an installed q208ctl brings along, when it is not where udev reads it.
fs::path BundledRule() {
    const fs::path exe = ExecutablePath();
    if (exe.empty()) return {};
    const fs::path file = (exe.parent_path() / ".." / "lib" / "udev" / "rules.d" / UdevRule::kFileName).lexically_normal();
    std::error_code ec;
    return fs::exists(file, ec) ? file : fs::path();
}

void AdviseRuleInstall(std::ostream& out) {
    const fs::path bundled = BundledRule();
    const std::string target = std::string("/etc/udev/rules.d/") + UdevRule::kFileName;
    if (!bundled.empty()) {
        out << "  - install the rule: sudo install -m 644 '" << bundled.string() << "' " << target << '\n';
    } else {
        out << "  - install the rule: q208ctl doctor rule | sudo tee " << target << " >/dev/null\n";
    }
    out << "    then: sudo udevadm control --reload && sudo udevadm trigger --subsystem-match=hidraw --action=add\n";
}

}  // namespace

int DoctorCommand::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() == 1 && options.arguments[0] == "rule") {
        out << UdevRule::Text();
        return 0;
    }
    if (!options.arguments.empty() || options.simulate) {
        err << "q208ctl doctor: looks at the machine's devices; it takes no arguments but 'rule' and no --simulate\n";
        return CtlCommandTable::kUsageError;
    }
    const std::string sysfs = options.Value("--sysfs", "/sys");
    HidrawBus bus(sysfs, options.Value("--dev", "/dev"));
    std::vector<std::string> actions;

    out << "devices (" << sysfs << "/class/hidraw):\n";
    const std::vector<Node> nodes = OurNodes(bus);
    if (nodes.empty()) out << "  none of ours attached\n";
    bool someClosed = false;
    for (const Node& node : nodes) {
        const std::string problem = OpenProblem(node.devnode);
        out << "  " << node.devnode << ": ";
        for (size_t i = 0; i < node.interfaces.size(); ++i) out << (i ? ", " : "") << node.interfaces[i];
        out << (problem.empty() ? "; this user can open it" : "; this user cannot open it: " + problem) << '\n';
        someClosed = someClosed || !problem.empty();
    }

    const fs::path rulesRoot = options.Value("--rules-root", "/");
    const RuleReport rules = CheckRules(rulesRoot);
    out << "udev rule:\n";
    for (const fs::path& file : rules.granting) out << "  " << file.string() << " gives the seat's user access\n";
    if (rules.missing.empty()) {
        out << "  all of our devices are covered\n";
    } else {
        out << "  no rule where udev reads rules gives access to";
        for (const auto& id : rules.missing) out << ' ' << IdText(id);
        out << '\n';
    }

    out << "q208:\n";
    if (FindWindow(kMainWindowClass, kMainWindowTitle)) {
        out << "  running: q208ctl's device commands go through it (--direct opens the device beside it)\n";
    } else {
        out << "  not running: q208ctl opens the devices itself\n";
    }

    const bool ruleMissing = !rules.missing.empty();
    if (!ruleMissing && !someClosed) {
        out << "nothing to do\n";
        return 0;
    }
    out << "what to do:\n";
    if (ruleMissing) AdviseRuleInstall(out);
    if (someClosed) {
        out << "  - unplug the devices and plug them in again (or log out and in) so that the rule applies; "
               "access is given to the user logged in at the seat, not to remote sessions\n";
    }
    return kExitActionNeeded;
}

}  // namespace q208
