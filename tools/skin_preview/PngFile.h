#pragma once

#include <cstdint>
#include <string>

// Writes a picture of 32-bit pixels (blue, green, red, unused; rows top
// down, no gaps) as an 8-bit RGB PNG file. False when the file cannot be
// written.
bool WritePngFile(const std::wstring& path, int width, int height, const uint8_t* bgrx);

// The same picture as the bytes of a PNG file; empty on failure.
std::string EncodePng(int width, int height, const uint8_t* bgrx);
