#include "ui/qt/SystemSleepWatcher.h"

#include <QObject>
#include <QtDBus/QDBusConnection>

namespace q208 {
namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kInterface = "org.freedesktop.login1.Manager";
constexpr const char* kSignal = "PrepareForSleep";

}  // namespace

class SystemSleepWatcher::Receiver : public QObject {
    Q_OBJECT
public:
    explicit Receiver(Callback callback) : callback_(std::move(callback)) {}

    bool Connect() {
        QDBusConnection bus = QDBusConnection::systemBus();
        connected_ = bus.isConnected() &&
                     bus.connect(kService, kPath, kInterface, kSignal, this, SLOT(OnPrepareForSleep(bool)));
        return connected_;
    }
    void Disconnect() {
        if (!connected_) return;
        QDBusConnection::systemBus().disconnect(kService, kPath, kInterface, kSignal, this,
                                                SLOT(OnPrepareForSleep(bool)));
        connected_ = false;
    }

public slots:
    void OnPrepareForSleep(bool goingToSleep) {
        if (callback_) callback_(goingToSleep);
    }

private:
    Callback callback_;
    bool connected_ = false;
};

SystemSleepWatcher::SystemSleepWatcher() = default;

SystemSleepWatcher::~SystemSleepWatcher() { Stop(); }

bool SystemSleepWatcher::Start(Callback callback) {
    Stop();
    receiver_ = std::make_unique<Receiver>(std::move(callback));
    if (receiver_->Connect()) return true;
    receiver_.reset();
    return false;
}

void SystemSleepWatcher::Stop() {
    if (!receiver_) return;
    receiver_->Disconnect();
    receiver_.reset();
}

}  // namespace q208

#include "SystemSleepWatcher.moc"
