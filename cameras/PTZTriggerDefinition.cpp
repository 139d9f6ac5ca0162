#include "cameras/PTZTriggerDefinition.h"

#include "cameras/CameraControlXml.h"
#include "foundation/DebugLog.h"
#include "foundation/XmlDocument.h"

namespace cameras {

namespace {

// Forward-only reading of one document; every helper answers false when the
// text ends before the element it is in is closed.  Names and values are
// views into the document's text (a synthetic end tag's name lives until the
// next node).
class Reader {
public:
    explicit Reader(const std::string& text) {
        m_doc.ReadText(text);
    }
    bool Next() { return m_doc.ReadNode(name, value, isEnd, isAttr); }
    [[gnu::always_inline]] bool IsStart(std::string_view n) const { return !isEnd && !isAttr && name == n; }
    // Inline: n is a literal, compared as words of known length.
    [[gnu::always_inline]] bool IsEndOf(std::string_view n) const {
        // The name without its leading slashes is n: n after one slash or more
        // (mostly one).
        if (isEnd && name.size() == n.size() + 1) return name[0] == '/' && name.substr(1) == n;
        if (!isEnd || name.size() <= n.size() || name.substr(name.size() - n.size()) != n) return false;
        for (size_t i = 0; i < name.size() - n.size(); ++i)
            if (name[i] != '/') return false;
        return true;
    }

    // Reads one Alarms entry up to its end tag.
    bool ReadAlarm(PTZAlarmElement& alarm) {
        while (Next()) {
            if (IsEndOf("Alarms")) return true;
            if (IsStart("AlarmType")) alarm.AlarmType.Set(std::string(value));
            else if (IsStart("AlarmName")) alarm.AlarmName.Set(std::string(value));
        }
        return false;
    }

    // Reads one PTZTriggerDef up to its end tag; false when it is bad.
    bool ReadDefinition(PTZTriggerDefElement& def) {
        while (Next()) {
            if (isAttr) continue;
            if (isEnd) {
                if (IsEndOf("PTZTriggerDef")) return IsGood(def);
                continue;
            }
            // Names of different lengths never match: one comparison a node.
            switch (name.size()) {
                case 6:
                    if (name == "Alarms") {
                        PTZAlarmElement alarm;
                        if (!ReadAlarm(alarm) || !alarm.AlarmType.present) return false;
                        // Room for two alarms at once: a definition mostly has one or two.
                        if (def.Alarms.empty()) def.Alarms.reserve(2);
                        def.Alarms.push_back(std::move(alarm));
                    }
                    break;
                case 10:
                    if (name == "PTZCommand") def.PTZCommand.Set(std::string(value));
                    break;
                case 11:
                    if (name == "PTZCameraID") def.PTZCameraID.Set(static_cast<std::uint8_t>(PTZNumber(value)));
                    break;
                case 12:
                    if (name == "PTZCommandID") def.PTZCommandID.Set(static_cast<std::uint16_t>(PTZNumber(value)));
                    break;
                case 13:
                    if (name == "AlarmCameraID") def.AlarmCameraID.Set(static_cast<std::uint8_t>(PTZNumber(value)));
                    else if (name == "PTZCameraName") def.PTZCameraName.Set(std::string(value));
                    break;
                case 15:
                    if (name == "AlarmCameraName") def.AlarmCameraName.Set(std::string(value));
                    break;
                default:
                    break;
            }
        }
        return false;
    }

    static bool IsGood(const PTZTriggerDefElement& d) {
        return d.AlarmCameraID.present && d.AlarmCameraName.present && d.PTZCameraID.present &&
               d.PTZCameraName.present && d.PTZCommand.present && d.PTZCommandID.present && !d.Alarms.empty() &&
               d.Alarms.size() <= 4;
    }

    std::string_view name, value;
    bool isEnd = false, isAttr = false;

private:
    CXmlDocument m_doc;
};

constexpr const char* kAlarmWords[] = {"Filter", "Input", "Generated", "VideoLoss"};

}  // namespace

bool PTZTriggerListDocument::Read(const std::string& text) {
    m_records.clear();
    Reader r(text);
    for (;;) {
        if (!r.Next()) return false;
        if (r.IsStart("PTZTriggerList")) break;
    }
    std::vector<std::unique_ptr<PTZTriggerDefElement>> records;
    for (;;) {
        if (!r.Next()) return false;
        if (r.IsEndOf("PTZTriggerList")) break;
        if (r.IsStart("PTZTriggerDef")) {
            auto def = std::make_unique<PTZTriggerDefElement>();
            if (!r.ReadDefinition(*def)) return false;
            records.push_back(std::move(def));
        }
    }
    m_records = std::move(records);
    return true;
}

namespace {

// The document's text, to a CXmlDocument or to a CXmlTextSize that measures it.
template <class Out>
void WriteRecords(const std::vector<std::unique_ptr<PTZTriggerDefElement>>& records, Out& doc) {
    doc.StartElement("PTZTriggerList", 0, true);
    for (const auto& rec : records) {
        const PTZTriggerDefElement& d = *rec;
        doc.StartElement("PTZTriggerDef", 0, true);
        if (d.AlarmCameraID.present) doc.WriteElement("AlarmCameraID", static_cast<long>(d.AlarmCameraID.value), 0, true);
        if (d.AlarmCameraName.present) doc.WriteElement("AlarmCameraName", d.AlarmCameraName.value, 0, true);
        for (const auto& a : d.Alarms) {
            doc.StartElement("Alarms", 0, true);
            if (a.AlarmType.present) doc.WriteElement("AlarmType", a.AlarmType.value, 0, true);
            if (a.AlarmName.present) doc.WriteElement("AlarmName", a.AlarmName.value, 0, true);
            doc.EndElement("Alarms", 0, true);
        }
        if (d.PTZCameraID.present) doc.WriteElement("PTZCameraID", static_cast<long>(d.PTZCameraID.value), 0, true);
        if (d.PTZCameraName.present) doc.WriteElement("PTZCameraName", d.PTZCameraName.value, 0, true);
        if (d.PTZCommand.present) doc.WriteElement("PTZCommand", d.PTZCommand.value, 0, true);
        if (d.PTZCommandID.present) doc.WriteElement("PTZCommandID", static_cast<long>(d.PTZCommandID.value), 0, true);
        doc.EndElement("PTZTriggerDef", 0, true);
    }
    doc.EndElement("PTZTriggerList", 0, true);
}

}  // namespace

// The text is measured first and written into a buffer of its exact size: a
// long list's text takes no copies while it grows, and no more memory than
// it needs (a buffer reserved generously for many records is one the memory
// allocator maps afresh, and pays for page by page, every time).
std::string PTZTriggerListDocument::Write() const {
    CXmlTextSize size;
    WriteRecords(m_records, size);
    CXmlDocument doc;
    doc.Reserve(size.Size());
    WriteRecords(m_records, doc);
    return doc.TakeText();
}

void RecordsToDefinitions(const PTZTriggerListDocument& doc, std::vector<PTZTriggerDefinition>& out) {
    for (const auto& rec : doc.Records()) {
        const PTZTriggerDefElement& r = *rec;
        PTZTriggerDefinition d;
        d.SetAlarmCameraID(r.AlarmCameraID.value);
        d.SetAlarmCameraName(r.AlarmCameraName.value);
        d.SetPTZCameraID(r.PTZCameraID.value);
        d.SetPTZCameraName(r.PTZCameraName.value);
        for (const auto& a : r.Alarms) {
            const std::string& t = a.AlarmType.value;
            if (EqualsNoCase(t, "Filter")) d.SetFilter(1);
            else if (EqualsNoCase(t, "Input")) d.SetInput(1);
            else if (EqualsNoCase(t, "Generated")) d.SetGenerated(1);
            else if (EqualsNoCase(t, "VideoLoss")) d.SetVideoLoss(1);
        }
        if (EqualsNoCase(r.PTZCommand.value, "Pattern")) {
            d.SetActionType(PTZTriggerDefinition::ePattern);
        } else if (EqualsNoCase(r.PTZCommand.value, "Preset")) {
            d.SetActionType(PTZTriggerDefinition::ePreset);
        } else {
            LogMirelle("PTZ Trigger XML contains bad action type. Ignoring this trigger definition.");
            continue;
        }
        d.SetActionValue(r.PTZCommandID.value);
        out.push_back(std::move(d));
    }
}

void DefinitionsToRecords(const std::vector<PTZTriggerDefinition>& defs, PTZTriggerListDocument& doc) {
    doc.Records().clear();
    for (const auto& d : defs) {
        auto r = std::make_unique<PTZTriggerDefElement>();
        r->AlarmCameraID.Set(static_cast<std::uint8_t>(d.AlarmCameraID()));
        r->AlarmCameraName.Set(d.AlarmCameraName());
        const std::int32_t flags[] = {d.Filter(), d.Input(), d.Generated(), d.VideoLoss()};
        for (int i = 0; i < 4; ++i)
            if (flags[i]) {
                PTZAlarmElement a;
                a.AlarmType.Set(kAlarmWords[i]);
                r->Alarms.push_back(std::move(a));
            }
        r->PTZCameraID.Set(static_cast<std::uint8_t>(d.PTZCameraID()));
        r->PTZCameraName.Set(d.PTZCameraName());
        if (d.ActionType() == PTZTriggerDefinition::ePreset) r->PTZCommand.Set("Preset");
        else if (d.ActionType() == PTZTriggerDefinition::ePattern) r->PTZCommand.Set("Pattern");
        r->PTZCommandID.Set(static_cast<std::uint16_t>(d.ActionValue()));
        doc.Records().push_back(std::move(r));
    }
}

std::int32_t CheckDefinition(const PTZTriggerDefinition& d) {
    if (d.AlarmCameraID() < 0 || d.AlarmCameraID() > 15) return E_BAD_ALARM_CAMERA;
    if (d.PTZCameraID() < 0 || d.PTZCameraID() > 15) return E_BAD_PTZ_CAMERA;
    if (!d.Filter() && !d.Input() && !d.Generated() && !d.VideoLoss()) return E_NO_ALARM_TYPE;
    if (d.Filter() && d.AlarmCameraID() == d.PTZCameraID()) return E_FILTER_SAME_CAMERA;
    if (d.ActionType() == PTZTriggerDefinition::ePreset) {
        if (d.ActionValue() > 96) return E_BAD_ACTION;
    } else if (d.ActionType() == PTZTriggerDefinition::ePattern) {
        if (d.ActionValue() > 63) return E_BAD_ACTION;
    } else {
        return E_BAD_ACTION;
    }
    return E_VALID;
}

int ValidityMessageId(std::int32_t code) {
    if (code == E_VALID) return 0;
    if (code > E_VALID && code < E_MAX_ERROR_CODES) return 159 + code;
    LogMirelle("PTZ trigger definition rejected with unknown validity code " + std::to_string(code) +
               ": E_MAX_ERROR_CODES exceeded.");
    return 165;
}

std::string DescribeDefinition(const PTZTriggerDefinition& d) {
    std::string types;
    const std::int32_t flags[] = {d.Filter(), d.Input(), d.Generated(), d.VideoLoss()};
    for (int i = 0; i < 4; ++i)
        if (flags[i]) types += (types.empty() ? "" : ",") + std::string(kAlarmWords[i]);
    if (types.empty()) types = "-";
    std::string action = d.ActionType() == PTZTriggerDefinition::ePattern ? "Pattern" : "Preset";
    return "alarm=" + std::to_string(d.AlarmCameraID()) + " \"" + d.AlarmCameraName() + "\" types=" + types +
           " ptz=" + std::to_string(d.PTZCameraID()) + " \"" + d.PTZCameraName() + "\" action=" + action + " " +
           std::to_string(d.ActionValue());
}

}  // namespace cameras
