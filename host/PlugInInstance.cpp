#include "PlugInInstance.h"

#include <algorithm>
#include <set>

#include "HostString.h"
#include "AAX_UIDs.h"
#include "HostError.h"
#include "StandInHost.h"

namespace aaxhost
{
namespace
{
using CreateProc = IACFUnknown* (*)();

/** More chunks than this is not a plug-in's state but a fault. */
constexpr int32_t kMaxChunks = 64;

AAX_Result FirstFailure(AAX_Result first, AAX_Result next)
{
    return first != AAX_SUCCESS ? first : next;
}
} // namespace

PlugInInstance::PlugInInstance(StandInHost& host, const ComponentDescription& component, float sampleRate)
    : mHost(host)
    , mComponent(component)
{
    host.CheckThread("creating an instance");
    if (!(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate))
        throw HostError("sample rate out of range", AAX_ERROR_INVALID_ARGUMENT);
    if (component.processProc == nullptr)
        throw HostError("the component has no native process procedure", AAX_ERROR_NULL_OBJECT);

    mProcess = component.processProc;
    mManufacturerID = AAX_CTypeID(component.Property(AAX_eProperty_ManufacturerID));
    mProductID = AAX_CTypeID(component.Property(AAX_eProperty_ProductID));
    mPlugInID = AAX_CTypeID(component.Property(AAX_eProperty_PlugInID_Native));

    // The context block first: a component this host cannot serve is refused before anything of
    // the plug-in is made.
    mAlgorithm = std::make_unique<AlgorithmContext>(component, sampleRate);
    mBlockInputs.assign(size_t(mAlgorithm->NumInputs()), nullptr);
    mBlockOutputs.assign(size_t(mAlgorithm->NumOutputs()), nullptr);

    mContext = std::make_unique<Instance>(host.GetHost());
    Controller::State& state = mContext->GetController().state;
    state.effectID = host.Effect().id;
    state.sampleRate = sampleRate;
    state.inputStemFormat = component.InputStemFormat();
    state.outputStemFormat = component.OutputStemFormat();
    state.hostName = "quillo-host";
    mContext->GetController().SetPacketSink(this);

    // A made object holds no reference yet: the host's query takes the first one.
    auto* const create = reinterpret_cast<CreateProc>(host.Effect().createParameters);
    IACFUnknown* const made = create();
    if (made == nullptr)
        throw HostError("the effect-parameters factory made nothing", AAX_ERROR_NULL_OBJECT);
    if (mEffect.QueryFrom(made, IID_IAAXEffectParametersV1) != ACF_OK || !mEffect)
    {
        mEffect.reset();
        made->AddRef();
        made->Release();
        throw HostError("the factory's object is no effect-parameters object", AAX_ERROR_NULL_OBJECT);
    }

    try
    {
        mContext->BindEffect(mEffect.get());
        const AAX_Result initialized = mEffect->Initialize(mContext->Unknown());
        Pumped();
        if (initialized != AAX_SUCCESS)
            throw HostError("Initialize failed", initialized);

        const AAX_Result reset = mAlgorithm->ResetPrivateData(*mEffect.get());
        if (reset != AAX_SUCCESS)
            throw HostError("ResetFieldData failed", reset);

        const AAX_Result coefficients = mEffect->GenerateCoefficients();
        Pumped();
        if (coefficients != AAX_SUCCESS)
            throw HostError("GenerateCoefficients failed", coefficients);
    }
    catch (...)
    {
        Close();
        throw;
    }

    mThread = std::make_unique<RealtimeThread>();
}

PlugInInstance::~PlugInInstance()
{
    try
    {
        Close();
    }
    catch (const HostError&)
    {
        // Closed off the main thread: the host's references go with the context all the same.
    }
}

void PlugInInstance::Close()
{
    if (mThread != nullptr)
        while (!mThread->WaitForJob(1000))
        {
        }

    if (mEffect)
    {
        mHost.CheckThread("closing an instance");
        mEffect->Uninitialize();
        mContext->UnbindEffect();
        mEffect.reset();
        Pumped();
    }
    if (mContext != nullptr)
        mContext->GetController().SetPacketSink(nullptr);
    mPackets.Clear();
}

AAX_IACFEffectParameters& PlugInInstance::Effect() const
{
    if (!mEffect)
        throw HostError("the instance is closed", AAX_ERROR_NOT_INITIALIZED);
    return *mEffect.get();
}

void PlugInInstance::Pumped()
{
    mHost.Pump(0);
}

bool PlugInInstance::Accept(AAX_CFieldIndex port, const void* data, uint32_t size)
{
    return mPackets.Push(port, data, size);
}

// ---------------------------------------------------------------------------------------------
// Parameters

std::vector<std::string> PlugInInstance::ParameterIDs() const
{
    mHost.CheckThread("ParameterIDs");
    std::vector<std::string> ids;
    int32_t count = 0;
    if (Effect().GetNumberOfParameters(&count) != AAX_SUCCESS)
        return ids;
    for (int32_t i = 0; i < count; ++i)
    {
        HostString id;
        if (Effect().GetParameterIDFromIndex(i, &id) == AAX_SUCCESS)
            ids.emplace_back(id.Get());
    }
    return ids;
}

std::string PlugInInstance::BypassID() const
{
    mHost.CheckThread("BypassID");
    HostString id;
    Effect().GetMasterBypassParameter(&id);
    return id.Get();
}

double PlugInInstance::ParameterValue(const std::string& id) const
{
    mHost.CheckThread("ParameterValue");
    double value = -1.0;
    if (Effect().GetParameterNormalizedValue(id.c_str(), &value) != AAX_SUCCESS)
        return -1.0;
    return value;
}

AAX_Result PlugInInstance::Automate(const std::string& id, double value)
{
    mHost.CheckThread("Automate");
    if (!(value >= 0.0 && value <= 1.0))
        return AAX_ERROR_INVALID_ARGUMENT;

    AAX_IACFEffectParameters& effect = Effect();
    AAX_Result result = effect.TouchParameter(id.c_str());
    if (result == AAX_SUCCESS)
        result = effect.SetParameterNormalizedValue(id.c_str(), value);
    mContext->GetAutomation().ConfirmPending();
    result = FirstFailure(result, effect.ReleaseParameter(id.c_str()));
    result = FirstFailure(result, effect.GenerateCoefficients());
    Pumped();
    return result;
}

AAX_Result PlugInInstance::SetBypass(bool bypassed)
{
    const std::string id = BypassID();
    if (id.empty())
        return AAX_ERROR_INVALID_PARAMETER_ID;
    return Automate(id, bypassed ? 1.0 : 0.0);
}

AAX_Result PlugInInstance::ConfirmAutomation()
{
    mHost.CheckThread("ConfirmAutomation");
    mContext->GetAutomation().ConfirmPending();
    const AAX_Result result = Effect().GenerateCoefficients();
    Pumped();
    return result;
}

// ---------------------------------------------------------------------------------------------
// State

AAX_Result PlugInInstance::GetChunk(AAX_CTypeID id, Chunk& chunk)
{
    mHost.CheckThread("GetChunk");
    uint32_t size = 0;
    const AAX_Result sized = Effect().GetChunkSize(id, &size);
    if (sized != AAX_SUCCESS)
        return sized;
    if (size > ChunkRecord::kMaxDataSize)
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;

    ChunkRecord record(size);
    record.get()->fManufacturerID = mManufacturerID;
    record.get()->fProductID = mProductID;
    record.get()->fPlugInID = mPlugInID;
    record.get()->fChunkID = id;
    const AAX_Result got = Effect().GetChunk(id, record.get());
    Pumped();
    if (got != AAX_SUCCESS)
        return got;
    return record.ToChunk(id, chunk) ? AAX_SUCCESS : AAX_ERROR_INCORRECT_CHUNK_SIZE;
}

AAX_Result PlugInInstance::GetChunks(std::vector<Chunk>& chunks)
{
    mHost.CheckThread("GetChunks");
    chunks.clear();
    int32_t count = 0;
    const AAX_Result counted = Effect().GetNumberOfChunks(&count);
    if (counted != AAX_SUCCESS)
        return counted;
    if (count < 0 || count > kMaxChunks)
        return AAX_ERROR_INVALID_CHUNK_INDEX;

    std::vector<Chunk> read;
    for (int32_t i = 0; i < count; ++i)
    {
        AAX_CTypeID id = 0;
        const AAX_Result named = Effect().GetChunkIDFromIndex(i, &id);
        if (named != AAX_SUCCESS)
            return named;
        Chunk chunk;
        const AAX_Result got = GetChunk(id, chunk);
        if (got != AAX_SUCCESS)
            return got;
        read.push_back(std::move(chunk));
    }
    chunks = std::move(read);
    return AAX_SUCCESS;
}

AAX_Result PlugInInstance::SetChunk(const Chunk& chunk)
{
    mHost.CheckThread("SetChunk");
    if (chunk.data.size() > ChunkRecord::kMaxDataSize)
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;
    ChunkRecord record = ChunkRecord::From(chunk, mManufacturerID, mProductID, mPlugInID);
    const AAX_Result result = Effect().SetChunk(chunk.id, record.get());
    return FirstFailure(result, ConfirmAutomation());
}

AAX_Result PlugInInstance::RestoreChunks(const std::vector<Chunk>& chunks)
{
    mHost.CheckThread("RestoreChunks");
    int32_t count = 0;
    const AAX_Result counted = Effect().GetNumberOfChunks(&count);
    if (counted != AAX_SUCCESS)
        return counted;
    if (count < 0 || count > kMaxChunks)
        return AAX_ERROR_INVALID_CHUNK_INDEX;

    std::vector<AAX_CTypeID> order;
    for (int32_t i = 0; i < count; ++i)
    {
        AAX_CTypeID id = 0;
        if (Effect().GetChunkIDFromIndex(i, &id) == AAX_SUCCESS)
            order.push_back(id);
    }

    std::set<AAX_CTypeID> given;
    for (const Chunk& chunk : chunks)
        if (std::find(order.begin(), order.end(), chunk.id) == order.end() || !given.insert(chunk.id).second)
            return AAX_ERROR_INVALID_CHUNK_ID;

    std::vector<Chunk> before;
    const AAX_Result saved = GetChunks(before);
    if (saved != AAX_SUCCESS)
        return saved;
    for (const Chunk& chunk : chunks)
    {
        const AAX_Result result = SetChunk(chunk);
        if (result == AAX_SUCCESS)
            continue;
        for (const Chunk& previous : before)
            SetChunk(previous);
        return result;
    }
    return AAX_SUCCESS;
}

AAX_Result PlugInInstance::CompareActiveChunk(const Chunk& chunk, bool& isEqual)
{
    mHost.CheckThread("CompareActiveChunk");
    if (chunk.data.size() > ChunkRecord::kMaxDataSize)
        return AAX_ERROR_INCORRECT_CHUNK_SIZE;
    ChunkRecord record = ChunkRecord::From(chunk, mManufacturerID, mProductID, mPlugInID);
    AAX_CBoolean equal = 0;
    const AAX_Result result = Effect().CompareActiveChunk(record.get(), &equal);
    isEqual = equal != 0;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Audio

void PlugInInstance::Process(const float* const* inputs, float* const* outputs, size_t numFrames, int blockSize)
{
    mHost.CheckThread("Process");
    StartProcess(inputs, outputs, numFrames, blockSize);
    while (!FinishProcess(1000))
    {
    }
}

void PlugInInstance::StartProcess(const float* const* inputs, float* const* outputs, size_t numFrames, int blockSize)
{
    mHost.CheckThread("StartProcess");
    Effect();
    if (blockSize < 1 || blockSize > kMaxBlockSize)
        throw HostError("block size out of range 1.." + std::to_string(kMaxBlockSize), AAX_ERROR_INVALID_ARGUMENT);
    if (!mThread->WaitForJob(0))
        throw HostError("the real-time thread is still processing", AAX_ERROR_INVALID_ARGUMENT);
    if (numFrames == 0)
        return;

    mJob = Job { inputs, outputs, numFrames, blockSize };
    mThread->Start(&PlugInInstance::RunJob, this);
}

bool PlugInInstance::FinishProcess(int milliseconds)
{
    mHost.CheckThread("FinishProcess");
    int waited = 0;
    while (!mThread->WaitForJob(1))
    {
        mHost.Pump(0);
        if (++waited >= milliseconds)
            return false;
    }
    Pumped();
    return true;
}

AAX_Result PlugInInstance::Reinitialize(float sampleRate)
{
    mHost.CheckThread("Reinitialize");
    if (!(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate))
        return AAX_ERROR_INVALID_ARGUMENT;
    AAX_IACFEffectParameters& effect = Effect();
    while (!mThread->WaitForJob(1000))
    {
    }

    const AAX_Result released = effect.Uninitialize();
    Pumped();
    if (released != AAX_SUCCESS)
        return released;

    mPackets.Clear();
    mContext->GetController().state.sampleRate = sampleRate;
    mAlgorithm = std::make_unique<AlgorithmContext>(mComponent, sampleRate);

    const AAX_Result initialized = effect.Initialize(mContext->Unknown());
    Pumped();
    if (initialized != AAX_SUCCESS)
        return initialized;
    const AAX_Result reset = mAlgorithm->ResetPrivateData(effect);
    if (reset != AAX_SUCCESS)
        return reset;
    const AAX_Result coefficients = effect.GenerateCoefficients();
    Pumped();
    return coefficients;
}

AudioData PlugInInstance::Process(const AudioData& input, int blockSize)
{
    if (input.NumChannels() != NumChannels())
        throw HostError("the signal has " + std::to_string(input.NumChannels()) + " channels, the instance "
                            + std::to_string(NumChannels()),
                        AAX_ERROR_INVALID_ARGUMENT);
    AudioData output = AudioData::Silence(input.sampleRate, input.NumChannels(), input.NumFrames());
    std::vector<const float*> in;
    std::vector<float*> out;
    for (int c = 0; c < input.NumChannels(); ++c)
    {
        in.push_back(input.channels[size_t(c)].data());
        out.push_back(output.channels[size_t(c)].data());
    }
    Process(in.data(), out.data(), input.NumFrames(), blockSize);
    return output;
}

void PlugInInstance::RunJob(void* self)
{
    auto& instance = *static_cast<PlugInInstance*>(self);
    const Job& job = instance.mJob;
    AlgorithmContext& algorithm = *instance.mAlgorithm;

    for (size_t offset = 0; offset < job.numFrames; offset += size_t(job.blockSize))
    {
        const auto length = int32_t(std::min(size_t(job.blockSize), job.numFrames - offset));

        PacketQueue::Packet packet;
        // A packet no port can take (none such, or wider than it) is dropped.
        while (instance.mPackets.Pop(packet))
            algorithm.Deliver(packet);

        for (size_t c = 0; c < instance.mBlockInputs.size(); ++c)
            instance.mBlockInputs[c] = job.inputs[c] + offset;
        for (size_t c = 0; c < instance.mBlockOutputs.size(); ++c)
            instance.mBlockOutputs[c] = job.outputs[c] + offset;

        algorithm.SetAudio(instance.mBlockInputs.data(), instance.mBlockOutputs.data(), length);
        algorithm.Call(instance.mProcess);
    }
}
} // namespace aaxhost
