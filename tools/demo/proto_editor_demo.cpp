// What the prototype editor offers on the demo data: the filter names of "global/select.txt"
// (the gate level's prototypes) and the surface tile folder's "size.txt" and "mask.dat", from
// which the editor builds a surface of the meadow's tiles.
#include "tools/demo/demo_data.h"

#include "platform/files.h"

#include <string>
#include <vector>

void write_proto_editor_demo_data()
{
    const std::string select = "5\r\nmeadow\r\ntorch\r\nwheel\r\nsparks\r\ncrate\r\n";
    require(write_whole_file("global/select.txt", select.data(), select.size()), "global/select.txt");
    const std::string size = "4 3\r\n";
    require(write_whole_file("data/tiles/meadow/size.txt", size.data(), size.size()), "size.txt");
    // The mask of the level's meadow: the last tile of the middle row left out.
    std::vector<uint8_t> mask(4 * 3, 0);
    mask[3 + 1 * 4] = 1;
    require(write_whole_file("data/tiles/meadow/mask.dat", mask.data(), mask.size()), "mask.dat");
}
