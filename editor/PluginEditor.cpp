// Xlib and GLX are reached here only to ask the display JUCE draws on for an OpenGL
// configuration before the context is attached (see displayOffersOpenGL below).
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1

#include "PluginEditor.h"

#include "EditorLayout.h"
#include "FontManager.h"
#include "PluginProcessor.h"
#include "VLGraphics.h"

#include <algorithm>
#include <vector>

#if JUCE_LINUX || JUCE_BSD
#include <GL/glx.h>
#endif

namespace
{
    constexpr float silenceDb = -100.0f;
    constexpr int bubbleHeight = 14;

    juce::Colour pointerColourFor (const EditorLayout::Place& place)
    {
        const float shade = place.whitePointer ? 1.0f : 0.0f;
        return juce::Colour::fromFloatRGBA (shade, shade, shade, place.pointerAlpha);
    }

    /** A meter input that the meter treats as its floor: -100 dB or below, or not a number. */
    bool isFloorLevel (float db) noexcept
    {
        return ! (db > silenceDb);
    }

    /** True when the display JUCE draws on has GLX and a frame-buffer configuration with a
        visual for `format`, asked for exactly as JUCE's context asks when it attaches (with the
        multisampling attributes first, then without; it takes the first answer). JUCE 7.0.5's
        context goes on without one and dereferences the missing configuration on its render
        thread. Message thread only; a few requests to the server, nothing kept. */
    bool displayOffersOpenGL (const juce::OpenGLPixelFormat& format, bool multisampling)
    {
#if JUCE_LINUX || JUCE_BSD
        auto* const display = juce::XWindowSystem::getInstance()->getDisplay();

        if (display == nullptr)
            return false;

        juce::XWindowSystemUtilities::ScopedXLock xLock;

        // Asked first: on a display without the extension, GLX requests would only fail.
        int errorBase = 0, eventBase = 0;
        if (! glXQueryExtension (display, &errorBase, &eventBase))
            return false;

        const auto xFree = [] (void* data)
        {
            if (data != nullptr)
                juce::X11Symbols::getInstance()->xFree (data);
        };

        const auto choose = [&] (bool withSampling, int& count)
        {
            std::vector<int> attributes { GLX_RENDER_TYPE,      GLX_RGBA_BIT,
                                          GLX_DOUBLEBUFFER,     True,
                                          GLX_RED_SIZE,         format.redBits,
                                          GLX_GREEN_SIZE,       format.greenBits,
                                          GLX_BLUE_SIZE,        format.blueBits,
                                          GLX_ALPHA_SIZE,       format.alphaBits,
                                          GLX_DEPTH_SIZE,       format.depthBufferBits,
                                          GLX_STENCIL_SIZE,     format.stencilBufferBits,
                                          GLX_ACCUM_RED_SIZE,   format.accumulationBufferRedBits,
                                          GLX_ACCUM_GREEN_SIZE, format.accumulationBufferGreenBits,
                                          GLX_ACCUM_BLUE_SIZE,  format.accumulationBufferBlueBits,
                                          GLX_ACCUM_ALPHA_SIZE, format.accumulationBufferAlphaBits };

            if (withSampling)
                attributes.insert (attributes.end(), { GLX_SAMPLE_BUFFERS, multisampling ? 1 : 0, GLX_SAMPLES,
                                                       format.multisamplingLevel });

            attributes.push_back (None);
            count = 0;
            return glXChooseFBConfig (display, juce::X11Symbols::getInstance()->xDefaultScreen (display),
                                      attributes.data(), &count);
        };

        int count = 0;
        auto* configs = choose (true, count);

        if (configs == nullptr || count == 0)
        {
            xFree (configs);
            configs = choose (false, count);
        }

        // The context makes its window with the first configuration's visual.
        auto* const visual = configs != nullptr && count > 0 ? glXGetVisualFromFBConfig (display, configs[0]) : nullptr;
        const bool usable = visual != nullptr;
        xFree (visual);
        xFree (configs);
        return usable;
#else
        juce::ignoreUnused (format, multisampling);
        return true;
#endif
    }
}

//==================================================================================================
QuilloAudioProcessorEditor::SharedFonts::SharedFonts()
{
    // Built on the embedded typeface; when another editor already holds the shared set, that set
    // stays and these are dropped.
    FontManager::createFromEmbeddedFont();
}

QuilloAudioProcessorEditor::SharedFonts::~SharedFonts()
{
    FontManager::destroy();
}

//==================================================================================================
QuilloAudioProcessorEditor::QuilloAudioProcessorEditor (QuilloAudioProcessor& p)
    : AudioProcessorEditor (p), banner (this), processor (&p)
{
    // No renderer of our own: the context only paints the component tree. During construction
    // the editor has no parent yet, so this attaches the context to the editor itself. On a
    // display that has no configuration for it, JUCE's software renderer paints the same tree.
    const juce::OpenGLPixelFormat pixelFormat (8, 8, 8, 8);
    constexpr bool multisampling = false;
    openGLContext.setPixelFormat (pixelFormat);
    openGLContext.setMultisamplingEnabled (multisampling);

    if (displayOffersOpenGL (pixelFormat, multisampling))
        openGLContext.attachTo (*getTopLevelComponent());

    backgroundImage = VLGraphics::GetImage ("main");
    logoImage = VLGraphics::GetImage ("vantor_logo");

    highPassKnob.pointerColour = pointerColourFor (EditorLayout::parameterPlaces[kHighPass]);

    // The order of this list is the order in which the timer refreshes the widgets.
    paramComponents.reserve ((size_t) VL_NUM_PARAMS);

    addKnob (inputGainKnob, kInputGain);
    addKnob (outputGainKnob, kOutputGain);
    createAndAddSwitch (&powerSwitch, kPower, true);

    highPassKnob.setParamId (kHighPass);
    highPassKnob.setCallback (this);
    paramComponents.push_back (&highPassKnob);
    addAndMakeVisible (highPassKnob);
    highPassKnob.setValue (p.getParameter (kHighPass));

    addKnob (lowShelfBoostKnob, kLowShelfBoost);
    addKnob (lowShelfAttenuateKnob, kLowShelfAttenuate);
    addKnob (lowShelfFrequencyKnob, kLowShelfFrequency);
    addKnob (lowMidFreqKnob, kLowMidFreq);
    addKnob (lowMidGainKnob, kLowMidGain);
    addKnob (lowMidQKnob, kLowMidQ);
    addKnob (lowDynAttenuationKnob, kLowDynAttenuation);
    addKnob (highMidFreqKnob, kHighMidFreq);
    addKnob (highMidGainKnob, kHighMidGain);
    addKnob (highMidQKnob, kHighMidQ);
    addKnob (highDynAttenuationKnob, kHighDynAttenuation);
    addKnob (highShelfBoostKnob, kHighShelfBoost);
    addKnob (highShelfAttenuateKnob, kHighShelfAttenuate);
    addKnob (highShelfFrequencyKnob, kHighShelfFrequency);

    meterIOSwitch.setParamId (kMeterIO);
    meterIOSwitch.setCallback (this);
    meterIOSwitch.onImage = VLGraphics::GetImage ("vu_output");
    meterIOSwitch.offImage = VLGraphics::GetImage ("vu_input");
    meterIOSwitch.dimWhenPressed = false;
    paramComponents.push_back (&meterIOSwitch);
    addAndMakeVisible (meterIOSwitch);
    meterIOSwitch.setValue (p.getParameter (kMeterIO));

    createAndAddSwitch (&lowShelfPowerSwitch, kLowShelfPower, false);
    createAndAddSwitch (&lowMidPowerSwitch, kLowMidPower, false);
    createAndAddSwitch (&highMidPowerSwitch, kHighMidPower, false);
    createAndAddSwitch (&highShelfPowerSwitch, kHighShelfPower, false);

    addAndMakeVisible (lowMidLamp);
    addAndMakeVisible (highMidLamp);

    stateWasChanged();
    addAndMakeVisible (banner);

    setSize (EditorLayout::editorWidth, EditorLayout::editorHeight);

    // Added after every knob, so that it lies above them; it starts transparent.
    addAndMakeVisible (valueBubble);

    // Whatever the engine accumulated before the window opened is not shown.
    processor->resetAllMeters();

    addAndMakeVisible (levelMeter);
    levelMeter.reset();

    startTimerHz (60);
}

QuilloAudioProcessorEditor::~QuilloAudioProcessorEditor()
{
    beingDestroyed = true;
    stopTimer();

    // The render thread paints the widgets; it must be gone before any of them is.
    openGLContext.detach();

    // A drag under way when the window closes never gets its release: close its gesture here so
    // that the host is not left inside one.
    auto& parameters = processor->getParameters();

    for (int id = 0; id < VL_NUM_PARAMS; ++id)
    {
        if (openGestures[(size_t) id])
        {
            openGestures[(size_t) id] = false;

            if (id < parameters.size())
                parameters[id]->endChangeGesture();
        }
    }

    // The members go next, in reverse order; the shared fonts are given back after all of them.
}

void QuilloAudioProcessorEditor::addKnob (VLKnob& knob, int paramId)
{
    const auto& place = EditorLayout::parameterPlaces[paramId];

    knob.setParamId (paramId);
    knob.setCallback (this);
    knob.skew = place.skew;
    knob.pointerColour = pointerColourFor (place);
    paramComponents.push_back (&knob);
    addAndMakeVisible (knob);
    knob.setValue (processor->getParameter (paramId));
}

void QuilloAudioProcessorEditor::createAndAddSwitch (VLSwitchImage* s, int paramId, bool isMainSwitch)
{
    s->setParamId (paramId);
    s->setCallback (this);
    s->onImage = VLGraphics::GetImage (isMainSwitch ? "bypass_main_on" : "bypass_on");
    s->offImage = VLGraphics::GetImage (isMainSwitch ? "bypass_main_off" : "bypass_off");
    paramComponents.push_back (s);
    addAndMakeVisible (s);
    s->setValue (processor->getParameter (paramId));
}

//==================================================================================================
void QuilloAudioProcessorEditor::paint (juce::Graphics& g)
{
    VLGraphics::DrawImageAt (g, backgroundImage, 0, 0, 1.0f);
    VLGraphics::DrawImageAt (g, logoImage, EditorLayout::logoX, getHeight() - EditorLayout::logoFromBottom, 1.0f);
}

void QuilloAudioProcessorEditor::resized()
{
    for (auto* widget : paramComponents)
    {
        const auto& place = EditorLayout::parameterPlaces[widget->getParamId()];
        widget->setBounds (place.x, place.y, place.w, place.h);
    }

    const auto placeAt = [] (juce::Component& c, const EditorLayout::Place& place)
    { c.setBounds (place.x, place.y, place.w, place.h); };

    placeAt (lowMidLamp, EditorLayout::lowMidLamp);
    placeAt (highMidLamp, EditorLayout::highMidLamp);
    placeAt (levelMeter, EditorLayout::levelMeter);

    banner.setBounds (0, 0, getWidth(), EditorLayout::bannerHeight);
}

//==================================================================================================
void QuilloAudioProcessorEditor::timerCallback()
{
    // Widgets compare with the parameter and repaint only when it moved.
    for (auto* widget : paramComponents)
        widget->refresh (false);

    valueBubble.alpha = valueBubble.shown ? std::min (1.0f, valueBubble.alpha + bubbleFadeStep)
                                          : std::max (0.0f, valueBubble.alpha - bubbleFadeStep);
    valueBubble.setAlpha (valueBubble.alpha);   // repaints only when the alpha changed

    // Each read releases the band's stored reduction a little, so each is read once per tick.
    refreshLamp (lowMidLamp, processor->getLowMidReduction());
    refreshLamp (highMidLamp, processor->getHighMidReduction());

    updateLevelMeter();
}

void QuilloAudioProcessorEditor::refreshLamp (VLReductionIndicator& lamp, float reduction)
{
    lamp.latestReduction = reduction;

    // A deeper reduction shows at once, a lighter one by at most 0.1 per tick.
    const float next = std::min (reduction, (float) ((double) lamp.displayedReduction + 0.1));

    if (next != lamp.displayedReduction)
    {
        lamp.displayedReduction = next;
        lamp.repaint();
    }
}

void QuilloAudioProcessorEditor::updateLevelMeter()
{
    // getPeak() writes the channel count only when it has new data; without it every lane is
    // -100 dB, so this starting value never shows.
    int numChannels = 2;
    const auto peaks = processor->getPeak (numChannels);
    const bool showOutput = processor->getParameter (kMeterIO) >= 0.5f;

    const int leftLane = showOutput ? 2 : 0;
    const int rightLane = numChannels == 1 ? leftLane : leftLane + 1;
    const float left = peaks[leftLane];
    const float right = peaks[rightLane];

    // A meter resting at its floor that is fed the floor again would change nothing but still
    // repaint; an idle editor must not paint at 60 Hz.
    const bool atRest = levelMeter.holdLeft == 0 && levelMeter.holdRight == 0 && levelMeter.levelLeft <= silenceDb
                     && levelMeter.levelRight <= silenceDb && levelMeter.peakLeft <= silenceDb
                     && levelMeter.peakRight <= silenceDb;

    if (atRest && isFloorLevel (left) && isFloorLevel (right))
        return;

    levelMeter.setValuesInDb (left, right);
}

//==================================================================================================
bool QuilloAudioProcessorEditor::isValidParamId (int paramId) noexcept
{
    return paramId >= 0 && paramId < VL_NUM_PARAMS;
}

juce::String QuilloAudioProcessorEditor::valueText (int paramId, float normalisedValue)
{
    if (! isValidParamId (paramId))
        return {};

    const auto& row = VL_PARAMS[paramId];
    const float real = row.min + (row.max - row.min) * normalisedValue;

    if (paramId == kLowMidQ || paramId == kHighMidQ)
        return juce::String (real, 3);

    return juce::String (VLParameterGetValueStr (&row, real));
}

juce::Rectangle<int> QuilloAudioProcessorEditor::bubbleBoundsFor (int paramId, juce::Rectangle<int> knob)
{
    int width = 30;
    int top = knob.getY() - 30;

    if (paramId == kLowMidQ || paramId == kHighMidQ)
    {
        width = 32;
    }
    else if (isValidParamId (paramId)
             && (juce::String (VL_PARAMS[paramId].unit).equalsIgnoreCase ("dB")
                 || juce::String (VL_PARAMS[paramId].unit).equalsIgnoreCase ("Hz")))
    {
        width = 42;
    }
    else if (paramId == kLowDynAttenuation || paramId == kHighDynAttenuation)
    {
        top = knob.getY() - 41;
    }

    // Centred over the knob, truncated toward zero.
    const int left = (int) ((double) knob.getX() + (double) knob.getWidth() * 0.5 - (double) width * 0.5);
    return { left, top, width, bubbleHeight };
}

void QuilloAudioProcessorEditor::valueChanged (EComponent*, int paramId, float v)
{
    if (! isValidParamId (paramId))
        return;

    banner.popup.invalidateCurrentPreset();
    processor->presetModified = true;
    processor->setParameterNotifyingHost (paramId, v);

    // The text changes even while the bubble is hidden; only a knob drag shows it.
    auto text = valueText (paramId, v);

    if (text != valueBubble.text)
    {
        valueBubble.text = std::move (text);
        valueBubble.repaint();
    }
}

void QuilloAudioProcessorEditor::paramHooverStart (EComponent*, int) {}
void QuilloAudioProcessorEditor::paramHooverEnd (EComponent*, int) {}
void QuilloAudioProcessorEditor::paramCenterUpdated (EComponent*, int, juce::Point<float>) {}

void QuilloAudioProcessorEditor::paramStartChange (EComponent* widget, int paramId, juce::Point<float>)
{
    if (widget == nullptr || ! isValidParamId (paramId))
        return;

    valueBubble.setBounds (bubbleBoundsFor (paramId, widget->getBounds()));
    valueBubble.text = valueText (paramId, processor->getParameter (paramId));
    valueBubble.repaint();
    valueBubble.shown = true;
}

void QuilloAudioProcessorEditor::paramEndChange (EComponent*, int)
{
    valueBubble.shown = false;
}

juce::String QuilloAudioProcessorEditor::getParamName (int paramId)
{
    return isValidParamId (paramId) ? juce::String (VL_PARAMS[paramId].name) : juce::String();
}

juce::String QuilloAudioProcessorEditor::getStringValue (int paramId)
{
    return getParamName (paramId);
}

float QuilloAudioProcessorEditor::defaultValueForParamId (int paramId)
{
    return isValidParamId (paramId) ? VL_PARAMS[paramId].normalisedDefault() : 0.0f;
}

float QuilloAudioProcessorEditor::currentValueForParamId (int paramId)
{
    auto& parameters = processor->getParameters();
    return paramId >= 0 && paramId < parameters.size() ? parameters[paramId]->getValue() : 0.0f;
}

void QuilloAudioProcessorEditor::ui_beginGesture (EComponent*, int paramId)
{
    auto& parameters = processor->getParameters();

    if (! isValidParamId (paramId) || paramId >= parameters.size() || openGestures[(size_t) paramId])
        return;

    openGestures[(size_t) paramId] = true;
    parameters[paramId]->beginChangeGesture();
}

void QuilloAudioProcessorEditor::ui_endGesture (EComponent*, int paramId)
{
    auto& parameters = processor->getParameters();

    if (! isValidParamId (paramId) || paramId >= parameters.size() || ! openGestures[(size_t) paramId])
        return;

    openGestures[(size_t) paramId] = false;
    parameters[paramId]->endChangeGesture();
}

bool QuilloAudioProcessorEditor::isGestureOpen (int paramId) const noexcept
{
    return isValidParamId (paramId) && openGestures[(size_t) paramId];
}

//==================================================================================================
QuilloAudioProcessor* QuilloAudioProcessorEditor::getProcessor()
{
    return processor;
}

void QuilloAudioProcessorEditor::stateWasChanged()
{
    if (beingDestroyed)
        return;

    // The processor brings every state load here through its asynchronous update.
    if (! juce::MessageManager::existsAndIsCurrentThread())
    {
        jassertfalse;
        return;
    }

    banner.showPreset (processor->presetCategory.load(), processor->presetIndex.load(),
                       processor->presetModified.load());
}

EComponent* QuilloAudioProcessorEditor::getWidgetForParam (int paramId) const noexcept
{
    for (auto* widget : paramComponents)
        if (widget->getParamId() == paramId)
            return widget;

    return nullptr;
}
