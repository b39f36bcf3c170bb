// Internal to the level files: finishing a file written through a packed stream
// (finish_written_file, kept with the streams).
#pragma once

#include "engine/packed_stream.h"
