#include "gui_player_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "gui_playlist_model.h"

namespace dravo {

namespace {

constexpr int kRefreshMs = 250;

QString clock_text(int seconds) {
    if (seconds < 0) {
        return "-:--";
    }
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

}  // namespace

PlayerWindow::PlayerWindow(HostCore& core, PluginSet& plugins)
    : core_(core), player_(core.model()), plugins_(plugins) {
    setWindowTitle("player_host");
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    title_ = new QLabel(central);
    title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    time_ = new QLabel(central);
    layout->addWidget(title_);
    layout->addWidget(time_);
    layout->addWidget(make_transport());

    list_model_ = new PlaylistListModel(player_, this);
    list_ = new QListView(central);
    list_->setModel(list_model_);
    list_->setUniformItemSizes(true);
    connect(list_, &QListView::activated, this,
            [this](const QModelIndex& index) { play_row(index.row()); });
    layout->addWidget(list_, 1);
    setCentralWidget(central);
    make_menus();

    refresh_timer_ = new QTimer(this);
    connect(refresh_timer_, &QTimer::timeout, this, &PlayerWindow::refresh);
    refresh_timer_->start(kRefreshMs);
    resize(460, 520);
    refresh();
}

QWidget* PlayerWindow::make_transport() {
    auto* row = new QWidget(this);
    auto* rows = new QVBoxLayout(row);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QHBoxLayout;
    rows->addLayout(layout);
    const auto add_button = [&](const char* text, void (PlayerModel::*action)()) {
        auto* button = new QPushButton(tr(text), row);
        connect(button, &QPushButton::clicked, this, [this, action] {
            (player_.*action)();
            refresh();
        });
        layout->addWidget(button);
    };
    add_button("Prev", &PlayerModel::previous);
    add_button("Play", &PlayerModel::play);
    add_button("Pause", &PlayerModel::pause);
    add_button("Stop", &PlayerModel::stop);
    add_button("Next", &PlayerModel::next);

    layout = new QHBoxLayout;
    rows->addLayout(layout);
    layout->addWidget(new QLabel(tr("Volume"), row));
    volume_ = new QSlider(Qt::Horizontal, row);
    volume_->setRange(0, kVolumeMax);
    volume_->setToolTip(tr("Volume"));
    connect(volume_, &QSlider::valueChanged, this, [this](int value) {
        if (value != player_.volume()) {
            player_.set_volume(value);
        }
    });
    layout->addWidget(volume_, 1);
    shuffle_ = new QCheckBox(tr("Shuffle"), row);
    connect(shuffle_, &QCheckBox::toggled, this, [this](bool on) {
        if (on != player_.shuffle()) {
            player_.set_shuffle(on);
        }
    });
    repeat_ = new QCheckBox(tr("Repeat"), row);
    connect(repeat_, &QCheckBox::toggled, this, [this](bool on) {
        if (on != player_.repeat()) {
            player_.set_repeat(on);
        }
    });
    layout->addWidget(shuffle_);
    layout->addWidget(repeat_);
    return row;
}

void PlayerWindow::make_menus() {
    QMenu* file = menuBar()->addMenu(tr("&Player"));
    file->addAction(tr("&Quit"), this, [this] { close(); });
    QMenu* menu = menuBar()->addMenu(tr("Plug-ins"));
    const auto& loaded = plugins_.plugins();
    for (std::size_t i = 0; i < loaded.size(); ++i) {
        const QString label = "Configure " + QString::fromStdString(loaded[i].description);
        // The config entry runs on this (the main) thread, as plug-ins expect.
        menu->addAction(label, this, [this, i] { plugins_.configure(i); });
    }
    menu->setEnabled(!loaded.empty());
}

void PlayerWindow::play_row(int row) {
    player_.stop();
    player_.set_current(row);
    player_.play();
    refresh();
}

void PlayerWindow::refresh() {
    const int current = player_.current();
    const std::string* title = player_.title(current);
    QString text = title ? QString::fromStdString(*title) : tr("(empty playlist)");
    if (player_.state() == PlayState::paused) {
        text = tr("[paused] ") + text;
    } else if (player_.state() == PlayState::stopped && title) {
        text = tr("[stopped] ") + text;
    }
    title_->setText(text);
    const int position = player_.position_ms();
    time_->setText(clock_text(position < 0 ? -1 : position / 1000) + " / " +
                   clock_text(player_.length_s()));
    const QSignalBlocker block_volume(volume_);
    volume_->setValue(player_.volume());
    const QSignalBlocker block_shuffle(shuffle_);
    shuffle_->setChecked(player_.shuffle());
    const QSignalBlocker block_repeat(repeat_);
    repeat_->setChecked(player_.repeat());
    list_model_->refresh();
}

void PlayerWindow::closeEvent(QCloseEvent* event) {
    core_.request_close();
    event->accept();
    emit close_requested();
}

}  // namespace dravo
