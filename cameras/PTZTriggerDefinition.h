// PTZ trigger definitions: the PTZTriggerList document exchanged with the
// host, the element-level records it is read into, the typed definition the
// editor works on, the conversions between them and the definition check.
//
// Pure logic, free of the dialog model.  Reading never raises: a malformed
// document answers false and the caller treats the list as empty.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Numbers.h"

namespace cameras {

class PTZTriggerDefinition {
public:
    enum { kMaxNameLength = 10 };
    enum eActionType { ePreset = 0, ePattern = 1 };

    std::int32_t AlarmCameraID() const { return m_alarmCameraID; }
    const std::string& AlarmCameraName() const { return m_alarmCameraName; }
    std::int32_t Filter() const { return m_filter; }
    std::int32_t Input() const { return m_input; }
    std::int32_t Generated() const { return m_generated; }
    std::int32_t VideoLoss() const { return m_videoLoss; }
    const std::string& LabelText() const { return m_labelText; }
    std::int32_t PTZCameraID() const { return m_ptzCameraID; }
    const std::string& PTZCameraName() const { return m_ptzCameraName; }
    std::int32_t ActionType() const { return m_actionType; }
    std::uint32_t ActionValue() const { return m_actionValue; }

    void SetAlarmCameraID(std::int32_t v) { m_alarmCameraID = v; }
    void SetAlarmCameraName(const std::string& v) { m_alarmCameraName = v.substr(0, kMaxNameLength); }
    void SetFilter(std::int32_t v) { m_filter = v; }
    void SetInput(std::int32_t v) { m_input = v; }
    void SetGenerated(std::int32_t v) { m_generated = v; }
    void SetVideoLoss(std::int32_t v) { m_videoLoss = v; }
    void SetLabelText(const std::string& v) { m_labelText = v.substr(0, kMaxNameLength); }
    void SetPTZCameraID(std::int32_t v) { m_ptzCameraID = v; }
    void SetPTZCameraName(const std::string& v) { m_ptzCameraName = v.substr(0, kMaxNameLength); }
    // Only 0 (preset) and 1 (pattern) are taken; other values leave it as it was.
    void SetActionType(std::int32_t v) {
        if (v < 2) m_actionType = v;
    }
    void SetActionValue(std::uint32_t v) { m_actionValue = v; }

    bool operator==(const PTZTriggerDefinition&) const = default;

private:
    std::int32_t m_alarmCameraID = -1;
    std::string m_alarmCameraName;
    std::int32_t m_filter = 0;
    std::int32_t m_input = 0;
    std::int32_t m_generated = 0;
    std::int32_t m_videoLoss = 0;
    std::string m_labelText;
    std::int32_t m_ptzCameraID = -1;
    std::string m_ptzCameraName;
    std::int32_t m_actionType = ePreset;
    std::uint32_t m_actionValue = 1;
};

// A field of a record with its presence flag.
template <class T>
struct Present {
    T value{};
    bool present = false;
    void Set(T v) { value = std::move(v); present = true; }
};

struct PTZAlarmElement {
    Present<std::string> AlarmType;
    Present<std::string> AlarmName;
};

struct PTZTriggerDefElement {
    Present<std::uint8_t> AlarmCameraID;
    Present<std::string> AlarmCameraName;
    std::vector<PTZAlarmElement> Alarms;
    Present<std::uint8_t> PTZCameraID;
    Present<std::string> PTZCameraName;
    Present<std::string> PTZCommand;
    Present<std::uint16_t> PTZCommandID;
};

class PTZTriggerListDocument {
public:
    std::vector<std::unique_ptr<PTZTriggerDefElement>>& Records() { return m_records; }
    const std::vector<std::unique_ptr<PTZTriggerDefElement>>& Records() const { return m_records; }

    // Reads text; on failure the records are cleared and false is answered.
    bool Read(const std::string& text);
    std::string Write() const;

private:
    std::vector<std::unique_ptr<PTZTriggerDefElement>> m_records;
};

// Number of element text: longer than 31 characters reads 0; otherwise the C
// library's unsigned conversion with automatic base into the unit's 32-bit
// unsigned long (saturating).
inline std::uint32_t PTZNumber(std::string_view text) { return text.size() > 31 ? 0 : StrToULong32(text, 0); }

// Records to typed definitions, appended to out.  Records with an unknown
// PTZCommand are dropped (logged when logging is on).
void RecordsToDefinitions(const PTZTriggerListDocument& doc, std::vector<PTZTriggerDefinition>& out);
// Typed definitions to records (replacing the document's records).
void DefinitionsToRecords(const std::vector<PTZTriggerDefinition>& defs, PTZTriggerListDocument& doc);

// Validity codes of the definition check.
enum ePTZTriggerValidity : std::int32_t {
    E_VALID = 0,
    E_NO_ALARM_TYPE = 1,
    E_FILTER_SAME_CAMERA = 2,
    E_BAD_ALARM_CAMERA = 3,
    E_BAD_PTZ_CAMERA = 4,
    E_BAD_ACTION = 5,
    E_MAX_ERROR_CODES
};

std::int32_t CheckDefinition(const PTZTriggerDefinition& def);
// String id of the message shown for a code (0 for a valid one); codes at or
// beyond E_MAX_ERROR_CODES give 165 and log the unknown code when logging is on.
int ValidityMessageId(std::int32_t code);

// One line describing a typed definition (diagnostics and mirelle-inspect).
std::string DescribeDefinition(const PTZTriggerDefinition& def);

}  // namespace cameras
