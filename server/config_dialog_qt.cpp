#include "config_dialog_qt.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "window_text.h"

namespace dravo {
namespace {

constexpr int kPollMs = 50;

// The layout is given in dialog units: a quarter of the font's average character width across,
// an eighth of its height down, so the arrangement follows the font's size. Fonts differ in
// how wide their punctuation is against their letters, so the unit also widens until every
// label's text fits the width it was given.
class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& metrics)
        : metrics_(metrics), across_((metrics.horizontalAdvance(QStringLiteral(
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                                          26 +
                                      1) /
                                     2 / 4.0),
          down_(metrics.height() / 8.0) {}

    void fit(const QString& text, int width_units) {
        across_ = std::max(across_, (metrics_.horizontalAdvance(text) + 1.0) / width_units);
    }
    int x(int units) const { return static_cast<int>(std::lround(units * across_)); }
    int y(int units) const { return static_cast<int>(std::lround(units * down_)); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(QPoint(x(left), y(top)), QPoint(x(left + width) - 1, y(top + height) - 1));
    }

private:
    QFontMetrics metrics_;
    double across_;
    double down_;
};

QLineEdit* make_edit(QWidget* parent, const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLabel* make_label(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* make_button(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

config_dlg_t::config_dlg_t(ServerSettings& settings, MediaCache* cache,
                           ServerConfig::MessageBox message, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      config_(
          settings, cache,
          message ? std::move(message)
                  : [this](const std::string& text, const std::string& caption) {
                        show_message(text, caption);
                    }) {
    setWindowTitle(QStringLiteral("dravo_srv config"));
    setModal(true);
    make_controls();
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, [this] { poll_rebuild(); });
    connect(refresh_, &QPushButton::clicked, this, [this] { refresh_clicked(); });
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    port_->setFocus();
}

config_dlg_t::~config_dlg_t() { config_.finish_rebuild(); }

void config_dlg_t::make_controls() {
    const ConfigTexts texts = config_.texts();
    port_ = make_edit(this, "port", QString::fromStdString(texts.port));
    media_root_ = make_edit(this, "media_root", QString::fromStdString(texts.media_root));
    file_extensions_ =
        make_edit(this, "file_extensions", QString::fromStdString(texts.file_extensions));
    refresh_ = make_button(this, "refresh", "Refresh media cache");
    ok_ = make_button(this, "ok", "OK");
    cancel_ = make_button(this, "cancel", "Cancel");
    ok_->setDefault(true);
    QLabel* port_label = make_label(this, "port_label", "Server port (e.g. 81)");
    QLabel* root_label = make_label(this, "media_root_label", "Media root (e.g. \"C:\\mp3\\\")");
    QLabel* extensions_label =
        make_label(this, "file_extensions_label", "File extensions (e.g. \"mp3 ogg wav url\")");
    progress_ = make_label(this, "progress", "");

    DialogUnits units(fontMetrics());
    units.fit(port_label->text(), 69);
    units.fit(root_label->text(), 98);
    units.fit(extensions_label->text(), 132);
    port_->setGeometry(units.rect(7, 16, 68, 14));
    media_root_->setGeometry(units.rect(7, 42, 239, 14));
    file_extensions_->setGeometry(units.rect(7, 68, 133, 14));
    refresh_->setGeometry(units.rect(151, 68, 95, 14));
    ok_->setGeometry(units.rect(253, 7, 50, 14));
    cancel_->setGeometry(units.rect(253, 24, 50, 14));
    port_label->setGeometry(units.rect(7, 7, 69, 8));
    root_label->setGeometry(units.rect(7, 33, 98, 8));
    extensions_label->setGeometry(units.rect(7, 59, 132, 8));
    // The free space beside the port edit carries the scan's progress.
    progress_->setGeometry(units.rect(82, 19, 164, 8));
    setFixedSize(units.x(310), units.y(89));

    setTabOrder(port_, media_root_);
    setTabOrder(media_root_, file_extensions_);
    setTabOrder(file_extensions_, refresh_);
    setTabOrder(refresh_, ok_);
    setTabOrder(ok_, cancel_);
}

ConfigTexts config_dlg_t::edit_texts() const {
    return {window_text(*port_), window_text(*media_root_), window_text(*file_extensions_)};
}

void config_dlg_t::show_message(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

void config_dlg_t::accept() {
    if (rebuilding()) {
        return;
    }
    config_.apply(edit_texts());
    QDialog::accept();
}

void config_dlg_t::reject() {
    if (rebuilding()) {
        return;
    }
    QDialog::reject();
}

void config_dlg_t::refresh_clicked() {
    if (rebuilding()) {
        return;
    }
    config_.apply(edit_texts());
    set_busy(true);
    progress_->setText(tr("Scanning..."));
    config_.start_rebuild();
    poll_rebuild();
    if (rebuilding()) {
        poll_.start();
    }
}

void config_dlg_t::poll_rebuild() {
    const auto found = static_cast<qulonglong>(config_.files_found());
    if (rebuilding()) {
        progress_->setText(tr("Scanning: %1 files found").arg(found));
        return;
    }
    poll_.stop();
    config_.finish_rebuild();
    progress_->setText(tr("Media cache: %1 files").arg(found));
    set_busy(false);
}

void config_dlg_t::set_busy(bool busy) {
    for (QPushButton* button : {refresh_, ok_, cancel_}) {
        button->setEnabled(!busy);
    }
    for (QLineEdit* edit : {port_, media_root_, file_extensions_}) {
        edit->setReadOnly(busy);
    }
    if (busy) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
        refresh_->setFocus();
    }
}

}  // namespace dravo
