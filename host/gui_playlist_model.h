#pragma once
// The playlist as a Qt list model. Titles are asked for only when a row is shown, so a long
// playlist appears at once and only visible entries touch their files. Main thread only.
#include <QAbstractListModel>

#include "player_model.h"

namespace dravo {

class PlaylistListModel : public QAbstractListModel {
public:
    explicit PlaylistListModel(PlayerModel& player, QObject* parent = nullptr)
        : QAbstractListModel(parent), player_(player) {}

    int rowCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Picks up a changed playlist or current entry.
    void refresh();

private:
    PlayerModel& player_;
    std::uint64_t shown_revision_ = static_cast<std::uint64_t>(-1);
    int shown_current_ = -1;
};

}  // namespace dravo
