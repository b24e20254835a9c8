#include "gui_playlist_model.h"

#include <QFont>

namespace dravo {

int PlaylistListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : player_.size();
}

QVariant PlaylistListModel::data(const QModelIndex& index, int role) const {
    const int row = index.row();
    if (!index.isValid() || row >= player_.size()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        const std::string* title = player_.title(row);
        return QString("%1. %2").arg(row + 1).arg(QString::fromStdString(title ? *title : ""));
    }
    if (role == Qt::ToolTipRole) {
        return QString::fromStdString(*player_.file_name(row));
    }
    if (role == Qt::FontRole && row == player_.current()) {
        QFont font;
        font.setBold(true);
        return font;
    }
    return {};
}

void PlaylistListModel::refresh() {
    if (player_.playlist_revision() != shown_revision_) {
        beginResetModel();
        shown_revision_ = player_.playlist_revision();
        shown_current_ = player_.current();
        endResetModel();
        return;
    }
    if (player_.current() != shown_current_) {
        const int before = shown_current_;
        shown_current_ = player_.current();
        for (int row : {before, shown_current_}) {
            if (row >= 0 && row < player_.size()) {
                emit dataChanged(index(row), index(row), {Qt::FontRole});
            }
        }
    }
}

}  // namespace dravo
