// What a user interface reads of the input: the frame's events in order, typed characters, and
// the texts' conversion between Windows-1252 and UTF-8.
#include "platform/input.h"
#include "platform/key_codes.h"
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class ui_input : public ::testing::Test {
protected:
    void SetUp() override { input_reset(); }
    void TearDown() override { input_reset(); }
};

TEST_F(ui_input, KeysButtonsWheelAndTextComeInOrderOnceEach)
{
    input_inject({input_event_kind::key, k_key_a, true});
    input_inject({input_event_kind::mouse_move, 0, false, 10, 20});
    input_inject({input_event_kind::mouse_button, 0, true});
    input_inject({input_event_kind::focus_gained});
    input_inject({input_event_kind::mouse_wheel, 0, false, 0, 0, -2});
    input_event typed{input_event_kind::text};
    typed.character = 0x160; // Š
    input_inject(typed);
    input_inject({input_event_kind::mouse_button, 0, false});
    input_drain();

    std::vector<input_event> events;
    input_take_ui_events(&events);
    ASSERT_EQ(events.size(), 5u); // movement and window events are not among them
    EXPECT_EQ(events[0].kind, input_event_kind::key);
    EXPECT_EQ(events[0].code, k_key_a);
    EXPECT_EQ(events[1].kind, input_event_kind::mouse_button);
    EXPECT_TRUE(events[1].down);
    EXPECT_EQ(events[2].wheel, -2);
    EXPECT_EQ(events[3].character, 0x160u);
    EXPECT_FALSE(events[4].down);
    input_take_ui_events(&events);
    EXPECT_TRUE(events.empty());
}

TEST_F(ui_input, OnlyTheNewestEventsWaitForAReaderThatDoesNotCome)
{
    for (int i = 0; i < 600; ++i)
        input_inject({input_event_kind::mouse_wheel, 0, false, 0, 0, i});
    input_drain();
    std::vector<input_event> events;
    input_take_ui_events(&events);
    ASSERT_EQ(events.size(), 512u);
    EXPECT_EQ(events.front().wheel, 600 - 512);
    EXPECT_EQ(events.back().wheel, 599);
}

TEST(TextEncoding, Cp1252AndUtf8RoundTripAndUnknownsBecomeQuestionMarks)
{
    const std::string cp1252 = "Espa\xF1ol \x80 \x8A\x9E \xFF";
    const std::string utf8 = utf8_from_cp1252(cp1252);
    EXPECT_EQ(utf8, "Espa\xC3\xB1ol \xE2\x82\xAC \xC5\xA0\xC5\xBE \xC3\xBF");
    EXPECT_EQ(cp1252_from_utf8(utf8), cp1252);
    // Bytes the code page leaves undefined, characters it lacks, malformed and cut sequences.
    EXPECT_EQ(utf8_from_cp1252("\x81\x8D"), "??");
    EXPECT_EQ(cp1252_from_utf8("\xC4\x8D|\xF0\x9F\x98\x80|\xC3|\xE2\x82|\xC0\xAF|\xED\xA0\x80"), "?|?|?|??|??|???");

    std::string out;
    append_utf8(out, 0x1F600);
    append_utf8(out, 0x110000);
    size_t at = 0;
    EXPECT_EQ(next_utf8(out, &at), 0x1F600u);
    EXPECT_EQ(next_utf8(out, &at), 0xFFFDu);
    EXPECT_EQ(at, out.size());
}

} // namespace
