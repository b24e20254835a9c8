#include "server_menu_qt.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "server_menu.h"

namespace dravo {
namespace {

constexpr int kLongPressMs = 500;

class ServerMenuQt : public QObject {
public:
    ServerMenuQt(QPushButton& button, ClientSettings& settings, RemoteSession& session,
                 const ServiceBrowser& browser)
        : QObject(&button), button_(button), rules_(settings, session, browser),
          menu_(new QMenu(&button)) {
        menu_->setObjectName("server_menu");
        button.setContextMenuPolicy(Qt::CustomContextMenu);
        connect(&button, &QWidget::customContextMenuRequested, this,
                [this](const QPoint& at) { open(button_.mapToGlobal(at)); });
        hold_.setSingleShot(true);
        hold_.setInterval(kLongPressMs);
        connect(&hold_, &QTimer::timeout, this, [this] { held(); });
        button.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &button_) {
            return false;
        }
        const auto* mouse = dynamic_cast<QMouseEvent*>(event);
        const bool left = mouse && (mouse->button() == Qt::LeftButton ||
                                    mouse->buttons().testFlag(Qt::LeftButton));
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                long_pressed_ = false;  // the last long press's release may have gone to the menu
                if (left) {
                    hold_.start();
                }
                return false;
            case QEvent::MouseButtonRelease:
                hold_.stop();
                if (long_pressed_) {
                    long_pressed_ = false;
                    return true;  // not a click as well
                }
                return false;
            case QEvent::MouseMove:
                return long_pressed_;  // moving back over the button must not press it again
            default:
                return false;
        }
    }

private:
    void held() {
        long_pressed_ = true;
        button_.setDown(false);
        open(button_.mapToGlobal(QPoint(0, button_.height())));
    }

    void open(const QPoint& at) {
        menu_->clear();
        for (const auto& entry : rules_.entries()) {
            QAction* action = menu_->addAction(QString::fromStdString(menu_label(entry)));
            action->setCheckable(true);
            action->setChecked(entry.current);
            connect(action, &QAction::triggered, this, [this, entry] { rules_.pick(entry); });
        }
        menu_->popup(at);
    }

    QPushButton& button_;
    ServerMenu rules_;
    QMenu* menu_;
    QTimer hold_;
    bool long_pressed_ = false;
};

}  // namespace

void attach_server_menu(QPushButton& button, ClientSettings& settings, RemoteSession& session,
                        const ServiceBrowser& browser) {
    new ServerMenuQt(button, settings, session, browser);  // owned by the button
}

}  // namespace dravo
