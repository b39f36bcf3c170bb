// The program has no network play: every network operation does nothing and gives a fixed result.
#pragma once

#include <cstdint>

int32_t init_network();                           // 0
int32_t connect_network(const char* address);     // 0
int32_t start_network_server();                   // 0
int32_t close_network();                          // 1
int32_t handle_network_message(uintptr_t wparam, intptr_t lparam, uint32_t code);  // 0
int32_t begin_network_session();                  // 0
int32_t send_network_text(const char* text, int32_t flags);  // 0
