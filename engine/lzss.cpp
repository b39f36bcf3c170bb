#include "engine/lzss.h"

#include "engine/packed_stream.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "the match finder compares words");
static_assert(LZSS_N + 257 <= 65536, "tree links fit 16 bits");

namespace {

constexpr int k_window_mask = LZSS_N - 1;
// Bytes of a run taken at once, at most: the run's node and the oldest positions removed on the
// way stay apart.
constexpr std::ptrdiff_t k_run_step_limit = LZSS_N / 2;
// Steps up a tree, at most, for the node a search from the root passes.
constexpr int k_bound_search_steps = 24;

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

// Both sons of node p in one word, the left one in the low half.
uint32_t sons_of(const uint16_t* sons, size_t p)
{
    uint32_t pair;
    std::memcpy(&pair, &sons[2 * p], sizeof pair);
    return pair;
}

// The son of pair towards key from a node whose string's bytes 1 to 8 read word: the right one
// when key is greater. The way down a tree is a coin toss, so this takes no branch.
size_t son_towards(uint64_t key, uint64_t word, uint32_t pair)
{
    size_t left = pair & 0xFFFF;
    const size_t right = pair >> 16;
#if defined(__x86_64__)
    asm("cmp %[word], %[key]\n\tcmova %[right], %[left]"
        : [left] "+r"(left)
        : [right] "r"(right), [word] "r"(word), [key] "r"(key)
        : "cc");
    return left;
#else
    return key > word ? right : left;
#endif
}

// The son link of parent that holds p.
uint16_t& link_to(uint16_t* sons, size_t parent, size_t p)
{
    return sons[2 * parent + (sons[2 * parent + 1] == p)];
}

void init_trees(lzss_encoder_state* state)
{
    for (int k = LZSS_N + 1; k <= LZSS_N + 256; k++)
        state->sons[2 * k + 1] = LZSS_NIL;
    for (int k = 0; k < LZSS_N; k++)
        state->dad[k] = LZSS_NIL;
    state->last_node = -1;
}

// Position r takes the place of node p, whose string it equals in all 18 bytes; p leaves its
// tree. The match recorded is p's, whole.
void replace_node(lzss_encoder_state* state, size_t p, size_t r)
{
    uint16_t* sons = state->sons;
    uint16_t* dad = state->dad;
    const uint32_t pair = sons_of(sons, p);
    const size_t parent = dad[p];
    std::memcpy(&sons[2 * r], &pair, sizeof pair);
    dad[r] = uint16_t(parent);
    dad[pair & 0xFFFF] = uint16_t(r);
    dad[pair >> 16] = uint16_t(r);
    link_to(sons, parent, p) = uint16_t(r);
    dad[p] = LZSS_NIL;
    state->match_position = int32_t(p);
    state->match_length = LZSS_F;
    state->last_node = int32_t(p);
}

// The order of two strings of one tree: below, at or above zero as a's bytes 1 to 17 compare
// with b's.
int compare_strings(const uint8_t* a, const uint8_t* b)
{
    const uint64_t a1 = ordered_word(a + 1), b1 = ordered_word(b + 1);
    if (a1 != b1)
        return a1 < b1 ? -1 : 1;
    const uint64_t a2 = ordered_word(a + 9), b2 = ordered_word(b + 9);
    if (a2 != b2)
        return a2 < b2 ? -1 : 1;
    return int(a[17]) - int(b[17]);
}

// Where a search from the root for the string at r goes through, found from node x of its tree
// upwards: the search passes a node and goes on to its son on r's side when the string lies in
// the range of the node's subtree. Of the range's two bounds only the one on that side is in
// doubt, the nearest ancestor the node hangs on the other side of; when the string lies beyond
// it, the search passes that ancestor instead, and so on up. Sets *at and *right (true for the
// right son) and returns true when found within a few steps up.
bool search_passes(const lzss_encoder_state* state, size_t x, size_t r, size_t* at, bool* right)
{
    const uint8_t* text = state->text_buf;
    const uint16_t* sons = state->sons;
    const uint16_t* dad = state->dad;
    int order = compare_strings(text + r, text + x);
    if (order == 0)
        return false;
    const bool side = order > 0;
    size_t passed = x, child = x, parent = dad[x];
    for (int k = 0; k < k_bound_search_steps; k++) {
        if (parent > LZSS_N)
            break;  // the root's slot: no bound on that side
        if ((sons[2 * parent + 1] == child) != side) {
            order = compare_strings(text + r, text + parent);
            if (side ? order < 0 : order > 0)
                break;
            if (order == 0)
                return false;
            passed = parent;
        }
        child = parent;
        parent = dad[parent];
        if (k + 1 == k_bound_search_steps)
            return false;
    }
    *at = passed;
    *right = side;
    return true;
}

// How many leading bytes two strings of one tree share: 1 to 18.
int shared_bytes(const uint8_t* a, const uint8_t* b)
{
    if (const uint64_t differ = load64(a + 1) ^ load64(b + 1))
        return 1 + (std::countr_zero(differ) >> 3);
    if (const uint64_t differ = load64(a + 9) ^ load64(b + 9))
        return 9 + (std::countr_zero(differ) >> 3);
    return a[17] == b[17] ? 18 : 17;
}

// The match for the string at r among node a and the nodes above it, which a search from the
// root passes on its way to a: the most leading bytes shared, at the highest node among equals.
// Every node above a bounds a's subtree, below the string or above it, and on each side the
// bytes shared only fall going up: the climb ends when neither side can reach the best so far,
// or a match long enough to be coded.
void match_above(const lzss_encoder_state* state, size_t a, size_t r, int* length, int* position)
{
    const uint8_t* text = state->text_buf;
    const uint16_t* sons = state->sons;
    const uint16_t* dad = state->dad;
    int best = shared_bytes(text + r, text + a);
    size_t best_at = a;
    int below = LZSS_F, above = LZSS_F;  // shared by the last bound met on each side
    size_t child = a, parent = dad[a];
    while (parent < LZSS_N) {
        const int wanted = std::max(best, LZSS_THRESHOLD + 1);
        if (below < wanted && above < wanted)
            break;
        int& side = sons[2 * parent + 1] == child ? below : above;
        if (side >= wanted) {
            side = shared_bytes(text + r, text + parent);
            if (side >= best) {
                best = side;
                best_at = parent;
            }
        }
        child = parent;
        parent = dad[parent];
    }
    *length = best;
    *position = int(best_at);
}

// Inserts the string at window position r: it replaces the node equal to it in all 18 bytes, or
// becomes a leaf where the search from the root ends. With Track the longest match on the
// search's way is recorded (the first found among equal lengths); without, only a whole one is,
// as only the last position of an item needs its match. Insertions come in window order, so the
// string after the node the last one replaced or hung from is where r's string may be: when it is
// equal, it is the node the search would end on; else the search starts at the node it passes
// found from there, and the match above that node is found climbing.
template <bool Track>
void insert_node(lzss_encoder_state* state, size_t r)
{
    const uint8_t* text = state->text_buf;
    uint16_t* sons = state->sons;
    const uint8_t* key = text + r;
    size_t start = LZSS_N + 1 + key[0];  // the root's slot, or a node the search passes
    bool start_right = true;             // the side of start the search goes on to
    if (state->last_node >= 0) {
        const size_t q = size_t(state->last_node + 1) & k_window_mask;
        if (state->dad[q] != LZSS_NIL) {
            if (equal_strings(text + q, key)) {
                replace_node(state, q, r);
                return;
            }
            if (text[q] == key[0])
                search_passes(state, q, r, &start, &start_right);
        }
    }
    int match_length = 0;
    int match_position = state->match_position;
    if (Track && start < LZSS_N)
        match_above(state, start, r, &match_length, &match_position);
    // The search, as bytes 1 to 17 decide; byte 0 chose the tree.
    const uint64_t raw_a = load64(key + 1);
    const uint64_t key_a = __builtin_bswap64(raw_a);
    size_t parent = start;
    size_t next = sons[2 * start + start_right];
    bool right = start_right;
    while (next != LZSS_NIL) {
        const size_t at = next;
        const uint32_t pair = sons_of(sons, at);
        const uint8_t* t = text + at;
        const uint64_t raw = load64(t + 1);
        parent = at;
        int i;  // equal leading bytes
        if (raw != raw_a) {
            const uint64_t word = __builtin_bswap64(raw);
            next = son_towards(key_a, word, pair);
            right = key_a > word;
            if (Track)
                i = 1 + (std::countl_zero(word ^ key_a) >> 3);
        } else {
            const uint64_t key_b = ordered_word(key + 9), word = ordered_word(t + 9);
            if (word != key_b) {
                i = 9 + (std::countl_zero(word ^ key_b) >> 3);
                right = key_b > word;
            } else if (key[17] != t[17]) {
                i = 17;
                right = key[17] > t[17];
            } else {
                replace_node(state, at, r);
                return;
            }
            next = right ? pair >> 16 : pair & 0xFFFF;
        }
        if (Track) {
            const bool longer = i > match_length;
            match_position = longer ? int(at) : match_position;
            match_length = longer ? i : match_length;
        }
    }
    const uint32_t no_sons = uint32_t(LZSS_NIL) << 16 | LZSS_NIL;
    std::memcpy(&sons[2 * r], &no_sons, sizeof no_sons);
    sons[2 * parent + right] = uint16_t(r);
    state->dad[r] = uint16_t(parent);
    if (Track) {
        state->match_position = match_position;
        state->match_length = match_length;
    }
    state->last_node = parent < LZSS_N ? int32_t(parent) : -1;
}

// Removes window position p from its tree; nothing when it is not in one.
void delete_node(lzss_encoder_state* state, size_t p)
{
    uint16_t* sons = state->sons;
    uint16_t* dad = state->dad;
    if (dad[p] == LZSS_NIL)
        return;
    const uint32_t pair = sons_of(sons, p);
    const size_t left = pair & 0xFFFF, right = pair >> 16;
    size_t q;
    if (left != LZSS_NIL && right != LZSS_NIL) {
        // The greatest node of the left subtree takes p's place.
        q = left;
        if (sons[2 * q + 1] != LZSS_NIL) {
            do
                q = sons[2 * q + 1];
            while (sons[2 * q + 1] != LZSS_NIL);
            const size_t q_parent = dad[q], q_left = sons[2 * q];
            sons[2 * q_parent + 1] = uint16_t(q_left);
            dad[q_left] = uint16_t(q_parent);
            sons[2 * q] = uint16_t(left);
            dad[left] = uint16_t(q);
        }
        sons[2 * q + 1] = uint16_t(right);
        dad[right] = uint16_t(q);
    } else {
        q = left ^ right ^ LZSS_NIL;  // the one son, or none
    }
    const size_t parent = dad[p];
    dad[q] = uint16_t(parent);
    link_to(sons, parent, p) = uint16_t(q);
    dad[p] = LZSS_NIL;
}

// Writes byte c at window position at, and into the copy of the window's first bytes.
void put_window_byte(uint8_t* text, size_t at, uint8_t c)
{
    text[at] = c;
    if (at < LZSS_F - 1)
        text[at + LZSS_N] = c;
}

// How many bytes up to window position newest, counted back from it, equal it: at most
// LZSS_F + 1.
int equal_bytes_ending_at(const uint8_t* text, size_t newest)
{
    int n = 1;
    while (n <= LZSS_F && text[(newest - size_t(n)) & k_window_mask] == text[newest])
        n++;
    return n;
}

// How many of the n bytes at p, from the first, equal c.
std::ptrdiff_t run_length(const uint8_t* p, std::ptrdiff_t n, uint8_t c)
{
    const uint64_t copies = 0x0101010101010101ull * c;
    std::ptrdiff_t k = 0;
    for (; k + 8 <= n; k += 8)
        if (const uint64_t differ = load64(p + k) ^ copies)
            return k + (std::countr_zero(differ) >> 3);
    while (k < n && p[k] == c)
        k++;
    return k;
}

// Removes the n window positions from at on (wrapping) from their trees, in order. Most are in
// none: those are skipped four at a time (removing a node never puts another one in a tree).
void delete_nodes(lzss_encoder_state* state, size_t at, size_t n)
{
    constexpr uint64_t none = 0x0001000100010001ull * LZSS_NIL;
    for (size_t k = 0; k < n;) {
        const size_t p = (at + k) & k_window_mask;
        uint64_t four;
        if (k + 4 <= n && p + 4 <= LZSS_N) {
            std::memcpy(&four, &state->dad[p], sizeof four);
            if (four == none) {
                k += 4;
                continue;
            }
        }
        if (state->dad[p] != LZSS_NIL)
            delete_node(state, p);
        k++;
    }
}

// Writes n copies of c from window position at on, wrapping, and into the copy of the window's
// first bytes.
void fill_window(uint8_t* text, size_t at, size_t n, uint8_t c)
{
    const size_t first = std::min(n, LZSS_N - at);
    std::memset(text + at, c, first);
    std::memset(text, c, n - first);
    for (size_t k = 0; k < LZSS_F - 1; k++)
        text[LZSS_N + k] = text[k];
}

}  // namespace

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
        init_trees(state);
        std::memset(text, 0, sizeof state->text_buf);
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
            insert_node<false>(state, size_t(state->r - k));
        insert_node<true>(state, size_t(state->r));
        state->i = 0;
        state->last_match_length = 0;
        state->step = 2;
    }

    int i = state->i;
    int last_match_length = state->last_match_length;
    int len = state->len;
    size_t r = size_t(state->r);
    size_t s = size_t(state->s);
    int mask = state->mask;
    int ptr = state->code_buf_ptr;
    uint8_t* code_buf = state->code_buf;
    auto save = [&] {
        state->i = i;
        state->last_match_length = last_match_length;
        state->len = len;
        state->r = int32_t(r);
        state->s = int32_t(s);
        state->mask = uint8_t(mask);
        state->code_buf_ptr = ptr;
    };
    // The two bytes of a match item.
    auto put_match = [&](size_t position, int length) {
        code_buf[ptr++] = uint8_t(position);
        code_buf[ptr++] = uint8_t(((position >> 4) & 0xF0) | (length - (LZSS_THRESHOLD + 1)));
    };
    // Ends an item's flag bit; the eighth writes the group. False when the inner stream failed.
    auto end_item = [&] {
        mask = (mask << 1) & 0xFF;
        if (mask != 0)
            return true;
        if (!write_group(inner, code_buf, ptr))
            return false;
        code_buf[0] = 0;
        ptr = 1;
        mask = 1;
        return true;
    };
    // Equal bytes ending at the newest one (window position s - 1 while the look-ahead is full).
    int same = equal_bytes_ending_at(text, (r + LZSS_F - 1) & k_window_mask);
    // Takes the next input byte into the window in place of the oldest one.
    auto take_byte = [&](uint8_t c) {
        if (state->dad[s] != LZSS_NIL)
            delete_node(state, s);
        put_window_byte(text, s, c);
        s = (s + 1) & k_window_mask;
        r = (r + 1) & k_window_mask;
        i++;
    };

    for (;;) {
        // Replace the bytes of the last item with new input. A position whose string equals the
        // one before it, inside a run of one byte, takes that one's place in its tree: a chain
        // of them moves the node once, to the last (the removals of old positions in between
        // touch neither end of the chain). The item coded after a run position is the match
        // with the position before, whole.
        if (i == 0 && last_match_length == LZSS_F && same > LZSS_F) {
            // Whole items of bytes that go on the run: each is the match with the position
            // before it, and the run's node, r, moves to the last position at once.
            const uint8_t c = text[r];
            const std::ptrdiff_t ahead = std::min<std::ptrdiff_t>(end - in, k_run_step_limit);
            const int items = int(run_length(in, ahead, c) / LZSS_F);
            if (items > 0) {
                const size_t run_node = r;
                const size_t taken = size_t(items) * LZSS_F;
                delete_nodes(state, s, taken);
                fill_window(text, s, taken, c);
                for (int item = 1; item < items; item++) {
                    put_match((r + size_t(item) * LZSS_F - 1) & k_window_mask, LZSS_F);
                    if (!end_item()) {
                        save();
                        return -1;
                    }
                }
                in += taken;
                s = (s + taken) & k_window_mask;
                r = (r + taken) & k_window_mask;
                i = LZSS_F;
                same += int(taken);
                replace_node(state, run_node, r);
                state->match_position = int32_t((r - 1) & k_window_mask);
                state->last_node = state->match_position;
            }
        }
        size_t run_node = LZSS_NIL;  // the node whose place the chain of run positions takes
        while (i < last_match_length && in < end) {
            const uint8_t c = *in++;
            same = 1 + (same & -int(c == text[(s - 1) & k_window_mask]));
            take_byte(c);
            if (same > LZSS_F) {
                if (run_node == LZSS_NIL)
                    run_node = (r - 1) & k_window_mask;
                while (i < last_match_length && in < end && *in == c) {
                    take_byte(*in++);
                    same++;
                }
                continue;
            }
            if (run_node != LZSS_NIL) {
                replace_node(state, run_node, (r - 1) & k_window_mask);
                run_node = LZSS_NIL;
            }
            if (i == last_match_length)
                insert_node<true>(state, r);
            else
                insert_node<false>(state, r);
        }
        if (run_node != LZSS_NIL) {
            replace_node(state, run_node, r);
            state->match_position = int32_t((r - 1) & k_window_mask);
            state->last_node = state->match_position;
        }
        if (i < last_match_length) {
            if (!final) {
                save();
                return 0;
            }
            while (i++ < last_match_length) {
                delete_node(state, s);
                s = (s + 1) & k_window_mask;
                r = (r + 1) & k_window_mask;
                if (--len)
                    insert_node<true>(state, r);
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
            put_match(size_t(state->match_position), match_length);
        }
        state->match_length = match_length;
        if (!end_item()) {
            save();
            return -1;
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
