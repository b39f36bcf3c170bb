// Large fixed tables whose unused records are never written: a page that was never written takes
// no memory, and reading it does not make it resident.
#pragma once

#include <cstring>
#include <type_traits>

// Sets every record of [first, last) to a value-initialised record, writing only the records that
// differ from one, so that those never used keep their pages untouched.
template <class Record>
void blank_records(Record* first, Record* last)
{
    static_assert(std::is_trivially_copyable_v<Record>);
    const Record blank{};
    for (Record* record = first; record != last; ++record)
        if (std::memcmp(record, &blank, sizeof blank) != 0)
            *record = blank;
}
