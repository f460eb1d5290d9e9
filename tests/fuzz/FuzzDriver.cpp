// Runs a fuzz target once over every file in the folders and files named on the
// command line, without libFuzzer: the seed corpus as a plain regression test.
// Fails when it finds no input, so that a corpus gone missing cannot pass.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" [[gnu::weak]] int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsIn(const fs::path& path)
{
    if (!fs::is_directory(path))
        return fs::is_regular_file(path) ? std::vector { path } : std::vector<fs::path> {};
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

void runOne(const fs::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    const std::string bytes { std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>() };
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i)
        for (const fs::path& file : inputsIn(argv[i])) {
            std::fprintf(stderr, "%s\n", file.c_str());
            runOne(file);
            ++count;
        }
    std::fprintf(stderr, "ran %zu inputs\n", count);
    return count ? 0 : 1;
}
