// Texts of the game's data and dialogs are Windows-1252; the system's text services (message
// boxes, typed text, the dialogs' drawing) take and give UTF-8. These convert between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The Unicode character of a Windows-1252 byte; '?' for the five bytes the code page leaves
// undefined.
uint32_t unicode_from_cp1252(uint8_t c);

// The Windows-1252 byte of a Unicode character; '?' for one the code page lacks.
uint8_t cp1252_from_unicode(uint32_t c);

std::string utf8_from_cp1252(std::string_view text);

// A character the code page lacks, and every malformed UTF-8 sequence, becomes '?'.
std::string cp1252_from_utf8(std::string_view text);

// Appends a character as UTF-8 (one to four bytes; a value above U+10FFFF as U+FFFD).
void append_utf8(std::string& out, uint32_t c);

// Decodes the character at text[*at] and moves *at past it; a malformed or cut sequence gives
// U+FFFD and moves one byte on. Call only while *at < text.size().
uint32_t next_utf8(std::string_view text, size_t* at);
