// The parse of a long markup text into a text window: 4,999 words in about 60,000 bytes of
// indented lines, with commands and their arguments, the hero's placeholders, "Dovan" lines and
// notice phrases, and the hero's names given by a hook as the characters will give them.
#include "script/script_links.h"
#include "script/text_window.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

std::string long_text()
{
    const char* const pieces[] = {
        "^window 40 60 940 700 ^center ^gl_a 0.85 ^pozadie data/interface/backgrounds/marshland_evening.tga "
        "^c 1 0.9 0.7 1 Weatherbeaten travellers traversed northernmost marshlands before nightfall, "
        "$PLAYER's storm-lantern flickering uncertainly",
        "^l Dovan: \"Keep strictly alongside weathered flagstones; treacherous floodwaters are considerably "
        "deeper than appearances suggest.\" ^play_voice data/sound/voice/chapter_three_marshlands_ferryman.ogg",
        "^lnst Serin, follow crumbling causeways towards abandoned watchtowers ^lnend 14 Somewhere "
        "beyond whispering reedbeds solitary herons called mournfully ^o1 data/pictures/heron_reeds.tga",
        "^if queststate.flooded_marshlands >= 2 ^then weatherbeaten ferrymen remember solemn promises "
        "^endif ^start_dialog data/dialogs/eng/ferryman/marshland_crossing.txt",
        "Afterwards: new quest assigned ^italic Lanternlight shimmered across stagnant backwaters, "
        "illuminating forgotten gravestones ^normal",
        "Thunderclouds gathered unexpectedly above overgrown battlements; disheartened mercenaries "
        "reluctantly abandoned crumbling fortifications, ^c 0.8 0.8 1 1 whispering superstitious "
        "incantations, barricading splintered doorways, extinguishing smouldering campfires",
    };
    std::string text;
    int words = 0;
    for (int i = 0; words < k_window_word_limit; ++i) {
        const std::string piece = pieces[i % 6];
        for (size_t at = 0; at < piece.size() && words < k_window_word_limit; ++words) {
            const size_t end = piece.find(' ', at);
            text += piece.substr(at, end - at) + (words % 7 == 6 ? "\r\n        " : " ");  // indented lines
            at = end == std::string::npos ? piece.size() : end + 1;
        }
    }
    return text;
}

void BM_ParseTextWindow(benchmark::State& state)
{
    const script_links saved = g_script_links;
    g_script_links.player_char = [] { return int32_t(0); };
    g_script_links.char_display_name = [](int32_t) { return "Aren"; };
    const auto window = std::make_unique<text_window>();
    const std::string text = long_text();
    for (auto _ : state) {
        parse_text_window(window.get(), text.c_str());
        benchmark::DoNotOptimize(window->word_count);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["bytes"] = double(text.size());
    state.counters["words"] = double(window->word_count);
    g_script_links = saved;
}
BENCHMARK(BM_ParseTextWindow)->Unit(benchmark::kMicrosecond);

} // namespace
