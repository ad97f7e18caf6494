// Pictures of windows for the system tests: a PNG of 24-bit RGB rows, written with stored
// (uncompressed) deflate blocks, so that no compression library is needed on either build.
#pragma once

#include <string>

// Writes p_Rgb (p_Height rows of p_Width pixels, three bytes each, top row first) to p_Path;
// false when the file cannot be written.
bool WritePng(const char* p_Path, int p_Width, int p_Height, const std::string& p_Rgb);
