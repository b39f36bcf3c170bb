#include "script/map_texts.h"

#include "core/console_log.h"
#include "engine/packed_stream.h"
#include "core/utilities.h"
#include "engine/record_io.h"

#include <algorithm>

map_text g_map_texts[k_map_text_slots];
uint32_t g_map_text_count = 0;

namespace {

// The 277-byte record of the level map file.
template <class Io, class Text>
void map_text_fields(Io& io, Text& t)
{
    io.u8(0, t.tag);
    io.text(1, t.key, k_map_text_key_size);
    io.text(21, t.text, k_map_text_size);
}

} // namespace

void clear_map_text(map_text* record)
{
    record->tag = k_map_text_empty;
}

void set_map_text(map_text* record, const char* text, const char* key, uint8_t tag)
{
    copy_bounded(record->key, sizeof record->key, key ? key : "");
    copy_bounded(record->text, sizeof record->text, text ? text : "");
    record->tag = tag;
}

bool add_map_text(const char* text, const char* key, uint8_t tag)
{
    if (g_map_text_count >= k_map_text_slots) {
        console_log("map texts: the table is full, \"%s\" not added", key ? key : "");
        return false;
    }
    set_map_text(&g_map_texts[g_map_text_count++], text, key, tag);
    return true;
}

void remove_map_text(int32_t i)
{
    const int32_t count = int32_t(std::min<uint32_t>(g_map_text_count, k_map_text_slots));
    if (i < 0 || i >= count)
        return;
    std::copy(g_map_texts + i + 1, g_map_texts + count, g_map_texts + i);
    clear_map_text(&g_map_texts[count - 1]);
    g_map_text_count = uint32_t(count - 1);
}

bool write_map_texts(packed_stream* stream)
{
    if (!stream)
        return false;
    uint32_t count = std::min<uint32_t>(g_map_text_count, k_map_text_slots);
    if (stream_write_u32le(k_map_text_record_size, stream) < 0 || stream_write_u32le(count, stream) < 0)
        return false;
    return write_table_records<k_map_text_record_size>(stream, count, [](uint32_t i, uint8_t* bytes) {
        record_writer out{bytes};
        map_text_fields(out, g_map_texts[i]);
    });
}

bool read_map_texts(packed_stream* stream)
{
    if (!stream)
        return false;
    for (uint32_t i = 0; i < std::min<uint32_t>(g_map_text_count, k_map_text_slots); ++i)
        clear_map_text(&g_map_texts[i]);
    g_map_text_count = 0;

    int64_t stored_size = stream_read_u32le(stream);
    int64_t count = stored_size < 0 ? -1 : stream_read_u32le(stream);
    if (count < 0) {
        console_log("map texts: the section is missing");
        return false;
    }
    table_read got = read_table_records<k_map_text_record_size>(
        stream, uint32_t(stored_size), uint64_t(count), k_map_text_slots, nullptr,
        [](uint32_t i, const uint8_t* bytes) {
            record_reader in{bytes};
            map_text_fields(in, g_map_texts[i]);
        });
    g_map_text_count = got.kept;
    if (count > k_map_text_slots)
        console_log("map texts: %lld stored, the first %d kept", static_cast<long long>(count), k_map_text_slots);
    if (!got.complete)
        console_log("map texts: the section ends early; %u texts read", got.kept);
    return got.complete;
}
