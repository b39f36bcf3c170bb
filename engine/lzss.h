// The LZSS coder of packed streams.
//
// Body format: groups of one flag byte and up to eight items, flag bits used from the least
// significant upward (1 literal byte, 0 match). A match is two bytes b0, b1: the absolute
// position b0 | ((b1 & 0xF0) << 4) in a 4096-byte ring window and the length (b1 & 0x0F) + 3.
// Every output byte also enters the window at its write position, which starts at 4078;
// window bytes 0 to 4077 start as zero. The encoder finds matches with 256 binary search
// trees of 18-byte strings, one per leading byte: each position's string enters its tree where
// a search from the root ends, its match is the first node met that shares the most leading
// bytes with it, and a string equal to a node in all 18 bytes takes that node's place. The
// oldest position leaves its tree as its byte is replaced; a node with two sons gives its place
// to the greatest node of its left subtree.
//
// Both coders are resumable: the state keeps everything needed to continue, so the output
// equals one pass over the whole data however the data is cut into calls.
#pragma once

#include <cstdint>

struct packed_stream;

constexpr int LZSS_N = 4096;          // window size
constexpr int LZSS_F = 18;            // look-ahead size, the longest match
constexpr int LZSS_THRESHOLD = 2;     // longest run coded as literals
constexpr int LZSS_NIL = LZSS_N;      // empty tree link
constexpr int LZSS_START = LZSS_N - LZSS_F;  // first write position

struct lzss_encoder_state {
    int32_t step;               // 0 not started, 1 initial fill, 2 reading replacement bytes
    int32_t i;                  // replacement bytes read for the last item
    int32_t len;                // bytes in the look-ahead
    int32_t r;                  // window position of the look-ahead's first byte
    int32_t s;                  // window position of the oldest byte
    int32_t last_match_length;
    int32_t code_buf_ptr;       // next free index in code_buf
    uint8_t mask;               // flag bit of the next item
    uint8_t code_buf[17];       // flag byte and up to 16 item bytes of the current group
    int32_t match_position;
    int32_t match_length;
    // The trees: the left son of node p at sons[2p], the right one at sons[2p + 1];
    // sons[2 (LZSS_N + 1 + b) + 1] is the root of the tree of strings starting with byte b.
    uint16_t sons[2 * (LZSS_N + 257)];
    uint16_t dad[LZSS_N + 1];
    // The node the last insertion replaced or became a son of, or -1: the string after it is the
    // one the next insertion may equal, or lie next to in its tree.
    int32_t last_node;
    uint8_t text_buf[LZSS_N + LZSS_F - 1];  // the window and a copy of its first 17 bytes
};

struct lzss_decoder_state {
    int32_t step;     // 0 not started, 1 between items, 2 inside a match
    int32_t i;        // the match's window position
    int32_t j;        // the match length minus 1
    int32_t k;        // index of the match byte produced last
    int32_t r;        // window write position
    uint32_t flags;   // remaining flag bits; bit 8 and up mark bits still to use
    uint8_t text_buf[LZSS_N];
};

// Codes n bytes and writes the coded groups to the inner stream. Only a call with final
// set treats the end of its bytes as the end of data and writes the last group; the state
// is then ready for a new pass, which starts from a zeroed window. Returns 0, or -1 when the
// inner stream reported an error.
int lzss_encode(packed_stream* inner, lzss_encoder_state* state, int n, const uint8_t* bytes,
                bool final);

// Decodes up to n bytes from the inner stream into out; returns the count produced, less
// than n only when the inner stream ended (an item cut short there is dropped).
int lzss_decode(packed_stream* inner, lzss_decoder_state* state, int n, uint8_t* out);
