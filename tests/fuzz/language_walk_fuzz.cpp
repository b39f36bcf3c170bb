// A tree of folders, files and symbolic links (to ".", ".." and "/") built from any bytes, with
// names of any bytes ("/" and NUL made "\"), walked for the files English has under its code and
// for stale temporaries: every English file and every removed temporary is a regular file reached
// through real folders of the tree, in path order, and nothing outside the tree is touched.
//
// Each input byte is an action (its value modulo 7): 0 a folder, 1 a file, 2 a link to ".", 3 to
// "..", 4 to "/", each named by the following bytes (a length byte, 1 to 16, then the name); 5
// enters the last folder made, 6 leaves the current one.
#include "tests/fuzz/fuzz_byte_reader.h"
#include "tests/fuzz/fuzz_scratch.h"

#include "core/data_files.h"
#include "platform/files.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string read_name(fuzz_byte_reader& in)
{
    std::string name(size_t(in.u8() % 16 + 1), '\\');
    for (char& c : name) {
        const char byte = char(in.u8());
        c = byte == '/' || byte == 0 ? '\\' : byte;
    }
    return name;
}

void build_tree(fuzz_byte_reader& in)
{
    std::vector<std::string> inside{""};  // the folders entered, each ending in "/"
    std::string last_folder;
    for (int action = 0; action < 256 && in.at < in.size; ++action) {
        const int kind = in.u8() % 7;
        if (kind == 5) {
            if (!last_folder.empty())
                inside.push_back(last_folder);
            last_folder.clear();
            continue;
        }
        if (kind == 6) {
            if (inside.size() > 1)
                inside.pop_back();
            continue;
        }
        const std::string path = inside.back() + read_name(in);
        if (kind == 0 && mkdir(path.c_str(), 0755) == 0)
            last_folder = path + "/";
        if (kind == 1) {
            const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
            if (fd >= 0)
                close(fd);
        }
        if (kind >= 2 && kind <= 4)
            (void)symlink(kind == 2 ? "." : kind == 3 ? ".." : "/", path.c_str());
    }
}

// True when every folder part of `path` is a folder of the tree, not a link.
bool through_folders(const std::string& path)
{
    struct stat st;
    for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1))
        if (lstat(path.substr(0, slash).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    in_fuzz_folder scratch;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(".", ec))
        fs::remove_all(entry.path(), ec);
    fuzz_byte_reader in{data, size};
    build_tree(in);

    const std::vector<language_file> files = language_files("de");
    struct stat st;
    for (size_t i = 0; i < files.size(); ++i)
        if (!through_folders(files[i].english) || lstat(files[i].english.c_str(), &st) != 0 ||
            !S_ISREG(st.st_mode) || (i > 0 && files[i - 1].english >= files[i].english))
            std::abort();
    for (const std::string& removed : remove_stale_temporaries("."))
        if (!through_folders(removed) || lstat(removed.c_str(), &st) == 0 || removed.find(".~") == std::string::npos)
            std::abort();
    return 0;
}
