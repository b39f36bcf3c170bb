// Paths the editor stores in the data: a chosen file's path relative to the working folder,
// with "\" between its parts as the data spells them.
#pragma once

#include <string>

// The path relative to the working folder with "\" separators; empty (logged) when the file does
// not lie below the working folder or the result is longer than 255 characters.
std::string working_relative_path(const std::string& path);
