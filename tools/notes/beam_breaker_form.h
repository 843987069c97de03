// The two roads to the secondary beam breaker: the form of "Vx &Beam Breaker..." (code 2) and
// tool 8, which runs with the rows of the action options dialog.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "forms/vxform.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "tools/notes/beam_breaker.h"

namespace orvex {

struct TFMisc;

/// The modal form of "Vx &Beam Breaker...". It owns one record for its whole life: tuplet
/// rules that a run gave to a pattern stay so for later runs.
class TSBBForm : public VxForm {
public:
    explicit TSBBForm(vcl::TComponent* owner);
    ~TSBBForm() override;

    vcl::TCheckBox* Secondary = nullptr;
    vcl::TPanel* TupletPanel = nullptr;
    vcl::TGroupBox* BreakGroups = nullptr;
    vcl::TCheckBox* break_4 = nullptr;
    vcl::TEdit* in_4 = nullptr;
    vcl::TCheckBox* break_8 = nullptr;
    vcl::TEdit* in_8 = nullptr;
    vcl::TCheckBox* break_16 = nullptr;
    vcl::TEdit* in_16 = nullptr;
    vcl::TCheckBox* break_32 = nullptr;
    vcl::TEdit* in_32 = nullptr;
    vcl::TGroupBox* BreakOptions = nullptr;
    vcl::TCheckBox* break4 = nullptr;
    vcl::TCheckBox* BreakAll = nullptr;
    vcl::TCheckBox* checkGO1 = nullptr;
    vcl::TEdit* breakGO1 = nullptr;
    std::array<vcl::TEdit*, 5> into1{};  ///< into1_1 .. into1_5
    vcl::TCheckBox* checkGO2 = nullptr;
    vcl::TEdit* breakGO2 = nullptr;
    std::array<vcl::TEdit*, 5> into2{};  ///< into2_1 .. into2_5
    vcl::TCheckBox* OverWrite = nullptr;
    vcl::TCheckBox* ForBeamedRests = nullptr;
    vcl::TCheckBox* Simplify = nullptr;
    vcl::TCheckBox* BreakMore = nullptr;
    vcl::TCheckBox* BreakAllRests = nullptr;
    vcl::TCheckBox* BeamRestsToEighths = nullptr;
    vcl::TCheckBox* SimpleBreakAllRests = nullptr;
    vcl::TCheckBox* PrimaryIfWrongDirection = nullptr;
    vcl::TCheckBox* BreakPrimary = nullptr;
    vcl::TEdit* PrimaryBeat = nullptr;
    vcl::TLabel* PrimaryBeatUnit = nullptr;
    vcl::TCheckBox* BPonlywhen = nullptr;
    vcl::TEdit* BPonlywhenEDUs = nullptr;
    vcl::TLabel* BPonlywhenUnit = nullptr;
    vcl::TCheckBox* OrStrangeRests = nullptr;
    vcl::TCheckBox* BreakWhole = nullptr;
    vcl::TBitBtn* SBBGoBtn = nullptr;
    vcl::TButton* DefaultsBtn = nullptr;
    vcl::TBitBtn* CancelBtn = nullptr;

    void FormShow(vcl::TObject* Sender);
    void SBBGoBtnClick(vcl::TObject* Sender);
    void SecondaryClick(vcl::TObject* Sender);
    void ForBeamedRestsClick(vcl::TObject* Sender);
    void BreakPrimaryClick(vcl::TObject* Sender);
    void DefaultsBtnClick(vcl::TObject* Sender);
    void break_4Click(vcl::TObject* Sender);
    void break_8Click(vcl::TObject* Sender);
    void break_16Click(vcl::TObject* Sender);
    void break_32Click(vcl::TObject* Sender);

    /// The record the next run takes (after SBBGoBtnClick: the one the last run took).
    const BeamBreakOptions& Options() const { return m_options; }

private:
    /// Fills the record from the controls (SBBGoBtnClick without the run).
    void TakeControls();

    BeamBreakOptions m_options;
};

/// The form while it exists (the module's state), else none.
TSBBForm*& BeamBreakerForm();

/// The record of tool 8: the default tuplet rules and the tool's option rows; the three rest
/// settings that the dialog does not show come from the tool's second option array.
BeamBreakOptions BeamBreakOptionsFromTool(const TFMisc& context);

/// Options of Beam Breaker, by row.
enum BeamBreakerRow : size_t {
    BEAM_UNBEAM_RESTS = 0,   ///< exclude all rests from beaming
    BEAM_BREAK_PRIMARY = 1,  ///< break primary beams on beats
    BEAM_BEAT_LENGTH = 2,    ///< EDUs per beat
    BEAM_ONLY_SHORT_NOTES = 3,
    BEAM_SHORT_LIMIT = 4,  ///< EDUs
    BEAM_ODD_RESTS = 5,
    BEAM_WHOLE_MEASURE = 6,
    BEAM_BREAK_SECONDARY = 7,
    BEAM_QUARTER_PARTS = 8,
    BEAM_EIGHTH_PARTS = 9,
    BEAM_BREAK_FOUR_IN_TWO = 10,
    BEAM_BREAK_ALL = 11,
    BEAM_REMOVE_OLD_BREAKS = 12,
    BEAM_RESTS_IN_GROUPS = 13,
    BEAM_SIMPLIFY_RESTS = 14
};

/// Options of Beam Breaker's "More..." page, by row.
enum MoreBeamBreakerRow : size_t {
    BEAM_MORE_BREAK_AT_HALF_BEAT_REST = 0,
    BEAM_MORE_UNBEAM_REST_BEATS = 1,
    BEAM_MORE_RESTS_TO_EIGHTHS = 2
};

}  // namespace orvex
