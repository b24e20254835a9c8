// The client's life around any window: start-up and shutdown order, what cannot start, Exit
// while a request runs, the sleep timer's waits and the tray clicks.
#include <functional>

#include "client_fixture.h"
#include "client_lifecycle.h"
#include "temp_dir.h"

namespace dravo::test {
namespace {

// The window system's parts, logging into the recording view's lines.
class FakeParts : public OnScreenDisplay, public NotificationIcon, public ClientLoop {
public:
    explicit FakeParts(RecordingView& view) : view_(view) {}

    bool init(bool, int, int) override { return say("part:osd", osd_works); }
    void add() override { say("part:tray+"); }
    void remove() override { say("part:tray-"); }
    void start_timer(ClientTimer timer, int ms) override {
        say("part:timer" + std::to_string(static_cast<int>(timer)) + "=" + std::to_string(ms));
    }
    void stop_timer(ClientTimer timer) override {
        say("part:timer" + std::to_string(static_cast<int>(timer)) + "-");
    }
    void call_later(int ms, std::function<void()> call) override {
        say("part:later" + std::to_string(ms));
        later.push_back(std::move(call));
    }
    void end_loop() override { say("part:end"); }
    ClientParts parts() { return {*this, *this, keys, *this}; }

    bool osd_works = true;
    bool keys_work = true;
    std::vector<std::function<void()>> later;

private:
    struct Keys : KeyHook {
        explicit Keys(FakeParts& owner) : owner_(owner) {}
        bool install() override { return owner_.say("part:keys+", owner_.keys_work); }
        void register_actions() override { owner_.say("part:bindings"); }
        void remove() override { owner_.say("part:keys-"); }
        FakeParts& owner_;
    } keys{*this};

    bool say(const std::string& line, bool result = true) {
        view_.show_message(line);
        return result;
    }
    RecordingView& view_;
};

class LifecycleTest : public ClientFixture {
protected:
    LifecycleTest() {
        settings.file_name = dir.file("dravo.ini");
        settings.refresh_interval = 2;
        serve_player({{"/list", "A\nB\n"}, {"/get_filter", "rock"}});
    }
    ClientLifecycle& life() {
        if (!life_) {
            life_ = std::make_unique<ClientLifecycle>(settings, session(), view, fake.parts(),
                                                      [this] { return now_ms; });
        }
        return *life_;
    }
    std::vector<std::string> parts_said() const { return view.with("message:part:"); }

    TempDir dir;
    FakeParts fake{view};
    std::int64_t now_ms = 0;

private:
    std::unique_ptr<ClientLifecycle> life_;
};

struct StartCase {
    const char* name;
    bool osd_works;
    bool keys_work;
    std::vector<std::string> errors;
    std::vector<std::string> osd;
};

class StartUpTest : public LifecycleTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartUpTest, RunsInOrderAndTellsWhatCouldNotStart) {
    const auto& c = GetParam();
    fake.osd_works = c.osd_works;
    fake.keys_work = c.keys_work;
    life().start_up();
    EXPECT_EQ(parts_said(), (Targets{"osd", "keys+", "tray+", "timer1=2000", "bindings"}));
    EXPECT_EQ(view.with("error:"), c.errors);
    const auto osd = view.with("osd:");
    EXPECT_EQ(std::vector(osd.begin(), osd.begin() + c.osd.size()), c.osd);
    EXPECT_EQ(server.targets(), (Targets{"/list", "/title", "/update", "/dravo/version.txt",
                                         "/status", "/get_filter"}));
    EXPECT_EQ(view.with("focus:"), Targets{"search"});
    EXPECT_EQ(view.with("box:"), Targets{"?"});
}

const StartCase kStartCases[] = {
    {"all_start", true, true, {}, {}},
    {"no_display", false, true, {"init_osd() failed!"}, {}},
    {"no_keys", true, false, {"SetMMShellHook() failed!"}, {"ERROR: SetMMShellHook() failed!"}},
};
INSTANTIATE_TEST_SUITE_P(Parts, StartUpTest, ::testing::ValuesIn(kStartCases), CaseName());

TEST_F(LifecycleTest, ShutdownRunsOnceInOrderAndSavesTheSettings) {
    life().start_up();
    view.lines.clear();
    settings.current_server = 1;
    settings.mru_filter = {"jazz"};
    life().shut_down();
    life().shut_down();
    EXPECT_EQ(parts_said(), (Targets{"timer1-", "timer2-", "tray-", "keys-"}));
    ClientSettings saved(settings.file_name);
    saved.load_and_correct();
    EXPECT_EQ(saved.mru_filter, Targets{"jazz"});
}

TEST_F(LifecycleTest, ExitWaitsForTheRunningRequestThenEndsOnce) {
    // Exit from inside an operation (a signal's handler while a box is up): the request runs.
    view.on_line = [&](const std::string& line) {
        if (line.rfind("message:", 0) == 0 && line.rfind("message:part:", 0) != 0) {
            life().end();
        }
    };
    session().show_about();
    EXPECT_FALSE(life().has_ended());
    ASSERT_EQ(fake.later.size(), 1u);
    view.on_line = nullptr;
    fake.later.back()();
    life().end();
    EXPECT_TRUE(life().has_ended());
    EXPECT_EQ(parts_said(), (Targets{"later10", "timer1-", "timer2-", "tray-", "keys-", "end"}));
}

TEST_F(LifecycleTest, SleepTimeWaitsInStepsThenStops) {
    settings.sleep_hours = 30;  // longer than one platform timer takes
    settings.sleep_minutes = 0;
    life().sleep_dialog_closed(true);
    EXPECT_EQ(view.with("sleep:").back(), "30h0m");
    EXPECT_EQ(parts_said(), (Targets{"timer2-", "timer2=" + std::to_string(kLongestSleepWaitMs)}));

    now_ms = kLongestSleepWaitMs;
    life().timer_fired(ClientTimer::sleep);  // early: armed again, nothing sent
    EXPECT_TRUE(server.targets().empty());
    EXPECT_EQ(parts_said().back(), "timer2=" + std::to_string(6 * 60 * 60 * 1000));

    now_ms = 30LL * 60 * 60 * 1000;
    life().timer_fired(ClientTimer::sleep);
    EXPECT_EQ(server.targets().front(), "/stop");
    EXPECT_EQ(view.with("osd:").back(), kSleepVerse);
    EXPECT_EQ(view.with("sleep:").back(), "Sleep");

    life().sleep_dialog_closed(true);
    life().sleep_dialog_closed(false);  // Cancel ends the running time too
    EXPECT_FALSE(life().sleep_timer().running());
}

TEST_F(LifecycleTest, TrayClicks) {
    life().tray_clicked(TrayClick::other);
    EXPECT_TRUE(view.lines.empty());
    life().tray_clicked(TrayClick::right);
    EXPECT_EQ(view.lines, (Targets{"sleep:Sleep", "raise"}));
    life().tray_clicked(TrayClick::left);
    EXPECT_EQ(server.targets(), Targets{"/title"});
    EXPECT_EQ(view.with("osd:"), Targets{"A - B"});
}

TEST_F(LifecycleTest, AfterOperationListenersRunUntilTheirHandleGoes) {
    std::vector<std::string> heard;
    auto first = session().add_after_operations([&] { heard.push_back("first"); });
    Subscription second;
    second = session().add_after_operations([&] {
        heard.push_back("second");
        second.reset();  // a listener may leave while the listeners run
    });
    session().poll_status();
    first.reset();
    session().poll_status();
    EXPECT_EQ(heard, (Targets{"first", "second"}));
}

}  // namespace
}  // namespace dravo::test
