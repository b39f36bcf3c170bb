#include "level/save_files.h"

#include "characters/char_table.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "items/containers.h"
#include "items/items.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t k_quest_record_size = 124;
constexpr uint32_t k_flag_record_size = 36;
constexpr uint32_t k_attunement_entry_size = 6;

template <class Io, class Clock>
void clock_fields(Io& io, uint32_t at, Clock& c)
{
    io.u32(at + 0, c.next_minute_tick);
    io.u8(at + 4, c.hour);
    io.bytes(at + 5, c.pad5, 3);
    io.u32(at + 8, c.day);
    io.u8(at + 12, c.minute);
    io.u8(at + 13, c.light_phase);
    io.bytes(at + 14, c.pad14, 2);
    io.u32(at + 16, c.dusk_ramp);
    io.u32(at + 20, c.dawn_ramp);
    io.u32(at + 24, c.ramp_minute);
    io.f32(at + 28, c.ramp_red);
    io.f32(at + 32, c.ramp_green);
    io.f32(at + 36, c.ramp_blue);
}

template <class Io, class State>
void game_state_fields(Io& io, State& s)
{
    clock_fields(io, 0, s.clock);
    io.text(40, s.map_path, k_map_path_size);
    io.i32(296, s.player_char);
    io.f32(300, s.x);
    io.f32(304, s.y);
    io.i32(308, s.object_value);
    for (uint32_t i = 0; i < k_hero_flags; ++i)
        io.i16(312 + 2 * i, s.hero_flags[i]);
    io.u32(328, s.dream_switch_allowed);
    io.u32(332, s.dream_active);
    io.i16(336, s.location_count);
    for (uint32_t i = 0; i < k_map_locations; ++i)
        io.u32(338 + 4 * i, s.locations[i]);
}
static_assert(338 + 4 * k_map_locations == k_game_state_size);

template <class Io, class Quest>
void quest_fields(Io& io, Quest& q)
{
    io.text(0, q.name, sizeof q.name);
    io.text(30, q.title, sizeof q.title);
    io.u8(110, q.state);
    io.bytes(111, q.reserved_111, 1);
    io.u32(112, q.assigned);
    io.u32(116, q.completed);
    io.i32(120, q.experience);
}

template <class Io, class Flag>
void flag_fields(Io& io, Flag& f)
{
    io.text(0, f.name, sizeof f.name);
    io.i32(32, f.value);
}

// Walks a file's bytes as its readers take them; once a read or skip runs past the end, every
// later one fails too.
class byte_walk {
public:
    explicit byte_walk(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool u16(uint32_t* v) { return take(2) && (*v = le_u16(at(2)), true); }
    bool u32(uint32_t* v) { return take(4) && (*v = le_u32(at(4)), true); }
    // A 16-bit count that the readers take as 0 when negative.
    bool count16(uint64_t* n)
    {
        uint32_t v = 0;
        if (!u16(&v))
            return false;
        *n = uint64_t(std::max<int16_t>(int16_t(v), 0));
        return true;
    }
    bool skip(uint64_t n) { return take(n); }
    const uint8_t* at(uint64_t back) const { return bytes_.data() + (offset_ - back); }
    bool ended() const { return ok_ && offset_ == bytes_.size(); }

private:
    bool take(uint64_t n)
    {
        ok_ = ok_ && n <= bytes_.size() - offset_;
        if (ok_)
            offset_ += n;
        return ok_;
    }

    const std::vector<uint8_t>& bytes_;
    uint64_t offset_ = 0;
    bool ok_ = true;
};

// A table section: a u32 record size, then a count (16-bit signed or 32-bit), then the records.
bool table_section(byte_walk& in, bool count32, bool signed32)
{
    uint32_t size = 0, count = 0;
    uint64_t n = 0;
    if (!in.u32(&size))
        return false;
    if (!count32) {
        if (!in.count16(&n))
            return false;
    } else {
        if (!in.u32(&count))
            return false;
        n = signed32 ? uint64_t(std::max(int32_t(count), 0)) : count;
    }
    return in.skip(n * size);
}

// An i16 count of containers in the level form (a 31-byte head whose last two bytes are the
// width and height, then five bytes a cell).
bool container_list(byte_walk& in)
{
    uint64_t n = 0;
    if (!in.count16(&n))
        return false;
    for (uint64_t i = 0; i < n; ++i) {
        if (!in.skip(k_container_head_size))
            return false;
        const uint8_t* head = in.at(k_container_head_size);
        const uint64_t cells = uint64_t(head[k_container_head_size - 2]) * head[k_container_head_size - 1];
        if (!in.skip(cells * k_container_cell_size))
            return false;
    }
    return true;
}

} // namespace

std::vector<uint8_t> encode_game_state(const saved_game_state& state)
{
    std::vector<uint8_t> bytes(k_game_state_size);
    record_writer io{bytes.data()};
    game_state_fields(io, state);
    return bytes;
}

bool parse_game_state(const std::vector<uint8_t>& bytes, saved_game_state* state)
{
    if (bytes.size() != k_game_state_size)
        return false;
    saved_game_state s{};
    record_reader io{bytes.data()};
    game_state_fields(io, s);
    if (s.location_count < 0 || s.location_count > k_map_locations)
        return false;
    if (s.player_char < 0 || s.player_char >= k_global_char_slots)
        return false;
    // The stored path must be terminated within its field (the reader terminates it anyway).
    if (!std::memchr(bytes.data() + 40, 0, k_map_path_size) || !s.map_path[0])
        return false;
    *state = s;
    return true;
}

std::vector<uint8_t> encode_story(const saved_story& story)
{
    std::vector<uint8_t> bytes(1 + k_quest_record_size * story.quest_count + 2 +
                               k_flag_record_size * uint32_t(story.flag_count));
    record_writer io{bytes.data()};
    io.u8(0, story.quest_count);
    uint32_t at = 1;
    for (int i = 0; i < story.quest_count; ++i, at += k_quest_record_size) {
        record_writer rec{bytes.data() + at};
        quest_fields(rec, story.quests[i]);
    }
    io.i16(at, story.flag_count);
    at += 2;
    for (int i = 0; i < story.flag_count; ++i, at += k_flag_record_size) {
        record_writer rec{bytes.data() + at};
        flag_fields(rec, story.flags[i]);
    }
    return bytes;
}

bool parse_story(const std::vector<uint8_t>& bytes, saved_story* story)
{
    if (bytes.empty())
        return false;
    uint32_t quests = bytes[0];
    uint32_t flags_at = 1 + quests * k_quest_record_size;
    if (quests > k_quest_slots || bytes.size() < flags_at + 2)
        return false;
    int16_t flags = le_i16(bytes.data() + flags_at);
    if (flags < 0 || flags > k_flag_slots || bytes.size() != flags_at + 2 + k_flag_record_size * uint32_t(flags))
        return false;
    story->quest_count = uint8_t(quests);
    story->flag_count = flags;
    for (uint32_t i = 0; i < quests; ++i) {
        record_reader rec{bytes.data() + 1 + i * k_quest_record_size};
        quest_fields(rec, story->quests[i]);
    }
    for (int i = 0; i < flags; ++i) {
        record_reader rec{bytes.data() + flags_at + 2 + uint32_t(i) * k_flag_record_size};
        flag_fields(rec, story->flags[i]);
    }
    return true;
}

std::vector<uint8_t> encode_attunements(const saved_attunements& attunements)
{
    std::vector<uint8_t> bytes(2 + k_attunement_entry_size * attunements.entries.size());
    record_writer io{bytes.data()};
    io.i16(0, int16_t(attunements.entries.size()));
    uint32_t at = 2;
    for (const saved_attunement& e : attunements.entries) {
        io.i32(at, e.item);
        io.i16(at + 4, e.points);
        at += k_attunement_entry_size;
    }
    return bytes;
}

bool parse_attunements(const std::vector<uint8_t>& bytes, saved_attunements* attunements)
{
    if (bytes.size() < 2)
        return false;
    int16_t count = le_i16(bytes.data());
    if (count < 0 || count > k_item_slots || bytes.size() != 2 + k_attunement_entry_size * uint32_t(count))
        return false;
    std::vector<saved_attunement> entries(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const uint8_t* p = bytes.data() + 2 + k_attunement_entry_size * uint32_t(i);
        const int32_t item = le_i32(p);
        if (item < 0 || item >= k_item_slots)
            return false;
        entries[size_t(i)] = {item, le_i16(p + 4)};
    }
    attunements->count = count;
    attunements->entries = std::move(entries);
    return true;
}

bool attunements_fit_items(const saved_attunements& attunements)
{
    return std::all_of(attunements.entries.begin(), attunements.entries.end(), [](const saved_attunement& a) {
        return a.item < g_item_proto_count && g_item_protos[a.item].item_class == k_item_attunement;
    });
}

bool hero_file_complete(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 4 && le_u32(bytes.data()) == bytes.size() - 4;
}

bool char_containers_whole(const std::vector<uint8_t>& bytes)
{
    byte_walk in(bytes);
    return container_list(in) && in.ended();
}

bool level_changes_whole(const std::vector<uint8_t>& bytes)
{
    byte_walk in(bytes);
    uint64_t states = 0;
    uint32_t monster_points = 0;
    return table_section(in, false, false) &&  // character placements
           table_section(in, true, true) &&    // entities
           table_section(in, true, false) &&   // map events
           container_list(in) &&               // level containers
           in.count16(&states) && in.skip(states * k_container_state_size) &&
           table_section(in, false, false) &&  // ground items
           in.u32(&monster_points) && in.skip(monster_points) && in.ended();
}

bool read_packed_file(const char* path, std::vector<uint8_t>* out, size_t limit)
{
    out->clear();
    packed_stream* in = stream_open(path, "rp");
    if (!in)
        return false;
    uint8_t chunk[STREAM_BUFFER_SIZE];
    bool ok = true;
    for (;;) {
        int got = stream_read(chunk, int(sizeof chunk), in);
        if (got > 0)
            out->insert(out->end(), chunk, chunk + got);
        if (out->size() > limit) {
            ok = false;
            break;
        }
        if (got < int(sizeof chunk))
            break;
    }
    ok = !(in->flags & STREAM_ERROR) && ok;
    return stream_close(in) == 0 && ok;
}

bool write_packed_file(const char* path, const std::vector<uint8_t>& bytes)
{
    packed_stream* out = stream_open(path, "wp");
    if (!out)
        return false;
    bool written = write_stream_bytes(out, bytes.data(), uint32_t(bytes.size()));
    return finish_written_file(out, written);
}
