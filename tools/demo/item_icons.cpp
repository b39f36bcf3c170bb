// The item pictures: each item drawn as what it is (a blade, a ring, a flask, ...) in its own
// colours, so that a player tells the items apart by their look.
#include "tools/demo/demo_canvas.h"
#include "tools/demo/demo_data.h"

#include <string>

namespace {

constexpr uint32_t k_steel = 0xFFC8CCD8u, k_wood = 0xFF8A5A2Cu, k_leather = 0xFF7A5030u;

// A long or short blade from the lower left to the upper right, with its guard and grip.
void blade(canvas& c, float length, uint32_t metal)
{
    const float tip = 28.0f - (24.0f - length);
    c.bar(9.0f, 23.0f, tip, 32.0f - tip, 1.8f, metal, k_ink);
    c.bar(6.0f, 20.0f, 12.0f, 26.0f, 1.3f, k_gold, k_ink);  // the guard
    c.bar(4.0f, 28.0f, 8.5f, 23.5f, 1.3f, k_leather, k_ink);  // the grip
}

// An attunement's rune: a disc of its colour carrying a glyph that the name picks.
void rune(canvas& c, uint32_t colour, int glyph)
{
    c.disc(16.0f, 16.0f, 12.5f, shade(colour, 0.55f), k_ink);
    c.ring(16.0f, 16.0f, 10.0f, 12.0f, colour);
    const uint32_t light = shade(colour, 1.5f);
    switch (glyph % 4) {
    case 0: c.bar(16.0f, 8.0f, 16.0f, 24.0f, 1.4f, light); c.bar(10.0f, 13.0f, 22.0f, 13.0f, 1.4f, light); break;
    case 1: c.triangle(16.0f, 8.0f, 23.0f, 22.0f, 9.0f, 22.0f, light); break;
    case 2: c.ring(16.0f, 16.0f, 3.5f, 6.0f, light); break;
    default: c.bar(10.0f, 10.0f, 22.0f, 22.0f, 1.4f, light); c.bar(22.0f, 10.0f, 10.0f, 22.0f, 1.4f, light); break;
    }
}

void paint(canvas& c, const std::string& name, uint32_t colour)
{
    if (name == "mec") {
        blade(c, 24.0f, colour);
    } else if (name == "dyka") {
        blade(c, 14.0f, colour);
    } else if (name == "sekera") {
        c.bar(8.0f, 28.0f, 22.0f, 6.0f, 1.5f, k_wood, k_ink);
        c.triangle(18.0f, 4.0f, 28.0f, 9.0f, 21.0f, 17.0f, colour, k_ink);
    } else if (name == "luk") {
        c.ring(6.0f, 16.0f, 12.0f, 14.0f, colour, k_ink);
        c.box(0.0f, 0.0f, 6.0f, 32.0f, 0);  // only the right half of the ring is the bow
        c.bar(6.0f, 2.5f, 6.0f, 29.5f, 0.5f, 0xFFF0F0F0u);
    } else if (name == "palica" || name == "prutik") {
        const float top = name == "palica" ? 4.0f : 10.0f;
        c.bar(8.0f, 28.0f, 24.0f - (top - 4.0f) / 2, top + 4.0f, name == "palica" ? 1.6f : 1.1f, k_wood, k_ink);
        c.disc(25.0f - (top - 4.0f) / 2, top + 2.0f, name == "palica" ? 3.5f : 2.5f, colour, k_ink);
    } else if (name == "brnenie") {
        c.triangle(6.0f, 8.0f, 26.0f, 8.0f, 16.0f, 30.0f, colour, k_ink);
        c.box(9.0f, 5.0f, 23.0f, 22.0f, colour, k_ink);
        c.box(3.0f, 6.0f, 9.0f, 14.0f, shade(colour, 0.8f), k_ink);
        c.box(23.0f, 6.0f, 29.0f, 14.0f, shade(colour, 0.8f), k_ink);
        c.disc(16.0f, 4.0f, 3.0f, 0);
    } else if (name == "zlato") {
        for (int i = 0; i < 3; ++i)
            c.disc(11.0f + 5.0f * float(i), 22.0f - 5.0f * float(i % 2) - 2.0f * float(i), 6.0f, colour, shade(colour, 0.5f));
    } else if (name == "sustredenie" || name == "esencia") {
        c.triangle(16.0f, 3.0f, 27.0f, 14.0f, 5.0f, 14.0f, shade(colour, 1.3f), k_ink);
        c.triangle(5.0f, 14.0f, 27.0f, 14.0f, 16.0f, 29.0f, colour, k_ink);
    } else if (name == "prsten" || name == "strieborny") {
        c.ring(16.0f, 18.0f, 6.5f, 10.0f, colour, k_ink);
        c.disc(16.0f, 8.0f, 3.5f, name == "prsten" ? 0xFFE03030u : 0xFF40A0F0u, k_ink);
    } else if (name == "amulet") {
        c.ring(16.0f, 11.0f, 8.0f, 9.0f, colour);
        c.disc(16.0f, 22.0f, 5.5f, 0xFF40C080u, k_ink);
    } else if (name == "elixir") {
        c.disc(16.0f, 21.0f, 8.5f, colour, k_ink);
        c.box(13.0f, 6.0f, 19.0f, 14.0f, 0xFFB0D0E0u, k_ink);
        c.box(12.0f, 3.0f, 20.0f, 6.0f, k_wood, k_ink);
    } else if (name == "zvitok") {
        c.box(7.0f, 8.0f, 25.0f, 24.0f, colour, k_ink);
        c.bar(6.0f, 8.0f, 26.0f, 8.0f, 2.0f, shade(colour, 0.8f), k_ink);
        c.bar(6.0f, 24.0f, 26.0f, 24.0f, 2.0f, shade(colour, 0.8f), k_ink);
        for (int i = 0; i < 3; ++i)
            c.bar(10.0f, 13.0f + 4.0f * float(i), 22.0f, 13.0f + 4.0f * float(i), 0.5f, k_ink);
    } else if (name == "vak") {
        c.disc(16.0f, 20.0f, 10.0f, colour, k_ink);
        c.triangle(11.0f, 6.0f, 21.0f, 6.0f, 16.0f, 13.0f, colour, k_ink);
        c.bar(11.0f, 11.0f, 21.0f, 11.0f, 1.0f, k_gold);
    } else if (name == "kapa") {
        c.disc(16.0f, 19.0f, 11.0f, colour, k_ink);  // the dome
        c.box(3.0f, 19.0f, 29.0f, 24.0f, shade(colour, 0.8f), k_ink);  // the brim
        c.bar(16.0f, 9.0f, 16.0f, 19.0f, 1.2f, shade(colour, 1.3f));  // the crest
    } else if (name == "cizmy") {
        c.box(8.0f, 5.0f, 16.0f, 24.0f, colour, k_ink);
        c.box(8.0f, 20.0f, 25.0f, 27.0f, colour, k_ink);
    } else if (name == "stit") {
        c.disc(16.0f, 16.0f, 12.0f, colour, k_ink);
        c.ring(16.0f, 16.0f, 9.0f, 11.0f, k_gold);
        c.disc(16.0f, 16.0f, 3.0f, shade(colour, 0.6f));
    } else if (name == "plast") {
        c.triangle(16.0f, 4.0f, 28.0f, 29.0f, 4.0f, 29.0f, colour, k_ink);
        c.disc(16.0f, 6.0f, 2.5f, k_gold);
    } else if (name == "nohavice") {
        c.box(8.0f, 4.0f, 24.0f, 10.0f, colour, k_ink);
        c.bar(11.0f, 9.0f, 9.0f, 28.0f, 3.0f, colour, k_ink);
        c.bar(21.0f, 9.0f, 23.0f, 28.0f, 3.0f, colour, k_ink);
    } else if (name == "narukavnik" || name == "rukavica") {
        c.box(10.0f, 4.0f, 22.0f, 18.0f, colour, k_ink);
        if (name == "rukavica")
            for (int i = 0; i < 4; ++i)
                c.bar(11.0f + 3.3f * float(i), 18.0f, 11.0f + 3.3f * float(i), 27.0f, 1.4f, colour, k_ink);
        else
            c.ring(16.0f, 11.0f, 3.0f, 4.5f, k_gold);
    } else if (name == "lampa") {
        c.disc(16.0f, 18.0f, 7.0f, 0xFFFFE080u, k_ink);
        c.frame(9, 11, 23, 26, 2, k_ink);
        c.ring(16.0f, 8.0f, 2.0f, 3.5f, k_steel, k_ink);
    } else if (name == "stred") {
        c.bar(16.0f, 4.0f, 16.0f, 28.0f, 1.5f, colour, k_ink);
        c.bar(4.0f, 16.0f, 28.0f, 16.0f, 1.5f, colour, k_ink);
    } else if (name == "ground/default00") {
        c.box(6.0f, 10.0f, 26.0f, 26.0f, colour, k_ink);
        c.bar(6.0f, 10.0f, 26.0f, 26.0f, 0.7f, k_ink);
    } else {
        // The attunements: runes of their colour, the glyph by the name.
        int glyph = 0;
        for (char ch : name)
            glyph += uint8_t(ch);
        rune(c, colour, glyph);
    }
}

} // namespace

void write_item_picture(const std::string& path, const std::string& name, uint32_t size, uint32_t colour)
{
    canvas c(size, size, 0);
    paint(c, name, colour);
    c.save(path);
}
