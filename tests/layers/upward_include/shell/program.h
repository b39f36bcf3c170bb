// The shell may include the engine below it.
#pragma once

#include "engine/draws.h"
