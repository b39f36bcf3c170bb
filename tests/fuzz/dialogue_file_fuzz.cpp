// Any bytes as a dialogue file: the record keeps at most 200 nodes, every text ends inside its
// field, no option of a node read leads past the node count, and a missing file leaves the record
// as it was.
#include "tests/fuzz/fuzz_scratch.h"

#include "script/dialogues.h"

#include <cstring>
#include <memory>

namespace {

template <size_t N>
void check_text(const char (&field)[N])
{
    if (!std::memchr(field, 0, N))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = fuzz_input_file(data, size);
    read_dialogue(path.c_str());
    const dialogue_record& d = g_dialogue;
    if (d.node_count < 0 || d.node_count > k_dialogue_nodes)
        std::abort();
    check_text(d.name);
    for (const auto& name : d.condition_name)
        check_text(name);
    for (int n = 0; n < d.node_count; ++n) {
        check_text(d.speaker[n]);
        check_text(d.node_name[n]);
        check_text(d.text[n]);
        for (int o = 0; o < k_dialogue_options; ++o) {
            check_text(d.option_text[n][o]);
            if (d.option_link[n][o] > d.node_count)
                std::abort();
        }
    }
    char markup[k_dialogue_markup_size];
    build_dialogue_node_markup(&g_dialogue, markup, sizeof markup, 0);
    if (!std::memchr(markup, 0, sizeof markup))
        std::abort();

    static auto before = std::make_unique<dialogue_record>();
    *before = g_dialogue;
    read_dialogue(fuzz_scratch_path("missing.dia2").c_str());
    if (std::memcmp(before.get(), &g_dialogue, sizeof g_dialogue) != 0)
        std::abort();
    return 0;
}
