// The skin file: texture names per skin, material and variant.
#include "core/console_log.h"
#include "core/data_files.h"
#include "core/utilities.h"
#include "engine/models.h"
#include "engine/textures.h"
#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr int32_t k_max_skins = 128; // without variants, the table's room
constexpr int32_t k_max_variants = 32;
constexpr const char* k_no_skins = "model bez koze";

// Whitespace-separated tokens, read as a formatted text stream reads them: a number takes the
// leading digits of a token and leaves the rest of it as the next token.
class skin_tokens {
public:
    explicit skin_tokens(std::string_view text) : text_(text) {}

    // The next token's leading decimal number (optional sign); false, consuming nothing, when
    // the token does not begin with one.
    bool number(int64_t& value)
    {
        skip_blanks();
        size_t at = pos_;
        bool negative = false;
        if (at < text_.size() && (text_[at] == '+' || text_[at] == '-'))
            negative = text_[at++] == '-';
        const size_t digits = at;
        int64_t v = 0;
        while (at < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at]))) {
            v = std::min<int64_t>(v * 10 + (text_[at] - '0'), int64_t(1) << 40);
            ++at;
        }
        if (at == digits)
            return false;
        pos_ = at;
        value = negative ? -v : v;
        return true;
    }

    // The text ends right after the token read last, with no blank after it.
    bool ends_inside_word() const
    {
        return pos_ == text_.size() && !text_.empty() && !std::isspace(static_cast<unsigned char>(text_.back()));
    }

    // The next token; false at the end of the text.
    bool name(std::string& out)
    {
        skip_blanks();
        if (pos_ >= text_.size())
            return false;
        const size_t start = pos_;
        while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
        out.assign(text_.substr(start, pos_ - start));
        return true;
    }

private:
    void skip_blanks()
    {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

} // namespace

void load_model_skins(model* m, const char* sk_path)
{
    if (!m->mesh)
        return;
    char* kept = m->mesh->materials[0].texture_name;
    if (std::strlen(sk_path) < size_t(k_model_name_size)) {
        copy_bounded(kept, k_model_name_size, sk_path);
    } else {
        console_log("skin path too long, not kept: %s", sk_path);
        kept[0] = '\0';
    }
    std::vector<uint8_t> bytes;
    if (!is_readable_file(sk_path) || !read_whole_file(sk_path, &bytes)) {
        report_missing_file(sk_path, k_no_skins);
        return;
    }
    if (std::find(bytes.begin(), bytes.end(), uint8_t(0)) != bytes.end()) {
        report_damaged_file(sk_path, "nulovy bajt", k_no_skins);
        return;
    }
    skin_tokens tokens(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));

    int64_t skins = 0;
    if (!tokens.number(skins) || skins < 0) {
        report_damaged_file(sk_path, "chyba pocet", k_no_skins);
        skins = 0;
    }
    m->skin_count = int32_t(std::min<int64_t>(skins, k_max_skins));

    const int64_t materials = std::min<uint32_t>(m->mesh->material_count, k_model_max_materials);
    if (materials == 0)
        return;
    int64_t variants = 0;
    bool outside = false;
    std::string name;
    for (int64_t s = 0; s < skins; ++s) {
        for (int64_t mat = 0; mat < materials; ++mat) {
            if (s == 0 && mat == 0) {
                int64_t v = 0;
                skin_tokens probe = tokens;
                if (probe.number(v) && v > 0) {
                    variants = v;
                    tokens = probe;
                }
                m->variant_count = int32_t(std::min<int64_t>(variants, k_max_variants));
            }
            for (int64_t k = 0; k < std::max<int64_t>(variants, 1); ++k) {
                if (!tokens.name(name)) {
                    report_damaged_file(sk_path, "konci predcasne", "textury precitane pred koncom");
                    return;
                }
                // The file's last word with nothing after it that names no file: the file was
                // probably cut inside that name (it is still asked for, as any name is).
                if (tokens.ends_inside_word() && file_exists(name.c_str()) != 1)
                    report_damaged_file(sk_path, "posledny nazov odrezany", "vsetky nazvy, posledny ako je");
                const int32_t entry = s < k_max_skins && k < k_max_variants
                                          ? skin_entry_index(variants > 0 ? int32_t(k) : -1, int32_t(s), int32_t(mat))
                                          : -1;
                if (entry < 0) {
                    if (!outside)
                        console_log("skin file %s names more textures than a model holds", sk_path);
                    outside = true;
                    continue;
                }
                if (size_t(entry) >= m->skin_textures.size())
                    m->skin_textures.resize(size_t(entry) + 1, -1);
                m->skin_textures[entry] = get_texture(name.c_str(), 0, 0, 0, 1, 1, 0);
            }
        }
    }
    m->skin_textures.shrink_to_fit();
}
