#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>
#include <vector>

/** The editor's images: their names, 1x pixel sizes and colour types, and the code that draws
    each one. */
namespace ArtCatalogue
{
/** Draws a picture in 1x coordinates; `scale` (1 or 2) only serves pixel snapping. */
using DrawFunction = std::function<void (juce::Graphics&, float scale)>;

struct Entry
{
    const char* baseName;   ///< "main", "vantor_logo", ...: files <base>.png and <base>2x.png
    int width;              ///< 1x pixel size
    int height;
    bool hasAlpha;   ///< false: written as an RGB PNG (no alpha channel)
    DrawFunction draw;
};

/** The 15 images, in catalogue order. */
const std::vector<Entry>& entries();

/** Renders an entry at an integer scale: the vector art drawn through a scaling transform. */
juce::Image render (const Entry& entry, int scale);

/** Writes an image as PNG, replacing the file; false on failure. */
bool writePng (const juce::Image& image, const juce::File& file);

/** Renders every entry at 1x and 2x into the folder; false when a file could not be written. */
bool writeAll (const juce::File& folder);
}
