// Composing markup into a fixed buffer one line at a time: a line is added whole or, when it
// would not fit with its terminator, left out, so that a full buffer never ends in a cut command.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

class markup_append {
public:
    // Empties `out` (of `size` bytes, at least 1).
    markup_append(char* out, size_t size) : out_(out), size_(size) { out_[0] = '\0'; }

    // Formats a line and adds it when it fits; false (nothing added) when it does not.
    bool line(const char* format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(out_ + used_, size_ - used_, format, args);
        va_end(args);
        if (n < 0 || size_t(n) >= size_ - used_) {
            out_[used_] = '\0';
            left_out_ = true;
            return false;
        }
        used_ += size_t(n);
        return true;
    }

    size_t used() const { return used_; }
    size_t room() const { return size_ - used_ - 1; }  // bytes a line may still take
    bool left_out() const { return left_out_; }

private:
    char* out_;
    size_t size_;
    size_t used_ = 0;
    bool left_out_ = false;
};
