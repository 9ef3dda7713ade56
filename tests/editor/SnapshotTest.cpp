// Writes review pictures of the editor's panel, the open preset pop-up, the banner and every
// widget kind into the build folder.

#include "EditorTestSupport.h"
#include "HPFilterKnob.h"
#include "Meters.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "VLBanner.h"
#include "VLChangeView.h"
#include "VLKnob.h"
#include "VLReductionIndicator.h"

#include <gtest/gtest.h>

#include <memory>

using namespace EditorTest;

namespace
{
    const juce::File snapshotDir { juce::String (QUILLO_SNAPSHOT_DIR) };

    void save (const juce::Image& image, const juce::String& name)
    {
        snapshotDir.createDirectory();
        auto file = snapshotDir.getChildFile (name);
        file.deleteFile();
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk()) << file.getFullPathName();
        ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, out));
    }

    /** Copies of a widget kind at the given values side by side on a plain ground, 5-pixel margins. */
    template <typename Widget, typename Setup>
    juce::Image strip (std::initializer_list<float> values, int w, int h, juce::Colour ground, Setup setup)
    {
        juce::Image image (juce::Image::ARGB, 5 + (int) values.size() * (w + 5), h + 10, true);
        juce::Graphics g (image);
        g.fillAll (ground);
        int x = 5;

        for (float v : values)
        {
            Widget widget;
            widget.setBounds (0, 0, w, h);
            setup (widget, v);
            g.saveState();
            g.setOrigin (x, 5);
            widget.paintEntireComponent (g, true);
            g.restoreState();
            x += w + 5;
        }

        return image;
    }
}

TEST (Snapshots, everyWidgetKindIsWrittenForReview)
{
    const auto expectWritten = [] (const juce::String& name, int w, int h)
    {
        auto image = juce::ImageFileFormat::loadFrom (snapshotDir.getChildFile (name));
        EXPECT_EQ (image.getWidth(), w) << name;
        EXPECT_EQ (image.getHeight(), h) << name;
    };

    for (double density : { 1.0, 2.0 })
    {
        const ScopedDisplayScale display (density);
        QuilloAudioProcessor processor;
        std::unique_ptr<QuilloAudioProcessorEditor> editor (
            dynamic_cast<QuilloAudioProcessorEditor*> (processor.createEditorIfNeeded()));
        ASSERT_NE (editor, nullptr);
        const auto suffix = density > 1.0 ? juce::String ("@2x.png") : juce::String (".png");

        save (render (*editor, (float) density), "panel" + suffix);
        save (render (editor->getBanner(), (float) density), "banner" + suffix);
        editor->getBanner().showFactoryPresetList();
        save (render (*editor, (float) density), "preset_list_open" + suffix);

        processor.editorBeingDeleted (editor.get());
    }

    const juce::Colour grey (0xff8a8d92), dark (0xff26282c);

    save (strip<VLKnob> ({ 0.0f, 0.25f, 0.5f, 0.75f, 1.0f }, 23, 23, grey,
                         [] (VLKnob& k, float v) { k.setValue (v); }), "knobs_small.png");
    save (strip<VLKnob> ({ 0.0f, 0.25f, 0.5f, 0.75f, 1.0f }, 60, 60, grey,
                         [] (VLKnob& k, float v) { k.skew = 2.0f;
                                                   k.pointerColour = juce::Colours::white.withAlpha (0.95f);
                                                   k.setValue (v); }), "knobs_large_skew2.png");
    save (strip<HPFilterKnob> ({ 0.1f, 0.3f, 0.6f, 0.9f }, 45, 45, grey,
                               [] (HPFilterKnob& k, float v) { k.setValue (v); }), "highpass_selector.png");
    save (strip<VLReductionIndicator> ({ 1.0f, 0.75f, 0.5f, 0.25f, 0.0f }, 6, 6, dark,
                                       [] (VLReductionIndicator& l, float r) { l.displayedReduction = r; }), "lamps.png");
    save (strip<Meters> ({ -20.0f, 3.0f }, 28, 91, dark,
                         [] (Meters& m, float db) { m.setValuesInDb (db, db - 10.0f);
                                                    for (int i = 0; i < 10; ++i) m.setValuesInDb (-30.0f, -20.0f); }), "meter.png");

    ScopedFonts fonts;
    VLChangeView bubble;
    bubble.setBounds (0, 0, 42, 14);
    bubble.text = "-12.5 dB";
    save (render (bubble, 2.0f), "value_bubble@2x.png");
    bubble.text = "a text far too long for the bubble";
    save (render (bubble, 2.0f), "value_bubble_ellipsis@2x.png");

    expectWritten ("panel.png", 800, 250);
    expectWritten ("panel@2x.png", 1600, 500);
    expectWritten ("preset_list_open.png", 800, 250);
    expectWritten ("banner@2x.png", 1600, 40);
    expectWritten ("lamps.png", 60, 16);
    expectWritten ("meter.png", 71, 101);
    expectWritten ("value_bubble@2x.png", 84, 28);
}
