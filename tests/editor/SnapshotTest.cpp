// Writes review pictures of the banner, the open preset pop-up and every widget kind into the
// build folder, and a full panel put together from the editor's layout table.

#include "EditorLayout.h"
#include "EditorTestSupport.h"
#include "HPFilterKnob.h"
#include "Meters.h"
#include "VLBanner.h"
#include "VLChangeView.h"
#include "VLKnob.h"
#include "VLParameterInfo.h"
#include "VLReductionIndicator.h"
#include "VLSwitchImage.h"

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
        juce::PNGImageFormat png;
        ASSERT_TRUE (png.writeImageToStream (image, out));
    }

    void expectWritten (const juce::String& name, int w, int h)
    {
        auto image = juce::ImageFileFormat::loadFrom (snapshotDir.getChildFile (name));
        ASSERT_TRUE (image.isValid()) << name;
        EXPECT_EQ (image.getWidth(), w) << name;
        EXPECT_EQ (image.getHeight(), h) << name;
    }

    struct NoProcessor : VLBanner::Delegate
    {
        QuilloAudioProcessor* getProcessor() override { return nullptr; }
    };

    /** The editor's panel without the editor: background, logo and every widget at its place. */
    struct Panel : juce::Component
    {
        explicit Panel (double density)
            : background (VLGraphics::GetImage ("main", density)),
              logo (VLGraphics::GetImage ("vantor_logo", density))
        {
            for (const auto& place : EditorLayout::parameterPlaces)
            {
                const float v = VL_PARAMS[place.paramIndex].normalisedDefault();
                std::unique_ptr<EComponent> w;

                switch (place.kind)
                {
                    case EditorLayout::WidgetKind::knob:
                    {
                        auto knob = std::make_unique<VLKnob>();
                        knob->pointerColour = place.whitePointer ? juce::Colours::white.withAlpha (place.pointerAlpha)
                                                                 : juce::Colours::black.withAlpha (place.pointerAlpha);
                        knob->skew = place.skew;
                        w = std::move (knob);
                        break;
                    }
                    case EditorLayout::WidgetKind::highPassKnob:
                        w = std::make_unique<HPFilterKnob>();
                        break;
                    case EditorLayout::WidgetKind::mainSwitch:
                    case EditorLayout::WidgetKind::bandSwitch:
                    case EditorLayout::WidgetKind::meterSwitch:
                    {
                        auto s = std::make_unique<VLSwitchImage>();
                        const bool main = place.kind == EditorLayout::WidgetKind::mainSwitch;
                        const bool meter = place.kind == EditorLayout::WidgetKind::meterSwitch;
                        s->onImage = VLGraphics::GetImage (meter ? "vu_output" : (main ? "bypass_main_on" : "bypass_on"), density);
                        s->offImage = VLGraphics::GetImage (meter ? "vu_input" : (main ? "bypass_main_off" : "bypass_off"), density);
                        w = std::move (s);
                        break;
                    }
                    default:
                        continue;
                }

                w->setParamId (place.paramIndex);
                w->setBounds (place.x, place.y, place.w, place.h);
                w->setValue (place.paramIndex == kLowShelfPower ? 0.0f : v);
                addAndMakeVisible (*w);
                widgets.push_back (std::move (w));
            }

            for (auto* lamp : { &lowMid, &highMid })
            {
                lamp->inactiveImage = VLGraphics::GetImage ("compression_inactive", density);
                lamp->activeImage = VLGraphics::GetImage ("compression_active", density);
                addAndMakeVisible (*lamp);
            }
            lowMid.setBounds (EditorLayout::lowMidLamp.x, EditorLayout::lowMidLamp.y, 6, 6);
            highMid.setBounds (EditorLayout::highMidLamp.x, EditorLayout::highMidLamp.y, 6, 6);
            lowMid.displayedReduction = 0.7f;
            highMid.displayedReduction = 0.3f;

            meter.setBounds (EditorLayout::levelMeter.x, EditorLayout::levelMeter.y,
                             EditorLayout::levelMeter.w, EditorLayout::levelMeter.h);
            meter.setValuesInDb (-8.0f, 2.0f);
            meter.setValuesInDb (-12.0f, -1.0f);
            addAndMakeVisible (meter);

            if (density > 1.0)
            {
                banner.divider = VLGraphics::GetImage ("divider", density);
                banner.logo = VLGraphics::GetImage ("quillo_logo", density);
                banner.previousButton.image = VLGraphics::GetImage ("arrow_left", density);
                banner.nextButton.image = VLGraphics::GetImage ("arrow_right", density);
                banner.popup.nameField.arrow = VLGraphics::GetImage ("arrow_down", density);
            }

            addAndMakeVisible (banner);
            setSize (EditorLayout::editorWidth, EditorLayout::editorHeight);
            banner.setBounds (0, 0, getWidth(), EditorLayout::bannerHeight);
            banner.showPreset (0, 2, true);

            // The bubble as it shows above "Low Mid Gain" during a drag.
            bubble.text = juce::String (VLParameterGetValueStr (&VL_PARAMS[kLowMidGain], 3.5f));
            bubble.setBounds (272, 131, 42, 14);
            bubble.setAlpha (1.0f);
            addAndMakeVisible (bubble);
        }

        void paint (juce::Graphics& g) override
        {
            g.fillAll (juce::Colours::black);
            VLGraphics::DrawImageAt (g, background, 0, 0, 1.0f);
            VLGraphics::DrawImageAt (g, logo, EditorLayout::logoX, getHeight() - EditorLayout::logoFromBottom, 1.0f);
        }

        juce::Image background, logo;
        std::vector<std::unique_ptr<EComponent>> widgets;
        VLReductionIndicator lowMid, highMid;
        Meters meter;
        NoProcessor host;
        VLBanner banner { &host };
        VLChangeView bubble;
    };

    /** Widgets of one kind side by side on a plain ground, each with a 5-pixel margin. */
    juce::Image strip (const std::vector<juce::Component*>& widgets, juce::Colour ground)
    {
        int w = 5, h = 0;
        for (auto* c : widgets)
        {
            w += c->getWidth() + 5;
            h = std::max (h, c->getHeight() + 10);
        }

        juce::Image image (juce::Image::ARGB, w, h, true);
        juce::Graphics g (image);
        g.fillAll (ground);

        int x = 5;
        for (auto* c : widgets)
        {
            g.saveState();
            g.setOrigin (x, 5);
            c->paintEntireComponent (g, true);
            g.restoreState();
            x += c->getWidth() + 5;
        }
        return image;
    }

    /** Five copies of a widget kind at the given values. */
    template <typename Widget, typename Setup>
    juce::Image valueStrip (std::initializer_list<float> values, int w, int h, juce::Colour ground, Setup setup)
    {
        std::vector<std::unique_ptr<Widget>> widgets;
        std::vector<juce::Component*> pointers;
        for (float v : values)
        {
            widgets.push_back (std::make_unique<Widget>());
            widgets.back()->setBounds (0, 0, w, h);
            setup (*widgets.back(), v);
            pointers.push_back (widgets.back().get());
        }
        return strip (pointers, ground);
    }
}

TEST (Snapshots, everyWidgetKindIsWrittenForReview)
{
    ScopedFonts fonts;

    for (double density : { 1.0, 2.0 })
    {
        Panel panel (density);
        const float scale = (float) density;
        const auto suffix = density > 1.0 ? juce::String ("@2x.png") : juce::String (".png");

        save (render (panel, scale), "panel" + suffix);

        panel.banner.showFactoryPresetList();
        panel.banner.popup.resized();
        save (render (panel, scale), "preset_list_open" + suffix);

        save (render (panel.banner, scale), "banner" + suffix);
    }

    const juce::Colour grey (0xff8a8d92), dark (0xff26282c);

    save (valueStrip<VLKnob> ({ 0.0f, 0.25f, 0.5f, 0.75f, 1.0f }, 23, 23, grey,
                              [] (VLKnob& k, float v) { k.setValue (v); }), "knobs_small.png");
    save (valueStrip<VLKnob> ({ 0.0f, 0.25f, 0.5f, 0.75f, 1.0f }, 60, 60, grey,
                              [] (VLKnob& k, float v) { k.skew = 2.0f;
                                                        k.pointerColour = juce::Colours::white.withAlpha (0.95f);
                                                        k.setValue (v); }), "knobs_large_skew2.png");
    save (valueStrip<HPFilterKnob> ({ 0.1f, 0.3f, 0.6f, 0.9f }, 45, 45, grey,
                                    [] (HPFilterKnob& k, float v) { k.setValue (v); }), "highpass_selector.png");
    save (valueStrip<VLReductionIndicator> ({ 1.0f, 0.75f, 0.5f, 0.25f, 0.0f }, 6, 6, dark,
                                            [] (VLReductionIndicator& l, float r) { l.displayedReduction = r; }), "lamps.png");
    save (valueStrip<Meters> ({ -20.0f, 3.0f }, 28, 91, dark,
                              [] (Meters& m, float db) { m.setValuesInDb (db, db - 10.0f);
                                                         for (int i = 0; i < 10; ++i) m.setValuesInDb (-30.0f, -20.0f); }), "meter.png");

    VLChangeView bubble;
    bubble.setBounds (0, 0, 42, 14);
    bubble.text = "-12.5 dB";
    save (render (bubble, 2.0f), "value_bubble@2x.png");
    bubble.text = "a text far too long for the bubble";
    save (render (bubble, 2.0f), "value_bubble_ellipsis@2x.png");

    expectWritten ("panel.png", 800, 250);
    expectWritten ("panel@2x.png", 1600, 500);
    expectWritten ("preset_list_open.png", 800, 250);
    expectWritten ("banner.png", 800, 20);
    expectWritten ("banner@2x.png", 1600, 40);
    expectWritten ("lamps.png", 60, 16);
    expectWritten ("meter.png", 71, 101);
    expectWritten ("value_bubble@2x.png", 84, 28);
}
