#pragma once
// The server's configuration dialog: port, media root and file extensions, with a button that
// rebuilds the media cache. It shows state and forwards clicks; ServerConfig does the work.
// Create, show and destroy it on the GUI thread.
#include <QDialog>
#include <QTimer>

#include "server_config.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace dravo {

// The name breaks the naming rule on purpose: the dialog class has always been config_dlg_t.
class config_dlg_t : public QDialog {
public:
    // message shows the port notice; when empty, a modal box owned by this dialog shows it.
    config_dlg_t(ServerSettings& settings, MediaCache* cache, ServerConfig::MessageBox message = {},
                 QWidget* parent = nullptr);
    // Waits for a rebuild still running.
    ~config_dlg_t() override;

    // OK: apply, then close.
    void accept() override;
    // Cancel and Escape: close without storing. Ignored while the cache is being rebuilt.
    void reject() override;

    bool rebuilding() const { return config_.rebuilding(); }

private:
    void make_controls();
    void refresh_clicked();
    void poll_rebuild();
    void set_busy(bool busy);
    ConfigTexts edit_texts() const;
    void show_message(const std::string& text, const std::string& caption);

    ServerConfig config_;
    QLineEdit* port_ = nullptr;
    QLineEdit* media_root_ = nullptr;
    QLineEdit* file_extensions_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* progress_ = nullptr;
    QTimer poll_;
};

}  // namespace dravo
