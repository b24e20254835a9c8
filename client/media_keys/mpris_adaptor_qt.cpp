#include "mpris_adaptor_qt.h"

#include <QDBusMessage>

#include "client_info.h"

namespace dravo {

QVariantMap mpris_metadata(const MediaPlayerState& state) {
    QVariantMap map;
    map.insert("mpris:trackid",
               QVariant::fromValue(QDBusObjectPath(QString::fromStdString(state.track_id))));
    if (!state.title.empty()) {
        map.insert("xesam:title", QString::fromStdString(state.title));
    }
    if (state.length_us > 0) {
        map.insert("mpris:length", qlonglong{state.length_us});
    }
    if (!state.url.empty()) {
        map.insert("xesam:url", QString::fromStdString(state.url));
    }
    return map;
}

MprisObject::MprisObject(MediaPlayerBridge& bridge, QDBusConnection bus)
    : bridge_(bridge), bus_(std::move(bus)) {
    new MprisRootAdaptor(this, bridge);  // owned by this object
    new MprisPlayerAdaptor(this, bridge);
}

void MprisObject::announce(const std::vector<MediaPlayerProperty>& changed) {
    const auto state = bridge_.state();
    QVariantMap values;
    for (const auto property : changed) {
        switch (property) {
            case MediaPlayerProperty::playback_status:
                values.insert("PlaybackStatus", QString::fromStdString(state.playback_status));
                break;
            case MediaPlayerProperty::metadata:
                values.insert("Metadata", mpris_metadata(state));
                break;
            case MediaPlayerProperty::volume:
                values.insert("Volume", state.volume);
                break;
            case MediaPlayerProperty::shuffle:
                values.insert("Shuffle", state.shuffle);
                break;
            case MediaPlayerProperty::loop_status:
                values.insert("LoopStatus", QString::fromStdString(state.loop_status));
                break;
            case MediaPlayerProperty::seeked:
                send_seeked();
                break;
        }
    }
    if (values.isEmpty()) {
        return;
    }
    auto signal = QDBusMessage::createSignal(kMprisObjectPath, "org.freedesktop.DBus.Properties",
                                             "PropertiesChanged");
    signal << QString(kMprisPlayerInterface) << values << QStringList();
    bus_.send(signal);
}

void MprisObject::send_seeked() {
    auto signal = QDBusMessage::createSignal(kMprisObjectPath, kMprisPlayerInterface, "Seeked");
    signal << qlonglong{bridge_.position_us()};
    bus_.send(signal);
}

MprisRootAdaptor::MprisRootAdaptor(MprisObject* parent, MediaPlayerBridge& bridge)
    : QDBusAbstractAdaptor(parent), bridge_(bridge) {}

QString MprisRootAdaptor::identity() const { return kClientName; }

void MprisRootAdaptor::Raise() { bridge_.raise(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisObject* parent, MediaPlayerBridge& bridge)
    : QDBusAbstractAdaptor(parent), bridge_(bridge) {}

QString MprisPlayerAdaptor::playback_status() const {
    return QString::fromStdString(bridge_.state().playback_status);
}

QVariantMap MprisPlayerAdaptor::metadata() const { return mpris_metadata(bridge_.state()); }
double MprisPlayerAdaptor::volume() const { return bridge_.state().volume; }
void MprisPlayerAdaptor::set_volume(double level) { bridge_.set_volume(level); }
bool MprisPlayerAdaptor::shuffle() const { return bridge_.state().shuffle; }
void MprisPlayerAdaptor::set_shuffle(bool on) { bridge_.set_shuffle(on); }

QString MprisPlayerAdaptor::loop_status() const {
    return QString::fromStdString(bridge_.state().loop_status);
}
void MprisPlayerAdaptor::set_loop_status(const QString& status) {
    bridge_.set_loop_status(status.toStdString());
}
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
    bridge_.set_position(TrackId.path().toStdString(), Position);
}

void MprisPlayerAdaptor::Next() { bridge_.next(); }
void MprisPlayerAdaptor::Previous() { bridge_.previous(); }
void MprisPlayerAdaptor::Play() { bridge_.play(); }
void MprisPlayerAdaptor::Pause() { bridge_.pause(); }
void MprisPlayerAdaptor::PlayPause() { bridge_.play_pause(); }
void MprisPlayerAdaptor::Stop() { bridge_.stop(); }
void MprisPlayerAdaptor::Seek(qlonglong Offset) { bridge_.seek(Offset); }

}  // namespace dravo
