// Requests do not freeze the window: the user-interface thread keeps handling its timers while a
// request waits on a server that never answers, and a status tick due meanwhile runs once, after.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "client_settings.h"
#include "local_http_server.h"
#include "operation_queue.h"
#include "recording_view.h"
#include "remote_session.h"
#include "request_runner_qt.h"

namespace dravo::test {
namespace {

TEST(OperationQueue, LaterOperationsWaitInOrderAndWaitingTicksMerge) {
    OperationQueue queue;
    std::vector<std::string> ran;
    queue.run([&] {
        queue.tick([&] { ran.push_back("tick"); });
        queue.run([&] { ran.push_back("click"); });
        queue.tick([&] { ran.push_back("tick again"); });
        EXPECT_TRUE(queue.busy());
        ran.push_back("first");
    });
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "tick", "click"}));
    EXPECT_FALSE(queue.busy());
    queue.tick([&] { ran.push_back("idle tick"); });
    EXPECT_EQ(ran.back(), "idle tick");
}

TEST(EventLoopRunner, SilentServerKeepsTimersRunningAndDefersOneTick) {
    int argc = 1;
    char name[] = "client_loop_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    LocalHttpServer silent({}, LocalHttpServer::Mode::silent);
    ClientSettings settings("");
    settings.servers = {silent.base_url()};
    RecordingView view;
    EventLoopRunner runner;
    SessionOptions options;
    options.limits = {std::chrono::milliseconds(2000), std::chrono::milliseconds(800)};
    RemoteSession session(settings, view, runner, options);

    int heartbeats = 0;
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++heartbeats; });
    heartbeat.start(10);

    // The status timer falls due a few times while "next" waits, then stops.
    int due = 0;
    int ticks_run = 0;
    int heartbeats_at_tick = -1;
    session.set_after_tick([&] {
        ++ticks_run;
        heartbeats_at_tick = heartbeats;
    });
    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [&] {
        if (++due == 3) {
            status.stop();
        }
        session.status_tick();
    });
    status.start(30);

    session.next_track();  // "next" and "title", each until the overall limit

    EXPECT_EQ(due, 3);
    EXPECT_EQ(ticks_run, 1);
    EXPECT_GE(heartbeats_at_tick, 3) << "the window's timers stood still during the request";
    EXPECT_FALSE(session.busy());
    EXPECT_TRUE(view.with("window:").empty());
}

}  // namespace
}  // namespace dravo::test
