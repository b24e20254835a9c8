#include "sleep_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "client_settings.h"
#include "remote_protocol.h"
#include "text.h"

namespace dravo {
namespace {

QLineEdit* number_edit(const char* name, int value, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromStdString(to_text(value)), parent);
    edit->setObjectName(name);
    edit->setMaxLength(remote::kEditTextMax);
    return edit;
}

int number_in(const QLineEdit* edit) {
    return static_cast<int>(to_number(edit->text().toStdString()));
}

}  // namespace

CsleepDlg::CsleepDlg(ClientSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(settings) {
    setObjectName("sleep_dialog");
    setWindowTitle("Sleep");
    setWindowModality(Qt::ApplicationModal);
    hours_ = number_edit("hours", settings.sleep_hours, this);
    minutes_ = number_edit("minutes", settings.sleep_minutes, this);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("hours", this), 0, 0);
    grid->addWidget(new QLabel("minutes", this), 0, 1);
    grid->addWidget(hours_, 1, 0);
    grid->addWidget(minutes_, 1, 1);
    grid->addWidget(ok, 2, 0);
    grid->addWidget(cancel, 2, 1);
    setStyleSheet("QDialog#sleep_dialog { border: 1px solid palette(dark); }");
    hours_->setFocus();
}

void CsleepDlg::accept() {
    settings_.set_sleep_time(number_in(hours_), number_in(minutes_));
    QDialog::accept();
}

}  // namespace dravo
