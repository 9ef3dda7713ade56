// Cost of the editor's work on the message thread: one 60 Hz timer tick (idle, and with every
// widget's parameter moved), and one full repaint of the 800 x 250 panel into an image, with the
// 1x artwork at scale 1 and with the 2x artwork at scale 2 (a high-density screen).
//
//   quillo_bench --benchmark_filter=Editor
//
// Painting here is JUCE's software renderer, as in a host without OpenGL; the attached OpenGL
// context renders the same component tree on its own thread.

#include "PluginEditor.h"
#include "PluginProcessor.h"
#include "UiTestSupport.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
/** JUCE's message manager for the benchmarks that build editors, made on first use on the
    benchmark thread, which thereby becomes the message thread. */
void ensureJuceIsRunning()
{
    static juce::ScopedJuceInitialiser_GUI juce;
}

/** A prepared processor with its editor, shown as a host shows it, its own timer stopped so
    that the benchmark drives the ticks. */
struct OpenEditor
{
    explicit OpenEditor (double displayScale = 1.0)
    {
        ensureJuceIsRunning();
        processor->setRateAndBufferSizeDetails (48000.0, 512);
        processor->prepareToPlay (48000.0, 512);

        const UiTest::ScopedDisplayScale density (displayScale);
        editor.reset (dynamic_cast<QuilloAudioProcessorEditor*> (processor->createEditorIfNeeded()));
        editor->stopTimer();
        editor->setVisible (true);
    }

    ~OpenEditor()
    {
        // As a host's wrapper closes an editor.
        processor->editorBeingDeleted (editor.get());
        editor.reset();
    }

    std::unique_ptr<QuilloAudioProcessor> processor = std::make_unique<QuilloAudioProcessor>();
    std::unique_ptr<QuilloAudioProcessorEditor> editor;
};
}   // namespace

//==============================================================================
static void EditorTimerTickIdle (benchmark::State& state)
{
    OpenEditor e;

    for (auto _ : state)
        e.editor->timerCallback();
}

static void EditorTimerTickAllWidgetsMoved (benchmark::State& state)
{
    OpenEditor e;
    auto& parameters = e.processor->getParameters();
    float v = 0.25f;

    for (auto _ : state)
    {
        // As after a preset load: every parameter has a new value for its widget to pick up.
        v = v > 0.5f ? 0.25f : 0.75f;

        for (auto* p : parameters)
            p->setValue (v);

        e.editor->timerCallback();
    }
}

static void EditorFullRepaint (benchmark::State& state)
{
    const auto scale = (float) state.range (0);
    OpenEditor e (scale);

    juce::Image image (juce::Image::ARGB, juce::roundToInt (800 * scale), juce::roundToInt (250 * scale), true);

    for (auto _ : state)
    {
        juce::Graphics g (image);
        g.addTransform (juce::AffineTransform::scale (scale));
        e.editor->paintEntireComponent (g, true);
        benchmark::DoNotOptimize (image.getPixelAt (400, 125));
    }
}

BENCHMARK (EditorTimerTickIdle);
BENCHMARK (EditorTimerTickAllWidgetsMoved);
BENCHMARK (EditorFullRepaint)->Arg (1)->Arg (2)->Unit (benchmark::kMicrosecond);
