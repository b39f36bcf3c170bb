#include "world/slide_timing.h"

#include "core/data_files.h"
#include "core/text_lines.h"
#include "engine/textures.h"
#include "platform/audio.h"

#include <cstdio>
#include <string>

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

    if (data_file_path("", path).empty())
        return;
    std::FILE* file = open_text_file(path);
    if (!file) {
        report_missing_file(path, "prazdny zoznam snimok");
        return;
    }
    int count = 0;
    if (std::fscanf(file, "%d", &count) != 1) {
        report_damaged_file(path, "chyba pocet", "prazdny zoznam snimok");
        count = 0;
    } else if (count < 0) {
        report_damaged_file(path, ("pocet " + std::to_string(count)).c_str(), "prazdny zoznam snimok");
        count = 0;
    } else if (count > k_slide_list_size) {
        const std::string where = "pocet " + std::to_string(count) + " nad " + std::to_string(k_slide_list_size);
        report_damaged_file(path, where.c_str(), "prve snimky, ktore sa zmestia");
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
    if (read < count) {
        const std::string where = "konci po " + std::to_string(read) + " z " + std::to_string(count);
        report_damaged_file(path, where.c_str(), "snimky pred koncom");
    }
    t.count = read;
}
