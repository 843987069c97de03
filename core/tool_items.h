// The tool items: the 82 slots of the tool table, of the option rows and of the tool names. A
// tool code is 100 * group + item; the names follow the tools' English menu texts ("More" items
// hold the further options of the tool before them).
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvex {

// clang-format off
enum class ToolItem : int32_t {
    TrillNotes = 0,
    Remove = 1,
    RemoveBeatChartElements = 2,
    MakeSpace = 3,
    AddRemoveSpace = 4,
    MoveSyllables = 5,
    Proportionality = 6,
    LeadingWhitespace = 7,
    BeamBreaker = 8,
    TextExpressionSorter = 9,
    Parentheses = 10,
    MoreProportionality = 11,
    MoreSort = 12,
    LeftAlignMelisma = 13,
    ScaleStaffPositions = 14,
    CustomChordStyles = 15,
    CopySystemOptimization = 16,
    ShiftLyrics = 17,
    ExpandSpacing = 18,
    CompressSpacing = 19,
    NewSpacing = 20,
    Options = 21,
    MoreNewSpacing = 22,
    Tremolo = 23,
    CueNotes = 24,
    JoinRests = 25,
    ProcessParts = 26,
    SmartDistribution = 27,
    MorePartOptions = 28,
    AlignMove = 29,
    CharacterSetConversion = 30,
    MoreAlign = 31,
    Find = 32,
    MoreTremolo = 33,
    FitMeasures = 34,
    SmartExplosion = 35,
    CombineRhythmsAndPitches = 36,
    ExportToSpreadsheet = 37,
    MeasureWidths = 38,
    FontInfo = 39,
    Orchestration = 40,
    Accidentals = 41,
    RespellNotes = 42,
    UpdateGroups = 43,
    CreateHairpins = 44,
    SplitStaffSystem = 45,
    CreateSlurs = 46,
    HarpPedaling = 47,
    MoreBeamBreaker = 48,
    FillWithRests = 49,
    PrintMultipleFiles = 50,
    BeforeDeletingMeasures = 51,
    AfterInsertingMeasures = 52,
    JoinTwoSystems = 53,
    ShiftSystemOptimization = 54,
    Transfer = 55,
    RemoveAdjustments = 56,
    Shift = 57,
    Reset = 58,
    AuricleImport = 59,
    Harmonica = 60,
    LaisserVibrer = 61,
    WordExtensions = 62,
    CompareEntries = 63,
    Analyze = 64,
    SpecialModifications = 65,
    Rests = 66,
    Playback = 67,
    Incipits = 68,
    ReplacePitches = 69,
    SelectTextExpression = 70,
    MorePlayback = 71,
    Expressions = 72,
    Enclosures = 73,
    SpecialMeasureRegions = 74,
    Slurs = 75,
    PitchProjection = 76,
    Midi = 77,
    DistributeNotes = 78,
    Tuplets = 79,
    MoreTuplets = 80,
    SmartSplitPoint = 81,
};
// clang-format on

/// The number of tool items.
inline constexpr int32_t kToolItemCount = 82;

/// The item's number (its slot in the per-item tables).
constexpr int32_t ItemNumber(ToolItem item) {
    return static_cast<int32_t>(item);
}
/// The item's slot in the per-item tables.
constexpr size_t ItemSlot(ToolItem item) {
    return static_cast<size_t>(item);
}
/// True when `item` (a tool code % 100) names `tool`.
constexpr bool IsItem(int32_t item, ToolItem tool) {
    return item == ItemNumber(tool);
}

/// A tool's command code: 100 * group + item (the codes below 100 open forms). Most tools have
/// one command, in group 1; a few items have a second command in group 2.
constexpr int32_t ToolCode(ToolItem item, int32_t group = 1) {
    return 100 * group + ItemNumber(item);
}

/// The commands the dispatcher and the tools name by code.
inline constexpr int32_t kBeforeDeletingMeasuresCode = ToolCode(ToolItem::BeforeDeletingMeasures);
inline constexpr int32_t kAfterInsertingMeasuresCode = ToolCode(ToolItem::AfterInsertingMeasures);
/// The lyrics' Move Syllables (item 5, group 1): moves long syllables on beat 1.
inline constexpr int32_t kMoveSyllablesCode = ToolCode(ToolItem::MoveSyllables);
/// Item 5's second command: left-aligns melisma syllables; from host year 1998 on the dispatcher
/// runs item 13's code for it.
inline constexpr int32_t kAlignMelismaCode = ToolCode(ToolItem::MoveSyllables, 2);
inline constexpr int32_t kLeftAlignMelismaCode = ToolCode(ToolItem::LeftAlignMelisma);
/// Item 6's second command: proportional spacing with the lyrics taken into account.
inline constexpr int32_t kLyricsProportionalityCode = ToolCode(ToolItem::Proportionality, 2);
inline constexpr int32_t kShiftLyricsCode = ToolCode(ToolItem::ShiftLyrics);
inline constexpr int32_t kSmartSplitPointCode = ToolCode(ToolItem::SmartSplitPoint);

}  // namespace orvex
