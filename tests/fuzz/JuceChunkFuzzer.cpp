// Fuzz target: the 'juce' chunk through JUCE's AAX wrapper in the real module, as the stand-in
// host restores a saved setting, and the wrapper's value-from-string path with text from the
// same input. The module is loaded once; every input starts from the default state.
//
// Checked for every input:
// - the chunk is accepted or refused without harm, and afterwards the engine's state (the
//   'juce' chunk read back) has its 104 bytes with every value finite and within 0..1;
// - the data model reports the engine's values, and the library's parameters (the 'elck' chunk)
//   hold them too once the host has confirmed the values the restore re-sent;
// - a value read from text is a finite number within 0..1;
// - a block of noise comes out finite.

#include "FuzzInput.h"

#include "Chunk.h"
#include "HostString.h"
#include "PlugInInstance.h"
#include "StandInHost.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using quillo::fuzz::FuzzInput;
using quillo::fuzz::require;

namespace
{
constexpr uint32_t kElck = 0x656C636B;
constexpr uint32_t kJuce = 0x6A756365;
constexpr int kNumParameters = 23;
constexpr int kBlock = 64;

struct Session
{
    std::unique_ptr<aaxhost::StandInHost> host;
    std::unique_ptr<aaxhost::PlugInInstance> instance;
    std::vector<std::string> ids;
    aaxhost::Chunk defaults;
    std::vector<float> noise;
};

Session& session()
{
    static Session s;
    return s;
}

/** The doubles the 'elck' chunk holds for `ids`, in order (NaN for a missing one). */
std::vector<double> controlsValues (const std::vector<uint8_t>& data, const std::vector<std::string>& ids)
{
    std::vector<double> values (ids.size(), std::nan (""));
    size_t position = 4;
    while (position < data.size())
    {
        const size_t nameEnd = position + std::strlen (reinterpret_cast<const char*> (data.data() + position));
        const std::string name (reinterpret_cast<const char*> (data.data() + position + 2), nameEnd - position - 2);
        position = (nameEnd + 1 + 3) & ~size_t (3);
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = (bits << 8) | data[position + size_t (i)];
        position += 8;
        for (size_t i = 0; i < ids.size(); ++i)
            if (ids[i] == name)
                std::memcpy (&values[i], &bits, 8);
    }
    return values;
}
}   // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    Session& s = session();
    s.host = std::make_unique<aaxhost::StandInHost> (QUILLO_FUZZ_MODULE);
    s.instance = s.host->CreateInstance (2, 48000.0f);
    const std::string bypass = s.instance->BypassID();
    for (const auto& id : s.instance->ParameterIDs())
        if (id != bypass)
            s.ids.push_back (id);
    require (s.ids.size() == kNumParameters, "23 engine parameters");
    require (s.instance->GetChunk (kJuce, s.defaults) == AAX_SUCCESS, "the default state");

    // Closed before the module's own statics go, which were made during the set-up above.
    std::atexit (
        []
        {
            session().instance.reset();
            session().host.reset();
        });

    std::minstd_rand random (1);
    std::uniform_real_distribution<float> sample (-1.0f, 1.0f);
    s.noise.resize (2 * kBlock);
    for (float& x : s.noise)
        x = sample (random);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;

    Session& s = session();
    aaxhost::PlugInInstance& instance = *s.instance;
    require (instance.SetChunk (s.defaults) == AAX_SUCCESS, "the default state restores");

    // The whole input is the chunk; its first bytes are also a text to read values from.
    aaxhost::Chunk chunk;
    chunk.id = kJuce;
    chunk.data.assign (data, data + size);
    const AAX_Result restored = instance.SetChunk (chunk);
    require (restored == AAX_SUCCESS || restored < 0, "SetChunk's result");

    aaxhost::Chunk engine;
    require (instance.GetChunk (kJuce, engine) == AAX_SUCCESS, "the engine's state reads back");
    require (engine.data.size() == 104, "the engine's state has 104 bytes");
    aaxhost::Chunk library;
    require (instance.GetChunk (kElck, library) == AAX_SUCCESS, "the library's state reads back");
    const auto libraryValues = controlsValues (library.data, s.ids);

    for (int i = 0; i < kNumParameters; ++i)
    {
        float value = 0.0f;
        std::memcpy (&value, engine.data.data() + i * 4, 4);
        require (std::isfinite (value) && value >= 0.0f && value <= 1.0f, "the engine holds a value within 0..1");

        double model = -1.0;
        require (instance.Effect().GetParameterNormalizedValue (s.ids[size_t (i)].c_str(), &model) == AAX_SUCCESS,
                 "the data model answers");
        require (model == double (value), "the data model reports the engine's value");
        require (std::fabs (libraryValues[size_t (i)] - double (value)) <= 1.0e-7,
                 "the library holds the engine's value");
    }

    // Hosts hand over texts in ASCII (JUCE's wrapper reads them so, and asserts on other bytes).
    FuzzInput in (data, size);
    std::string text = in.takeText (32);
    for (char& c : text)
        c = char (0x20 + (uint8_t (c) % 0x5F));
    for (const auto& id : s.ids)
    {
        double parsed = -1.0;
        if (instance.Effect().GetParameterValueFromString (id.c_str(), &parsed, aaxhost::HostString (text.c_str()))
            == AAX_SUCCESS)
            require (std::isfinite (parsed) && parsed >= 0.0 && parsed <= 1.0, "a value read from text is within 0..1");
    }

    std::vector<float> out (2 * kBlock);
    const float* inputs[2] = { s.noise.data(), s.noise.data() + kBlock };
    float* outputs[2] = { out.data(), out.data() + kBlock };
    instance.Process (inputs, outputs, kBlock, kBlock);
    for (float x : out)
        require (std::isfinite (x), "finite audio");
    return 0;
}
