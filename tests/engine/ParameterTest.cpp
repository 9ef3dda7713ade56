// The processor's identity, its 23 host parameters and the layouts it accepts.

#include "ProcessorTestSupport.h"

#include <limits>

using namespace quillo::test;

TEST (ProcessorIdentity, NamesItselfAndDeclaresNoMidiAndOneProgram)
{
    std::unique_ptr<juce::AudioProcessor> p (createPluginFilter());
    ASSERT_NE (dynamic_cast<QuilloAudioProcessor*> (p.get()), nullptr);

    EXPECT_EQ (p->getName(), "Quillo");
    EXPECT_FALSE (p->acceptsMidi());
    EXPECT_FALSE (p->producesMidi());
    EXPECT_EQ (p->getTailLengthSeconds(), 0.0);
    EXPECT_EQ (p->getNumPrograms(), 1);
    EXPECT_EQ (p->getCurrentProgram(), 0);
    EXPECT_EQ (p->getProgramName (0), "");
    EXPECT_TRUE (p->hasEditor());
    EXPECT_EQ (p->getLatencySamples(), 0);   // until prepared
}

TEST (ProcessorLayouts, AcceptOnlyMonoToMonoAndStereoToStereo)
{
    QuilloAudioProcessor p;
    using Set = juce::AudioChannelSet;

    const auto supports = [&p] (Set in, Set out)
    {
        juce::AudioProcessor::BusesLayout l;
        l.inputBuses.add (in);
        l.outputBuses.add (out);
        return p.checkBusesLayoutSupported (l);
    };

    EXPECT_TRUE (supports (Set::mono(), Set::mono()));
    EXPECT_TRUE (supports (Set::stereo(), Set::stereo()));
    EXPECT_FALSE (supports (Set::mono(), Set::stereo()));
    EXPECT_FALSE (supports (Set::stereo(), Set::mono()));
    EXPECT_FALSE (supports (Set::create5point1(), Set::create5point1()));
    EXPECT_FALSE (supports (Set::disabled(), Set::stereo()));
    EXPECT_FALSE (supports (Set::disabled(), Set::disabled()));

    // The default layout is stereo.
    EXPECT_EQ (p.getTotalNumInputChannels(), 2);
    EXPECT_EQ (p.getTotalNumOutputChannels(), 2);
}

//==============================================================================
TEST (Parameters, HaveTheIdsAndNamesOfTheTableInIndexOrder)
{
    const char* const names[23] = {
        "Input Gain", "Output Gain", "Power", "High Pass", "Meter IO", "Low Shelf Boost",
        "Low Shelf Attenuate", "Low Shelf Frequency", "High Shelf Boost", "High Shelf Attenuate",
        "High Shelf Frequency", "Low Mid Freq", "Low Mid Gain", "Low Mid Q", "Low Dyn Attenuation",
        "High Mid Freq", "High Mid Gain", "High Mid Q", "High Dyn Attenuation", "Low Shelf Power",
        "Low Mid Power", "High Mid Power", "High Shelf Power"
    };

    QuilloAudioProcessor p;
    const auto& parameters = p.getParameters();
    ASSERT_EQ (parameters.size(), 23);

    for (int i = 0; i < 23; ++i)
    {
        auto* withId = dynamic_cast<juce::AudioProcessorParameterWithID*> (parameters[i]);
        ASSERT_NE (withId, nullptr);
        EXPECT_EQ (withId->getParameterID(), juce::String (i) + names[i]);   // "0Input Gain" ... "22High Shelf Power"
        EXPECT_EQ (withId->getName (100), names[i]);
    }
}

TEST (Parameters, DefaultsAreTheDefaultPresetBitForBit)
{
    QuilloAudioProcessor p;

    for (int i = 0; i < 23; ++i)
    {
        auto* parameter = p.getParameters()[i];
        EXPECT_EQ (bitsOf (parameter->getDefaultValue()), defaultBits[(size_t) i]) << i;
        EXPECT_EQ (bitsOf (parameter->getValue()), defaultBits[(size_t) i]) << i;
        EXPECT_EQ (bitsOf (p.getParameter (i)), defaultBits[(size_t) i]) << i;
    }

    EXPECT_EQ (p.presetCategory.load(), 0);
    EXPECT_EQ (p.presetIndex.load(), 0);
    EXPECT_FALSE (p.presetModified.load());
}

TEST (Parameters, RefuseValuesThatAreNotNumbersAndLimitTheRest)
{
    // Whatever a host sends arrives here unchecked (JUCE's wrapper passes it on as it came).
    QuilloAudioProcessor p;
    auto* parameter = p.getParameters()[kLowMidGain];
    parameter->setValue (0.3f);

    for (float bad : { std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() })
    {
        parameter->setValue (bad);
        EXPECT_EQ (parameter->getValue(), 0.3f);
        EXPECT_EQ (p.getParameter (kLowMidGain), 0.3f);
    }

    parameter->setValue (1.5f);
    EXPECT_EQ (parameter->getValue(), 1.0f);
    parameter->setValue (-2.0f);
    EXPECT_EQ (bitsOf (parameter->getValue()), 0u);
    parameter->setValue (-0.0f);
    EXPECT_EQ (bitsOf (parameter->getValue()), 0u);      // saved as +0, like every other 0

    for (float v : { 0.123456789f, 0.0001f, 0.99999994f, 1.0e-7f, 0.15789473f })
    {
        setParameter (p, kLowMidGain, v);                 // no snapping
        EXPECT_EQ (bitsOf (p.getParameter (kLowMidGain)), bitsOf (v));
    }

    // Texts read and shown the same way (two decimals of the normalised value): nothing outside
    // 0..1, nothing that is not a number.
    EXPECT_EQ (parameter->getCurrentValueAsText(), "0.16");
    EXPECT_EQ (parameter->getValueForText ("0.25"), 0.25f);
    EXPECT_EQ (parameter->getValueForText ("7"), 1.0f);
    EXPECT_EQ (parameter->getValueForText ("-3"), 0.0f);
    EXPECT_EQ (parameter->getValueForText (" 0.5 dB"), 0.5f);
    EXPECT_EQ (parameter->getValueForText ("1e300"), 1.0f);
    for (const char* text : { "nan", "-nan", "inf", "-inf", "1e400", "", "abc" })
        EXPECT_EQ (parameter->getValueForText (text), 0.15789473f) << text;

    // An exponent too long for an int (found by fuzzing: JUCE's own reader overflows on it).
    EXPECT_EQ (parameter->getValueForText ("7E7777777777777777777777777777"), 0.15789473f);
    EXPECT_EQ (parameter->getValueForText ("7E-7777777777777777777777777777"), 0.0f);
    EXPECT_EQ (parameter->getText (std::numeric_limits<float>::quiet_NaN(), 0), "0.16");
    EXPECT_EQ (parameter->getText (3.0f, 0), "1.00");
    EXPECT_EQ (parameter->getText (0.0f, 0), "0.00");
    EXPECT_EQ (parameter->getText (0.5f, 0), "0.50");
    EXPECT_EQ (parameter->getText (0.3333f, 3), "0.3");
}

TEST (Parameters, IndexHelpersStayInsideTheTable)
{
    QuilloAudioProcessor p;

    EXPECT_EQ (p.getParameter (-1), 0.0f);
    EXPECT_EQ (p.getParameter (23), 0.0f);

    p.setParameterNotifyingHost (23, 0.5f);     // ignored
    p.setParameterNotifyingHost (-1, 0.5f);
    p.setParameterNotifyingHost (kPower, 0.25f);
    EXPECT_EQ (p.getParameter (kPower), 0.25f);
    EXPECT_EQ (bitsOf (p.getParameter (kHighPass)), defaultBits[kHighPass]);
}
