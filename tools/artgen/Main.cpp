// Draws every image of the editor and writes them as PNG files, each at 1x and at 2x.
//
//   artgen [OUTDIR]                 writes the 30 PNGs into OUTDIR (default resources/images/)
//   artgen --review FILE [OUTDIR]   also writes composites of the whole editor for review
//
// The output is deterministic: running it twice gives identical files.

#include "ArtCatalogue.h"
#include "ReviewComposite.h"

#include <iostream>

int main (int argc, char** argv)
{
    juce::String outDir { QUILLO_DEFAULT_IMAGE_DIR };
    juce::String reviewFile;

    for (int i = 1; i < argc; ++i)
    {
        const juce::String arg (argv[i]);
        if (arg == "--review" && i + 1 < argc)
            reviewFile = argv[++i];
        else if (arg.startsWith ("-"))
        {
            std::cerr << "usage: artgen [--review FILE] [OUTDIR]\n";
            return 2;
        }
        else
            outDir = arg;
    }

    const auto cwd = juce::File::getCurrentWorkingDirectory();
    const auto folder = cwd.getChildFile (outDir);
    if (! ArtCatalogue::writeAll (folder))
    {
        std::cerr << "artgen: cannot write the images into " << folder.getFullPathName() << "\n";
        return 1;
    }

    if (reviewFile.isNotEmpty() && ! ReviewComposite::writeReviews (cwd.getChildFile (reviewFile)))
    {
        std::cerr << "artgen: cannot write the review composites " << reviewFile << "\n";
        return 1;
    }

    std::cout << "artgen: " << ArtCatalogue::entries().size() * 2 << " images written to " << folder.getFullPathName()
              << "\n";
    return 0;
}
