#include "platform/text_renderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace {

// 0x80 to 0x9F of Windows-1252; the undefined bytes map to themselves.
constexpr uint16_t k_cp1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// 0x80 to 0xFF of Windows-1250 (Central European); the undefined bytes map to themselves.
constexpr uint16_t k_cp1250_high[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160,
    0x2039, 0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0,
    0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6,
    0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1,
    0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A,
    0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2,
    0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED,
    0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159,
    0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

FT_Library g_freetype = nullptr;
bool g_freetype_failed = false;
bool g_fontconfig_ready = false;
std::vector<std::string> g_added_files;

FT_Library freetype()
{
    if (!g_freetype && !g_freetype_failed && FT_Init_FreeType(&g_freetype) != 0) {
        g_freetype = nullptr;
        g_freetype_failed = true;
    }
    return g_freetype;
}

bool fontconfig()
{
    if (!g_fontconfig_ready)
        g_fontconfig_ready = FcInit() == FcTrue;
    return g_fontconfig_ready;
}

// The face's Windows cell: usWinAscent and usWinDescent when it has them, else its ascender
// and descender, in font units.
void cell_metrics(FT_Face face, long& ascent, long& descent)
{
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    } else {
        ascent = face->ascender;
        descent = -face->descender;
    }
    if (ascent + descent <= 0) {
        ascent = face->units_per_EM * 4 / 5;
        descent = face->units_per_EM - ascent;
    }
}

} // namespace

uint32_t windows_1252_to_unicode(uint8_t byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return k_cp1252_high[byte - 0x80];
    return byte;
}

uint32_t windows_1250_to_unicode(uint8_t byte)
{
    return byte >= 0x80 ? k_cp1250_high[byte - 0x80] : byte;
}

bool text_add_font_file(const char* path)
{
    if (!path || !*path || !fontconfig())
        return false;
    if (FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path)) != FcTrue)
        return false;
    g_added_files.emplace_back(path);
    return true;
}

void text_remove_font_file(const char* path)
{
    if (!path || !g_fontconfig_ready)
        return;
    auto it = std::find(g_added_files.begin(), g_added_files.end(), path);
    if (it == g_added_files.end())
        return;
    g_added_files.erase(it);
    // Fontconfig removes application fonts only all at once: the others are added again.
    FcConfigAppFontClear(nullptr);
    for (const std::string& file : g_added_files)
        FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(file.c_str()));
}

struct text_face::internals {
    FT_Face face = nullptr;
    bool embolden = false;
    ~internals()
    {
        if (face)
            FT_Done_Face(face);
    }
};

text_face::~text_face() = default;

std::unique_ptr<text_face> text_face::open(const text_face_request& request, std::string& error)
{
    if (request.cell_height < 1 || request.cell_height > 512) {
        error = "cell height out of range";
        return nullptr;
    }
    FT_Library library = freetype();
    if (!library) {
        error = "FreeType cannot start";
        return nullptr;
    }
    if (!fontconfig()) {
        error = "fontconfig cannot start";
        return nullptr;
    }

    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.family ? request.family : ""));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::clamp(request.weight, 1, 1000)));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, request.cell_height);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) {
        error = "no font installed";
        return nullptr;
    }

    std::unique_ptr<text_face> out(new text_face);
    out->inner_ = std::make_unique<internals>();
    FcChar8* text = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch)
        out->file_ = reinterpret_cast<const char*>(text);
    if (FcPatternGetString(match, FC_FAMILY, 0, &text) == FcResultMatch)
        out->family_ = reinterpret_cast<const char*>(text);
    int index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcBool embolden = FcFalse;
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    FcMatrix* shape = nullptr;
    FT_Matrix matrix = {0x10000, 0, 0, 0x10000};
    const bool has_matrix = FcPatternGetMatrix(match, FC_MATRIX, 0, &shape) == FcResultMatch && shape;
    if (has_matrix) {
        matrix.xx = static_cast<FT_Fixed>(std::lround(shape->xx * 65536.0));
        matrix.xy = static_cast<FT_Fixed>(std::lround(shape->xy * 65536.0));
        matrix.yx = static_cast<FT_Fixed>(std::lround(shape->yx * 65536.0));
        matrix.yy = static_cast<FT_Fixed>(std::lround(shape->yy * 65536.0));
    }
    FcPatternDestroy(match);

    if (out->file_.empty() || FT_New_Face(library, out->file_.c_str(), index, &out->inner_->face) != 0) {
        out->inner_->face = nullptr;
        error = "cannot open font file " + out->file_;
        return nullptr;
    }
    FT_Face face = out->inner_->face;
    if (!FT_IS_SCALABLE(face)) {
        error = "font is not scalable: " + out->file_;
        return nullptr;
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    long ascent = 0, descent = 0;
    cell_metrics(face, ascent, descent);
    const double units = static_cast<double>(ascent + descent);
    const auto size = static_cast<FT_F26Dot6>(std::lround(request.cell_height * 64.0 * face->units_per_EM / units));
    if (FT_Set_Char_Size(face, 0, std::max<FT_F26Dot6>(size, 1), 72, 72) != 0) {
        error = "cannot size font " + out->file_;
        return nullptr;
    }
    if (has_matrix)
        FT_Set_Transform(face, &matrix, nullptr);
    out->inner_->embolden = embolden == FcTrue;
    out->cell_height_ = request.cell_height;
    out->ascent_ = std::clamp(static_cast<int>(std::lround(request.cell_height * ascent / units)), 0,
                              request.cell_height);
    out->antialiased_ = request.antialiased;
    return out;
}

bool text_face::render(uint32_t code_point, text_glyph& out)
{
    out = text_glyph{};
    FT_Face face = inner_->face;
    const FT_UInt glyph = FT_Get_Char_Index(face, code_point);
    const FT_Int32 flags = FT_LOAD_DEFAULT | (antialiased_ ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
    if (FT_Load_Glyph(face, glyph, flags) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (inner_->embolden)
        FT_GlyphSlot_Embolden(slot);
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, antialiased_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return false;

    out.advance = std::max(0, static_cast<int>((slot->advance.x + 32) >> 6));
    const FT_Bitmap& bitmap = slot->bitmap;
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (bitmap.width == 0 || bitmap.rows == 0 || (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY))
        return true;
    out.left = slot->bitmap_left;
    out.top = ascent_ - slot->bitmap_top;
    out.width = static_cast<int>(bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.coverage.resize(static_cast<size_t>(out.width) * out.height);
    const int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    const int grays = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
    for (int row = 0; row < out.height; ++row) {
        const unsigned char* src = bitmap.buffer + static_cast<size_t>(bitmap.pitch < 0 ? out.height - 1 - row : row) * pitch;
        uint8_t* dst = out.coverage.data() + static_cast<size_t>(row) * out.width;
        for (int x = 0; x < out.width; ++x) {
            if (mono)
                dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else
                dst[x] = static_cast<uint8_t>(grays == 255 ? src[x] : src[x] * 255 / grays);
        }
    }
    return true;
}
