// The window drives the same model as the plug-ins, and its menu reaches the plug-ins' config.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <thread>

#include "fake_audio_engine.h"
#include "gui_notice_window.h"
#include "gui_player_window.h"
#include "host_core.h"
#include "plugin_set.h"

namespace dravo {
namespace {

int g_config_calls = 0;
bool g_config_on_main = false;
std::thread::id g_main_thread;

std::int32_t inline_init() { return 0; }
void inline_config() {
    ++g_config_calls;
    g_config_on_main = std::this_thread::get_id() == g_main_thread;
}
PluginRecord g_inline{kPluginRecordVersion,
                      "Inline plug-in",
                      &inline_init,
                      &inline_config,
                      nullptr,
                      nullptr,
                      nullptr};

class PlayerWindowTest : public ::testing::Test {
protected:
    PlayerWindowTest()
        : core(
              engine, [](const std::string& path) { return "Title " + path; }, [] {},
              [](const std::string&, const std::string&) {}, "", 9),
          plugins(core.record()) {
        g_main_thread = std::this_thread::get_id();
        engine.add_track("/m/a.mp3", 5000);
        engine.add_track("/m/b.mp3", 5000);
        core.model().add({"/m/a.mp3", "/m/b.mp3"});
        std::string error;
        EXPECT_TRUE(plugins.start(&g_inline, nullptr, "inline", error)) << error;
    }
    QPushButton* button(PlayerWindow& window, const QString& text) {
        for (auto* candidate : window.findChildren<QPushButton*>()) {
            if (candidate->text() == text) {
                return candidate;
            }
        }
        return nullptr;
    }

    FakeAudioEngine engine;
    HostCore core;
    PluginSet plugins;
};

TEST_F(PlayerWindowTest, PlugInsMenuCallsConfigOnTheMainThread) {
    PlayerWindow window(core, plugins);
    QAction* configure = nullptr;
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() == "Plug-ins" && menu->menu() != nullptr) {
            for (QAction* action : menu->menu()->actions()) {
                if (action->text() == "Configure Inline plug-in") {
                    configure = action;
                }
            }
        }
    }
    ASSERT_NE(configure, nullptr);
    configure->trigger();
    EXPECT_EQ(g_config_calls, 1);
    EXPECT_TRUE(g_config_on_main);
}

TEST_F(PlayerWindowTest, ButtonsSliderAndListDriveTheModel) {
    PlayerWindow window(core, plugins);
    window.show();
    ASSERT_NE(button(window, "Play"), nullptr);
    button(window, "Play")->click();
    EXPECT_EQ(core.model().state(), PlayState::playing);
    button(window, "Next")->click();
    EXPECT_EQ(engine.loaded(), "/m/b.mp3");
    button(window, "Pause")->click();
    EXPECT_EQ(core.model().state(), PlayState::paused);
    button(window, "Stop")->click();
    EXPECT_EQ(core.model().state(), PlayState::stopped);

    auto* volume = window.findChild<QSlider*>();
    ASSERT_NE(volume, nullptr);
    volume->setValue(100);
    EXPECT_EQ(core.model().volume(), 100);

    auto* list = window.findChild<QListView*>();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), "1. Title /m/a.mp3");
    core.model().add({"/m/c.mp3"});
    for (int waited = 0; waited < 1000 && list->model()->rowCount() != 3; ++waited) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(list->model()->rowCount(), 3) << "the list follows the playlist";
    emit list->activated(list->model()->index(0, 0));
    EXPECT_EQ(core.model().state(), PlayState::playing);
    EXPECT_EQ(engine.loaded(), "/m/a.mp3");
    if (const char* shot = std::getenv("DRAVO_GUI_SHOT"); shot != nullptr) {
        window.grab().save(shot);
    }
}

// Every unknown request path is a notice: a flood of them must not become a flood of windows.
TEST_F(PlayerWindowTest, NoticesShareOneWindowThatCountsThem) {
    PlayerWindow window(core, plugins);
    window.show();
    NoticeWindow notices;
    const auto open_boxes = [] {
        int open = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            open += qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible();
        }
        return open;
    };
    for (int i = 0; i < 500; ++i) {
        notices.show_notice("cmd: '/junk" + std::to_string(i) + "'\r\n", "", &window);
        QApplication::processEvents();
    }
    EXPECT_EQ(open_boxes(), 1);
    ASSERT_NE(notices.box(), nullptr);
    const QString text = notices.box()->text();
    EXPECT_TRUE(text.startsWith("cmd: '/junk499'")) << text.toStdString();
    EXPECT_TRUE(text.contains("500 notices")) << text.toStdString();

    notices.box()->done(0);  // the user dismisses it: the next notice counts afresh
    notices.show_notice("cmd: '/again'", "Cap", &window);
    EXPECT_EQ(open_boxes(), 1);
    EXPECT_EQ(notices.box()->text(), "cmd: '/again'");
    EXPECT_EQ(notices.box()->windowTitle(), "Cap");
}

}  // namespace
}  // namespace dravo
