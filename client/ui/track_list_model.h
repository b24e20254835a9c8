#pragma once
// The list view's model over the TrackList: one row per shown track, its text as the display
// role and its track number as the user role. It holds nothing itself; the session calls
// refresh() right after every change of the list.
// GUI thread only. Nothing fails.
#include <QAbstractListModel>

namespace dravo {

class TrackList;

class TrackListModel : public QAbstractListModel {
public:
    explicit TrackListModel(const TrackList& list, QObject* parent = nullptr);

    void refresh();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const TrackList& list_;
    int rows_ = 0;  // what the view was last told, so that a read between changes stays in range
};

}  // namespace dravo
