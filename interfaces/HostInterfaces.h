// The host's support interfaces and the host system object.
//
// Every operation returns an HRESULT; strings cross as BSTRs (the receiver
// frees them), flags as 16-bit booleans, lists as comma-separated text.
// Operations are grouped by the setup that calls them.
#pragma once
#include <cstdint>

#include "platform/com/Unknown.h"

namespace host {

using com::BSTR;
using com::HRESULT;
using com::IID;
using com::MakeGuid;
using VARIANT_BOOL = std::int16_t;

// Created by the component by class identifier.
struct IHostSystemObject : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0001, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x01});
    virtual HRESULT GetVersion(double* version) = 0;
    virtual HRESULT IsFeatureEnabled(std::int32_t feature, VARIANT_BOOL* enabled) = 0;
    virtual HRESULT GetCameraCount(std::int16_t* count) = 0;
};
constexpr com::CLSID CLSID_HostSystemObject =
    MakeGuid(0x6A1D0100, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x00});

struct ISetupUISupport : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0002, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x02});

    // ---- every setup ----
    virtual HRESULT ShowHelp(std::int16_t topic) = 0;
    virtual HRESULT GetCameraName(std::int32_t index, BSTR* name, VARIANT_BOOL* valid) = 0;
    virtual HRESULT GetLocalMode(std::int16_t* localMode) = 0;

    // ---- camera setup ----
    virtual HRESULT GetCameraSetupAccess(std::int32_t* access, std::int32_t* reserved) = 0;
    virtual HRESULT GetCovertSetupAccess(std::int32_t* access, std::int32_t* reserved) = 0;
    virtual HRESULT GetCameraNameForEdit(std::int32_t index, BSTR* name, VARIANT_BOOL* valid) = 0;
    virtual HRESULT SetCameraNames(const char* block, std::int32_t count, std::int32_t a, std::int32_t b,
                                   std::int32_t* out1, std::int32_t* out2) = 0;
    virtual HRESULT GetTerminationMask(std::int32_t* mask, std::int32_t* reserved) = 0;
    virtual HRESULT SetTerminationMask(std::int32_t mask, std::int32_t zero, std::int32_t* reserved) = 0;
    virtual HRESULT GetCovertMask(std::int32_t* mask, std::int32_t* reserved) = 0;
    virtual HRESULT SetCovertMask(std::int32_t mask, std::int32_t zero, std::int32_t* reserved) = 0;
    virtual HRESULT GetGainModes(std::int32_t* modes, std::int16_t count, std::int32_t* reserved) = 0;
    virtual HRESULT SetGainModes(const std::int32_t* modes, std::int16_t count, const std::int32_t* changedMask,
                                 std::int32_t zero, std::int32_t* reserved) = 0;
    virtual HRESULT GetPTZTriggerListXml(BSTR* xml, std::int32_t* reserved) = 0;
    virtual HRESULT SetPTZTriggerListXml(BSTR xml, std::int32_t* reserved) = 0;

    // ---- display setup ----
    // Bit i set: camera index i may be used (the call monitor page offers a
    // camera only when it is set in both masks).
    virtual HRESULT GetCameraEnableMask(std::int32_t* mask) = 0;
    virtual HRESULT GetCameraAllowMask(std::int32_t* mask) = 0;

    // ---- audio setup ----
    // Live mixer controls: each takes the new value and 0, and changes what
    // the unit does at once.  Record mode: 0 none, 1 line, 2 microphone.
    virtual HRESULT SetLiveMicRecordLevel(std::int32_t level, std::int32_t zero) = 0;
    virtual HRESULT SetLiveLineRecordLevel(std::int32_t level, std::int32_t zero) = 0;
    virtual HRESULT SetLiveRecordMode(std::int32_t mode, std::int32_t micMute, std::int32_t lineMute,
                                      std::int32_t zero) = 0;
    virtual HRESULT SetLiveMicBoost(std::int32_t on, std::int32_t zero) = 0;
    virtual HRESULT SetLiveMicVolume(std::int32_t volume, std::int32_t zero) = 0;
    virtual HRESULT SetLiveLineVolume(std::int32_t volume, std::int32_t zero) = 0;
    virtual HRESULT SetLivePlayVolume(std::int32_t volume, std::int32_t zero) = 0;
    virtual HRESULT SetLiveMicMute(std::int32_t muted, std::int32_t zero) = 0;
    virtual HRESULT SetLiveLineMute(std::int32_t muted, std::int32_t zero) = 0;
    virtual HRESULT SetLivePlayMute(std::int32_t muted, std::int32_t zero) = 0;

    // ---- IP source setup ----
    // Sources are addressed by their ID; device types by their GUID text.
    // The language code selects the texts of the configuration data (0 English,
    // 1 German, 2 French, 3 Spanish, 4 Portuguese, 5 Chinese).  The three
    // configuration values and the editor's result are opaque to the
    // component.  A zero success flag means the host has no answer.
    virtual HRESULT GetIPSourceConfig(BSTR* xml, VARIANT_BOOL* success) = 0;
    virtual HRESULT GetIPSourceData(std::int32_t id, std::int32_t language, BSTR* value1, BSTR* value2,
                                    BSTR* value3, VARIANT_BOOL* success) = 0;
    virtual HRESULT GetIPDeviceData(BSTR guid, std::int32_t language, BSTR* value1, BSTR* value2, BSTR* value3,
                                    VARIANT_BOOL* success) = 0;
    virtual HRESULT UpdateIPSource(std::int32_t id, BSTR result, VARIANT_BOOL* success) = 0;
    virtual HRESULT AddIPSource(BSTR guid, BSTR result, VARIANT_BOOL* success) = 0;
    virtual HRESULT DeleteIPSource(std::int32_t id, VARIANT_BOOL* success) = 0;

    // ---- text stream setup ----
};

struct ICameraControlUISupport : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0003, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x03});
    virtual HRESULT GetHandlerCount(std::int32_t* count) = 0;
    virtual HRESULT GetHandler(std::int32_t index, BSTR* displayName, BSTR* progId) = 0;
    virtual HRESULT GetCameraControlXml(BSTR* xml) = 0;
    virtual HRESULT SetCameraControlXml(BSTR xml) = 0;
    virtual HRESULT GetHandlerDefaults(BSTR progId, BSTR* serialPort, std::int16_t* monitor) = 0;
    virtual HRESULT GetSerialPorts(BSTR* ports) = 0;
    virtual HRESULT GetCameraSettings(std::int32_t camera, std::int16_t* address, BSTR* serialPort,
                                      std::int16_t* monitor) = 0;
    virtual HRESULT GetCameraHandler(std::int32_t camera, std::int32_t* handlerIndex) = 0;
    virtual HRESULT SetCameraHandler(std::int32_t camera, std::int32_t handlerIndex) = 0;
    virtual HRESULT SetCameraSettings(std::int32_t camera, std::int16_t address, BSTR serialPort,
                                      std::int16_t monitor, std::int32_t zero) = 0;
    virtual HRESULT ClearCameraHandler(std::int32_t camera) = 0;
    virtual HRESULT CommitCameraHandlers(std::int32_t zero) = 0;
    virtual HRESULT StoreXMLCameraHandlerDefinition(BSTR definition, BSTR* progId) = 0;
    virtual HRESULT RegisterCameraHandler(BSTR displayName, BSTR progId, std::int32_t* reserved) = 0;
    virtual HRESULT RefreshCameraHandler(std::int32_t camera) = 0;
    virtual HRESULT UnregisterCameraHandler(BSTR progId) = 0;
    virtual HRESULT DeleteXMLCameraHandlerDefinition(BSTR progId) = 0;
};

// ---- camera setup: host objects created by class identifier ----

// The host's camera control object, asked for handler defaults by pages
// running on hosts older than 3.22.
struct IHostCameraControlObject : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0020, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x20});
    // result 1 = defaults given.
    virtual HRESULT GetHandlerDefaults(BSTR progId, BSTR* serialPort, std::int16_t* monitor, std::int32_t* result) = 0;
};
constexpr com::CLSID CLSID_HostCameraControlObject =
    MakeGuid(0x6A1D0120, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x20});

// The XML camera handler component that runs user-defined handlers; created
// from its ProgID.
struct IXmlCameraHandler : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0021, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x21});
    // ok non-zero: text is the file's display name; zero: text describes the problem.
    virtual HRESULT ReadDefinitionFile(BSTR path, BSTR* text, VARIANT_BOOL* ok) = 0;
};
constexpr const char* kXmlCameraHandlerProgId = "QllnXmlCameraHandler.UserDefinedHandler";
constexpr com::CLSID CLSID_XmlCameraHandler =
    MakeGuid(0x6A1D0121, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x21});

// The host's file browser, used when the unit has no local file access.
struct IHostFileBrowser : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0022, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x22});
    virtual HRESULT SetFileDefaults(std::int32_t a, std::int32_t b, BSTR defaultExtension, BSTR defaultFileName) = 0;
    virtual HRESULT SetFileMustExist(std::int32_t mustExist) = 0;
    // S_OK: path is the chosen file; another non-negative result: nothing chosen.
    virtual HRESULT BrowseForFile(std::int32_t a, std::int32_t b, std::int32_t c, BSTR* path) = 0;
};
constexpr com::CLSID CLSID_HostFileBrowser =
    MakeGuid(0x6A1D0122, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x22});

// The remote resource manager: server membership and ports.  Every query
// and step answers S_OK for yes / done and S_FALSE for no / not done; a
// failure result is an error of the call itself.
struct IRmtResMgrUISupport : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0004, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x04});
    virtual HRESULT CanChangeServerMode() = 0;
    virtual HRESULT IsAdvancedSecurityOn() = 0;
    virtual HRESULT IsNetworkArchiveRunning() = 0;
    virtual HRESULT GetServerInfo(BSTR* info) = 0;
    virtual HRESULT RegisterWithServer(BSTR info, BSTR serverName) = 0;
    virtual HRESULT GetServerNameText(BSTR info, BSTR* serverName) = 0;
    virtual HRESULT ApplyManagedMode() = 0;
    virtual HRESULT LeaveServer() = 0;
    virtual HRESULT IsManaged() = 0;
    // 1: the unit becomes managed; 0: it becomes stand-alone.
    virtual HRESULT SetManagedState(std::int32_t managed) = 0;
};

struct IStorageUISupportCallback;

struct IStorageUISupport : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0005, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x05});

    // ---- storage setup ----
    // Volumes are addressed by their zero-based index.  State codes: 0 active,
    // 1 empty, 2 non-Quellan data, 3 another unit's database, 4 missing,
    // 5 failed, 6 corrupt.  Sizes are signed counts of kilobytes (-1 unknown);
    // times are seconds since 1970.  The long operations (RemoveVolume,
    // InitializeVolume, ConvertVolume, RepairVolume) report their progress
    // through the callback given to SetCallback while they run.
    virtual HRESULT GetVolumeCount(std::int32_t* count) = 0;
    virtual HRESULT GetVolumeStatus(std::int32_t index, VARIANT_BOOL* marker, std::int32_t* state) = 0;
    virtual HRESULT GetVolumeSize(std::int32_t index, std::int32_t* sizeKB) = 0;
    virtual HRESULT GetVolumeAllocation(std::int32_t index, std::int32_t* allocatedKB) = 0;
    virtual HRESULT RemoveVolume(std::int32_t index, std::int32_t zero, VARIANT_BOOL* result) = 0;
    virtual HRESULT SetVolumeLabel(std::int32_t index, BSTR label, VARIANT_BOOL* success) = 0;
    virtual HRESULT GetVolumeLabel(std::int32_t index, BSTR* label, VARIANT_BOOL* valid) = 0;
    virtual HRESULT InitializeVolume(std::int32_t index, std::int32_t allocationKB, std::int32_t zero,
                                     VARIANT_BOOL* success) = 0;
    virtual HRESULT ConvertVolume(std::int32_t index, std::int32_t zero, VARIANT_BOOL* success) = 0;
    virtual HRESULT GetVolumePath(std::int32_t index, BSTR* path, VARIANT_BOOL* valid) = 0;
    virtual HRESULT RepairVolume(std::int32_t index, std::int32_t* errorCount, std::int32_t zero,
                                 VARIANT_BOOL* success) = 0;
    virtual HRESULT GetVolumeTimeRange(std::int32_t index, std::int32_t* start, std::int32_t* end,
                                       VARIANT_BOOL* flag) = 0;
    virtual HRESULT ShowHelp(std::int16_t topic) = 0;
    // A non-zero answer means that converting every volume must not go on.
    virtual HRESULT CheckConvertAll(std::int32_t zero, VARIANT_BOOL* answer) = 0;
    // The host keeps a reference to the callback until it is replaced (null
    // releases it).
    virtual HRESULT SetCallback(IStorageUISupportCallback* callback) = 0;
};

// The seventeen values of one text stream, in the order the host passes
// them.  Strings handed out by GetStream belong to the caller.
struct TextStreamFields {
    BSTR Name = nullptr;
    std::int32_t StreamId = -1;
    BSTR ConnectionName = nullptr;
    BSTR HandlerName = nullptr;
    std::int16_t ComPort = -1;
    std::int32_t BaudRate = -1;
    std::int16_t DataBits = -1;
    std::int16_t Parity = -1;
    std::int16_t StopBits = -1;
    std::int16_t FlowControl = -1;
    std::int32_t CameraMask = -1;
    std::int32_t ShowCustomerEntries = -1;
    std::int32_t ShowJournalEntries = -1;
    std::int32_t ApplyExceptionsAsGroup = -1;
    BSTR EndOfLine = nullptr;
    std::int32_t ConnectionType = -1;
    std::int32_t IpPort = -1;
};

struct ITextStreamsUISupport : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0006, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x06});
    // Streams are addressed by their zero-based index in the host's list.
    virtual HRESULT GetStreamCount(std::int16_t* count) = 0;
    virtual HRESULT GetStream(std::int32_t index, TextStreamFields* stream) = 0;
    virtual HRESULT UpdateStream(std::int32_t index, const TextStreamFields* stream, std::int32_t zero) = 0;
    virtual HRESULT DeleteStream(std::int32_t index, std::int32_t zero) = 0;
    // The two names go in and come back as the host stores them.
    virtual HRESULT CreateStream(std::int16_t comPort, std::int32_t* index, std::int32_t* streamId,
                                 BSTR* connectionName, BSTR* handlerName, std::int32_t zero) = 0;
    // Comma-separated receipt and exception identifiers the stream uses.
    virtual HRESULT GetStreamDefinitions(std::int32_t streamId, BSTR* ids) = 0;
    virtual HRESULT SetStreamDefinitions(std::int32_t streamId, BSTR ids) = 0;
    // Comma-separated text handler names; kind 0 raw text, 1 printer interface.
    virtual HRESULT GetHandlerNames(BSTR* names) = 0;
    virtual HRESULT GetHandlerInfo(BSTR name, std::int16_t* kind, std::int16_t* hasSetup) = 0;
    // Connection type 0 serial, 2 TCP/IP.
    virtual HRESULT GetConnectionTypeInfo(BSTR name, std::int32_t* type, std::int32_t* flag) = 0;
    virtual HRESULT GetConnectionTypeNames(BSTR* names) = 0;
    // Comma-separated zero-based serial ports the stream may use; -1 = unassigned.
    virtual HRESULT GetAvailableComPorts(BSTR* ports) = 0;
    // Comma-separated TCP/IP ports already used by text streams.
    virtual HRESULT GetUsedTextIPPorts(BSTR* ports) = 0;
    virtual HRESULT GetNetworkIdentity(BSTR* networkName, BSTR* ipAddress) = 0;
};

struct ITextExceptionsUISupport : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0007, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x07});
    // All definitions (exceptions and receipts) as one text in the host's
    // format; DefinitionListCodec reads and writes it.
    virtual HRESULT GetDefinitionsText(BSTR* text) = 0;
    virtual HRESULT SetDefinitionsText(BSTR text, std::int16_t* result) = 0;
    // The content of a criteria file; result 0 = taken, the list may be reloaded.
    virtual HRESULT ImportDefinitionsText(BSTR fileContent, std::int16_t* result) = 0;
    // The criteria file text for the given definitions.
    virtual HRESULT ExportDefinitionsText(const std::int32_t* ids, std::int32_t count, BSTR* text,
                                          std::int32_t* reserved) = 0;
    // Two comma-separated lists of equal length: stream names, stream identifiers.
    virtual HRESULT GetTextStreamList(BSTR* names, BSTR* ids) = 0;
    // Successive pieces of a stream's recent text: the caller passes the three
    // positions back unchanged; a count of 0 ends.
    virtual HRESULT GetTransactionData(std::int32_t mode, std::int32_t streamId, std::int32_t* pos1,
                                       std::int32_t* pos2, std::int32_t* pos3, BSTR* piece,
                                       std::int32_t* count) = 0;
    virtual HRESULT IsDefinitionInUse(std::int32_t id, std::int16_t* inUse) = 0;
};

// ---- IP source setup: host objects ----

// Named, typed values that the IP Sources page hands to the device
// configuration editor with its run (the page's own object).
struct IIPConfigValues : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0040, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x40});
    virtual HRESULT AddValue(BSTR name, BSTR type, BSTR value) = 0;
    virtual HRESULT get_Count(std::int32_t* count) = 0;
    // The index-th value (0-based); E_INVALIDARG past the last.
    virtual HRESULT Item(std::int32_t index, BSTR* name, BSTR* type, BSTR* value) = 0;
};

// The host's editor of one IP device's configuration.
struct IIPDeviceConfigEditor : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0041, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x41});
    // The three configuration values from GetIPSourceData / GetIPDeviceData.
    virtual HRESULT SetConfigData(BSTR value1, BSTR value2, BSTR value3) = 0;
    // Runs the editor; confirmed non-zero when the operator confirmed.
    virtual HRESULT Edit(IIPConfigValues* values, std::int16_t* confirmed) = 0;
    // The configuration result to hand to UpdateIPSource / AddIPSource.
    virtual HRESULT get_Result(BSTR* result) = 0;
};
constexpr com::CLSID CLSID_IPDeviceConfigEditor =
    MakeGuid(0x6A1D0140, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x40});

// ---- text streams: host objects created by class identifier ----

// One text exception or receipt definition.
struct ITextDefinition : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0030, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x30});
    virtual HRESULT get_Name(BSTR* v) = 0;
    virtual HRESULT put_Name(BSTR v) = 0;
    virtual HRESULT get_Match(BSTR* v) = 0;
    virtual HRESULT put_Match(BSTR v) = 0;
    virtual HRESULT get_JumpCount(std::int16_t* v) = 0;  // 0 to 3
    virtual HRESULT put_JumpCount(std::int16_t v) = 0;
    // 0 less than, 1 greater than, 2 equal to, 3 between, 4 found.
    virtual HRESULT get_Operator(std::int16_t* v) = 0;
    virtual HRESULT put_Operator(std::int16_t v) = 0;
    virtual HRESULT get_Forward(std::int32_t* v) = 0;
    virtual HRESULT put_Forward(std::int32_t v) = 0;
    virtual HRESULT get_IsString(std::int32_t* v) = 0;
    virtual HRESULT put_IsString(std::int32_t v) = 0;
    virtual HRESULT get_StringValue(BSTR* v) = 0;
    virtual HRESULT put_StringValue(BSTR v) = 0;
    virtual HRESULT get_Value1(double* v) = 0;
    virtual HRESULT put_Value1(double v) = 0;
    virtual HRESULT get_Value2(double* v) = 0;
    virtual HRESULT put_Value2(double v) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT get_Id(std::int32_t* v) = 0;  // 0 to 127
    virtual HRESULT put_Id(std::int32_t v) = 0;
    virtual HRESULT get_Description(BSTR* v) = 0;  // the host's one-line description
    virtual HRESULT get_IsReceipt(std::int32_t* v) = 0;
    virtual HRESULT put_ToLastEntry(std::int32_t v) = 0;
    virtual HRESULT get_ToLastEntry(std::int32_t* v) = 0;
    // Receipt definitions.
    virtual HRESULT put_IsReceipt(std::int32_t v) = 0;
    virtual HRESULT put_ReceiptFlag(std::int32_t v) = 0;
    virtual HRESULT put_EndMarkerFlag(std::int32_t v) = 0;
    virtual HRESULT get_BeginMarker(BSTR* v) = 0;
    virtual HRESULT put_BeginMarker(BSTR v) = 0;
    virtual HRESULT get_EndMarker(BSTR* v) = 0;
    virtual HRESULT put_EndMarker(BSTR v) = 0;
};
constexpr com::CLSID CLSID_TextDefinition =
    MakeGuid(0x6A1D0130, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x30});

// Reads a definitions text into definition objects and writes them back.
struct IDefinitionListCodec : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0031, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x31});
    // S_OK: *count definitions were read and can be fetched with GetParsed;
    // S_FALSE: the text holds no usable list; a failure: the text is not one.
    virtual HRESULT Parse(BSTR text, std::int32_t* count) = 0;
    // The index-th definition of the last Parse (a new reference).
    virtual HRESULT GetParsed(std::int32_t index, ITextDefinition** definition) = 0;
    virtual HRESULT Format(ITextDefinition* const* definitions, std::int32_t count, BSTR* text) = 0;
};
constexpr com::CLSID CLSID_DefinitionListCodec =
    MakeGuid(0x6A1D0131, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x31});

// The unit's stored definitions, as the stream sheet's Alarms and Receipt
// Definitions pages list them.
struct ITextDefinitionCollection : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0032, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x32});
    virtual HRESULT get_Count(std::int16_t* count) = 0;
    virtual HRESULT Item(std::int16_t index, ITextDefinition** definition) = 0;  // a new reference
};
constexpr com::CLSID CLSID_TextDefinitionCollection =
    MakeGuid(0x6A1D0132, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x01, 0x32});

// The component's storage progress callback, as the host sees it.
struct IStorageUISupportCallback : com::IUnknown {
    static constexpr IID IID_ = MakeGuid(0x6A1D0010, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x10});
    virtual HRESULT SetProgressRange(std::int32_t lower, std::int32_t upper) = 0;
    virtual HRESULT SetProgress(std::int32_t position) = 0;
};

struct IStorageUISupportCallbackImp : IStorageUISupportCallback {
    static constexpr IID IID_ = MakeGuid(0x6A1D0011, 0x51C3, 0x4E0B, {0x9A, 0x10, 0x3C, 0x55, 0x01, 0x00, 0x00, 0x11});
    virtual HRESULT SetWindow(std::int32_t hwnd) = 0;
};

}  // namespace host
