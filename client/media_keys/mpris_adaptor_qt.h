#pragma once
// The two bus interfaces of a desktop media player, over MediaPlayerBridge: the root interface
// (identity, Raise) and the player (transport, seek, volume, shuffle, metadata). QtDBus calls the
// slots and reads the properties on the user-interface thread, the object's thread. announce()
// sends PropertiesChanged for what the bridge reports as changed, and Seeked for a jump. Nothing
// fails: a call the client cannot do (OpenUri, Quit; SetPosition without the state API) does
// nothing.
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include "media_player_bridge.h"

namespace dravo {

inline constexpr const char* kMprisObjectPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* kMprisPlayerInterface = "org.mpris.MediaPlayer2.Player";

// The object the two adaptors hang on; registered at kMprisObjectPath.
class MprisObject final : public QObject {
public:
    MprisObject(MediaPlayerBridge& bridge, QDBusConnection bus);
    // Sends one PropertiesChanged with the changed properties' new values.
    void announce(const std::vector<MediaPlayerProperty>& changed);

private:
    void send_seeked();

    MediaPlayerBridge& bridge_;
    QDBusConnection bus_;
};

class MprisRootAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ no)
    Q_PROPERTY(bool CanRaise READ yes)
    Q_PROPERTY(bool HasTrackList READ no)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QStringList SupportedUriSchemes READ nothing)
    Q_PROPERTY(QStringList SupportedMimeTypes READ nothing)

public:
    MprisRootAdaptor(MprisObject* parent, MediaPlayerBridge& bridge);
    bool yes() const { return true; }
    bool no() const { return false; }
    QString identity() const;
    QStringList nothing() const { return {}; }

public slots:
    void Raise();
    void Quit() {}

private:
    MediaPlayerBridge& bridge_;
};

class MprisPlayerAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playback_status)
    Q_PROPERTY(double Rate READ rate WRITE set_rate)
    Q_PROPERTY(double MinimumRate READ rate)
    Q_PROPERTY(double MaximumRate READ rate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume WRITE set_volume)
    Q_PROPERTY(bool Shuffle READ shuffle WRITE set_shuffle)
    Q_PROPERTY(QString LoopStatus READ loop_status WRITE set_loop_status)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ yes)
    Q_PROPERTY(bool CanGoPrevious READ yes)
    Q_PROPERTY(bool CanPlay READ yes)
    Q_PROPERTY(bool CanPause READ yes)
    Q_PROPERTY(bool CanSeek READ yes)
    Q_PROPERTY(bool CanControl READ yes)

public:
    MprisPlayerAdaptor(MprisObject* parent, MediaPlayerBridge& bridge);
    QString playback_status() const;
    double rate() const { return 1.0; }
    void set_rate(double) {}
    QVariantMap metadata() const;
    double volume() const;
    void set_volume(double level);
    bool shuffle() const;
    void set_shuffle(bool on);
    QString loop_status() const;
    void set_loop_status(const QString& status);
    qlonglong position() const { return bridge_.position_us(); }
    bool yes() const { return true; }

public slots:
    void Next();
    void Previous();
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong Position);

private:
    MediaPlayerBridge& bridge_;
};

// The Metadata map of a state: mpris:trackid, and xesam:title, mpris:length and xesam:url when
// known.
QVariantMap mpris_metadata(const MediaPlayerState& state);

}  // namespace dravo
