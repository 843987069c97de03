#include "tools/layout/stafflist_form.h"

#include <algorithm>
#include <memory>

#include "core/free_texts.h"
#include "core/general_options.h"
#include "core/host/document_writes.h"
#include "core/host/host_imports.h"
#include "core/host_probes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "forms/control_table.h"
#include "platform/vcl/registry.h"
#include "platform/win/system.h"
#include "platform/win/windows.h"
#include "tools/layout/layout_services.h"

namespace orvex {

namespace {

struct StaffListFormUnit {
    /// Set while the constructor fits the form: size changes then move no controls.
    bool sizing = false;
    // Re-entry counters of the system, page and measure fields.
    int32_t systemEntry = 0;
    int32_t pageEntry = 0;
    int32_t measureEntry = 0;
};

StaffListFormUnit& StaffListFormState() {
    return UnitState<StaffListFormUnit>();
}

constexpr uint32_t kTimerInterval = 100;
/// The document follows the form after this many ticks without a change of system.
constexpr int32_t kTicksBeforeShowing = 10;
constexpr int32_t kHeightWhenNotANumber = 672;
/// Room the form leaves for the task bar and the frame, and the margin it takes off a small screen.
constexpr int32_t kScreenAllowance = 38;
constexpr int32_t kSmallScreenMargin = 100;
constexpr int32_t kFitStep = 5;
constexpr int32_t kListFitMargin = 2;
constexpr int32_t kButtonFitMargin = 5;
constexpr int32_t kLastSystemNumber = 32767;
constexpr int32_t kCopyToLastSystem = 9999;
/// The document window's page field (page view) and the kind of its value.

/// Counts a handler's run for the life of a scope.
class EntryScope {
public:
    explicit EntryScope(int32_t& counter) : m_counter(counter) { ++m_counter; }
    ~EntryScope() { --m_counter; }
    EntryScope(const EntryScope&) = delete;
    EntryScope& operator=(const EntryScope&) = delete;

private:
    int32_t& m_counter;
};

using Control = DesignedControl<TStaffListManager>;
using F = TStaffListManager;

/// The form's controls before the staff list, on the positions panel.
// clang-format off
const Control kPanelControls[] = {
    {&F::PosiPanel, {},            "PosiPanel", nullptr,      8, 8,   60, 320},
    {&F::dist1,     &F::PosiPanel, "dist1",     nullptr,      2, 2,   54, 15},
    {&F::positions, &F::PosiPanel, "positions", "Positions:", 2, 304, 40, 13},
};

/// The form's controls after the staff list.
const Control kControls[] = {
    {&F::OnPage,          {}, "OnPage",          "page:",                     8,   339, 40, 13},
    {&F::PgNum,           {}, "PgNum",           nullptr,                     44,  336, 44, 21},
    {&F::PgUpDown,        {}, "UpDown2",         nullptr,                     88,  336, 16, 21},
    {&F::SysDesc,         {}, "SysDesc",         "system:",                   116, 339, 40, 13},
    {&F::SysNum,          {}, "SysNum",          nullptr,                     160, 336, 44, 21},
    {&F::SysUpDown,       {}, "UpDown1",         nullptr,                     204, 336, 16, 21},
    {&F::MeasTxt,         {}, "MeasTxt",         "measures:",                 232, 339, 40, 13},
    {&F::Measure,         {}, "Measure",         nullptr,                     288, 336, 44, 21},
    {&F::MeasureUpDown,   {}, "UpDown3",         nullptr,                     332, 336, 16, 21},
    {&F::MeasTo,          {}, "MeasTo",          "to XXXX",                   356, 339, 60, 17},
    {&F::relative,        {}, "relative",        "re&lative",                 440, 338, 90, 17, true},
    {&F::Revert,          {}, "Revert",          "Re&vert",                   8,   366, 75, 25},
    {&F::ReOptimize,      {}, "ReOptimize",      "&Optimize",                 88,  366, 75, 25},
    {&F::Reset,           {}, "Reset",           "&Reset",                    168, 366, 75, 25},
    {&F::SpaceBtn,        {}, "SpaceBtn",        "&Scale...",                 248, 366, 75, 25},
    {&F::CopyFrom,        {}, "CopyFrom",        "Copy &from...",             328, 366, 90, 25},
    {&F::CopyTo,          {}, "CopyTo",          "&Copy to...",               423, 366, 90, 25},
    {&F::FindErrorBtn,    {}, "FindErrorBtn",    "Find Optimization &Errors", 8,   396, 160, 25},
    {&F::RedispBtn,       {}, "RedispBtn",       "Re&draw",                   173, 396, 75, 25},
    {&F::StaffListOk,     {}, "StaffListOk",     "&OK",                       444, 396, 75, 25},
    {&F::StaffListCancel, {}, "StaffListCancel", "&Cancel",                   527, 396, 75, 25},
};
// clang-format on

/// A number field's up-down buttons: from 0 to `maximum`, changing the field.
void SetUpNumberField(vcl::TEdit& edit, vcl::TUpDown& upDown, int32_t maximum) {
    upDown.SetMin(0);
    upDown.SetMax(maximum);
    upDown.SetAssociate(&edit);
}

/// The edit's text as a whole number.
bool NumberIn(const vcl::TEdit& edit, int32_t& value) {
    return vcl::ParseWholeNumber(edit.Text(), value);
}

void UpdateLayoutWhenAsked() {
    if (TheModule.process.GeneralOptions[GO_AUTO_UPDATE_LAYOUT].value != 0) {
        UpdateHostLayout();
    }
}

}  // namespace

// ---- The check list ----

void TStaffCheckListBox::SetTopIndex(int32_t index) {
    m_topIndex = std::clamp(index, 0, std::max(0, Items().Count() - 1));
}

int32_t TStaffCheckListBox::ItemHeight() const {
    return std::max(1, vcl::MeasureTextHeight(Font(), vcl::Screen->PixelsPerInch()));
}

int32_t TStaffCheckListBox::VisibleRows() const {
    return std::max(1, Height() / ItemHeight());
}

void TStaffCheckListBox::MakeVisible(int32_t index) {
    if (index < m_topIndex) {
        SetTopIndex(index);
    } else if (index >= m_topIndex + VisibleRows()) {
        SetTopIndex(index - VisibleRows() + 1);
    }
}

std::string TStaffCheckListBox::UserSet(std::string_view value) {
    const std::string_view item = !value.empty() && (value[0] == '+' || value[0] == '-') ? value.substr(1) : value;
    if (const int32_t index = FindUserItem(item); index >= 0) {
        MakeVisible(index);
    }
    return vcl::TCheckListBox::UserSet(value);
}

void TStaffCheckListBox::ItemsChanged(vcl::TStrings::Change change, int32_t index) {
    vcl::TCheckListBox::ItemsChanged(change, index);
    if (change == vcl::TStrings::Change::Cleared) {
        m_topIndex = 0;
    } else if (m_topIndex >= Items().Count()) {
        SetTopIndex(Items().Count() - 1);
    }
}

// ---- The form ----

TStaffListManager::TStaffListManager(vcl::TComponent* owner) : VxForm(owner) {
    StaffListFormState().sizing = true;
    SetName("StaffListManager");
    SetCaption("Staff List Manager");
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(644);
    SetClientHeight(429);

    PlaceControls<TStaffListManager>(*this, kPanelControls);
    PosiPanel->SetBevelOuter(vcl::bvNone);
    StaffListBox = Designed(this, new TStaffCheckListBox(this), "StaffListBox", 72, 8, 530, 300);
    StaffListBox->Font().SetName("Courier New");
    StaffListBox->Font().SetSize(10);  // 13 pixels at 96 pixels per inch
    for (int32_t i = 1; i <= 3; ++i) {
        StaffListBox->Items().Add("Instrument " + std::to_string(i));
    }

    PlaceControls<TStaffListManager>(*this, kControls);
    SetUpNumberField(*PgNum, *PgUpDown, 10000);
    SetUpNumberField(*SysNum, *SysUpDown, 10000);
    SetUpNumberField(*Measure, *MeasureUpDown, 32767);
    StaffListOk->SetModalResult(vcl::mrOk);
    StaffListOk->SetDefault(true);
    StaffListCancel->SetModalResult(vcl::mrCancel);
    StaffListCancel->SetCancel(true);
    SetActiveControl(StaffListBox);
    // Made here rather than when the form shows, so that the edits made at run time always follow
    // every designed component (remembered states address components by their index).
    Timer = new vcl::TTimer(this);
    Timer->SetName("Timer");
    Timer->SetEnabled(false);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    OnHide = [this](vcl::TObject* /*sender*/) {
        // Whatever closed the form, nothing of this showing is pending any more.
        m_shown = false;
        SlmState().dirty = false;
        Timer->SetEnabled(false);
    };
    StaffListBox->OnClickCheck = [this](vcl::TObject* sender) { StaffListBoxClickCheck(sender); };
    PgNum->OnExit = [this](vcl::TObject* sender) { PgNumChange(sender); };
    SysNum->OnExit = [this](vcl::TObject* sender) { SysNumChange(sender); };
    Measure->OnExit = [this](vcl::TObject* sender) { MeasureChange(sender); };
    SysUpDown->OnClick = [this](vcl::TObject* sender, vcl::TUDBtnType) { SysUpDownMouseUp(sender); };
    PgUpDown->OnClick = [this](vcl::TObject* sender, vcl::TUDBtnType) { PgUpDownMouseUp(sender); };
    MeasureUpDown->OnClick = [this](vcl::TObject* sender, vcl::TUDBtnType) { MeasureUpDownMouseUp(sender); };
    relative->OnClick = [this](vcl::TObject* sender) { relativeClick(sender); };
    Revert->OnClick = [this](vcl::TObject* sender) { RevertClick(sender); };
    ReOptimize->OnClick = [this](vcl::TObject* sender) { ReOptimizeClick(sender); };
    Reset->OnClick = [this](vcl::TObject* sender) { ResetClick(sender); };
    SpaceBtn->OnClick = [this](vcl::TObject* sender) { SpaceBtnClick(sender); };
    CopyFrom->OnClick = [this](vcl::TObject* sender) { CopyFromClick(sender); };
    CopyTo->OnClick = [this](vcl::TObject* sender) { CopyToClick(sender); };
    FindErrorBtn->OnClick = [this](vcl::TObject* sender) { FindErrorBtnClick(sender); };
    RedispBtn->OnClick = [this](vcl::TObject* sender) { RedispBtnClick(sender); };
    StaffListOk->OnClick = [this](vcl::TObject* sender) { StaffListOkClick(sender); };
    StaffListCancel->OnClick = [this](vcl::TObject* sender) { StaffListCancelClick(sender); };
    Timer->OnTimer = [this](vcl::TObject* sender) { TimerTimer(sender); };

    SetCaption(Caption() + TheModule.process.VersionText);
    FitToScreen();
    StaffListFormState().sizing = false;

    // The height the user gave the form last time.
    int32_t height = Height();
    if (TheModule.process.Registry) {
        try {
            if (TheModule.process.Registry->OpenKey(kSettingsKey, true) &&
                TheModule.process.Registry->ValueExists(kHeightValue)) {
                int32_t stored = 0;
                height = vcl::ParseWholeNumber(TheModule.process.Registry->ReadString(kHeightValue), stored)
                             ? stored
                             : kHeightWhenNotANumber;
            }
        } catch (const vcl::ERegistryException&) {
            height = kHeightWhenNotANumber;  // a value of another type is no number
        }
        TheModule.process.Registry->CloseKey();
    }
    if (vcl::Screen->Height() < height + kScreenAllowance) {
        height = vcl::Screen->Height() - kSmallScreenMargin;
    }
    int32_t width = Width();
    bool resize = true;
    FormCanResize(this, width, height, resize);
    VxForm::SetBounds(Left(), Top(), width, height);
}

TStaffListManager::~TStaffListManager() {
    // The controls go first, while the kernel that their handlers use still exists.
    DestroyComponents();
    if (SlmState().manager == this) {
        SlmState().manager = nullptr;
    }
}

void TStaffListManager::AfterConstruction() {
    // Scaling to the screen and keeping the form on it are no changes of the user's.
    StaffListFormState().sizing = true;
    try {
        VxForm::AfterConstruction();
    } catch (...) {
        StaffListFormState().sizing = false;
        throw;
    }
    StaffListFormState().sizing = false;
    m_ready = true;
}

void TStaffListManager::FitToScreen() {
    const int32_t screenWidth = vcl::Screen->Width();
    const int32_t screenHeight = vcl::Screen->Height();
    while (ClientWidth() - kListFitMargin < StaffListBox->Left() + StaffListBox->Width() && Width() < screenWidth) {
        SetWidth(Width() + 1);
    }
    const auto okFits = [this] {
        return ClientHeight() - kButtonFitMargin >= StaffListOk->Top() + StaffListOk->Height();
    };
    while (!okFits() && Height() < screenHeight) {
        SetHeight(Height() + 1);
    }
    // The list gives up height until the buttons fit, keeping at least one row.
    while (!okFits() && StaffListBox->Height() - kFitStep >= StaffListBox->ItemHeight()) {
        MoveControls(-kFitStep, 0);
    }
    SetBounds(Left(), Top(), std::min(Width(), screenWidth), std::min(Height(), screenHeight));
}

void TStaffListManager::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    if (m_ready && (width != Width() || height != Height())) {
        bool resize = true;
        FormCanResize(this, width, height, resize);
    }
    VxForm::SetBounds(left, top, width, height);
}

void TStaffListManager::FormCanResize(vcl::TObject* /*Sender*/, int32_t& NewWidth, int32_t& NewHeight, bool& Resize) {
    Resize = true;
    if (StaffListFormState().sizing || (NewWidth == Width() && NewHeight == Height())) {
        return;
    }
    NewWidth = std::max(NewWidth, kMinWidth);
    NewHeight = std::max(NewHeight, kMinHeight);
    if (TheModule.process.Registry) {
        try {
            if (TheModule.process.Registry->OpenKey(kSettingsKey, true)) {
                TheModule.process.Registry->WriteString(kHeightValue, std::to_string(NewHeight));
            }
        } catch (const vcl::ERegistryException&) {
            // Not remembered: the form keeps its height for this session only.
        }
        TheModule.process.Registry->CloseKey();
    }
    MoveControls(NewHeight - Height(), NewWidth - Width());
    if (FitEdits(m_shown)) {
        m_lastTop = -1;
        if (m_shown) {
            RefreshEdits(true);
        }
    }
}

void TStaffListManager::MoveControls(int32_t dh, int32_t dw) {
    const auto grow = [](vcl::TControl* control, int32_t dy, int32_t dx) {
        control->SetBounds(control->Left(), control->Top(), control->Width() + dx, control->Height() + dy);
    };
    const auto move = [](vcl::TControl* control, int32_t dy, int32_t dx) {
        control->SetBounds(control->Left() + dx, control->Top() + dy, control->Width(), control->Height());
    };
    grow(PosiPanel, dh, 0);
    grow(StaffListBox, dh, dw);
    move(StaffListOk, dh, dw);
    move(StaffListCancel, dh, dw);
    for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{
             OnPage,   PgNum,         PgUpDown,     SysDesc,   SysNum,     SysUpDown, MeasTxt,
             Measure,  MeasureUpDown, MeasTo,       Revert,    ReOptimize, Reset,     SpaceBtn,
             CopyFrom, CopyTo,        FindErrorBtn, RedispBtn, relative,   positions}) {
        move(control, dh, 0);
    }
}

// ---- Distance edits ----

void TStaffListManager::AddEdit() {
    const vcl::TEdit* previous = m_edits.back();
    const auto before = static_cast<int32_t>(m_edits.size());
    auto* edit = new vcl::TEdit(this);
    edit->SetName("dist" + std::to_string(before + 1));
    edit->SetParent(PosiPanel);
    edit->SetBounds(previous->Left(), previous->Top() + StaffListBox->ItemHeight(), previous->Width(),
                    previous->Height());
    edit->SetText("dist" + std::to_string(before));
    m_edits.push_back(edit);
}

void TStaffListManager::RemoveEditsAfterFirst() {
    while (m_edits.size() > 1) {
        delete m_edits.back();
        m_edits.pop_back();
    }
}

bool TStaffListManager::FitEdits(bool readBack) {
    if (m_edits.empty()) {
        return false;
    }
    const int32_t listHeight = StaffListBox->Height();
    const auto roomForAnother = [&] { return m_edits.back()->Top() + 2 * m_edits.back()->Height() < listHeight; };
    const auto reachesBottom = [&] { return m_edits.back()->Top() + m_edits.back()->Height() >= listHeight; };
    if (roomForAnother()) {
        if (readBack) {
            ReadBackEdits(false, false);
        }
        while (EditCount() < kMaxEdits && roomForAnother()) {
            AddEdit();
        }
        return true;
    }
    if (reachesBottom() && EditCount() > 1) {
        if (readBack) {
            ReadBackEdits(false, false);
        }
        while (EditCount() > 1 && reachesBottom()) {
            delete m_edits.back();
            m_edits.pop_back();
        }
        return true;
    }
    return false;
}

int32_t TStaffListManager::ShownTop() const {
    return m_editsTop >= 0 ? m_editsTop : StaffListBox->TopIndex();
}

void TStaffListManager::RefreshEdits(bool checking) {
    const int32_t top = StaffListBox->TopIndex();
    if (top == m_lastTop) {
        return;
    }
    m_lastTop = top;
    const int32_t rows = std::min(StaffListBox->Items().Count(), static_cast<int32_t>(Kernel.Positions.size()));
    if (checking) {
        bool differs = false;
        for (int32_t row = 0; row < rows && row < Kernel.ScoreStaffList.Count() && !differs; ++row) {
            differs =
                StaffListBox->Checked(row) != Kernel.SystemStaffList.Contains(Kernel.ScoreStaffList.At(row).staff());
        }
        if (differs) {
            ReadBackEdits(true, true);
        }
    }
    const TSLMKernel::ShownStaff above = Kernel.NearestShownAbove(top);
    bool haveReference = above.index >= 0;
    int32_t reference = above.position;
    const bool relativeMode = relative->Checked();
    for (int32_t r = 0; r < EditCount(); ++r) {
        const int32_t row = top + r;
        std::string text;
        if (row < rows && StaffListBox->Checked(row)) {
            const int32_t position = Kernel.Positions[static_cast<size_t>(row)];
            text = std::to_string(relativeMode && haveReference ? reference - position : -position);
            haveReference = true;
            reference = position;
        }
        Edit(r)->SetText(text);
        Edit(r)->Repaint();
    }
    m_editsTop = top;
    m_relativeShown = relativeMode;
}

bool TStaffListManager::ReadBackEdits(bool keep, bool apply) {
    const int32_t rows = std::min(StaffListBox->Items().Count(), static_cast<int32_t>(Kernel.VisibleFlags.size()));
    for (int32_t row = 0; row < rows; ++row) {
        Kernel.VisibleFlags[static_cast<size_t>(row)] = StaffListBox->Checked(row);
    }
    const int32_t top = ShownTop();
    int32_t running = Kernel.NearestShownAbove(top).position;
    const int32_t oldEnd = Kernel.NearestShownAbove(top + EditCount()).position;
    std::vector<int32_t>& staffPositions = Kernel.Positions;
    for (int32_t r = 0; r < EditCount(); ++r) {
        const int32_t row = top + r;
        if (row >= rows || !StaffListBox->Checked(row)) {
            continue;
        }
        const vcl::TEdit* edit = Edit(r);
        const bool hidden = !edit->Visible();
        int32_t number = 0;
        if (hidden || !NumberIn(*edit, number)) {
            number = 0;
        }
        int32_t position = 0;
        if (m_relativeShown) {
            position = running - number;
        } else if (!hidden) {
            position = -number;
        } else if (r > 0) {
            position = staffPositions[static_cast<size_t>(row - 1)] - TSLMKernel::kDefaultDistance;
        }
        staffPositions[static_cast<size_t>(row)] = position;
        running = position;
    }
    if (running != oldEnd) {
        for (size_t row = static_cast<size_t>(std::max(0, top + EditCount())); row < staffPositions.size(); ++row) {
            staffPositions[row] += running - oldEnd;
        }
    }
    return !apply || Kernel.Apply(keep);
}

// ---- Loading a system ----

void TStaffListManager::LoadIntoForm(bool reread) {
    Kernel.LoadSystem(reread);
    StaffListBox->Items().Clear();
    for (size_t i = 0; i < Kernel.DisplayLines.size(); ++i) {
        const int32_t row = StaffListBox->Items().Add(win::AnsiToUtf8(Kernel.DisplayLines[i]));
        StaffListBox->SetChecked(row, i < Kernel.VisibleFlags.size() && Kernel.VisibleFlags[i]);
    }
    SlmState().dirty = true;
    Kernel.ReOptimizeFlag = false;
    ReOptimize->SetEnabled(Kernel.ValidFlag);
    CopyTo->SetEnabled(Kernel.LoadedFlag || SlmState().currentSystem == 0);
    m_lastTop = -1;
    RefreshEdits(false);
}

void TStaffListManager::ShowNumber(vcl::TEdit* edit, vcl::TUpDown* upDown, const std::string& text) {
    // The arrows step on from the number shown, without showing their own position in the edit.
    int32_t number = 0;
    if (vcl::ParseWholeNumber(text, number) && number >= upDown->Min() && number <= upDown->Max()) {
        vcl::TWinControl* associate = upDown->Associate();
        upDown->SetAssociate(nullptr);
        upDown->SetPosition(number);
        upDown->SetAssociate(associate);
    }
    edit->SetText(text);
}

// ---- Handlers ----

void TStaffListManager::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    VxForm_LoadState(*this, true, "");
    m_shown = true;
    // The document may have changed since the form was last shown.
    Kernel.ReloadDocument();
    if (Kernel.PendingSystem >= 0) {
        ShowNumber(SysNum, SysUpDown, std::to_string(Kernel.PendingSystem));
        Kernel.PendingSystem = -1;
        SysNumChange(this);
    } else if (const int32_t page = ReadDocumentControlValue(DispatcherEnvironment().HostWindow()); page >= 1) {
        ShowNumber(PgNum, PgUpDown, std::to_string(page));
        PgNumChange(this);
    } else {
        ShowNumber(SysNum, SysUpDown, std::to_string(SlmState().currentSystem));
        SysNumChange(this);
    }
    Kernel.ResetFlag = false;
    RemoveEditsAfterFirst();
    if (m_edits.empty()) {
        m_edits.push_back(dist1);
    }
    m_editsTop = -1;
    FitEdits(false);
    m_lastTop = -1;
    LoadIntoForm(true);
    Timer->SetInterval(kTimerInterval);
    Timer->SetEnabled(true);
    if (DispatcherEnvironment().Language() == 1) {
        ApplyGermanCaptions();
    }
}

void TStaffListManager::ApplyGermanCaptions() {
    SetCaption(std::string("Manager für optimierte Akkoladen") + TheModule.process.VersionText);
    StaffListCancel->SetCaption("&Abbrechen");
    OnPage->SetCaption("Seite:");
    SysDesc->SetCaption("Akkolade:");
    // The longer caption ends before its edit, as the English one does.
    SysDesc->SetLeft(SysNum->Left() - SysDesc->Width() - 4);
    MeasTxt->SetCaption("Takte:");
    Revert->SetCaption("Rückgängig");
    ReOptimize->SetCaption("Optimieren");
    Reset->SetCaption("Zurücksetzen");
    SpaceBtn->SetCaption("Skalieren...");
    CopyFrom->SetCaption("Kopieren von...");
    CopyTo->SetCaption("Kopieren nach...");
    FindErrorBtn->SetCaption("Optimierungsfehler finden");
    positions->SetCaption("EVPUs:");
    relative->SetCaption("relativ");
    for (vcl::TButton* button : {Revert, ReOptimize, Reset, SpaceBtn, CopyFrom, CopyTo, FindErrorBtn, RedispBtn}) {
        button->Font().SetSize(8);
    }
}

void TStaffListManager::SysNumChange(vcl::TObject* /*Sender*/) {
    if (!m_shown || StaffListFormState().systemEntry > 0) {
        return;
    }
    EntryScope scope(StaffListFormState().systemEntry);
    const bool wasDirty = SlmState().dirty;
    if (wasDirty && SlmState().currentSystem >= 1) {
        ReadBackEdits(false, true);
    }
    int32_t number = SlmState().currentSystem;
    if (NumberIn(*SysNum, number)) {
        // The system number is 16-bit and not negative.
        number = std::clamp(number, 0, kLastSystemNumber);
    } else {
        number = SlmState().currentSystem;
    }
    if (!wasDirty || number != SlmState().currentSystem) {
        SlmState().currentSystem = static_cast<int16_t>(number);
        LoadIntoForm(true);
    } else {
        SlmState().dirty = true;
    }
    const int32_t current = SlmState().currentSystem;
    ShowNumber(SysNum, SysUpDown, std::to_string(current));
    if (current == 0) {
        Kernel.CurrentPage = 0;
        Measure->SetText("");
        MeasTo->SetCaption("");
    } else {
        Kernel.CurrentPage = Kernel.Pages.PageOfSystem(current);
        if (Kernel.ValidFlag && Kernel.SystemExists(current)) {
            const EDTStaffSystemSpec2001& system = Kernel.Systems.At(current - 1);
            ShowNumber(Measure, MeasureUpDown, std::to_string(system.firstMeasure()));
            MeasTo->SetCaption(EnglishText(FreeText::SystemEndMeasure, {std::to_string(system.endMeasure() - 1)}));
        } else {
            Measure->SetText("?");
            MeasTo->SetCaption("");
        }
    }
    if (current >= 1 && Kernel.CurrentPage == 0) {
        PgNum->SetText("?");
    } else {
        ShowNumber(PgNum, PgUpDown, std::to_string(Kernel.CurrentPage));
    }
}

void TStaffListManager::SysUpDownMouseUp(vcl::TObject* Sender) {
    SysNumChange(Sender);
}

void TStaffListManager::PgNumChange(vcl::TObject* /*Sender*/) {
    if (StaffListFormState().pageEntry > 0) {
        return;
    }
    EntryScope scope(StaffListFormState().pageEntry);
    int32_t page = 1;
    if (!NumberIn(*PgNum, page)) {
        page = 1;
    }
    page = std::max(page, 0);
    if (page > Kernel.Pages.Count()) {
        ShowNumber(PgNum, PgUpDown, std::to_string(Kernel.Pages.Count()));
        return;
    }
    Kernel.CurrentPage = page;
    ShowNumber(SysNum, SysUpDown, page == 0 ? "0" : std::to_string(Kernel.Pages.At(page - 1).firstSystem()));
    SysNumChange(this);
}

void TStaffListManager::PgUpDownMouseUp(vcl::TObject* Sender) {
    PgNumChange(Sender);
}

void TStaffListManager::MeasureChange(vcl::TObject* /*Sender*/) {
    if (StaffListFormState().measureEntry > 0) {
        return;
    }
    EntryScope scope(StaffListFormState().measureEntry);
    int32_t measure = 1;
    if (!NumberIn(*Measure, measure)) {
        measure = 1;
    }
    measure = std::max(measure, 0);
    const int32_t system = SystemIndexOfMeasure(Kernel.Systems, measure);
    if (system == 0) {
        return;
    }
    ShowNumber(SysNum, SysUpDown, std::to_string(system));
    SysNumChange(this);
    ShowNumber(Measure, MeasureUpDown, std::to_string(measure));
}

void TStaffListManager::MeasureUpDownMouseUp(vcl::TObject* Sender) {
    MeasureChange(Sender);
}

void TStaffListManager::StaffListBoxClickCheck(vcl::TObject* /*Sender*/) {
    ReadBackEdits(false, false);
    m_lastTop = -1;
    RefreshEdits(true);
}

void TStaffListManager::relativeMouseDown(vcl::TObject* /*Sender*/) {
    ReadBackEdits(true, true);
}

void TStaffListManager::relativeClick(vcl::TObject* Sender) {
    if (!m_shown) {
        return;  // a remembered state being applied
    }
    // The check box has no event before its change: the edits, read as they were shown, go into
    // the lists first.
    if (relative->Checked() != m_relativeShown) {
        relativeMouseDown(Sender);
    }
    m_lastTop = -1;
    RefreshEdits(true);
}

void TStaffListManager::StaffListOkClick(vcl::TObject* /*Sender*/) {
    VxForm_SaveState(*this, "");
    if (SlmState().dirty && !ReadBackEdits(false, true)) {
        SetModalResult(vcl::mrNone);  // refused: the form stays open with the user's ticks
        return;
    }
    RemoveEditsAfterFirst();
    m_editsTop = -1;
}

void TStaffListManager::StaffListCancelClick(vcl::TObject* /*Sender*/) {
    SlmState().dirty = false;
}

void TStaffListManager::RevertClick(vcl::TObject* /*Sender*/) {
    if (SlmState().currentSystem < 1) {
        return;
    }
    SlmState().dirty = false;
    LoadIntoForm(true);
}

void TStaffListManager::ResetClick(vcl::TObject* /*Sender*/) {
    if (SlmState().currentSystem < 1) {
        return;
    }
    Kernel.ResetPositions();
    LoadIntoForm(false);
}

void TStaffListManager::ReOptimizeClick(vcl::TObject* /*Sender*/) {
    if (SlmState().currentSystem < 1) {
        return;
    }
    Kernel.ResetPositions();
    Kernel.ReOptimizeFlag = true;
    LoadIntoForm(false);
    // Nothing is saved here: the dirty flag the load set writes it back with the next change.
    Kernel.Apply(true);
    m_lastTop = -1;
    RefreshEdits(false);
}

void TStaffListManager::RunToolFromForm(int32_t item, const OptionArray* values) {
    std::shared_ptr<TFMisc> context = InitToolContext();
    context->Item = item;
    context->Group = 1;
    if (RunToolWithOptions(item, 1, context->Options, context->MoreOptions, context->OptionPairs, true, values, false,
                           false, context.get())) {
        DispatchTool(*context, item, 1, 0);
    }
}

void TStaffListManager::SpaceBtnClick(vcl::TObject* /*Sender*/) {
    if (SlmState().dirty && Kernel.LoadedFlag) {
        ReadBackEdits(false, true);
    }
    RunToolFromForm(ItemNumber(ToolItem::ScaleStaffPositions), nullptr);
    LoadIntoForm(true);
}

void TStaffListManager::RunCopy(int32_t from, int32_t first, int32_t last, int32_t sameStaves, int32_t unoptimized) {
    if (!SlmState().dirty) {
        return;
    }
    if (Kernel.LoadedFlag) {
        ReadBackEdits(false, true);
    }
    OptionArray values{};
    values[COPY_OPT_FROM_SYSTEM].value = from;
    values[COPY_OPT_FIRST_TARGET].value = first;
    values[COPY_OPT_LAST_TARGET].value = last;
    values[COPY_OPT_SAME_STAVES_ONLY].value = sameStaves;
    values[COPY_OPT_UNOPTIMIZED_TOO].value = unoptimized;
    RunToolFromForm(ItemNumber(ToolItem::CopySystemOptimization), &values);
    Kernel.Systems.Load();
    LoadIntoForm(true);
}

void TStaffListManager::CopyFromClick(vcl::TObject* /*Sender*/) {
    RunCopy(0, SlmState().currentSystem, SlmState().currentSystem, 0, 1);
}

void TStaffListManager::CopyToClick(vcl::TObject* /*Sender*/) {
    RunCopy(SlmState().currentSystem, SlmState().currentSystem + 1, kCopyToLastSystem, 1, 0);
}

void TStaffListManager::FindErrorBtnClick(vcl::TObject* /*Sender*/) {
    for (;;) {
        if (Kernel.CheckOptimizationErrors()) {
            return;  // the message named the staff; its system stays on screen
        }
        const int32_t before = SlmState().currentSystem;
        ShowNumber(SysNum, SysUpDown, std::to_string(before + 1));
        SysNumChange(this);
        if (!Kernel.ValidFlag || SlmState().currentSystem == before) {
            break;
        }
    }
    ShowMessage(FreeText::NoOptimizationErrorsFound);
}

void TStaffListManager::RedispBtnClick(vcl::TObject* /*Sender*/) {
    if (!SlmState().dirty) {
        return;
    }
    ReadBackEdits(false, true);
    const int32_t current = SlmState().currentSystem;
    const int32_t first =
        Kernel.ValidFlag && Kernel.SystemExists(current) ? Kernel.Systems.At(current - 1).firstMeasure() : 0;
    if (!Kernel.ValidFlag || first == Kernel.LastShownMeasure) {
        RedrawHostDocument(DispatcherEnvironment().WholeDocument().bytes.data());
    } else {
        Kernel.LastShownMeasure = first;
        ShowHostMeasure(static_cast<hostapi::MeasureNumber>(first));
    }
    LoadIntoForm(true);
}

void TStaffListManager::TimerTimer(vcl::TObject* /*Sender*/) {
    if (Kernel.Systems.Count() == 0) {
        StaffListCancelClick(this);
        if (Modal()) {
            SetModalResult(vcl::mrCancel);
        } else {
            Close();
        }
        return;
    }
    if (!StaffListBox->Showing()) {
        m_ticks = 0;
        return;
    }
    if (StaffListBox->TopIndex() != m_lastTop) {
        ReadBackEdits(false, false);
        RefreshEdits(true);
    }
    ++m_ticks;
    const int32_t current = SlmState().currentSystem;
    if (!Kernel.ValidFlag || !Kernel.SystemExists(current)) {
        return;
    }
    const int32_t first = Kernel.Systems.At(current - 1).firstMeasure();
    if (first != Kernel.LastSeenFirstMeasure) {
        m_ticks = 1;
        Kernel.LastSeenFirstMeasure = first;
    }
    if (first != Kernel.LastShownMeasure && m_ticks % kTicksBeforeShowing == 0) {
        Kernel.LastShownMeasure = first;
        ShowHostMeasure(static_cast<hostapi::MeasureNumber>(first));
    }
}

// ---- Opening the form ----

int32_t RunStaffListManager() {
    UpdateLayoutWhenAsked();
    if (SlmState().manager == nullptr) {
        // The application owns the form, so that it is freed when the plug-in is unloaded.
        SlmState().manager = vcl::Create<TStaffListManager>(vcl::Application);
    }
    return SlmState().manager->ShowModal();
}

int32_t RunStaffListManagerQuery(int32_t startValue) {
    if (SlmState().manager != nullptr && SlmState().manager->Visible()) {
        return 0;  // the form is showing already: it cannot be made again under its own handlers
    }
    UpdateLayoutWhenAsked();
    delete SlmState().manager;
    SlmState().manager = vcl::Create<TStaffListManager>(vcl::Application);
    std::unique_ptr<TStaffListManager> form(SlmState().manager);
    form->SetStartValue(startValue);
    if (form->ShowModal() != 0) {
        RedrawHostDocument(nullptr);
    }
    return 1;
}

void DeleteStaffListManager() {
    delete SlmState().manager;
    SlmState().manager = nullptr;
}

}  // namespace orvex
