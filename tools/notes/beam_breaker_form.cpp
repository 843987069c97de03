// The beam breaker's form and the tool road without it.
#include "tools/notes/beam_breaker_form.h"

#include <initializer_list>
#include <string>
#include <tuple>

#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "tools/notes/notes_services.h"

namespace orvex {

namespace {

struct BeamBreakerFormUnit {
    TSBBForm* form = nullptr;
};

template <class T>
T* Placed(vcl::TWinControl* parent, T* control, const std::string& name, int32_t left, int32_t top, int32_t width,
          int32_t height) {
    control->SetName(name);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

vcl::TCheckBox* Box(vcl::TComponent* owner, vcl::TWinControl* parent, const char* name, const char* caption,
                    int32_t left, int32_t top, bool checked, int32_t width = 300) {
    auto* box = Placed(parent, new vcl::TCheckBox(owner), name, left, top, width, 17);
    box->SetCaption(caption);
    box->SetChecked(checked);
    return box;
}

vcl::TEdit* Number(vcl::TComponent* owner, vcl::TWinControl* parent, const std::string& name, int32_t left, int32_t top,
                   const char* text) {
    auto* edit = Placed(parent, new vcl::TEdit(owner), name, left, top, 40, 21);
    edit->SetText(text);
    return edit;
}

vcl::TLabel* Label(vcl::TComponent* owner, vcl::TWinControl* parent, const char* name, const char* caption,
                   int32_t left, int32_t top) {
    auto* label = Placed(parent, new vcl::TLabel(owner), name, left, top, 60, 13);
    label->SetCaption(caption);
    return label;
}

/// An edit's number; an empty or invalid text is 0.
int32_t NumberOf(const vcl::TEdit* edit) {
    int32_t value = 0;
    return vcl::ParseWholeNumber(edit->Text(), value) ? value : 0;
}

int16_t FlagOf(const vcl::TCheckBox* box) {
    return box->Checked() ? 1 : 0;
}

/// A checked tuplet row names a tuplet size of 1-32 and the pattern that divides it.
void TakeTupletRow(const vcl::TCheckBox* check, const vcl::TEdit* size, const std::array<vcl::TEdit*, 5>& into,
                   std::array<int32_t, 5>& pattern, int32_t rule, BeamBreakOptions& options) {
    if (!check->Checked()) {
        return;
    }
    const int32_t n = NumberOf(size);
    if (n <= 0 || n >= static_cast<int32_t>(options.tupletParts.size())) {
        return;
    }
    for (size_t i = 0; i < into.size(); ++i) {
        pattern[i] = NumberOf(into[i]);
    }
    options.tupletParts[static_cast<size_t>(n)] = rule;
}

int16_t Flag(int32_t value) {
    return value != 0 ? 1 : 0;
}

}  // namespace

TSBBForm*& BeamBreakerForm() {
    return UnitState<BeamBreakerFormUnit>().form;
}

void DeleteBeamBreakerForm() {
    delete BeamBreakerForm();
}

TSBBForm::TSBBForm(vcl::TComponent* owner) : VxForm(owner) {
    SetName("SBBForm");
    SetCaption("Beam Breaker" + TheModule.process.VersionText);
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(520);
    SetClientHeight(560);
    InitBeamBreakerOptions(m_options);

    Secondary = Box(this, this, "Secondary", "break secondary beams", 8, 8, true);
    BreakGroups = Placed(this, new vcl::TGroupBox(this), "BreakGroups", 8, 28, 504, 110);
    BreakGroups->SetCaption("break groups of beamed notes whose total duration corresponds to:");
    const std::initializer_list<std::tuple<vcl::TCheckBox**, vcl::TEdit**, const char*, const char*, const char*>>
        rows = {{&break_4, &in_4, "break_4", "in_4", "quarter notes into"},
                {&break_8, &in_8, "break_8", "in_8", "eighth notes into"},
                {&break_16, &in_16, "CheckBox1", "in_16", "16th notes into"},
                {&break_32, &in_32, "CheckBox2", "in_32", "32nd notes into"}};
    int32_t top = 18;
    for (const auto& [box, edit, boxName, editName, caption] : rows) {
        *box = Box(this, BreakGroups, boxName, caption, 8, top, true, 184);
        *edit = Number(this, BreakGroups, editName, 200, top, "2");
        top += 22;
    }
    BreakOptions = Placed(this, new vcl::TGroupBox(this), "BreakOptions", 8, 142, 504, 70);
    BreakOptions->SetCaption("break");
    break4 = Box(this, BreakOptions, "break4", "groups of four notes in two", 8, 18, false);
    BreakAll = Box(this, BreakOptions, "BreakAll", "all secondary beams in each case", 8, 40, false);
    TupletPanel = Placed(this, new vcl::TPanel(this), "Panel1", 8, 216, 504, 52);
    checkGO1 = Box(this, TupletPanel, "checkGO1", "tuplets of", 4, 4, false, 108);
    breakGO1 = Number(this, TupletPanel, "breakGO1", 120, 2, "5");
    checkGO2 = Box(this, TupletPanel, "checkGO2", "tuplets of", 4, 28, false, 108);
    breakGO2 = Number(this, TupletPanel, "breakGO2", 120, 26, "7");
    const std::array<const char*, 5> first = {"2", "3", "", "", ""};
    const std::array<const char*, 5> second = {"4", "3", "", "", ""};
    for (size_t i = 0; i < 5; ++i) {
        const auto left = static_cast<int32_t>(200 + 48 * i);
        into1[i] = Number(this, TupletPanel, "into1_" + std::to_string(i + 1), left, 2, first[i]);
        into2[i] = Number(this, TupletPanel, "into2_" + std::to_string(i + 1), left, 26, second[i]);
        // Tab goes along the first row, then along the second.
        into1[i]->SetTabOrder(static_cast<int32_t>(2 + i));
    }
    OverWrite = Box(this, this, "OverWrite", "remove existing secondary beam breaks", 8, 274, false);
    ForBeamedRests = Box(this, this, "ForBeamedRests",
                         "check here if rests are included in beam groups (document options)", 8, 296, false);
    Simplify = Box(this, this, "Simplify", "simplify beamed rests", 24, 318, true);
    BreakMore = Box(this, this, "BreakMore", "break if first half of a beat ends with a rest ", 40, 340, true);
    BreakAllRests = Box(this, this, "BreakAllRests", "break all beamed rests and", 40, 362, true);
    BeamRestsToEighths = Box(this, this, "BeamRestsToEighths", "beam to eighths", 260, 362, true);
    for (vcl::TCheckBox* hidden : {Simplify, BreakMore, BreakAllRests, BeamRestsToEighths}) {
        hidden->SetVisible(false);
    }
    SimpleBreakAllRests = Box(this, this, "SimpleBreakAllRests", "break all beamed rests", 24, 318, false);
    PrimaryIfWrongDirection = Box(this, this, "PrimaryIfWrongDirection",
                                  "primary beam if beams would otherwise go into the wrong direction", 24, 384, true);
    BreakPrimary = Box(this, this, "BreakPrimary", "break primary beams on beats of", 8, 410, false);
    PrimaryBeat = Number(this, this, "PrimaryBeat", 320, 408, "1024");
    PrimaryBeatUnit = Label(this, this, "EduLabel1", "EDUs", 366, 412);
    BPonlywhen = Box(this, this, "BPonlywhen", "but only when note values are smaller than", 24, 432, true, 288);
    BPonlywhenEDUs = Number(this, this, "BPonlywhenEDUs", 320, 430, "512");
    BPonlywhenUnit = Label(this, this, "EduLabel2", "EDUs", 366, 434);
    OrStrangeRests = Box(this, this, "OrStrangeRests",
                         "or when there's rests that aren't multiples of the specified beat duration", 24, 454, true);
    BreakWhole = Box(this, this, "BreakWhole", "if so, break all beats in a measure", 40, 476, true);
    SBBGoBtn = Placed(this, new vcl::TBitBtn(this), "SBBGoBtn", 8, 524, 75, 25);
    SBBGoBtn->SetKind(vcl::bkOK);
    DefaultsBtn = Placed(this, new vcl::TButton(this), "DefaultsBtn", 90, 524, 75, 25);
    DefaultsBtn->SetCaption("&Defaults");
    CancelBtn = Placed(this, new vcl::TBitBtn(this), "BitBtn1", 437, 524, 75, 25);
    CancelBtn->SetKind(vcl::bkCancel);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    SBBGoBtn->OnClick = [this](vcl::TObject* sender) { SBBGoBtnClick(sender); };
    DefaultsBtn->OnClick = [this](vcl::TObject* sender) { DefaultsBtnClick(sender); };
    Secondary->OnClick = [this](vcl::TObject* sender) { SecondaryClick(sender); };
    for (vcl::TCheckBox* box :
         {ForBeamedRests, Simplify, BreakMore, BreakAllRests, BeamRestsToEighths, SimpleBreakAllRests}) {
        box->OnClick = [this](vcl::TObject* sender) { ForBeamedRestsClick(sender); };
    }
    for (vcl::TCheckBox* box : {BreakPrimary, BPonlywhen, OrStrangeRests}) {
        box->OnClick = [this](vcl::TObject* sender) { BreakPrimaryClick(sender); };
    }
    break_4->OnClick = [this](vcl::TObject* sender) { break_4Click(sender); };
    break_8->OnClick = [this](vcl::TObject* sender) { break_8Click(sender); };
    break_16->OnClick = [this](vcl::TObject* sender) { break_16Click(sender); };
    break_32->OnClick = [this](vcl::TObject* sender) { break_32Click(sender); };
    SecondaryClick(nullptr);
    ForBeamedRestsClick(nullptr);
    BreakPrimaryClick(nullptr);
}

TSBBForm::~TSBBForm() {
    // When the module goes, the class library frees the forms left open after the module's state
    // is gone: only a form freed while the module runs forgets itself there.
    if (!vcl::Application->Terminated() && BeamBreakerForm() == this) {
        BeamBreakerForm() = nullptr;
    }
}

void TSBBForm::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    if (DispatcherEnvironment().Language() == 1) {
        SetCaption("Automatische Zweitbalkenunterbrechung" + TheModule.process.VersionText);
        Secondary->SetCaption(" Zweitbalken unterbrechen");
        BreakGroups->SetCaption("Aufteilung der Gruppen mit Gesamtlänge gleich");
        break_4->SetCaption(" Viertelnote in");
        break_8->SetCaption(" Achtelnote in");
        break_16->SetCaption(" 16tel in");
        break_32->SetCaption(" 32tel in");
        BreakOptions->SetCaption("unterbrechen:");
        break4->SetCaption(" Vierergruppen in zwei Teile");
        BreakAll->SetCaption(" in jedem Fall alle Zweitbalken");
        checkGO1->SetCaption(" X-Tolen:");
        checkGO2->SetCaption(" X-Tolen:");
        OverWrite->SetCaption(" bestehende Unterbrechungen vorher entfernen");
        ForBeamedRests->SetCaption(" Pausen sind Bestandteil der Balkengruppen");
        Simplify->SetCaption(" gebalkte Pausen vereinfachen");
        BreakMore->SetCaption("unterbrechen, wenn erste Hälfte eines Schlages mit Pause endet");
        BreakAllRests->SetCaption("alle Pausen entbalken und");
        BeamRestsToEighths->SetCaption("nach Achteln balken");
        SimpleBreakAllRests->SetCaption("alle Pausen entbalken");
        PrimaryIfWrongDirection->SetCaption("Hauptbalken, falls Balken sonst in falsche Richtung zeigen");
        BreakPrimary->SetCaption("Hauptbalken auf Schlägen von:");
        BPonlywhen->SetCaption("aber nur bei kürzeren Noten als:");
        OrStrangeRests->SetCaption("oder bei Pausen, die nicht durch den Schlag teilbar sind");
        BreakWhole->SetCaption("in diesen Fällen den ganzen Takt so brechen.");
        DefaultsBtn->SetCaption("Standard");
        CancelBtn->SetCaption("&Abbruch");
    }
    BreakPrimaryClick(nullptr);
    VxForm_LoadState(*this, false, "");
    SecondaryClick(nullptr);
    ForBeamedRestsClick(nullptr);
    BreakPrimaryClick(nullptr);
}

void TSBBForm::SecondaryClick(vcl::TObject* /*Sender*/) {
    const bool on = Secondary->Checked();
    TupletPanel->SetEnabled(on);
    BreakGroups->SetEnabled(on);
    BreakOptions->SetEnabled(on);
}

void TSBBForm::ForBeamedRestsClick(vcl::TObject* /*Sender*/) {
    const bool rests = ForBeamedRests->Checked();
    Simplify->SetEnabled(rests);
    BreakMore->SetEnabled(rests && Simplify->Checked());
    BreakAllRests->SetEnabled(rests && Simplify->Checked());
    BeamRestsToEighths->SetEnabled(rests && Simplify->Checked() && BreakAllRests->Checked());
    PrimaryIfWrongDirection->SetEnabled(rests);
}

void TSBBForm::BreakPrimaryClick(vcl::TObject* /*Sender*/) {
    const bool on = BreakPrimary->Checked();
    for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{PrimaryBeat, PrimaryBeatUnit, BPonlywhenUnit,
                                                                        BPonlywhen, BPonlywhenEDUs, OrStrangeRests}) {
        control->SetEnabled(on);
    }
    BreakWhole->SetEnabled(on && (BPonlywhen->Checked() || OrStrangeRests->Checked()));
}

void TSBBForm::DefaultsBtnClick(vcl::TObject* /*Sender*/) {
    VxForm_RestoreDefaults(*this);
    SecondaryClick(nullptr);
    ForBeamedRestsClick(nullptr);
    BreakPrimaryClick(nullptr);
}

// The four group rows always count: their boxes cannot be cleared.
void TSBBForm::break_4Click(vcl::TObject* /*Sender*/) {
    break_4->SetChecked(true);
}
void TSBBForm::break_8Click(vcl::TObject* /*Sender*/) {
    break_8->SetChecked(true);
}
void TSBBForm::break_16Click(vcl::TObject* /*Sender*/) {
    break_16->SetChecked(true);
}
void TSBBForm::break_32Click(vcl::TObject* /*Sender*/) {
    break_32->SetChecked(true);
}

void TSBBForm::TakeControls() {
    TakeTupletRow(checkGO1, breakGO1, into1, m_options.pattern1, -1, m_options);
    TakeTupletRow(checkGO2, breakGO2, into2, m_options.pattern2, -2, m_options);
    m_options.breakFourInTwo = FlagOf(break4);
    m_options.restsInBeamGroups = FlagOf(ForBeamedRests);
    m_options.breakAll = FlagOf(BreakAll);
    m_options.unbeamRests = FlagOf(SimpleBreakAllRests);
    m_options.removeOldBreaks = FlagOf(OverWrite);
    m_options.quarterParts = NumberOf(in_4);
    m_options.eighthParts = NumberOf(in_8);
    m_options.sixteenthParts = NumberOf(in_16);
    m_options.thirtySecondParts = NumberOf(in_32);
    m_options.breakSecondary = FlagOf(Secondary);
    m_options.simplifyRests = FlagOf(Simplify);
    m_options.breakAtHalfBeatRest = FlagOf(BreakMore);
    m_options.unbeamRestBeats = FlagOf(BreakAllRests);
    m_options.beamRestsToEighths = FlagOf(BeamRestsToEighths);
    m_options.primaryIfWrongDirection = FlagOf(PrimaryIfWrongDirection);
    m_options.breakPrimary = FlagOf(BreakPrimary);
    m_options.onlyShortNotes = FlagOf(BPonlywhen);
    m_options.wholeMeasure = FlagOf(BreakWhole);
    m_options.beatLength = NumberOf(PrimaryBeat);
    m_options.shortLimit = NumberOf(BPonlywhenEDUs);
    m_options.oddRests = FlagOf(OrStrangeRests);
}

void TSBBForm::SBBGoBtnClick(vcl::TObject* /*Sender*/) {
    VxForm_SaveState(*this, "");
    TakeControls();
    BreakSecondaryBeams(m_options);
}

int32_t ShowBeamBreakerForm() {
    if (BeamBreakerForm() == nullptr) {
        // The application owns the form, so that it is freed when the plug-in is unloaded.
        BeamBreakerForm() = vcl::Create<TSBBForm>(vcl::Application);
    }
    BeamBreakerForm()->ShowModal();
    return 1;
}

BeamBreakOptions BeamBreakOptionsFromTool(const TFMisc& context) {
    BeamBreakOptions options;
    InitBeamBreakerOptions(options);
    options.unbeamRests = Flag(RowValue(context.Options, BEAM_UNBEAM_RESTS));
    options.breakPrimary = Flag(RowValue(context.Options, BEAM_BREAK_PRIMARY));
    options.beatLength = RowValue(context.Options, BEAM_BEAT_LENGTH);
    options.onlyShortNotes = Flag(RowValue(context.Options, BEAM_ONLY_SHORT_NOTES));
    options.shortLimit = RowValue(context.Options, BEAM_SHORT_LIMIT);
    options.oddRests = Flag(RowValue(context.Options, BEAM_ODD_RESTS));
    options.wholeMeasure = Flag(RowValue(context.Options, BEAM_WHOLE_MEASURE));
    options.breakSecondary = Flag(RowValue(context.Options, BEAM_BREAK_SECONDARY));
    options.quarterParts = RowValue(context.Options, BEAM_QUARTER_PARTS);
    options.eighthParts = RowValue(context.Options, BEAM_EIGHTH_PARTS);
    options.sixteenthParts = 2;
    options.thirtySecondParts = 2;
    options.breakFourInTwo = Flag(RowValue(context.Options, BEAM_BREAK_FOUR_IN_TWO));
    options.breakAll = Flag(RowValue(context.Options, BEAM_BREAK_ALL));
    options.removeOldBreaks = Flag(RowValue(context.Options, BEAM_REMOVE_OLD_BREAKS));
    options.restsInBeamGroups = Flag(RowValue(context.Options, BEAM_RESTS_IN_GROUPS));
    options.simplifyRests = Flag(RowValue(context.Options, BEAM_SIMPLIFY_RESTS));
    options.breakAtHalfBeatRest = Flag(RowValue(context.MoreOptions, BEAM_MORE_BREAK_AT_HALF_BEAT_REST));
    options.unbeamRestBeats = Flag(RowValue(context.MoreOptions, BEAM_MORE_UNBEAM_REST_BEATS));
    options.beamRestsToEighths = Flag(RowValue(context.MoreOptions, BEAM_MORE_RESTS_TO_EIGHTHS));
    // The tool has no row for it: it keeps the form's default, on.
    options.primaryIfWrongDirection = 1;
    return options;
}

int32_t RunBeamBreakerTool(TFMisc& context) {
    BeamBreakOptions settings = BeamBreakOptionsFromTool(context);
    BreakSecondaryBeams(settings);
    return 1;
}

}  // namespace orvex
