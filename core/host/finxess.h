// Finxess, the access layer over the host's stored records: the four generic families (other,
// detail, entry detail, global), the 12-byte records of a caller's tag, one wrapper per fixed
// tag, the text records (a text block is a 'SOTX' header naming a 'txbl' record with the
// characters) and a few conversions that live beside them.
//
// Every wrapper makes one host call (unless it says otherwise) with the interface version
// 0x05000005 and answers true when the host's result is non-zero; a failure changes nothing and
// shows nothing (keys are written back only on success). The loads of the fixed tags are of one
// layout: a record held shorter is reported as damaged (core/host/record_integrity.h), and a
// save that would write it back padded is refused (false) and reported. Keys written back by create and
// next go to 32-bit variables: a main key widened without sign, an inci with sign, an entry number as it is. Loads pass
// the host a private copy of the size, so the caller does not learn how much was written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/finxess_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

using hostapi::EntryNumber;
using hostapi::Tag;

// ---- Generic families (the tag first) ----
// LoadWhole... load a record of one layout: a record the host holds with fewer than `size`
// bytes is damaged and reported once (core/host/record_integrity.h); the answer stays the host's.
bool LoadOtherRecord(Tag tag, int32_t cmper, int32_t inci, void* buffer, int32_t size);
bool LoadWholeOtherRecord(Tag tag, int32_t cmper, int32_t inci, void* buffer, int32_t size);
/// The record after (cmper, inci); its keys are written back.
bool NextOtherRecord(Tag tag, int32_t& cmper, int32_t& inci, void* buffer, int32_t size);
bool SaveOtherRecord(Tag tag, int32_t cmper, int32_t inci, const void* buffer, int32_t size);
/// A cmper or inci of -1 asks the host for a new one; the keys given are written back.
bool CreateOtherRecord(Tag tag, int32_t& cmper, int32_t& inci, const void* buffer, int32_t size);
bool DeleteOtherRecord(Tag tag, int32_t cmper, int32_t inci);

bool LoadDetailRecord(Tag tag, int32_t key1, int32_t key2, void* buffer, int32_t size, int32_t inci);
bool LoadWholeDetailRecord(Tag tag, int32_t key1, int32_t key2, void* buffer, int32_t size, int32_t inci);
bool SaveDetailRecord(Tag tag, int32_t key1, int32_t key2, const void* buffer, int32_t size, int32_t inci);
bool CreateDetailRecord(Tag tag, int32_t key1, int32_t key2, const void* buffer, int32_t size, int32_t& inci);
bool DeleteDetailRecord(Tag tag, int32_t key1, int32_t key2, int32_t inci);
/// The record of the tag just before (key1, key2, inci) in the host's key order; its keys are
/// written back (signed words).
bool PreviousDetailRecord(Tag tag, int32_t& key1, int32_t& key2, int32_t& inci);

bool LoadEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci, void* buffer, int32_t size);
bool LoadWholeEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci, void* buffer, int32_t size);
bool SaveEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci, const void* buffer, int32_t size);
bool CreateEntryDetailRecord(Tag tag, EntryNumber& entry, int32_t& inci, const void* buffer, int32_t size);
bool DeleteEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci);
/// Deletes every entry detail record kept under an entry's number (articulations, expressions
/// on the entry, tuplets, lyrics, ...), for an entry that is taken out of its cell: records of
/// an entry that no longer exists would come back with the next entry to take its number.
void DeleteEntryDetailRecords(EntryNumber entry);
/// The whole record, at the size the host holds it (two host calls: its size, then its bytes).
bool LoadEntryDetailRecordBytes(Tag tag, EntryNumber entry, int32_t inci, std::vector<uint8_t>& bytes);

/// A load and a save of an other record with another interface version than 0x05000005 (the
/// 24-byte staff system record is read and written with 0x06000200). The load is of one layout,
/// as LoadWholeOtherRecord.
bool LoadOtherRecordOfVersion(Tag tag, int32_t cmper, int32_t inci, void* buffer, int32_t size,
                              hostapi::InterfaceVersion version);
bool SaveOtherRecordOfVersion(Tag tag, int32_t cmper, int32_t inci, const void* buffer, int32_t size,
                              hostapi::InterfaceVersion version);

bool LoadGlobalRecord(Tag tag, int32_t key, void* buffer, int32_t size);
bool LoadWholeGlobalRecord(Tag tag, int32_t key, void* buffer, int32_t size);
bool SaveGlobalRecord(Tag tag, int32_t key, const void* buffer, int32_t size);

// ---- 12-byte records of a caller's tag (other record, inci 0; the tag last) ----
bool LoadSmallRecord(int32_t key, Record12& record, Tag tag);
bool SaveSmallRecord(int32_t key, const Record12& record, Tag tag);
bool DeleteSmallRecord(int32_t key, Tag tag);

// ---- Fixed-tag wrappers ----
/// 'SOTX' (key, 0), 48 bytes. Save creates the header when the key is -1 (the new key is
/// written back), else overwrites it.
bool LoadRecordSOTX(int32_t key, TextBlockHeader& header);
bool SaveRecordSOTX(int32_t& key, const TextBlockHeader& header);
/// 'txbl' (key, inci): at most 1000 bytes are loaded. Save creates when the key is -1.
bool LoadRecordTxbl(int32_t key, int32_t inci, char* buffer, int32_t size);
bool SaveRecordTxbl(int32_t& key, std::string_view text);
/// 'SOIS' (staff, 0), 66 bytes.
bool LoadRecordSOIS(int32_t staff, StaffRecord& record);
bool SaveRecordSOIS(int32_t staff, const StaffRecord& record);
/// Creates a staff record (keys -1, 0); the host's new staff number is written back.
bool CreateRecordSOIS(int32_t& staff, const StaffRecord& record);
/// 'SOIu' (list key, inci), 24 bytes.
bool LoadInstrumentUsage(int32_t listKey, int32_t inci, InstrumentUsageRecord& record);
bool SaveInstrumentUsage(int32_t listKey, int32_t inci, InstrumentUsageRecord record);
bool DeleteInstrumentUsage(int32_t listKey, int32_t inci);
/// 'SDNG' detail (list key, group, 0), 30 bytes.
bool LoadRecordSDNG(int32_t listKey, int32_t group, StaffGroupRecord& record);
bool SaveRecordSDNG(int32_t listKey, int32_t group, const StaffGroupRecord& record);
bool DeleteRecordSDNG(int32_t listKey, int32_t group);
/// 'SOMS' (measure, 0), 24 bytes.
bool LoadMeasureSpec(int32_t measure, EDTMeasureSpec& record);
bool SaveMeasureSpec(int32_t measure, const EDTMeasureSpec& record);
/// 'SODT' (key, 0) of the caller's size; the load passes the caller's own size variable, so
/// the caller learns how much the host wrote.
bool LoadRecordSODT(int32_t key, void* buffer, int32_t& size);
bool SaveRecordSODT(int32_t key, const void* buffer, int32_t size);
bool DeleteRecordSODT(int32_t key);
/// 'otDe' (key, 0), 12 bytes.
bool LoadRecordOtDe(int32_t key, Record12& record);
bool SaveRecordOtDe(int32_t key, Record12 record);
bool DeleteRecordOtDe(int32_t key);
/// 'otDY' (measure, inci), 12 bytes.
bool LoadRecordOtDY(int32_t measure, int32_t inci, Record12& record);
bool SaveRecordOtDY(int32_t measure, int32_t inci, const Record12& record);
/// 'edED' (entry, inci), 10 bytes.
bool LoadRecordEdED(EntryNumber entry, int32_t inci, Record10& record);
bool SaveRecordEdED(EntryNumber entry, int32_t inci, Record10 record);
/// Saves the record at the entry's first missing 'edED' inci (counting up from 0).
bool AppendRecordEdED(EntryNumber entry, Record10 record);
/// The 'edED' record that attaches text expression `expression` to an entry at the given
/// horizontal and vertical offsets.
Record10 TextExpressionLink(int32_t expression, int32_t horizontal, int32_t vertical);
/// 'edsB' (entry, 0), 10 bytes.
bool SaveEntryDetailEdsB(EntryNumber entry, const Record10& record);
bool DeleteEntryDetailEdsB(EntryNumber entry);
/// 'E\x03TP' (entry, inci), 30 bytes.
bool LoadRecordEtp(EntryNumber entry, int32_t inci, Record30& record);
bool SaveRecordEtp(EntryNumber entry, int32_t inci, const Record30& record);

// ---- 10-byte entry records found by their first word ('edCN'; 'E\x02cn' from 2001) ----
/// The tag the by-value wrappers use: 'edCN' in place of 'E\x02cn' before host year 2001.
Tag ByValueTag(Tag tag);
/// The first record of incis 0-999 whose first i16 is `value` (any record for -1); the
/// search ends at the first missing inci.
bool FindRecordByValue(EntryNumber entry, int16_t value, Record10& record, int32_t& inci, Tag tag);
bool SaveRecordByValue(EntryNumber entry, Record10 record, int32_t inci, Tag tag);
bool CreateRecordByValue(EntryNumber entry, Record10 record, Tag tag);
/// The same pair over 30-byte detail records, incis 0-19.
bool FindDetailByValue(Tag tag, int32_t key1, int32_t key2, int16_t value, Record30& record, int32_t& inci);
bool SaveDetailRecord30(Tag tag, int32_t key1, int32_t key2, const Record30& record, int32_t inci);

/// The highest cmper of a tag reachable from `start` by loading every `step` keys and asking
/// for the next record where a load fails; 0 when `start` itself is missing. `buffer` may be null.
int32_t LastRecordKey(Tag tag, int32_t size, int32_t step, void* buffer, int32_t start);

// ---- Texts ----
/// The most bytes LoadRecordTxbl loads into a caller's buffer.
inline constexpr size_t kTextBufferSize = 1000;
inline constexpr size_t kFontCaptureLength = 50;
inline constexpr size_t kSizeCaptureLength = 10;
inline constexpr size_t kEffectsCaptureLength = 66;

/// The arguments of a leading ^font(), ^size() and ^efx() command captured by the stripper,
/// each terminated, at most that many characters.

/// One load of a text record into a buffer of `size` bytes.
bool LoadStringRecord(int32_t cmper, char* buffer, int32_t size, Tag tag, int32_t inci);
/// The whole text record (cmper, inci) of a tag, however long: every byte the host holds, up to
/// its first zero (two host calls: its size, then its bytes). False when it is missing.
bool LoadTextRecord(Tag tag, int32_t cmper, int32_t inci, std::string& text);
/// Creates the text record (keys -1, 0) when the cmper is -1, else saves it under (cmper, 0);
/// the text's length + 1 bytes. The cmper the host leaves in the keys is written back.
bool SaveOrCreateStringRecord(int32_t& cmper, std::string_view text, Tag tag);
/// The whole text of text block n (however long; the access layer's buffer, which the next
/// call overwrites), stripped of caret commands when asked; "" when the header or the text is
/// missing. The header goes to `header` when given.
const char* LoadTextBlock(int32_t n, bool strip, TextBlockHeader* header = nullptr);
/// Saves the text (a header text key of -1 creates it and takes its new key), then the header
/// (created when n is -1; the new number is written back). A failed text save is reported and
/// the header is then left alone.
bool SaveTextBlock(int32_t& n, TextBlockHeader& header, std::string_view text);
/// The full name of a staff, else its abbreviated name, else "" (stripped; the host's 8-bit text).
std::string StaffName(int32_t staff);
/// The characters of a text, "" for none.
const char* StringOrEmpty(const char* text);

/// Removes caret commands (^word(arguments)) and CR/LF from a zero-terminated text in place.
/// The arguments of "font", "size" and "efx" commands before the first kept character go to
/// the capture buffers; a '^' without a ')' drops the rest of the text.
void StripCaretCommands(char* text);

// ---- Conversions ----
inline constexpr uint8_t kFontBold = 0x01;
inline constexpr uint8_t kFontItalic = 0x02;
inline constexpr uint8_t kFontUnderline = 0x04;
inline constexpr uint8_t kFontStrikeOut = 0x08;
/// The font style set for drawing (kFont... bits), kept in the access layer's state.
/// Effects bit 0x01 bold, 0x02 italic, 0x04 underline, 0x20 strike-out; other bits are ignored.
uint8_t FontStylesFromEffects(uint8_t effects);
/// The playback kind named by the value's low byte, in the menu language; "" for none.
std::string_view PlaybackKindText(int32_t value);
/// Removes every '&', every character 8 with the 99 characters after it, and with `cutAtTab`
/// up to 255 characters from the first tab on.
std::string CaptionStripAccelerators(std::string_view caption, bool cutAtTab);
/// Two upper-case hexadecimal digits per byte.
std::string BytesToHex(const uint8_t* bytes, size_t n);
/// Fills n bytes from pairs of hexadecimal digits; a pair that is not one, or is missing, gives 0.
void HexToBytes(std::string_view text, uint8_t* bytes, size_t n);

}  // namespace orvex
