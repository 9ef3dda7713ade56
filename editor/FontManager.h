#pragma once

#include <juce_graphics/juce_graphics.h>

/** The interface's fonts, shared by every open editor of the process.

    The first editor's create() makes the shared set; later create() calls keep it and only count
    another holder; each holder gives its retain back with destroy(), and the last one deletes
    the set. The first font is the normal interface font (normalFont()); the other two are kept
    with it for completeness.

    Message thread only: editors are built, painted and destroyed there.
*/
class FontManager
{
public:
    /** Adds a holder. The fonts become the shared set when there is none yet; otherwise they are
        dropped and the existing set stays. Returns the shared set. */
    static FontManager* create (juce::Font first, juce::Font second, juce::Font third);

    /** create() with three fonts built on the embedded interface typeface, each on its own
        typeface object. */
    static FontManager* createFromEmbeddedFont();

    /** The shared set, or null while no holder exists. */
    static FontManager* getInstance();

    /** Gives back one holder's retain; the last one deletes the shared set. Unmatched calls are
        ignored. */
    static void destroy();

    /** The normal interface font at the given height in pixels. The height stays set on the shared
        font, so callers set it each time right before drawing. */
    juce::Font& normalFont (float height);

    /** The normal interface font at that height when a shared set exists, else the framework's
        default font: painting never depends on an editor holding the fonts. */
    static juce::Font uiFont (float height);

    /** A font on a fresh typeface made from the embedded TrueType data. */
    static juce::Font makeEmbeddedFont();

private:
    FontManager (juce::Font first, juce::Font second, juce::Font third);

    juce::Font fonts[3];

    JUCE_DECLARE_NON_COPYABLE (FontManager)
};
