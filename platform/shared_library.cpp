#include "platform/shared_library.h"

#include <dlfcn.h>

void* open_shared_library(const char* file_name)
{
    return file_name ? dlopen(file_name, RTLD_NOW | RTLD_LOCAL) : nullptr;
}

void* library_symbol(std::initializer_list<void*> libraries, const char* name)
{
    for (void* library : libraries)
        if (library)
            if (void* symbol = dlsym(library, name))
                return symbol;
    return nullptr;
}
