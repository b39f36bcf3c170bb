// The input is a header byte, two item records (816 bytes each, zeros where it is shorter), the
// REQUIREMENTS lists of both (16 entries of 18 bytes each), two attunement thresholds and the
// description file of both tooltips. Item 0 names item 1 as its attunement when the header asks
// so; item 1 is the attunement. Both tooltips are composed under the records' own key names and
// under the plain key "fz" that finds the description, into buffers of sizes the input chooses
// and into a full-size buffer: always terminated, never past the buffer, the full-size markup
// never cut, and it parses into a text window whose run pass lays it out.
#include "core/console_log.h"
#include "core/game_globals.h"
#include "core/globals.h"
#include "core/settings.h"
#include "core/utilities.h"
#include "items/containers.h"
#include "items/item_tooltips.h"
#include "items/items.h"
#include "platform/files.h"
#include "script/text_window.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr size_t k_full_size = 8192;

using composer = size_t (*)(int32_t id, char* buffer, size_t size, float height, int32_t location, int32_t type);

size_t item_composer(int32_t id, char* buffer, size_t size, float height, int32_t location, int32_t type)
{
    return draw_item_tooltip(id, buffer, size, height, location, type);
}

size_t attunement_composer(int32_t id, char* buffer, size_t size, float height, int32_t, int32_t)
{
    return draw_attunement_tooltip(id, buffer, size, height);
}

// Composes into `size` bytes inside guard bytes; returns the markup.
std::vector<char> compose(composer f, int32_t id, size_t size, float height, int32_t location, int32_t type)
{
    constexpr char k_guard = '#';
    std::vector<char> buffer(size + 16, k_guard);
    size_t n = f(id, buffer.data() + 8, size, height, location, type);
    for (size_t i = 0; i < 8; ++i)
        if (buffer[i] != k_guard || buffer[size + 8 + i] != k_guard)
            std::abort();
    if (size > 0 && (n >= size || buffer[8 + n] != 0 || std::strlen(buffer.data() + 8) != n))
        std::abort();
    return std::vector<char>(buffer.begin() + 8, buffer.begin() + 8 + std::min(n + 1, size));
}

void check_fits_and_runs(composer f, int32_t id, int32_t location, int32_t type)
{
    static const auto window = std::make_unique<text_window>();
    std::vector<char> markup = compose(f, id, k_full_size, 320.0f, location, type);
    if (std::strlen(markup.data()) + 1 >= k_full_size)
        std::abort();
    reset_text_window(window.get());
    parse_text_window(window.get(), markup.data());
    if (window->word_count < 1 || window->word_count > k_window_word_limit ||
        std::strcmp(window->words[0], "^window") != 0)
        std::abort();
    run_text_window(window.get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    make_folder("global");
    make_folder("data");
    make_folder("data/predmety");
    make_folder("data/predmety/eng");
    make_folder("data/attunements");
    make_folder("data/attunements/eng");
    g_console_enabled = 1;
    std::strcpy(g_language, "eng");

    auto take = [&](void* out, size_t n) {
        const size_t got = std::min(n, size);
        std::memset(out, 0, n);
        std::memcpy(out, data, got);
        data += got;
        size -= got;
    };
    uint8_t pick = 0;
    take(&pick, 1);
    take(&g_item_protos[0], sizeof(item_proto));
    take(&g_item_protos[1], sizeof(item_proto));
    for (int id = 0; id < 2; ++id) {
        g_item_lists[id] = item_lists{};
        take(g_item_lists[id].requirements, sizeof g_item_lists[id].requirements);
    }
    int32_t thresholds[2];
    take(thresholds, sizeof thresholds);
    g_attunement_thresholds[0] = thresholds[0], g_attunement_thresholds[1] = thresholds[1];
    g_attunement_thresholds[2] = 1000;
    g_item_proto_count = 2;
    if (pick & 1) {
        g_item_protos[0].attunement_link = 1;
        g_item_protos[1].item_class = k_item_attunement;
        g_item_protos[1].size = uint8_t(pick >> 6);
    }
    write_fuzz_file("data/predmety/eng/fz.txt", data, size);
    write_fuzz_file("data/attunements/eng/fz.txt", data, size);

    // A shop window open over container 0 with factors from the header byte.
    container_init(&g_containers[0], "shop", 2, 2, 1);
    g_interface.container_open = (pick >> 1) & 1;
    g_interface.container_id = 0;
    g_interface.shop_buy_factor = int16_t(pick * 3 - 200);
    g_interface.shop_sell_factor = int16_t(pick * 7);

    const int32_t location = (pick & 4) ? 100 + (pick >> 3) : (pick >> 3);
    const int32_t type = (pick & 2) ? -1 : int32_t(pick) - 100;
    float height = 0.0f;
    std::memcpy(&height, &g_item_protos[0].reserved_32, sizeof height);
    for (composer f : {item_composer, attunement_composer}) {
        for (int32_t id : {0, 1, -1, 2})
            compose(f, id, size_t(pick) * 5, height, location, type);
        check_fits_and_runs(f, 0, location, type);
        check_fits_and_runs(f, 1, location, type);
    }
    for (int id = 0; id < 2; ++id)
        copy_bounded(g_item_protos[id].key_name, sizeof g_item_protos[id].key_name, "fz");
    for (composer f : {item_composer, attunement_composer}) {
        compose(f, 0, size_t(pick) * 13, height, location, type);
        compose(f, 1, 1, 1.0f, location, type);
        check_fits_and_runs(f, 0, location, type);
        check_fits_and_runs(f, 1, location, type);
    }

    container_free(&g_containers[0]);
    g_interface.container_open = 0;
    g_item_proto_count = 0;
    g_console_enabled = 0;
    return 0;
}
