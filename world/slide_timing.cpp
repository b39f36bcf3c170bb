#include "world/slide_timing.h"

#include "core/console_log.h"
#include "core/text_lines.h"
#include "engine/textures.h"
#include "platform/audio.h"

#include <cstdio>

void release_slide_tiles(std::span<uint16_t> slots)
{
    for (uint16_t& slot : slots) {
        if (slot != k_no_tile)
            release_texture(slot);
        slot = k_no_tile;
    }
}

void load_slide_timing(slide_timing* timing, const char* path)
{
    slide_timing& t = *timing;
    t.running = 0;
    if (t.narration_stream) {
        audio_channel_stop(t.narration_stream);
        audio_stream_free(t.narration_stream);
    }
    t.narration_stream = 0;
    t.count = 0;
    t.index = 0;
    release_slide_tiles(tile_slots(t.current));
    release_slide_tiles(tile_slots(t.next));

    std::FILE* file = open_text_file(path);
    if (!file) {
        console_log("slide list %.100s: missing", path);
        return;
    }
    int count = 0;
    if (std::fscanf(file, "%d", &count) != 1) {
        console_log("slide list %.100s: no count", path);
        count = 0;
    } else if (count < 0) {
        console_log("slide list %.100s: count %d, no entries", path, count);
        count = 0;
    } else if (count > k_slide_list_size) {
        console_log("slide list %.100s: %d entries, the first %d kept", path, count, k_slide_list_size);
        count = k_slide_list_size;
    }
    int read = 0;
    for (; read < count; ++read) {
        int picture = 0, narration = 0;
        if (std::fscanf(file, "%d", &picture) != 1)
            break;
        t.pictures[read] = int16_t(picture);
        if (std::fscanf(file, "%d", &narration) != 1)
            break;
        t.narrations[read] = int16_t(narration);
    }
    std::fclose(file);
    if (read < count)
        console_log("slide list %.100s: ends after %d of %d entries", path, read, count);
    t.count = read;
}
