// Renders a built-in test signal through the processor, once with the "Default" preset and once
// with a second factory preset, and writes the input and both results as WAV files.
//
//   quillo-render [--out DIR] [--preset CATEGORY INDEX] [--seconds S]
//
// CATEGORY and INDEX are 1-based, as in the preset names ("06_01_Kick" is 6 1, the default).
// Prints the latency, the input and output peak levels and the two bands' deepest gain
// reduction for each render. Exit code 0 on success, 1 when a file cannot be written, 2 for
// bad arguments.

#include "FactoryPresets.h"
#include "PluginProcessor.h"

#include <BinaryData.h>
#include <juce_audio_formats/juce_audio_formats.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 512;

struct Options
{
    juce::File outputFolder = juce::File::getCurrentWorkingDirectory();
    int category = 5;       // 0-based
    int index = 0;
    double seconds = 5.0;
};

void printUsage()
{
    std::fprintf (stderr, "usage: quillo-render [--out DIR] [--preset CATEGORY INDEX] [--seconds S]\n"
                          "  CATEGORY 1-6 and INDEX 1-6 as in the preset names; default 6 1\n");
}

bool parseInteger (const char* text, int& result)
{
    char* end = nullptr;
    const long value = std::strtol (text, &end, 10);

    if (end == text || *end != 0 || value < -1000000 || value > 1000000)
        return false;

    result = (int) value;
    return true;
}

bool parseOptions (int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];

        if (arg == "--out" && i + 1 < argc)
        {
            options.outputFolder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[++i]);
        }
        else if (arg == "--preset" && i + 2 < argc)
        {
            int category = 0, index = 0;

            if (! parseInteger (argv[i + 1], category) || ! parseInteger (argv[i + 2], index))
                return false;

            if (! isValidFactoryPreset (category - 1, index - 1))
            {
                std::fprintf (stderr, "quillo-render: there is no factory preset %d %d\n", category, index);
                return false;
            }

            options.category = category - 1;
            options.index = index - 1;
            i += 2;
        }
        else if (arg == "--seconds" && i + 1 < argc)
        {
            options.seconds = std::atof (argv[++i]);

            if (! (options.seconds > 0.0 && options.seconds <= 600.0))
                return false;
        }
        else
        {
            return false;
        }
    }

    return true;
}

//==============================================================================
// The test signal: an exponential sine sweep from 20 Hz to 20 kHz over the whole length at
// -8 dBFS, plus pink noise at about -26 dBFS, different in each channel.
juce::AudioBuffer<float> makeTestSignal (double seconds)
{
    const int length = (int) std::lround (seconds * sampleRate);
    juce::AudioBuffer<float> signal (2, length);

    const double f0 = 20.0, f1 = 20000.0;
    const double rate = std::log (f1 / f0) / seconds;

    for (int ch = 0; ch < 2; ++ch)
    {
        std::mt19937 random (1234u + (unsigned) ch);
        std::uniform_real_distribution<float> white (-1.0f, 1.0f);

        // Pink noise: white noise through a sum of first-order low-passes (-3 dB per octave).
        float b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0;
        float* out = signal.getWritePointer (ch);

        for (int i = 0; i < length; ++i)
        {
            const double t = i / sampleRate;
            const double phase = 6.283185307179586 * f0 * (std::exp (rate * t) - 1.0) / rate;

            const float w = white (random);
            b0 = 0.99886f * b0 + w * 0.0555179f;
            b1 = 0.99332f * b1 + w * 0.0750759f;
            b2 = 0.96900f * b2 + w * 0.1538520f;
            b3 = 0.86650f * b3 + w * 0.3104856f;
            b4 = 0.55000f * b4 + w * 0.5329522f;
            b5 = -0.7616f * b5 - w * 0.0168980f;
            const float pink = (b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362f) * 0.11f;
            b6 = w * 0.115926f;

            out[i] = 0.4f * (float) std::sin (phase) + 0.25f * pink;
        }
    }

    return signal;
}

bool writeWav (const juce::File& file, const juce::AudioBuffer<float>& audio)
{
    file.deleteFile();
    auto stream = std::make_unique<juce::FileOutputStream> (file);

    if (! stream->openedOk())
        return false;

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), 32, {}, 0));

    if (writer == nullptr)
        return false;

    stream.release();    // the writer owns it now
    return writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
}

double toDecibels (float gain)
{
    return 20.0 * std::log10 (std::max (gain, 1.0e-5f));
}

//==============================================================================
struct RenderResult
{
    juce::AudioBuffer<float> audio;
    int latency = 0;
    Corvanite::v4f peaks;
    float lowMidReduction = 1.0f, highMidReduction = 1.0f;
};

RenderResult render (const juce::AudioBuffer<float>& input, int category, int index)
{
    QuilloAudioProcessor processor;
    processor.setRateAndBufferSizeDetails (sampleRate, blockSize);
    processor.prepareToPlay (sampleRate, blockSize);

    // As the editor loads a factory preset: the preset fields first, then the preset's bytes.
    const auto resource = factoryPresetResourceName (category, index);
    int size = 0;
    const char* data = BinaryData::getNamedResource (resource.c_str(), size);
    processor.presetCategory = category;
    processor.presetIndex = index;
    processor.presetModified = false;
    processor.setStateInformation (data, size);

    RenderResult result;
    result.audio.makeCopyOf (input);
    result.latency = processor.getLatencySamples();

    juce::MidiBuffer midi;

    for (int start = 0; start < input.getNumSamples(); start += blockSize)
    {
        const int n = std::min (blockSize, input.getNumSamples() - start);
        juce::AudioBuffer<float> block (result.audio.getArrayOfWritePointers(), 2, start, n);
        processor.processBlock (block, midi);
    }

    // Nothing polled while rendering, so these hold the whole render.
    int numChannels = 2;
    result.peaks = processor.getPeak (numChannels);
    result.lowMidReduction = processor.getLowMidReduction();
    result.highMidReduction = processor.getHighMidReduction();
    return result;
}

void report (const char* title, const RenderResult& r)
{
    std::printf ("%s\n", title);
    std::printf ("  latency            %d samples (%.2f ms)\n", r.latency, 1000.0 * r.latency / sampleRate);
    std::printf ("  input peak         L %7.2f dBFS   R %7.2f dBFS\n", r.peaks[0], r.peaks[1]);
    std::printf ("  output peak        L %7.2f dBFS   R %7.2f dBFS\n", r.peaks[2], r.peaks[3]);
    std::printf ("  low-mid reduction  %.4f (%.2f dB)\n", r.lowMidReduction, toDecibels (r.lowMidReduction));
    std::printf ("  high-mid reduction %.4f (%.2f dB)\n", r.highMidReduction, toDecibels (r.highMidReduction));
}
} // namespace

int main (int argc, char** argv)
{
    Options options;

    if (! parseOptions (argc, argv, options))
    {
        printUsage();
        return 2;
    }

    if (! options.outputFolder.createDirectory())
    {
        std::fprintf (stderr, "quillo-render: cannot create %s\n", options.outputFolder.getFullPathName().toRawUTF8());
        return 1;
    }

    const auto input = makeTestSignal (options.seconds);
    const auto presetStem = juce::String (FACTORY_PRESET_FILENAMES[options.category][options.index]);

    const auto defaultRender = render (input, 0, 0);
    const auto presetRender = render (input, options.category, options.index);

    const auto inputFile = options.outputFolder.getChildFile ("quillo-input.wav");
    const auto defaultFile = options.outputFolder.getChildFile ("quillo-" + juce::String (FACTORY_PRESET_FILENAMES[0][0]) + ".wav");
    const auto presetFile = options.outputFolder.getChildFile ("quillo-" + presetStem + ".wav");

    for (const auto& [file, audio] : { std::pair { inputFile, &input },
                                       std::pair { defaultFile, &defaultRender.audio },
                                       std::pair { presetFile, &presetRender.audio } })
    {
        if (! writeWav (file, *audio))
        {
            std::fprintf (stderr, "quillo-render: cannot write %s\n", file.getFullPathName().toRawUTF8());
            return 1;
        }
    }

    std::printf ("Test signal: %.1f s of a 20 Hz - 20 kHz sine sweep plus pink noise, stereo, %.0f Hz\n\n",
                 options.seconds, sampleRate);

    const auto presetTitle = juce::String ("Preset ") + juce::String (options.category + 1) + " "
                           + juce::String (options.index + 1) + ": \""
                           + factoryPresetTitle (options.category, options.index) + "\" ("
                           + FACTORY_PRESET_CATEGORIES[options.category] + ")";

    report ("Preset 1 1: \"Default\" (MASTER)", defaultRender);
    std::printf ("\n");
    report (presetTitle.toRawUTF8(), presetRender);

    std::printf ("\nWrote %s\n      %s\n      %s\n", inputFile.getFullPathName().toRawUTF8(),
                 defaultFile.getFullPathName().toRawUTF8(), presetFile.getFullPathName().toRawUTF8());
    return 0;
}
