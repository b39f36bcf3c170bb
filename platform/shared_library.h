// Shared libraries opened when they are first needed. A library the program links is mapped
// into every run; one opened here costs memory only in the runs that use it.
#pragma once

#include <initializer_list>

// Opens the library by its file name as the dynamic loader searches for it ("libfoo.so.5"),
// with its symbols kept to itself; null when it cannot be opened. It stays open until exit.
void* open_shared_library(const char* file_name);

// The address of `name` in the first of `libraries` (null entries skipped) that has it, else null.
void* library_symbol(std::initializer_list<void*> libraries, const char* name);

// Sets `function` to the function `name` of `libraries`; false, with `function` null, when none has it.
template <class Function>
bool find_library_function(std::initializer_list<void*> libraries, const char* name, Function*& function)
{
    function = reinterpret_cast<Function*>(library_symbol(libraries, name));
    return function != nullptr;
}
