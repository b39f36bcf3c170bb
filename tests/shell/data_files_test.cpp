// The program's own data files across a run: damaged files met at start-up are logged by name and
// never as loaded, a table that did not load whole is not written back over its file, and the
// temporaries of interrupted writes are removed at start-up.
#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "engine/packed_stream.h"
#include "level/level_effects.h"
#include "shell/program.h"
#include "support/ended_process.h"
#include "support/section_files.h"

#include <filesystem>

namespace {

bool logged(const std::string& line)
{
    return read_text(k_console_log_file).find(line) != std::string::npos;
}

// "global/efects.dat" stored unpacked ("AGP."): count 3, record size 28, the first `records`
// records whole and then `extra` bytes of the next.
std::vector<uint8_t> effect_table(int records, int extra = 0)
{
    section_bytes s;
    s.u8('A').u8('G').u8('P').u8('.').u16(3).u32(k_efect_proto_size);
    for (int i = 0; i < records; ++i) {
        char name[k_efect_name_size] = {};
        std::snprintf(name, sizeof name, "effect%d", i);
        s.raw(name, sizeof name).u16(k_efect_no_slot).u16(0).u32(0x3F800000);  // scale 1.0
    }
    s.fill(size_t(extra), 'x');
    return s.bytes;
}

// The body of a packed file as read back.
std::vector<uint8_t> unpacked(const char* name)
{
    std::vector<uint8_t> body;
    packed_stream* in = stream_open(name, "rp");
    for (int c; in && (c = stream_getc(in)) >= 0;)
        body.push_back(uint8_t(c));
    stream_close(in);
    return body;
}

} // namespace

TEST_F(shell_test, AnEditorRunKeepsAnEffectTableThatDidNotLoadWhole)
{
    // Cut after no, one and two of its three records, and zeroed: each keeps its bytes.
    std::vector<std::vector<uint8_t>> damaged = {effect_table(0, 5), effect_table(1), effect_table(2, 27),
                                                 std::vector<uint8_t>(90, 0)};
    for (const auto& bytes : damaged) {
        write_bytes(k_efect_protos_file, bytes);
        run("zorv editor", 1);
        EXPECT_EQ(read_bytes(k_efect_protos_file), bytes);
        EXPECT_TRUE(logged("global/efects.dat sa nenacital cely, nezapisujem ho\n"));
    }
    EXPECT_TRUE(logged("global/efects.dat: poskodeny subor, neda sa otvorit\n"));  // the zeroed one

    // Changed by the editor, the table is written whatever it was loaded from.
    write_bytes(k_efect_protos_file, effect_table(1));
    ASSERT_TRUE(program_startup("zorv editor"));
    table_file_changed(g_efect_protos_file);
    program_shutdown(true);
    std::vector<uint8_t> body = unpacked(k_efect_protos_file);
    std::vector<uint8_t> one = effect_table(1);
    one[4] = 1;  // the count of the records read
    EXPECT_EQ(body, std::vector<uint8_t>(one.begin() + 4, one.end()));

    // A whole table is written back (packed now) with the same records.
    std::vector<uint8_t> whole = effect_table(3);
    write_bytes(k_efect_protos_file, whole);
    run("zorv editor", 1);
    std::vector<uint8_t> rewritten = read_bytes(k_efect_protos_file);
    ASSERT_GE(rewritten.size(), 4u);
    EXPECT_EQ(std::string(rewritten.begin(), rewritten.begin() + 4), "AGP!");
    EXPECT_EQ(unpacked(k_efect_protos_file), std::vector<uint8_t>(whole.begin() + 4, whole.end()));
}

TEST_F(shell_test, StartUpRemovesTheTemporariesOfInterruptedWrites)
{
    const std::string dead = std::to_string(ended_process_id()), live = std::to_string(getppid());
    const std::vector<std::string> stale = {"config.cfg.~" + dead + "-1", "global/efects.dat.~" + dead + "-2",
                                            "save/slot1.sav.~" + dead + "-3",
                                            "data/levels/brana.sav.~" + dead + "-4"};
    const std::vector<std::string> kept = {"global/efects.dat.~" + live + "-1",  // its writer still runs
                                           "data/objects/torch.pr.~" + dead + "-5"};  // not a folder written
    for (const auto& name : stale)
        write_text(name, "part");
    for (const auto& name : kept)
        write_text(name, "part");
    run("zorv console", 1);
    for (const auto& name : stale) {
        EXPECT_FALSE(std::filesystem::exists(name)) << name;
        EXPECT_TRUE(logged("zmazal som zvysok nedokonceneho zapisu " + name + "\n")) << name;
    }
    for (const auto& name : kept)
        EXPECT_TRUE(std::filesystem::exists(name)) << name;
}

TEST_F(shell_test, DamagedStartUpFilesAreLoggedByNameAndNeverAsLoaded)
{
    const char* const damage[] = {
        "config.cfg: poskodeny subor, 14 z 16 poloziek ostava predvolenych\n",
        "global/main.fn: poskodeny subor\n",
        "prtyp global/mouse.txt: subor konci predcasne\n",
        "could not create texture from file: global\\cursor00.tga\n",
        "texture pack index data/levels/main_eng.idx: 0 entries in 624 bytes\n",
    };
    // The demo's files load without a word about them.
    run("zorv console", 1);
    EXPECT_TRUE(logged("nacital som prototyp global/mouse.txt\n"));
    for (const char* line : damage)
        EXPECT_FALSE(logged(line)) << line;

    auto zeroed = [](const char* name) {
        write_bytes(name, std::vector<uint8_t>(read_bytes(name).size(), 0));
    };
    write_text("config.cfg", "gr_gamma= 0\ngr_force16bit= 0\ngr_disp");
    zeroed("global/main.fn");
    write_text("global/mouse.txt", "mouse kind 0\r\nwidth 32 height 32\r\n"
                                   "frames 1 : global\\cursor00.tga\r\nmode 1 delay");
    write_text("global/cursor00.tga", "not an image");
    zeroed("data/levels/main_eng.idx");
    run("zorv console", 1);
    for (const char* line : damage)
        EXPECT_TRUE(logged(line)) << line;
    EXPECT_FALSE(logged("nacital som prototyp global/mouse.txt"));

    std::filesystem::remove("config.cfg");
    std::filesystem::remove("global/main.fn");
    run("zorv console", 1);
    EXPECT_TRUE(logged("config.cfg chyba, beriem predvolene nastavenia\n"));
    EXPECT_TRUE(logged("global/main.fn: subor chyba\n"));
}
