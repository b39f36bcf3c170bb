// Modal loops under test: a script that runs before each pass takes its window message and
// input (where it may inject events, look at the state the last pass left, or end the loop).
// Passes are counted from 0. install() wraps the shell's pass start in g_interface_links, which
// the caller restores. One script at a time.
#pragma once

#include "interface/interface_links.h"
#include "world/world_objects.h"

#include <functional>

class pass_script {
public:
    explicit pass_script(std::function<void(int pass)> script)
    {
        current() = this;
        script_ = std::move(script);
        begin_ = g_interface_links.modal_pass_begin;
        g_interface_links.modal_pass_begin = [] {
            pass_script* self = current();
            self->script_(self->passes_++);
            return self->begin_ ? self->begin_() : true;
        };
    }
    ~pass_script()
    {
        g_interface_links.modal_pass_begin = begin_;
        current() = nullptr;
    }
    pass_script(const pass_script&) = delete;
    pass_script& operator=(const pass_script&) = delete;

    int passes() const { return passes_; }

private:
    static pass_script*& current()
    {
        static pass_script* script = nullptr;
        return script;
    }

    std::function<void(int)> script_;
    bool (*begin_)() = nullptr;
    int passes_ = 0;
};

// The alpha of the first object that entity `entity` owns; -1 when it owns none.
inline float entity_alpha(int32_t entity)
{
    for (uint32_t i = 0; i < g_object_count; ++i)
        if (g_objects[i].state && g_objects[i].entity == entity)
            return g_objects[i].alpha;
    return -1.0f;
}
