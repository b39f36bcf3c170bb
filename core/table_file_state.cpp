#include "core/table_file_state.h"

#include "core/console_log.h"

void table_file_read(table_file_state& state, bool whole, const table_file_contents& found)
{
    state.read_whole = whole;
    state.found = found;
    state.changed = false;
    state.never_read = false;
}

void table_file_not_read(table_file_state& state)
{
    table_file_read(state, false);
    state.never_read = true;
}

void table_file_changed(table_file_state& state)
{
    state.changed = true;
}

bool table_file_may_be_written(const table_file_state& state)
{
    if (state.read_whole || state.changed)
        return true;
    if (state.never_read)
        console_log("%s sa necita a tabulka sa nezmenila, nezapisujem ho", state.file);
    else
        console_log("%s sa nenacital cely, nezapisujem ho", state.file);
    return false;
}

bool write_table_file(table_file_state& state, bool (*write)())
{
    if (!table_file_may_be_written(state) || !write())
        return false;
    table_file_read(state, true);
    return true;
}
