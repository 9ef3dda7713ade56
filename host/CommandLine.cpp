#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>

#include <CLI/CLI.hpp>

#include "AudioFile.h"
#include "HostError.h"
#include "Interruption.h"
#include "Levels.h"
#include "PlugInEditor.h"
#include "PlugInInstance.h"
#include "StandInHost.h"
#include "StateFile.h"
#include "TestSignal.h"

namespace aaxhost
{
namespace
{
/** A wrong command line: reported with the usage, exit code 2. */
struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

/** What the command printed did not reach standard output; main() says why. */
struct ReportFailed : std::runtime_error
{
    ReportFailed()
        : std::runtime_error("cannot write standard output")
    {
    }
};

/** Hands what the command printed to its reader before the command's result is made visible:
    a target must not be replaced when the report of it is lost. */
void Deliver(std::ostream& report)
{
    if (!report.flush())
        throw ReportFailed();
}

/** Where a command reports: standard error when its result itself goes to standard output. */
std::ostream& ReportTo(bool resultOnStandardOutput, std::ostream& out, std::ostream& err)
{
    return resultOnStandardOutput ? err : out;
}

/** Opens a command's output before any work, so that a target that cannot be written (no
    folder, a name too long, no permission) costs nothing. */
std::unique_ptr<OutputFile> OpenOutput(const std::string& path)
{
    auto file = std::make_unique<OutputFile>(path);
    if (!file->IsOpen())
        throw HostError(file->Error());
    return file;
}

/** The engine's state in a 'juce' chunk is this long (bytes); the wrapper takes a shorter one
    without complaint and changes nothing, so the host refuses it. */
constexpr size_t kEngineStateSize = 104;

/** A factory preset file is this long (bytes). */
constexpr size_t kPresetSize = 92;

/** One --set: a parameter (full id, or its index number) set to a value, at a time when `timed`. */
struct Setting
{
    std::string parameter;
    double value = 0.0;
    double seconds = 0.0;
    bool timed = false;
};

struct Options
{
    std::string command;
    std::vector<std::string> positional;
    std::string modulePath;
    std::string presetFolder;
    std::string out = "quillo-out.wav";
    std::string screenshot;
    int channels = 2;
    double rate = 48000.0;
    double seconds = 5.0;
    int block = 512;
    std::pair<int, int> preset { 0, 0 }; // 1-based category and index; 0 0 none
    std::vector<std::string> settingTexts;
    std::vector<Setting> settings;
    std::vector<std::string> given; // the options given, by name
    bool help = false;

    bool Given(const std::string& name) const { return std::count(given.begin(), given.end(), name) > 0; }
};

Setting ParseSetting(const std::string& text)
{
    const auto equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw UsageError("--set takes ID=VALUE or ID=VALUE@SECONDS");
    Setting setting;
    setting.parameter = text.substr(0, equals);
    std::string value = text.substr(equals + 1);
    const auto at = value.find('@');
    const auto number = [](const std::string& digits, const char* what) {
        size_t used = 0;
        double parsed = 0.0;
        try
        {
            parsed = std::stod(digits, &used);
        }
        catch (const std::exception&)
        {
            used = 0;
        }
        if (used == 0 || used != digits.size() || !std::isfinite(parsed))
            throw UsageError(std::string("bad ") + what + " in --set: " + digits);
        return parsed;
    };
    if (at != std::string::npos)
    {
        setting.seconds = number(value.substr(at + 1), "time");
        setting.timed = true;
        value = value.substr(0, at);
        if (setting.seconds < 0.0)
            throw UsageError("a --set time must not be negative");
    }
    setting.value = number(value, "value");
    if (setting.value < 0.0 || setting.value > 1.0)
        throw UsageError("a --set value is normalised: 0 to 1");
    return setting;
}

/** Checks what CLI11 cannot: ranges, finiteness, and which options go together. */
void Validate(Options& options)
{
    const auto given = [&](const char* name) { return options.Given(name); };
    if (given("--channels") && options.channels != 1 && options.channels != 2)
        throw UsageError("--channels is 1 or 2");
    if (given("--rate")
        && (!(options.rate >= PlugInInstance::kMinSampleRate && options.rate <= PlugInInstance::kMaxSampleRate)
            || options.rate != std::floor(options.rate)))
        throw UsageError("--rate is a whole number of Hz from 8000 to 384000");
    if (given("--seconds") && !(options.seconds > 0.0 && options.seconds <= 600.0))
        throw UsageError("--seconds is above 0 and at most 600");
    if (given("--block") && (options.block < 1 || options.block > PlugInInstance::kMaxBlockSize))
        throw UsageError("--block is 1 to " + std::to_string(PlugInInstance::kMaxBlockSize));
    if (given("--preset") && (options.preset.first < 1 || options.preset.second < 1))
        throw UsageError("--preset takes CATEGORY INDEX, both from 1");
    if (given("--out") && options.out.empty())
        throw UsageError("--out needs a file name");
    if (given("--module") && options.modulePath.empty())
        throw UsageError("--module needs a file name");
    if (given("--presets") && options.presetFolder.empty())
        throw UsageError("--presets needs a folder name");
    if (given("--screenshot") && options.screenshot.empty())
        throw UsageError("--screenshot needs a file name");
    for (const std::string& text : options.settingTexts)
        options.settings.push_back(ParseSetting(text));

    if (options.command == "render")
    {
        if (options.positional.size() > 1)
            throw UsageError("render takes at most one input file");
        if (!options.positional.empty() && options.positional[0].empty())
            throw UsageError("render needs an input file name (- for standard input), or none for the built-in "
                             "signal");
        if (!options.positional.empty() && (given("--rate") || given("--seconds") || given("--channels")))
            throw UsageError("--rate, --seconds and --channels are for the built-in signal only");
        if (options.positional.empty() && std::llround(options.seconds * options.rate) < 1)
        {
            char text[160];
            std::snprintf(text, sizeof(text), "--seconds %g is shorter than one frame at %g Hz", options.seconds,
                          options.rate);
            throw UsageError(text);
        }
    }
    if (options.command == "state")
    {
        if (options.positional.size() != 2 || (options.positional[0] != "save" && options.positional[0] != "load")
            || options.positional[1].empty())
            throw UsageError("state save FILE | state load FILE");
        if (options.positional[0] == "load" && (given("--preset") || given("--set")))
            throw UsageError("state load takes no --preset or --set: the file says it all");
        for (const Setting& setting : options.settings)
            if (setting.timed)
                throw UsageError("state save takes no --set times: a saved state has no timeline");
    }
    if ((options.command == "editor" || options.command == "describe") && !options.positional.empty())
        throw UsageError(options.command + " takes no file"
                         + (options.command == "editor" ? "; use --screenshot FILE" : ""));
}

Options Parse(const std::vector<std::string>& arguments, const CommandLine::Defaults& defaults)
{
    Options options;
    options.modulePath = defaults.modulePath;
    options.presetFolder = defaults.presetFolder;
    if (arguments.empty())
        throw UsageError("no command");
    options.command = arguments[0];
    if (options.command == "help" || options.command == "--help" || options.command == "-h")
    {
        options.help = true;
        return options;
    }
    const std::string& command = options.command;
    if (command != "describe" && command != "render" && command != "state" && command != "editor")
        throw UsageError("unknown command " + command);

    // Each command takes only its own options.
    CLI::App app("quillo-host " + command);
    app.add_option("--module", options.modulePath);
    app.add_option("--presets", options.presetFolder);
    app.add_option("files", options.positional);
    if (command == "render")
    {
        app.add_option("--out", options.out);
        app.add_option("--block", options.block);
    }
    if (command == "render" || command == "editor")
        app.add_option("--seconds", options.seconds);
    if (command == "editor")
        app.add_option("--screenshot", options.screenshot);
    if (command != "describe")
    {
        app.add_option("--channels", options.channels);
        app.add_option("--rate", options.rate);
        app.add_option("--preset", options.preset);
    }
    if (command == "render" || command == "state")
        app.add_option("--set", options.settingTexts)->allow_extra_args(false);

    try
    {
        std::vector<std::string> rest(arguments.rbegin(), arguments.rend() - 1); // CLI11 takes them reversed
        app.parse(rest);
    }
    catch (const CLI::CallForHelp&)
    {
        options.help = true;
        return options;
    }
    catch (const CLI::ParseError& error)
    {
        throw UsageError(error.what());
    }
    for (const CLI::Option* option : app.get_options())
        if (option->count() > 0)
            options.given.push_back(option->get_name());
    Validate(options);
    return options;
}

/** The factory preset file "CC_II_Title.wmb" in `folder`; its title in `title`. */
std::vector<uint8_t> ReadPreset(const std::string& folder, int category, int index, std::string& title)
{
    char prefix[16];
    std::snprintf(prefix, sizeof(prefix), "%02d_%02d_", category, index);
    std::string found;
    DIR* const directory = opendir(folder.c_str());
    if (directory == nullptr)
        throw HostError("cannot read the presets folder " + folder + ": " + std::strerror(errno));
    while (const dirent* entry = readdir(directory))
    {
        const std::string name = entry->d_name;
        if (name.rfind(prefix, 0) == 0 && name.size() > 10 && name.substr(name.size() - 4) == ".wmb")
            found = name;
    }
    closedir(directory);
    if (found.empty())
        throw HostError("there is no factory preset " + std::to_string(category) + " " + std::to_string(index) + " in "
                        + folder);

    const std::string path = folder + "/" + found;
    struct stat status
    {
    };
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || size_t(status.st_size) != kPresetSize)
        throw HostError(path + ": not a factory preset of " + std::to_string(kPresetSize) + " bytes");
    std::vector<uint8_t> bytes(kPresetSize);
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size())))
        throw HostError(path + ": cannot be read");

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

/** The preset restored as a host restores a saved setting: through the 'juce' chunk, in the
    host's form of the state (the preset's values, then its 0-based category and index and "not
    modified"), so that the editor's banner and a saved state name the preset. */
void ApplyPreset(PlugInInstance& instance, const Options& options, std::ostream& out)
{
    const auto [category, index] = options.preset;
    if (category == 0)
        return;
    std::string title;
    Chunk chunk;
    chunk.id = FourCCFromText("juce");
    chunk.data = ReadPreset(options.presetFolder, category, index, title);
    for (const int32_t field : { category - 1, index - 1, 0 })
        for (int byte = 0; byte < 4; ++byte)
            chunk.data.push_back(uint8_t(uint32_t(field) >> (8 * byte)));
    Check(instance.SetChunk(chunk), "restoring the preset");
    out << "Preset " << category << " " << index << ": \"" << title << "\"\n";
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
    Interruption::ThrowIfRequested();
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

/** One instance of a render with its own timeline of settings (input frame -> id, value) and
    output buffers. */
struct Lane
{
    std::unique_ptr<PlugInInstance> instance;
    std::vector<std::pair<size_t, std::pair<std::string, double>>> timeline; // in order of frames
    size_t next = 0;
    std::vector<std::vector<float>> output;
    std::vector<float*> outputs;
    std::string band;                          // comparison lanes: the band whose dynamics are off
    std::unique_ptr<Levels::DeepestDrop> drop; // comparison lanes: the main output against this one
};

/** A fresh instance with the preset, its timeline (the settings, then `extra` at the start), and
    buffers for `chunk` frames. */
Lane MakeLane(StandInHost& host, const Options& options, int numChannels, double sampleRate, size_t chunk,
              std::ostream& log, const std::vector<std::pair<std::string, double>>& extra = {})
{
    Lane lane;
    lane.instance = host.CreateInstance(numChannels, float(sampleRate));
    ApplyPreset(*lane.instance, options, log);
    for (const Setting& setting : options.settings)
        lane.timeline.emplace_back(size_t(std::llround(setting.seconds * sampleRate)),
                                   std::make_pair(ResolveParameter(*lane.instance, setting.parameter), setting.value));
    for (const auto& setting : extra)
        lane.timeline.emplace_back(0, setting);
    std::stable_sort(lane.timeline.begin(), lane.timeline.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    lane.output.assign(size_t(numChannels), std::vector<float>(chunk));
    for (auto& channel : lane.output)
        lane.outputs.push_back(channel.data());
    return lane;
}

/** Applies the lane's settings due when input frame `position` enters the plug-in; returns the
    frame of the next one (or `limit`). */
size_t ApplyDue(Lane& lane, size_t position, size_t limit)
{
    for (; lane.next < lane.timeline.size() && lane.timeline[lane.next].first <= position; ++lane.next)
    {
        const auto& [id, value] = lane.timeline[lane.next].second;
        Check(lane.instance->Automate(id, value), "setting " + id);
    }
    return lane.next < lane.timeline.size() ? std::min(lane.timeline[lane.next].first, limit) : limit;
}

/** What render plays: a file read a block at a time, or the built-in signal made a block at a
    time. */
struct Source
{
    std::unique_ptr<WavReader> file;
    std::unique_ptr<TestSignal> signal;
    int numChannels = 2;
    double sampleRate = 48000.0;
    size_t numFrames = 0; // a stream's: what its header declares, until it ends
    std::string name;

    /** The next `count` frames (at most what is left) into `channels`; returns how many came:
        fewer only from a stream that ended before its header said, which NumFrames then
        follows. */
    size_t Read(float* const* channels, size_t count)
    {
        if (signal != nullptr)
        {
            signal->Generate(channels, count);
            return count;
        }
        const size_t read = file->Read(channels, count);
        if (read < count && !file->IsStream())
            throw HostError(name + ": the file ended after " + std::to_string(file->FramesRead())
                            + " frames, before the " + std::to_string(numFrames) + " it held when it was opened");
        if (read < count)
            numFrames = file->FramesRead();
        return read;
    }

    /** The warnings a file may need once it was read: one of a stream is only known then. */
    void Warn(std::ostream& err) const
    {
        if (file != nullptr && file->DeclaredFrames() > numFrames)
            err << "quillo-host: warning: " << name << ": the data chunk declares " << file->DeclaredFrames()
                << " frames but the file holds " << numFrames << "; rendering those " << numFrames << "\n";
        if (file != nullptr && numFrames == 0 && file->BytesFollowEmptyData())
            err << "quillo-host: warning: " << name
                << ": the data chunk declares 0 frames, but bytes follow it; rendering none, so the output holds "
                   "none either\n";
        else if (file != nullptr && numFrames == 0)
            err << "quillo-host: warning: " << name << " holds no frames, so the output holds none either\n";
    }
};

Source OpenSource(const Options& options, std::ostream& err)
{
    Source source;
    if (options.positional.empty())
    {
        source.signal = std::make_unique<TestSignal>(options.rate, options.seconds, options.channels);
        source.numChannels = options.channels;
        source.sampleRate = options.rate;
        source.numFrames = source.signal->NumFrames();
        source.name = "built-in test signal (20 Hz - 20 kHz sine sweep plus pink noise)";
    }
    else
    {
        source.name = options.positional[0];
        source.file = std::make_unique<WavReader>(source.name, PlugInInstance::kMinSampleRate,
                                                  PlugInInstance::kMaxSampleRate);
        source.numChannels = source.file->NumChannels();
        source.sampleRate = source.file->SampleRate();
        source.numFrames = source.file->NumFrames();
        if (source.numChannels != 1 && source.numChannels != 2)
            throw HostError(source.name + ": the plug-in takes mono or stereo, the file has "
                            + std::to_string(source.numChannels) + " channels");
        if (!source.file->IsStream())
            source.Warn(err);
    }
    for (const Setting& setting : options.settings)
        if (setting.seconds * source.sampleRate > double(source.numFrames))
        {
            char text[160];
            std::snprintf(text, sizeof(text), "--set time %gs is past the end of the signal (%gs)", setting.seconds,
                          double(source.numFrames) / source.sampleRate);
            throw UsageError(text);
        }
    return source;
}

/** The main lane, then one comparison lane per dynamic band with that band's dynamics off: the
    bands' gain reduction is measured against them, side by side in the same pass. */
std::vector<Lane> MakeLanes(StandInHost& host, const Options& options, const Source& source, size_t chunk,
                            std::ostream& out)
{
    std::vector<Lane> lanes;
    lanes.push_back(MakeLane(host, options, source.numChannels, source.sampleRate, chunk, out));
    std::ostringstream quiet;
    for (const char* band : { "Low Dyn Attenuation", "High Dyn Attenuation" })
        for (const auto& id : lanes[0].instance->ParameterIDs())
            if (id.find(band) != std::string::npos)
            {
                lanes.push_back(
                    MakeLane(host, options, source.numChannels, source.sampleRate, chunk, quiet, { { id, 0.0 } }));
                lanes.back().band = id;
                lanes.back().drop = std::make_unique<Levels::DeepestDrop>(source.numChannels, source.sampleRate);
            }
    return lanes;
}

/** Plays the source through every lane in passes of `chunk` frames and writes the main lane's
    output. As an AAX host compensates the delay: the latency's worth of zeros follows the input,
    and the first that many output frames are dropped, so that the output lines up with the
    input. A stream that ends early ends the render there. */
void Stream(Source& source, std::vector<Lane>& lanes, size_t chunk, int32_t latency, int blockSize, WavWriter& writer,
            Levels::Peaks& inputPeaks, Levels::Peaks& outputPeaks)
{
    const auto numChannels = size_t(source.numChannels);
    std::vector<std::vector<float>> input(numChannels, std::vector<float>(chunk));
    std::vector<float*> inputs;
    for (auto& channel : input)
        inputs.push_back(channel.data());
    std::vector<const float*> aligned(numChannels), reference(numChannels);

    for (size_t position = 0; position < source.numFrames + size_t(latency);)
    {
        Interruption::ThrowIfRequested(); // between blocks: no job runs, the instances can close
        size_t end = std::min(position + chunk, source.numFrames + size_t(latency));
        for (Lane& lane : lanes)
            end = ApplyDue(lane, position, end);

        const size_t wanted = position < source.numFrames ? std::min(end - position, source.numFrames - position) : 0;
        const size_t real = source.Read(inputs.data(), wanted);
        if (real < wanted)
            end = std::min(end, source.numFrames + size_t(latency));
        const size_t length = end - position;
        if (length == 0)
            break;
        for (auto& channel : input)
            std::fill(channel.begin() + std::ptrdiff_t(real), channel.begin() + std::ptrdiff_t(length), 0.0f);
        inputPeaks.Add(inputs.data(), real);

        for (Lane& lane : lanes)
            lane.instance->StartProcess(inputs.data(), lane.outputs.data(), length, blockSize);
        for (Lane& lane : lanes)
            while (!lane.instance->FinishProcess(1000))
            {
            }

        const size_t skip = position < size_t(latency) ? std::min(length, size_t(latency) - position) : 0;
        if (skip < length)
        {
            for (size_t c = 0; c < numChannels; ++c)
                aligned[c] = lanes[0].outputs[c] + skip;
            writer.Write(aligned.data(), length - skip);
            outputPeaks.Add(aligned.data(), length - skip);
            for (size_t i = 1; i < lanes.size(); ++i)
            {
                for (size_t c = 0; c < numChannels; ++c)
                    reference[c] = lanes[i].outputs[c] + skip;
                lanes[i].drop->Add(aligned.data(), reference.data(), length - skip);
            }
        }
        position = end;
    }
}

/** A level in dB with two decimals, right-aligned in `width`; silence as -inf. */
std::string Decibels(double db, int width = 7)
{
    char text[32];
    if (std::isinf(db))
        std::snprintf(text, sizeof(text), "%*s", width, db < 0.0 ? "-inf" : "inf");
    else
        std::snprintf(text, sizeof(text), "%*.2f", width, db);
    return text;
}

void PrintRender(const Source& source, const std::vector<Lane>& lanes, int32_t latency, int blockSize,
                 const Levels::Peaks& inputPeaks, const Levels::Peaks& outputPeaks, std::ostream& out)
{
    const auto inputDb = inputPeaks.Db();
    const auto outputDb = outputPeaks.Db();
    char line[160];
    out << "Input            " << source.name << "\n";
    std::snprintf(line, sizeof(line), "Instance         %s, %.0f Hz, blocks of %d samples\n",
                  source.numChannels == 1 ? "mono" : "stereo", source.sampleRate, blockSize);
    out << line;
    std::snprintf(line, sizeof(line), "Latency          %d samples (%.2f ms)\n", latency,
                  1000.0 * latency / source.sampleRate);
    out << line;
    for (size_t c = 0; c < inputDb.size(); ++c)
    {
        std::snprintf(line, sizeof(line), "Peak %-11s in %s dBFS   out %s dBFS\n",
                      inputDb.size() == 1 ? "mono" : (c == 0 ? "left" : "right"), Decibels(inputDb[c]).c_str(),
                      Decibels(outputDb[c]).c_str());
        out << line;
    }
    for (size_t i = 1; i < lanes.size(); ++i)
    {
        // Parameter ids are the index digits followed by the name; the name alone reads better.
        const std::string& id = lanes[i].band;
        const size_t nameStart = id.find_first_not_of("0123456789");
        const std::string name = nameStart == std::string::npos ? id : id.substr(nameStart);
        std::snprintf(line, sizeof(line), "Reduction        %-22s %s dB (deepest, against the band's dynamics off)\n",
                      name.c_str(), Decibels(lanes[i].drop->Db(), 6).c_str());
        out << line;
    }
}

/** Warns of every --set whose time a stream that ended early never reached. */
void WarnOfSettingsNeverReached(const Options& options, const Source& source, std::ostream& err)
{
    for (size_t i = 0; i < options.settings.size(); ++i)
    {
        const Setting& setting = options.settings[i];
        if (setting.timed && setting.seconds * source.sampleRate > double(source.numFrames))
        {
            char text[160];
            std::snprintf(text, sizeof(text), ": the stream ended after %gs, before the time of --set %s",
                          double(source.numFrames) / source.sampleRate, options.settingTexts[i].c_str());
            err << "quillo-host: warning: " << source.name << text << ", which was never applied\n";
        }
    }
}

int RenderCommand(const Options& options, std::ostream& out, std::ostream& err)
{
    Source source = OpenSource(options, err);
    const bool lengthKnown = source.file == nullptr || !source.file->IsStream() || source.file->DeclaresLength();
    WavWriter writer(options.out, source.numChannels, source.sampleRate, source.numFrames, lengthKnown);
    std::ostream& report = ReportTo(writer.ToStandardOutput(), out, err);
    auto host = Load(options);
    Interruption::ThrowIfRequested();
    // Whole blocks per pass, so that the blocks fall where they would in one long call.
    const auto chunk = size_t(options.block) * std::max<size_t>(1, 8192 / size_t(options.block));
    std::vector<Lane> lanes = MakeLanes(*host, options, source, chunk, report);
    for (Lane& lane : lanes)
        ApplyDue(lane, 0, 0);
    const int32_t latency = std::max(0, lanes[0].instance->Latency());

    Levels::Peaks inputPeaks(source.numChannels), outputPeaks(source.numChannels);
    Stream(source, lanes, chunk, latency, options.block, writer, inputPeaks, outputPeaks);
    if (source.file != nullptr && source.file->IsStream())
    {
        source.Warn(err);
        WarnOfSettingsNeverReached(options, source, err);
    }
    writer.Announce(source.numFrames); // fewer, when a stream ended early
    for (Lane& lane : lanes)
        lane.instance->Close();

    PrintRender(source, lanes, latency, options.block, inputPeaks, outputPeaks, report);
    Deliver(report);
    writer.Close();
    report << "Wrote            " << options.out << "\n";

    lanes.clear();
    const int32_t live = host->Shutdown();
    if (live != 0)
        throw HostError("the module still holds " + std::to_string(live) + " objects after shutdown");
    return 0;
}

/** Refuses a state naming a chunk the instance does not have, saying which. */
void CheckChunkIDs(PlugInInstance& instance, const std::vector<Chunk>& chunks, const std::string& path)
{
    std::vector<Chunk> current;
    Check(instance.GetChunks(current), "reading the chunks");
    std::string known;
    for (const Chunk& chunk : current)
        known += (known.empty() ? "'" : ", '") + FourCCText(chunk.id) + "'";
    for (const Chunk& chunk : chunks)
        if (std::none_of(current.begin(), current.end(), [&](const Chunk& c) { return c.id == chunk.id; }))
            throw HostError(path + ": holds a chunk '" + FourCCText(chunk.id)
                            + "' that the instance does not have (it has " + known + ")");
}

/** How a restored chunk compares with the instance. A plug-in may answer "equal" for a chunk it
    never looks at; a copy that cannot be equal (every byte inverted, one more byte) tells. */
std::string CompareRestored(PlugInInstance& instance, const Chunk& chunk)
{
    bool equal = false;
    Check(instance.CompareActiveChunk(chunk, equal), "comparing chunk '" + FourCCText(chunk.id) + "'");
    if (!equal)
        return "differs from the restored instance";
    Chunk changed = chunk;
    for (uint8_t& byte : changed.data)
        byte = uint8_t(~byte);
    changed.data.push_back(0);
    bool changedEqual = false;
    if (instance.CompareActiveChunk(changed, changedEqual) == AAX_SUCCESS && changedEqual)
        return "restored; the plug-in does not compare this chunk";
    return "matches the restored instance";
}

int StateCommand(const Options& options, std::ostream& out, std::ostream& err)
{
    const bool save = options.positional[0] == "save";
    const std::string& path = options.positional[1];

    std::vector<Chunk> chunks;
    std::string error;
    const std::unique_ptr<OutputFile> file = save ? OpenOutput(path) : nullptr;
    std::ostream& report = ReportTo(file != nullptr && file->IsStandardOutput(), out, err);
    if (!save && !StateFile::Load(path, chunks, error))
        throw HostError(error);
    if (!save && chunks.empty())
        throw HostError(path + ": holds no chunk, so there is nothing to restore");
    for (const Chunk& chunk : chunks)
        if (chunk.id == FourCCFromText("juce") && chunk.data.size() < kEngineStateSize)
            throw HostError(path + ": its 'juce' chunk holds " + std::to_string(chunk.data.size())
                            + " bytes, less than the engine's state of " + std::to_string(kEngineStateSize));

    auto host = Load(options);
    auto instance = host->CreateInstance(options.channels, float(options.rate));
    Interruption::ThrowIfRequested();

    if (save)
    {
        ApplyPreset(*instance, options, report);
        for (const Setting& setting : options.settings)
            Check(instance->Automate(ResolveParameter(*instance, setting.parameter), setting.value), "setting");
        Check(instance->GetChunks(chunks), "reading the chunks");
    }
    else
    {
        CheckChunkIDs(*instance, chunks, path);
        Check(instance->RestoreChunks(chunks), "restoring " + path);
        for (const Chunk& chunk : chunks)
            report << "Chunk '" << FourCCText(chunk.id) << "' " << CompareRestored(*instance, chunk) << "\n";
    }

    for (const Chunk& chunk : chunks)
        report << (save ? "Saved" : "Restored") << " chunk '" << FourCCText(chunk.id) << "' \"" << chunk.name << "\", "
               << chunk.data.size() << " bytes, version " << chunk.version << "\n";
    char line[160];
    for (const auto& id : instance->ParameterIDs())
    {
        std::snprintf(line, sizeof(line), "  %-24s %.6f\n", id.c_str(), instance->ParameterValue(id));
        report << line;
    }
    if (save)
    {
        Deliver(report);
        if (!StateFile::Save(*file, chunks))
            throw HostError(file->Error());
    }
    report << (save ? "Wrote " : "Read ") << path << "\n";
    CloseAll(*host, *instance, report);
    return 0;
}

int EditorCommand(const Options& options, std::ostream& out, std::ostream& err)
{
    const double seconds = options.Given("--seconds") ? options.seconds : 3.0;
    const std::unique_ptr<OutputFile> screenshot = options.screenshot.empty() ? nullptr
                                                                              : OpenOutput(options.screenshot);
    std::ostream& report = ReportTo(screenshot != nullptr && screenshot->IsStandardOutput(), out, err);

    auto host = Load(options);
    auto instance = host->CreateInstance(options.channels, float(options.rate));
    ApplyPreset(*instance, options, report);
    {
        PlugInEditor editor(*host, *instance);
        const AAX_Point size = editor.InitialViewSize();
        report << "Editor view      " << size.horz << " x " << size.vert << "\n";
        editor.Run(int(seconds * 1000.0));
        if (screenshot != nullptr)
        {
            RgbImage image;
            std::string error;
            if (!editor.GrabWhenDrawn(image, error))
                throw HostError(error);
            Deliver(report);
            if (!PngWriter::Write(*screenshot, image))
                throw HostError(screenshot->Error());
            report << "Wrote            " << options.screenshot << "\n";
        }
        editor.Close();
    }
    CloseAll(*host, *instance, report);
    return 0;
}
} // namespace

std::string CommandLine::Usage()
{
    return "usage: quillo-host COMMAND [OPTIONS]\n"
           "  describe                         print what the module registers\n"
           "  render [IN.wav|-] [--out OUT.wav]   process a file, standard input (- or a pipe's\n"
           "                                      path) or the built-in signal, and print\n"
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
        if (options.help)
        {
            out << Usage();
            return 0;
        }
        const int code = options.command == "describe" ? Describe(options, out)
                       : options.command == "render"   ? RenderCommand(options, out, err)
                       : options.command == "state"    ? StateCommand(options, out, err)
                                                       : EditorCommand(options, out, err);
        // A signal after the last point that looks for one still ends the command as one.
        Interruption::ThrowIfRequested();
        return code;
    }
    catch (const Interrupted& interrupted)
    {
        err << "quillo-host: " << interrupted.what() << "\n";
        return 128 + interrupted.Signal();
    }
    catch (const UsageError& error)
    {
        err << "quillo-host: " << error.what() << "\n" << Usage();
        return 2;
    }
    catch (const ReportFailed&)
    {
        if (const int signalNumber = Interruption::Pending())
        {
            err << "quillo-host: interrupted by " << Interruption::SignalName(signalNumber) << "\n";
            return 128 + signalNumber;
        }
        return 1; // the program says why
    }
    catch (const std::exception& error)
    {
        // A read or write that the signal broke off fails as such; the signal is the reason.
        err << "quillo-host: " << error.what() << "\n";
        if (const int signalNumber = Interruption::Pending())
        {
            err << "quillo-host: interrupted by " << Interruption::SignalName(signalNumber) << "\n";
            return 128 + signalNumber;
        }
        return 1;
    }
}
} // namespace aaxhost
