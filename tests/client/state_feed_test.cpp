// The pushed state's feed against a scripted server: which requests it sends (never an API
// request to a server whose HEAD answer is not JSON), what it hands to the user-interface thread,
// and how the session turns a new revision into one ordinary refresh.
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "client_fixture.h"
#include "eventually.h"
#include "session_feed.h"
#include "state_feed.h"

namespace dravo::test {
namespace {

using Answer = std::optional<std::string>;
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr auto kHangGuard = std::chrono::seconds(10);

std::string state_json(int revision, int index = 0) {
    return "{\"rev\":" + std::to_string(revision) + ",\"list_rev\":3,\"state\":\"playing\"," +
           "\"index\":" + std::to_string(index) + ",\"position_ms\":1000,\"length_s\":60}";
}

// Answers each request from its script; a request past the end of its script waits for the
// cancel flag, as a held long-poll does (or, with cancel_ignored, as under a request library
// that cannot cancel, for release()). Tasks posted to the "user-interface thread" wait in a
// queue that the test runs.
class ScriptedServer {
public:
    std::deque<Answer> heads;
    std::map<std::string, std::deque<Answer>> gets;  // by the URL without the base
    bool cancel_ignored = false;

    FeedTransport transport() {
        FeedTransport t;
        t.head = [this](const std::string& url, const FetchLimits& l) {
            return ask("HEAD", url, l);
        };
        t.get = [this](const std::string& url, const FetchLimits& l) { return ask("GET", url, l); };
        return t;
    }
    StateFeed::Poster poster() {
        return [this](StateFeed::Task task) {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            changed_.notify_all();
        };
    }
    // Runs the posted tasks until the feed has ended or waits past its script, and all posted
    // tasks have run.
    void settle() {
        std::unique_lock lock(mutex_);
        for (;;) {
            changed_.wait_for(lock, kHangGuard, [this] { return !tasks_.empty() || idle_; });
            if (tasks_.empty()) {
                return;
            }
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            lock.unlock();
            task();
            lock.lock();
        }
    }
    void feed_ended() { mark_idle(); }
    // Ends the held requests with answer.
    void release(Answer answer) {
        {
            std::lock_guard lock(mutex_);
            held_answer_ = std::move(answer);
        }
        released_ = true;
    }
    std::vector<std::string> asked() {
        std::lock_guard lock(mutex_);
        return asked_;
    }

private:
    Answer ask(const char* method, const std::string& url, const FetchLimits& limits) {
        const std::string target = url.substr(url.find('/', 7) + 1);
        {
            std::lock_guard lock(mutex_);
            std::deque<Answer>* script = std::string(method) == "HEAD" ? &heads : &gets[target];
            asked_.push_back(std::string(method) + " " + target);
            if (!script->empty()) {
                Answer answer = script->front();
                script->pop_front();
                return answer;
            }
        }
        mark_idle();
        while (cancel_ignored ? !released_.load() : !limits.cancel->load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::lock_guard lock(mutex_);
        return held_answer_;
    }
    void mark_idle() {
        std::lock_guard lock(mutex_);
        idle_ = true;
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<StateFeed::Task> tasks_;
    std::vector<std::string> asked_;
    bool idle_ = false;
    std::atomic<bool> released_{false};
    Answer held_answer_;
};

constexpr FeedTiming kQuick{std::chrono::milliseconds(1), std::chrono::milliseconds(5)};

struct FeedCase {
    const char* name;
    std::deque<Answer> heads;
    std::map<std::string, std::deque<Answer>> gets;
    std::vector<std::string> events;
    std::vector<std::string> asked;
};
void PrintTo(const FeedCase& c, std::ostream* out) { *out << c.name; }

const FeedCase kFeedCases[] = {
    {"old_server", {"text/html"}, {}, {"api:0"}, {"HEAD api/state"}},
    {"down_then_old",
     {std::nullopt, "text/html"},
     {},
     {"api:0"},
     {"HEAD api/state", "HEAD api/state"}},
    {"new_server",
     {kJson},
     {{"api/wait?since=0", {state_json(7, 1)}},
      {"api/list?offset=1&count=1", {R"({"items":[[1,"/m/b c.mp3"]]})"}}},
     {"api:1", "state:7:/m/b c.mp3"},
     {"HEAD api/state", "GET api/wait?since=0", "GET api/list?offset=1&count=1",
      "GET api/wait?since=7"}},
    {"replaced_by_an_old_one",
     {kJson, "text/html"},
     {{"api/wait?since=0", {std::nullopt}}},
     {"api:1", "api:0"},
     {"HEAD api/state", "GET api/wait?since=0", "HEAD api/state"}},
    {"answer_not_the_state",
     {kJson, kJson},
     {{"api/wait?since=0", {"<html>"}}},
     {"api:1"},
     {"HEAD api/state", "GET api/wait?since=0", "HEAD api/state", "GET api/wait?since=0"}},
};

class StateFeedTest : public ::testing::TestWithParam<FeedCase> {};

TEST_P(StateFeedTest, AsksTheApiOnlyOfAServerWhoseHeadSaysJson) {
    ScriptedServer server;
    server.heads = GetParam().heads;
    server.gets = GetParam().gets;
    std::vector<std::string> events;
    StateFeed::Handlers handlers{
        [&](bool offered) {
            events.push_back(offered ? "api:1" : "api:0");
            if (!offered) {
                server.feed_ended();
            }
        },
        [&](const ServerState& s) {
            events.push_back("state:" + std::to_string(s.revision) + ":" + s.file);
        }};
    StateFeed feed(server.poster(), handlers, server.transport(), kQuick);
    feed.start("http://server/");
    server.settle();
    feed.stop();  // cancels the request waiting past the script
    EXPECT_EQ(events, GetParam().events);
    EXPECT_EQ(server.asked(), GetParam().asked);
}

INSTANTIATE_TEST_SUITE_P(Servers, StateFeedTest, ::testing::ValuesIn(kFeedCases), CaseName());

TEST(StateFeedSwitch, ANewServerDoesNotWaitForAHeldRequestThatIgnoresTheCancel) {
    ScriptedServer server;
    server.heads = {kJson, kJson};
    server.cancel_ignored = true;
    int states = 0;
    StateFeed feed(server.poster(), {{}, [&](const ServerState&) { ++states; }}, server.transport(),
                   kQuick);
    feed.start("http://a/");
    server.settle();  // its wait is held
    auto switched = std::async(std::launch::async, [&] { feed.start("http://b/"); });
    const bool prompt = switched.wait_for(kHangGuard) == std::future_status::ready;
    eventually([&] { return server.asked().size() >= 4; });  // b's wait held too
    server.release(state_json(4));                           // the held requests end, with a state
    switched.get();
    feed.stop();  // waits for both runs
    server.settle();
    EXPECT_TRUE(prompt);
    EXPECT_EQ(feed.server(), "");
    EXPECT_EQ(states, 0);  // nothing of an ended run reaches the window
    auto asked = server.asked();
    asked.resize(4);
    EXPECT_EQ(asked, (std::vector<std::string>{"HEAD api/state", "GET api/wait?since=0",
                                               "HEAD api/state", "GET api/wait?since=0"}));
}

TEST(ServerState, FileUrlsOfAbsolutePathsOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"/m/S\xc3\xa5nger/a b#1.mp3", "file:///m/S%C3%A5nger/a%20b%231.mp3"},
        {"C:\\Music\\a.mp3", "file:///C:/Music/a.mp3"},
        {"http://radio/stream", ""},
        {"a.mp3", ""},
        {"", ""},
    };
    for (const auto& [name, url] : cases) {
        EXPECT_EQ(file_url(name), url) << name;
    }
    EXPECT_FALSE(parse_server_state("<html>"));
    EXPECT_FALSE(parse_server_state("[1]"));
    EXPECT_EQ(parse_server_state(R"({"rev":2,"index":"x"})")->index, -1);
}

class SessionFeedTest : public ClientFixture {
protected:
    SessionFeedTest() { serve_player(); }
};

TEST_F(SessionFeedTest, ANewRevisionRefreshesOnceAndTheSameRevisionNoMore) {
    ScriptedServer pushes;
    pushes.heads = {kJson};
    pushes.gets = {{"api/wait?since=0", {state_json(5)}},
                   {"api/list?offset=0&count=1", {R"({"items":[[0,"/m/a.mp3"]]})"}},
                   {"api/wait?since=5", {state_json(5)}}};
    SessionFeed feed(session(), pushes.poster(), pushes.transport(), kQuick);
    feed.start();
    pushes.settle();
    EXPECT_EQ(server.targets(), (Targets{"/status", "/title"}));
    EXPECT_EQ(view.with("osd:"), std::vector<std::string>{"A - B"});
    EXPECT_EQ(session().state().pushed.file, "/m/a.mp3");
    session().status_tick();  // the timer's tick after it announces nothing again
    EXPECT_EQ(view.with("osd:"), std::vector<std::string>{"A - B"});
}

TEST_F(SessionFeedTest, OnlyASwitchToAnotherServerForgetsThePushedState) {
    ScriptedServer pushes;
    pushes.heads = {kJson};
    pushes.gets = {{"api/wait?since=0", {state_json(5)}},
                   {"api/list?offset=0&count=1", {R"({"items":[[0,"/m/a.mp3"]]})"}}};
    SessionFeed feed(session(), pushes.poster(), pushes.transport(), kQuick);
    feed.start();
    pushes.settle();
    session().next_server();  // the only server: the same one again
    EXPECT_EQ(session().state().api_server, server.base_url());
    EXPECT_EQ(session().state().pushed.revision, 5u);
    settings.servers.push_back("http://127.0.0.1:" + std::to_string(free_port()) + "/");
    session().next_server();
    EXPECT_EQ(session().state().api_server, "");
    EXPECT_EQ(session().state().pushed.revision, 0u);
    EXPECT_EQ(session().state().pushed.file, "");
}

TEST_F(SessionFeedTest, AnOldServerGetsTheHeadAndOtherwiseTheUsualRequests) {
    ScriptedServer tasks;  // only its poster: the real transport asks the recording server
    SessionFeed feed(session(), tasks.poster());
    feed.start();
    eventually([&] { return !server.requests().empty(); });
    feed.stop();
    tasks.feed_ended();
    tasks.settle();  // a task of the stopped run does nothing
    session().poll_status();
    session().status_tick();
    session().seek_to_ms(1000);  // without the API: nothing
    const auto heads = server.requests();
    ASSERT_FALSE(heads.empty());
    EXPECT_EQ(heads[0].rfind("HEAD /api/state HTTP/1.0\r\n", 0), 0u);
    EXPECT_EQ(server.targets(), (Targets{"/api/state", "/status", "/status", "/title"}));
    EXPECT_TRUE(session().state().api_server.empty());
}

}  // namespace
}  // namespace dravo::test
