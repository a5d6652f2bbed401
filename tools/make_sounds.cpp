// Makes the three default sound effects of the game as 16-bit mono PCM wave files at 22050 Hz:
// SOUND1.WAV a soft wooden tap (a tile clicked), SOUND2.WAV a two-note chime (a pair taken off),
// SOUND3.WAV a dull low thud (a click refused). Usage: tolbex_make_sounds [output folder].
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr double kPeak = 0.5;   // -6 dBFS: loud enough to hear, quiet beside most music

using Samples = std::vector<double>;

Samples Silence(double seconds) { return Samples(static_cast<size_t>(seconds * kRate), 0.0); }

// A damped sine: one resonance of a struck object, starting at `start` seconds. It rises over
// `attackSeconds` so that a strike in the middle of a sound does not click; `glide` is a short
// pitch drop at the start (a soft object giving under the blow).
void AddMode(Samples& s, double start, double freq, double amp, double decaySeconds,
             double attackSeconds = 0.0015, double glide = 0.0) {
    double phase = 0.0;
    const size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < s.size(); ++i) {
        const double t = static_cast<double>(i - first) / kRate;
        const double f = freq * (1.0 + glide * std::exp(-t / 0.03));
        phase += 2.0 * kPi * f / kRate;
        const double rise = t < attackSeconds ? t / attackSeconds : 1.0;
        s[i] += amp * rise * std::exp(-t / decaySeconds) * std::sin(phase);
    }
}

// A short burst of low-passed noise: the contact of the strike.
void AddKnock(Samples& s, double start, double amp, double decaySeconds, double smoothing) {
    uint32_t seed = 12345;
    double lowPassed = 0.0;
    const size_t first = static_cast<size_t>(start * kRate);
    for (size_t i = first; i < s.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double white = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
        lowPassed += smoothing * (white - lowPassed);
        const double t = static_cast<double>(i - first) / kRate;
        s[i] += amp * std::exp(-t / decaySeconds) * lowPassed;
    }
}

// Raised-cosine fades at both ends, so that the sound starts and stops without a click.
void Fade(Samples& s, double inSeconds, double outSeconds) {
    const size_t in = std::min(s.size(), static_cast<size_t>(inSeconds * kRate));
    const size_t out = std::min(s.size(), static_cast<size_t>(outSeconds * kRate));
    for (size_t i = 0; i < in; ++i) s[i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / in);
    for (size_t i = 0; i < out; ++i)
        s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / out);
}

void Normalise(Samples& s) {
    double peak = 0.0;
    for (double v : s) peak = std::max(peak, std::fabs(v));
    if (peak > 0.0)
        for (double& v : s) v *= kPeak / peak;
}

void Put16(std::FILE* f, uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v & 0xFF), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void Put32(std::FILE* f, uint32_t v) {
    Put16(f, static_cast<uint16_t>(v & 0xFFFF));
    Put16(f, static_cast<uint16_t>(v >> 16));
}

bool WriteWave(const std::string& path, const Samples& s) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const uint32_t dataBytes = static_cast<uint32_t>(s.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    Put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    Put32(f, 16);            // format chunk size
    Put16(f, 1);             // PCM
    Put16(f, 1);             // mono
    Put32(f, kRate);
    Put32(f, kRate * 2);     // bytes per second
    Put16(f, 2);             // block align
    Put16(f, 16);            // bits per sample
    std::fwrite("data", 1, 4, f);
    Put32(f, dataBytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        Put16(f, static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    return std::fclose(f) == 0;
}

// A fingertip on a wooden tile: a few quickly damped, inharmonic body modes and a soft knock.
Samples TileTap() {
    Samples s = Silence(0.12);
    AddMode(s, 0.0, 1180.0, 1.00, 0.018);
    AddMode(s, 0.0, 2150.0, 0.45, 0.010);
    AddMode(s, 0.0, 3470.0, 0.20, 0.006);
    AddMode(s, 0.0, 610.0, 0.35, 0.030);
    AddKnock(s, 0.0, 0.6, 0.004, 0.35);
    Fade(s, 0.0015, 0.03);
    Normalise(s);
    return s;
}

// Two small bells a major third apart (A5 then C#6), each a fundamental and a softer, faster
// dying upper partial at the ratio that makes a bell sound like a bell rather than a beep.
Samples PairChime() {
    Samples s = Silence(0.45);
    const double notes[2] = {880.0, 1108.73};
    const double starts[2] = {0.0, 0.085};
    for (int n = 0; n < 2; ++n) {
        AddMode(s, starts[n], notes[n], 1.0, 0.16, 0.004);
        AddMode(s, starts[n], notes[n] * 2.76, 0.28, 0.06, 0.004);
        AddMode(s, starts[n], notes[n] * 2.0, 0.12, 0.10, 0.004);
    }
    Fade(s, 0.004, 0.08);
    Normalise(s);
    return s;
}

// A low, muffled "no": a soft buzz at G2 whose pitch sags, made of a few low harmonics only.
Samples RefusalThud() {
    Samples s = Silence(0.22);
    for (int h = 1; h <= 5; ++h)
        AddMode(s, 0.0, 98.0 * h, 1.0 / (h * h), 0.09 - 0.01 * h, 0.006, 0.06);
    AddKnock(s, 0.0, 0.25, 0.012, 0.08);
    Fade(s, 0.006, 0.06);
    Normalise(s);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "data/SOUNDS";
    const struct {
        const char* name;
        Samples samples;
    } sounds[] = {{"SOUND1.WAV", TileTap()}, {"SOUND2.WAV", PairChime()}, {"SOUND3.WAV", RefusalThud()}};
    for (const auto& sound : sounds) {
        const std::string path = dir + "/" + sound.name;
        if (!WriteWave(path, sound.samples)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %.3f s\n", path.c_str(), static_cast<double>(sound.samples.size()) / kRate);
    }
    return 0;
}
