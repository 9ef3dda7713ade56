#pragma once

#include <set>
#include <string>

#include "AAX.h"
#include "AAX_CChunkDataParser.h"
#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameter.h"
#include "AAX_CParameterManager.h"
#include "AAX_CString.h"
#include "AAX_IController.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IParameter.h"
#include "AAX_IString.h"
#include "AAX_ITransport.h"

class AAX_IAutomationDelegate;
class AAX_IPageTable;

/** Id of the master bypass parameter; never saved in the controls chunk. */
inline constexpr const char* cDefaultMasterBypassID = "MasterBypassID";

/** Id of the optional parameter that the host's offline-preview notification switches. */
inline constexpr const char* cPreviewParameterID = "PreviewID";

/** Id of the chunk holding every saved parameter value ('elck', "Complete Controls State"). */
inline constexpr AAX_CTypeID cControlsChunkID = 0x656C636B;

/** The base of a plug-in instance's data model: its parameters (found by id through the
    parameter manager), the 'elck' controls chunk, packet dispatch to the algorithm, notifications
    and change counting, over the host's controller, automation and transport.

    Calling order: construction, Initialize(context), any operation, Uninitialize(), final
    Release. Derived classes add their parameters in EffectInit. Host-facing operations return
    result codes and never throw: -20001 for an unknown id, -20044 for a null output or chunk.
    Normalised values run from 0 to 1.

    Threads: the host's non-real-time threads, one call at a time per object; only the packet
    dispatcher is locked. The chunk calls share one parser: GetChunkSize and the GetChunk that
    follows must not overlap other chunk calls on the same object.
*/
class AAX_CEffectParameters : public AAX_IEffectParameters
{
public:
    AAX_CEffectParameters();
    ~AAX_CEffectParameters() override;

    AAX_CEffectParameters(const AAX_CEffectParameters&) = delete;
    AAX_CEffectParameters& operator=(const AAX_CEffectParameters&) = delete;

    /** Creates the controller, automation and transport wrappers over `context`, hands the
        automation to the parameter manager (only when the host offers it) and the controller to
        the packet dispatcher, runs EffectInit (a failure is returned at once) and keeps the master
        bypass out of the controls chunk. A second call starts over from Uninitialize. */
    AAX_Result Initialize(IACFUnknown* context) override;

    /** Deletes every parameter, then the wrappers; harmless when repeated. */
    AAX_Result Uninitialize() override;

    /** Only 'ASPv' (offline preview) is handled: it switches the "PreviewID" parameter, when
        there is one, from the int32 flag in `data`; null data gives -20044 and fewer than 4
        bytes -20043, with nothing changed. Everything else returns 0. */
    AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;

    AAX_Result GetNumberOfParameters(int32_t* count) const override;

    /** "MasterBypassID" when that parameter exists, else "". */
    AAX_Result GetMasterBypassParameter(AAX_IString* parameterID) const override;
    AAX_Result GetParameterIsAutomatable(AAX_CParamID parameterID, AAX_CBoolean* automatable) const override;

    /** -20033 when the count does not fit an int32. */
    AAX_Result GetParameterNumberOfSteps(AAX_CParamID parameterID, int32_t* steps) const override;

    /** An unknown id writes "" and still succeeds. */
    AAX_Result GetParameterName(AAX_CParamID parameterID, AAX_IString* name) const override;

    /** The longest line (of the shortened name's first 255 characters, split at line feeds)
        that fits `length` characters; else the shortened name cut to `length`. An unknown id
        writes "" and succeeds. */
    AAX_Result GetParameterNameOfLength(AAX_CParamID parameterID, AAX_IString* name, int32_t length) const override;
    AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID parameterID, double* value) const override;
    AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID parameterID, double value) override;
    AAX_Result GetParameterType(AAX_CParamID parameterID, AAX_EParameterType* type) const override;
    AAX_Result GetParameterOrientation(AAX_CParamID parameterID, int32_t* orientation) const override;
    AAX_Result GetParameter(AAX_CParamID parameterID, AAX_IParameter** parameter) override;
    AAX_Result GetParameterIndex(AAX_CParamID parameterID, int32_t* index) const override;
    AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* parameterID) const override;

    /** No value information is provided: writes 0, -20009. */
    AAX_Result GetParameterValueInfo(AAX_CParamID parameterID, int32_t selector, int32_t* value) const override;

    /** -20002 when the text names no value within range (output unchanged). */
    AAX_Result GetParameterValueFromString(AAX_CParamID parameterID, double* value,
                                           const AAX_IString& text) const override;
    AAX_Result GetParameterStringFromValue(AAX_CParamID parameterID, double value, AAX_IString* text,
                                           int32_t maxLength) const override;
    AAX_Result GetParameterValueString(AAX_CParamID parameterID, AAX_IString* text, int32_t maxLength) const override;
    AAX_Result GetParameterNormalizedValue(AAX_CParamID parameterID, double* value) const override;

    /** With the host's automation this is a request: the value changes when the host confirms
        it through UpdateParameterNormalizedValue. Without it the value is set at once, through
        UpdateParameterNormalizedValue. */
    AAX_Result SetParameterNormalizedValue(AAX_CParamID parameterID, double value) override;

    /** Current value (through the virtual getter) plus `delta`, limited to 0..1, through the
        virtual setter. */
    AAX_Result SetParameterNormalizedRelative(AAX_CParamID parameterID, double delta) override;
    AAX_Result TouchParameter(AAX_CParamID parameterID) override;
    AAX_Result ReleaseParameter(AAX_CParamID parameterID) override;
    AAX_Result UpdateParameterTouch(AAX_CParamID parameterID, AAX_CBoolean touched) override;

    /** The host's confirmed value: stores it, marks the id's packets dirty and counts a change
        when the value differs from the previous one. Returns the dispatcher's result; a value
        that is not a finite number gives -20043 with nothing changed. */
    AAX_Result UpdateParameterNormalizedValue(AAX_CParamID parameterID, double value,
                                              AAX_EUpdateSource source) override;

    /** As SetParameterNormalizedRelative, ending in UpdateParameterNormalizedValue. */
    AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID parameterID, double delta) override;

    /** Posts every dirty packet; the last post's result. */
    AAX_Result GenerateCoefficients() override;

    /** Zeroes `size` bytes at `data`; a null `data` with a nonzero size gives -20044. */
    AAX_Result ResetFieldData(AAX_CFieldIndex field, void* data, uint32_t size) const override;

    /** One chunk, 'elck', at index 0. */
    AAX_Result GetNumberOfChunks(int32_t* count) const override;
    AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) const override;

    /** Builds the chunk data and remembers its size for the GetChunk that follows. */
    AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) const override;

    /** Writes the chunk into memory the host sized by GetChunkSize; -20008 when no size was
        asked for or the values changed size in between. */
    AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SPlugInChunk* chunk) const override;

    /** Restores every saved, non-filtered value; parameters without an entry keep theirs. A
        malformed chunk restores nothing and gives -20026; a chunk of 4 bytes or less, or data
        without the marker, restores nothing and is no error. */
    AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SPlugInChunk* chunk) override;

    /** Whether `chunk` holds exactly the current values. A chunk other than 'elck' counts as
        equal; a malformed one as different, with -20026. */
    AAX_Result CompareActiveChunk(const AAX_SPlugInChunk* chunk, AAX_CBoolean* isEqual) const override;

    /** The change counter (a negative counter leaves the output alone). */
    AAX_Result GetNumberOfChanges(int32_t* count) const override;

    AAX_Result TimerWakeup() override;
    AAX_Result GetCurveData(AAX_CTypeID curveType, const float* values, uint32_t count,
                            float* outValues) const override;
    AAX_Result GetCustomData(AAX_CTypeID dataBlockID, uint32_t size, void* data, uint32_t* sizeWritten) const override;
    AAX_Result SetCustomData(AAX_CTypeID dataBlockID, uint32_t size, const void* data) override;
    AAX_Result DoMIDITransfers() override;
    AAX_Result RenderAudio_Hybrid(AAX_SHybridRenderInfo* info) override;
    AAX_Result UpdateMIDINodes(AAX_CFieldIndex field, AAX_CMidiPacket& packet) override;
    AAX_Result UpdateControlMIDINodes(AAX_CTypeID nodeID, AAX_CMidiPacket& packet) override;
    AAX_Result GetCurveDataMeterIds(AAX_CTypeID curveType, uint32_t* xMeterID, uint32_t* yMeterID) const override;
    AAX_Result GetCurveDataDisplayRange(AAX_CTypeID curveType, float* xMin, float* xMax, float* yMin,
                                        float* yMax) const override;

    /** Hands a host page table to the protected hook when the host's page-table interface can
        be had from `table`; 0 otherwise. */
    AAX_Result UpdatePageTable(uint32_t tableType, int32_t tablePageSize, IACFUnknown* host,
                               IACFUnknown* table) const override;

    /** The host's controller between Initialize and Uninitialize, else null. */
    AAX_IController* Controller() { return mController; }
    const AAX_IController* Controller() const { return mController; }

    /** The host's transport between Initialize and Uninitialize, else null. */
    AAX_ITransport* Transport() { return mTransport; }
    const AAX_ITransport* Transport() const { return mTransport; }

    /** The automation delegate, or null (outside Initialize, or a host without automation). */
    AAX_IAutomationDelegate* AutomationDelegate() const { return mAutomationDelegate; }

    /** Leaves the parameter `parameterID` out of the controls chunk; null is ignored. */
    void FilterParameterIDOnSave(AAX_CParamID parameterID);

protected:
    /** The derived class's initialisation: add parameters, register packets. 0 to go on. */
    virtual AAX_Result EffectInit();

    /** Fills a control-surface page table; -20009 unless a derived class does. */
    virtual AAX_Result UpdatePageTable(uint32_t tableType, int32_t tablePageSize, AAX_IPageTable& table) const;

    /** Rebuilds the chunk parser's values from the current, non-filtered parameters. */
    void BuildChunkData() const;

    /** Raised by every effective value change; derived classes raise it for changes of their own. */
    int32_t mNumPlugInChanges = 0;

    /** Size of the 'elck' data computed by the last GetChunkSize, 0 before. */
    mutable int32_t mChunkSize = 0;

    mutable AAX_CChunkDataParser mChunkParser;
    AAX_CPacketDispatcher mPacketDispatcher;
    AAX_CParameterManager mParameterManager;
    std::set<std::string> mFilteredParameters;

    AAX_IController* mController = nullptr;
    AAX_ITransport* mTransport = nullptr;
    AAX_IAutomationDelegate* mAutomationDelegate = nullptr;

private:
    /** Deletes the parameters and then the wrappers they may still call; idempotent. */
    void ReleaseInstanceState();

    /** The parameter with this id, or null. */
    AAX_IParameter* FindParameter(AAX_CParamID parameterID) const;

    /** Stores `read` of the parameter `parameterID` in `out`. A null `out` is refused before the
        id is looked up, so that a host passing both wrong hears of the argument first. */
    template <typename Out, class Read>
    AAX_Result ReadParameter(AAX_CParamID parameterID, Out* out, Read&& read) const;

    /** Runs `operation` on the parameter `parameterID` under the host-facing guard, which names
        `where` in its trace; an unknown id is refused before anything runs. */
    template <class Operation>
    AAX_Result GuardedOnParameter(AAX_CParamID parameterID, const char* where, Operation&& operation) const;
};
