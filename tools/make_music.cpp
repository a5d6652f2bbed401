// Writes the game's own background piece, "Garden", as a Standard MIDI File (format 1): a calm
// D major pentatonic tune on koto and then flute over a harp arpeggio and soft strings, 76 beats a
// minute, about eighty seconds. Usage: tolbex_make_music [output file], default data/SOUNDS/GARDEN.MID.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTicksPerQuarter = 480;
constexpr int kBar = 4 * kTicksPerQuarter;

// General MIDI programs (0-based) and the channel each part plays on.
constexpr int kKoto = 107, kFlute = 73, kHarp = 46, kStrings = 48;
constexpr int kKotoChannel = 0, kFluteChannel = 1, kHarpChannel = 2, kStringsChannel = 3;

struct Event {
    int tick;
    int order;   // at one tick: controls first, then note-offs, then note-ons
    std::vector<uint8_t> bytes;
};

struct Track {
    std::string name;
    std::vector<Event> events;
    int endTick = 0;   // the track lasts at least this long: room for the last notes to ring out

    void Meta(int tick, uint8_t type, std::vector<uint8_t> data) {
        std::vector<uint8_t> b{0xFF, type, static_cast<uint8_t>(data.size())};
        b.insert(b.end(), data.begin(), data.end());
        events.push_back({tick, 0, b});
    }
    void Control(int tick, int channel, int controller, int value) {
        events.push_back({tick, 0, {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller),
                                    static_cast<uint8_t>(value)}});
    }
    void Program(int tick, int channel, int program) {
        events.push_back({tick, 0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program)}});
    }
    void Note(int tick, int length, int channel, int key, int velocity) {
        events.push_back({tick, 2, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key),
                                    static_cast<uint8_t>(velocity)}});
        events.push_back({tick + length, 1, {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 0}});
    }
};

// ---- The piece ------------------------------------------------------------------------------
// Pitches as MIDI keys: D4 = 62. The tune keeps to D E F# A B; only the harmony leaves it.
enum : int { R = 0, A3 = 57, B3 = 59, D4 = 62, E4 = 64, Fs4 = 66, A4 = 69, B4 = 71, D5 = 74, E5 = 76,
             Fs5 = 78, A5 = 81 };

struct Step {
    int key;       // R = rest
    double beats;  // quarter notes
};

// Theme A (eight bars, koto) and theme B (eight bars, flute); each bar adds up to four beats.
const std::vector<Step> kThemeA = {
    {A4, 1}, {B4, .5}, {D5, .5}, {E5, 1.5}, {D5, .5},   // D
    {B4, 2}, {A4, 1}, {Fs4, 1},                         // Bm
    {D5, 1}, {E5, .5}, {D5, .5}, {B4, 1}, {A4, 1},      // G
    {B4, 3}, {R, 1},                                    // Asus2
    {A4, 1}, {B4, .5}, {D5, .5}, {Fs5, 1.5}, {E5, .5},  // D
    {D5, 2}, {B4, 1}, {D5, 1},                          // Bm
    {E5, 1.5}, {D5, .5}, {B4, 1}, {A4, 1},              // Em7
    {D5, 3}, {R, 1},                                    // D
};
const std::vector<Step> kThemeB = {
    {R, 1}, {D5, 1}, {E5, 1}, {Fs5, 1},                 // G
    {A5, 2}, {Fs5, 1}, {E5, 1},                         // D
    {Fs5, 2}, {D5, 1}, {B4, 1},                         // Bm
    {E5, 3}, {R, 1},                                    // Asus2
    {R, 1}, {B4, 1}, {D5, 1}, {E5, 1},                  // G
    {Fs5, 1.5}, {E5, .5}, {D5, 1}, {A4, 1},             // D
    {B4, 1}, {D5, 1}, {E5, 1}, {B4, 1},                 // Em7
    {A4, 4},                                            // Asus2
};

struct Chord {
    int arpeggio[4];   // low to high, for the harp
    int pad[3];        // the strings' voicing
};
const Chord kD = {{50, 57, 62, 66}, {50, 57, 66}};
const Chord kBm = {{47, 54, 59, 62}, {47, 54, 62}};
const Chord kG = {{43, 50, 55, 59}, {43, 55, 59}};
const Chord kAsus2 = {{45, 52, 57, 59}, {45, 52, 59}};
const Chord kEm7 = {{40, 47, 50, 55}, {40, 50, 55}};

const std::vector<Chord> kHarmonyA = {kD, kBm, kG, kAsus2, kD, kBm, kEm7, kD};
const std::vector<Chord> kHarmonyB = {kG, kD, kBm, kAsus2, kG, kD, kEm7, kAsus2};

// Plays a tune from `start`; a note is held a little short of its value so that it breathes.
void PlayTune(Track& track, int start, const std::vector<Step>& tune, int channel, int transpose,
              int velocity) {
    int tick = start;
    for (const Step& step : tune) {
        const int length = static_cast<int>(step.beats * kTicksPerQuarter);
        if (step.key != R) {
            // Longer notes a touch louder: the phrase leans on them.
            const int v = std::min(127, velocity + (step.beats >= 2 ? 6 : 0));
            track.Note(tick, length * 15 / 16, channel, step.key + transpose, v);
        }
        tick += length;
    }
}

// The harp: a rising and falling broken chord in eighths, the first of each beat leaned on.
void PlayArpeggio(Track& track, int start, const std::vector<Chord>& harmony, int velocity) {
    static const int kPattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
    int tick = start;
    for (const Chord& chord : harmony) {
        for (int i = 0; i < 8; ++i) {
            const int v = velocity + (i % 2 == 0 ? 8 : 0) + (i == 0 ? 6 : 0);
            track.Note(tick + i * kTicksPerQuarter / 2, kTicksPerQuarter, kHarpChannel,
                       chord.arpeggio[kPattern[i]], v);
        }
        tick += kBar;
    }
}

void PlayPad(Track& track, int start, const std::vector<Chord>& harmony, int velocity) {
    int tick = start;
    for (const Chord& chord : harmony) {
        for (int key : chord.pad) track.Note(tick, kBar - 20, kStringsChannel, key, velocity);
        tick += kBar;
    }
}

void SetUpChannel(Track& track, int channel, int program, int volume, int pan, int reverb) {
    track.Program(0, channel, program);
    track.Control(0, channel, 7, volume);
    track.Control(0, channel, 10, pan);
    track.Control(0, channel, 91, reverb);
}

std::vector<uint8_t> Tempo(int beatsPerMinute) {
    const uint32_t micros = 60000000u / static_cast<uint32_t>(beatsPerMinute);
    return {static_cast<uint8_t>(micros >> 16), static_cast<uint8_t>(micros >> 8), static_cast<uint8_t>(micros)};
}

std::vector<Track> Compose() {
    Track conductor{"Garden", {}};
    Track koto{"Koto", {}}, flute{"Flute", {}}, harp{"Harp", {}}, strings{"Strings", {}};
    conductor.Meta(0, 0x58, {4, 2, 24, 8});   // 4/4
    conductor.Meta(0, 0x59, {2, 0});           // D major
    conductor.Meta(0, 0x51, Tempo(76));
    SetUpChannel(koto, kKotoChannel, kKoto, 100, 54, 50);
    SetUpChannel(flute, kFluteChannel, kFlute, 88, 74, 60);
    SetUpChannel(harp, kHarpChannel, kHarp, 72, 40, 55);
    SetUpChannel(strings, kStringsChannel, kStrings, 62, 64, 70);

    // A (koto), B (flute), A again with the flute an octave above the koto, then a closing chord.
    const int aStart = 0, bStart = 8 * kBar, a2Start = 16 * kBar, endStart = 24 * kBar;
    PlayTune(koto, aStart, kThemeA, kKotoChannel, 0, 78);
    PlayArpeggio(harp, aStart, kHarmonyA, 44);
    PlayPad(strings, aStart, kHarmonyA, 40);

    PlayTune(flute, bStart, kThemeB, kFluteChannel, 0, 72);
    PlayArpeggio(harp, bStart, kHarmonyB, 40);
    PlayPad(strings, bStart, kHarmonyB, 46);

    PlayTune(koto, a2Start, kThemeA, kKotoChannel, 0, 74);
    PlayTune(flute, a2Start, kThemeA, kFluteChannel, 12, 56);
    PlayArpeggio(harp, a2Start, kHarmonyA, 44);
    PlayPad(strings, a2Start, kHarmonyA, 42);

    // Slowing into the last chord: a rolled D on the harp, held with the strings and the koto.
    conductor.Meta(a2Start + 6 * kBar, 0x51, Tempo(70));
    conductor.Meta(a2Start + 7 * kBar, 0x51, Tempo(62));
    const int roll[] = {38, 45, 50, 57, 62, 66, 69};
    for (int i = 0; i < 7; ++i)
        harp.Note(endStart + i * 80, 2 * kBar - i * 80, kHarpChannel, roll[i], 50);
    for (int key : kD.pad) strings.Note(endStart, 2 * kBar, kStringsChannel, key, 40);
    koto.Note(endStart, 2 * kBar, kKotoChannel, D4 + 12, 60);
    koto.Note(endStart + kTicksPerQuarter / 4, 2 * kBar - kTicksPerQuarter / 4, kKotoChannel, A4, 50);
    // The player stops at the end of the longest track; a bar of silence lets the chord die away.
    conductor.endTick = endStart + 3 * kBar;
    return {conductor, koto, flute, harp, strings};
}

// ---- The file -------------------------------------------------------------------------------
void PutVarLength(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value);
    while (n-- > 0) out.push_back(static_cast<uint8_t>(groups[n] | (n ? 0x80 : 0)));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

std::vector<uint8_t> TrackChunk(Track track) {
    const std::vector<uint8_t> name(track.name.begin(), track.name.end());
    track.Meta(0, 0x03, name);
    std::stable_sort(track.events.begin(), track.events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    int last = 0;
    for (const Event& e : track.events) {
        PutVarLength(body, static_cast<uint32_t>(e.tick - last));
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        last = e.tick;
    }
    PutVarLength(body, static_cast<uint32_t>(std::max(0, track.endTick - last)));
    body.insert(body.end(), {0xFF, 0x2F, 0x00});   // end of track
    std::vector<uint8_t> chunk{'M', 'T', 'r', 'k'};
    Put32(chunk, static_cast<uint32_t>(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "data/SOUNDS/GARDEN.MID";
    const std::vector<Track> tracks = Compose();
    std::vector<uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    file.push_back(0);
    file.push_back(static_cast<uint8_t>(tracks.size()));
    file.push_back(kTicksPerQuarter >> 8);
    file.push_back(kTicksPerQuarter & 0xFF);
    for (const Track& track : tracks) {
        const std::vector<uint8_t> chunk = TrackChunk(track);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool written = f && std::fwrite(file.data(), 1, file.size(), f) == file.size();
    if (f) written = std::fclose(f) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("%s: %zu bytes, %zu tracks\n", path.c_str(), file.size(), tracks.size());
    return 0;
}
