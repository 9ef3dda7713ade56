// Fuzz target: the 'elck' controls chunk as a host hands it back, through the effect-parameters
// base (SetChunk, CompareActiveChunk, then GetChunk of the result) and through the chunk data
// parser alone. No JUCE: the library's base with the product's 24 parameters, and test-only
// parameters that keep their values as int32, double and text, so that every typed path runs.
//
// Checked for every input:
// - CompareActiveChunk and SetChunk agree on whether the data is malformed;
// - a malformed chunk changes no parameter;
// - after a restore every float parameter holds a finite value within 0..1;
// - the chunk written afterwards compares equal, and restores the same values into a fresh
//   instance;
// - what the parser reads, it writes back so that reading it again gives the same values.

#include "AAX_CChunkDataParser.h"
#include "EffectTestSupport.h"
#include "FuzzInput.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

using quillo::fuzz::require;

namespace
{
constexpr AAX_CTypeID kElck = 0x656C636B;

/** A chunk record whose data ends exactly where its allocation ends, so that a sanitizer sees
    any read past the declared size. */
class ExactChunk
{
public:
    ExactChunk (const uint8_t* data, size_t size, AAX_CTypeID id = kElck)
        : storage (new uint8_t[offsetof (AAX_SPlugInChunk, fData) + size])
    {
        auto* chunk = get();
        chunk->fSize = int32_t (size);
        chunk->fVersion = 1;
        chunk->fChunkID = id;
        std::memset (chunk->fName, 0, sizeof (chunk->fName));

        if (size > 0)
            std::memcpy (storage.get() + offsetof (AAX_SPlugInChunk, fData), data, size);
    }

    AAX_SPlugInChunk* get() { return reinterpret_cast<AAX_SPlugInChunk*> (storage.get()); }

private:
    std::unique_ptr<uint8_t[]> storage;
};

/** A parameter kept as a double that, like the library's own parameters, refuses a value that
    is not a finite number. */
class FiniteDoubleParameter : public aaxtest::ForeignTypedParameter
{
public:
    explicit FiniteDoubleParameter (const char* id) : ForeignTypedParameter (id, eDouble, 0.25f) {}

    bool SetValueWithDouble (double value) override
    {
        return std::isfinite (value) && ForeignTypedParameter::SetValueWithDouble (value);
    }
};

/** The product's parameters plus one of each foreign type, initialised without a host (no
    automation: values change at once). */
struct Instance
{
    Instance()
    {
        effect->addPreview = true;
        require (effect->Initialize (nullptr) == AAX_SUCCESS, "Initialize");

        using Foreign = aaxtest::ForeignTypedParameter;
        effect->Manager().AddParameter (new Foreign ("xInt", Foreign::eInt32, 0.25f));
        effect->Manager().AddParameter (new FiniteDoubleParameter ("xDouble"));
        effect->Manager().AddParameter (new Foreign ("xText", Foreign::eText, 0.25f));
    }

    ~Instance() { effect->Uninitialize(); }

    std::vector<double> values() const
    {
        std::vector<double> out;

        for (const char* id : aaxtest::kQuilloParameterIds)
            out.push_back (effect->Value (id));

        out.push_back (effect->Value (cDefaultMasterBypassID));
        out.push_back (effect->Value (cPreviewParameterID));
        return out;
    }

    aaxtest::QuilloEffect* effect = new aaxtest::QuilloEffect();
    ACFPtr<IACFUnknown> held = aaxtest::Own (effect);
};

bool sameBits (const std::vector<double>& a, const std::vector<double>& b)
{
    return a.size() == b.size() && std::memcmp (a.data(), b.data(), a.size() * sizeof (double)) == 0;
}

std::vector<uint8_t> writtenChunk (const AAX_CEffectParameters& effect)
{
    uint32_t size = 0;
    require (effect.GetChunkSize (kElck, &size) == AAX_SUCCESS, "GetChunkSize");
    require (size >= 4, "a chunk holds at least its marker");

    std::vector<uint8_t> record (offsetof (AAX_SPlugInChunk, fData) + size);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*> (record.data());
    require (effect.GetChunk (kElck, chunk) == AAX_SUCCESS, "GetChunk");
    require (chunk->fSize == int32_t (size), "GetChunk writes the size GetChunkSize gave");
    return { record.begin() + (ptrdiff_t) offsetof (AAX_SPlugInChunk, fData), record.end() };
}

void checkParserRoundTrip (const uint8_t* data, size_t size)
{
    ExactChunk chunk (data, size);
    AAX_CChunkDataParser parser;

    if (! parser.LoadChunk (chunk.get()))
    {
        require (parser.GetValues().empty(), "a malformed chunk leaves no values");
        return;
    }

    const int32_t writtenSize = parser.GetChunkDataSize();
    require (writtenSize >= 4, "GetChunkDataSize");

    std::vector<uint8_t> record (offsetof (AAX_SPlugInChunk, fData) + size_t (writtenSize));
    auto* written = reinterpret_cast<AAX_SPlugInChunk*> (record.data());
    require (parser.GetChunkData (written) == AAX_SUCCESS, "what was read can be written");
    require (written->fSize == writtenSize, "GetChunkData writes the size GetChunkDataSize gave");

    AAX_CChunkDataParser again;
    require (again.LoadChunk (written), "what was written can be read");
    require (again.GetValues().size() == parser.GetValues().size(), "the same number of values");

    for (size_t i = 0; i < parser.GetValues().size(); ++i)
    {
        const auto& a = parser.GetValues()[i];
        const auto& b = again.GetValues()[i];
        require (a.type == b.type && a.name == b.name && a.text == b.text, "the same entries");
        require (std::memcmp (&a.number, &b.number, sizeof (a.number)) == 0, "the same value bits");
    }
}
}   // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    if (size > 1 << 16)
        return 0;

    checkParserRoundTrip (data, size);

    Instance instance;
    const auto before = instance.values();

    ExactChunk chunk (data, size);
    AAX_CBoolean equal = 0;
    const AAX_Result compared = instance.effect->CompareActiveChunk (chunk.get(), &equal);
    const AAX_Result restored = instance.effect->SetChunk (kElck, chunk.get());

    require (compared == AAX_SUCCESS || compared == AAX_ERROR_MALFORMED_CHUNK, "CompareActiveChunk's result");
    require (restored == AAX_SUCCESS || restored == AAX_ERROR_MALFORMED_CHUNK, "SetChunk's result");
    require ((compared == AAX_ERROR_MALFORMED_CHUNK) == (restored == AAX_ERROR_MALFORMED_CHUNK),
             "CompareActiveChunk and SetChunk agree on malformed data");

    const auto after = instance.values();

    if (restored != AAX_SUCCESS)
    {
        require (sameBits (before, after), "a refused chunk changes nothing");
        return 0;
    }

    for (double v : after)
        require (std::isfinite (v) && v >= 0.0 && v <= 1.0, "every value finite and within 0..1");

    if (equal)
        require (sameBits (before, after), "a chunk that compared equal changes nothing");

    // What the instance writes now is what it holds.
    const auto saved = writtenChunk (*instance.effect);
    ExactChunk savedChunk (saved.data(), saved.size());
    AAX_CBoolean savedEqual = 0;
    require (instance.effect->CompareActiveChunk (savedChunk.get(), &savedEqual) == AAX_SUCCESS, "compare saved");
    require (savedEqual == 1, "the chunk just written compares equal");

    Instance fresh;
    require (fresh.effect->SetChunk (kElck, savedChunk.get()) == AAX_SUCCESS, "restore saved");
    require (sameBits (fresh.values(), after), "the saved chunk restores the same values");
    return 0;
}
