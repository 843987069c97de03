// The host's plug-in services. A plug-in imports them from the host program's module
// ("FINALE.EXE") by ordinal: service N is ordinal N. Every call passes the caller's interface
// version last. Results are 16-bit, non-zero = success, unless a row says otherwise.
#pragma once

#include <cstdint>

#include "platform/hostapi/types.h"
#include "platform/win/handles.h"

namespace hostapi {

/// The file name under which the host program's module is registered.
inline constexpr const char* kHostModuleName = "FINALE.EXE";

struct EntryArray;   // entry array of one cell (staff, measure, layer): entry_array.h
class SyllableInfo;  // font state at a place of a lyric text (services 42, 49): lyric_records.h
class EntryBox;      // placement of an entry (service 44): placement_records.h
class EntryMetrics;  // placement of the entry's measure (service 44): placement_records.h

enum class Service : int32_t {
    LoadEntryArray = 2,
    SaveEntryArray = 3,
    ReleaseEntryArray = 4,
    InsertEntries = 5,
    DeleteEntries = 6,
    LoadRecord = 9,
    SaveRecord = 10,
    CreateRecord = 11,
    DeleteRecord = 12,
    PreviousRecord = 13,
    NextRecord = 14,
    RunDialog = 15,
    EndDialog = 16,
    RedrawMeasures = 17,
    InstrumentOfSlot = 18,
    ShowMeasure = 19,
    FontName = 21,
    FontNumber = 22,
    GetSelection = 23,
    RedrawDocument = 24,
    NotePitch = 29,
    SlotOfInstrument = 31,
    CellKey = 33,
    EnableControl = 35,
    FocusControl = 36,
    PitchName = 39,
    PitchFromName = 40,
    UpdateLayout = 41,
    SyllablePlace = 42,
    EntryPlacement = 44,
    SyllableText = 49,
    MeasureLength = 50,
    FilledTime = 51,
    SimplifyRhythm = 52,
    BeginProgress = 53,
    EndProgress = 54,
    StepProgress = 55,
    GetControlValue = 57,
    SetControlValue = 58,
    GetControlText = 59,
    SetControlText = 60,
    LayerShown = 61,
    DocumentIdentity = 63,
};

/// Dialog procedure of a host-run dialog (service 15).
using DialogProc = int32_t (*)(win::Hwnd dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);

extern "C" {
// 2: the cell's entry array; with flag 1 an existing cell always gives one (possibly empty).
using LoadEntryArrayFn = EntryArray* (*)(ViewKey, StaffSlot, MeasureNumber, LayerIndex, int16_t flag, InterfaceVersion);
using SaveEntryArrayFn = int16_t (*)(EntryArray*, InterfaceVersion);                               // 3
using ReleaseEntryArrayFn = int16_t (*)(EntryArray*, InterfaceVersion);                            // 4
using InsertEntriesFn = int16_t (*)(EntryArray*, int32_t index, int32_t count, InterfaceVersion);  // 5
using DeleteEntriesFn = int16_t (*)(EntryArray*, int32_t index, int32_t count, InterfaceVersion);  // 6

// 9: load; `size` in: the buffer's size (the host writes at most that much); out: the bytes written.
// A null buffer only asks whether the record exists.
using LoadRecordFn = int16_t (*)(Tag, int16_t* keys, void* buffer, int32_t* size, InterfaceVersion);
// 10: save; creates the record under exactly these keys when it is absent.
using SaveRecordFn = int16_t (*)(Tag, const int16_t* keys, const void* buffer, int32_t size, InterfaceVersion);
// 11: create; a key of -1 asks for a new key, which is written back: one above the highest in use,
// or the lowest free one when the highest is 32767; 0 when every key is in use.
using CreateRecordFn = int16_t (*)(Tag, int16_t* keys, const void* buffer, int32_t size, InterfaceVersion);
// 12: delete; later incidences under the same other keys move down by one.
using DeleteRecordFn = int16_t (*)(Tag, const int16_t* keys, InterfaceVersion);
// 13 / 14: the record before / after the keys, in ascending key order; keys written back.
using StepRecordFn = int16_t (*)(Tag, int16_t* keys, void* buffer, int32_t size, InterfaceVersion);

// 15 / 16: run a host-run modal dialog from a plug-in's template / end it with a result. The host
// finds the template in the plug-in it is calling (then in the other plug-ins): a module carries
// its templates as platform/win/dialog_resources.h says. 15 sends the procedure WM_INITDIALOG and
// WM_COMMAND for the user's actions, and answers the result given to 16 (-1 without a template).
using RunDialogFn = int32_t (*)(int32_t resource, DialogProc, win::Hwnd owner, int32_t one, int32_t zero,
                                InterfaceVersion);
using EndDialogFn = int16_t (*)(win::Hwnd dialog, int32_t result, InterfaceVersion);

// 17: redraw measures first..last of a view; 19: bring a measure into view; 24: redraw the document.
using RedrawMeasuresFn = int16_t (*)(MeasureNumber first, MeasureNumber last, int16_t zero, ViewKey, InterfaceVersion);
using ShowMeasureFn = int16_t (*)(MeasureNumber, int16_t one, InterfaceVersion);
using RedrawDocumentFn = int16_t (*)(const uint8_t* regionOrNull, InterfaceVersion);

// 18: instrument key of a staff slot (0 = none); 31: slot of an instrument key (0 = none).
using InstrumentOfSlotFn = InstrumentKey (*)(StaffSlot, ViewKey, InterfaceVersion);
using SlotOfInstrumentFn = StaffSlot (*)(InstrumentKey, ViewKey, InterfaceVersion);

// 21: font name into a 256-byte buffer (empty for an unused number); 22: font number of a name.
using FontNameFn = int16_t (*)(int16_t fontNumber, char* buffer, InterfaceVersion);
using FontNumberFn = int16_t (*)(const char* name, InterfaceVersion);

// 23: the current selection and the record of the whole document (20 bytes each); 0 = none.
using GetSelectionFn = int16_t (*)(uint8_t* selection, uint8_t* document, InterfaceVersion);

// 29: chromatic pitch of a 10-byte note record under a key value (60 = middle C).
using NotePitchFn = int16_t (*)(const uint8_t* note, int16_t keyValue, InterfaceVersion);
// 33: key value of a cell; mode 0 concert key, non-zero as written for the staff.
using CellKeyFn = int16_t (*)(MeasureNumber, InstrumentKey, int16_t mode, int16_t zero, InterfaceVersion);

// 35 / 36 / 57 / 58 / 59 / 60: controls of a host-run dialog (57-60 and 36 also of any window's
// child of that id): enable (35, 0 or 1), focus (36); the value (57) of kind 1 the check state,
// kind 2 a list's selected item counted from 1 (0 none), kind 3 the number the text shows;
// set the value (58: a check box's or radio button's state, a list's item from 1, else the text);
// the text in the host's 8-bit characters (59, at most size - 1 and a zero; 60 sets it).
using EnableControlFn = int16_t (*)(win::Hwnd dialog, int32_t control, int16_t enable, InterfaceVersion);
using FocusControlFn = int16_t (*)(win::Hwnd dialog, int32_t control, InterfaceVersion);
using GetControlValueFn = int32_t (*)(win::Hwnd dialog, int32_t control, int32_t kind, InterfaceVersion);
using SetControlValueFn = int16_t (*)(win::Hwnd dialog, int32_t control, int32_t value, InterfaceVersion);
using GetControlTextFn = int16_t (*)(win::Hwnd dialog, int32_t control, char* buffer, int32_t size, InterfaceVersion);
using SetControlTextFn = int16_t (*)(win::Hwnd dialog, int32_t control, const char* text, InterfaceVersion);

// 39: name of a pitch ("C4", "C#4"), at most size - 1 characters; 40: its inverse: the pitch of
// a letter A-G, one sharp or flat (a run of "#" or of "b" counts as one) and an octave (4 when
// left out), 0-127; -1 for a text that is no pitch name.
using PitchNameFn = int16_t (*)(int16_t pitch, char* buffer, int16_t size, int16_t one, InterfaceVersion);
using PitchFromNameFn = int16_t (*)(const char* text, InterfaceVersion);

// 41: recompute the page layout.
using UpdateLayoutFn = int16_t (*)(int16_t one, int16_t zero, InterfaceVersion);

// 42: the byte offset of syllable `index` (0-based) of a lyric text of a kind, or 0 when the text
// has no such syllable. The info is the font state at the text's start; it leaves with the state
// at that syllable (at the text's end when there is none) and the syllable's length in bytes
// (0 for none). lyric_records.h gives the host's rule of syllables.
using SyllablePlaceFn = int32_t (*)(const char* text, int16_t index, Tag textTag, SyllableInfo* info, InterfaceVersion);
// 44: where an entry stands on its system; non-zero when the host has a layout for it.
using EntryPlacementFn = int16_t (*)(InstrumentKey, MeasureNumber, EntryNumber, EntryBox* box, EntryMetrics* metrics,
                                     int16_t zero, InterfaceVersion);
// 49: syllable `syllable` (from 1) of lyric text (tag, number): its characters (at most size - 1
// and a zero), its kind (1 ends a word), its font state, its hyphen mark and its width in EVPU.
// Non-zero when the syllable exists. Each out pointer may be null.
using SyllableTextFn = int16_t (*)(Tag textTag, int16_t textNumber, int16_t syllable, char* buffer, int16_t size,
                                   int16_t* kind, SyllableInfo* fontState, int16_t* hyphen, int16_t* width,
                                   InterfaceVersion);

// 50: measure length in EDU (0 when unknown); 51: time the entries fill; 52: simplify the rhythm.
using MeasureLengthFn = Edu (*)(InstrumentKey orZero, MeasureNumber, InterfaceVersion);
using FilledTimeFn = Edu (*)(EntryArray*, InterfaceVersion);
using SimplifyRhythmFn = int16_t (*)(EntryArray*, InterfaceVersion);

// 53 / 55 / 54: progress display. 53 gives a handle (0 = none) for a region and a number of
// steps; 55 answers 0 when the user stopped; 54 ends it. Handle 0 is accepted everywhere.
using BeginProgressFn = int32_t (*)(const uint8_t* region, int32_t steps, InterfaceVersion);
using StepProgressFn = int16_t (*)(int32_t handle, int32_t steps, StaffSlot slotOrZero, MeasureNumber measureOrZero,
                                   int32_t minusOne, InterfaceVersion);
using EndProgressFn = int16_t (*)(int32_t handle, int16_t stopped, InterfaceVersion);

// 61: whether the host shows a layer (host year 2000 on).
using LayerShownFn = int16_t (*)(LayerIndex, InterfaceVersion);

// 63: the identity of an open document: `which` 0 the document in front, n the n-th open document
// (from 1, in the order of the host's windows); 0 for none. An identity names one document for
// as long as the host runs, whatever its name: no other document ever has it, so that a document
// opened again, or another of the same name, has an identity of its own.
using DocumentIdentityFn = int32_t (*)(int32_t which, InterfaceVersion);
}

}  // namespace hostapi
