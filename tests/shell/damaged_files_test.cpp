// Every file a run of the demo reads, damaged three ways (cut to half its size, cut to seven
// bytes, its first four bytes zeroed), is named in the log as damaged and never as read, in game
// mode and in editor mode. A damaged file can hide the files it names (a level its textures), so
// each round leaves the files met so far whole and damages only those not yet met, until every
// file of the clean run has been met.
#include "shell/shell_fixture.h"

#include "core/console_log.h"
#include "level/level_map.h"
#include "platform/random.h"
#include "shell/program.h"
#include "support/file_read_log.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct damage {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
};

const damage k_damages[] = {
    {"cut to half", [](std::vector<uint8_t>& b) { b.resize(b.size() / 2); }},
    {"cut to 7 bytes", [](std::vector<uint8_t>& b) { b.resize(std::min<size_t>(b.size(), 7)); }},
    {"zeroed head", [](std::vector<uint8_t>& b) { std::fill(b.begin(), b.begin() + long(std::min<size_t>(b.size(), 4)), 0); }},
};

// Files whose format cannot show a damage: their text is whatever it holds, so a cut leaves a
// shorter text (a list of lines without a count: a shorter last line, which is a line like any
// other); a tile mask of zeros is a mask of absent tiles.
bool shows(const std::string& file, const damage& d)
{
    auto under = [&](const char* folder) { return file.rfind(folder, 0) == 0; };
    const bool free_text = under("data/dialogs/") || under("data/scripts/") || under("data/hints/") ||
                           under("data/text/") || under("data/quests/") || under("data/leveltext/") ||
                           under("global/chars_") || under("global/itemnames_") || file.ends_with("/ini");
    if (free_text)
        return std::string(d.name) == "zeroed head";
    if (file.ends_with("/maska.dat"))
        return std::string(d.name) != "zeroed head";
    // A texture pack's pixel file: its first entry's width of 0 is an empty entry.
    if (file.ends_with(".dat") && fs::exists(file.substr(0, file.size() - 3) + "idx"))
        return std::string(d.name) != "zeroed head";
    return true;
}

// Names as the log spells them: lower case, "/" between the parts.
std::string plain(std::string name)
{
    for (char& c : name)
        c = c == '\\' ? '/' : char(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

struct run_mode {
    const char* name;
    std::function<void()> run;
};

} // namespace

class damaged_files_test : public shell_test, public ::testing::WithParamInterface<int> {
protected:
    // The mode's run: start-up, a level, frames, shutdown; the files it read.
    std::vector<std::string> files_read(const run_mode& mode)
    {
        file_read_log reads;
        game_srand(1);  // the same random choices (a loading picture, a hint) as the clean run
        mode.run();
        std::vector<std::string> files;
        for (const std::string& f : reads.files())
            if (f.find(".~") == std::string::npos && f != k_console_log_file)
                files.push_back(f);
        return files;
    }

    void frames(int n)
    {
        for (int i = 0; i < n && !g_quit && program_frame(); ++i) {
        }
    }
};

TEST_P(damaged_files_test, EveryFileTheProgramReadsIsNamedWhenDamaged)
{
    const run_mode modes[] = {
        {"game", [this] { run("zorv console brana.sav", 30); }},
        {"editor",
         [this] {
             const bool started = program_startup("zorv editor");
             if (started) {
                 load_level_map("brana.sav");  // as "file" / "load map" reads it
                 frames(10);
             }
             program_shutdown(started);
         }},
    };
    const run_mode& mode = modes[GetParam()];
    const fs::path pristine = folder_->path().string() + ".whole";
    fs::copy(folder_->path(), pristine, fs::copy_options::recursive);
    const std::vector<std::string> clean = files_read(mode);
    ASSERT_GT(clean.size(), 100u);
    // The demo's own files read whole.
    std::istringstream clean_log(read_text(k_console_log_file));
    for (std::string line; std::getline(clean_log, line);)
        EXPECT_EQ(line.find(": poskodeny subor ("), std::string::npos) << line;

    for (const damage& d : k_damages) {
        SCOPED_TRACE(std::string(mode.name) + " mode, " + d.name);
        // A file stays damaged until a run has named it (or read it, when its format cannot show
        // this damage): one damaged file may keep another from being read or looked at.
        std::set<std::string> named, read_ever;
        std::map<std::string, std::string> last_said;  // what the log said of a file not yet named
        for (int round = 0; round < 8 && named.size() < clean.size(); ++round) {
            std::set<std::string> damaged;
            for (const std::string& f : clean) {
                std::vector<uint8_t> bytes = read_bytes(pristine / f);
                if (!named.count(f)) {
                    d.apply(bytes);
                    damaged.insert(f);
                }
                write_bytes(f, bytes);
            }
            const std::vector<std::string> read = files_read(mode);
            std::istringstream log(read_text(k_console_log_file));
            std::vector<std::string> lines;
            for (std::string line; std::getline(log, line);)
                lines.push_back(plain(line));
            const size_t named_before = named.size();
            for (const std::string& f : read) {
                if (!damaged.count(f))
                    continue;
                read_ever.insert(f);
                const std::string name = plain(f);
                const bool read_as_whole = std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
                    return line.find(name) != std::string::npos && line.find("nacita") != std::string::npos &&
                           line.find("nenacita") == std::string::npos;
                });
                EXPECT_FALSE(read_as_whole) << f << " is logged as read";
                const bool reported = std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
                    return line.rfind(name + ": poskodeny subor (", 0) == 0;
                });
                if (reported || !shows(f, d)) {
                    named.insert(f);
                    continue;
                }
                std::string& said = last_said[f];
                said.clear();
                for (const std::string& line : lines)
                    if (line.find(fs::path(name).filename().string()) != std::string::npos)
                        said += "\n  " + line;
            }
            if (named.size() == named_before)
                break;
        }
        for (const std::string& f : clean) {
            if (named.count(f))
                continue;
            if (read_ever.count(f))
                ADD_FAILURE() << f << " is not named as damaged; the log says:" << last_said[f];
            else
                ADD_FAILURE() << f << " was never read again";
        }
    }
    for (const std::string& f : clean)
        write_bytes(f, read_bytes(pristine / f));
    fs::remove_all(pristine);
}

INSTANTIATE_TEST_SUITE_P(GameAndEditor, damaged_files_test, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 0 ? "Game" : "Editor");
                         });
