// Takes the input's lines as file names in "data/creature/" (names that cannot be files are
// left out) and lists the folder: the list must hold exactly the names that fit 19 characters,
// lower-cased, terminated and sorted.
#include "characters/creature_files.h"
#include "platform/files.h"
#include "tests/fuzz/fuzz_scratch.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <algorithm>
#include <cctype>
#include <set>
#include <vector>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    std::error_code ec;
    std::filesystem::remove_all("data/creature", ec);
    make_folder("data/creature");
    std::set<std::string> fitting;
    std::vector<std::string> expected;  // the fitting names lower-cased
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    for (int lines = 0; start <= text.size() && lines < 64; ++lines) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string name = text.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == "." || name == ".." || name.size() > 200 ||
            name.find_first_of(std::string("/\\\0", 3)) != std::string::npos)
            continue;
        std::string path = std::string(k_creature_files_folder) + name;
        write_fuzz_file(path.c_str(), data, 0);
        if (name.size() < size_t(k_creature_name_size)) {
            std::string lowered = name;
            for (char& c : lowered)
                c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
            if (fitting.insert(name).second)
                expected.push_back(lowered);
        }
    }
    make_folder("data/creature/folder");  // folders are not listed

    creature_file_list list;
    list_creature_files(&list);
    if (list.count != int16_t(fitting.size()) || list.names.size() != fitting.size())
        std::abort();
    std::sort(expected.begin(), expected.end());
    for (int16_t i = 0; i < list.count; ++i) {
        const char* name = list.names[i].name;
        if (!std::memchr(name, 0, k_creature_name_size) || expected[size_t(i)] != name)
            std::abort();
    }
    return 0;
}
