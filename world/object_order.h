// The order in which the object pass draws the world objects, the serial of each slot and the
// slots the behaviour step after the pass visits.
//
// Records never move for drawing: the pass walks a draw order, a permutation of the indices that
// starts as the index order, and the depth sort rearranges that permutation. A new slot at the
// end of the array is drawn last. Code that moves records (the layer sort, the editor's swap) or
// replaces the array starts the order again from the index order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct world_object;

// Brings the draw order and the serials up to the array as it now stands: a new array (not one
// grown by grow_objects) or a smaller count starts both again; slots added at the end are drawn
// after every other.
void sync_object_order();
// Starts the draw order again from the index order (records were moved).
void reset_object_order();
// grow_objects moves the records from one array to a larger one at the same indices: the order
// stays with them.
void keep_object_order_on_growth(const world_object* from, const world_object* to);

// The draw order itself: the index drawn at each position (read through object_at_draw_position).
extern std::vector<uint32_t> g_draw_order;

// The index drawn at position k of the pass, for k below g_object_count (after sync_object_order).
inline uint32_t object_at_draw_position(uint32_t k)
{
    return k < g_draw_order.size() ? g_draw_order[k] : k;
}

// The serial add_object gave the slot's object: later objects have higher serials; 0 for a record
// that did not come from add_object since the array was made.
uint32_t object_serial(uint32_t index);
// Gives the slot the next serial (add_object, for the object it just made).
void stamp_object_serial(uint32_t index);

// The slots the behaviour step after the pass visits: those the pass marked (a step due, a
// character's object, an emitter) and every slot add_object filled since the pass began. Any
// other slot's step has nothing to do: during the pass a slot's state, prototype, particle role
// and behaviour tick change only through add_object and the behaviour step itself.
void begin_behaviour_marks();
extern std::vector<uint8_t> g_behaviour_marks;  // per slot: 1 marked
inline void mark_for_behaviour(uint32_t index)
{
    if (index >= g_behaviour_marks.size())
        g_behaviour_marks.resize(size_t(index) + 1, 0);
    g_behaviour_marks[index] = 1;
}
inline bool marked_for_behaviour(uint32_t index)
{
    return index < g_behaviour_marks.size() && g_behaviour_marks[index] != 0;
}

// What the pass saw of the depth order, kept for the sort before the next pass: a visible
// depth-sorted object and a ground decal (depth-sorted flag k_depth_ground) at their draw
// positions, and the position of the first character object.
void begin_depth_pass();
void note_depth_sorted(uint32_t index, uint32_t position, uint32_t limit);
void note_ground_decal(uint32_t index, uint32_t position);
void note_char_object(uint32_t position);

// Orders the draw positions the pass noted: the depth-sorted objects by their depth keys (equal
// keys keep their order, other objects keep their positions), then the ground decals by their
// keys, together, just before the first character object (where the first of them stood when
// there is none), so that nothing standing on the ground is drawn under them. The notes are used
// up: a second sort before the next pass changes nothing.
void sort_draw_order();
