#include "shell/network_stubs.h"

int32_t init_network() { return 0; }
int32_t connect_network(const char*) { return 0; }
int32_t start_network_server() { return 0; }
int32_t close_network() { return 1; }
int32_t handle_network_message(uintptr_t, intptr_t, uint32_t) { return 0; }
int32_t begin_network_session() { return 0; }
int32_t send_network_text(const char*, int32_t) { return 0; }
