#pragma once

#include <cstdint>

/** Enumerations shared by the plug-in and the host.

    Every enumeration is a plain enum over int32: values travel as int32 across the host boundary,
    are ORed where they are flags and serve as case labels, and any int32 is a valid value (a
    stem format read as a property id, a property value read as a support level). Four-character codes are written in
    hexadecimal (first character in the most significant byte).
*/

// ---------------------------------------------------------------------------------------------
// Stem formats: the channel layout index in the upper 16 bits (signed), the channel count in the
// lower 16 bits.

#define AAX_STEM_FORMAT(index, channels) ((int32_t)((((uint32_t)(index)) << 16) | (((uint32_t)(channels)) & 0xFFFFu)))

/** The channel count of a stem format, 0 to 65535. */
#define AAX_STEM_FORMAT_CHANNEL_COUNT(format) ((uint16_t)(((uint32_t)(format)) & 0xFFFFu))

/** The signed layout index of a stem format; indices up to 12 are supported by every host. */
#define AAX_STEM_FORMAT_INDEX(format) ((int16_t)((((uint32_t)(format)) >> 16) & 0xFFFFu))

enum AAX_EStemFormat : int32_t
{
    AAX_eStemFormat_Mono = AAX_STEM_FORMAT(0, 1),
    AAX_eStemFormat_Stereo = AAX_STEM_FORMAT(1, 2),
    AAX_eStemFormat_LCR = AAX_STEM_FORMAT(2, 3),
    AAX_eStemFormat_LCRS = AAX_STEM_FORMAT(3, 4),
    AAX_eStemFormat_Quad = AAX_STEM_FORMAT(4, 4),
    AAX_eStemFormat_5_0 = AAX_STEM_FORMAT(5, 5),
    AAX_eStemFormat_5_1 = AAX_STEM_FORMAT(6, 6),
    AAX_eStemFormat_6_0 = AAX_STEM_FORMAT(7, 6),
    AAX_eStemFormat_6_1 = AAX_STEM_FORMAT(8, 7),
    AAX_eStemFormat_7_0_SDDS = AAX_STEM_FORMAT(9, 7),
    AAX_eStemFormat_7_1_SDDS = AAX_STEM_FORMAT(10, 8),
    AAX_eStemFormat_7_0_DTS = AAX_STEM_FORMAT(11, 7),
    AAX_eStemFormat_7_1_DTS = AAX_STEM_FORMAT(12, 8),
    AAX_eStemFormat_7_0_2 = AAX_STEM_FORMAT(13, 9),
    AAX_eStemFormat_7_1_2 = AAX_STEM_FORMAT(14, 10),
    AAX_eStemFormat_Ambi_1_ACN = AAX_STEM_FORMAT(15, 4),
    AAX_eStemFormat_Ambi_2_ACN = AAX_STEM_FORMAT(16, 9),
    AAX_eStemFormat_Ambi_3_ACN = AAX_STEM_FORMAT(17, 16),
    AAX_eStemFormat_Reserved_1 = AAX_STEM_FORMAT(18, 0),
    AAX_eStemFormat_Reserved_2 = AAX_STEM_FORMAT(19, 0),
    AAX_eStemFormat_Reserved_3 = AAX_STEM_FORMAT(20, 0),

    AAX_eStemFormatNum = 21, ///< number of layouts above; not a stem format itself

    AAX_eStemFormat_None = AAX_STEM_FORMAT(-100, 0), ///< 0xFF9C0000: no audio
    AAX_eStemFormat_Any = AAX_STEM_FORMAT(-1, 0),    ///< 0xFFFF0000: any layout

    AAX_eStemFormat_INT32_MAX = 0x7FFFFFFF
};

// ---------------------------------------------------------------------------------------------
// Description properties (AAX_IPropertyMap keys). Integer properties unless noted.

enum AAX_EProperty : int32_t
{
    AAX_eProperty_NoID = 0,
    AAX_eProperty_MinProp = 10, ///< lowest id a property map copies

    AAX_eProperty_ManufacturerID = 11,      ///< four-character code
    AAX_eProperty_ProductID = 12,           ///< four-character code
    AAX_eProperty_PlugInID_Native = 13,     ///< four-character code; registers a native procedure
    AAX_eProperty_PlugInID_AudioSuite = 14, ///< four-character code; registers a native procedure
    AAX_eProperty_PlugInID_TI = 15,         ///< four-character code; registers a TI procedure

    AAX_eProperty_NativeProcessProc = 36,      ///< pointer: the native process procedure
    AAX_eProperty_NativeInstanceInitProc = 37, ///< pointer: its instance-init procedure
    AAX_eProperty_NativeBackgroundProc = 38,   ///< pointer: its argument-less procedure
    AAX_eProperty_TIDLLFileName = 39,          ///< pointer to text: the TI DLL file name
    AAX_eProperty_TIProcessProc = 40,          ///< pointer to text: the TI process procedure name
    AAX_eProperty_TIInstanceInitProc = 41,     ///< pointer to text: the TI instance-init procedure name
    AAX_eProperty_TIBackgroundProc = 42,       ///< pointer to text: the TI argument-less procedure name

    AAX_eProperty_InputStemFormat = 51,     ///< AAX_EStemFormat
    AAX_eProperty_OutputStemFormat = 52,    ///< AAX_EStemFormat
    AAX_eProperty_SideChainStemFormat = 53, ///< AAX_EStemFormat
    AAX_eProperty_TIOnly = 54,              ///< flag for TI procedures only; never given to a native one

    AAX_eProperty_CanBypass = 60,           ///< flag
    AAX_eProperty_LatencyContribution = 61, ///< samples

    AAX_eProperty_SupportsSideChainInput = 116, ///< flag
    AAX_eProperty_SupportsSaveRestore = 118,    ///< flag

    AAX_eProperty_Meter_Type = 250,        ///< AAX_EMeterType
    AAX_eProperty_Meter_Orientation = 251, ///< AAX_EMeterOrientation

    AAX_eProperty_Constraint_AlwaysProcess = 302,             ///< flag
    AAX_eProperty_Constraint_MultiMonoSupport = 304,          ///< flag
    AAX_eProperty_Constraint_DoNotApplyDefaultSettings = 305, ///< flag

    AAX_eProperty_MaxProp = 401 ///< highest id a property map copies
};

// ---------------------------------------------------------------------------------------------
// Effect description

/** Plug-in categories (flags; AddCategory takes one). */
enum AAX_EPlugInCategory : int32_t
{
    AAX_ePlugInCategory_None = 0x00000000,
    AAX_ePlugInCategory_EQ = 0x00000001,
    AAX_ePlugInCategory_Dynamics = 0x00000002,
    AAX_ePlugInCategory_PitchShift = 0x00000004,
    AAX_ePlugInCategory_Reverb = 0x00000008,
    AAX_ePlugInCategory_Delay = 0x00000010,
    AAX_ePlugInCategory_Modulation = 0x00000020,
    AAX_ePlugInCategory_Harmonic = 0x00000040,
    AAX_ePlugInCategory_NoiseReduction = 0x00000080,
    AAX_ePlugInCategory_Dither = 0x00000100,
    AAX_ePlugInCategory_SoundField = 0x00000200,
    AAX_ePlugInCategory_HWGenerators = 0x00000400,
    AAX_ePlugInCategory_SWGenerators = 0x00000800,
    AAX_ePlugInCategory_WrappedPlugin = 0x00001000,
    AAX_ePlugInCategory_Effect = 0x00002000
};

/** Resources an effect may name (AddResourceInfo). */
enum AAX_EResourceType : int32_t
{
    AAX_eResourceType_None = 0,
    AAX_eResourceType_PageTable = 1,   ///< a page-table file
    AAX_eResourceType_PageTableDir = 2 ///< the folder holding page-table files
};

/** Kinds of MIDI node. */
enum AAX_EMIDINodeType : int32_t
{
    AAX_eMIDINodeType_LocalInput = 0,
    AAX_eMIDINodeType_LocalOutput = 1,
    AAX_eMIDINodeType_Global = 2,
    AAX_eMIDINodeType_Transport = 3
};

/** How a data-in port delivers packets. */
enum AAX_EDataInPortType : int32_t
{
    AAX_eDataInPortType_Unbuffered = 0, ///< only the latest packet
    AAX_eDataInPortType_Buffered = 1,   ///< every packet, in order
    AAX_eDataInPortType_Incremental = 2
};

/** Why a process procedure's instance-init procedure is called. */
enum AAX_EComponentInstanceInitAction : int32_t
{
    AAX_eComponentInstanceInitAction_AddingNewInstance = 0,
    AAX_eComponentInstanceInitAction_RemovingInstance = 1,
    AAX_eComponentInstanceInitAction_ResetInstance = 2
};

/** Block sizes as powers of two: 1 << value samples. */
enum AAX_EAudioBufferLength : int32_t
{
    AAX_eAudioBufferLength_Undefined = -1,
    AAX_eAudioBufferLength_1 = 0,
    AAX_eAudioBufferLength_2 = 1,
    AAX_eAudioBufferLength_4 = 2,
    AAX_eAudioBufferLength_8 = 3,
    AAX_eAudioBufferLength_16 = 4,
    AAX_eAudioBufferLength_32 = 5,
    AAX_eAudioBufferLength_64 = 6,
    AAX_eAudioBufferLength_128 = 7,
    AAX_eAudioBufferLength_256 = 8,
    AAX_eAudioBufferLength_512 = 9,
    AAX_eAudioBufferLength_1024 = 10,
    AAX_eAudioBufferLength_Max = AAX_eAudioBufferLength_1024
};

// ---------------------------------------------------------------------------------------------
// Meters

enum AAX_EMeterType : int32_t
{
    AAX_eMeterType_Input = 0,
    AAX_eMeterType_Output = 1,
    AAX_eMeterType_CLGain = 2, ///< compressor/limiter gain reduction
    AAX_eMeterType_EGGain = 3, ///< expander/gate gain reduction
    AAX_eMeterType_Analysis = 4,
    AAX_eMeterType_Other = 5,
    AAX_eMeterType_None = 31
};

enum AAX_EMeterOrientation : int32_t
{
    AAX_eMeterOrientation_Default = 0,
    AAX_eMeterOrientation_BottomLeft = AAX_eMeterOrientation_Default,
    AAX_eMeterOrientation_TopRight = 1,
    AAX_eMeterOrientation_Center = 2,
    AAX_eMeterOrientation_PhaseDot = 3
};

// ---------------------------------------------------------------------------------------------
// Host features

/** How far the host supports a feature (AAX_IFeatureInfo::SupportLevel). */
enum AAX_ESupportLevel : int32_t
{
    AAX_eSupportLevel_Uninitialized = 0,
    AAX_eSupportLevel_Unsupported = 1,
    AAX_eSupportLevel_Supported = 2,
    AAX_eSupportLevel_Disabled = 3,
    AAX_eSupportLevel_ByProperty = 4 ///< ask the feature's property map, item by item
};

// ---------------------------------------------------------------------------------------------
// Parameters

enum AAX_EParameterType : int32_t
{
    AAX_eParameterType_Discrete = 0,
    AAX_eParameterType_Continuous = 1
};

/** Control orientation flags, ORed; opaque to the plug-in, which stores and returns them. */
enum AAX_EParameterOrientation : int32_t
{
    AAX_eParameterOrientation_Default = 0,

    AAX_eParameterOrientation_BottomMinTopMax = 0,
    AAX_eParameterOrientation_TopMinBottomMax = 1,

    AAX_eParameterOrientation_LeftMinRightMax = 0,
    AAX_eParameterOrientation_RightMinLeftMax = 2,

    AAX_eParameterOrientation_RotarySingleDotMode = 0,
    AAX_eParameterOrientation_RotaryBoostCutMode = 4,
    AAX_eParameterOrientation_RotaryWrapMode = 8,
    AAX_eParameterOrientation_RotarySpreadMode = 12,

    AAX_eParameterOrientation_RotaryLeftMinRightMax = 0,
    AAX_eParameterOrientation_RotaryRightMinLeftMax = 16
};

/** Where a confirmed parameter update comes from. */
enum AAX_EUpdateSource : int32_t
{
    AAX_eUpdateSource_Unspecified = 0,
    AAX_eUpdateSource_Parameter = 1, ///< automation or a control surface
    AAX_eUpdateSource_Chunk = 2,     ///< a state restore
    AAX_eUpdateSource_Delay = 3      ///< a delayed automation playback
};

// ---------------------------------------------------------------------------------------------
// Notifications (four-character codes; 'ASPv' is the AudioSuite preview state)

enum AAX_ENotificationEvent : int32_t
{
    AAX_eNotificationEvent_InsertPositionChanged = 0x696E7063,      // 'inpc'
    AAX_eNotificationEvent_TrackNameChanged = 0x70746E63,           // 'ptnc'
    AAX_eNotificationEvent_TrackUIDChanged = 0x70747563,            // 'ptuc'
    AAX_eNotificationEvent_TrackPositionChanged = 0x70747063,       // 'ptpc'
    AAX_eNotificationEvent_EnteringOfflineMode = 0x656E6F66,        // 'enof'
    AAX_eNotificationEvent_ExitingOfflineMode = 0x65786F66,         // 'exof'
    AAX_eNotificationEvent_SideChainBeingConnected = 0x7363636E,    // 'sccn'
    AAX_eNotificationEvent_SideChainBeingDisconnected = 0x73636463, // 'scdc'
    AAX_eNotificationEvent_SignalLatencyChanged = 0x736C6174,       // 'slat'
    AAX_eNotificationEvent_ASProcessingState = 0x41535073,          // 'ASPs'
    AAX_eNotificationEvent_ASPreviewState = 0x41535076,             // 'ASPv'
    AAX_eNotificationEvent_SessionBeingOpened = 0x73626F70          // 'sbop'
};

/** Offline (AudioSuite) processing states, the data of AAX_eNotificationEvent_ASProcessingState. */
enum AAX_EProcessingState : int32_t
{
    AAX_eProcessingState_None = 0,
    AAX_eProcessingState_StartPass = 1,
    AAX_eProcessingState_StopPass = 2,
    AAX_eProcessingState_BeginPassGroup = 3,
    AAX_eProcessingState_EndPassGroup = 4
};

/** Curves a host may ask an effect to draw (four-character codes). */
enum AAX_ECurveType : int32_t
{
    AAX_eCurveType_None = 0,
    AAX_eCurveType_EQ = 0x41584551,       // 'AXEQ'
    AAX_eCurveType_Dynamics = 0x41584459, // 'AXDY'
    AAX_eCurveType_Reduction = 0x41585244 // 'AXRD'
};

// ---------------------------------------------------------------------------------------------
// Editor

/** Colours of a control-surface highlight. */
enum AAX_EHighlightColor : int32_t
{
    AAX_eHighlightColor_Red = 0,
    AAX_eHighlightColor_Blue = 1,
    AAX_eHighlightColor_Green = 2,
    AAX_eHighlightColor_Yellow = 3,
    AAX_eHighlightColor_Num = 4
};

/** Keyboard and mouse modifier flags, ORed. */
enum AAX_EModifiers : int32_t
{
    AAX_eModifiers_None = 0,
    AAX_eModifiers_Shift = 1 << 0,
    AAX_eModifiers_Control = 1 << 1,
    AAX_eModifiers_Option = 1 << 2,
    AAX_eModifiers_Command = 1 << 3,
    AAX_eModifiers_SecondaryButton = 1 << 4,

    AAX_eModifiers_Alt = AAX_eModifiers_Option,
    AAX_eModifiers_Cntl = AAX_eModifiers_Control
};

/** Kinds of native view a view container holds. */
enum AAX_EViewContainer_Type : int32_t
{
    AAX_eViewContainer_Type_NULL = 0,
    AAX_eViewContainer_Type_NSView = 1,
    AAX_eViewContainer_Type_UIView = 2,
    AAX_eViewContainer_Type_HWND = 3
};

/** Labels a GUI may customise (AAX_IEffectGUI::GetCustomLabel). */
enum AAX_EPlugInStrings : int32_t
{
    AAX_ePlugInStrings_Analysis = 0,
    AAX_ePlugInStrings_MonoMode = 1,
    AAX_ePlugInStrings_MultiMonoMode = 2,
    AAX_ePlugInStrings_ClipIndicator = 3,
    AAX_ePlugInStrings_Bypass = 4
};

// ---------------------------------------------------------------------------------------------
// Transport

enum AAX_EFrameRate : int32_t
{
    AAX_eFrameRate_Undeclared = 0,
    AAX_eFrameRate_24Frame = 1,
    AAX_eFrameRate_25Frame = 2,
    AAX_eFrameRate_2997NonDrop = 3,
    AAX_eFrameRate_2997DropFrame = 4,
    AAX_eFrameRate_30NonDrop = 5,
    AAX_eFrameRate_30DropFrame = 6,
    AAX_eFrameRate_23976 = 7,
    AAX_eFrameRate_47952 = 8,
    AAX_eFrameRate_48Frame = 9,
    AAX_eFrameRate_50Frame = 10,
    AAX_eFrameRate_5994NonDrop = 11,
    AAX_eFrameRate_5994DropFrame = 12,
    AAX_eFrameRate_60NonDrop = 13,
    AAX_eFrameRate_60DropFrame = 14,
    AAX_eFrameRate_100Frame = 15,
    AAX_eFrameRate_11988NonDrop = 16,
    AAX_eFrameRate_11988DropFrame = 17,
    AAX_eFrameRate_120NonDrop = 18,
    AAX_eFrameRate_120DropFrame = 19
};

enum AAX_EFeetFramesRate : int32_t
{
    AAX_eFeetFramesRate_Undeclared = 0,
    AAX_eFeetFramesRate_23976 = 1,
    AAX_eFeetFramesRate_24 = 2,
    AAX_eFeetFramesRate_25 = 3
};

// ---------------------------------------------------------------------------------------------
// Diagnostics and files

/** Trace priorities of the host's log. */
enum AAX_ETracePriorityHost : int32_t
{
    AAX_eTracePriorityHost_None = 0,
    AAX_eTracePriorityHost_Critical = 0x10000000,
    AAX_eTracePriorityHost_High = 0x08000000,   ///< errors
    AAX_eTracePriorityHost_Normal = 0x04000000, ///< checked-result throws
    AAX_eTracePriorityHost_Low = 0x02000000,
    AAX_eTracePriorityHost_Lowest = 0x01000000
};

/** Text encodings of file paths handed to the host. */
enum AAX_ETextEncoding : int32_t
{
    AAX_eTextEncoding_Undefined = -1,
    AAX_eTextEncoding_UTF8 = 0
};

static_assert(sizeof(AAX_EStemFormat) == 4 && sizeof(AAX_EProperty) == 4 && sizeof(AAX_ESupportLevel) == 4
                  && sizeof(AAX_EProcessingState) == 4 && sizeof(AAX_ENotificationEvent) == 4
                  && sizeof(AAX_EFrameRate) == 4,
              "enumerations cross the host boundary as 32-bit values");
