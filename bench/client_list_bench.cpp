// The client's track list with 100,000 rows: loading a "/list" answer into the table and the
// list's view model (target: 150 ms), and one search keystroke over all rows (target: 30 ms).
#include <benchmark/benchmark.h>

#include "client_settings.h"
#include "local_http_server.h"
#include "remote_session.h"
#include "remote_view.h"
#include "request_runner.h"
#include "track_list.h"

namespace dravo {
namespace {

constexpr int kRows = 100000;

// Paths like a music folder's, some with national letters, about 70 bytes each.
std::string list_answer(int rows) {
    static const char* const artists[] = {
        "The Beatles", "Kent",       "Ane Brun", "Cornelis Vreeswijk",
        "Säkert!",     "Hästpojken", "Björk",    "Miles Davis"};
    std::string answer;
    for (int i = 0; i < rows; ++i) {
        const std::string artist = artists[i % 8];
        answer += "/home/user/Music/" + artist + "/Album " + std::to_string(i / 12 % 500) + "/" +
                  std::to_string(i % 12 + 1) + " - Song number " + std::to_string(i) +
                  " ÅNGEST.mp3\n";
    }
    return answer;
}

// A window that keeps what a list widget would need: the row count and the selection.
class ModelOnlyView final : public RemoteView {
public:
    void set_window_text(const std::string&) override {}
    void set_now_playing(const std::string&) override {}
    void set_tray_tip(const std::string& text) override { tip = text; }
    void show_osd(const std::string&) override {}
    void set_volume_slider(int) override {}
    void set_shuffle_box(ShuffleBox) override {}
    void make_shuffle_box_two_state() override {}
    void show_track_rows(const TrackList& list) override { rows = list.shown_count(); }
    void select_track_row(std::optional<std::size_t> row) override { selected = row; }
    std::optional<std::size_t> selected_track_row() const override { return selected; }
    std::string search_text() const override { return search; }
    void set_search_text(const std::string& text) override { search = text; }
    void focus_search() override {}
    std::string filter_text() const override { return {}; }
    void set_filter_text(const std::string&) override {}
    void show_message(const std::string&) override {}
    void quit() override {}

    std::string tip;
    std::string search;
    std::size_t rows = 0;
    std::optional<std::size_t> selected;
};

void TrackTableLoad(benchmark::State& state) {
    const std::string answer = list_answer(kRows);
    TrackList list;
    std::string tip;
    for (auto _ : state) {
        list.load(answer, [&](std::size_t count) {
            tip = "loading track " + std::to_string(count) + "...";
        });
        benchmark::DoNotOptimize(list.shown_count());
    }
    state.counters["rows"] = static_cast<double>(list.size());
}
BENCHMARK(TrackTableLoad)->Unit(benchmark::kMillisecond);

// The whole operation with the answer coming over loopback HTTP (the transfer included).
void LoadTrackListOverHttp(benchmark::State& state) {
    test::LocalHttpServer server({{"/list", {200, list_answer(kRows)}}, {"/title", {200, "T"}}});
    ClientSettings settings("");
    settings.servers = {server.base_url()};
    ModelOnlyView view;
    BlockingRunner runner;
    RemoteSession session(settings, view, runner);
    for (auto _ : state) {
        session.load_track_list();
    }
    state.counters["rows"] = static_cast<double>(view.rows);
}
BENCHMARK(LoadTrackListOverHttp)->Unit(benchmark::kMillisecond);

void SearchKeystroke(benchmark::State& state, const char* words) {
    TrackList list;
    list.load(list_answer(kRows));
    for (auto _ : state) {
        list.show_matching(words);
        benchmark::DoNotOptimize(list.shown_count());
    }
    state.counters["shown"] = static_cast<double>(list.shown_count());
}
BENCHMARK_CAPTURE(SearchKeystroke, one_letter, "b")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchKeystroke, one_word, "beatles")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchKeystroke, two_words, "ångest 4711")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SearchKeystroke, no_match, "zzzz")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace dravo

BENCHMARK_MAIN();
