// The dialogue record: its files, its entry conditions and its nodes as markup.
#include "script/dialogues.h"

#include "characters/char_inventory.h"
#include "characters/char_table.h"
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/text_lines.h"
#include "engine/packed_stream.h"
#include "engine/record_io.h"
#include "items/items.h"
#include "platform/files.h"
#include "script/markup_append.h"
#include "script/markup_keywords.h"
#include "script/quests.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

dialogue_record g_dialogue;

namespace {

constexpr const char* k_dialogue_kept = "doterajsi dialog";

constexpr const char* k_dialogue_languages[] = {"eng", "sk"};

// A fixed text field as a terminated string, whether or not the field holds its terminator.
template <size_t N>
struct field_text {
    char text[N + 1] = {};
    explicit field_text(const char* field) { std::memcpy(text, field, strnlen(field, N)); }
};

const char_record* hero()
{
    return char_at(int32_t(g_player_char));
}

// The hero's file key, or an empty text without a hero.
field_text<sizeof(char_record::name)> hero_key()
{
    const char_record* h = hero();
    return field_text<sizeof(char_record::name)>(h ? h->name : "");
}

// Rewrites a name field equal to `alias` (case ignored) into the hero's file key.
template <size_t N>
void replace_hero_alias(char (&field)[N], const char* alias)
{
    if (!hero() || !markup_equal(field_text<N>(field).text, alias))
        return;
    std::snprintf(field, N, "%s", hero_key().text);
}

int32_t used_chars()
{
    return std::clamp<int32_t>(int32_t(g_char_count), 0, k_char_slots);
}

// ---- entry conditions

// How a condition over matching records combines them: all-of holds unless a matching record
// fails (so no record holds), any-of holds when some matching record holds.
struct record_rule {
    bool any;
    bool seen = false;
    bool result;
    explicit record_rule(bool any_of) : any(any_of), result(!any_of) {}
    void add(bool holds)
    {
        seen = true;
        result = any ? (result || holds) : (result && holds);
    }
};

bool quest_holds(uint16_t kind, int32_t state, int32_t a, int32_t b)
{
    switch (kind) {
    case k_dia_quest_equal: return state == a;
    case k_dia_quest_at_least: return state >= a;
    case k_dia_quest_at_most: return state <= a;
    case k_dia_quest_between: return a <= state && state <= b;
    default: return state != a;
    }
}

int32_t equipped_armour(const char_record& c)
{
    int32_t sum = 0;
    const int32_t count = std::min<int32_t>(c.inv_count, k_inventory_entries);
    for (int32_t e = 0; e < count; ++e) {
        const int16_t item = c.inv_item[e];
        if (c.inv_location[e] >= k_inv_cloak && c.inv_location[e] < k_inv_none && item >= 0 && item < k_item_slots)
            sum += g_item_protos[item].armour_bonus;
    }
    return sum;
}

// Conditions on the hero; false without a hero.
bool hero_condition_holds(uint16_t kind, const char* name, int32_t number)
{
    const char_record* h = hero();
    if (!h)
        return false;
    switch (kind) {
    case k_dia_hero_hurt: return h->hp != h->hp_ceiling;
    case k_dia_hero_has_item: return char_has_item_named(h, name);
    case k_dia_hero_lacks_item: return !char_has_item_named(h, name);
    case k_dia_gold_at_least: return h->gold >= number;
    case k_dia_hero_armed: return char_weapon_item(h) != -1;
    case k_dia_armour_at_least: return equipped_armour(*h) >= number;
    case k_dia_armour_at_most: return equipped_armour(*h) <= number;
    case k_dia_gold_below: return h->gold < number;
    default: return true;
    }
}

bool condition_holds(dialogue_record* d, int i, bool any)
{
    replace_hero_alias(d->condition_name[i], "hero");
    const uint16_t kind = d->condition_kind[i];
    const field_text<k_dialogue_condition_name_size> name(d->condition_name[i]);
    const int32_t a = d->condition_a[i], b = d->condition_b[i];
    record_rule rule(any);
    if ((kind >= k_dia_quest_equal && kind <= k_dia_quest_between) || kind == k_dia_quest_not) {
        const int32_t count = std::min<int32_t>(g_quest_count, k_quest_slots);
        for (int32_t q = 0; q < count; ++q)
            if (markup_equal(field_text<sizeof(quest_record::name)>(g_quests[q].name).text, name.text))
                rule.add(quest_holds(kind, g_quests[q].state, a, b));
        return rule.result;
    }
    if (kind >= k_dia_char_memory0 && kind <= k_dia_char_memory5) {
        for (int32_t s = 0; s < used_chars(); ++s)
            if (markup_equal(field_text<sizeof(char_record::name)>(g_chars[s].name).text, name.text))
                rule.add(g_chars[s].script_flags[kind - k_dia_char_memory0] == a);
        return rule.result;
    }
    if (kind == k_dia_flag_equal) {
        const int32_t count = std::clamp<int32_t>(g_flag_count, 0, k_flag_slots);
        for (int32_t f = 0; f < count; ++f)
            if (markup_equal(field_text<sizeof(flag_record::name)>(g_flags[f].name).text, name.text))
                rule.add(g_flags[f].value == a);
        return rule.result;
    }
    if (kind >= k_dia_hero_hurt && kind <= k_dia_gold_below) {
        int32_t number = markup_int(name.text);
        if (any && (kind == k_dia_gold_at_least || kind == k_dia_gold_below))
            number = int16_t(number);
        return hero_condition_holds(kind, name.text, number);
    }
    return !any;  // no condition, or a kind this game does not know
}

// ---- dialogue files

// Reads fields in order from a stream, remembering whether every byte was there.
class field_reader {
public:
    explicit field_reader(packed_stream* s) : s_(s) {}
    bool whole() const { return whole_; }
    void fail() { whole_ = false; }

    template <size_t N>
    void text(char (&field)[N])
    {
        char bytes[N];
        if (!take(bytes, N))
            return;
        std::memcpy(field, bytes, N);
        field[N - 1] = '\0';
    }
    void u16(uint16_t& v)
    {
        const int x = whole_ ? stream_read_u16le(s_) : -1;
        if (x < 0)
            whole_ = false;
        else
            v = uint16_t(x);
    }
    void i16(int16_t& v)
    {
        uint16_t x = uint16_t(v);
        u16(x);
        v = int16_t(x);
    }
    void i32(int32_t& v)
    {
        const int64_t x = whole_ ? stream_read_u32le(s_) : -1;
        if (x < 0)
            whole_ = false;
        else
            v = int32_t(uint32_t(x));
    }
    void u8(uint8_t& v)
    {
        uint8_t x;
        if (take(&x, 1))
            v = x;
    }

private:
    bool take(void* bytes, int n)
    {
        if (whole_ && stream_read(bytes, n, s_) != n)
            whole_ = false;
        return whole_;
    }
    packed_stream* s_;
    bool whole_ = true;
};

// A link past the nodes read leads nowhere: it closes the dialogue (logged).
void close_dangling_links(dialogue_record* d, const char* path)
{
    for (int n = 0; n < d->node_count; ++n)
        for (uint16_t& link : d->option_link[n])
            if (link > d->node_count) {
                console_log("dialog %s: uzol %d odkazuje na %d mimo", path, n, int(link));
                link = 0;
            }
}

// Writes fields in order to a stream, remembering whether every byte went out; its calls mirror
// field_reader's, so that one field list serves both.
class field_writer {
public:
    explicit field_writer(packed_stream* s) : s_(s) {}
    bool whole() const { return whole_; }
    template <size_t N>
    void text(const char (&field)[N])
    {
        whole_ = whole_ && stream_write(field, int(N), s_) == int(N);
    }
    void u16(uint16_t v) { whole_ = whole_ && stream_write_u16le(v, s_) >= 0; }
    void i16(int16_t v) { u16(uint16_t(v)); }
    void i32(int32_t v) { whole_ = whole_ && stream_write_u32le(uint32_t(v), s_) >= 0; }
    void u8(uint8_t v) { whole_ = whole_ && stream_write(&v, 1, s_) == 1; }

private:
    packed_stream* s_;
    bool whole_ = true;
};

// The fields of a dialogue file before its node count, in file order.
template <class io, class record>
void head_fields(io& f, record& d)
{
    for (int i = 0; i < k_dialogue_conditions; ++i) {
        f.u16(d.condition_kind[i]);
        f.text(d.condition_name[i]);
        f.i32(d.condition_a[i]);
        f.i32(d.condition_b[i]);
    }
    f.text(d.name);
    f.u16(d.language);
}

// The fields of node n, in file order.
template <class io, class record>
void node_fields(io& f, record& d, int n)
{
    f.text(d.speaker[n]);
    f.text(d.node_name[n]);
    f.text(d.text[n]);
    for (auto& option : d.option_text[n])
        f.text(option);
    for (auto& link : d.option_link[n])
        f.u16(link);
}

// ---- markup

// Where option `o` of node `n` leads: "<dialogue name>/<node name>.txt", or "close.txt".
std::string option_target(const dialogue_record& d, int n, int o)
{
    const uint16_t link = d.option_link[n][o];
    if (link < 1 || link > std::clamp<int16_t>(d.node_count, 0, k_dialogue_nodes))
        return "close.txt";
    return std::string(field_text<k_dialogue_name_size>(d.name).text) + "/" +
           field_text<k_dialogue_node_name_size>(d.node_name[link - 1]).text + ".txt";
}

// The options of a node: the first five with a text, numbered unless only one is shown.
void append_options(markup_append& out, const dialogue_record& d, int n)
{
    int shown = 0;
    for (int o = 0; o < k_dialogue_shown_options; ++o)
        shown += d.option_text[n][o][0] != '\0';
    for (int o = 0; o < k_dialogue_shown_options; ++o) {
        if (d.option_text[n][o][0] == '\0')
            continue;
        const field_text<k_dialogue_option_size> text(d.option_text[n][o]);
        const std::string target = option_target(d, n, o);
        if (shown < 2)
            out.line("^lnst %s ^lnend %s\n", text.text, target.c_str());
        else
            out.line("^lnst %d. %s ^lnend %s\n", o + 1, text.text, target.c_str());
    }
}

const char k_node_window[] = "^window 50 50 600 128\n^dialog\n^gl_a 0.6\n^c 0.9 0.9 0.9 1\n";

void append_node_body(markup_append& out, const dialogue_record& d, int n)
{
    out.line("^l\n");
    out.line("%s\n", field_text<k_dialogue_text_size>(d.text[n]).text);
    out.line("^l\n^l\n^c 1 1 1 1\n");
    append_options(out, d, n);
}

bool valid_node(int32_t node)
{
    return node >= 0 && node < k_dialogue_nodes;
}

} // namespace

void new_dialogue(dialogue_record* d)
{
    std::snprintf(d->name, sizeof d->name, "NEW DIALOGUE");
    d->node_count = 0;
    d->any_of = 0;
    for (int n = 0; n < k_dialogue_nodes; ++n) {
        d->text[n][0] = '\0';
        for (int o = 0; o < k_dialogue_options; ++o) {
            d->option_text[n][o][0] = '\0';
            d->option_link[n][o] = 0;
        }
    }
}

void new_dialogue()
{
    new_dialogue(&g_dialogue);
}

int16_t count_dialogue_conditions(const dialogue_record* d)
{
    return int16_t(std::count_if(std::begin(d->condition_kind), std::end(d->condition_kind),
                                 [](uint16_t kind) { return kind != 0; }));
}

int32_t test_dialogue_conditions(dialogue_record* d)
{
    return d->any_of ? test_dialogue_conditions_any(d) : test_dialogue_conditions_all(d);
}

int32_t test_dialogue_conditions_all(dialogue_record* d)
{
    for (int i = 0; i < k_dialogue_conditions; ++i)
        if (!condition_holds(d, i, false))
            return 0;
    return 1;
}

int32_t test_dialogue_conditions_any(dialogue_record* d)
{
    for (int i = 0; i < k_dialogue_any_of_conditions; ++i)
        if (condition_holds(d, i, true))
            return 1;
    return 0;
}

void build_dialogue_node_markup(dialogue_record* d, char* out, size_t size, int32_t node)
{
    markup_append markup(out, size);
    if (!valid_node(node))
        return;
    replace_hero_alias(d->speaker[node], "Dovan");
    replace_hero_alias(d->speaker[node], "Serin");
    const field_text<k_dialogue_speaker_size> speaker(d->speaker[node]);
    int32_t speaking = -1;
    for (int32_t s = 0; s < used_chars(); ++s)
        if (markup_equal(field_text<sizeof(char_record::name)>(g_chars[s].name).text, speaker.text))
            speaking = s;
    markup.line("%s", k_node_window);
    if (speaking >= 0) {
        const char_record& c = g_chars[speaking];
        const bool named = strnlen(c.display_name, sizeof c.display_name) > 0;
        markup.line("^center_char %s\n", speaker.text);
        markup.line("^l %s:\n", named ? field_text<sizeof c.display_name>(c.display_name).text : speaker.text);
    } else {
        markup.line("^l %s:\n", speaker.text);
    }
    append_node_body(markup, *d, node);
}

bool export_dialogue_texts(const dialogue_record* d)
{
    const field_text<k_dialogue_name_size> name(d->name);
    if (d->language >= std::size(k_dialogue_languages) || !is_plain_file_name(name.text)) {
        console_log("export dialogu: zly jazyk alebo meno %s", name.text);
        return false;
    }
    const std::string folder =
        std::string("data/dialogs/") + k_dialogue_languages[d->language] + "/" + name.text;
    if (!make_folder(folder.c_str())) {
        console_log("export dialogu: neviem vytvorit %s", folder.c_str());
        return false;
    }
    bool ok = true;
    char markup[k_dialogue_markup_size];
    const int count = std::clamp<int>(d->node_count, 0, k_dialogue_nodes);
    for (int n = 0; n < count; ++n) {
        const field_text<k_dialogue_node_name_size> node(d->node_name[n]);
        if (!is_plain_file_name(node.text)) {
            console_log("export dialogu: zle meno uzla %s", node.text);
            ok = false;
            continue;
        }
        const field_text<k_dialogue_speaker_size> speaker(d->speaker[n]);
        markup_append out(markup, sizeof markup);
        out.line("%s", k_node_window);
        out.line("^center_char %s\n", speaker.text);
        out.line("^l %s:\n", speaker.text);
        append_node_body(out, *d, n);
        const std::string path = folder + "/" + node.text + ".txt";
        if (!write_whole_file(path.c_str(), markup, out.used())) {
            console_log("export dialogu: neviem zapisat %s", path.c_str());
            ok = false;
        }
    }
    return ok;
}

bool write_dialogue_record(const char* path, const dialogue_record& d)
{
    packed_stream* s = stream_open(path, "w!");  // a stored body: the editor's save stays quick
    if (!s) {
        console_log("neviem zapisat dialog %s", path);
        return false;
    }
    field_writer w(s);
    head_fields(w, d);
    const int16_t count = std::clamp<int16_t>(d.node_count, 0, k_dialogue_nodes);
    w.i16(count);
    for (int n = 0; n < count; ++n)
        node_fields(w, d, n);
    w.u8(d.any_of);
    if (!finish_written_file(s, w.whole())) {
        console_log("neviem zapisat dialog %s", path);
        return false;
    }
    make_user_writable(path);
    return true;
}

bool write_dialogue(const char* path)
{
    return write_dialogue_record(path, g_dialogue);
}

bool read_dialogue(const char* path)
{
    console_log("%s", path);
    packed_stream* s = open_data_file(path, k_dialogue_kept);
    if (!s)
        return false;
    dialogue_record& d = g_dialogue;
    field_reader r(s);
    head_fields(r, d);
    int16_t stored_count = d.node_count;
    r.i16(stored_count);
    int16_t count = stored_count;
    if (count < 0 || count > k_dialogue_nodes) {
        const std::string where = "pocet uzlov " + std::to_string(count) + " mimo 0 az " + std::to_string(k_dialogue_nodes);
        report_damaged_file(path, where.c_str(), "uzly, ktore sa zmestia");
        count = std::clamp<int16_t>(count, 0, k_dialogue_nodes);
    }
    d.node_count = count;
    for (int n = 0; n < count; ++n)
        node_fields(r, d, n);
    // The nodes past the 200th of a longer file are passed over to reach its any-of byte.
    if (r.whole() && count < stored_count && !skip_stream_bytes(s, uint64_t(stored_count - count) * k_dialogue_file_node_size))
        r.fail();
    d.any_of = 0;
    r.u8(d.any_of);
    stream_close(s);
    close_dangling_links(&d, path);
    if (d.language >= std::size(k_dialogue_languages))
        console_log("dialog %s: neznamy jazyk %d", path, int(d.language));
    if (!r.whole())
        report_damaged_file(path, "konci predcasne", "uzly precitane pred koncom");
    return r.whole();
}

int16_t dialogue_option_link(int32_t node, int32_t option)
{
    if (node < 0 || node >= k_dialogue_nodes || option < 0 || option >= k_dialogue_options)
        return 0;
    return int16_t(g_dialogue.option_link[node][option]);
}
