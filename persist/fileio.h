// Small helpers shared by the file routines: little-endian fields, bounded text fields, whole-
// file reads, and writes that replace a file only once the new one is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

void PutU16(uint8_t* p, uint16_t v);
void PutU32(uint8_t* p, uint32_t v);
uint16_t GetU16(const uint8_t* p);
uint32_t GetU32(const uint8_t* p);

// Copies a NUL-terminated text field of `size` bytes read from a file; a field without a NUL is
// cut at its end (the last byte becomes NUL).
void CopyTextField(char* dst, const uint8_t* src, size_t size);

// Writes `size` bytes to `path` through a temporary file of its own beside it, synced to disk and
// then renamed over the old file, so that a crash, a power cut or a second writer never leaves a
// short file. A symbolic link is written through (it stays a link); the file keeps its
// permissions; a read-only file is refused and left as it is. False when the file cannot be
// written, and then nothing is left behind.
bool WriteFileAtomically(const char* path, const void* data, size_t size);
