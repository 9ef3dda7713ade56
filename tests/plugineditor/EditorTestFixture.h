#pragma once

// Helpers for the editor's tests: a prepared processor with its editor, a recorder of everything
// the host would receive and a repaint counter.

#include "MessagePump.h"
#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "ProcessorTestSupport.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace quillo::test
{

using namespace UiTest;

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

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float v) override   { add ({ Event::value, index, v }); }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override { add ({ Event::begin, index, 0.0f }); }
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override   { add ({ Event::end, index, 0.0f }); }

    std::vector<Event> take()
    {
        const std::lock_guard<std::mutex> lock (mutex);
        auto copy = std::move (events);
        events.clear();
        return copy;
    }

    /** Events as short texts ("begin 12", "value 12", "end 12"), values left out. */
    static std::vector<std::string> describe (const std::vector<Event>& events)
    {
        std::vector<std::string> texts;
        for (const auto& e : events)
            texts.push_back ((e.kind == Event::value ? "value " : e.kind == Event::begin ? "begin " : "end ") + std::to_string (e.index));
        return texts;
    }

    std::vector<std::string> describe()   { return describe (take()); }

    int count (Event::Kind kind)
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return (int) std::count_if (events.begin(), events.end(), [kind] (const Event& e) { return e.kind == kind; });
    }

private:
    void add (Event e)
    {
        const std::lock_guard<std::mutex> lock (mutex);
        events.push_back (e);
    }

    std::mutex mutex;
    std::vector<Event> events;
};

/** Stands in for a component's cached image to count every repaint that reaches it (a child's
    repaint travels up to it), with its area and the thread that asked. Draws nothing. */
class RepaintCounter : public juce::CachedComponentImage
{
public:
    void paint (juce::Graphics&) override {}

    bool invalidateAll() override   { return invalidate ({}); }

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

/** Loud sines at the centres of both dynamic bands, with both bands fully engaged. */
inline void driveBothBands (QuilloAudioProcessor& p)
{
    setParameter (p, kLowDynAttenuation, 1.0f);
    setParameter (p, kHighDynAttenuation, 1.0f);
    Channels c { sine (500.0, 0.5f, 24000), sine (1200.0, 0.5f, 24000) };
    process (p, c, 256);
}

/** Every widget shows its parameter's value (a knob the position value^(1/skew)). */
inline void expectWidgetsShowTheParameters (QuilloAudioProcessorEditor& editor, QuilloAudioProcessor& processor)
{
    for (auto* w : editor.getParamComponents())
    {
        const float v = processor.getParameter (w->getParamId());
        const auto* k = dynamic_cast<VLKnob*> (w);
        EXPECT_EQ (w->getValue(), k != nullptr ? std::pow (v, 1.0f / k->skew) : v) << w->getParamId();
    }
}

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

    void tick (int n = 1)   { for (int i = 0; i < n; ++i) editor->timerCallback(); }

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

    std::pair<int, int> selectedPair()
    {
        return { editor->getBanner().popup.getSelectedCategory(), editor->getBanner().popup.getSelectedIndex() };
    }

    std::tuple<int, int, bool> presetState()
    {
        return { processor->presetCategory.load(), processor->presetIndex.load(), processor->presetModified.load() };
    }
};

} // namespace quillo::test
