// Sound effects and MIDI music over SDL2_mixer: one mixer channel for the wave files (a new sound
// cuts the one still playing), the device count for the sound-card check, and a small interpreter
// of the four sequencer command strings the music menu sends, playing MIDI through FluidSynth.
// The program does not link SDL: SDL2 is loaded by the first call that needs sound and SDL2_mixer
// (with the synthesizer behind it) by the first that plays something, so that neither costs the
// start-up its loading time and memory. Their headers give only the types and the constants.
#include "platform/qt/sound.h"

#include <QCoreApplication>
#include <QTimer>

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <thread>

#include "platform/platform.h"

namespace platform {
namespace {

// The General MIDI soundfonts Debian installs, the small one first: it loads fastest.
constexpr const char* kSoundFonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                       "/usr/share/sounds/sf2/default-GM.sf2"};
// A sound effect larger than this is not a sound effect; loading it would stall the game.
constexpr long long kMaxWaveBytes = 64ll * 1024 * 1024;
constexpr long long kMaxMidiBytes = 16ll * 1024 * 1024;
constexpr int kEffectChannel = 0;

constexpr std::string_view kOpenPrefix = "open ";
constexpr std::string_view kOpenSuffix = " type sequencer alias FichierMIDI";
constexpr std::string_view kPlay = "play FichierMIDI";
constexpr std::string_view kPause = "pause FichierMIDI";
constexpr std::string_view kClose = "close FichierMIDI";

enum class MusicState { Closed, Opened, Playing, Paused };

// The functions used, by library; each table is filled whole or not at all.
#define TOLBEX_SDL_FUNCTIONS(X) \
    X(SDL_SetHint) X(SDL_InitSubSystem) X(SDL_QuitSubSystem) X(SDL_GetNumAudioDevices) X(SDL_RWFromFile)
#define TOLBEX_MIXER_FUNCTIONS(X)                                                                   \
    X(Mix_OpenAudio) X(Mix_CloseAudio) X(Mix_Quit) X(Mix_AllocateChannels) X(Mix_SetSoundFonts)  \
    X(Mix_LoadWAV_RW) X(Mix_FreeChunk) X(Mix_PlayChannelTimed) X(Mix_HaltChannel) X(Mix_Playing) \
    X(Mix_LoadMUSType_RW) X(Mix_FreeMusic) X(Mix_PlayMusic) X(Mix_PauseMusic) X(Mix_ResumeMusic) \
    X(Mix_HaltMusic)
#define TOLBEX_DECLARE(name) decltype(&::name) name = nullptr;

struct SdlLibrary {
    TOLBEX_SDL_FUNCTIONS(TOLBEX_DECLARE)
};
struct MixerLibrary {
    TOLBEX_MIXER_FUNCTIONS(TOLBEX_DECLARE)
};

// Opens `file` (kept open for the rest of the run) and fills `table`; false when anything is missing.
template <typename Table, typename Fill>
bool LoadLibrary(const char* file, Table& table, Fill fill) {
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library) return false;
    Table loaded;
    if (!fill(library, loaded)) return false;   // a library without a function we call is no use
    table = loaded;
    return true;
}

#define TOLBEX_LOOK_UP(name) \
    ok = ok && (table.name = reinterpret_cast<decltype(table.name)>(dlsym(library, #name))) != nullptr;

SdlLibrary sdl;       // filled by StartSubsystem
MixerLibrary mix;     // filled by OpenMixer

bool LoadSdl() {
    static const bool loaded = LoadLibrary("libSDL2-2.0.so.0", sdl, [](void* library, SdlLibrary& table) {
        bool ok = true;
        TOLBEX_SDL_FUNCTIONS(TOLBEX_LOOK_UP)
        return ok;
    });
    return loaded;
}

bool LoadMixer() {
    static const bool loaded = LoadLibrary("libSDL2_mixer-2.0.so.0", mix, [](void* library, MixerLibrary& table) {
        bool ok = true;
        TOLBEX_MIXER_FUNCTIONS(TOLBEX_LOOK_UP)
        return ok;
    });
    return loaded;
}

struct Audio {
    // The audio subsystem is started by the first call that needs it; the output device is opened
    // only when something is to be played, since opening it is the expensive part. A failure is
    // remembered so that a machine without sound does not pay for it on every command.
    bool subsystemTried = false;
    bool subsystemUp = false;
    bool mixerTried = false;
    bool mixerUp = false;
    bool exitHookSet = false;
    Mix_Chunk* effect = nullptr;        // the wave file on the effect channel
    MusicState musicState = MusicState::Closed;   // what the commands have made of the alias
};

Audio& A() {
    static Audio audio;
    return audio;
}

// The file open under the alias. It is read on a worker thread: making its synthesizer loads the
// whole soundfont, a tenth of a second or more that the window would otherwise spend frozen, at
// start-up too when the settings name a file. When "play" comes before the file is ready, the
// worker starts it. Only the worker and the commands touch these fields, under `lock`; the
// mixer's own audio thread never takes it, so the mixer calls made under it cannot deadlock.
struct MusicSlot {
    std::thread loader;
    std::mutex lock;
    Mix_Music* music = nullptr;
    bool wantPlaying = false;    // "play" sent and no "pause" since
    bool started = false;        // Mix_PlayMusic has run for this file
};

MusicSlot& M() {
    // Never destroyed: CloseSound, run at exit, still needs it after static destructors ran.
    static MusicSlot* slot = new MusicSlot;
    return *slot;
}

bool StartSubsystem() {
    Audio& a = A();
    if (!a.subsystemTried) {
        a.subsystemTried = true;
        if (!LoadSdl()) return false;   // no SDL on this machine: no sound, as without a device
        // SDL would otherwise take SIGINT and SIGTERM for itself, and the game would then
        // ignore a polite request to end from the desktop or a terminal.
        sdl.SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        a.subsystemUp = sdl.SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!a.exitHookSet) {
            a.exitHookSet = true;
            std::atexit(CloseSound);
        }
    }
    return a.subsystemUp;
}

void ChooseSoundFont() {
    for (const char* font : kSoundFonts) {
        struct stat info;
        if (stat(font, &info) == 0 && S_ISREG(info.st_mode)) {
            mix.Mix_SetSoundFonts(font);
            return;
        }
    }
}

bool OpenMixer() {
    Audio& a = A();
    if (!StartSubsystem()) return false;
    if (!a.mixerTried) {
        a.mixerTried = true;
        a.mixerUp = LoadMixer() && mix.Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) == 0;
        if (a.mixerUp) {
            mix.Mix_AllocateChannels(1);
            ChooseSoundFont();
        }
    }
    return a.mixerUp;
}

// Reads the first `count` bytes of a regular file of `minBytes` to `maxBytes`; false otherwise.
bool ReadHead(const char* path, long long minBytes, long long maxBytes, char* head, size_t count) {
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < minBytes ||
        info.st_size > maxBytes)
        return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    const bool ok = std::fread(head, 1, count, file) == count;
    std::fclose(file);
    return ok;
}

bool LooksLikeWave(const char* path) {
    char head[12];
    return ReadHead(path, 44, kMaxWaveBytes, head, sizeof head) && std::memcmp(head, "RIFF", 4) == 0 &&
           std::memcmp(head + 8, "WAVE", 4) == 0;
}

// A standard MIDI file, bare or wrapped in RIFF. The mixer itself goes by the name's extension
// and would hand any file called .MID to the synthesizer.
bool LooksLikeMidi(const char* path) {
    char head[12];
    if (!ReadHead(path, 14, kMaxMidiBytes, head, sizeof head)) return false;
    return std::memcmp(head, "MThd", 4) == 0 ||
           (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "RMID", 4) == 0);
}

void StopEffect() {
    Audio& a = A();
    if (!a.effect) return;
    mix.Mix_HaltChannel(kEffectChannel);   // the mixer no longer reads the chunk after this returns
    mix.Mix_FreeChunk(a.effect);
    a.effect = nullptr;
}

// With the slot locked.
void StartIfWanted(MusicSlot& m) {
    if (m.wantPlaying && m.music && !m.started) {
        m.started = true;
        mix.Mix_PlayMusic(m.music, 0);   // once through to the end; nothing repeats it
    }
}

void LoadMusic(const std::string& path) {
    SDL_RWops* source = sdl.SDL_RWFromFile(path.c_str(), "rb");
    Mix_Music* music = source ? mix.Mix_LoadMUSType_RW(source, MUS_MID, 1) : nullptr;
    MusicSlot& m = M();
    std::lock_guard<std::mutex> hold(m.lock);
    m.music = music;
    StartIfWanted(m);
}

void CloseMusic() {
    MusicSlot& m = M();
    if (m.loader.joinable()) m.loader.join();
    if (m.music) {
        mix.Mix_HaltMusic();
        mix.Mix_FreeMusic(m.music);
        m.music = nullptr;
    }
    m.wantPlaying = false;
    m.started = false;
    A().musicState = MusicState::Closed;
}

unsigned OpenMusic(const std::string& path) {
    Audio& a = A();
    if (a.musicState != MusicState::Closed) return kMciDuplicateAlias;
    // The sequencer plays MIDI only, whatever the file is called. A file that looks like MIDI
    // but that the synthesizer then refuses is found out on the worker: it just never plays.
    if (path.empty() || !LooksLikeMidi(path.c_str())) return kMciFileNotFound;
    if (!OpenMixer()) return kMciCannotLoadDriver;
    a.musicState = MusicState::Opened;
    try {
        M().loader = std::thread(LoadMusic, path);
    } catch (const std::system_error&) {
        LoadMusic(path);   // no thread to be had: read it here
    }
    return 0;
}

unsigned PlayMusic() {
    Audio& a = A();
    if (a.musicState == MusicState::Closed) return kMciInvalidDeviceName;
    if (a.musicState == MusicState::Playing) return 0;
    MusicSlot& m = M();
    std::lock_guard<std::mutex> hold(m.lock);
    m.wantPlaying = true;
    if (a.musicState == MusicState::Paused && m.started)
        mix.Mix_ResumeMusic();   // where it was paused
    else
        StartIfWanted(m);
    a.musicState = MusicState::Playing;
    return 0;
}

unsigned PauseMusic() {
    Audio& a = A();
    if (a.musicState == MusicState::Closed) return kMciInvalidDeviceName;
    if (a.musicState == MusicState::Playing) {
        MusicSlot& m = M();
        std::lock_guard<std::mutex> hold(m.lock);
        m.wantPlaying = false;
        if (m.started) mix.Mix_PauseMusic();
        a.musicState = MusicState::Paused;
    }
    return 0;
}

// An open output device keeps the mixer's thread waking about twenty times a second, even with
// nothing to play: the device is given back once it has been silent for a while with no music
// open, and the next sound opens it again. Each sound, and closing the music, arms one look.
int idleCloseMs = 5000;
bool idleCheckArmed = false;

void CloseIfIdle();

void ArmIdleCheck() {
    if (idleCheckArmed || !A().mixerUp || !QCoreApplication::instance()) return;
    idleCheckArmed = true;
    QTimer::singleShot(idleCloseMs, QCoreApplication::instance(), CloseIfIdle);
}

void CloseIfIdle() {
    idleCheckArmed = false;
    if (!A().mixerUp || A().musicState != MusicState::Closed) return;   // closing the music arms it again
    if (mix.Mix_Playing(kEffectChannel) != 0)
        ArmIdleCheck();   // a long sound still playing: look again later
    else
        CloseSound();
}

}  // namespace

void SetSoundIdleClose(int milliseconds) { idleCloseMs = milliseconds; }

void PlaySound(const char* path) {
    // Like the system call it stands for, any request ends the sound still playing, even one
    // that then plays nothing because its file is missing or is not a wave file.
    StopEffect();
    if (!path || !*path || !LooksLikeWave(path) || !OpenMixer()) return;
    Mix_Chunk* chunk = mix.Mix_LoadWAV_RW(sdl.SDL_RWFromFile(path, "rb"), 1);
    if (!chunk) return;
    A().effect = chunk;
    if (mix.Mix_PlayChannelTimed(kEffectChannel, chunk, 0, -1) < 0) StopEffect();
    ArmIdleCheck();
}

unsigned WaveOutGetNumDevs() {
    if (!StartSubsystem()) return 0;
    const int count = sdl.SDL_GetNumAudioDevices(0);
    // Only counted: the subsystem is given back until something plays, since some drivers keep
    // a thread that wakes several times a second to look for new devices while it is up.
    if (!A().mixerUp) {
        sdl.SDL_QuitSubSystem(SDL_INIT_AUDIO);
        A().subsystemTried = A().subsystemUp = false;
    }
    // A negative count means the driver cannot list its devices, but it is up and has a default.
    if (count < 0) return 1;
    return static_cast<unsigned>(count);
}

unsigned MciSendString(const char* command) {
    if (!command) return kMciUnrecognizedCommand;
    const std::string_view text(command);
    if (text == kPlay) return PlayMusic();
    if (text == kPause) return PauseMusic();
    if (text == kClose) {
        if (A().musicState == MusicState::Closed) return kMciInvalidDeviceName;
        CloseMusic();
        ArmIdleCheck();
        return 0;
    }
    // The path is everything between the prefix and the suffix, blanks included.
    if (text.size() >= kOpenPrefix.size() + kOpenSuffix.size() && text.starts_with(kOpenPrefix) &&
        text.ends_with(kOpenSuffix))
        return OpenMusic(std::string(text.substr(
            kOpenPrefix.size(), text.size() - kOpenPrefix.size() - kOpenSuffix.size())));
    return kMciUnrecognizedCommand;
}

void CloseSound() {
    Audio& a = A();
    if (a.mixerUp) {
        StopEffect();
        CloseMusic();   // waits for a file still being read
        mix.Mix_CloseAudio();
        mix.Mix_Quit();
    }
    if (a.subsystemUp) sdl.SDL_QuitSubSystem(SDL_INIT_AUDIO);
    const bool hook = a.exitHookSet;
    a = Audio{};
    a.exitHookSet = hook;
}

}  // namespace platform
