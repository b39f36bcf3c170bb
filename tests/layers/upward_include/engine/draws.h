// An engine header that reaches up into the shell: the layer check must refuse it.
#pragma once

#include "shell/program.h"
