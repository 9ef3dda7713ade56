#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "ACF/ACFPtr.h"
#include "AAX_IACFEffectParameters.h"
#include "AlgorithmContext.h"
#include "AudioData.h"
#include "Chunk.h"
#include "Controller.h"
#include "Instance.h"
#include "PacketQueue.h"
#include "RealtimeThread.h"

namespace aaxhost
{
class StandInHost;

/** One plug-in instance in the stand-in host: its data model (made by the effect-parameters
    factory and initialised with an instance context), its algorithm context, and the real-time
    thread that runs the native process procedure on it.

    Everything but the processing itself runs on the host's main thread, which pumps the module's
    message loop after each step. Parameter edits go the way a host's automation goes: touch, a
    set-value request, the host's confirmation (UpdateParameterNormalizedValue), release, and
    new coefficients, whose packets reach the algorithm's ports before its next block. */
class PlugInInstance : private Controller::PacketSink
{
public:
    /** The longest block the host hands the algorithm (the AAX maximum buffer length). */
    static constexpr int kMaxBlockSize = 1024;

    /** The sample rates an instance is made at (Hz). */
    static constexpr float kMinSampleRate = 8000.0f;
    static constexpr float kMaxSampleRate = 384000.0f;

    /** Creates, initialises and prepares an instance of `component` at `sampleRate`. Throws
        HostError with the plug-in's result when a step fails (nothing is left alive then). */
    PlugInInstance(StandInHost& host, const ComponentDescription& component, float sampleRate);
    ~PlugInInstance() override;

    PlugInInstance(const PlugInInstance&) = delete;
    PlugInInstance& operator=(const PlugInInstance&) = delete;

    /** Uninitializes and releases the data model. Idempotent; afterwards only the recorded host
        state (context, automation, controller) is left. */
    void Close();
    bool IsOpen() const { return static_cast<bool>(mEffect); }

    /** The host-facing data model; HostError when closed. */
    AAX_IACFEffectParameters& Effect() const;
    Instance& Context() { return *mContext; }

    int NumChannels() const { return mAlgorithm->NumOutputs(); }

    /** The latency the instance declared to its controller (samples). */
    int32_t Latency() { return mContext->GetController().state.signalLatency; }

    // -- Parameters ------------------------------------------------------------------------------

    /** The ids in the data model's index order. */
    std::vector<std::string> ParameterIDs() const;

    /** The master bypass parameter's id ("" when there is none). */
    std::string BypassID() const;

    /** The data model's normalised value of `id` (GetParameterNormalizedValue); -1 when unknown. */
    double ParameterValue(const std::string& id) const;

    /** A host automation gesture: touch, request `value` (0..1), confirm the queued requests,
        release, then generate coefficients. Returns the first failing result. */
    AAX_Result Automate(const std::string& id, double value);

    /** Automates the master bypass to 1 or 0. */
    AAX_Result SetBypass(bool bypassed);

    /** Confirms every queued set-value request and generates coefficients. */
    AAX_Result ConfirmAutomation();

    // -- State -----------------------------------------------------------------------------------

    /** Every chunk, in the data model's chunk order (GetChunkSize, then GetChunk for each). */
    AAX_Result GetChunks(std::vector<Chunk>& chunks);
    AAX_Result GetChunk(AAX_CTypeID id, Chunk& chunk);

    /** Hands one chunk to the data model, then confirms the values it re-sends and generates
        coefficients. */
    AAX_Result SetChunk(const Chunk& chunk);

    /** Restores a saved state, all or nothing: refused with -20007 and nothing set when a chunk
        id is not one of the instance's, or an id appears twice; otherwise every chunk in the
        order given. When the data model refuses one, the chunks read before the first was set
        are set again, leaving the instance as it was, and the refusal is returned. */
    AAX_Result RestoreChunks(const std::vector<Chunk>& chunks);

    AAX_Result CompareActiveChunk(const Chunk& chunk, bool& isEqual);

    // -- Audio -----------------------------------------------------------------------------------

    /** Runs `numFrames` frames through the algorithm on the real-time thread in blocks of
        `blockSize` (1..kMaxBlockSize, the last block shorter), pumping the module's message
        loop while it waits. `inputs` and `outputs` hold NumChannels() distinct buffers. */
    void Process(const float* const* inputs, float* const* outputs, size_t numFrames, int blockSize);

    /** Processes a whole signal with NumChannels() channels; returns the output. */
    AudioData Process(const AudioData& input, int blockSize);

    /** As Process, but returns at once: the real-time thread works through the blocks while the
        main thread goes on making host calls, as a host's user interface does while audio runs.
        The buffers must stay valid until FinishProcess says the job is done. HostError when a
        job is still running. */
    void StartProcess(const float* const* inputs, float* const* outputs, size_t numFrames, int blockSize);

    /** Main thread: true when no job is running any more (the started one has finished); waits
        at most `milliseconds` for it, pumping the module's message loop meanwhile. */
    bool FinishProcess(int milliseconds);

    /** Main thread: what a host does when the session's sample rate changes: waits for the
        running job, uninitializes the data model, and initialises it again at `sampleRate`
        with a new algorithm context (private data reset, coefficients generated). Returns the
        first failing result; the instance is then left uninitialized. */
    AAX_Result Reinitialize(float sampleRate);

private:
    bool Accept(AAX_CFieldIndex port, const void* data, uint32_t size) override;
    static void RunJob(void* self);
    void Pumped();

    struct Job
    {
        const float* const* inputs = nullptr;
        float* const* outputs = nullptr;
        size_t numFrames = 0;
        int blockSize = 0;
    };

    StandInHost& mHost;
    const ComponentDescription& mComponent;
    std::unique_ptr<Instance> mContext;
    ACFPtr<AAX_IACFEffectParameters> mEffect;
    std::unique_ptr<AlgorithmContext> mAlgorithm;
    AAX_CProcessProc mProcess = nullptr;
    AAX_CTypeID mManufacturerID = 0;
    AAX_CTypeID mProductID = 0;
    AAX_CTypeID mPlugInID = 0;
    PacketQueue mPackets;
    Job mJob;
    std::vector<const float*> mBlockInputs;
    std::vector<float*> mBlockOutputs;
    std::unique_ptr<RealtimeThread> mThread;
};
} // namespace aaxhost
