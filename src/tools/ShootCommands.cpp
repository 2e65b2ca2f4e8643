#include "tools/ShootCommands.h"

#include <cstdlib>
#include <ostream>
#include <string>

#include "device/DeviceResult.h"
#include "devices/mouse/MouseController.h"
#include "devices/mouse/ShootFile.h"
#include "profile/ProfilePaths.h"
#include "tools/CtlDeviceCommand.h"
#include "tools/CtlDeviceSession.h"

namespace q208 {
namespace {

using namespace ctl;

constexpr int kMaxDistance = 255;
constexpr int kMaxDelay = 65535;

std::filesystem::path WorkFolder() { return DeviceUserFolder(kMouseFolder); }
std::filesystem::path FactoryFolder() { return DefaultProfileFile(kMouseFolder).parent_path(); }

// The gun's work file, made from the factory copy when it is missing or empty.
std::filesystem::path WorkFile(int gun) {
    const std::filesystem::path work = ShootFile::PathOf(WorkFolder(), gun);
    ShootFile::EnsureWorkFile(work, ShootFile::PathOf(FactoryFolder(), gun));
    return work;
}

std::string Line(int bullet, const ShootFile::Bullet& b) {
    return "bullet " + std::to_string(bullet) + " x=" + std::to_string(b.xLeft ? -b.x : b.x) +
           " y=" + std::to_string(b.yUp ? -b.y : b.y) + " delay=" + std::to_string(b.delay);
}

int Show(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    const auto gun = options.arguments.size() == 2 ? ParseNumber(options.arguments[1], 0, ShootFile::kGunCount - 1)
                                                   : std::nullopt;
    if (!gun) return UsageError(err, "shoot show takes a gun 0 … 3");
    const ShootFile::Loaded loaded = ShootFile::Load(WorkFile(*gun));
    if (loaded.status != ShootFile::Status::Ok) {
        err << "error: " << loaded.problem << '\n';
        return kExitFailed;
    }
    for (int b = 0; b < ShootFile::kBulletCount; ++b) out << Line(b, ShootFile::BulletOf(loaded.document, b)) << '\n';
    return 0;
}

// "x=N", "y=N", "delay=N" into the bullet; false with the reason.
bool ApplyField(const std::string& argument, ShootFile::Bullet& b, std::string& error) {
    const size_t equals = argument.find('=');
    const std::string key = argument.substr(0, equals);
    const std::string text = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
    const bool move = key == "x" || key == "y";
    const auto value = move ? ParseNumber(text, -kMaxDistance, kMaxDistance)
                            : key == "delay" ? ParseNumber(text, 0, kMaxDelay) : std::nullopt;
    if (!value) {
        error = "'" + argument + "': give x=N or y=N (-255 … 255) or delay=N (0 … 65535)";
        return false;
    }
    if (key == "x") b.xLeft = *value < 0, b.x = std::abs(*value);
    if (key == "y") b.yUp = *value < 0, b.y = std::abs(*value);
    if (key == "delay") b.delay = *value;
    return true;
}

int Set(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    const auto& a = options.arguments;
    const auto gun = a.size() >= 3 ? ParseNumber(a[1], 0, ShootFile::kGunCount - 1) : std::nullopt;
    const auto bullet = a.size() >= 3 ? ParseNumber(a[2], 0, ShootFile::kBulletCount - 1) : std::nullopt;
    if (!gun || !bullet || a.size() < 4)
        return UsageError(err, "shoot set takes a gun 0 … 3, a bullet 0 … 29 and x=N, y=N or delay=N");
    const std::filesystem::path work = WorkFile(*gun);
    const ShootFile::Loaded loaded = ShootFile::Load(work);
    if (loaded.status != ShootFile::Status::Ok) {
        err << "error: " << loaded.problem << " (reset the gun on the mouse page, or import a shoot file)\n";
        return kExitFailed;
    }
    ShootFile::Bullet b = ShootFile::BulletOf(loaded.document, *bullet);
    std::string problem;
    for (size_t i = 3; i < a.size(); ++i) {
        if (!ApplyField(a[i], b, problem)) return UsageError(err, problem);
    }
    if (!ShootFile::StoreBullet(work, ShootFile::PathOf(FactoryFolder(), *gun), *bullet, b, problem)) {
        err << "error: " << problem << '\n';
        return kExitFailed;
    }
    out << Line(*bullet, b) << '\n';
    return 0;
}

int Upload(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    if (options.arguments.size() != 1) return UsageError(err, "shoot upload takes no further arguments");
    for (int gun = 0; gun < ShootFile::kGunCount; ++gun) WorkFile(gun);
    return RunOnDevice(options, out, err, "mouse", {"mouse", "receiver-mouse"},
                       [](CtlDeviceSession& session, std::ostream& out, std::ostream& err) {
                           CMouseProfiledata profile;
                           MouseController controller(session.Channel(), profile);
                           const ShootBlock::Upload upload = controller.WriteShootToDevice(WorkFolder());
                           if (!upload.problem.empty()) {
                               err << "error: " << upload.problem << "; nothing was sent\n";
                               return kExitFailed;
                           }
                           if (upload.result != kResultOk) return DeviceFailure(err, "write shoot block", upload.result);
                           out << "shoot block: " << upload.bytes << " bytes\n";
                           return 0;
                       });
}

}  // namespace

void ShootCommands::AddTo(CtlCommandTable& table) {
    table.Add({"shoot", "show GUN | set GUN BULLET [x=N] [y=N] [delay=N] | upload",
               "the mouse's fire-key guns (0-3, bullets 0-29): show or change a gun file, or send all four to "
               "the mouse",
               {}, Run});
}

int ShootCommands::Run(const CtlOptions& options, std::ostream& out, std::ostream& err) {
    const std::string verb = options.arguments.empty() ? std::string() : options.arguments[0];
    if (verb == "show") return Show(options, out, err);
    if (verb == "set") return Set(options, out, err);
    if (verb == "upload") return Upload(options, out, err);
    return UsageError(err, "shoot takes show, set or upload");
}

}  // namespace q208
