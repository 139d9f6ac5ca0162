// One text stream as the setup edits it, and the texts it travels in:
// the stream record, the merge of a page's partial record, the list
// column texts and the comma-separated identifier lists.  Free of the
// dialog model so that it can be exercised on its own.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace textstreams {

enum eConnectionType : std::int32_t { eConnectionSerial = 0, eConnectionTcpIp = 2 };

struct TextStreamRecord {
    std::string Name;
    std::string HandlerName;
    std::string ConnectionName;
    std::string EndOfLine;
    std::int32_t ShowCustomerEntries = -1;
    std::int32_t ShowJournalEntries = -1;
    std::int32_t ApplyExceptionsAsGroup = -1;
    std::int32_t DefinitionsChanged = 0;
    std::int32_t StreamId = -1;
    std::int16_t ComPort = -2;
    std::int32_t BaudRate = -1;
    std::int16_t DataBits = -1;
    std::int16_t Parity = -1;
    std::int16_t StopBits = -1;
    std::int16_t FlowControl = -1;
    std::int32_t CameraMask = -1;
    std::int32_t ListKey = -1;
    std::int32_t ConnectionType = -1;
    std::int32_t IpPort = -1;
    std::vector<std::int32_t> DefinitionIds;

    void Reset() { *this = TextStreamRecord{}; }
    bool operator==(const TextStreamRecord&) const = default;
};

// Copies every given field of a page's partial record into current.
// IpPort is taken only for a TCP/IP stream and the serial settings only
// for a serial one (judged after the merge); ListKey and
// DefinitionsChanged are never merged.
void MergeRecord(TextStreamRecord& current, const TextStreamRecord& partial);

// "COM%d:%d,%s,%d,%s" (port + 1, baud, parity letter, data bits, stop bits
// text), or unassigned when the port is negative.
std::string SerialSummary(const TextStreamRecord& r, const std::string& unassigned);
// Third list column: "IP Port:%d" for a TCP/IP stream (unassigned when the
// port is negative), the serial summary otherwise.
std::string DescriptionText(const TextStreamRecord& r, const std::string& unassigned);
const char* ParityLetter(std::int32_t parity);     // "" outside 0..4
const char* StopBitsText(std::int32_t stopBits);   // "" outside 0..2

// The identifier lists that the Alarms and Receipt Definitions pages hand
// the list dialog, and the list sent with SetStreamDefinitions: receipts
// then exceptions, each side from the page that replaced it, else from the
// other page's knowledge.
struct DefinitionSelections {
    std::vector<std::int32_t> alarmsExceptions, alarmsReceipts;    // Alarms page: checked, known
    bool alarmsReplaced = false;
    std::vector<std::int32_t> receiptsReceipts, receiptsExceptions; // Receipt page: checked, known
    bool receiptsReplaced = false;
};
std::string StreamDefinitionList(const DefinitionSelections& s);

// Key of a row appended to the list: the largest key (as 16-bit) plus one,
// 0 for an empty list.
std::int32_t NextListKey(const std::vector<TextStreamRecord>& records);

// Identifier lists: numbers joined with "," (no blanks, no trailing comma).
std::string FormatIdentifierList(const std::vector<std::int32_t>& ids);
// Reads a host's identifier list as far as it can: blanks around a number
// are allowed and empty fields are skipped; a field that is not a number in
// the 32-bit range is left out and listed in unreadable.
struct IdentifierListRead {
    std::vector<std::int32_t> ids;
    std::vector<std::string> unreadable;
};
IdentifierListRead ReadIdentifierList(std::string_view text);
// The strict reading: any unreadable field makes the whole list invalid
// (nullopt).
std::optional<std::vector<std::int32_t>> ParseIdentifierList(std::string_view text);
// Host name lists: split at ",", empty names skipped.
std::vector<std::string> SplitNameList(std::string_view text);

// The record as one line of text "Field=value;..." in field order (strings
// with ';', '=', '\\' escaped by '\\').  ParseStreamRecord reads that line
// back; unknown or repeated fields, bad numbers or a number out of its
// field's range give nullopt and an error text.
std::string FormatStreamRecord(const TextStreamRecord& r);
std::optional<TextStreamRecord> ParseStreamRecord(std::string_view text, std::string* error = nullptr);

}  // namespace textstreams
