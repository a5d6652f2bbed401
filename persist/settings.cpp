// The settings file TOLBEX13.CFG: the options, colours and paths of the Settings record as one
// 3640-byte little-endian image, laid out by the field table below and read and written by
// walking that table. Read once at start-up, written once at exit through a temporary file.
#include "persist/settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "board/home.h"
#include "board/state.h"
#include "persist/fileio.h"
#include "persist/halloffame.h"

namespace {

constexpr unsigned kSettingsPathSize = 144;
constexpr const char* kSettingsFileName = "TOLBEX13.CFG";

enum class FieldKind : uint8_t { Reserved, Flag, Colour, Path, Choice };

// One field of the file: where it lies in the file, how long it is, and where it lives in the
// Settings record. The table is the file's layout; nothing else knows the offsets.
struct SettingsField {
    long fileOffset;
    long size;
    FieldKind kind;
    size_t memberOffset;   // into SettingsRecord; unused for the reserved block
    uint8_t maxChoice;     // Choice only: the largest value known; any other byte reads as 0
};

#define TOLBEX_FIELD(kind, member) FieldKind::kind, offsetof(SettingsRecord, member)

constexpr SettingsField kSettingsFields[] = {
    // Our own options, in the first bytes of the reserved block: a byte that is not a value we
    // know reads as 0, so that any existing file (its block written as zeros) reads as before.
    {0, 1, TOLBEX_FIELD(Choice, winnableDeals), 1},
    {1, 1, TOLBEX_FIELD(Choice, warnDeadEnds), 1},
    {2, 1, TOLBEX_FIELD(Choice, tileSize), 3},
    {3, 101, FieldKind::Reserved, 0},   // written as zero bytes, ignored when read
    {104, 1, TOLBEX_FIELD(Flag, useColors)},
    {105, 1, TOLBEX_FIELD(Flag, soundEffects)},
    {106, 1, TOLBEX_FIELD(Flag, showChrono)},
    {107, 1, TOLBEX_FIELD(Flag, showExposed)},
    {108, 4, TOLBEX_FIELD(Colour, backgroundColor)},
    {112, 4, TOLBEX_FIELD(Colour, exposedColor)},
    {116, 4, TOLBEX_FIELD(Colour, transparentColor)},
    {120, 4, TOLBEX_FIELD(Colour, levelColor[0])},
    {124, 4, TOLBEX_FIELD(Colour, levelColor[1])},
    {128, 4, TOLBEX_FIELD(Colour, levelColor[2])},
    {132, 4, TOLBEX_FIELD(Colour, levelColor[3])},
    {136, 4, TOLBEX_FIELD(Colour, levelColor[4])},
    {140, kPathSize, TOLBEX_FIELD(Path, layoutPath)},
    {640, kPathSize, TOLBEX_FIELD(Path, tileSheetPath)},
    {1140, kPathSize, TOLBEX_FIELD(Path, backgroundPath)},
    {1640, kPathSize, TOLBEX_FIELD(Path, soundClickPath)},
    {2140, kPathSize, TOLBEX_FIELD(Path, soundPairPath)},
    {2640, kPathSize, TOLBEX_FIELD(Path, soundBadClickPath)},
    {3140, kPathSize, TOLBEX_FIELD(Path, midiPath)},
};

#undef TOLBEX_FIELD

// The fields follow one another with no gap and fill the file exactly.
constexpr bool FieldsTileTheFile() {
    long next = 0;
    for (const SettingsField& f : kSettingsFields) {
        if (f.fileOffset != next) return false;
        next += f.size;
    }
    return next == kSettingsFileSize;
}
static_assert(FieldsTileTheFile(), "the settings fields must cover the 3640 bytes in order");

uint8_t* MemberOf(const SettingsField& f) {
    return reinterpret_cast<uint8_t*>(&Settings) + f.memberOffset;
}

// Stores the bytes of `field` that the file holds (`available` of them, from the field's start);
// the rest of the field keeps its value (the default, when loading), so that a field cut by the
// end of the file keeps the bytes that are there.
void ReadField(const SettingsField& field, const uint8_t* bytes, long available) {
    if (available <= 0) return;
    if (available > field.size) available = field.size;
    uint8_t* member = MemberOf(field);
    switch (field.kind) {
    case FieldKind::Reserved:
        break;
    case FieldKind::Flag:
        *member = bytes[0] != 0 ? 1 : 0;   // the menus know only 0 and 1
        break;
    case FieldKind::Choice:
        *member = bytes[0] <= field.maxChoice ? bytes[0] : 0;
        break;
    case FieldKind::Colour: {
        uint32_t value;
        std::memcpy(&value, member, sizeof value);
        for (long i = 0; i < available; ++i) {
            value &= ~(0xFFu << (8 * i));
            value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
        }
        std::memcpy(member, &value, sizeof value);
        break;
    }
    case FieldKind::Path: {
        // The text runs to its first NUL; a field without one is cut at its last byte.
        uint8_t field500[kPathSize];
        std::memcpy(field500, member, kPathSize);
        std::memcpy(field500, bytes, static_cast<size_t>(available));
        CopyTextField(reinterpret_cast<char*>(member), field500, kPathSize);
        break;
    }
    }
}

void WriteField(const SettingsField& field, uint8_t* bytes) {
    const uint8_t* member = MemberOf(field);
    switch (field.kind) {
    case FieldKind::Reserved:
        std::memset(bytes, 0, static_cast<size_t>(field.size));
        break;
    case FieldKind::Flag:
    case FieldKind::Choice:
        bytes[0] = *member;
        break;
    case FieldKind::Colour: {
        uint32_t value;
        std::memcpy(&value, member, sizeof value);
        PutU32(bytes, value);
        break;
    }
    case FieldKind::Path:
        std::memcpy(bytes, member, kPathSize);   // the whole buffer, behind the NUL too
        break;
    }
}

void SetDefaultSettings() {
    Settings.useColors = 0;
    Settings.soundEffects = 0;
    Settings.showChrono = 1;
    Settings.showExposed = 0;
    Settings.backgroundColor = 0x00C0C0C0;
    Settings.exposedColor = 0x00C0C0C0;
    Settings.transparentColor = 0x00FFFFFF;
    Settings.levelColor[0] = 0x00FFFFFF;
    Settings.levelColor[1] = 0x0000FFFF;
    Settings.levelColor[2] = 0x00FFFF00;
    Settings.levelColor[3] = 0x0000FF00;
    Settings.levelColor[4] = 0x00FF8080;
    HomePath(Settings.layoutPath, kPathSize, kDefaultLayout);
    HomePath(Settings.tileSheetPath, kPathSize, kDefaultTileSheet);
    Settings.backgroundPath[0] = '\0';
    HomePath(Settings.soundClickPath, kPathSize, kDefaultClickSound);
    HomePath(Settings.soundPairPath, kPathSize, kDefaultPairSound);
    HomePath(Settings.soundBadClickPath, kPathSize, kDefaultBadClickSound);
    Settings.midiPath[0] = '\0';
    Settings.winnableDeals = 0;
    Settings.warnDeadEnds = 0;
    Settings.tileSize = 0;
}

// Reads the first 3640 bytes of the settings file into `image`; returns how many arrived. A path
// that is not a regular file (a folder, a pipe, a device) is no file: 0 bytes, and it is opened
// without blocking so that a pipe cannot hold up the start.
long ReadSettingsImage(const char* path, uint8_t image[kSettingsFileSize]) {
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat info;
    long got = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        while (got < kSettingsFileSize) {
            const ssize_t n = ::read(fd, image + got, static_cast<size_t>(kSettingsFileSize - got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;   // the end of the file, or an error: keep what arrived
            got += static_cast<long>(n);
        }
    }
    ::close(fd);
    return got;
}

}  // namespace

bool BuildSettingsPath(char out[144]) {
    out[0] = '\0';
    char dir[kSettingsPathSize];
    unsigned length = platform::GetWindowsDirectory(dir, kSettingsPathSize);
    if (length == 0 || length >= kSettingsPathSize) return false;
    const char* separator = dir[length - 1] == '/' ? "" : "/";
    int written = std::snprintf(out, kSettingsPathSize, "%s%s%s", dir, separator, kSettingsFileName);
    if (written < 0 || written >= static_cast<int>(kSettingsPathSize)) {
        out[0] = '\0';   // a path that does not fit is no path: the file counts as absent
        return false;
    }
    return true;
}

void LoadSettings() {
    // Run-time state that starts afresh with every run; none of it is in the file.
    Board.width = 637;
    Board.height = 445;
    GameState.hours = 0;
    GameState.minutes = 0;
    GameState.seconds = 0;
    GameState.paused = 0;
    // The chrono text is otherwise written only by a running tick: show 00:00:00 until then.
    FormatTime(0, 0, 0, GameState.chronoText);
    musicPaused = 0;
    musicOn = 0;

    // Every field starts at its default; the file then overwrites the bytes it covers, so a short
    // file costs only the fields it lost, and no file (or no regular file) gives the defaults.
    SetDefaultSettings();
    char path[kSettingsPathSize];
    uint8_t image[kSettingsFileSize];
    const long got = BuildSettingsPath(path) ? ReadSettingsImage(path, image) : 0;
    for (const SettingsField& field : kSettingsFields)
        ReadField(field, image + field.fileOffset, got - field.fileOffset);
    if (Settings.layoutPath[0] == '\0') HomePath(Settings.layoutPath, kPathSize, kDefaultLayout);
}

void SaveSettings(platform::Window owner) {
    char path[kSettingsPathSize];
    if (!BuildSettingsPath(path)) return;   // no usable location: the file is never written

    // A background picture that is not loaded now, or music that is not playing, is not kept
    // for the next run.
    const bool dropBackground = BackgroundPicture.bitmap == nullptr;
    const bool dropMidi = !musicOn;

    uint8_t image[kSettingsFileSize];
    for (const SettingsField& field : kSettingsFields) {
        uint8_t* bytes = image + field.fileOffset;
        WriteField(field, bytes);
        const uint8_t* member = MemberOf(field);
        if ((dropBackground && member == reinterpret_cast<uint8_t*>(Settings.backgroundPath)) ||
            (dropMidi && member == reinterpret_cast<uint8_t*>(Settings.midiPath)))
            bytes[0] = '\0';
    }
    if (!WriteFileAtomically(path, image, sizeof image)) {
        ShowFileError(owner, path, " : write error");
        return;
    }
    if (dropBackground) Settings.backgroundPath[0] = '\0';
    if (dropMidi) Settings.midiPath[0] = '\0';
}
