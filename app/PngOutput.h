// Writing a picture where -o says: a file, or standard output for "-".
#pragma once

#include <UIKit/UIImage.h>

#include <string>

// Writes the image as PNG. CommandError with the real reason when it cannot be
// written: "is a folder", "no such file or directory" (a missing folder), "no
// space left on device".
void writePng(const UIImage& image, const std::string& path);

// Whether the path asks for standard output.
bool isStandardOutput(const std::string& path);
