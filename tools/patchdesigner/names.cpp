// Preset names of later rounds: the model's name and the round's number,
// within the 10 characters a K1 name holds.

#include <map>
#include <string>

#include "tools/patchdesigner/designer.h"

namespace designer
{
namespace
{
// Short forms of the names too long to take a number: "Grand 2", not "Grand P 2".
std::string shortName(const std::string& base)
{
    static const std::map<std::string, std::string> shortForms = {
        {"Grand Pno", "Grand"},
        {"Bright Pno", "Bright P"},
        {"Soft Piano", "Soft Pno"},
        {"Honky Tonk", "Honky"},
        {"Pno Octave", "Pno Oct"},
        {"Dark Piano", "Dark Pno"},
        {"Rock Piano", "Rock Pno"},
        {"Stage Pno", "Stage"},
        {"Tine Piano", "Tine Pno"},
        {"Chorus EP", "Chor EP"},
        {"Harpsichrd", "Harpsi"},
        {"Funk Clav", "FunkClav"},
        {"Lute Harps", "Lute"},
        {"Jazz Organ", "Jazz Org"},
        {"Rock Organ", "Rock Org"},
        {"Full Bars", "FullBars"},
        {"Church Org", "Church"},
        {"Perc Organ", "Perc Org"},
        {"Pipe Tutti", "Tutti"},
        {"Leslie Org", "Leslie"},
        {"Reed Organ", "Reed Org"},
        {"Str Ensmbl", "Str Ens"},
        {"Pizzicato", "Pizz"},
        {"Bowed Str", "Bowed"},
        {"Cello Sect", "Cellos"},
        {"Orchestra", "Orch"},
        {"Str Attack", "Str Att"},
        {"Synth Pad", "Syn Pad"},
        {"Glass Pad", "Glass"},
        {"Swell Pad", "Swell"},
        {"Sweep Pad", "Sweep"},
        {"Fifth Pad", "5th Pad"},
        {"Aah Voices", "Aahs"},
        {"Ooh Voices", "Oohs"},
        {"Big Choir", "BigChoir"},
        {"Solo Voice", "Solo Vox"},
        {"Vocal Hit", "Vox Hit"},
        {"Brass Sect", "Brass"},
        {"Big Brass", "Big Brs"},
        {"Soft Brass", "Soft Brs"},
        {"Brass Fall", "Fall"},
        {"Syn Brass", "Syn Brs"},
        {"Poly Brass", "Poly Brs"},
        {"Brass Stab", "Stab"},
        {"Jump Brass", "Jump Brs"},
        {"Saw Brass", "Saw Brs"},
        {"Fat Brass", "Fat Brs"},
        {"Pan Flute", "PanFlute"},
        {"Shakuhachi", "Shaku"},
        {"Breath Flt", "Breath"},
        {"Accordion", "Accord"},
        {"Harmonica", "Mouth Hp"},
        {"Blues Harp", "Blues Hp"},
        {"Bandoneon", "Bando"},
        {"Pick Bass", "Pick Bs"},
        {"Finger Bs", "Finger"},
        {"Pull Bass", "Pull Bs"},
        {"Slap Bass", "Slap Bs"},
        {"Digi Bass", "Digi Bs"},
        {"Wood Bass", "Wood Bs"},
        {"Mute Bass", "Mute Bs"},
        {"Deep Bass", "Deep Bs"},
        {"Pluck Bass", "Pluck Bs"},
        {"Ring Bass", "Ring Bs"},
        {"Bend Bass", "Bend Bs"},
        {"Solo Lead", "Solo Ld"},
        {"Sync Lead", "Sync Ld"},
        {"Bend Lead", "Bend Ld"},
        {"Fifth Lead", "5th Lead"},
        {"Poly Lead", "Poly Ld"},
        {"Tube Bells", "TubeBell"},
        {"Temple Bel", "Temple"},
        {"Ring Bell", "RingBell"},
        {"Music Box", "MusicBox"},
        {"Xylophone", "Xylo"},
        {"Steel Drum", "Steel Dr"},
        {"Wood Block", "Block"},
        {"Nylon Gtr", "Nylon"},
        {"Steel Gtr", "Steel"},
        {"12 String", "12 Str"},
        {"Harmonics", "Harmnics"},
        {"Rev Guitar", "Rev Gtr"},
        {"Pan Steel", "PanSteel"},
        {"Tight Snr", "Tight"},
        {"Rev Snare", "Rev Snr"},
        {"Metal Hit", "Metal"},
        {"Rain Drops", "Rain"},
        {"Space Vox", "SpaceVox"},
        {"Rev Gtr Fx", "RevGtrFx"},
        {"Heartbeat", "Heart"},
        {"Noise Hit", "Noise"},
    };
    const auto it = shortForms.find(base);
    return it == shortForms.end() ? base : it->second;
}
} // namespace

std::string roundName(const std::string& base, int round)
{
    if (round == 0)
        return base.substr(0, k1lib::kNameLength);
    const std::string number = std::to_string(round + 1);
    std::string name = base.size() + 1 + number.size() > k1lib::kNameLength ? shortName(base) : base;
    if (name.size() + 1 + number.size() > k1lib::kNameLength)
        name.resize(k1lib::kNameLength - 1 - number.size());
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    name += ' ';
    name += number;
    return name;
}
} // namespace designer
