// Runs a fuzz target over files, as libFuzzer does when it is given files instead of a corpus
// to grow: every regular file named on the command line, and every regular file inside a folder
// named there (in name order, so that a run is reproducible), passes once through
// LLVMFuzzerTestOneInput. A target signals a failure by aborting, so a run that returns passed.
//
// This is what the fuzz targets become in builds without libFuzzer (GCC, the release and
// sanitizer configurations): the committed corpus, seeds and the inputs of past crashes alike,
// then runs as an ordinary test.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv) __attribute__ ((weak));

namespace
{
std::vector<uint8_t> readFile (const std::filesystem::path& path)
{
    std::ifstream in (path, std::ios::binary);
    return { std::istreambuf_iterator<char> (in), std::istreambuf_iterator<char>() };
}
}   // namespace

int main (int argc, char** argv)
{
    if (LLVMFuzzerInitialize != nullptr)
        LLVMFuzzerInitialize (&argc, &argv);

    std::vector<std::filesystem::path> files;

    for (int i = 1; i < argc; ++i)
    {
        const std::filesystem::path path (argv[i]);

        if (std::filesystem::is_directory (path))
        {
            std::vector<std::filesystem::path> inFolder;

            for (const auto& entry : std::filesystem::directory_iterator (path))
                if (entry.is_regular_file())
                    inFolder.push_back (entry.path());

            std::sort (inFolder.begin(), inFolder.end());
            files.insert (files.end(), inFolder.begin(), inFolder.end());
        }
        else if (std::filesystem::is_regular_file (path))
        {
            files.push_back (path);
        }
        else
        {
            std::fprintf (stderr, "no such file or folder: %s\n", argv[i]);
            return 2;
        }
    }

    if (files.empty())
    {
        std::fprintf (stderr, "no input to replay\n");
        return 2;
    }

    for (const auto& file : files)
    {
        const auto bytes = readFile (file);
        std::printf ("%s (%zu bytes)\n", file.filename().c_str(), bytes.size());
        std::fflush (stdout);
        LLVMFuzzerTestOneInput (bytes.data(), bytes.size());
    }

    std::printf ("replayed %zu inputs\n", files.size());
    return 0;
}
