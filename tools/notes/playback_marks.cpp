// The marks that ask the playback effect generator for their effect: glissando and trill lines,
// trill and tremolo articulations, and the tremolo command's tremolos.
#include <algorithm>
#include <array>
#include <cstdint>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_records.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/playback.h"
#include "tools/notes/playback_effects.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::EntryRecord;
using hostapi::EntryView;
using hostapi::InstrumentKey;
using hostapi::kEntryNote;
using hostapi::LayerIndex;
using hostapi::MeasureNumber;
using hostapi::StaffSlot;

/// Articulation characters that play back, by their main character.
constexpr uint8_t kTrillCharacter = 0xD9;
constexpr uint8_t kThreeSlashes = 0xBE;
constexpr uint8_t kTwoSlashes = 0x40;
constexpr uint8_t kOneSlash = 0x21;

/// A trill (or, repeating, a tremolo) that lasts one entry: it starts and ends at the entry.
PlaybackEffect TrillOnEntry(EntryView entry, MeasureNumber measure, InstrumentKey staff, LayerIndex layer) {
    PlaybackEffect effect(entry);
    std::copy_n(entry.data(), hostapi::EntryLayout::kSize, effect.end.data());
    effect.startMeasure = measure;
    effect.endMeasure = measure;
    effect.startStaff = staff;
    effect.endStaff = staff;
    effect.trill = true;
    effect.takenLayer = layer;
    return effect;
}

}  // namespace

// ---- Lines ----

int32_t WriteShapePlayback(const SmartShapeRecord& line, TFMisc& context, const PlaybackOptions& options, bool trill) {
    const bool attached = line.entryAttached();
    const int32_t mode = attached ? kReplaceByNumber : kReplaceNearestPosition;
    const InstrumentKey staff = line.startStaff();
    const MeasureNumber measure = line.startMeasure();
    const StaffSlot slot = RegionSlotOf(context.Environment, staff);
    EntryRecord start;
    LayerIndex layer = 0;
    if (slot == 0 || !EntryReplace(RegionView(context.Environment), slot, measure, line.start(), start.data(), &layer,
                                   nullptr, false, nullptr, staff, 0, nullptr, mode)) {
        return 1;
    }
    if (!start.view().isNote() ||
        (context.Environment.Region() != nullptr && (measure < context.Environment.Region()->firstMeasure() ||
                                                     measure > context.Environment.Region()->lastMeasure()))) {
        return 1;
    }
    PlaybackEffect effect(EntryView(start.data()));
    const StaffSlot endSlot = RegionSlotOf(context.Environment, line.endStaff());
    if (endSlot == 0 ||
        !EntryReplace(RegionView(context.Environment), endSlot, line.endMeasure(), line.end(), effect.end.data(),
                      nullptr, nullptr, false, nullptr, line.endStaff(), 0, nullptr, mode)) {
        effect.end = start;
        effect.end.view().setFlags(start.view().flags() ^ kEntryNote);
        effect.end.view().setPosition(attached ? start.view().end() : line.end());
    }
    const auto noteIndex = [](hostapi::ConstEntryView entry, int16_t id) {
        for (int32_t k = 0; k < entry.notesHeld(); ++k) {
            if (entry.note(k).noteId() == id) {
                return k;
            }
        }
        return 0;
    };
    effect.startMeasure = measure;
    effect.endMeasure = line.endMeasure();
    effect.startStaff = staff;
    effect.endStaff = line.endStaff();
    effect.startNote = attached ? noteIndex(start.view(), line.startNote()) : 0;
    effect.endNote = attached ? noteIndex(effect.end.view(), line.endNote()) : 0;
    effect.trill = trill;
    effect.line = &line;
    effect.takenLayer = layer;
    return WritePlaybackEffect(context, effect, options);
}

// ---- Articulations ----

bool WriteArticulationPlayback(TFMisc& context, hostapi::MeasureNumber measure, hostapi::InstrumentKey staff,
                               hostapi::LayerIndex layer, hostapi::EntryView entry, bool& continueRun) {
    const PlaybackOptions options = PlaybackOptions::Read(context);
    const int16_t duration = entry.duration();
    if (duration <= 0 || entry.number() == 0) {
        return false;  // a grace note lasts no time
    }
    const auto base = static_cast<Edu>(
        std::min<int64_t>(static_cast<int64_t>(PowerOfTwoFloor(duration)) * entry.actualDuration() / duration, 1024));
    const uint8_t changedBefore = PlaybackRun(context).changed;
    PlaybackRun(context).changed = 0;
    using Definition = hostapi::ArticulationDefinitionLayout;
    int32_t result = 1;
    for (int32_t inci = 0; inci < 256 && result != 0; ++inci) {
        std::array<uint8_t, hostapi::ArticulationLayout::kSize> use{};
        if (!LoadWholeEntryDetailRecord(hostapi::kTagArticulation, entry.number(), inci, use.data(),
                                        hostapi::ArticulationLayout::kSize)) {
            break;
        }
        std::array<uint8_t, Definition::kSize> definition{};
        const int16_t number = hostapi::ReadI16(use.data(), hostapi::ArticulationLayout::kDefinition);
        if (!LoadWholeOtherRecord(hostapi::kTagArticulationDefinition, number, 0, definition.data(),
                                  Definition::kSize)) {
            continue;
        }
        if ((definition[Definition::kOptions] & Definition::kNoCharacterAbove) != 0) {
            continue;
        }
        const auto character = static_cast<uint8_t>(hostapi::ReadU16(definition.data(), Definition::kCharacter) & 0xFF);
        const auto alternate =
            static_cast<uint8_t>(hostapi::ReadU16(definition.data(), Definition::kAlternateCharacter) & 0xFF);
        const uint16_t flags = hostapi::ReadU16(definition.data(), Definition::kFlags);
        if ((flags & (Definition::kAlternateAbove | Definition::kAlternateBelow)) != 0 && character != alternate) {
            continue;
        }
        PlaybackEffect effect = TrillOnEntry(entry, measure, staff, layer);
        EntryRecord source;
        std::copy_n(entry.data(), hostapi::EntryLayout::kSize, source.data());
        switch (character) {
            case kTrillCharacter:
                break;
            case kThreeSlashes:
            case kTwoSlashes:
            case kOneSlash: {
                effect.repeat = true;
                effect.mainSource = &source;
                effect.auxiliarySource = &source;
                const int32_t divisor = character == kThreeSlashes ? 8 : character == kTwoSlashes ? 4 : 2;
                effect.fixedStep = character == kThreeSlashes && options.threeSlashesUnmeasured ? 0 : base / divisor;
                break;
            }
            default:
                continue;
        }
        result &= WritePlaybackEffect(context, effect, options);
    }
    const bool wrote = PlaybackRun(context).changed != 0;
    PlaybackRun(context).changed = changedBefore | PlaybackRun(context).changed;
    continueRun = result != 0;
    if (!continueRun) {
        PlaybackRun(context).stopped = 1;
    }
    return wrote;
}

// ---- Tremolos ----

int32_t WriteTremoloPlayback(TFMisc& context, hostapi::EntryView twice, const hostapi::EntryRecord& a,
                             const hostapi::EntryRecord& b, hostapi::MeasureNumber measure,
                             hostapi::InstrumentKey staff, hostapi::Edu hit, hostapi::LayerIndex layer) {
    // The tremolo's notes alternate from its first; the layer and the hiding are the playback
    // command's.
    PlaybackOptions options = PlaybackOptions::ReadStoredMoreRows();
    options.upperStart = false;
    PlaybackEffect effect = TrillOnEntry(twice, measure, staff, layer);
    effect.repeat = true;
    effect.fixedStep = std::max<Edu>(hit, 1);
    effect.mainSource = &a;
    effect.auxiliarySource = &b;
    effect.reportStop = false;
    return WritePlaybackEffect(context, effect, options);
}

}  // namespace orvex
