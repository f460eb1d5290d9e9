// Writing a picture where -o says: a file, or standard output for "-".
#pragma once

#include <CLI/CLI.hpp>
#include <UIKit/UIImage.h>

#include <string>

// Adds -o,--output FILE.png to the subcommand, required and checked with
// pictureFileProblem.
CLI::Option* addPictureOutputOption(CLI::App& subcommand, std::string& output);

// Why the name cannot take a picture: none given, or a name for another kind of
// file ("x.jpg"); empty when it can. A name with no extension (a device, a pipe)
// is taken as it is.
std::string pictureFileProblem(const std::string& path);

// Writes the image as PNG. CommandError with the real reason when it cannot be
// written: "is a folder", "no such file or directory" (a missing folder), "no
// space left on device"; OutputError for standard output.
void writePng(const UIImage& image, const std::string& path);

// Whether the path asks for standard output.
bool isStandardOutput(const std::string& path);

// Where the picture went, as a summary names it: the file's absolute path, or
// "standard output".
std::string pictureDestination(const std::string& path);

// Prints the line that says what was written: on standard output, or on stderr
// when the picture itself took standard output.
void printPictureSummary(const std::string& path, const std::string& line);
