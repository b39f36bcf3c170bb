// Prototype text files: whitespace-separated words with labels between the values.
#include "world/object_protos.h"

#include "core/console_log.h"
#include "core/data_files.h"
#include "core/text_lines.h"
#include "core/utilities.h"
#include "engine/textures.h"
#include "platform/files.h"
#include "world/object_models.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The words of a text, one at a time; an exhausted text gives empty words.
class word_reader {
public:
    explicit word_reader(std::vector<uint8_t> text) : text_(std::move(text)) {}

    std::string word()
    {
        while (at_ < text_.size() && is_space(text_[at_]))
            ++at_;
        size_t start = at_;
        while (at_ < text_.size() && !is_space(text_[at_]))
            ++at_;
        exhausted_ = exhausted_ || start == at_;
        return std::string(text_.begin() + long(start), text_.begin() + long(at_));
    }
    // A word was asked for after the last one: the text ended early.
    bool exhausted() const { return exhausted_; }

    void skip() { word(); }
    // A number as the C library reads its leading digits; 0 for anything else.
    int32_t integer() { return int32_t(std::strtol(word().c_str(), nullptr, 10)); }
    float real() { return std::strtof(word().c_str(), nullptr); }

private:
    static bool is_space(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

    std::vector<uint8_t> text_;
    size_t at_ = 0;
    bool exhausted_ = false;
};

// Copies a word into a field, logging a word that does not fit.
void store_word(char* field, size_t size, const std::string& word)
{
    if (word.size() >= size)
        console_log("pridlhe meno %s", word.c_str());
    copy_bounded(field, size, word.c_str());
}

// The name of frame f from the previous one: its sixth- and fifth-last characters become the
// digits of f. Empty when the name is too short, would leave the working folder (never looked
// for) or the renumbered file does not exist.
std::string renumbered(const char* previous, int32_t f)
{
    std::string name = previous;
    if (name.size() < 6)
        return {};
    name[name.size() - 6] = char('0' + (f / 10) % 10);
    name[name.size() - 5] = char('0' + f % 10);
    return stays_in_working_folder(name.c_str()) && file_exists(name.c_str()) == 1 ? name : std::string();
}

void read_frames(word_reader& in, object_proto& p, int32_t animation)
{
    p.frame_counts[animation] = in.integer();
    in.skip();
    if (p.frame_counts[animation] < 0 || p.frame_counts[animation] > k_proto_frames) {
        console_log("prtyp %s: snimkov %d", p.name, int(p.frame_counts[animation]));
        p.frame_counts[animation] = std::clamp(p.frame_counts[animation], 0, k_proto_frames);
    }
    for (int32_t f = 0; f < p.frame_counts[animation]; ++f) {
        std::string name = f > 0 ? renumbered(p.frame_names[f - 1], f) : std::string();
        if (name.empty())
            name = in.word();
        store_word(p.frame_names[f], sizeof p.frame_names[f], name);
        if (p.kind == k_proto_mesh)
            p.frames[animation][f] = load_proto_model(p.frame_names[f]);
        else if (data_file_path("", p.frame_names[f]).empty())
            p.frames[animation][f] = -1;
        else
            p.frames[animation][f] = get_texture(p.frame_names[f], uint32_t(std::max(p.width, 0)),
                                                 uint32_t(std::max(p.height, 0)), 0, 0, 0, 0);
    }
}

} // namespace

bool load_object_proto(object_proto* p, const char* path)
{
    std::vector<uint8_t> text;
    if (file_exists(path) != 1 || !read_whole_file(path, &text)) {
        report_missing_file(path, "prazdny prototyp");
        return false;
    }
    if (std::find(text.begin(), text.end(), uint8_t(0)) != text.end()) {
        report_damaged_file(path, "nulovy bajt", "prazdny prototyp");
        return false;
    }
    word_reader in(std::move(text));
    p->depth_correction = 0.0f;
    store_word(p->name, sizeof p->name, in.word());
    in.skip();
    p->kind = in.integer();
    if (p->kind == k_proto_mesh) {
        in.skip();
        p->depth_setting = in.integer();
        in.skip();
        p->mesh_value = in.real();
    }
    in.skip();
    p->width = in.integer();
    in.skip();
    p->height = in.integer();
    p->anim_count = 1;
    if (p->kind == k_proto_sprite16) {
        in.skip();
        p->anim_count = in.integer();
        if (p->anim_count < 0 || p->anim_count > k_proto_animations) {
            console_log("prtyp %s: animacii %d", p->name, int(p->anim_count));
            p->anim_count = std::clamp(p->anim_count, 0, k_proto_animations);
        }
    }
    for (int32_t a = 0; a < p->anim_count; ++a) {
        in.skip();
        read_frames(in, *p, a);
    }
    in.skip();
    p->anim_mode = in.integer();
    in.skip();
    p->frame_delay = in.integer();
    if (in.exhausted()) {
        report_damaged_file(path, "konci predcasne", "hodnoty precitane pred koncom");
        return false;
    }
    console_log("nacital som prototyp %s", path);
    return true;
}

int32_t add_object_proto(const char* path)
{
    if (g_object_proto_count >= uint32_t(k_proto_first_template))
        return -1;
    int32_t slot = int32_t(g_object_proto_count);
    load_object_proto(&g_object_protos[slot], path);
    ++g_object_proto_count;
    return slot;
}
