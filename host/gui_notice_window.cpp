#include "gui_notice_window.h"

#include <QMessageBox>

namespace dravo {

NoticeWindow::~NoticeWindow() { delete box_.data(); }

void NoticeWindow::show_notice(const std::string& text, const std::string& caption,
                               QWidget* parent) {
    if (box_.isNull()) {
        box_ = new QMessageBox(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, parent);
        box_->setModal(false);
        // Hidden, not deleted, when dismissed: the next notice reuses it.
        QObject::connect(box_.data(), &QMessageBox::finished, this,
                         [this](int) { latest_.dismissed(); });
    }
    if (!box_->isVisible()) {
        latest_.dismissed();
    }
    latest_.add(text, caption);
    box_->setWindowTitle(QString::fromStdString(latest_.caption()));
    box_->setText(QString::fromStdString(latest_.text()));
    box_->show();
}

}  // namespace dravo
