#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_opengl/juce_opengl.h>

#include "EComponent.h"
#include "HPFilterKnob.h"
#include "Meters.h"
#include "VLBanner.h"
#include "VLChangeView.h"
#include "VLKnob.h"
#include "VLParameterInfo.h"
#include "VLReductionIndicator.h"
#include "VLSwitchImage.h"
#include "VLUICallback.h"

#include <array>
#include <vector>

class QuilloAudioProcessor;

/**
    The plug-in's editor: a fixed 800 x 250 panel with every knob, switch, reduction lamp, the
    level meter, the value bubble and the preset banner, rendered through an attached OpenGL
    context when the display offers GLX with a configuration for it, else by JUCE's software
    renderer (the same picture).

    The editor only polls. A 60 Hz timer brings every widget in line with the processor's
    parameters (host automation and state loads show up that way), fades the value bubble, moves
    the two reduction lamps and feeds the level meter; a tick that finds nothing changed repaints
    nothing. Edits made in the editor go to the processor as parameter changes inside the host's
    change gestures and mark the current factory preset as modified.

    Threads: everything here runs on the message thread. The processor reaches stateWasChanged()
    only through its own asynchronous update, which runs on the message thread; the OpenGL
    context's render thread paints the component tree while holding the message-manager lock.

    Created by QuilloAudioProcessor::createEditor(); it never owns the processor, which must
    outlive it.
*/
class QuilloAudioProcessorEditor : public juce::AudioProcessorEditor,
                                   public VLUICallback,
                                   public juce::Timer,
                                   public VLBanner::Delegate
{
public:
    explicit QuilloAudioProcessorEditor (QuilloAudioProcessor&);

    /** Detaches the OpenGL context first, closes every change gesture a widget still holds open
        (a drag under way when the window closes), and gives the shared fonts back last. */
    ~QuilloAudioProcessorEditor() override;

    /** The panel artwork and the maker's logo (18 pixels above the bottom edge). */
    void paint (juce::Graphics&) override;

    /** Places every control at its fixed rectangle; only the banner follows the editor's width. */
    void resized() override;

    /** One 60 Hz tick: widgets, bubble fade, reduction lamps, level meter. */
    void timerCallback() override;

    //==============================================================================================
    // VLUICallback: reports of the parameter widgets. Every paramId is a parameter index 0..22;
    // any other index is ignored (queries answer 0 or an empty text).

    /** A widget moved its parameter to the normalised value v: the preset becomes modified, the
        value goes to the processor and the host, and the bubble's text follows. */
    void valueChanged (EComponent* widget, int paramId, float v) override;
    void paramHooverStart (EComponent* widget, int paramId) override;
    void paramHooverEnd (EComponent* widget, int paramId) override;

    /** A knob drag begins: the bubble moves above the knob, shows its value and fades in. */
    void paramStartChange (EComponent* widget, int paramId, juce::Point<float> centre) override;
    void paramCenterUpdated (EComponent* widget, int paramId, juce::Point<float> centre) override;

    /** A knob drag ends: the bubble fades out. */
    void paramEndChange (EComponent* widget, int paramId) override;

    /** The parameter's name ("Low Mid Q"); getStringValue() answers the same text. */
    juce::String getParamName (int paramId) override;

    /** The parameter's normalised default and current value (0..1). */
    float defaultValueForParamId (int paramId) override;
    float currentValueForParamId (int paramId) override;

    /** Opens or closes the host's change gesture of a parameter. A second begin while one is
        open, and an end without a begin, are not passed on, so the host always sees pairs. */
    void ui_beginGesture (EComponent* widget, int paramId) override;
    void ui_endGesture (EComponent* widget, int paramId) override;

    juce::String getStringValue (int paramId) override;

    //==============================================================================================
    /** VLBanner::Delegate: the processor the banner loads factory presets into. */
    QuilloAudioProcessor* getProcessor() override;

    /** Sets up one power switch: its images ("bypass_main_on/off" for the main switch, else
        "bypass_on/off"), parameter, owner and first value. Construction only. */
    void createAndAddSwitch (VLSwitchImage* s, int paramId, bool isMainSwitch);

    /** After a state load: the banner shows the processor's current preset (marked when it was
        modified) and dims the arrows at the ends of the catalogue. Message thread only; a call
        from another thread, or one arriving while the editor is being destroyed, does nothing. */
    void stateWasChanged();

    /** Display text of a normalised value of parameter paramId, as the bubble shows it: three
        decimals without unit for the two Q parameters, otherwise VLParameterGetValueStr of the
        real value. Empty for an index outside 0..22. */
    static juce::String valueText (int paramId, float normalisedValue);

    /** Where the bubble goes for a knob with the given bounds (editor pixels). */
    static juce::Rectangle<int> bubbleBoundsFor (int paramId, juce::Rectangle<int> knobBounds);

    //==============================================================================================
    // Inspection (tests, benchmarks). The editor alone changes these widgets.
    const std::vector<EComponent*>& getParamComponents() const noexcept { return paramComponents; }
    EComponent* getWidgetForParam (int paramId) const noexcept;
    VLChangeView& getValueBubble() noexcept { return valueBubble; }
    VLReductionIndicator& getLowMidLamp() noexcept { return lowMidLamp; }
    VLReductionIndicator& getHighMidLamp() noexcept { return highMidLamp; }
    Meters& getLevelMeter() noexcept { return levelMeter; }
    VLBanner& getBanner() noexcept { return banner; }
    /** Attached only when the display offered a configuration for it. */
    juce::OpenGLContext& getOpenGLContext() noexcept { return openGLContext; }

    /** True while a change gesture of the parameter is open with the host. */
    bool isGestureOpen (int paramId) const noexcept;

    /** The fade step of the value bubble per tick. */
    static constexpr float bubbleFadeStep = 0.08f;

private:
    /** Holds one retain on the shared fonts for the editor's whole life. Declared first so that it
        is released after every widget and after the OpenGL context. */
    struct SharedFonts
    {
        SharedFonts();
        ~SharedFonts();
        JUCE_DECLARE_NON_COPYABLE (SharedFonts)
    };

    void addKnob (VLKnob& knob, int paramId);
    void refreshLamp (VLReductionIndicator& lamp, float reduction);
    void updateLevelMeter();
    static bool isValidParamId (int paramId) noexcept;

    SharedFonts sharedFonts;

    juce::OpenGLContext openGLContext;
    std::vector<EComponent*> paramComponents;   // not owned; the timer refreshes them in this order
    juce::Image backgroundImage;
    juce::Image logoImage;
    VLChangeView valueBubble;

    HPFilterKnob highPassKnob;       // 3
    VLKnob lowShelfBoostKnob;        // 5
    VLKnob lowShelfAttenuateKnob;    // 6
    VLKnob lowShelfFrequencyKnob;    // 7
    VLKnob lowMidFreqKnob;           // 11
    VLKnob lowMidGainKnob;           // 12
    VLKnob lowMidQKnob;              // 13
    VLKnob lowDynAttenuationKnob;    // 14
    VLKnob highMidFreqKnob;          // 15
    VLKnob highMidGainKnob;          // 16
    VLKnob highMidQKnob;             // 17
    VLKnob highDynAttenuationKnob;   // 18
    VLKnob highShelfBoostKnob;       // 8
    VLKnob highShelfAttenuateKnob;   // 9
    VLKnob highShelfFrequencyKnob;   // 10

    VLSwitchImage meterIOSwitch;          // 4
    VLSwitchImage lowShelfPowerSwitch;    // 19
    VLSwitchImage lowMidPowerSwitch;      // 20
    VLSwitchImage highMidPowerSwitch;     // 21
    VLSwitchImage highShelfPowerSwitch;   // 22
    VLSwitchImage powerSwitch;            // 2

    VLKnob inputGainKnob;    // 0
    VLKnob outputGainKnob;   // 1

    VLReductionIndicator lowMidLamp;
    VLReductionIndicator highMidLamp;
    Meters levelMeter;
    VLBanner banner;

    QuilloAudioProcessor* const processor;

    // Which parameters have a change gesture open with the host.
    std::array<bool, VL_NUM_PARAMS> openGestures {};

    // Set first thing in the destructor: nothing may reach the banner from then on.
    bool beingDestroyed = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (QuilloAudioProcessorEditor)
};
