#pragma once
// The program's icon in the notification area. notify() adds, modifies or deletes it; the tip is
// cut to 127 characters and shown as plain text (never read as markup). Clicks come back as
// TrayClick through the handler given at construction.
// As the client's NotificationIcon it adds itself with the icon given at construction.
// GUI thread only. Nothing is reported when the icon cannot be shown (no notification area);
// available() tells whether there is one, and add() says so once on standard error.
#include <QIcon>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "client_shell.h"

class QSystemTrayIcon;

namespace dravo {

enum class TrayAction { add, modify, remove };

class TrayIcon : public NotificationIcon {
public:
    TrayIcon(QIcon icon, std::function<void(TrayClick)> on_click);
    ~TrayIcon() override;

    void add() override;
    void remove() override { notify(TrayAction::remove); }
    void set_tip(const std::string& tip) { notify(TrayAction::modify, nullptr, tip); }

    // icon: the program's icon when adding (none: the platform's default application icon);
    // no tip keeps an empty one.
    void notify(TrayAction action, const QIcon* icon = nullptr,
                const std::optional<std::string>& tip = {});

    static bool available();
    // The tip as handed to the platform (for tests).
    QString tip() const;
    bool shown() const;

private:
    QIcon program_icon_;
    std::function<void(TrayClick)> on_click_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace dravo
