#include "XiColors.h"

#include <algorithm>
#include <cmath>

namespace larkspan::xi {

namespace {

constexpr Color Rgb(unsigned r, unsigned g, unsigned b)
{
    return r | (g << 8) | (b << 16);
}

constexpr Color none = 0xFFFFFFFF;  // a plain scheme sets no Grad colour

// Face, Grad, Dark, Light, Border of the normal, over and down sets, then
// the focus rectangle, as the scheme tables list them.
using SchemeRow = std::array<Color, 16>;

constexpr SchemeRow neoDesert{13036799, 3653375, 40168,   12183551, 22144,  11790335, 41968, 36562,
                              9820927,  22144,   2865919, 7852799,  9099775, 30647,   28838, 4227327};
constexpr SchemeRow neoSilver{15987699, 12369084, 10987431, 16250871, 6447714,  15790320, 10921638, 10658466,
                              15658734, 7697781,  13290186, 14342874, 15329769, 8158332,  5131854,  11382189};
constexpr SchemeRow silver{14737632, none,    11447982, 16250871, 6447714,  13619151, none,    7960953,
                           15658734, 7697781, 13882323, none,     15329769, 8158332,  5131854, 9079434};
// The other schemes: the same shape around their own hues.
constexpr SchemeRow neoSky{Rgb(225, 240, 255), Rgb(120, 180, 240), Rgb(40, 110, 190),  Rgb(245, 250, 255),
                           Rgb(20, 70, 140),   Rgb(210, 232, 255), Rgb(90, 160, 235),  Rgb(30, 100, 180),
                           Rgb(235, 245, 255), Rgb(20, 70, 140),   Rgb(100, 160, 230), Rgb(190, 220, 250),
                           Rgb(210, 230, 250), Rgb(30, 90, 170),   Rgb(15, 60, 120),   Rgb(60, 130, 210)};
constexpr SchemeRow neoGrass{Rgb(225, 245, 220), Rgb(120, 200, 110), Rgb(40, 130, 40),   Rgb(245, 252, 242),
                             Rgb(20, 90, 20),    Rgb(210, 240, 205), Rgb(95, 185, 85),   Rgb(30, 120, 30),
                             Rgb(235, 248, 232), Rgb(20, 90, 20),    Rgb(100, 180, 90),  Rgb(190, 230, 185),
                             Rgb(210, 238, 205), Rgb(30, 110, 30),   Rgb(15, 75, 15),    Rgb(60, 150, 60)};
constexpr SchemeRow neoRose{Rgb(255, 228, 228), Rgb(235, 130, 130), Rgb(180, 40, 40),   Rgb(255, 245, 245),
                            Rgb(130, 20, 20),   Rgb(255, 215, 215), Rgb(225, 105, 105), Rgb(170, 30, 30),
                            Rgb(255, 236, 236), Rgb(130, 20, 20),   Rgb(225, 110, 110), Rgb(250, 195, 195),
                            Rgb(250, 215, 215), Rgb(160, 30, 30),   Rgb(110, 15, 15),   Rgb(205, 70, 70)};
constexpr SchemeRow neoSun{Rgb(255, 250, 215), Rgb(245, 215, 90),  Rgb(190, 150, 20),  Rgb(255, 253, 240),
                           Rgb(140, 105, 10),  Rgb(255, 246, 200), Rgb(240, 200, 60),  Rgb(180, 140, 15),
                           Rgb(255, 250, 228), Rgb(140, 105, 10),  Rgb(235, 195, 60),  Rgb(252, 235, 160),
                           Rgb(252, 240, 190), Rgb(170, 130, 15),  Rgb(120, 90, 5),    Rgb(215, 175, 40)};
constexpr SchemeRow desert{Rgb(235, 215, 185), none, Rgb(170, 130, 80),  Rgb(250, 240, 225), Rgb(110, 80, 40),
                           Rgb(225, 200, 165), none, Rgb(150, 110, 60),  Rgb(245, 232, 212), Rgb(110, 80, 40),
                           Rgb(215, 190, 150), none, Rgb(245, 232, 212), Rgb(150, 110, 60),  Rgb(95, 65, 30),
                           Rgb(185, 140, 85)};
constexpr SchemeRow grass{Rgb(205, 235, 200), none, Rgb(90, 150, 80),   Rgb(235, 248, 232), Rgb(40, 95, 35),
                          Rgb(190, 225, 185), none, Rgb(70, 130, 60),   Rgb(225, 242, 220), Rgb(40, 95, 35),
                          Rgb(180, 215, 172), none, Rgb(225, 242, 220), Rgb(70, 130, 60),   Rgb(30, 80, 25),
                          Rgb(100, 160, 90)};
constexpr SchemeRow sky{Rgb(205, 225, 245), none, Rgb(90, 130, 180),  Rgb(235, 243, 252), Rgb(40, 75, 125),
                        Rgb(190, 212, 238), none, Rgb(70, 110, 165),  Rgb(225, 236, 250), Rgb(40, 75, 125),
                        Rgb(180, 202, 230), none, Rgb(225, 236, 250), Rgb(70, 110, 165),  Rgb(30, 60, 105),
                        Rgb(100, 145, 200)};
constexpr SchemeRow sun{Rgb(250, 240, 190), none, Rgb(185, 160, 70),  Rgb(253, 250, 230), Rgb(125, 105, 30),
                        Rgb(245, 230, 165), none, Rgb(165, 140, 50),  Rgb(250, 245, 215), Rgb(125, 105, 30),
                        Rgb(238, 222, 150), none, Rgb(250, 245, 215), Rgb(165, 140, 50),  Rgb(105, 85, 20),
                        Rgb(205, 180, 80)};
constexpr SchemeRow rose{Rgb(245, 210, 210), none, Rgb(180, 95, 95),   Rgb(252, 238, 238), Rgb(125, 45, 45),
                         Rgb(238, 195, 195), none, Rgb(160, 75, 75),   Rgb(250, 228, 228), Rgb(125, 45, 45),
                         Rgb(230, 185, 185), none, Rgb(250, 228, 228), Rgb(160, 75, 75),   Rgb(105, 35, 35),
                         Rgb(200, 110, 110)};

const SchemeRow* RowOf(Scheme scheme)
{
    switch (scheme) {
    case Scheme::NeoDesert: return &neoDesert;
    case Scheme::NeoSky: return &neoSky;
    case Scheme::NeoGrass: return &neoGrass;
    case Scheme::NeoSilver: return &neoSilver;
    case Scheme::NeoRose: return &neoRose;
    case Scheme::NeoSun: return &neoSun;
    case Scheme::Desert: return &desert;
    case Scheme::Grass: return &grass;
    case Scheme::Sky: return &sky;
    case Scheme::Sun: return &sun;
    case Scheme::Rose: return &rose;
    case Scheme::Silver: return &silver;
    case Scheme::Custom: break;
    }
    return nullptr;
}

bool IsNeo(Scheme scheme)
{
    return scheme <= Scheme::NeoSun;
}

}  // namespace

void ApplyButtonScheme(Scheme scheme, ButtonColors& colors, bool& gradient)
{
    const SchemeRow* row = RowOf(scheme);
    if (!row)
        return;
    const bool neo = IsNeo(scheme);
    for (std::size_t set = 0; set < 3; ++set)
        for (std::size_t slot = Face; slot <= Border; ++slot)
            if (const Color value = (*row)[set * 5 + slot]; value != none)
                colors[set * 6 + slot] = value;
    colors[focusRectIndex] = (*row)[15];
    if (neo) {
        for (std::size_t set : {Normal, Over, Down, Disabled})
            colors[set + Text] = 0;
        const std::array<Color, 6> disabled{15658734, 16777215, 13816530, 16777215, 8421504, 8421504};
        std::copy(disabled.begin(), disabled.end(), colors.begin() + Disabled);
    } else {
        colors[Disabled + Face] = 14869218;
        colors[Disabled + Dark] = 14211288;
        colors[Disabled + Light] = 15395562;
        colors[Disabled + Border] = 12895428;
        colors[Disabled + Text] = 8421504;
    }
    gradient = neo;
}

void ApplyPanelScheme(PanelScheme scheme, PanelColors& colors)
{
    struct Row {
        Color grad, light, dark;
    };
    Row row{};
    switch (scheme) {
    case PanelScheme::Custom: return;
    case PanelScheme::Desert: row = {10805759, 36821, 27035}; break;
    case PanelScheme::Grass: row = {11596491, 4109674, 1404727}; break;
    case PanelScheme::Silver: row = {14344414, 8224125, 6447714}; break;
    case PanelScheme::Sky: row = {16769217, 15767117, 11753728}; break;
    case PanelScheme::Rose: row = {13421823, 414156, 157}; break;
    case PanelScheme::Sun: row = {12582911, 38293, 25700}; break;
    }
    colors = {16777215, row.grad, row.light, row.dark};
}

Color RampColor(Color from, Color to, int i, int n)
{
    if (n <= 0)
        return from;
    Color result = 0;
    for (int shift : {0, 8, 16}) {
        const double start = (from >> shift) & 0xFF;
        const double end = (to >> shift) & 0xFF;
        // lrint rounds halves to the even neighbour in the default mode.
        const long channel = std::lrint(start + i * (end - start) / n);
        result |= static_cast<Color>(channel < 0 ? 0 : channel > 255 ? 255 : channel) << shift;
    }
    return result;
}

}  // namespace larkspan::xi
