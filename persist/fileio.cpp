// Little-endian fields, bounded text fields and crash-safe whole-file writes.
#include "persist/fileio.h"

#include <cstdio>
#include <cstring>
#include <string>

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void CopyTextField(char* dst, const uint8_t* src, size_t size) {
    if (size == 0) return;
    std::memcpy(dst, src, size);
    if (!std::memchr(src, 0, size)) dst[size - 1] = '\0';
}

bool WriteFileAtomically(const char* path, const void* data, size_t size) {
    // The temporary file lies beside the target so that the final rename stays on one file system.
    std::string temp = std::string(path) + ".tmp~";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (ok && std::rename(temp.c_str(), path) == 0) return true;
    std::remove(temp.c_str());
    return false;
}
