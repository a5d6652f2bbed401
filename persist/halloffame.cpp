// The Top 10 of each layout: the hh:mm:ss formatter, the 380-byte scores file beside the layout,
// the ranking of a new time, and the two dialogs of the end of a game (name, then the table).
#include "persist/halloffame.h"

#include <cstdio>
#include <cstring>

#include "board/state.h"
#include "persist/fileio.h"
#include "resources/ids.h"

namespace {

constexpr int kRowCount = 10;       // rows 0..9 are stored; row 10 is the candidate
constexpr int kRowSize = kHallOfFameRowSize;
static_assert(kRowCount * kRowSize == kScoresFileSize);

// One row in a scores file (and in a saved game), as a table of fields.
enum class RowField { Name, TimeText, Unused, Seconds };
struct RowFieldSlot {
    int offset;
    int size;
    RowField field;
};
constexpr RowFieldSlot kRowLayout[] = {
    {0, 23, RowField::Name},
    {23, 10, RowField::TimeText},
    {33, 1, RowField::Unused},      // written 0, ignored on reading
    {34, 4, RowField::Seconds},
};
static_assert(sizeof(HallOfFameEntry::name) == 23 && sizeof(HallOfFameEntry::timeText) == 10);

// "0" before a number below 10, then the number in decimal.
int FormatField(char* out, size_t size, int32_t value) {
    return std::snprintf(out, size, value < 10 ? "0%d" : "%d", static_cast<int>(value));
}

// Copies a NUL-terminated text into a field, never past the field; the rest of the field keeps
// what it held, as a text copy does.
template <size_t N>
void CopyText(char (&dst)[N], const char* src) {
    size_t n = 0;
    while (n + 1 < N && src[n] != '\0') ++n;
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

// Moves a row as a whole: the texts as texts, the time as a number.
void CopyRow(HallOfFameEntry& dst, const HallOfFameEntry& src) {
    CopyText(dst.name, src.name);
    CopyText(dst.timeText, src.timeText);
    dst.seconds = src.seconds;
}

void SwapRows(int a, int b) {
    HallOfFameEntry temp{};
    CopyRow(temp, HallOfFame[a]);
    CopyRow(HallOfFame[a], HallOfFame[b]);
    CopyRow(HallOfFame[b], temp);
}

void SetDefaultRows() {
    for (int i = 0; i < kRowCount; ++i) {
        HallOfFameEntry& row = HallOfFame[i];
        std::memset(&row, 0, sizeof row);
        CopyText(row.name, kCaption);
        FormatTime(0, 5 + i, 0, row.timeText);
        row.seconds = 300 + 60 * i;
    }
}

// Text fields without a NUL inside the field are cut at its end.
void DecodeRow(const uint8_t* in, HallOfFameEntry& row) {
    for (const RowFieldSlot& slot : kRowLayout) {
        const uint8_t* p = in + slot.offset;
        switch (slot.field) {
            case RowField::Name: CopyTextField(row.name, p, slot.size); break;
            case RowField::TimeText: CopyTextField(row.timeText, p, slot.size); break;
            case RowField::Unused: break;
            case RowField::Seconds: row.seconds = static_cast<int32_t>(GetU32(p)); break;
        }
    }
}

void EncodeRow(const HallOfFameEntry& row, uint8_t* out) {
    for (const RowFieldSlot& slot : kRowLayout) {
        uint8_t* p = out + slot.offset;
        switch (slot.field) {
            case RowField::Name: std::memcpy(p, row.name, slot.size); break;
            case RowField::TimeText: std::memcpy(p, row.timeText, slot.size); break;
            case RowField::Unused: *p = 0; break;
            case RowField::Seconds: PutU32(p, static_cast<uint32_t>(row.seconds)); break;
        }
    }
}

bool WriteScoresFile() {
    uint8_t image[kScoresFileSize];
    for (int i = 0; i < kRowCount; ++i) EncodeRow(HallOfFame[i], image + i * kRowSize);
    return WriteFileAtomically(GameState.scoresPath, image, sizeof image);
}

// The scores path is written by the layout loader; a path without its NUL names no file.
bool ScoresPathUsable() {
    return std::memchr(GameState.scoresPath, 0, sizeof GameState.scoresPath) != nullptr &&
           GameState.scoresPath[0] != '\0';
}

void ShowScoresWriteError(platform::Window window) {
    char path[sizeof GameState.scoresPath];
    CopyText(path, GameState.scoresPath);
    ShowFileError(window, path, " : write error");
}

}  // namespace

void EncodeHallOfFameRow(const HallOfFameEntry& row, uint8_t out[38]) { EncodeRow(row, out); }
void DecodeHallOfFameRow(const uint8_t in[38], HallOfFameEntry& row) { DecodeRow(in, row); }

void FormatTime(int32_t hours, int32_t minutes, int32_t seconds, char out[10]) {
    // Composed in a wide buffer, then cut to the nine characters the field holds; the chrono
    // stops at 999:59:59, which fits exactly.
    char text[48];
    int n = FormatField(text, sizeof text, hours);
    text[n++] = ':';
    n += FormatField(text + n, sizeof text - n, minutes);
    text[n++] = ':';
    FormatField(text + n, sizeof text - n, seconds);
    size_t length = std::strlen(text);
    if (length > 9) length = 9;
    std::memcpy(out, text, length);
    out[length] = '\0';
}

void LoadHallOfFame(platform::Window window) {
    hallOfFameDirty = 0;
    std::FILE* file = ScoresPathUsable() ? std::fopen(GameState.scoresPath, "rb") : nullptr;
    if (file) {
        long size = -1;
        if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
        if (size == kScoresFileSize) {
            uint8_t image[kScoresFileSize] = {};
            std::rewind(file);
            (void)std::fread(image, 1, sizeof image, file);
            std::fclose(file);
            for (int i = 0; i < kRowCount; ++i) DecodeRow(image + i * kRowSize, HallOfFame[i]);
            return;
        }
        platform::MessageBox(window, "Scores file : incorrect size", kCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        std::fclose(file);
    }
    // No usable file: the default rows, written out so that the layout has its scores file.
    SetDefaultRows();
    if (!ScoresPathUsable() || !WriteScoresFile()) ShowScoresWriteError(window);
}

bool ReadBestTime(const char* scoresPath, char out[10]) {
    out[0] = '\0';
    std::FILE* file = std::fopen(scoresPath, "rb");
    if (!file) return false;
    uint8_t image[kScoresFileSize + 1] = {};
    const size_t size = std::fread(image, 1, sizeof image, file);
    std::fclose(file);
    if (size != kScoresFileSize) return false;   // the size LoadHallOfFame accepts, no other
    // The rows are kept ranked, so the first one holds the best time.
    HallOfFameEntry best{};
    DecodeRow(image, best);
    std::memcpy(out, best.timeText, sizeof best.timeText);
    return out[0] != '\0';
}

void SaveHallOfFame(platform::Window window) {
    if (hallOfFameDirty != 1) return;
    if (!ScoresPathUsable() || !WriteScoresFile()) ShowScoresWriteError(window);
}

void SortHallOfFame(int16_t lo, int16_t hi) {
    // A quicksort on the time with the last row as pivot, kept step for step because its
    // handling of equal times is part of the rule: a new time equal to one row lands just above it.
    if (lo < 0 || hi > kRowCount) return;   // only rows 0..10 exist
    if (hi <= lo) return;
    const int32_t pivot = HallOfFame[hi].seconds;
    int i = lo - 1;
    int j = hi;
    for (;;) {
        do ++i; while (HallOfFame[i].seconds < pivot);
        do --j; while (!(HallOfFame[j].seconds <= pivot) && j != lo);
        if (i >= j) break;
        SwapRows(i, j);
    }
    SwapRows(i, hi);
    SortHallOfFame(lo, static_cast<int16_t>(i - 1));
    SortHallOfFame(static_cast<int16_t>(i + 1), hi);
}

void EnterHallOfFame(platform::Window window) {
    platform::DialogBoxParam("GAGNEDLG", window, WinDialogProc, 0);
    CopyText(HallOfFame[10].name, playerName);
    if (HallOfFame[10].seconds < HallOfFame[9].seconds) {
        SortHallOfFame(0, 10);
        platform::DialogBoxParam("JOUEURSDLG", window, TopTenDialogProc, 0);
        if (GameState.loadedGame == 1) {
            // A loaded game could be replayed from its file at will, so its time stays out of the
            // scores file; it lives in memory and in the next saved game.
            platform::MessageBox(window, "To keep your score, you have to save the game.", kCaption,
                                 platform::MB_OK | platform::MB_ICONINFORMATION);
        } else {
            hallOfFameDirty = 1;
            SaveHallOfFame(window);
        }
        return;
    }
    char name[sizeof playerName];
    char chrono[sizeof GameState.chronoText];
    CopyText(name, playerName);
    CopyText(chrono, GameState.chronoText);
    std::snprintf(winMessage, sizeof winMessage,
                  "You won %s !!!\nYour time (%s) is not enough for the hall the fame.", name, chrono);
    platform::MessageBox(window, winMessage, kCaption, platform::MB_OK | platform::MB_ICONINFORMATION);
}

intptr_t WinDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::WM_INITDIALOG) {
        platform::SetDlgItemText(dialog, IDC_WIN_NAME, "Player");
        return 1;
    }
    if (message == platform::WM_COMMAND && (wParam & 0xFFFF) == IDC_WIN_OK) {
        // At most 21 characters and the NUL.
        platform::GetDlgItemText(dialog, IDC_WIN_NAME, playerName, sizeof playerName);
        platform::EndDialog(dialog, 1);
        return 1;
    }
    return 0;
}

intptr_t TopTenDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::WM_INITDIALOG) {
        for (int k = 0; k < kRowCount; ++k) {
            char name[sizeof HallOfFame[k].name];
            char time[sizeof HallOfFame[k].timeText];
            CopyText(name, HallOfFame[k].name);
            CopyText(time, HallOfFame[k].timeText);
            platform::SetDlgItemText(dialog, IDC_TOP_NAME0 + k, name);
            platform::SetDlgItemText(dialog, IDC_TOP_TIME0 + k, time);
        }
        return 1;
    }
    if (message == platform::WM_COMMAND && (wParam & 0xFFFF) == IDC_TOP_OK) {
        platform::EndDialog(dialog, 1);
        return 1;
    }
    return 0;
}
