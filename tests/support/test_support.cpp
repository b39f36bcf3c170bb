#include "support/temp_folder.h"

#include "core/console_log.h"
#include "core/data_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

// Tests run without a screen or a sound card: SDL's offscreen video and dummy audio drivers,
// unless the caller chose others. Set before any test opens SDL.
const bool k_headless_drivers = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

} // namespace

temp_folder::temp_folder()
{
    previous_ = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "zorv-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    std::filesystem::current_path(path_);
    reported_before_.swap(g_files_reported_once);
    states_before_.swap(g_logged_states);
}

temp_folder::~temp_folder()
{
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
    g_files_reported_once.swap(reported_before_);
    g_logged_states.swap(states_before_);
}

std::vector<uint8_t> read_bytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string read_text(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void write_text(const std::filesystem::path& file, const std::string& text)
{
    write_bytes(file, std::vector<uint8_t>(text.begin(), text.end()));
}
