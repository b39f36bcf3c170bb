#include "engine/lzss.h"

#include "engine/packed_stream.h"

#include <algorithm>
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

// Eight string bytes as one number that compares as the bytes do.
uint64_t ordered_word(const uint8_t* p)
{
    return __builtin_bswap64(load64(p));
}

bool equal_strings(const uint8_t* a, const uint8_t* b)
{
    return load64(a) == load64(b) && load64(a + 8) == load64(b + 8) && a[16] == b[16] && a[17] == b[17];
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
        state->sons[2 * k + 1] = LZSS_NIL;
    for (int k = 0; k < LZSS_N; k++)
        state->dad[k] = LZSS_NIL;
    state->last_full_match = -1;
}

void lzss_insert_node(lzss_encoder_state* state, int r)
{
    const uint8_t* text = state->text_buf;
    int16_t* sons = state->sons;
    int16_t* dad = state->dad;
    const uint8_t* key = text + r;
    sons[2 * r] = sons[2 * r + 1] = LZSS_NIL;
    int p = -1;
    if (state->last_full_match >= 0) {
        // The node after the string r - 1 equalled: in the tree and equal to r's in all 18
        // bytes, it is the only such node, the one the search would end on.
        const int q = (state->last_full_match + 1) & k_window_mask;
        if (dad[q] != LZSS_NIL && equal_strings(text + q, key))
            p = q;
    }
    if (p < 0) {
        // The search from the root, as bytes 1 to 17 decide; byte 0 chose the tree.
        const uint64_t key_a = ordered_word(key + 1), key_b = ordered_word(key + 9);
        int match_length = 0;
        int match_position = state->match_position;
        int right = 1;
        p = LZSS_N + 1 + key[0];
        uint32_t pair;  // both sons of p, loaded together with p's string
        std::memcpy(&pair, &sons[2 * p], sizeof pair);
        for (;;) {
            const int next = int16_t(right ? pair >> 16 : pair & 0xFFFF);
            if (next == LZSS_NIL) {
                sons[2 * p + right] = int16_t(r);
                dad[r] = int16_t(p);
                state->match_position = match_position;
                state->match_length = match_length;
                state->last_full_match = -1;
                return;
            }
            p = next;
            std::memcpy(&pair, &sons[2 * p], sizeof pair);
            const uint8_t* t = text + p;
            const uint64_t t_a = ordered_word(t + 1);
            int i;  // equal leading bytes
            if (t_a != key_a) {
                i = 1 + (std::countl_zero(t_a ^ key_a) >> 3);
                right = key_a > t_a;
            } else {
                const uint64_t t_b = ordered_word(t + 9);
                if (t_b != key_b) {
                    i = 9 + (std::countl_zero(t_b ^ key_b) >> 3);
                    right = key_b > t_b;
                } else if (key[17] != t[17]) {
                    i = 17;
                    right = key[17] > t[17];
                } else {
                    break;  // equal in all 18 bytes
                }
            }
            const bool longer = i > match_length;
            match_position = longer ? p : match_position;
            match_length = longer ? i : match_length;
        }
    }
    // r replaces p, whose string is the same in all 18 bytes.
    dad[r] = dad[p];
    sons[2 * r] = sons[2 * p];
    sons[2 * r + 1] = sons[2 * p + 1];
    dad[sons[2 * p]] = int16_t(r);
    dad[sons[2 * p + 1]] = int16_t(r);
    const int parent = dad[p];
    if (sons[2 * parent + 1] == p)
        sons[2 * parent + 1] = int16_t(r);
    else
        sons[2 * parent] = int16_t(r);
    dad[p] = LZSS_NIL;
    state->match_position = p;
    state->match_length = LZSS_F;
    state->last_full_match = p;
}

void lzss_delete_node(lzss_encoder_state* state, int p)
{
    int16_t* sons = state->sons;
    int16_t* dad = state->dad;
    if (dad[p] == LZSS_NIL)
        return;
    const int left = sons[2 * p], right = sons[2 * p + 1];
    int q;
    if (right == LZSS_NIL) {
        q = left;
    } else if (left == LZSS_NIL) {
        q = right;
    } else {
        q = left;
        if (sons[2 * q + 1] != LZSS_NIL) {
            do
                q = sons[2 * q + 1];
            while (sons[2 * q + 1] != LZSS_NIL);
            sons[2 * dad[q] + 1] = sons[2 * q];
            dad[sons[2 * q]] = dad[q];
            sons[2 * q] = int16_t(left);
            dad[left] = int16_t(q);
        }
        sons[2 * q + 1] = int16_t(right);
        dad[right] = int16_t(q);
    }
    dad[q] = dad[p];
    const int parent = dad[p];
    if (sons[2 * parent + 1] == p)
        sons[2 * parent + 1] = int16_t(q);
    else
        sons[2 * parent] = int16_t(q);
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

namespace {

// Copies n bytes, 1 to 18, between ranges that do not overlap, in a few word moves.
void copy_short(uint8_t* to, const uint8_t* from, int n)
{
    if (n >= 8) {
        const uint64_t head = load64(from), tail = load64(from + n - 8);
        if (n > 16) {
            const uint64_t middle = load64(from + 8);
            std::memcpy(to + 8, &middle, 8);
        }
        std::memcpy(to, &head, 8);
        std::memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4) {
        uint32_t head, tail;
        std::memcpy(&head, from, 4);
        std::memcpy(&tail, from + n - 4, 4);
        std::memcpy(to, &head, 4);
        std::memcpy(to + n - 4, &tail, 4);
    } else {
        for (int k = 0; k < n; k++)
            to[k] = from[k];
    }
}

// Copies a match byte by byte as the format defines it (a match may overlap the bytes it makes):
// take bytes from window position i to write position r and to out. Whole-block copies where
// neither range wraps and the source does not run into what the copy writes.
void copy_match(uint8_t* text, int i, int r, uint8_t* out, int take)
{
    if (i + take <= LZSS_N && r + take <= LZSS_N) {
        if (i >= r || i + take <= r) {
            copy_short(out, text + i, take);
            copy_short(text + r, out, take);
            return;
        }
        if (i + 1 == r) {  // a run of the byte before
            std::memset(out, text[i], size_t(take));
            std::memset(text + r, text[i], size_t(take));
            return;
        }
    }
    for (int k = 0; k < take; k++) {
        uint8_t c = text[(i + k) & k_window_mask];
        text[(r + k) & k_window_mask] = c;
        out[k] = c;
    }
}

// The coded bytes, taken from the inner stream's buffer; its slow path refills it and raises
// the end of data with the last byte.
class coded_input {
public:
    explicit coded_input(packed_stream* stream) : stream_(stream), cursor_(stream->cursor), count_(stream->count) {}
    ~coded_input()
    {
        stream_->cursor = cursor_;
        stream_->count = count_;
    }
    coded_input(const coded_input&) = delete;
    coded_input& operator=(const coded_input&) = delete;

    // A whole group's bytes (a flag byte and eight matches) lie in the buffer.
    bool holds_group() const { return count_ > 17; }
    // The next byte of a group that holds_group promised.
    uint8_t take() { --count_; return *cursor_++; }
    // The next n bytes of a group that holds_group promised.
    const uint8_t* take_bytes(int n)
    {
        const uint8_t* at = cursor_;
        cursor_ += n;
        count_ -= n;
        return at;
    }

    // The next byte, or -1 at the end of data.
    int get()
    {
        if (count_ > 1) {
            --count_;
            return *cursor_++;
        }
        stream_->cursor = cursor_;
        stream_->count = count_;
        int c = stream_getc_slow(stream_);
        cursor_ = stream_->cursor;
        count_ = stream_->count;
        return c;
    }

private:
    packed_stream* stream_;
    uint8_t* cursor_;
    int32_t count_;
};

}  // namespace

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

    coded_input in(inner);
    while (produced < n) {
        // A whole group at once while its bytes are buffered and its output has room.
        if (((flags >> 1) & 0x100) == 0 && in.holds_group() && n - produced >= 8 * LZSS_F) {
            const uint32_t group = in.take();
            for (int item = 0; item < 8;) {
                if (group >> item & 1) {
                    // A run of literals.
                    const int run = std::countr_one(group >> item);
                    const uint8_t* bytes = in.take_bytes(run);
                    copy_short(out + produced, bytes, run);
                    for (int k = 0; k < run; k++)
                        text[(r + k) & k_window_mask] = bytes[k];
                    r = (r + run) & k_window_mask;
                    produced += run;
                    item += run;
                    continue;
                }
                item++;
                const int b0 = in.take(), b1 = in.take();
                const int length = (b1 & 0x0F) + LZSS_THRESHOLD + 1;
                copy_match(text, b0 | ((b1 & 0xF0) << 4), r, out + produced, length);
                r = (r + length) & k_window_mask;
                produced += length;
            }
            flags = (group | 0xFF00) >> 7;  // as after the group's last item
            continue;
        }
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            int c = in.get();
            if (c < 0)
                goto ended;
            flags = uint32_t(c) | 0xFF00;
        }
        if (flags & 1) {
            int c = in.get();
            if (c < 0)
                goto ended;
            text[r] = uint8_t(c);
            r = (r + 1) & k_window_mask;
            out[produced++] = uint8_t(c);
            continue;
        }
        int b0 = in.get();
        if (b0 < 0)
            goto ended;
        int b1 = in.get();
        if (b1 < 0)
            goto ended;
        int i = b0 | ((b1 & 0xF0) << 4);
        int length = (b1 & 0x0F) + LZSS_THRESHOLD + 1;
        int take = std::min(length, n - produced);
        copy_match(text, i, r, out + produced, take);
        r = (r + take) & k_window_mask;
        produced += take;
        if (take < length) {
            state->step = 2;
            state->i = i;
            state->j = length - 1;
            state->k = take - 1;
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
