#include "editor/store/table_edits.h"

#include "characters/char_models.h"
#include "characters/char_table.h"
#include "characters/monster_protos.h"
#include "core/console_log.h"
#include "editor/controls/message_box.h"
#include "items/items.h"
#include "items/spells.h"
#include "level/level_effects.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using table_bytes = std::vector<uint8_t>;

template <class T>
void append(table_bytes& out, const T* values, int64_t count)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(values);
    out.insert(out.end(), bytes, bytes + std::max<int64_t>(count, 0) * int64_t(sizeof(T)));
}

template <class T, class Count>
void append_table(table_bytes& out, const T* records, Count count, int capacity)
{
    append(out, &count, 1);
    append(out, records, std::clamp<int64_t>(count, 0, capacity));
}

struct watched_table {
    table_file_state* file;
    void (*bytes)(table_bytes& out);
};

const watched_table k_watched[] = {
    {&g_monster_protos_file,
     [](table_bytes& out) { append_table(out, g_monster_protos, g_monster_proto_count, k_monster_proto_slots); }},
    {&g_characters_file,
     [](table_bytes& out) {
         // The records the file keeps: the global characters, not the level's.
         for (uint32_t s = 0; s < std::min<uint32_t>(g_char_count, k_char_slots); ++s)
             if (!g_chars[s].level_char) {
                 append(out, &s, 1);
                 append(out, &g_chars[s], 1);
             }
     }},
    {&g_items_file,
     [](table_bytes& out) {
         append_table(out, g_item_protos, g_item_proto_count, k_item_slots);
         append(out, g_item_lists, std::clamp(g_item_proto_count, 0, k_item_slots));
     }},
    {&g_efect_protos_file,
     [](table_bytes& out) { append_table(out, g_efect_protos, g_efect_proto_count, k_efect_proto_slots); }},
    {&g_spells_file, [](table_bytes& out) { append_table(out, g_spell_protos, g_spell_proto_count, k_spell_slots); }},
    {&g_chardata_file,
     [](table_bytes& out) { append_table(out, g_chardata, g_chardata_count, k_chardata_capacity); }},
    {&g_charpr_file,
     [](table_bytes& out) { append_table(out, g_move_protos, g_move_proto_count, k_move_proto_capacity); }},
};

int g_depth = 0;  // commands running; only the outermost watches

} // namespace

void run_watched_command(const std::function<void()>& command)
{
    if (g_depth > 0) {
        command();
        return;
    }
    std::vector<table_bytes> before;
    for (const watched_table& t : k_watched)
        t.bytes(before.emplace_back());
    ++g_depth;
    command();
    --g_depth;
    for (size_t i = 0; i < std::size(k_watched); ++i) {
        table_bytes after;
        k_watched[i].bytes(after);
        if (after != before[i])
            table_file_changed(*k_watched[i].file);
    }
}

bool write_table_from_page(dialog_handle owner, table_file_state& file, bool (*write)())
{
    if (!file.read_whole) {
        if (message_box(owner, partial_table_question(file).c_str(), "WARNING", message_box_kind::yes_no_default_no) !=
            k_id_yes) {
            console_log("%s sa nenacital cely, nezapisujem ho", file.file);
            return false;
        }
        table_file_changed(file);
    }
    return write_table_file(file, write);
}

std::string partial_table_question(const table_file_state& file)
{
    const table_file_contents& found = file.found;
    std::string held = found.named_records < 0 ? std::string("its head is damaged")
                                                : "it names " + std::to_string(found.named_records) + " records, " +
                                                      std::to_string(found.whole_records) + " of them read whole";
    if (found.bytes_after > 0)
        held += ", and " + std::to_string(found.bytes_after) + " bytes follow them";
    const int32_t written = file.held_records ? file.held_records() : 0;
    return std::string(file.file) + " did not read whole: " + held + ".\nWriting stores the " +
           std::to_string(written) + " records the table holds now; the rest of the file is lost. Write it?";
}
