// A library that writes a file when asked, for checking that a write is put down
// to the library that made it.
#include <fstream>

extern "C" __attribute__((visibility("default"))) void writeProbeFile(const char* path)
{
    std::ofstream(path) << "written by the probe\n";
}
