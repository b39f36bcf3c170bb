#include "interface/endings.h"

#include "core/console_log.h"
#include "core/frame_timing.h"
#include "core/game_globals.h"
#include "core/hooks.h"
#include "core/settings.h"
#include "interface/interface_links.h"
#include "interface/interface_state.h"
#include "interface/slide_shows.h"
#include "interface/world_loop.h"
#include "items/items.h"
#include "platform/audio.h"
#include "script/entities.h"
#include "script/quests.h"

#include <cstdio>

ending_state g_ending;

namespace {

constexpr int32_t k_ending_entities = 19;   // entities 0 to 18 take part
constexpr int32_t k_title_background = 8;   // 8 to 13
constexpr int32_t k_title_background_last = 13;
constexpr int32_t k_titles[] = {14, 15, 16, 17, 18};  // by rank
constexpr uint32_t k_fade_wait = 3;         // a fade step every 4 ticks at most
constexpr uint32_t k_closing_wait = 200;
constexpr float k_fade_step = 0.05f;
constexpr double k_attunement_total = 111.0;

// The entities faded in during the first part, in the order they are faded.
constexpr int32_t k_first_part_fades[] = {4, 5, 16, 1, 2};

const char* const k_title_narrations[] = {"warrior", "adept", "archmage", "legend", "immortal"};

uint8_t quest_state(const char* name)
{
    int16_t quest = find_quest(name);
    return quest >= 0 ? g_quests[quest].state : 0;
}

bool flag_set(const char* name)
{
    int16_t flag = find_flag(name);
    return flag >= 0 && g_flags[flag].value != 0;
}

bool narration_playing()
{
    return g_ending.narration_stream != 0 && g_slide_narration_active(g_ending.narration_stream);
}

// The narration `name` of the language replaces the one playing.
void open_narration(const char* name)
{
    ending_state& e = g_ending;
    std::snprintf(e.narration_path, sizeof e.narration_path, "data/sound/slide/%s/%s.ogg", g_language, name);
    if (e.narration_stream) {
        audio_channel_stop(e.narration_stream);
        audio_stream_free(e.narration_stream);
    }
    e.narration_stream = audio_stream_create_file(e.narration_path, false);
    if (!e.narration_stream) {
        console_log("zaver: %s sa neda prehrat", e.narration_path);
        return;
    }
    audio_channel_set_attributes(e.narration_stream, -1, sound_volume_percent(&g_settings), -1);
    audio_stream_play(e.narration_stream);
}

void show_entity(int32_t entity, float alpha)
{
    if (uint32_t(entity) < g_entity_count)
        g_entities[entity].state = 1;
    set_entity_alpha(entity, alpha);
}

void hide_ending_entities()
{
    for (int32_t entity = 0; entity < k_ending_entities; ++entity) {
        if (uint32_t(entity) < g_entity_count)
            g_entities[entity].state = 0;
        set_entity_alpha(entity, 0.0f);
    }
}

// The shown entities among `entities` gain a fade step when one is due.
template <class Entities>
void fade_in_shown(const Entities& entities)
{
    if (!(g_ending.fade_due_tick < g_ticks))
        return;
    g_ending.fade_due_tick = g_ticks + k_fade_wait;
    for (int32_t entity : entities)
        if (uint32_t(entity) < g_entity_count && g_entities[entity].state == 1)
            raise_entity_alpha(entity, k_fade_step);
}

void begin_title_part()
{
    ending_state& e = g_ending;
    e.phase = 2;
    hide_ending_entities();
    for (int32_t entity = k_title_background; entity <= k_title_background_last; ++entity)
        show_entity(entity, 1.0f);
    const int16_t rank = count_mastered_attunements();
    show_entity(k_titles[rank], 0.0f);
    open_narration(k_title_narrations[rank]);
    e.narration_step = 0;
}

void first_part_step()
{
    ending_state& e = g_ending;
    if (e.narration_step == 0 && !narration_playing()) {
        open_narration(e.defender ? "defender" : "betrayer");
        e.narration_step = 1;
    } else if (e.narration_step == 1 && !narration_playing()) {
        e.narration_step = 2;
    }
    fade_in_shown(k_first_part_fades);
    if (e.narration_step == 2)
        begin_title_part();
}

void title_part_step()
{
    ending_state& e = g_ending;
    if (e.narration_step == 0 && !narration_playing()) {
        e.narration_step = 1;
        e.wait_due_tick = g_ticks + k_closing_wait;
    } else if (e.narration_step == 1 && e.wait_due_tick < g_ticks) {
        e.narration_step = 2;
    }
    fade_in_shown(k_titles);
    if (e.narration_step == 2)
        g_ending_end_flag = 1;
}

void draw_shown_message_window()
{
    if (g_message_shown)
        run_hook(g_interface_links.draw_message_window, "draw_message_window");
}

} // namespace

uint32_t check_benevolent_ending()
{
    const uint8_t marriage = quest_state("marriage"), appease = quest_state("appease");
    const uint8_t tharp = quest_state("tharp"), ombrikill2 = quest_state("ombrikill2");
    int16_t score = 0;
    score += (marriage == 2 || marriage == 3) ? 1 : 0;
    score += (appease >= 2 && appease <= 5) ? 1 : 0;
    score += tharp < 5 ? 1 : 0;
    score += flag_set("apprentice") ? 1 : 0;
    score -= tharp == 4 ? 1 : 0;
    score -= (ombrikill2 == 3 || ombrikill2 == 4) ? 1 : 0;
    for (const char* flag : {"branch_a1", "branch_a2", "branch_a3"})
        score -= flag_set(flag) ? 1 : 0;
    return score >= 3 ? 1 : 0;
}

uint32_t check_second_ending_branch()
{
    const uint8_t tharp = quest_state("tharp"), ombrikill = quest_state("ombrikill");
    const uint8_t ombrikill2 = quest_state("ombrikill2");
    int16_t score = 0;
    score += flag_set("sacred_boar") ? 1 : 0;
    score += tharp == 4 ? 2 : 0;
    score += (ombrikill == 2 || ombrikill == 3) ? 1 : 0;
    score += (ombrikill2 == 3 || ombrikill2 == 4) ? 1 : 0;
    score -= flag_set("lunette_letter") ? 1 : 0;
    score -= (tharp == 1 || tharp == 3) ? 1 : 0;
    return score <= 1 ? 1 : 0;
}

int16_t count_mastered_attunements()
{
    int32_t mastered = 0;
    for (int32_t id = 0; id < g_item_proto_count && id < k_item_slots; ++id) {
        const item_proto& p = g_item_protos[id];
        if (p.deleted || p.item_class != k_item_attunement)
            continue;
        if (p.size >= k_attunement_tiers) {
            console_log("zaver: schopnost %d ma stupen %d mimo 0-2, neratam ju", int(id), int(p.size));
            continue;
        }
        if (p.damage >= g_attunement_thresholds[p.size])
            ++mastered;
    }
    const int32_t percent = int32_t(double(mastered) / k_attunement_total * 100.0);
    if (percent < 50)
        return 0;
    if (percent < 74)
        return 1;
    if (percent < 89)
        return 2;
    if (percent < 99)
        return 3;
    return 4;
}

void setup_ending_scene()
{
    ending_state& e = g_ending;
    hide_ending_entities();
    e.phase = 1;
    e.narration_step = 0;
    e.benevolent = check_benevolent_ending();
    e.defender = check_second_ending_branch();
    show_entity(0, 1.0f);
    show_entity(e.benevolent ? 4 : 1, 1.0f);
    show_entity(e.defender ? 5 : 2, 1.0f);
    open_narration(e.benevolent ? "benevolant" : "mercenary");
}

void play_ending_narration()
{
    if (g_ending.phase == 1)
        first_part_step();
    else
        title_part_step();
}

void play_ending()
{
    run_world_loop(&g_ending_end_flag, draw_shown_message_window, play_ending_narration);
    g_ending_end_flag = 0;
}
