// The smart explosion of multi-part staves: the parts that share a staff (flute 1 and 2 in
// chords or layers, "a2", "SOLO", "1." marks) go onto one staff each. The work is done over many
// host calls, partly by driving the host's own copy and paste by keys, so everything it needs
// between two calls lives in one `ExplosionContext`, held in the dispatcher's process-wide slot
// from the command to its last step.
//
// explosion.cpp       the command, its context, the groups and staves it works on
// part_assign.cpp     part designations ("1.", "a2", "SOLO") and the part of every voice slot
// explosion_regions.cpp  the regions within which every part keeps its staff and column
// explosion_steps.cpp the step machine: clear, copy, paste and clean up, one host action a call
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/option_element.h"
#include "platform/hostapi/records.h"
#include "tools/layout/explosion/ninfo.h"

namespace orvex {

class RunEnvironment;

struct TFMisc;
class TStaffSystems;
class TInstruments;
class TGroups;

inline constexpr int32_t kExplosionStaves = 40;  ///< staves of a group the explosion handles
inline constexpr int32_t kExplosionParts = 39;   ///< part numbers a region can hold
inline constexpr int32_t kPartColumns = 12;      ///< voice slot columns of a staff

/// A one-staff host region as the step machine selects it: {region word, staff slot, measure,
/// position}; the position is 0 in a source region and kNoPosition in a target region.
struct ExplosionRange {
    int16_t regionWord = 0;
    int16_t staffSlot = 0;
    int16_t measure = 0;
    int32_t position = 0;
    bool operator==(const ExplosionRange&) const = default;
};

/// The dynamics of one target staff: the lowest and highest placement seen, one mark a measure.
struct DynamicsRow {
    int32_t low = kNoPosition;
    int32_t high = kNoPosition;
    std::vector<int32_t> marks;
};

/// A stretch of measures within which every part keeps its source staff and column. The part
/// arrays are indexed by the part number (element 0 unused).
struct TRegionInfo {
    int32_t firstMeasure = 0;
    int32_t lastMeasure = 0;
    int32_t startPosition = 0;  ///< EDU in the first measure; 0 = its start
    int32_t endPosition = 0;    ///< EDU in the last measure; kNoPosition = its end
    int32_t highestPartIndex = 0;
    std::array<int32_t, kExplosionParts + 2> sourceStaff{};  ///< 1-based staff of the group, 0 = none
    std::array<int32_t, kExplosionParts + 2> sourceColumn{};
    std::array<uint8_t, kExplosionParts + 2> firstColumn{};
    std::array<uint8_t, kExplosionParts + 2> insideKind{};
    std::array<uint8_t, kExplosionStaves> done{};  ///< per target staff: its copy is scheduled
};

/// Everything an explosion keeps from the command to its last step.
class ExplosionContext {
public:
    explicit ExplosionContext(TFMisc& context);
    ~ExplosionContext();
    ExplosionContext(const ExplosionContext&) = delete;
    ExplosionContext& operator=(const ExplosionContext&) = delete;

    /// The tool context of the command.
    TFMisc& Context() const { return *toolContext; }

    uint8_t groupMode = 0;  ///< 1 for groups (tool 27), 0 for staves (tool 35)
    int32_t staffCount = 0;
    int32_t initialStaffCount = 0;
    int32_t targetOffset = 0;
    int32_t firstStaffSlot = 0;                                     ///< 1-based
    hostapi::SelectionRecord regionCopy;                            ///< the region word comes from here
    std::array<std::unique_ptr<NInfo>, kExplosionStaves> tables{};  ///< one per staff slot of the group
    std::array<DynamicsRow, kExplosionStaves> dynamics{};
    int32_t currentStaff = -1;
    int32_t stepState = 0;  ///< 0 prepare, 1 copy, 2 paste
    ExplosionRange sourceRange;
    ExplosionRange targetRange;
    uint8_t pasted = 0;
    uint8_t firstStep = 0;
    int32_t groupIndex = 0;
    std::unique_ptr<TStaffSystems> systems;
    std::array<std::array<uint8_t, 66>, kExplosionStaves> staffRecords{};
    OptionArray alignOptions{};
    ExtendedOptionArray alignMoreOptions{};
    ExplosionRange lastCopied;
    int32_t lastCopiedMeasure = 0;
    std::vector<TRegionInfo> regions;
    int32_t currentRegion = 0;
    int32_t runEndRegion = 0;  ///< the last region of the merged run
    std::vector<int32_t> selection;
    uint8_t selectAllPending = 0;
    std::unique_ptr<TInstruments> staves;
    TFMisc* toolContext = nullptr;
    hostapi::SelectionRecord processedRegion;
    hostapi::SelectionRecord storedSelection;
    uint8_t stop = 0;

private:
    /// The explosion's share of the tool context, so that the context outlives the options dialog
    /// or the command that started the run (none for a context that is not shared).
    std::shared_ptr<TFMisc> m_contextShare;
};

// ---- The command and its context ----
/// Tools 27 and 35: true asks to be called again (another step follows).
bool RunSmartExplosion(TFMisc& context);
void InitExplosionContext(ExplosionContext& explosion, TFMisc& context);
/// Frees what the context holds and clears the tool context's explosion-running byte; with
/// flags bit 0 the context itself is deleted.
void ExplosionContextDestroy(ExplosionContext* explosion, int32_t flags);
/// Starts the next chosen group or staff; false when none is left.
bool StartNextRegion(ExplosionContext& explosion);
bool ExplodeGroupRegion(ExplosionContext& explosion, const hostapi::SelectionRecord& region);
void SetUpInstrumentGroup(ExplosionContext& explosion, const hostapi::SelectionRecord& region);
/// True when the host year is at least `year`; otherwise says so and answers false.
bool RequireHostVersion(const RunEnvironment& environment, int32_t year);

// ---- Part designations ----
struct TPartAss {
    int32_t part = 0;  ///< 1-based, 0 = none
    int32_t kind = 0;  ///< 0 none, 1 "SOLO", 255 "TUTTI", 1-9 so many players in unison
    int32_t value = 0;
    int32_t layer = 0;
};
using PartDesignations = std::vector<TPartAss>;
inline constexpr int32_t kKindSolo = 1;
inline constexpr int32_t kKindTutti = 255;

/// The part numbers a text names ("1./2." gives 1 and 2); false, with none, when it names none.
bool ParsePartNumber(std::string_view text, std::vector<int32_t>& numbers);
/// Appends the designation's records; true when the text is one that the deleting pass removes
/// (a part number always; "SOLO", "TUTTI", "A2" when `removeKinds`).
bool ParsePartSpecification(bool removeKinds, std::string_view text, PartDesignations& list, int32_t value,
                            int32_t layer);
/// Writes the parts and kinds of the items of one staff and measure into their voice slots, or,
/// with `deleting`, removes the designations from the document. Answers the largest part found;
/// the smallest is folded into `smallest`.
int32_t BuildPartAssignments(ExplosionContext& explosion, int32_t measure, int32_t staffIndex,
                             const LayerArrays& layers, bool deleting, Edu from, Edu to, int32_t& smallest,
                             const TGroups* groups);

// ---- Regions ----
bool ExplodePartsMainPass(ExplosionContext& explosion);
bool CheckStaveCounts(ExplosionContext& explosion, int32_t needed, int32_t measure, bool noQuestion);
bool MeasureHasFrames(const ExplosionContext& explosion, int32_t measure);
void WarnMidMeasurePartChange(int32_t measure);

// ---- Steps ----
/// One step; true when another call is wanted (the continuation key has been sent).
bool StepPartExplosion(ExplosionContext& explosion);
bool AdvanceRegion(ExplosionContext& explosion);
void ProcessRegionMeasure(ExplosionContext& explosion, int32_t region, int32_t measure, int32_t staffIndex,
                          int32_t targetStaff, bool noPart);
void AlignDynamicsInRegion(ExplosionContext& explosion);
void SelectHostEditTool(const RunEnvironment& environment);
void BeginSelectAll(ExplosionContext& explosion);
void EndSelectAll(ExplosionContext& explosion);

/// The options of tools 27 and 35 by row.
enum ExplosionOption : size_t {
    kOptStaffList = 0,  ///< the staves chosen; a list row, its element holds nothing
    kOptUnisonInDoubt = 1,
    kOptInheritArticulations = 2,
    kOptIgnoreLayers = 3,
    kOptAlignDynamics = 4,
    kOptAlignPhrases = 5,
    kOptRestartAlignment = 6,
    kOptRemovePartNumbers = 7,
    kOptRemoveKinds = 8,
    kOptCreateStaves = 9,
    kOptLeaveOriginals = 10,
    kOptMaxPartsPerStaff = 11,
    kOptDefinedMeasureNumbers = 12,
    kOptCopyClefs = 13,
};

/// The four flags of FillNInfo and the ignored layers, from the tool context's options.
bool FillExplosionTable(ExplosionContext& explosion, NInfo& table, int32_t measure, Edu from, Edu to,
                        const LayerArrays& layers);

}  // namespace orvex
