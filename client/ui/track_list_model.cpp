#include "track_list_model.h"

#include "track_list.h"

namespace dravo {

TrackListModel::TrackListModel(const TrackList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {}

void TrackListModel::refresh() {
    beginResetModel();
    rows_ = static_cast<int>(list_.shown_count());
    endResetModel();
}

int TrackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant TrackListModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= list_.shown_count()) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        const auto text = list_.shown_text(row);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (role == Qt::UserRole) {
        return list_.shown_number(row);
    }
    return {};
}

}  // namespace dravo
