// The main window on the offscreen platform: start-up, hiding, keys, the volume slider, the
// server button, the sleep timer, the tray clicks and what Exit saves.
#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QSlider>

#include <filesystem>

#include "dialog_fixture.h"
#include "sleep_timer.h"
#include "client_shell.h"

namespace dravo::test {
namespace {

TEST_F(DialogFixture, StartUpAsksInOrderAndStaysHidden) {
    settings.update_on_startup = true;
    dialog();
    EXPECT_EQ(server.targets(), (Targets{"/list", "/title", "/update", "/dravo/version.txt",
                                         "/status", "/get_filter"}));
    EXPECT_FALSE(dialog().isVisible());
    dialog().show();  // anything but show_at_cursor keeps it hidden
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(find<QLineEdit>("filter")->text(), "rock");
    EXPECT_EQ(find<QLabel>("now_playing")->text(), "Artist - Song");
    EXPECT_EQ(find<QListView>("tracks")->model()->rowCount(), 3);
    EXPECT_EQ(find<QCheckBox>("shuffle")->checkState(), Qt::Unchecked);
    EXPECT_EQ(find<QSlider>("volume")->value(), 50);
    EXPECT_EQ(app().tray().tip(), "Artist - Song");
}

TEST_F(DialogFixture, StartAtLoginWritesAndRemovesTheUsersAutostartEntry) {
    TempDir config;
    ScopedEnv config_home("XDG_CONFIG_HOME", config.path().c_str());
    const std::string entry = config.file("autostart/dravo.desktop");
    auto* box = find<QCheckBox>("autostart");
    EXPECT_FALSE(box->isChecked());
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_NE(read_file(entry).find("\nExec="), std::string::npos);
    box->click();
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(std::filesystem::exists(entry));
}

TEST_F(DialogFixture, EscAndCloseHideAndOnlyExitEnds) {
    dialog().show_at_cursor();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
    EXPECT_EQ(dialog().focusWidget(), static_cast<QWidget*>(find<QLineEdit>("search")));
    QTest::keyClick(find<QLineEdit>("search"), Qt::Key_Escape);
    EXPECT_FALSE(dialog().isVisible());
    dialog().show_at_cursor();
    dialog().close();
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(ended, 0);
    click("exit");
    EXPECT_EQ(ended, 1);
}

TEST_F(DialogFixture, ExitSavesServerSleepTimeAndFilters) {
    settings.servers = {"http://127.0.0.1:1/", "http://127.0.0.1:2/", server.base_url()};
    settings.current_server = 3;
    dialog();
    click("server");
    EXPECT_EQ(settings.current_server, 1);
    settings.current_server = 3;  // back to the live server for the rest
    find<QLineEdit>("filter")->setText("jazz");
    click("apply_filter");
    answer_sleep_dialog("0", "90", "ok");
    click("exit");

    ClientSettings saved(settings.file_name);
    saved.load();
    EXPECT_EQ(saved.current_server, 3);
    EXPECT_EQ(saved.sleep_hours, 0);
    EXPECT_EQ(saved.sleep_minutes, 90);
    EXPECT_EQ(saved.mru_filter, (std::vector<std::string>{"jazz"}));
    EXPECT_EQ(saved.servers.size(), 3u);
}

TEST_F(DialogFixture, ChangesReachTheFileAtOnceWithNothingElse) {
    settings.servers = {"http://127.0.0.1:1/", server.base_url()};
    dialog();
    const auto file_holds = [&](const std::vector<std::string>& lines) {
        const auto text = read_file(settings.file_name);
        for (const auto& line : lines) {
            EXPECT_NE(text.find(line + "\r\n"), std::string::npos) << line << " in\n" << text;
        }
        EXPECT_EQ(text.find("UseOSD"), std::string::npos) << "only the exit writes the rest";
    };
    click("server");
    file_holds({"CurrentServer=2"});
    find<QLineEdit>("filter")->setText("jazz");
    click("apply_filter");
    file_holds({"CurrentServer=2", "MRUFilter1=jazz"});
    answer_sleep_dialog("1", "30", "ok");
    answer_sleep_dialog("5", "5", "cancel");
    file_holds({"CurrentServer=2", "MRUFilter1=jazz", "SleepHours=1", "SleepMinutes=30"});
}

TEST_F(DialogFixture, EnterAppliesFilterInFilterEditElsePlaysSelectedTrack) {
    struct Row {
        const char* focus;
        const char* sent;
    };
    dialog().show_at_cursor();
    find<QLineEdit>("filter")->setText("jazz");
    for (const auto& row : {Row{"filter", "/set_filter?filter=jazz"},
                            Row{"search", "/play?track=1"}, Row{"tracks", "/play?track=1"}}) {
        auto* focus = find<QWidget>(row.focus);
        focus->setFocus();
        const auto sent = sent_by([&] { QTest::keyClick(focus, Qt::Key_Return); });
        ASSERT_FALSE(sent.empty()) << row.focus;
        EXPECT_EQ(sent.front(), row.sent) << row.focus;
    }
}

TEST_F(DialogFixture, ListKeysInTheSearchEditMoveTheSelection) {
    std::string numbers;
    for (int i = 1; i <= 30; ++i) {
        numbers += std::to_string(i) + "\n";
    }
    server.set_reply("/list", {200, numbers});
    dialog().show_at_cursor();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
    auto* search = find<QLineEdit>("search");
    ASSERT_EQ(dialog().selected_track_row(), 0u);
    struct Row {
        Qt::Key key;
        int direction;
    };
    for (const auto& row : {Row{Qt::Key_Down, 1}, Row{Qt::Key_Down, 1}, Row{Qt::Key_Up, -1},
                            Row{Qt::Key_PageDown, 1}, Row{Qt::Key_PageUp, -1}}) {
        const auto before = static_cast<int>(dialog().selected_track_row().value_or(99));
        QTest::keyClick(search, row.key);
        const auto after = static_cast<int>(dialog().selected_track_row().value_or(99));
        EXPECT_EQ(dialog().focusWidget(), static_cast<QWidget*>(search));
        EXPECT_TRUE(row.direction > 0 ? after > before : after < before)
            << row.key << ": " << before << " to " << after;
    }
}

TEST_F(DialogFixture, VolumeSliderSendsOneRequestPerStep) {
    server.set_reply("/status", {200, "volume: 95\n"});
    auto* slider = find<QSlider>("volume");
    struct Row {
        std::function<void()> act;
        const char* sent;
    };
    const Row rows[] = {
        {[&] { QTest::keyClick(slider, Qt::Key_Up); }, "/volume?volume=100"},  // line up at 95
        {[&] { slider->triggerAction(QAbstractSlider::SliderSingleStepAdd); }, "/volume?volume=90"},
        {[&] { slider->triggerAction(QAbstractSlider::SliderPageStepAdd); }, "/volume?volume=70"},
        {[&] { slider->triggerAction(QAbstractSlider::SliderPageStepSub); }, "/volume?volume=90"},
        {[&] { slider->setSliderPosition(0); }, "/volume?volume=100"},  // thumb dragged to the top
        {[&] { slider->triggerAction(QAbstractSlider::SliderToMaximum); }, "/volume?volume=0"},
        {[&] { slider->triggerAction(QAbstractSlider::SliderToMinimum); }, "/volume?volume=100"},
    };
    for (const auto& row : rows) {
        const auto sent = sent_by(row.act);
        ASSERT_FALSE(sent.empty()) << row.sent;
        EXPECT_EQ(sent.back(), row.sent);
        EXPECT_EQ(std::count(sent.begin(), sent.end(), std::string(row.sent)), 1);
    }
    EXPECT_EQ(slider->value(), 0);
}

TEST_F(DialogFixture, SleepTimerCountsDownCancelsAndStops) {
    auto* sleep = find<QPushButton>("sleep");
    answer_sleep_dialog("0", "90", "ok");
    EXPECT_EQ(sleep->text(), "1h30m");
    EXPECT_EQ(app().lifecycle().sleep_timer().period_ms(), 90 * 60'000);
    EXPECT_EQ(settings.sleep_minutes, 90);

    answer_sleep_dialog("5", "5", "cancel");
    EXPECT_EQ(sleep->text(), "Sleep");
    EXPECT_FALSE(app().lifecycle().sleep_timer().running());
    EXPECT_EQ(settings.sleep_hours, 0);  // Cancel keeps the last time

    const auto sent = sent_by([&] {  // the stop comes when the timer runs out
        answer_sleep_dialog("0", "0", "ok");
        ASSERT_TRUE(QTest::qWaitFor([&] { return app().osd().text() == kSleepVerse; }, 10'000));
    });
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "/stop");
    EXPECT_FALSE(app().lifecycle().sleep_timer().running());
}

TEST_F(DialogFixture, TrayClicks) {
    dialog();
    EXPECT_TRUE(sent_by([&] { app().lifecycle().tray_clicked(TrayClick::other); }).empty());
    EXPECT_FALSE(dialog().isVisible());

    server.set_reply("/title", {200, "New & 100% <b>"});
    app().lifecycle().tray_clicked(TrayClick::left);
    EXPECT_EQ(app().osd().text(), "New & 100% <b>");
    EXPECT_FALSE(dialog().isVisible());

    app().lifecycle().tray_clicked(TrayClick::right);
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_FALSE(dialog().keeps_hidden());
}

}  // namespace
}  // namespace dravo::test
