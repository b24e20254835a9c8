// The Server button's menu in the window: a right click or a long press opens it with the
// entries, a pick switches, and the long press is no click as well.
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>

#include "dialog_fixture.h"
#include "fake_service_browser.h"
#include "server_menu_qt.h"

namespace dravo::test {
namespace {

class ServerMenuQtTest : public DialogFixture {
protected:
    ServerMenuQtTest() {
        other.set_reply("/list", {200, "X\n"});
        other.set_reply("/get_filter", {200, ""});
        settings.servers = {server.base_url(), kDead};
        browser.servers = {{"dravo on other", "other.local", "127.0.0.1", other.port(), {}, false}};
    }

    QPushButton& button() {
        auto* found = find<QPushButton>("server");
        if (!attached_) {
            attach_server_menu(*found, settings, app().session(), browser);
            attached_ = true;
        }
        return *found;
    }
    static QMenu* open_menu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }
    static std::vector<std::string> texts(const QMenu& menu) {
        std::vector<std::string> result;
        for (const auto* action : menu.actions()) {
            result.push_back((action->isChecked() ? "*" : "") + action->text().toStdString());
        }
        return result;
    }

    static inline const std::string kDead = "http://127.0.0.1:1/";
    LocalHttpServer other;
    FakeServiceBrowser browser;

private:
    bool attached_ = false;
};

TEST_F(ServerMenuQtTest, RightClickOpensTheEntriesAndAPickSwitches) {
    QContextMenuEvent right_click(QContextMenuEvent::Mouse, QPoint(2, 2),
                                  button().mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&button(), &right_click);
    QMenu* menu = open_menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(texts(*menu), (std::vector<std::string>{"*" + server.base_url(), kDead,
                                                      "dravo on other (127.0.0.1:" +
                                                          std::to_string(other.port()) + ")"}));
    menu->actions().back()->trigger();
    EXPECT_EQ(settings.servers.back(), "http://127.0.0.1:" + std::to_string(other.port()) + "/");
    EXPECT_EQ(settings.current_server, 3);
    EXPECT_EQ(other.targets(), (Targets{"/list", "/title", "/status", "/get_filter"}));
    menu->hide();
}

TEST_F(ServerMenuQtTest, LongPressOpensTheMenuAndDoesNotClick) {
    QPushButton& server_button = button();  // after the start-up's requests
    const auto before = server.targets().size();
    QTest::mousePress(&server_button, Qt::LeftButton);
    QTRY_VERIFY(open_menu() != nullptr);
    QTest::mouseRelease(&server_button, Qt::LeftButton);
    EXPECT_EQ(settings.current_server, 1);
    EXPECT_EQ(server.targets().size(), before);
    open_menu()->hide();
    server_button.click();  // the plain click still steps on
    EXPECT_EQ(settings.current_server, 2);
}

}  // namespace
}  // namespace dravo::test
