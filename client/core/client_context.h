#pragma once
// The parts every client operation works on, handed down from the session that owns them.
// User-interface thread only.
namespace dravo {

class ClientSettings;
class RemoteView;
class ServerClient;
class TrackList;
struct PlaybackState;

struct ClientContext {
    ClientSettings& settings;
    RemoteView& view;
    ServerClient& server;
    PlaybackState& state;
    TrackList& tracks;
};

}  // namespace dravo
