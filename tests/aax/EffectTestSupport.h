#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "ACF/ACFPtr.h"
#include "ACF/acfuids.h"
#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"

/** Plug-in objects built on the library's bases the way the framework's AAX wrapper builds its
    own, for tests of the effect layer through the stand-in host. */
namespace aaxtest
{
/** The product's 23 parameter ids (index, then name), in index order. */
extern const char* const kQuilloParameterIds[23];

/** A float parameter over 0..1 the way the framework's wrapper makes one (linear taper, three
    decimals, automatable). */
AAX_CParameter<float>* MakeFloatParameter(const char* id, float defaultValue, const char* name = nullptr);

/** A parameter that stores a float but reports its value as another type: int32 (rounded),
    double or text. Its setters of that type store the value directly, so the chunk paths of
    every type can be exercised. */
class ForeignTypedParameter : public AAX_CParameter<float>
{
public:
    enum Kind
    {
        eInt32,
        eDouble,
        eText
    };

    ForeignTypedParameter(const char* id, Kind kind, float value);

    bool GetValueAsFloat(float*) const override { return false; }
    bool GetValueAsInt32(int32_t* value) const override { return Get(eInt32, value, int32_t(std::lround(stored))); }
    bool GetValueAsDouble(double* value) const override { return Get(eDouble, value, stored); }
    bool GetValueAsString(AAX_IString* value) const override;
    bool SetValueWithInt32(int32_t value) override { return Set(eInt32, value); }
    bool SetValueWithDouble(double value) override { return Set(eDouble, value); }
    bool SetValueWithString(const AAX_IString& value) override;

    double stored;
    std::string text;

private:
    template <class T>
    bool Get(Kind kind, T* out, T value) const
    {
        if (mKind != kind || out == nullptr)
            return false;
        *out = value;
        return true;
    }

    bool Set(Kind kind, double value)
    {
        if (mKind == kind)
            stored = value;
        return mKind == kind;
    }

    Kind mKind;
};

/** The product's data model as the wrapper sets it up: in EffectInit the master bypass (a float
    parameter, as the wrapper makes it) and the 23 parameters, default (i + 1) / 32, then the
    bypass packet on port 3. Switches let a test bend the set-up. */
class QuilloEffect : public AAX_CEffectParameters
{
public:
    bool addPreview = false; ///< a bool "PreviewID" parameter

    AAX_CParameterManager& Manager() { return mParameterManager; }
    int32_t& Changes() { return mNumPlugInChanges; }

    /** The current normalised value of a parameter (NaN for an unknown id). */
    double Value(const char* id) const;

protected:
    AAX_Result EffectInit() override;
};

/** An editor without a view. */
class NullViewGUI : public AAX_CEffectGUI
{
public:
    void CreateViewContents() override {}
    void CreateViewContainer() override {}
    void DeleteViewContainer() override {}
    AAX_Result ParameterUpdated(AAX_CParamID) override { return AAX_SUCCESS; }
};

/** Takes the first reference to a new plug-in object; the holder's release deletes it. */
template <class Object>
ACFPtr<IACFUnknown> Own(Object* object)
{
    ACFPtr<IACFUnknown> held;
    void* unknown = nullptr;
    if (object->QueryInterface(IID_IACFUnknown, &unknown) == ACF_OK)
        held.attach(static_cast<IACFUnknown*>(unknown));
    return held;
}

/** A chunk record with room for exactly `dataSize` bytes of data, zero-filled: the sanitizer
    builds see any access past the declared size. */
class ChunkBuffer
{
public:
    explicit ChunkBuffer(size_t dataSize);

    /** A chunk holding exactly `data`. */
    static ChunkBuffer Holding(const std::vector<uint8_t>& data);

    AAX_SPlugInChunk* get() { return reinterpret_cast<AAX_SPlugInChunk*>(mStorage.data()); }
    AAX_SPlugInChunk* operator->() { return get(); }

    /** The first `fSize` bytes of data (none for a negative size). */
    std::vector<uint8_t> Data();

private:
    std::vector<uint8_t> mStorage;
};

/** The bytes of a value, most significant first. */
std::vector<uint8_t> BigEndian(uint64_t bits, int bytes);

/** One chunk entry as the format lays it out: tag, name, zero byte, padding, then `value`. */
std::vector<uint8_t> Entry(const std::string& tagAndName, const std::vector<uint8_t>& value);

/** Concatenation. */
std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts);

/** The marker that starts every chunk's data. */
inline const std::vector<uint8_t> kMarker { 1, 1, 1, 1 };
} // namespace aaxtest
