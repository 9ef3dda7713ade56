#include "PngWriter.h"

#include <csetjmp>

#include <png.h>

#include "OutputFile.h"

namespace aaxhost
{
namespace
{
void WriteBytes(png_structp png, png_bytep data, size_t size)
{
    static_cast<OutputFile*>(png_get_io_ptr(png))->Write(data, size);
}

void Flush(png_structp)
{
}

void Warn(png_structp, png_const_charp)
{
}

/** libpng reports its own errors by jumping back here: nothing in this function needs a
    destructor, so the jump skips none. */
bool Encode(OutputFile& file, const RgbImage& image)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, &Warn);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr)
    {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &file, &WriteBytes, &Flush);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = size_t(image.width) * 3;
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, image.pixels.data() + size_t(y) * rowBytes);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

bool PngWriter::Write(const std::string& path, const RgbImage& image, std::string& error)
{
    OutputFile file(path);
    const bool written = Write(file, image);
    if (!written)
        error = file.Error();
    return written;
}

bool PngWriter::Write(OutputFile& file, const RgbImage& image)
{
    if (!image.IsValid())
        file.Fail("no picture to write");
    if (file.IsOpen() && !Encode(file, image))
        file.Fail("libpng could not encode the picture");
    return file.Commit();
}
} // namespace aaxhost
