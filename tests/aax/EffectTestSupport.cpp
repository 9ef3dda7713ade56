#include "EffectTestSupport.h"

#include <cmath>
#include <cstring>

#include "AAX_CBinaryDisplayDelegate.h"
#include "AAX_CBinaryTaperDelegate.h"
#include "AAX_CLinearTaperDelegate.h"
#include "AAX_CNumberDisplayDelegate.h"

namespace aaxtest
{
const char* const kQuilloParameterIds[23] = {
    "0Input Gain",
    "1Output Gain",
    "2Power",
    "3High Pass",
    "4Meter IO",
    "5Low Shelf Boost",
    "6Low Shelf Attenuate",
    "7Low Shelf Frequency",
    "8High Shelf Boost",
    "9High Shelf Attenuate",
    "10High Shelf Frequency",
    "11Low Mid Freq",
    "12Low Mid Gain",
    "13Low Mid Q",
    "14Low Dyn Attenuation",
    "15High Mid Freq",
    "16High Mid Gain",
    "17High Mid Q",
    "18High Dyn Attenuation",
    "19Low Shelf Power",
    "20Low Mid Power",
    "21High Mid Power",
    "22High Shelf Power",
};

AAX_CParameter<float>* MakeFloatParameter(const char* id, float defaultValue, const char* name)
{
    return new AAX_CParameter<float>(id, AAX_CString(name != nullptr ? name : id), defaultValue,
                                     AAX_CLinearTaperDelegate<float, 0>(), AAX_CNumberDisplayDelegate<float, 3>(),
                                     true);
}

// ---------------------------------------------------------------------------------------------

ForeignTypedParameter::ForeignTypedParameter(const char* id, Kind kind, float value)
    : AAX_CParameter<float>(id, AAX_CString(id), value, AAX_CLinearTaperDelegate<float, 0>(),
                            AAX_CNumberDisplayDelegate<float, 3>(), true)
    , stored(value)
    , text(std::to_string(value))
    , mKind(kind)
{
}

bool ForeignTypedParameter::GetValueAsString(AAX_IString* value) const
{
    if (mKind != eText || value == nullptr)
        return false;
    value->Set(text.c_str());
    return true;
}

bool ForeignTypedParameter::SetValueWithString(const AAX_IString& value)
{
    if (mKind != eText)
        return false;
    text = value.Get();
    return true;
}

// ---------------------------------------------------------------------------------------------

AAX_Result QuilloEffect::EffectInit()
{
    AAX_CParameter<float>* const bypass = MakeFloatParameter(cDefaultMasterBypassID, 0.0f, "Master Bypass");
    bypass->SetNumberOfSteps(2);
    bypass->SetType(AAX_eParameterType_Discrete);
    mParameterManager.AddParameter(bypass);
    for (int i = 0; i < 23; ++i)
        mParameterManager.AddParameter(MakeFloatParameter(kQuilloParameterIds[i], float(i + 1) / 32.0f));
    if (addPreview)
        mParameterManager.AddParameter(new AAX_CParameter<bool>(cPreviewParameterID, AAX_CString("Preview"), false,
                                                                AAX_CBinaryTaperDelegate<bool>(),
                                                                AAX_CBinaryDisplayDelegate<bool>("off", "on"), false));
    mPacketDispatcher.RegisterPacket(cDefaultMasterBypassID, 3);
    return AAX_SUCCESS;
}

double QuilloEffect::Value(const char* id) const
{
    double value = std::nan("");
    GetParameterNormalizedValue(id, &value);
    return value;
}

// ---------------------------------------------------------------------------------------------

ChunkBuffer::ChunkBuffer(size_t dataSize)
    : mStorage(offsetof(AAX_SPlugInChunk, fData) + dataSize, 0)
{
    get()->fChunkID = 0x656C636B;
    get()->fSize = int32_t(dataSize);
}

ChunkBuffer ChunkBuffer::Holding(const std::vector<uint8_t>& data)
{
    ChunkBuffer chunk(data.size());
    std::memcpy(chunk->fData, data.data(), data.size());
    return chunk;
}

std::vector<uint8_t> ChunkBuffer::Data()
{
    const int32_t size = get()->fSize;
    const auto* const bytes = reinterpret_cast<const uint8_t*>(get()->fData);
    return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

// ---------------------------------------------------------------------------------------------

std::vector<uint8_t> BigEndian(uint64_t bits, int bytes)
{
    std::vector<uint8_t> out;
    for (int i = bytes - 1; i >= 0; --i)
        out.push_back(uint8_t(bits >> (8 * i)));
    return out;
}

std::vector<uint8_t> Entry(const std::string& tagAndName, const std::vector<uint8_t>& value)
{
    std::vector<uint8_t> out(tagAndName.begin(), tagAndName.end());
    out.push_back(0);
    while (out.size() % 4 != 0)
        out.push_back(0);
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}
} // namespace aaxtest
