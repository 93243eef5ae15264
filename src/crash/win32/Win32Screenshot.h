#pragma once
#include <string>

namespace brenvik {

// Captures the primary display with the mouse cursor as an 8-bit palette
// image and writes it as a PNG file. Nothing happens for an empty path;
// false when the capture or the file fails.
bool WriteScreenshotPng(const std::string& path);

}  // namespace brenvik
