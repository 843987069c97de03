// The access layer's state: what it knows of the host, the services it imported, the hooks the
// core registered, the document writes it counted, the text it read last and the records whose
// damage or refusal it reported. All of it lives in one object, TheAccessLayer, and the access
// layer reads its fields through it; the core reads what it knows of the host through Host().
// The object is made before any code runs (the core registers its hooks while static objects
// are made), and ResetAccessLayer puts it back to that start, the registered hooks kept.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/host/core_hooks.h"
#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/host/host_info.h"
#include "core/host/host_texts.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// A damaged record the access layer found: the document (the identity the host gives it, host
/// service 63), its tag and its keys as shown.
struct ReportedRecord {
    int32_t document = 0;
    Tag tag = 0;
    std::string keys;
    bool operator==(const ReportedRecord&) const = default;
};

/// A load that was given fewer bytes than its layout has, by the keys block it asked with: a save
/// under these keys that would write more than the record holds is refused.
struct ShortLoad {
    int32_t document = 0;
    Tag tag = 0;
    std::array<int16_t, 3> keys{};
    /// The record the document holds, as the report names it, and the bytes of its layout.
    ReportedRecord stored;
    std::string name;
    int32_t expected = 0;
};

/// The damaged records a command found, told in one message when it ends.
struct DamageReport {
    int32_t depth = 0;  ///< open DamagedRecordReport scopes
    int32_t count = 0;  ///< records found since the outermost scope opened
    /// The message that tells of the first of them alone.
    HostText firstText = HostText::RecordDamaged;
    /// The first as a message names it among others, then the three arguments of firstText (a
    /// vector, which, unlike a string, the state object's constant start can hold).
    std::vector<std::string> firstWords;
    /// The records counted, each once.
    std::vector<ReportedRecord> counted;
    /// Whether a save of one was refused, so that it stays as the document holds it.
    bool kept = false;
};

struct AccessLayerState {
    HostInfo host;
    /// The host's services, resolved on first use (core/host/host_imports.h).
    std::optional<HostImports> imports;
    /// What the core registered for the access layer to ask; kept by a reset.
    CoreHooks hooks;
    /// The saves, creates and deletes that changed the document (core/host/document_writes.h).
    uint32_t documentWrites = 0;
    /// The layer settings of the entry tools (core/host/finxess_entries.h).
    std::array<std::array<uint8_t, 4>, 4> layerSettings{};
    /// The whole text of the last text block loaded, with its zero, and the caret arguments
    /// captured with it.
    std::vector<char> textBuffer;
    char fontCapture[kFontCaptureLength + 1] = {};
    char sizeCapture[kSizeCaptureLength + 1] = {};
    char effectsCapture[kEffectsCaptureLength + 1] = {};
    uint8_t fontStyles = 0;
    /// The cell whose staff record was last refused for its position.
    std::optional<std::pair<hostapi::InstrumentKey, hostapi::MeasureNumber>> lastRefusedStaffRecord;
    /// The damaged records already reported, and the loads that found them, of the documents
    /// open (core/host/record_integrity.h).
    std::vector<ReportedRecord> damagedRecords;
    std::vector<ShortLoad> shortLoads;
    DamageReport damageReport;
};

/// The access layer's one state object.
extern constinit AccessLayerState TheAccessLayer;

/// Puts the access layer back to its start (the host unknown, no imports, nothing read or
/// reported); the hooks the core registered stay.
void ResetAccessLayer();

}  // namespace orvex
