#pragma once
// The windowed host's message boxes: one non-modal box, reused; a new notice replaces the text
// of the one shown (see LatestNotice). Main thread only.
#include <QMessageBox>
#include <QPointer>
#include <string>

#include "latest_notice.h"

namespace dravo {

class NoticeWindow : public QObject {
public:
    explicit NoticeWindow(QObject* parent = nullptr) : QObject(parent) {}
    ~NoticeWindow() override;

    // parent: the window to centre on (may be null).
    void show_notice(const std::string& text, const std::string& caption, QWidget* parent);
    QMessageBox* box() const { return box_.data(); }

private:
    LatestNotice latest_;
    QPointer<QMessageBox> box_;
};

}  // namespace dravo
