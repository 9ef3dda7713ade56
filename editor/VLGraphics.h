#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Loading and drawing of the editor's embedded images.

    Every image exists at 1x and at 2x. GetImage() picks the 2x file on a display whose scale is
    above 1 and records in the image which factor it was loaded at (see getImageScale()), so that
    the drawing functions always place an image at its 1x size in component coordinates: the panel
    never grows or shrinks with the display scale, and on a high-density screen the 2x pixels give
    the extra detail.

    Static functions only. Message thread (loading reads the desktop's displays).
*/
class VLGraphics
{
public:
    VLGraphics() = delete;

    /** Scale of the primary display, or 1 when there is no display (a headless process, or a
        host that has not shown anything yet). */
    static double getDisplayScale();

    /** The embedded image named baseName (for example "main"), at the density that suits the
        primary display. A missing resource gives an invalid image, which draws nothing. */
    static juce::Image GetImage (const char* baseName);

    /** The same for a given display scale: the 2x file when displayScale > 1 (falling back to the
        1x file if the 2x one is missing), otherwise the 1x file. */
    static juce::Image GetImage (const char* baseName, double displayScale);

    /** How many image pixels make one component pixel: 2 for an image loaded from a 2x file,
        1 for anything else (including images that did not come from GetImage()). */
    static float getImageScale (const juce::Image& image);

    /** Records the factor at which an image was drawn; used by GetImage(). */
    static void setImageScale (juce::Image& image, float scale);

    /** The image's size in component pixels (its pixel size divided by its factor). */
    static juce::Rectangle<float> getDrawnBounds (const juce::Image& image);

    /** Sets g's opacity (it stays in force for later drawing in the same paint call) and draws
        the image with its top-left corner at (x, y), at its 1x size. */
    static void DrawImageAt (juce::Graphics& g, const juce::Image& image, int x, int y, float opacity);

    /** Sets g's opacity and draws the image centred on (centreX, centreY), at `scale` times its
        1x size, rotated by `angle` radians about its centre. */
    static void DrawImageCenteredAt (juce::Graphics& g, const juce::Image& image, float centreX, float centreY,
                                     float opacity, float scale, float angle);
};
