#pragma once
// The host's window: title and time, transport buttons, volume, shuffle and repeat, the
// playlist, and a "Plug-ins" menu with one "Configure <description>" entry per plug-in.
// Main thread only; it drives the same player model as the plug-ins' messages.
#include <QMainWindow>

#include "host_core.h"
#include "plugin_set.h"

class QCheckBox;
class QLabel;
class QListView;
class QSlider;
class QTimer;

namespace dravo {

class PlaylistListModel;

class PlayerWindow : public QMainWindow {
    Q_OBJECT

public:
    PlayerWindow(HostCore& core, PluginSet& plugins);

signals:
    // The user closed the window: the host is to end.
    void close_requested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* make_transport();
    void make_menus();
    void refresh();
    void play_row(int row);

    HostCore& core_;
    PlayerModel& player_;
    PluginSet& plugins_;
    PlaylistListModel* list_model_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* time_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* shuffle_ = nullptr;
    QCheckBox* repeat_ = nullptr;
    QListView* list_ = nullptr;
    QTimer* refresh_timer_ = nullptr;
};

}  // namespace dravo
