#include "PngOutput.h"

#include "Command.h"
#include "StandardOutput.h"

#include <platform/FileBytes.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <vector>

CLI::Option* addPictureOutputOption(CLI::App& subcommand, std::string& output)
{
    return subcommand.add_option("-o,--output", output, "The PNG file to write; - writes it to standard output")
        ->required()
        ->type_name("FILE.png")
        ->check(CLI::Validator([](std::string& path) { return pictureFileProblem(path); }, ""));
}

std::string pictureFileProblem(const std::string& path)
{
    if (path.empty())
        return "no output file given";
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension.empty() || strcasecmp(extension.c_str(), ".png") == 0)
        return {};
    return "'" + path + "': the picture is written as PNG; give a name ending in .png";
}

bool isStandardOutput(const std::string& path)
{
    return path == "-";
}

std::string pictureDestination(const std::string& path)
{
    return isStandardOutput(path) ? "standard output" : std::filesystem::absolute(path).string();
}

void printPictureSummary(const std::string& path, const std::string& line)
{
    if (isStandardOutput(path))
        std::fprintf(stderr, "%s\n", line.c_str());
    else
        writeOutput(line + "\n");
}

void writePng(const UIImage& image, const std::string& path)
{
    const std::vector<std::uint8_t> bytes = UIImagePNGRepresentation(&image);
    if (bytes.empty())
        throw CommandError("cannot encode the picture as PNG");
    if (isStandardOutput(path)) {
        writeOutput(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        throw CommandError("cannot write " + path + ": " + reasonFor(error)
            + (error == ENOENT ? " (the folder " + std::filesystem::path(path).parent_path().string() + " is missing)"
                               : ""));
    }
    int error = platform::writeAll(fd, { reinterpret_cast<const char*>(bytes.data()), bytes.size() }) ? 0 : errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        throw CommandError("cannot write " + path + ": " + reasonFor(error));
}
