#include "tools/notes/respell_enharmonic.h"

#include <algorithm>

#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"

namespace orvex {
namespace {

/// Each step of the search changes the pitch by one half step: twelve steps meet every class.
constexpr int32_t kMaxSearchSteps = 12;

/// The chromatic pitch of the note under the key (service 29).
int32_t Pitch(hostapi::ConstNoteView note, int16_t key) {
    return NotePitchValue(note.data(), key);
}

int32_t PitchClass(int32_t pitch) {
    return (pitch + 12000) % 12;
}

/// The key's tonic step; a non-linear key reads as C major.
int32_t TonicStep(int16_t key) {
    return static_cast<uint16_t>(key) >= 0x4000 ? 0 : KeyTonicStep(key);
}

}  // namespace

int32_t AbsoluteAlteration(hostapi::ConstNoteView note, int16_t key) {
    if (!HostOffers(&HostImports::NotePitch)) {
        return 0;
    }
    hostapi::NoteRecord letter;
    letter.view().setHarmonicLevel(static_cast<int16_t>(note.harmonicLevel() + TonicStep(key)));
    return Pitch(note, key) - Pitch(letter.view(), 0);
}

hostapi::NoteView RespellEnharmonic(hostapi::NoteView result, hostapi::NoteRecord note, int16_t key) {
    const auto unchanged = [&] {
        std::copy(note.bytes.begin(), note.bytes.end(), result.data());
        return result;
    };
    if (!HostOffers(&HostImports::NotePitch)) {
        return unchanged();
    }
    const int32_t pitchClass = PitchClass(Pitch(note.view(), key));
    const int32_t sounding = AbsoluteAlteration(note.view(), key);
    int32_t direction = sounding > 0 ? 1 : sounding < 0 ? -1 : 0;
    if (direction == 0) {
        if (pitchClass == 0 || pitchClass == 5) {
            direction = -1;  // C, F: B sharp, E sharp
        } else if (pitchClass == 4 || pitchClass == 11) {
            direction = 1;  // E, B: F flat, C flat
        } else {
            return unchanged();  // D, G, A
        }
    }
    hostapi::NoteRecord changed = note;
    const hostapi::NoteView view = changed.view();
    view.setHarmonicLevel(static_cast<int16_t>(view.harmonicLevel() + direction));
    view.setAlteration(static_cast<int16_t>(view.alteration() - direction));
    for (int32_t step = 0; step < kMaxSearchSteps; ++step) {
        if (PitchClass(Pitch(view, key)) == pitchClass) {
            std::copy(changed.bytes.begin(), changed.bytes.end(), result.data());
            return result;
        }
        view.setAlteration(static_cast<int16_t>(view.alteration() - direction));
    }
    // A host whose pitches follow no spelling: the note keeps its own.
    return unchanged();
}

}  // namespace orvex
