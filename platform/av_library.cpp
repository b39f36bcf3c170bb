#include "platform/av_library.h"

#include "platform/shared_library.h"

#include <iterator>
#include <mutex>

namespace {

// The file names of the libraries, by the major versions of the headers built against.
constexpr const char* k_av_files[] = {
    "libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR),
    "libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR),
    "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR),
    "libswscale.so." AV_STRINGIFY(LIBSWSCALE_VERSION_MAJOR),
};

bool find_av_functions(av_library& av)
{
    void* files[std::size(k_av_files)] = {};
    for (size_t i = 0; i < std::size(k_av_files); ++i)
        if (!(files[i] = open_shared_library(k_av_files[i])))
            return false;
    static_assert(std::size(k_av_files) == 4);
    const std::initializer_list<void*> libraries{files[0], files[1], files[2], files[3]};
    bool found = true;
#define ZORV_AV_FIND(name) found = find_library_function(libraries, #name, av.name) && found;
    ZORV_AV_FUNCTIONS(ZORV_AV_FIND)
#undef ZORV_AV_FIND
    return found;
}

} // namespace

const av_library* load_av_library()
{
    static av_library av;
    static bool found = false;
    static std::once_flag once;
    std::call_once(once, [] {
        found = find_av_functions(av);
        if (found)
            av.av_log_set_level(AV_LOG_QUIET);
    });
    return found ? &av : nullptr;
}
