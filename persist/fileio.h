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

// Writes `size` bytes to `path` through a temporary file beside it that then replaces it, so a
// crash never leaves a half-written file. False when the file cannot be written.
bool WriteFileAtomically(const char* path, const void* data, size_t size);
