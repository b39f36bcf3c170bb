// Test helper: byte copies of plain global records, written back by restore() or when the
// object goes, so that a test leaves them as it found them.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

class saved_globals {
public:
    saved_globals() = default;
    saved_globals(const saved_globals&) = delete;
    saved_globals& operator=(const saved_globals&) = delete;
    ~saved_globals() { restore(); }

    template <class... T>
    void keep(T&... values)
    {
        (keep_one(values), ...);
    }

    // Writes every kept value back, the latest kept first, and forgets them.
    void restore()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
            std::memcpy(it->first, it->second.data(), it->second.size());
        saved_.clear();
    }

private:
    template <class T>
    void keep_one(T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
        saved_.emplace_back(&value, std::vector<uint8_t>(bytes, bytes + sizeof value));
    }

    std::vector<std::pair<void*, std::vector<uint8_t>>> saved_;
};
