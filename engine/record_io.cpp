#include "engine/record_io.h"

#include "core/data_files.h"
#include "engine/packed_stream.h"

#include <algorithm>
#include <cerrno>
#include <string>

bool read_stored_record(packed_stream* stream, uint8_t* buffer, uint32_t size, uint32_t stored_size)
{
    uint32_t taken = std::min(size, stored_size);
    if (stream_read(buffer, int(taken), stream) != int(taken))
        return false;
    return skip_stream_bytes(stream, stored_size - taken);
}

bool skip_stream_bytes(packed_stream* stream, uint64_t n, uint64_t* skipped)
{
    uint8_t scratch[4096];
    uint64_t done = 0;
    while (done < n) {
        int chunk = int(std::min<uint64_t>(n - done, sizeof scratch));
        int got = stream_read(scratch, chunk, stream);
        done += uint64_t(std::max(got, 0));
        if (got != chunk)
            break;
    }
    if (skipped)
        *skipped = done;
    return done == n;
}

bool write_stream_bytes(packed_stream* stream, const void* bytes, uint32_t n)
{
    return stream_write(bytes, int(n), stream) == int(n);
}

bool read_table_head(packed_stream* stream, const char* file, const char* kept, int32_t capacity, int32_t* count,
                     uint32_t* stored_size)
{
    int64_t stored_count = stream_read_u32le(stream);
    int64_t size = stored_count < 0 ? -1 : stream_read_u32le(stream);
    if (size < 0) {
        report_damaged_file(file, "hlavicka", kept);
        return false;
    }
    *count = int32_t(uint32_t(stored_count));
    *stored_size = uint32_t(size);
    if (*count < 0 || *count > capacity) {
        const std::string where = "pocet " + std::to_string(*count) + " mimo 0 az " + std::to_string(capacity);
        report_damaged_file(file, where.c_str(), kept);
        return false;
    }
    return true;
}

void report_damaged_data_file(const char* file, const char* where, const char* kept, file_report report)
{
    if (report == file_report::once)
        report_damaged_file_once(file, where, kept);
    else
        report_damaged_file(file, where, kept);
}

packed_stream* open_data_file(const char* file, const char* kept, bool* missing, file_report report)
{
    packed_stream* in = stream_open(file, "rp");
    const bool absent = !in && errno == ENOENT;
    if (missing)
        *missing = absent;
    if (absent && report == file_report::once)
        report_missing_file_once(file, kept);
    else if (absent)
        report_missing_file(file, kept);
    else if (!in)
        report_damaged_data_file(file, "hlavicka", kept, report);
    return in;
}

int64_t close_read_file(packed_stream* stream, bool read, const char* file, const char* kept, file_report report)
{
    int64_t after = 0;
    if (stream && read) {
        uint8_t scratch[4096];
        for (int got; (got = stream_read(scratch, int(sizeof scratch), stream)) > 0;)
            after += got;
    }
    stream_close(stream);
    if (after > 0) {
        const std::string where = std::to_string(after) + " bajtov za koncom dat";
        report_damaged_data_file(file, where.c_str(), kept, report);
    }
    return after;
}
