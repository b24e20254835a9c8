// The media-key service on Qt: the shell hook's presses arrive as posted events on the
// user-interface thread; the bus interface is a QtDBus object on the session bus.
#include "media_key_service.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEvent>

#include <unistd.h>

#include "dravo_shellhook.h"
#include "media_keys.h"
#include "media_player_bridge.h"
#include "mpris_adaptor_qt.h"
#include "remote_session.h"

namespace dravo {
namespace {

constexpr const char* kBusName = "org.mpris.MediaPlayer2.dravo";

QEvent::Type media_key_event_type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

struct MediaKeyEvent final : QEvent {
    explicit MediaKeyEvent(std::uint32_t value) : QEvent(media_key_event_type()), lparam(value) {}
    std::uint32_t lparam;
};

// Lives on the user-interface thread; deleting it drops presses still waiting in the queue.
class KeyReceiver final : public QObject {
public:
    explicit KeyReceiver(MediaKeyHandler& handler) : handler_(handler) {}

    bool event(QEvent* event) override {
        if (event->type() != media_key_event_type()) {
            return QObject::event(event);
        }
        handler_.handle(static_cast<MediaKeyEvent*>(event)->lparam);
        return true;
    }

private:
    MediaKeyHandler& handler_;
};

// Runs on the hook's thread: only posts.
void post_key(void* context, std::uint32_t, std::uint32_t lparam) {
    QCoreApplication::postEvent(static_cast<QObject*>(context), new MediaKeyEvent(lparam));
}

}  // namespace

struct MediaKeyService::Impl {
    Impl(RemoteSession& s, std::function<void()> show)
        : session(s), keys(s, show), bridge(s, std::move(show)) {}

    bool install_hook();
    bool register_on_bus();
    void announce_changes();

    RemoteSession& session;
    MediaKeyHandler keys;
    MediaPlayerBridge bridge;
    std::unique_ptr<KeyReceiver> receiver;
    DravoMediaKeyTarget target{};
    std::unique_ptr<MprisObject> mpris;
    QDBusConnection bus{QString()};
    MediaKeyStatus status;
    bool started = false;
    Subscription after_operations;
};

bool MediaKeyService::Impl::install_hook() {
    receiver = std::make_unique<KeyReceiver>(keys);
    target = {post_key, receiver.get(), 0, 0};
    status.hook = SetMMShellHook(&target) != 0;
    status.grabbed_keys = target.grabbed_keys;
    status.held_keys = target.held_keys;
    if (!status.hook) {
        receiver.reset();
    }
    return status.hook;
}

bool MediaKeyService::Impl::register_on_bus() {
    bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    mpris = std::make_unique<MprisObject>(bridge, bus);
    if (!bus.registerObject(kMprisObjectPath, mpris.get())) {
        mpris.reset();
        return false;
    }
    // A second client on the same desktop takes an instance name, as the interface allows.
    QString name = kBusName;
    if (!bus.registerService(name)) {
        name += ".instance" + QString::number(::getpid());
        if (!bus.registerService(name)) {
            bus.unregisterObject(kMprisObjectPath);
            mpris.reset();
            return false;
        }
    }
    status.bus = true;
    status.bus_name = name.toStdString();
    bridge.changed();  // what the player shows now is the starting point, not a change
    return true;
}

void MediaKeyService::Impl::announce_changes() {
    if (mpris) {
        mpris->announce(bridge.changed());
    }
}

MediaKeyService::MediaKeyService(RemoteSession& session, std::function<void()> show_at_cursor)
    : impl_(std::make_unique<Impl>(session, std::move(show_at_cursor))) {
    impl_->after_operations =
        session.add_after_operations([impl = impl_.get()] { impl->announce_changes(); });
}

MediaKeyService::~MediaKeyService() { stop(); }

bool MediaKeyService::start() {
    if (impl_->started) {
        return impl_->status.hook || impl_->status.bus;
    }
    impl_->started = true;
    const bool hook = impl_->install_hook();
    const bool bus = impl_->register_on_bus();
    return hook || bus;
}

void MediaKeyService::stop() {
    if (!impl_->started) {
        return;
    }
    impl_->started = false;
    if (impl_->status.hook) {
        UnSetMMShellHook(&impl_->target);  // no delivery runs once it returns
    }
    impl_->receiver.reset();
    if (impl_->status.bus) {
        impl_->bus.unregisterService(QString::fromStdString(impl_->status.bus_name));
        impl_->bus.unregisterObject(kMprisObjectPath);
    }
    impl_->mpris.reset();
    impl_->status = {};
}

const MediaKeyStatus& MediaKeyService::status() const { return impl_->status; }

int MediaKeyService::handle_media_key(std::uint32_t lparam) { return impl_->keys.handle(lparam); }

}  // namespace dravo
