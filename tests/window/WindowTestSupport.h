#pragma once

// Support for tests that need a real window on an X server (Xvfb under ./test): a stand-in for
// the host's view, a screen grab through Xlib, picture comparison and PNG output.

#include "OpenGLDrivers.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>


namespace quillo::test
{

/** The host's side of an open editor: a top-level window on the desktop holding the editor, as
    the host's view holds the plug-in's. The editor is not owned. */
class HostView : public juce::Component
{
public:
    explicit HostView (juce::Component& editor, juce::Point<int> topLeft = { 40, 40 })
    {
        setOpaque (true);
        addAndMakeVisible (editor);
        setBounds (topLeft.x, topLeft.y, editor.getWidth(), editor.getHeight());
        addToDesktop (0);
        setVisible (true);
    }

    ~HostView() override                          { removeFromDesktop(); }
    void paint (juce::Graphics& g) override       { g.fillAll (juce::Colours::black); }
};

/** True when DISPLAY names an X server that accepts a connection. */
bool xServerAvailable();

/** The screen's pixels in the given area (physical pixels) as the X server shows them: whatever
    every window, OpenGL ones included, has put there. Invalid when there is no X server or the
    grab fails. */
juce::Image grabScreen (juce::Rectangle<int> area);

/** Mean absolute difference of the colour channels of two pictures of the same size, 0..255
    (255 when the sizes differ). Alpha is ignored. */
inline double meanDifference (const juce::Image& a, const juce::Image& b)
{
    if (! a.isValid() || ! b.isValid() || a.getBounds() != b.getBounds())
        return 255.0;

    double sum = 0.0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            sum += std::abs ((int) p.getRed() - (int) q.getRed()) + std::abs ((int) p.getGreen() - (int) q.getGreen())
                 + std::abs ((int) p.getBlue() - (int) q.getBlue());
        }
    return sum / (3.0 * a.getWidth() * a.getHeight());
}

/** Writes a PNG, replacing any older file. */
inline bool writePng (const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    juce::PNGImageFormat png;
    return out.openedOk() && png.writeImageToStream (image, out);
}

} // namespace quillo::test
