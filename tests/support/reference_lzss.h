// An independent LZSS coder over memory, written from the textbook description of the format the
// packed streams use (4096-byte window starting zeroed with the write position at 4078, matches
// of 3 to 18 bytes, binary search trees per leading byte): what the stream's coder is checked
// and measured against.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// The textbook binary-tree LZSS encoder, written plainly for one buffer: the body (after the
// magic) that a packed stream of the same bytes must hold.
class reference_lzss_encoder {
public:
    std::vector<uint8_t> encode(const uint8_t* in, size_t size)
    {
        std::vector<uint8_t> out;
        out.reserve(size / 2);
        const uint8_t* end = in + size;
        for (int i = N + 1; i <= N + 256; i++)
            rson_[i] = NIL;
        for (int i = 0; i < N; i++)
            dad_[i] = NIL;
        std::memset(text_, 0, sizeof text_);
        uint8_t code_buf[17] = {};
        int code_buf_ptr = 1;
        uint8_t mask = 1;
        int s = 0;
        int r = N - F;
        int len = 0;
        for (; len < F && in < end; len++)
            text_[r + len] = *in++;
        if (len == 0)
            return out;
        for (int i = 1; i <= F; i++)
            insert(r - i);
        insert(r);
        do {
            if (match_length_ > len)
                match_length_ = len;
            if (match_length_ <= 2) {
                match_length_ = 1;
                code_buf[0] |= mask;
                code_buf[code_buf_ptr++] = text_[r];
            } else {
                code_buf[code_buf_ptr++] = uint8_t(match_position_);
                code_buf[code_buf_ptr++] =
                    uint8_t(((match_position_ >> 4) & 0xF0) | (match_length_ - 3));
            }
            if ((mask <<= 1) == 0) {
                out.insert(out.end(), code_buf, code_buf + code_buf_ptr);
                code_buf[0] = 0;
                code_buf_ptr = 1;
                mask = 1;
            }
            int last_match_length = match_length_;
            int i = 0;
            for (; i < last_match_length && in < end; i++) {
                uint8_t c = *in++;
                remove(s);
                text_[s] = c;
                if (s < F - 1)
                    text_[s + N] = c;
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                insert(r);
            }
            while (i++ < last_match_length) {
                remove(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len)
                    insert(r);
            }
        } while (len > 0);
        if (code_buf_ptr > 1)
            out.insert(out.end(), code_buf, code_buf + code_buf_ptr);
        return out;
    }

private:
    static constexpr int N = 4096, F = 18, NIL = N;

    void insert(int r)
    {
        int cmp = 1;
        const uint8_t* key = &text_[r];
        int p = N + 1 + key[0];
        rson_[r] = lson_[r] = NIL;
        match_length_ = 0;
        for (;;) {
            if (cmp >= 0) {
                if (rson_[p] != NIL) {
                    p = rson_[p];
                } else {
                    rson_[p] = r;
                    dad_[r] = p;
                    return;
                }
            } else {
                if (lson_[p] != NIL) {
                    p = lson_[p];
                } else {
                    lson_[p] = r;
                    dad_[r] = p;
                    return;
                }
            }
            int i = 1;
            for (; i < F; i++)
                if ((cmp = key[i] - text_[p + i]) != 0)
                    break;
            if (i > match_length_) {
                match_position_ = p;
                if ((match_length_ = i) >= F)
                    break;
            }
        }
        dad_[r] = dad_[p];
        lson_[r] = lson_[p];
        rson_[r] = rson_[p];
        dad_[lson_[p]] = r;
        dad_[rson_[p]] = r;
        if (rson_[dad_[p]] == p)
            rson_[dad_[p]] = r;
        else
            lson_[dad_[p]] = r;
        dad_[p] = NIL;
    }

    void remove(int p)
    {
        if (dad_[p] == NIL)
            return;
        int q;
        if (rson_[p] == NIL) {
            q = lson_[p];
        } else if (lson_[p] == NIL) {
            q = rson_[p];
        } else {
            q = lson_[p];
            if (rson_[q] != NIL) {
                do
                    q = rson_[q];
                while (rson_[q] != NIL);
                rson_[dad_[q]] = lson_[q];
                dad_[lson_[q]] = dad_[q];
                lson_[q] = lson_[p];
                dad_[lson_[p]] = q;
            }
            rson_[q] = rson_[p];
            dad_[rson_[p]] = q;
        }
        dad_[q] = dad_[p];
        if (rson_[dad_[p]] == p)
            rson_[dad_[p]] = q;
        else
            lson_[dad_[p]] = q;
        dad_[p] = NIL;
    }

    uint8_t text_[N + F - 1];
    int lson_[N + 1], rson_[N + 257], dad_[N + 1];
    int match_position_ = 0, match_length_ = 0;
};

// The textbook decoder: a coded body back into its bytes (an item cut short at the end is
// dropped).
inline std::vector<uint8_t> reference_lzss_decode(const uint8_t* in, size_t size)
{
    constexpr int N = 4096;
    std::vector<uint8_t> out(size * 4 + 64);
    size_t n = 0;
    uint8_t text[N] = {};
    int r = N - 18;
    const uint8_t* end = in + size;
    unsigned flags = 0;
    for (;;) {
        if (out.size() - n < 18)
            out.resize(out.size() * 2);
        if (((flags >>= 1) & 256) == 0) {
            if (in == end)
                break;
            flags = *in++ | 0xFF00u;
        }
        if (flags & 1) {
            if (in == end)
                break;
            uint8_t c = *in++;
            out[n++] = c;
            text[r++] = c;
            r &= N - 1;
        } else {
            if (end - in < 2)
                break;
            int i = in[0] | ((in[1] & 0xF0) << 4);
            int j = (in[1] & 0x0F) + 2;
            in += 2;
            for (int k = 0; k <= j; k++) {
                uint8_t c = text[(i + k) & (N - 1)];
                out[n++] = c;
                text[r++] = c;
                r &= N - 1;
            }
        }
    }
    out.resize(n);
    return out;
}
