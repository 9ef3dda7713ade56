#include "CommandLine.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "HostError.h"
#include "Levels.h"
#include "PlugInEditor.h"
#include "PlugInInstance.h"
#include "StandInHost.h"
#include "StateFile.h"
#include "TestSignal.h"
#include "WavFile.h"

namespace aaxhost
{
namespace
{
/** A wrong command line: reported with the usage, exit code 2. */
struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

/** One --set: a parameter (full id, or its index number) set to a value at a time. */
struct Setting
{
    std::string parameter;
    double value = 0.0;
    double seconds = 0.0;
};

struct Options
{
    std::string command;
    std::vector<std::string> positional;
    std::string modulePath;
    std::string presetFolder;
    std::string out;
    std::string screenshot;
    int channels = 2;
    bool channelsGiven = false;
    double rate = 48000.0;
    bool rateGiven = false;
    double seconds = 5.0;
    bool secondsGiven = false;
    int block = 512;
    int presetCategory = 0;   // 1-based; 0 none
    int presetIndex = 0;
    std::vector<Setting> settings;
};

double ParseNumber(const std::string& text, const char* what)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end == nullptr || *end != 0 || !std::isfinite(value))
        throw UsageError(std::string("bad ") + what + ": " + text);
    return value;
}

int ParseInteger(const std::string& text, const char* what)
{
    const double value = ParseNumber(text, what);
    if (value != std::floor(value) || std::fabs(value) > 1.0e9)
        throw UsageError(std::string("bad ") + what + ": " + text);
    return int(value);
}

Options Parse(const std::vector<std::string>& arguments, const CommandLine::Defaults& defaults)
{
    Options options;
    options.modulePath = defaults.modulePath;
    options.presetFolder = defaults.presetFolder;
    if (arguments.empty())
        throw UsageError("no command");
    options.command = arguments[0];

    for (size_t i = 1; i < arguments.size(); ++i)
    {
        const std::string& argument = arguments[i];
        auto next = [&](const char* what) -> const std::string& {
            if (i + 1 >= arguments.size())
                throw UsageError(std::string(what) + " needs a value");
            return arguments[++i];
        };

        if (argument == "--module")
            options.modulePath = next("--module");
        else if (argument == "--presets")
            options.presetFolder = next("--presets");
        else if (argument == "--out")
            options.out = next("--out");
        else if (argument == "--screenshot")
            options.screenshot = next("--screenshot");
        else if (argument == "--channels")
        {
            options.channels = ParseInteger(next("--channels"), "channel count");
            options.channelsGiven = true;
            if (options.channels != 1 && options.channels != 2)
                throw UsageError("--channels is 1 or 2");
        }
        else if (argument == "--rate")
        {
            options.rate = ParseNumber(next("--rate"), "sample rate");
            options.rateGiven = true;
            if (!(options.rate >= 8000.0 && options.rate <= 384000.0) || options.rate != std::floor(options.rate))
                throw UsageError("--rate is a whole number of Hz from 8000 to 384000");
        }
        else if (argument == "--seconds")
        {
            options.seconds = ParseNumber(next("--seconds"), "duration");
            options.secondsGiven = true;
            if (!(options.seconds > 0.0 && options.seconds <= 600.0))
                throw UsageError("--seconds is above 0 and at most 600");
        }
        else if (argument == "--block")
        {
            options.block = ParseInteger(next("--block"), "block size");
            if (options.block < 1 || options.block > PlugInInstance::kMaxBlockSize)
                throw UsageError("--block is 1 to " + std::to_string(PlugInInstance::kMaxBlockSize));
        }
        else if (argument == "--preset")
        {
            options.presetCategory = ParseInteger(next("--preset"), "preset category");
            options.presetIndex = ParseInteger(next("--preset"), "preset index");
            if (options.presetCategory < 1 || options.presetIndex < 1)
                throw UsageError("--preset takes CATEGORY INDEX, both from 1");
        }
        else if (argument == "--set")
        {
            const std::string& text = next("--set");
            const auto equals = text.find('=');
            if (equals == std::string::npos || equals == 0)
                throw UsageError("--set takes ID=VALUE or ID=VALUE@SECONDS");
            Setting setting;
            setting.parameter = text.substr(0, equals);
            std::string value = text.substr(equals + 1);
            const auto at = value.find('@');
            if (at != std::string::npos)
            {
                setting.seconds = ParseNumber(value.substr(at + 1), "time");
                value = value.substr(0, at);
                if (setting.seconds < 0.0)
                    throw UsageError("a --set time is not negative");
            }
            setting.value = ParseNumber(value, "value");
            if (setting.value < 0.0 || setting.value > 1.0)
                throw UsageError("a --set value is normalised: 0 to 1");
            options.settings.push_back(setting);
        }
        else if (!argument.empty() && argument[0] == '-')
            throw UsageError("unknown option " + argument);
        else
            options.positional.push_back(argument);
    }
    return options;
}

/** The factory preset file "CC_II_Title.wmb" in `folder`; its title in `title`. */
std::vector<uint8_t> ReadPreset(const std::string& folder, int category, int index, std::string& title)
{
    char prefix[16];
    std::snprintf(prefix, sizeof(prefix), "%02d_%02d_", category, index);
    std::string found;
    if (DIR* const directory = opendir(folder.c_str()))
    {
        while (const dirent* entry = readdir(directory))
        {
            const std::string name = entry->d_name;
            if (name.rfind(prefix, 0) == 0 && name.size() > 10 && name.substr(name.size() - 4) == ".wmb")
                found = name;
        }
        closedir(directory);
    }
    if (found.empty())
        throw HostError("there is no factory preset " + std::to_string(category) + " " + std::to_string(index) + " in "
                        + folder);

    std::ifstream file(folder + "/" + found, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() != 92)
        throw HostError(found + " is not a factory preset of 92 bytes");

    title = found.substr(6, found.size() - 10);
    for (char& c : title)
        if (c == '_')
            c = ' ';
    return bytes;
}

/** A --set parameter: a full id, or the index number that starts one ("12" for "12Low Mid
    Gain"), or "bypass". */
std::string ResolveParameter(PlugInInstance& instance, const std::string& name)
{
    if (name == "bypass")
        return instance.BypassID();
    const auto ids = instance.ParameterIDs();
    for (const auto& id : ids)
        if (id == name)
            return id;
    const bool number = name.find_first_not_of("0123456789") == std::string::npos;
    if (number)
        for (const auto& id : ids)
            if (id.size() > name.size() && id.compare(0, name.size(), name) == 0
                && !std::isdigit(static_cast<unsigned char>(id[name.size()])))
                return id;
    throw UsageError("the plug-in has no parameter " + name);
}

void Check(AAX_Result result, const std::string& what)
{
    if (result != AAX_SUCCESS)
        throw HostError(what + " failed", result);
}

/** The preset restored as a host restores a saved setting: through the 'juce' chunk. */
void ApplyPreset(PlugInInstance& instance, const Options& options, std::ostream& out)
{
    if (options.presetCategory == 0)
        return;
    std::string title;
    Chunk chunk;
    chunk.id = FourCCFromText("juce");
    chunk.data = ReadPreset(options.presetFolder, options.presetCategory, options.presetIndex, title);
    Check(instance.SetChunk(chunk), "restoring the preset");
    out << "Preset " << options.presetCategory << " " << options.presetIndex << ": \"" << title << "\"\n";
}

std::unique_ptr<StandInHost> Load(const Options& options)
{
    if (options.modulePath.empty())
        throw UsageError("no module: pass --module PATH");
    return std::make_unique<StandInHost>(options.modulePath);
}

void CloseAll(StandInHost& host, PlugInInstance& instance, std::ostream& out)
{
    instance.Close();
    const int32_t live = host.Shutdown();
    if (live != 0)
        throw HostError("the module still holds " + std::to_string(live) + " objects after shutdown");
    out << "Module shut down, ACFCanUnloadNow 0\n";
}

// ---------------------------------------------------------------------------------------------

int Describe(const Options& options, std::ostream& out)
{
    auto host = Load(options);
    uint64_t version = 0;
    host->GetModule().GetSDKVersion(&version);
    char versionText[32];
    std::snprintf(versionText, sizeof(versionText), "0x%016llX", static_cast<unsigned long long>(version));
    out << "Module           " << host->GetModule().Path() << "\n";
    out << "SDK version      " << versionText << "\n";
    out << "Message loop     " << (host->GetModule().HasMessageLoop() ? "exported" : "none") << "\n";
    out << host->Description().Format();
    const int32_t live = host->Shutdown();
    out << "\nACFCanUnloadNow  " << live << "\n";
    return live == 0 ? 0 : 1;
}

struct Render
{
    AudioData output;
    int32_t latency = 0;
};

/** One render: a fresh instance, the preset and the settings due at the start, then the audio in
    stretches between the timed settings. `override` sets one more parameter first. */
Render RenderOnce(StandInHost& host, const Options& options, const AudioData& input, std::ostream& log,
                  const std::string& overrideID = std::string(), double overrideValue = 0.0)
{
    auto instance = host.CreateInstance(input.NumChannels(), float(input.sampleRate));
    ApplyPreset(*instance, options, log);

    std::multimap<size_t, std::pair<std::string, double>> timeline;
    for (const Setting& setting : options.settings)
        timeline.emplace(size_t(std::llround(setting.seconds * input.sampleRate)),
                         std::make_pair(ResolveParameter(*instance, setting.parameter), setting.value));
    if (!overrideID.empty())
        timeline.emplace(0, std::make_pair(overrideID, overrideValue));

    Render render;
    render.output = AudioData::Silence(input.sampleRate, input.NumChannels(), input.NumFrames());
    size_t position = 0;
    auto next = timeline.begin();
    while (position < input.NumFrames())
    {
        while (next != timeline.end() && next->first <= position)
        {
            Check(instance->Automate(next->second.first, next->second.second), "setting " + next->second.first);
            ++next;
        }
        const size_t end = next != timeline.end() ? std::min(next->first, input.NumFrames()) : input.NumFrames();
        std::vector<const float*> in;
        std::vector<float*> out;
        for (int c = 0; c < input.NumChannels(); ++c)
        {
            in.push_back(input.channels[size_t(c)].data() + position);
            out.push_back(render.output.channels[size_t(c)].data() + position);
        }
        instance->Process(in.data(), out.data(), end - position, options.block);
        position = end;
    }
    render.latency = instance->Latency();
    instance->Close();
    return render;
}

int RenderCommand(const Options& options, std::ostream& out)
{
    AudioData input;
    std::string source;
    if (options.positional.size() > 1)
        throw UsageError("render takes at most one input file");
    if (!options.positional.empty())
    {
        std::string error;
        if (options.rateGiven || options.secondsGiven || options.channelsGiven)
            throw UsageError("--rate, --seconds and --channels are for the built-in signal only");
        if (!WavFile::Read(options.positional[0], input, error))
            throw HostError(error);
        if (input.NumChannels() != 1 && input.NumChannels() != 2)
            throw HostError("the plug-in takes mono or stereo, the file has " + std::to_string(input.NumChannels())
                            + " channels");
        source = options.positional[0];
    }
    else
    {
        input = TestSignal::Make(options.rate, options.seconds, options.channels);
        source = "built-in test signal (20 Hz - 20 kHz sine sweep plus pink noise)";
    }
    const std::string outPath = options.out.empty() ? "quillo-out.wav" : options.out;

    auto host = Load(options);
    std::ostringstream quiet;
    const Render main = RenderOnce(*host, options, input, out);

    // The bands' gain reduction, measured: the render against one with that band's dynamics off.
    std::vector<std::pair<std::string, double>> reductions;
    {
        auto probe = host->CreateInstance(input.NumChannels(), float(input.sampleRate));
        ApplyPreset(*probe, options, quiet);
        const auto ids = probe->ParameterIDs();
        std::vector<std::pair<std::string, double>> bands;
        for (const char* band : { "Low Dyn Attenuation", "High Dyn Attenuation" })
            for (const auto& id : ids)
                if (id.find(band) != std::string::npos)
                    bands.emplace_back(id, probe->ParameterValue(id));
        probe->Close();
        for (const auto& [id, value] : bands)
        {
            const Render dry = RenderOnce(*host, options, input, quiet, id, 0.0);
            reductions.emplace_back(id, Levels::DeepestDropDb(main.output, dry.output));
        }
    }

    std::string error;
    if (!WavFile::Write(outPath, main.output, error))
        throw HostError(error);

    const auto inputPeaks = Levels::PeakDb(input);
    const auto outputPeaks = Levels::PeakDb(main.output);
    char line[160];
    out << "Input            " << source << "\n";
    std::snprintf(line, sizeof(line), "Instance         %s, %.0f Hz, blocks of %d samples\n",
                  input.NumChannels() == 1 ? "mono" : "stereo", input.sampleRate, options.block);
    out << line;
    std::snprintf(line, sizeof(line), "Latency          %d samples (%.2f ms)\n", main.latency,
                  1000.0 * main.latency / input.sampleRate);
    out << line;
    for (size_t c = 0; c < inputPeaks.size(); ++c)
    {
        std::snprintf(line, sizeof(line), "Peak %-11s in %7.2f dBFS   out %7.2f dBFS\n",
                      inputPeaks.size() == 1 ? "mono" : (c == 0 ? "left" : "right"), inputPeaks[c], outputPeaks[c]);
        out << line;
    }
    for (const auto& [id, reduction] : reductions)
    {
        // Parameter ids are the index digits followed by the name; the name alone reads better.
        const size_t nameStart = id.find_first_not_of("0123456789");
        const std::string name = nameStart == std::string::npos ? id : id.substr(nameStart);
        std::snprintf(line, sizeof(line), "Reduction        %-22s %6.2f dB (deepest, against the band's dynamics off)\n",
                      name.c_str(), reduction);
        out << line;
    }
    out << "Wrote            " << outPath << "\n";

    const int32_t live = host->Shutdown();
    if (live != 0)
        throw HostError("the module still holds " + std::to_string(live) + " objects after shutdown");
    return 0;
}

int StateCommand(const Options& options, std::ostream& out)
{
    if (options.positional.size() != 2 || (options.positional[0] != "save" && options.positional[0] != "load"))
        throw UsageError("state save FILE | state load FILE");
    const bool save = options.positional[0] == "save";
    const std::string& path = options.positional[1];

    std::vector<Chunk> chunks;
    std::string error;
    if (!save && !StateFile::Load(path, chunks, error))
        throw HostError(error);

    auto host = Load(options);
    auto instance = host->CreateInstance(options.channels, float(options.rate));

    if (save)
    {
        ApplyPreset(*instance, options, out);
        for (const Setting& setting : options.settings)
            Check(instance->Automate(ResolveParameter(*instance, setting.parameter), setting.value), "setting");
        Check(instance->GetChunks(chunks), "reading the chunks");
        if (!StateFile::Save(path, chunks, error))
            throw HostError(error);
    }
    else
    {
        Check(instance->RestoreChunks(chunks), "restoring the chunks");
        for (const Chunk& chunk : chunks)
        {
            bool equal = false;
            Check(instance->CompareActiveChunk(chunk, equal), "comparing a chunk");
            out << "Chunk '" << FourCCText(chunk.id) << "' " << (equal ? "matches" : "differs from")
                << " the restored instance\n";
        }
    }

    for (const Chunk& chunk : chunks)
        out << (save ? "Saved" : "Restored") << " chunk '" << FourCCText(chunk.id) << "' \"" << chunk.name << "\", "
            << chunk.data.size() << " bytes, version " << chunk.version << "\n";
    char line[160];
    for (const auto& id : instance->ParameterIDs())
    {
        std::snprintf(line, sizeof(line), "  %-24s %.6f\n", id.c_str(), instance->ParameterValue(id));
        out << line;
    }
    out << (save ? "Wrote " : "Read ") << path << "\n";
    CloseAll(*host, *instance, out);
    return 0;
}

int EditorCommand(const Options& options, std::ostream& out)
{
    if (!options.positional.empty())
        throw UsageError("editor takes no file; use --screenshot FILE");
    const double seconds = options.secondsGiven ? options.seconds : 3.0;

    auto host = Load(options);
    auto instance = host->CreateInstance(options.channels, float(options.rate));
    ApplyPreset(*instance, options, out);
    {
        PlugInEditor editor(*host, *instance);
        const AAX_Point size = editor.InitialViewSize();
        out << "Editor view      " << size.horz << " x " << size.vert << "\n";
        editor.Run(int(seconds * 1000.0));
        if (!options.screenshot.empty())
        {
            RgbImage image;
            std::string error;
            if (!editor.Grab(image))
                throw HostError("the window could not be grabbed");
            if (!PngWriter::Write(options.screenshot, image, error))
                throw HostError(error);
            out << "Wrote            " << options.screenshot << "\n";
        }
        editor.Close();
    }
    CloseAll(*host, *instance, out);
    return 0;
}
} // namespace

std::string CommandLine::Usage()
{
    return "usage: quillo-host COMMAND [OPTIONS]\n"
           "  describe                         print what the module registers\n"
           "  render [IN.wav] [--out OUT.wav]  process a file (or the built-in signal) and print\n"
           "         [--channels 1|2] [--rate HZ] [--seconds S]   (built-in signal only)\n"
           "         [--block N] [--preset C I] [--set ID=VALUE[@SECONDS]]...\n"
           "  state save FILE [--preset C I] [--set ID=VALUE]...  save an instance's chunks\n"
           "  state load FILE                  restore chunks into an instance and compare\n"
           "  editor [--seconds S] [--screenshot FILE.png] [--preset C I]\n"
           "common: --module PATH (the plug-in module), --presets DIR (factory presets),\n"
           "        --channels 1|2 and --rate HZ choose the instance (stereo, 48000 by default)\n"
           "ID is a parameter id (\"12Low Mid Gain\"), its number (12) or \"bypass\"; VALUE is 0..1.\n"
           "C I name a factory preset, 1-based as in its file name (6 1 is 06_01_Kick).\n";
}

int CommandLine::Run(const std::vector<std::string>& arguments, const Defaults& defaults, std::ostream& out,
                     std::ostream& err)
{
    try
    {
        const Options options = Parse(arguments, defaults);
        if (options.command == "describe" && options.positional.empty())
            return Describe(options, out);
        if (options.command == "render")
            return RenderCommand(options, out);
        if (options.command == "state")
            return StateCommand(options, out);
        if (options.command == "editor")
            return EditorCommand(options, out);
        if (options.command == "help" || options.command == "--help")
        {
            out << Usage();
            return 0;
        }
        throw UsageError("unknown command " + options.command);
    }
    catch (const UsageError& error)
    {
        err << "quillo-host: " << error.what() << "\n" << Usage();
        return 2;
    }
    catch (const std::exception& error)
    {
        err << "quillo-host: " << error.what() << "\n";
        return 1;
    }
}
} // namespace aaxhost
