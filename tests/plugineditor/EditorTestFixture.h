#pragma once

// Helpers for the editor's tests: a prepared processor with its editor, a recorder of everything
// the host would receive, a repaint counter, hand-made mouse events and a fake display scale.

#include "MessagePump.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "ProcessorTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace quillo::test
{

/** Everything the processor tells its host: parameter values and change gestures, in order.
    Callbacks may arrive on any thread. */
class HostRecorder : public juce::AudioProcessorListener
{
public:
    struct Event
    {
        enum Kind { value, begin, end } kind;
        int index;
        float newValue;
    };

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float v) override
    {
        const std::lock_guard<std::mutex> lock (mutex);
        events.push_back ({ Event::value, index, v });
    }

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        const std::lock_guard<std::mutex> lock (mutex);
        events.push_back ({ Event::begin, index, 0.0f });
    }

    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        const std::lock_guard<std::mutex> lock (mutex);
        events.push_back ({ Event::end, index, 0.0f });
    }

    std::vector<Event> take()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        auto copy = std::move (events);
        events.clear();
        return copy;
    }

    /** The events as short texts ("begin 12", "value 12", "end 12"), values left out. */
    std::vector<std::string> describe()
    {
        std::vector<std::string> texts;

        for (const auto& e : take())
            texts.push_back (std::string (e.kind == Event::value ? "value " : e.kind == Event::begin ? "begin " : "end ")
                             + std::to_string (e.index));

        return texts;
    }

    int count (Event::Kind kind)
    {
        const std::lock_guard<std::mutex> lock (mutex);
        int n = 0;

        for (const auto& e : events)
            n += e.kind == kind ? 1 : 0;

        return n;
    }

private:
    std::mutex mutex;
    std::vector<Event> events;
};

/** Stands in for a component's cached image to count every repaint that reaches it (a child's
    repaint travels up to it), with its area and the thread that asked. Draws nothing. */
class RepaintCounter : public juce::CachedComponentImage
{
public:
    void paint (juce::Graphics&) override {}

    bool invalidateAll() override
    {
        areas.push_back ({});
        threads.push_back (std::this_thread::get_id());
        return true;
    }

    bool invalidate (const juce::Rectangle<int>& area) override
    {
        areas.push_back (area);
        threads.push_back (std::this_thread::get_id());
        return true;
    }

    void releaseResources() override {}

    int count() const noexcept { return (int) areas.size(); }
    void clear() { areas.clear(); threads.clear(); }

    std::vector<juce::Rectangle<int>> areas;      ///< empty for a whole-component repaint
    std::vector<std::thread::id> threads;

    /** Installs a counter on the component (which owns it) and returns it. */
    static RepaintCounter& installOn (juce::Component& c)
    {
        auto* counter = new RepaintCounter();
        c.setCachedComponentImage (counter);
        counter->clear();       // installing it repaints once
        return *counter;
    }
};

//==============================================================================
/** A mouse event at pos (component coordinates) whose press happened at downPos. */
inline juce::MouseEvent mouseAt (juce::Component& c, juce::Point<float> pos, juce::Point<float> downPos,
                                 juce::ModifierKeys mods = juce::ModifierKeys(), int clicks = 1)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), pos, mods,
                             juce::MouseInputSource::defaultPressure,
                             juce::MouseInputSource::defaultOrientation,
                             juce::MouseInputSource::defaultRotation,
                             juce::MouseInputSource::defaultTiltX,
                             juce::MouseInputSource::defaultTiltY,
                             &c, &c, now, downPos, now, clicks, false);
}

/** The centre in whole pixels, as the mouse reports positions. */
inline juce::Point<float> centreOf (juce::Component& c)
{
    return c.getLocalBounds().getCentre().toFloat();
}

/** A press at the component's centre. */
inline void press (juce::Component& c)
{
    c.mouseDown (mouseAt (c, centreOf (c), centreOf (c)));
}

/** A drag to dy pixels below the centre (negative: above) during a press at the centre. */
inline void dragTo (juce::Component& c, float dy)
{
    const auto centre = centreOf (c);
    c.mouseDrag (mouseAt (c, centre.translated (0.0f, dy), centre));
}

inline void releaseAt (juce::Component& c, float dy)
{
    const auto centre = centreOf (c);
    c.mouseUp (mouseAt (c, centre.translated (0.0f, dy), centre));
}

inline void click (juce::Component& c)
{
    press (c);
    releaseAt (c, 0.0f);
}

inline juce::MouseWheelDetails wheel (float deltaY)
{
    juce::MouseWheelDetails w {};
    w.deltaY = deltaY;
    return w;
}

//==============================================================================
/** Makes the primary display report the given scale while it lives, so that images are loaded
    as on such a screen. Adds a display when the process has none (no X server). */
class ScopedDisplayScale
{
public:
    explicit ScopedDisplayScale (double scale)
        : displays (const_cast<juce::Displays&> (juce::Desktop::getInstance().getDisplays())),
          saved (displays.displays)
    {
        if (displays.displays.isEmpty())
        {
            juce::Displays::Display d;
            d.isMain = true;
            d.totalArea = d.userArea = { 0, 0, 1280, 800 };
            d.dpi = 96.0;
            displays.displays.add (d);
        }

        for (auto& d : displays.displays)
            d.scale = scale;
    }

    ~ScopedDisplayScale()
    {
        displays.displays = saved;
    }

private:
    juce::Displays& displays;
    juce::Array<juce::Displays::Display> saved;

    JUCE_DECLARE_NON_COPYABLE (ScopedDisplayScale)
};

//==============================================================================
/** Owns an editor as the host's wrapper does: created through the processor, which then knows it
    as its active editor, and announced to the processor before it is deleted. */
class HostedEditor
{
public:
    HostedEditor() = default;
    explicit HostedEditor (QuilloAudioProcessor& p)     { open (p); }
    ~HostedEditor()                                     { close(); }

    void open (QuilloAudioProcessor& p)
    {
        close();
        processor = &p;
        editor.reset (dynamic_cast<QuilloAudioProcessorEditor*> (p.createEditorIfNeeded()));
    }

    void close()
    {
        if (editor != nullptr)
        {
            processor->editorBeingDeleted (editor.get());
            editor.reset();
        }
    }

    QuilloAudioProcessorEditor* get() const noexcept            { return editor.get(); }
    QuilloAudioProcessorEditor* operator->() const noexcept     { return editor.get(); }
    QuilloAudioProcessorEditor& operator*() const noexcept      { return *editor; }

private:
    QuilloAudioProcessor* processor = nullptr;
    std::unique_ptr<QuilloAudioProcessorEditor> editor;

    JUCE_DECLARE_NON_COPYABLE (HostedEditor)
};

//==============================================================================
/** A stereo processor prepared at 48 kHz with its editor, created as the host's wrapper does
    (the processor then knows it as its active editor). The editor's own timer is stopped, so
    that a test counts ticks itself by calling tick(). */
struct EditorFixture : public ::testing::Test
{
    std::unique_ptr<QuilloAudioProcessor> processor = makeProcessor();
    HostRecorder host;
    HostedEditor editor;

    void SetUp() override
    {
        processor->addListener (&host);
        openEditor();
    }

    void TearDown() override
    {
        editor.close();
        processor->removeListener (&host);
    }

    void openEditor()
    {
        editor.open (*processor);
        ASSERT_NE (editor.get(), nullptr);
        editor->stopTimer();

        // As the host's window shows it; an invisible editor would swallow its children's repaints.
        editor->setVisible (true);
    }

    void tick (int n = 1)
    {
        for (int i = 0; i < n; ++i)
            editor->timerCallback();
    }

    /** The parameter's widget as the given kind; a missing or different widget fails the test
        (GoogleTest reports the exception). */
    template <typename Widget>
    Widget& widget (int paramId)
    {
        auto* w = dynamic_cast<Widget*> (editor->getWidgetForParam (paramId));

        if (w == nullptr)
            throw std::runtime_error ("no widget of that kind for parameter " + std::to_string (paramId));

        return *w;
    }

    VLKnob& knob (int paramId)  { return widget<VLKnob> (paramId); }

    juce::String bannerText()   { return editor->getBanner().popup.nameField.text; }
};

} // namespace quillo::test
