#include "platform/text_encoding.h"

namespace {

constexpr uint32_t k_replacement = 0xFFFD;

// The characters of Windows-1252 at 0x80 to 0x9F (0 where the code page has none).
constexpr uint16_t k_cp1252_high[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039,
    0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

} // namespace

uint32_t unicode_from_cp1252(uint8_t c)
{
    if (c >= 0x80 && c < 0xA0)
        return k_cp1252_high[c - 0x80] ? k_cp1252_high[c - 0x80] : '?';
    return c;
}

uint8_t cp1252_from_unicode(uint32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return uint8_t(c);
    for (int i = 0; i < 32; ++i)
        if (k_cp1252_high[i] && k_cp1252_high[i] == c)
            return uint8_t(0x80 + i);
    return '?';
}

void append_utf8(std::string& out, uint32_t c)
{
    if (c > 0x10FFFF)
        c = k_replacement;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

uint32_t next_utf8(std::string_view text, size_t* at)
{
    const auto byte = [&](size_t i) { return uint8_t(text[i]); };
    const uint8_t first = byte(*at);
    size_t length;
    uint32_t c;
    if (first < 0x80) {
        ++*at;
        return first;
    } else if (first >= 0xC2 && first < 0xE0) {
        length = 2, c = first & 0x1F;
    } else if (first >= 0xE0 && first < 0xF0) {
        length = 3, c = first & 0x0F;
    } else if (first >= 0xF0 && first < 0xF5) {
        length = 4, c = first & 0x07;
    } else {
        ++*at;
        return k_replacement;
    }
    if (text.size() - *at < length) {
        ++*at;
        return k_replacement;
    }
    for (size_t i = 1; i < length; ++i) {
        const uint8_t b = byte(*at + i);
        if ((b & 0xC0) != 0x80) {
            ++*at;
            return k_replacement;
        }
        c = c << 6 | (b & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed.
    static constexpr uint32_t k_least[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < k_least[length] || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
        ++*at;
        return k_replacement;
    }
    *at += length;
    return c;
}

std::string utf8_from_cp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        append_utf8(out, unicode_from_cp1252(uint8_t(c)));
    return out;
}

std::string cp1252_from_utf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();)
        out += char(cp1252_from_unicode(next_utf8(text, &at)));
    return out;
}
