// Track list, local search, playing a row, filters, the MRU list and the filter completion.
#include "client_fixture.h"
#include "track_commands.h"

namespace dravo::test {
namespace {

using Rows = std::vector<std::string>;

class TrackListTest : public ClientFixture {
protected:
    void SetUp() override {
        for (const char* target : {"/title", "/status", "/play?track=2", "/play?track=4"}) {
            server.set_reply(target, {200, ""});
        }
    }
    void serve_list(const std::string& answer) { server.set_reply("/list", {200, answer}); }
    void search(const std::string& words) {
        view.search = words;
        session().show_matching_tracks();
    }
};

TEST_F(TrackListTest, LinesBecomeNumberedRowsAndTheFirstIsSelected) {
    serve_list("A\nB\nC\n");
    session().load_track_list();
    EXPECT_EQ(view.rows, (Rows{"1 A", "2 B", "3 C"}));
    EXPECT_EQ(view.selected, 0u);
    EXPECT_EQ(view.with("osd:"), (Rows{"Loading tracks from " + server.base_url()}));
    view.selected = 1;
    session().play_selected();
    EXPECT_EQ(server.targets(), (Rows{"/list", "/title", "/play?track=2", "/status", "/title"}));

    serve_list("A\n\nC");  // an empty line is a row; the tail without LF too
    session().load_track_list();
    EXPECT_EQ(view.rows, (Rows{"1 A", "2 ", "3 C"}));
}

TEST_F(TrackListTest, LongListShowsProgressInTheTipThenTheTitle) {
    std::string answer;
    for (int i = 1; i <= 250; ++i) {
        answer += "track " + std::to_string(i) + "\n";
    }
    serve_list(answer);
    server.set_reply("/title", {200, "Now"});
    session().load_track_list();
    EXPECT_EQ(view.rows.size(), 250u);
    EXPECT_EQ(view.with("tip:"), (Rows{"loading track 100...", "loading track 200...", "Now"}));
}

TEST_F(TrackListTest, ServerDownGivesAnEmptyListWithoutSelection) {
    serve_list("A\n");
    session().load_track_list();
    server_down();
    view.selected.reset();
    session().load_track_list();
    session().play_selected();
    EXPECT_TRUE(view.rows.empty());
    EXPECT_FALSE(view.selected.has_value());
    EXPECT_EQ(view.with("osd:").size(), 2u);  // both loads are announced
}

TEST_F(TrackListTest, SearchKeepsEachRowsOwnNumber) {
    serve_list(
        "Beatles - Help\nbeatles/help me\nStones - Help\nHELP - THE BEATLES\nÅngest\nén\nxÅÄÖ ABC "
        "É\n");
    session().load_track_list();
    const struct {
        const char* words;
        Rows rows;
    } cases[] = {
        {"beatles help", {"1 Beatles - Help", "2 beatles/help me", "4 HELP - THE BEATLES"}},
        {"  HELP   the ", {"4 HELP - THE BEATLES"}},
        {"ÅNGEST", {"5 Ångest"}},
        {"É", {"7 xÅÄÖ ABC É"}},
        {"é", {"6 én"}},
        {"xåäö abc", {"7 xÅÄÖ ABC É"}},
        {"",
         {"1 Beatles - Help", "2 beatles/help me", "3 Stones - Help", "4 HELP - THE BEATLES",
          "5 Ångest", "6 én", "7 xÅÄÖ ABC É"}},
    };
    for (const auto& c : cases) {
        search(c.words);
        EXPECT_EQ(view.rows, c.rows) << c.words;
        EXPECT_EQ(view.selected, c.rows.empty() ? std::nullopt : std::optional<std::size_t>(0))
            << c.words;
    }
    search("beatles help");
    view.selected = 2;
    session().play_selected();
    EXPECT_EQ(server.count("/play?track=4"), 1u);
}

TEST_F(TrackListTest, ApplyFilterRemembersSendsEncodedAndReloads) {
    serve_list("x\n");
    server.set_reply("/set_filter?filter=rock%20%26%20roll", {200, "ok"});
    server.set_reply("/set_filter?filter=", {200, "ok"});
    settings.mru_filter = {"pop", "rock & roll", "jazz"};
    view.filter = "rock & roll";
    view.search = "old words";
    session().apply_filter();
    EXPECT_EQ(server.targets(), (Rows{"/set_filter?filter=rock%20%26%20roll", "/list", "/title"}));
    EXPECT_EQ(settings.mru_filter, (Rows{"pop", "jazz", "rock & roll"}));
    EXPECT_EQ(view.with("osd:").front(), "Applying filter \"rock & roll\"");
    EXPECT_EQ(view.search, "");
    EXPECT_EQ(view.lines.back(), "focus:search");

    view.filter = "";
    session().apply_filter();
    EXPECT_EQ(server.count("/set_filter?filter="), 1u);
    EXPECT_EQ(settings.mru_filter.size(), 3u);
}

TEST_F(TrackListTest, LoadFilterShowsTheAnswerOnlyWhenItCame) {
    server.set_reply("/get_filter", {200, "jazz -live"});
    session().load_filter();
    EXPECT_EQ(view.filter, "jazz -live");
    server_down();
    session().load_filter();
    EXPECT_EQ(view.filter, "jazz -live");
    EXPECT_TRUE(settings.mru_filter.empty());
}

TEST(MruList, AddRemovesOneOldEntryAndKeepsTheLimitByOne) {
    const struct {
        Rows list;
        const char* text;
        int limit;
        Rows result;
    } cases[] = {
        {{"a", "b", "c"}, "b", 3, {"a", "c", "b"}},
        {{"a", "c", "b"}, "d", 3, {"c", "b", "d"}},
        {{"a", "", "a", ""}, "c", 10, {"a", "a", "", "c"}},
        {{"1", "2", "3", "4", "5"}, "3", 2, {"2", "4", "5", "3"}},  // too long: shrinks by one
        {{"1", "2", "3", "4", "5"}, "6", 2, {"2", "3", "4", "5", "6"}},
        {{}, "a", 0, {}},
    };
    for (auto c : cases) {
        mru_add(c.list, c.text, c.limit);
        EXPECT_EQ(c.list, c.result) << c.text;
    }
}

TEST(FilterCompletion, WalksTheMatchesFromOldestToNewest) {
    const Rows mru = {"rock", "rockabilly", "pop"};
    FilterCompleter completer(mru);
    auto typed = completer.key_released({"r", 1, 1}, 'r');
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->text, "rock");
    EXPECT_EQ(typed->selection_start, 1u);
    EXPECT_EQ(typed->selection_end, 4u);
    const struct {
        int direction;
        const char* text;
    } walk[] = {
        {+1, "rockabilly"}, {+1, "rockabilly"}, {-1, "rock"}, {-1, "rock"}, {+1, "rockabilly"}};
    EditState edit = *typed;
    for (const auto& step : walk) {
        edit = completer.step(edit, step.direction).value();
        EXPECT_EQ(edit.text, step.text);
        EXPECT_EQ(edit.selection_start, 1u);
        EXPECT_EQ(edit.selection_end, edit.text.size());
    }
    const auto exact = completer.key_released({"rock", 4, 4}, 'k');
    EXPECT_EQ(exact->text, "rockabilly");
    EXPECT_EQ(exact->selection_start, 4u);
    EXPECT_FALSE(completer.key_released({"rocx", 4, 4}, 'x'));
    EXPECT_EQ(completer.index(), -1);
    EXPECT_FALSE(completer.key_released({"r", 1, 1}, 0));     // no character: Backspace, arrows
    EXPECT_FALSE(completer.key_released({"r", 1, 1}, '\t'));  // not text
    EXPECT_EQ(completer.key_released({"", 0, 0}, 0x20AC)->text, "rock");  // € counts as text
}

}  // namespace
}  // namespace dravo::test
