#pragma once

#include <string>

#include "OutputFile.h"
#include "RgbImage.h"

namespace aaxhost
{
/** Writes RGB pictures as PNG files through libpng, into an OutputFile (a regular file appears
    only when it is whole). */
class PngWriter
{
public:
    /** Writes `image` to `path`. False with "cannot write PATH: reason" in `error` on failure,
        an invalid image included. */
    static bool Write(const std::string& path, const RgbImage& image, std::string& error);

    /** The same into a file opened before (its Error() says why when false). Throws
        Interrupted as OutputFile::Commit does. */
    static bool Write(OutputFile& file, const RgbImage& image);
};
} // namespace aaxhost
