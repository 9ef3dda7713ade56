#pragma once

// Helpers for the editor's tests: one recorder that stands in for a widget's owner or for the
// processor's host, a prepared processor with its editor, and the factory presets' stored values.

#include "FactoryPresets.h"
#include "FontManager.h"
#include "MessagePump.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "UiTestSupport.h"
#include "VLGraphics.h"

#include <BinaryData.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace EditorTest
{
    using namespace UiTest;
    using namespace quillo::test;
    using Events = std::vector<std::string>;
    using juce::AudioProcessor;

    /** Records, in order and as short texts ("value 12", "beginGesture 12"), what widgets tell their
        owner and what a processor tells its host; the latter may arrive on any thread. */
    struct Recorder : VLUICallback,
                      juce::AudioProcessorListener
    {
        Events events;
        std::vector<float> values;   ///< of the "value" reports, in order
        float defaultValue = 0.0f, currentValue = 0.0f;
        std::mutex mutex;

        /** Records the report and answers v. */
        float log (const std::string& what, int id, float v = 0.0f)
        {
            const std::lock_guard<std::mutex> lock (mutex);
            events.push_back (what + " " + std::to_string (id));
            values.insert (values.end(), what == "value" ? 1 : 0, v);
            return v;
        }

        Events take()
        {
            const std::lock_guard<std::mutex> lock (mutex);
            values.clear();
            return std::exchange (events, {});
        }
        void clear() { take(); }

        void valueChanged (EComponent*, int id, float v) override { log ("value", id, v); }
        void paramHooverStart (EComponent*, int id) override { log ("hoverStart", id); }
        void paramHooverEnd (EComponent*, int id) override { log ("hoverEnd", id); }
        void paramStartChange (EComponent*, int id, juce::Point<float>) override { log ("startChange", id); }
        void paramEndChange (EComponent*, int id) override { log ("endChange", id); }
        float defaultValueForParamId (int id) override { return log ("default?", id, defaultValue); }
        float currentValueForParamId (int) override { return currentValue; }
        void ui_beginGesture (EComponent*, int id) override { log ("beginGesture", id); }
        void ui_endGesture (EComponent*, int id) override { log ("endGesture", id); }

        void audioProcessorParameterChanged (AudioProcessor*, int id, float v) override { log ("value", id, v); }
        void audioProcessorChanged (AudioProcessor*, const ChangeDetails&) override {}
        void audioProcessorParameterChangeGestureBegin (AudioProcessor*, int id) override { log ("beginGesture", id); }
        void audioProcessorParameterChangeGestureEnd (AudioProcessor*, int id) override { log ("endGesture", id); }
    };

    //==================================================================================================
    /** A stereo (or mono) processor prepared at 48 kHz for blocks of 512 samples. */
    inline std::unique_ptr<QuilloAudioProcessor> makeProcessor (int numChannels = 2)
    {
        auto p = std::make_unique<QuilloAudioProcessor>();
        const auto mono = juce::AudioChannelSet::mono();
        EXPECT_TRUE (numChannels == 2 || p->setBusesLayout ({ { mono }, { mono } }));
        p->setRateAndBufferSizeDetails (48000.0, 512);
        p->prepareToPlay (48000.0, 512);
        return p;
    }

    /** Runs numSamples (rounded up to whole blocks of 512) of signal (channel, sample index) through
        the processor. */
    template <typename Signal>
    void process (QuilloAudioProcessor& p, int numSamples, Signal signal)
    {
        juce::AudioBuffer<float> buffer (p.getTotalNumInputChannels(), 512);
        juce::MidiBuffer midi;
        for (int start = 0; start < numSamples; start += 512)
        {
            for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
                for (int i = 0; i < 512; ++i)
                    buffer.setSample (ch, i, signal (ch, start + i));
            p.processBlock (buffer, midi);
        }
    }

    /** Loud sines at the centres of both dynamic bands, with both bands fully engaged. */
    inline void driveBothBands (QuilloAudioProcessor& p)
    {
        p.getParameters()[kLowDynAttenuation]->setValueNotifyingHost (1.0f);
        p.getParameters()[kHighDynAttenuation]->setValueNotifyingHost (1.0f);
        process (p, 24000,
                 [] (int ch, int i)
                 { return 0.5f * (float) std::sin (6.2831853 * (ch == 0 ? 500.0 : 1200.0) * i / 48000.0); });
    }

    /** The 23 values factory preset (c, i) stores. */
    inline std::vector<float> presetValues (int c, int i)
    {
        int size = 0;
        const char* data = BinaryData::getNamedResource (factoryPresetResourceName (c, i).c_str(), size);
        std::vector<float> values ((size_t) size / 4);   // little-endian float32, as on this machine
        if (data != nullptr)
            std::memcpy (values.data(), data, values.size() * sizeof (float));
        return values;
    }

    inline std::vector<float> parameterValues (juce::AudioProcessor& p)
    {
        std::vector<float> values;
        std::transform (p.getParameters().begin(), p.getParameters().end(), std::back_inserter (values),
                        [] (auto* q) { return q->getValue(); });
        return values;
    }

    /** A state as the host saves it: the values of factory preset (c, i), then the preset fields. */
    inline juce::MemoryBlock savedState (int c, int i, int category, int index, int modified)
    {
        juce::MemoryOutputStream out;
        for (float v : presetValues (c, i))
            out.writeFloat (v);
        for (int field : { category, index, modified })
            out.writeInt (field);
        return out.getMemoryBlock();
    }

    //==================================================================================================
    /** Deletes an editor as the host's wrapper does: the processor hears of it first. */
    struct EditorCloser
    {
        void operator() (QuilloAudioProcessorEditor* e) const
        {
            e->getAudioProcessor()->editorBeingDeleted (e);
            delete e;
        }
    };

    using EditorPtr = std::unique_ptr<QuilloAudioProcessorEditor, EditorCloser>;

    /** The processor's editor, created as the host's wrapper creates it (it becomes the active one). */
    inline EditorPtr openEditor (QuilloAudioProcessor& p)
    {
        return EditorPtr (&dynamic_cast<QuilloAudioProcessorEditor&> (*p.createEditorIfNeeded()));
    }

    /** Stands in for a component's cached image to count the repaints that reach it (a child's
        repaint travels up to it), with the thread that asked. Draws nothing; owned by the component. */
    struct RepaintCounter : juce::CachedComponentImage
    {
        std::vector<juce::Rectangle<int>> areas;   ///< empty for a whole-component repaint
        std::vector<std::thread::id> threads;

        void paint (juce::Graphics&) override {}
        bool invalidateAll() override { return invalidate ({}); }
        bool invalidate (const juce::Rectangle<int>& area) override
        {
            areas.push_back (area);
            threads.push_back (std::this_thread::get_id());
            return true;
        }
        void releaseResources() override {}

        static RepaintCounter& installOn (juce::Component& c)
        {
            auto* counter = new RepaintCounter();
            c.setCachedComponentImage (counter);
            counter->areas.clear();   // installing it repaints once
            counter->threads.clear();
            return *counter;
        }
    };

    /** A stereo processor with its editor, whose timer is stopped: a test ticks it itself. The
        recorder, which outlives the processor, hears what the host would. */
    struct EditorFixture : ::testing::Test
    {
        Recorder host;
        std::unique_ptr<QuilloAudioProcessor> processor = makeProcessor();
        EditorPtr editor;

        void SetUp() override
        {
            processor->addListener (&host);
            reopen();
        }

        /** As in the host's window: visible (an invisible editor swallows repaints), timer stopped. */
        void reopen()
        {
            editor.reset();
            editor = openEditor (*processor);
            editor->stopTimer();
            editor->setVisible (true);
        }

        void tick (int n = 1)
        {
            for (int i = 0; i < n; ++i)
                editor->timerCallback();
        }

        /** The parameter's knob; a missing or different widget fails the test (by its exception). */
        VLKnob& knob (int paramId)
        {
            auto* k = dynamic_cast<VLKnob*> (editor->getWidgetForParam (paramId));
            return k != nullptr ? *k : throw std::runtime_error ("no knob for parameter " + std::to_string (paramId));
        }

        /** Press at the widget's centre, drag by dy pixels and, unless told not to, release there. */
        void drag (juce::Component& w, float dy, bool release = true)
        {
            const auto centre = w.getLocalBounds().getCentre().toFloat();
            w.mouseDown (mouseAt (w, centre, centre));
            if (dy != 0.0f)
                w.mouseDrag (mouseAt (w, centre.translated (0, dy), centre));
            if (release)
                w.mouseUp (mouseAt (w, centre.translated (0, dy), centre));
        }

        juce::String bannerText() { return editor->getBanner().popup.nameField.text; }

        std::tuple<int, int, bool> presetState()
        {
            return { processor->presetCategory, processor->presetIndex, processor->presetModified };
        }
    };
}
