#include "tray_icon.h"

#include <QApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTextDocument>

#include <iostream>

#include "tray_tip.h"

namespace dravo {
namespace {

TrayClick click_of(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return TrayClick::left;
        case QSystemTrayIcon::Context:
            return TrayClick::right;
        default:
            return TrayClick::other;
    }
}

// Tool tips take text that looks like markup as markup; a title must show as it is.
QString plain_tip(const std::string& tip) {
    const QString text = QString::fromStdString(tray_tip_text(tip));
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

}  // namespace

TrayIcon::TrayIcon(QIcon icon, std::function<void(TrayClick)> on_click)
    : program_icon_(std::move(icon)), on_click_(std::move(on_click)) {}

TrayIcon::~TrayIcon() = default;

void TrayIcon::add() {
    if (!available()) {
        std::cerr
            << "dravo: no notification area; the media keys and \"dravo /i ...\" still work\n";
    }
    notify(TrayAction::add, &program_icon_);
}

bool TrayIcon::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::notify(TrayAction action, const QIcon* icon, const std::optional<std::string>& tip) {
    if (action == TrayAction::remove) {
        icon_.reset();
        return;
    }
    if (action == TrayAction::add && !icon_) {
        icon_ = std::make_unique<QSystemTrayIcon>();
        QObject::connect(
            icon_.get(), &QSystemTrayIcon::activated,
            [this](QSystemTrayIcon::ActivationReason reason) { on_click_(click_of(reason)); });
    }
    if (!icon_) {
        return;  // modified before it was added, or after it was deleted
    }
    if (icon) {
        icon_->setIcon(*icon);
    } else if (action == TrayAction::add) {
        icon_->setIcon(QApplication::style()->standardIcon(QStyle::SP_DesktopIcon));
    }
    icon_->setToolTip(plain_tip(tip.value_or("")));
    if (action == TrayAction::add) {
        icon_->show();
    }
}

QString TrayIcon::tip() const { return icon_ ? icon_->toolTip() : QString(); }

bool TrayIcon::shown() const { return icon_ && icon_->isVisible(); }

}  // namespace dravo
