#include "engine/lzss.h"

#include "engine/packed_stream.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "the match finder compares words");

namespace {

constexpr int k_window_mask = LZSS_N - 1;

uint64_t load64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Count of equal leading bytes of a and b, both known to agree in byte 0 (1 to 18).
int common_prefix(const uint8_t* a, const uint8_t* b)
{
    uint64_t d = load64(a + 1) ^ load64(b + 1);
    if (d != 0)
        return 1 + (std::countr_zero(d) >> 3);
    d = load64(a + 9) ^ load64(b + 9);
    if (d != 0)
        return 9 + (std::countr_zero(d) >> 3);
    return a[17] == b[17] ? LZSS_F : 17;
}

// Writes the n bytes of a finished group; false when the inner stream reported an error.
bool write_group(packed_stream* inner, const uint8_t* group, int n)
{
    for (int k = 0; k < n; k++)
        stream_putc(group[k], inner);
    return (inner->flags & STREAM_ERROR) == 0;
}

}  // namespace

void lzss_init_tree(lzss_encoder_state* state)
{
    for (int k = LZSS_N + 1; k <= LZSS_N + 256; k++)
        state->rson[k] = LZSS_NIL;
    for (int k = 0; k < LZSS_N; k++)
        state->dad[k] = LZSS_NIL;
}

void lzss_insert_node(lzss_encoder_state* state, int r)
{
    const uint8_t* text = state->text_buf;
    int32_t* lson = state->lson;
    int32_t* rson = state->rson;
    int32_t* dad = state->dad;
    const uint8_t* key = text + r;
    int p = LZSS_N + 1 + key[0];
    int cmp = 1;
    int match_length = 0;
    int match_position = state->match_position;
    rson[r] = lson[r] = LZSS_NIL;
    for (;;) {
        int32_t* link = cmp >= 0 ? &rson[p] : &lson[p];
        if (*link == LZSS_NIL) {
            *link = r;
            dad[r] = p;
            state->match_position = match_position;
            state->match_length = match_length;
            return;
        }
        p = *link;
        int i = common_prefix(key, text + p);
        cmp = i < LZSS_F ? key[i] - text[p + i] : 0;
        if (i > match_length) {
            match_position = p;
            match_length = i;
            if (i >= LZSS_F)
                break;
        }
    }
    // r replaces p, whose string is the same in all 18 bytes.
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p)
        rson[dad[p]] = r;
    else
        lson[dad[p]] = r;
    dad[p] = LZSS_NIL;
    state->match_position = match_position;
    state->match_length = match_length;
}

void lzss_delete_node(lzss_encoder_state* state, int p)
{
    int32_t* lson = state->lson;
    int32_t* rson = state->rson;
    int32_t* dad = state->dad;
    if (dad[p] == LZSS_NIL)
        return;
    int q;
    if (rson[p] == LZSS_NIL) {
        q = lson[p];
    } else if (lson[p] == LZSS_NIL) {
        q = rson[p];
    } else {
        q = lson[p];
        if (rson[q] != LZSS_NIL) {
            do
                q = rson[q];
            while (rson[q] != LZSS_NIL);
            rson[dad[q]] = lson[q];
            dad[lson[q]] = dad[q];
            lson[q] = lson[p];
            dad[lson[p]] = q;
        }
        rson[q] = rson[p];
        dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p)
        rson[dad[p]] = q;
    else
        lson[dad[p]] = q;
    dad[p] = LZSS_NIL;
}

int lzss_encode(packed_stream* inner, lzss_encoder_state* state, int n, const uint8_t* bytes,
                bool final)
{
    const uint8_t* in = bytes;
    const uint8_t* end = bytes + (n > 0 ? n : 0);
    uint8_t* text = state->text_buf;

    if (state->step == 0) {
        state->code_buf[0] = 0;
        state->mask = 1;
        state->code_buf_ptr = 1;
        lzss_init_tree(state);
        state->s = 0;
        state->r = LZSS_START;
        state->len = 0;
        state->match_position = 0;
        state->match_length = 0;
        state->step = 1;
    }
    if (state->step == 1) {
        while (state->len < LZSS_F && in < end)
            text[state->r + state->len++] = *in++;
        if (state->len < LZSS_F && !final)
            return 0;
        if (state->len == 0) {
            state->step = 0;
            return 0;
        }
        for (int k = 1; k <= LZSS_F; k++)
            lzss_insert_node(state, state->r - k);
        lzss_insert_node(state, state->r);
        state->i = 0;
        state->last_match_length = 0;
        state->step = 2;
    }

    int i = state->i;
    int last_match_length = state->last_match_length;
    int len = state->len;
    int r = state->r;
    int s = state->s;
    int mask = state->mask;
    int ptr = state->code_buf_ptr;
    uint8_t* code_buf = state->code_buf;
    auto save = [&] {
        state->i = i;
        state->last_match_length = last_match_length;
        state->len = len;
        state->r = r;
        state->s = s;
        state->mask = uint8_t(mask);
        state->code_buf_ptr = ptr;
    };

    for (;;) {
        // Replace the bytes of the last item with new input.
        while (i < last_match_length && in < end) {
            uint8_t c = *in++;
            lzss_delete_node(state, s);
            text[s] = c;
            if (s < LZSS_F - 1)
                text[s + LZSS_N] = c;
            s = (s + 1) & k_window_mask;
            r = (r + 1) & k_window_mask;
            lzss_insert_node(state, r);
            i++;
        }
        if (i < last_match_length) {
            if (!final) {
                save();
                return 0;
            }
            while (i++ < last_match_length) {
                lzss_delete_node(state, s);
                s = (s + 1) & k_window_mask;
                r = (r + 1) & k_window_mask;
                if (--len)
                    lzss_insert_node(state, r);
            }
        }
        if (len <= 0)
            break;

        // Code the item at r.
        int match_length = state->match_length;
        if (match_length > len)
            match_length = len;
        if (match_length <= LZSS_THRESHOLD) {
            match_length = 1;
            code_buf[0] |= uint8_t(mask);
            code_buf[ptr++] = text[r];
        } else {
            int position = state->match_position;
            code_buf[ptr++] = uint8_t(position);
            code_buf[ptr++] =
                uint8_t(((position >> 4) & 0xF0) | (match_length - (LZSS_THRESHOLD + 1)));
        }
        state->match_length = match_length;
        mask = (mask << 1) & 0xFF;
        if (mask == 0) {
            if (!write_group(inner, code_buf, ptr)) {
                save();
                return -1;
            }
            code_buf[0] = 0;
            ptr = 1;
            mask = 1;
        }
        last_match_length = match_length;
        i = 0;
    }

    save();
    state->step = 0;
    if (ptr > 1 && !write_group(inner, code_buf, ptr))
        return -1;
    return 0;
}

int lzss_decode(packed_stream* inner, lzss_decoder_state* state, int n, uint8_t* out)
{
    if (n <= 0)
        return 0;
    uint8_t* text = state->text_buf;
    if (state->step == 0) {
        state->r = LZSS_START;
        state->flags = 0;
        state->step = 1;
    }
    int r = state->r;
    uint32_t flags = state->flags;
    int produced = 0;

    if (state->step == 2) {  // finish the match a previous call stopped in
        int i = state->i;
        int j = state->j;
        int k = state->k;
        while (k < j && produced < n) {
            k++;
            uint8_t c = text[(i + k) & k_window_mask];
            text[r] = c;
            r = (r + 1) & k_window_mask;
            out[produced++] = c;
        }
        state->k = k;
        if (k < j) {
            state->r = r;
            return produced;
        }
        state->step = 1;
    }

    while (produced < n) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            int c = stream_getc(inner);
            if (c < 0)
                goto ended;
            flags = uint32_t(c) | 0xFF00;
        }
        if (flags & 1) {
            int c = stream_getc(inner);
            if (c < 0)
                goto ended;
            text[r] = uint8_t(c);
            r = (r + 1) & k_window_mask;
            out[produced++] = uint8_t(c);
            continue;
        }
        int b0 = stream_getc(inner);
        if (b0 < 0)
            goto ended;
        int b1 = stream_getc(inner);
        if (b1 < 0)
            goto ended;
        int i = b0 | ((b1 & 0xF0) << 4);
        int j = (b1 & 0x0F) + LZSS_THRESHOLD;
        for (int k = 0;; k++) {
            uint8_t c = text[(i + k) & k_window_mask];
            text[r] = c;
            r = (r + 1) & k_window_mask;
            out[produced++] = c;
            if (k == j)
                break;
            if (produced == n) {
                state->step = 2;
                state->i = i;
                state->j = j;
                state->k = k;
                break;
            }
        }
    }
    state->r = r;
    state->flags = flags;
    return produced;

ended:
    state->r = r;
    state->flags = flags;
    state->step = 0;
    return produced;
}
