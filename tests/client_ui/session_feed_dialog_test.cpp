// The window's session with the server's push, as the program wires it, against a server
// without the API: the start-up's requests are those of a client without the feed, plus the one
// HEAD, and no API request ever follows.
#include "dialog_fixture.h"
#include "session_feed_qt.h"

namespace dravo::test {
namespace {

TEST_F(DialogFixture, AnOldServerSeesTheStartUpAsBeforeAndOneHead) {
    settings.update_on_startup = true;
    dialog();
    const auto feed = start_session_feed(dialog(), app().session());
    ASSERT_TRUE(QTest::qWaitFor([this] { return server.requests().size() == 7; }));
    click("server");  // the only server again: no new probe
    app().session().status_tick();
    QTest::qWait(200);  // room for a request that must not come
    EXPECT_EQ(server.targets(), (Targets{"/list", "/title", "/update", "/dravo/version.txt",
                                         "/status", "/get_filter", "/api/state", "/list", "/title",
                                         "/status", "/get_filter", "/status", "/title"}));
    const auto heads = server.requests();
    EXPECT_EQ(heads[6].rfind("HEAD /api/state HTTP/1.0\r\n", 0), 0u);
    for (const auto& head : heads) {
        EXPECT_NE(head.rfind("GET /api", 0), 0u) << head;
    }
    EXPECT_TRUE(app().session().state().api_server.empty());
}

}  // namespace
}  // namespace dravo::test
