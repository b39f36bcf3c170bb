#include "editor/store/working_path.h"

#include "core/console_log.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

constexpr size_t k_max_stored_path = 255;

} // namespace

std::string working_relative_path(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::weakly_canonical(fs::current_path(error), error);
    const fs::path full = fs::weakly_canonical(fs::absolute(fs::path(path), error), error);
    const fs::path relative = error ? fs::path() : full.lexically_relative(base);
    const std::string text = relative.generic_string();
    if (path.empty() || text.empty() || text == "." || text.rfind("..", 0) == 0) {
        console_log("subor mimo pracovneho adresara: %s", path.c_str());
        return {};
    }
    if (text.size() > k_max_stored_path) {
        console_log("prilis dlha cesta: %s", text.c_str());
        return {};
    }
    std::string out = text;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}
