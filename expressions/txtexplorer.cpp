#include "expressions/txtexplorer.h"

#include <algorithm>
#include <utility>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "expressions/txtexpleditor.h"
#include "expressions/txtexplgrid.h"
#include "expressions/txtexplinfo.h"
#include "expressions/txtexpr.h"
#include "expressions/txtexprsorter.h"
#include "forms/control_table.h"
#include "forms/designed.h"
#include "platform/hostapi/bytes.h"
#include "platform/vcl/registry.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

constexpr int32_t kUsageAtLeast = 2;
constexpr int32_t kUsageAtMost = 3;
constexpr int32_t kUsageAny = 4;
constexpr int32_t kDefaultColumns = 5;
constexpr const char* kInfoLevelValue = "InfoLevel";

using Control = DesignedControl<TTextExprForm>;
using F = TTextExprForm;

/// The explorer's controls after the grid, in the order of the form's fields.
// clang-format off
const Control kControls[] = {
    {&F::ShowBox,       {},              "ShowBox",      "show:",             558, 0,   127, 283},
    {&F::xTextual,      &F::ShowBox,     "xTextual",     "textual",           8,   16,  112, 17, true},
    {&F::xMusical,      &F::ShowBox,     "xMusical",     "musical",           8,   34,  112, 17, true},
    {&F::xPlayback,     &F::ShowBox,     "xPlayback",    "playback efx only", 8,   52,  112, 17, false},
    {&F::xSearch,       &F::ShowBox,     "xSearch",      "search for:",       8,   88,  112, 17, false},
    {&F::xCalcUsage,    &F::ShowBox,     "xCalcUsage",   "calculate usage",   8,   232, 111, 21},
    {&F::xAll,          &F::ShowBox,     "xAll",         "All",               8,   256, 111, 21},
    {&F::DetailBox,     {},              "DetailBox",    "details:",          558, 360, 127, 124},
    {&F::dFonts,        &F::DetailBox,   "dFonts",       "fonts",             8,   16,  112, 17, true},
    {&F::dPlayback,     &F::DetailBox,   "dPlayback",    "playback efx",      8,   52,  112, 17, false},
    {&F::dOthers,       &F::DetailBox,   "dOthers",      "others",            8,   70,  112, 17, true},
    {&F::dAllBtn,       &F::DetailBox,   "dAllBtn",      "All",               8,   92,  111, 23},
    {&F::xSearchText,   &F::ShowBox,     "xSearchText",  nullptr,             8,   106, 111, 21},
    {&F::xUsage,        &F::ShowBox,     "xUsage",       "usage in document", 8,   130, 111, 100},
    {&F::xAtLeast,      &F::ShowBox,     "xAtLeast",     nullptr,             40,  172, 30,  21},
    {&F::AtLeastUpDown, &F::ShowBox,     "UpDown1",      nullptr,             70,  172, 15,  21},
    {&F::xAtMost,       &F::ShowBox,     "xAtMost",      nullptr,             40,  190, 30,  21},
    {&F::AtMostUpDown,  &F::ShowBox,     "UpDown2",      nullptr,             70,  190, 15,  21},
    {&F::dAllStyles,    &F::DetailBox,   "dAllStyles",   "all styles",        24,  34,  96,  17, false},
    {&F::ButtonPanel,   {},              "Panel1",       nullptr,             0,   516, 685, 44},
    {&F::CancelBtn,     &F::ButtonPanel, "CancelBtn",    "Cancel",            4,   10,  60,  25},
    {&F::xLarger,       &F::ButtonPanel, "xLarger",      "Larger",            68,  10,  55,  25},
    {&F::xSmaller,      &F::ButtonPanel, "xSmaller",     "Smaller",           127, 10,  55,  25},
    {&F::OkBtn,         &F::ButtonPanel, "OkBtn",        "Ok",                600, 10,  80,  25},
    {&F::xTwoDim,       &F::ButtonPanel, "xTwoDim",      "two dimensional",   188, 4,   112, 17, true},
    {&F::xShrinkToFit,  &F::ButtonPanel, "xShrinkToFit", "shrink to fit",     188, 23,  112, 17, true},
    {&F::UpdateBtn,     &F::ButtonPanel, "UpdateBtn",    "Reload now",        304, 2,   85,  20},
    {&F::QuickMode,     &F::ButtonPanel, "QuickMode",    "load only once",    304, 24,  100, 17, false},
    {&F::SortBox,       {},              "SortBox",      "instant sorting",   558, 287, 127, 68},
    {&F::xSorted,       &F::SortBox,     "xSorted",      "display sorted",    8,   18,  112, 17, false},
    {&F::xOptions,      &F::SortBox,     "xOptions",     "Options...",        8,   38,  111, 23},
    {&F::FontBox,       {},              "FontBox",      nullptr,             0,   0,   160, 21},
    {&F::xColCount,     {},              "xColCount",    nullptr,             558, 360, 127, 21},
    {&F::DuplicateBtn,  &F::ButtonPanel, "DuplicateBtn", "Duplicate",         410, 10,  62,  25},
    {&F::NewBtn,        &F::ButtonPanel, "NewBtn",       "New",               476, 10,  45,  25},
    {&F::HelpBtn,       &F::ButtonPanel, "BitBtn1",      "Help",              525, 10,  60,  25},
    {&F::xMeta,         &F::ShowBox,     "xMeta",        "metatools only",    8,   70,  112, 17, true},
};
// clang-format on

/// An edit with its up-down buttons (from 0, no wrap) showing `value`.
void SetUpNumberEdit(vcl::TEdit& edit, vcl::TUpDown& upDown, int32_t value) {
    edit.SetText(std::to_string(value));
    upDown.SetMin(0);
    upDown.SetMax(9999);
    upDown.SetWrap(false);
    upDown.SetPosition(value);
    upDown.SetAssociate(&edit);
}

/// The edit's text as a whole number; 0 when it is none.
int32_t NumberOf(const vcl::TEdit& edit) {
    int32_t value = 0;
    return vcl::ParseWholeNumber(edit.Text(), value) ? value : 0;
}

/// Deletes the 'ot&d' record under a key that no expression of the table holds any more (when it
/// names a text expression); a deletion is a write of the explorer.
void DeleteDroppedMetatool(TTextExpressions& table, uint8_t dropped) {
    for (int32_t i = 0; i < table.ExpressionCount(); ++i) {
        if (table.Item(i).MetatoolKey == dropped) {
            return;
        }
    }
    EDTShortcut shortcut;
    if (LoadSmallRecord(dropped, shortcut, kTagMetatool) &&
        hostapi::ReadI16(shortcut.data(), kMetatoolKind) == kMetatoolTextExpression &&
        DeleteSmallRecord(dropped, kTagMetatool)) {
        table.SetWritten(true);
    }
}

}  // namespace

// ---- Construction ----

TTextExprForm::TTextExprForm(vcl::TComponent* owner, TTextExprSorter& sorter) : VxForm(owner), m_sorter(sorter) {
    // The form names itself as its layout does, so that its state loads under that name below.
    SetName("TextExprForm");
    SetCaption("Vx Browser for Text Expressions");
    SetPosition(vcl::poDefault);
    SetClientWidth(689);
    SetClientHeight(564);

    // The controls in the order of the form's fields: their indexes name them in the
    // remembered state.
    Grid = Designed(this, new MyDrawGrid(this), "Grid", 0, 0, 553, 509);
    Grid->SetDefaultColWidth(40);
    Grid->SetDefaultRowHeight(24);
    Grid->SetRowCount(3);
    Grid->SetColCount(3);
    Grid->SetRowHeights(1, 39);
    Grid->SetRowHeights(2, 39);
    Grid->Font().SetSize(10);
    PlaceControls<TTextExprForm>(*this, kControls);
    // Tab goes as the user reads: down each group on the right, then along the buttons.
    TabInOrder({Grid, ShowBox, SortBox, DetailBox, xColCount, ButtonPanel});
    TabInOrder({xTextual, xMusical, xPlayback, xMeta, xSearch, xSearchText, xUsage, xAtLeast, AtLeastUpDown, xAtMost,
                AtMostUpDown, xCalcUsage, xAll});
    TabInOrder({dFonts, dAllStyles, dPlayback, dOthers, dAllBtn});
    TabInOrder({CancelBtn, xLarger, xSmaller, xTwoDim, xShrinkToFit, UpdateBtn, QuickMode, DuplicateBtn, NewBtn,
                HelpBtn, OkBtn});
    xSearchText->Items().Assign({"arco", "col", "con", "pizz", "senza", "(", "(empty expressions)"});
    xUsage->Items().Assign({"used", "unused", ">=                  x", "1 to                x", "any"});
    xUsage->SetItemIndex(kUsageAny);
    SetUpNumberEdit(*xAtLeast, *AtLeastUpDown, 15);
    SetUpNumberEdit(*xAtMost, *AtMostUpDown, 4);
    CancelBtn->SetKind(vcl::bkCancel);
    xLarger->Font().SetSize(12);
    OkBtn->SetModalResult(vcl::mrOk);
    FontBox->SetVisible(false);
    xColCount->SetDropDownCount(13);
    xColCount->Items().Add("1 column");
    for (int32_t n = 2; n <= 12; ++n) {
        xColCount->Items().Add(FormatText(FreeTextOf(FreeText::ColumnCount).english, {std::to_string(n)}));
    }
    xColCount->Items().Add("adjust width");
    xColCount->SetText("5 columns");
    HelpBtn->SetKind(vcl::bkHelp);
    HelpBtn->SetCaption("Help");

    m_drawCell = std::make_unique<TGridDrawCell>(*this);
    m_gridEditor = std::make_unique<TGridEditor>(*Grid);

    ConnectHandlers();

    // The sorter gives the options of the instantly sorted display: the user's last ones.
    m_sorter.SetMode(kSorterOptionsMode);
    VxForm_LoadState(m_sorter, false, m_sorter.StateSuffix());
    m_sorter.SetShowDeleteMark(false);

    m_state.Loading = 1;
    LoadRememberedState();
    m_state.Loading = 0;

    TTextExpressions& table = TextExpressionTable();
    if (QuickMode->Checked()) {
        table.IsComplete();
    } else {
        table.LoadFromDocument();
    }
    if (!table.Sorted() && xSorted->Checked()) {
        SortTextExpressions(m_sorter, false);
    }
    m_sorter.ReadOptions();
    ClearRowHeights();
    // Nothing the state's handlers cached belongs to the table as it is loaded now.
    m_drawCell->CachedIndex = -2;
}

void TTextExprForm::ConnectHandlers() {
    OnShow = [this](vcl::TObject* s) { FormShow(s); };
    OnClose = [this](vcl::TObject* s, vcl::TCloseAction& action) { FormClose(s, action); };
    xTextual->OnClick = [this](vcl::TObject* s) { xTextualClick(s); };
    for (vcl::TCheckBox* box : {xMusical, xMeta}) {
        box->OnClick = [this](vcl::TObject* s) { xMusicalClick(s); };
    }
    for (vcl::TCheckBox* box : {xPlayback, xSearch, dFonts, dPlayback, dOthers}) {
        box->OnClick = [this](vcl::TObject* s) { DetailsClick(s); };
    }
    xSearchText->OnChange = [this](vcl::TObject* s) { xSearchTextChange(s); };
    xAll->OnClick = [this](vcl::TObject* s) { xAllClick(s); };
    xUsage->OnClick = [this](vcl::TObject* s) { xUsageClick(s); };
    xAtLeast->OnChange = [this](vcl::TObject* s) { xAtLeastChange(s); };
    xAtMost->OnChange = [this](vcl::TObject* s) { xAtMostChange(s); };
    xCalcUsage->OnClick = [this](vcl::TObject* s) { xCalcUsageClick(s); };
    dAllBtn->OnClick = [this](vcl::TObject* s) { dAllBtnClick(s); };
    dAllStyles->OnClick = [this](vcl::TObject* s) { dAllStylesClick(s); };
    xTwoDim->OnClick = [this](vcl::TObject* s) { xTwoDimClick(s); };
    xShrinkToFit->OnClick = [this](vcl::TObject* s) { xShrinkToFitClick(s); };
    xColCount->OnChange = [this](vcl::TObject* s) { xColCountChange(s); };
    xLarger->OnClick = [this](vcl::TObject* s) { xLargerClick(s); };
    xSmaller->OnClick = [this](vcl::TObject* s) { xSmallerClick(s); };
    xSorted->OnClick = [this](vcl::TObject* s) { xSortedClick(s); };
    xOptions->OnClick = [this](vcl::TObject* s) { xOptionsClick(s); };
    UpdateBtn->OnClick = [this](vcl::TObject* s) { UpdateBtnClick(s); };
    OkBtn->OnClick = [this](vcl::TObject* s) { OkBtnClick(s); };
    CancelBtn->OnClick = [this](vcl::TObject* s) { CancelBtnClick(s); };
    HelpBtn->OnClick = [this](vcl::TObject* s) { HelpBtnClick(s); };
    NewBtn->OnClick = [this](vcl::TObject* s) { NewBtnClick(s); };
    DuplicateBtn->OnClick = [this](vcl::TObject* s) { DuplicateBtnClick(s); };
    Grid->OnDrawCell = [this](vcl::TObject* s, int32_t c, int32_t r, vcl::TRect rect, vcl::TGridDrawState state) {
        GridDrawCell(s, c, r, rect, state);
    };
    Grid->OnTopLeftChanged = [this](vcl::TObject* s) { GridTopLeftChanged(s); };
    Grid->OnClick = [this](vcl::TObject* s) { GridClick(s); };
    Grid->OnDblClick = [this](vcl::TObject* s) { OkBtnClick(s); };
    m_gridEditor->OnSelectCell = [this](vcl::TObject* s, int32_t c, int32_t r, bool& can) {
        GridSelectCell(s, c, r, can);
    };
    m_gridEditor->OnKeyDown = [this](vcl::TObject* s, uint16_t& key, vcl::TShiftState shift) {
        GridKeyDown(s, key, shift);
    };
    m_gridEditor->OnKeyPress = [this](vcl::TObject* s, char& key) { GridKeyPress(s, key); };
    m_gridEditor->OnGetEditText = [this](vcl::TObject* s, int32_t c, int32_t r, std::string& value) {
        GridGetEditText(s, c, r, value);
    };
    m_gridEditor->OnSetEditText = [this](vcl::TObject* s, int32_t c, int32_t r, const std::string& value) {
        GridSetEditText(s, c, r, value);
    };
    m_gridEditor->OnMouseDown = [this](vcl::TObject* s) { GridMouseDown(s); };
    m_gridEditor->OnMouseUp = [this](vcl::TObject* s) { GridMouseUp(s); };
    FontBox->OnChange = [this](vcl::TObject* s) { FontBoxChange(s); };
    // The class library runs a combo box's OnClick after its OnChange, the other way round than
    // the list expects: the click takes the chosen font once it is known to come from the list.
    FontBox->OnClick = [this](vcl::TObject* s) {
        GridClick(s);
        FontBoxChange(s);
    };
    FontBox->OnExit = [this](vcl::TObject* s) { FontBoxExit(s); };
    FontBox->OnKeyDown = [this](vcl::TObject* s, uint16_t& key, vcl::TShiftState shift) {
        FontBoxKeyDown(s, key, shift);
    };
}

TTextExprForm::~TTextExprForm() {
    // The controls go first, while the grid's editing routes and the cell object they call
    // still exist.
    DestroyComponents();
}

// ---- Remembered state ----

void TTextExprForm::LoadRememberedState() {
    m_applyingState = true;
    try {
        VxForm_LoadState(*this, true, "");
    } catch (...) {
        m_applyingState = false;
        throw;
    }
    m_applyingState = false;
}

int32_t TTextExprForm::GetExtraInt(int32_t index) {
    switch (index) {
        case -1:
            return 1;
        case 0:
            return 2;
        case 1:
            return m_state.SizeStep;
        case 2:
            return m_state.NewFontSize;
        default:
            return 0;
    }
}

void TTextExprForm::SetExtraInt(int32_t index, int32_t value) {
    if (index == 1) {
        m_state.SizeStep = value;
    } else if (index == 2) {
        m_state.NewFontSize = value;
    }
}

std::string TTextExprForm::GetExtraString(int32_t index) {
    return index == 1 ? m_state.NewFontName : std::string();
}

void TTextExprForm::SetExtraString(int32_t index, const std::string& value) {
    if (index == 1) {
        m_state.NewFontName = value;
    }
}

// ---- Showing, sizing and closing ----

int32_t TTextExprForm::ColumnsFromList() const {
    std::string text = xColCount->Text().substr(0, 2);
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    int32_t value = 0;
    return vcl::ParseWholeNumber(text, value) ? value : kDefaultColumns;
}

void TTextExprForm::FocusGrid() {
    if (Grid->CanFocus()) {
        Grid->SetFocus();
    }
}

void TTextExprForm::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    if (DispatcherEnvironment().Language() == 1) {
        SetGermanCaptions();
    }
    SetCaption(Caption() + TheModule.process.VersionText);

    ++m_state.LayoutDepth;
    xAllClick(this);
    dAllBtnClick(this);
    LoadRememberedState();
    m_state.ColumnsWanted = ColumnsFromList();
    const int32_t leftCol = Grid->LeftCol();
    const int32_t topRow = Grid->TopRow();

    const int32_t screenWidth = vcl::Screen->Width();
    const int32_t screenHeight = vcl::Screen->Height();
    if (Top() + Height() > screenHeight && Top() >= 0 && Top() < screenHeight) {
        SetTop(0);
    }
    if (Left() + Width() > screenWidth && Left() >= 0 && Left() < screenWidth) {
        SetLeft(0);
    }
    MoveControls(ClientWidth() - (ShowBox->Left() + ShowBox->Width() + 4),
                 ClientHeight() - (ButtonPanel->Top() + ButtonPanel->Height() + 4));

    m_state.LastFilterKey = -2;
    --m_state.LayoutDepth;
    Relayout(0);
    Grid->SetLeftCol(leftCol);
    Grid->SetTopRow(topRow);
    if (topRow >= Grid->RowCount() || leftCol >= Grid->ColCount()) {
        Relayout(1);
    }
    if (m_state.TwoDimensional != 0) {
        DetailBox->Hide();
    }

    // The first opening on this machine shows the information form once.
    if (TheModule.process.Registry != nullptr && TheModule.process.Registry->OpenKey(kSettingsKey, true)) {
        if (!TheModule.process.Registry->ValueExists(kInfoLevelValue)) {
            ShowExplorerInfo();
            QuickMode->SetChecked(false);
            try {
                TheModule.process.Registry->WriteString(kInfoLevelValue, "1");
            } catch (const vcl::ERegistryException&) {
                // Not written: the form shows again next time.
            }
        }
        TheModule.process.Registry->CloseKey();
    }
}

void TTextExprForm::MoveControls(int32_t dx, int32_t dy) {
    Grid->SetBounds(Grid->Left(), Grid->Top(), Grid->Width() + dx, Grid->Height() + dy);
    ButtonPanel->SetTop(ButtonPanel->Top() + dy);
    for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{ShowBox, DetailBox, SortBox, xColCount}) {
        control->SetLeft(control->Left() + dx);
    }
}

void TTextExprForm::FormCanResize(vcl::TObject* /*Sender*/, int32_t& NewWidth, int32_t& NewHeight, bool& Resize) {
    Resize = true;
    if (NewWidth == Width() && NewHeight == Height()) {
        return;
    }
    const int32_t frameWidth = Width() - ClientWidth();
    const int32_t frameHeight = Height() - ClientHeight();
    const int32_t leastWidth = frameWidth + ButtonPanel->Left() + ButtonPanel->Width();
    int32_t leastHeight = frameHeight + DetailBox->Top() + DetailBox->Height();
    if (frameWidth + ButtonPanel->Left() + ButtonPanel->Width() + ShowBox->Width() + 4 > NewWidth) {
        leastHeight += ButtonPanel->Height() + 4;
    }
    // A size larger than the screen is kept as asked (the class library's forms do not scroll).
    NewWidth = std::max(NewWidth, leastWidth);
    NewHeight = std::max(NewHeight, leastHeight);
    MoveControls(NewWidth - Width(), NewHeight - Height());
    Relayout(0);
}

void TTextExprForm::FormClose(vcl::TObject* /*Sender*/, vcl::TCloseAction& Action) {
    if (m_state.Cancelled == 0 && ModalResult() != vcl::mrOk) {
        // Any close that is not OK (the close box) is Cancel: nothing is written back.
        if (!ConfirmDiscard()) {
            Action = vcl::caNone;
            return;
        }
        if (m_state.ChangedCount > 0) {
            TextExpressionTable().SetStale(true);
        }
        m_state.Cancelled = 1;
    }
    VxForm_SaveState(*this, "");
    TTextExpressions& table = TextExpressionTable();
    table.SetWritten(false);
    if (m_state.Cancelled != 0) {
        return;
    }
    // A key an expression gave up for another no longer names it; the record under that key goes
    // unless another expression took the key.
    for (const uint8_t dropped : m_state.DroppedKeys) {
        DeleteDroppedMetatool(table, dropped);
    }
    m_state.DroppedKeys.clear();
    table.WriteBackModified();
    const uint8_t key = TheModule.options.ExplorerMetatoolKey;
    if (key == 0 || !m_drawCell->Setup(Grid->Col(), Grid->Row(), false, true) || m_drawCell->Index < 0 ||
        m_drawCell->Index >= table.ExpressionCount() || m_drawCell->Record == nullptr ||
        m_drawCell->Record->NotRead != 0) {
        // No key to give, or no expression of the document in focus (header, empty slot, an
        // expression that could not be read).
        return;
    }
    TTxtExprRec& selected = *m_drawCell->Record;
    for (int32_t i = 0; i < table.ExpressionCount(); ++i) {
        if (table.Item(i).MetatoolKey == key) {
            table.Item(i).MetatoolKey = 0;
        }
    }
    // The expression's old key gives way to the explorer's: its record goes too, so that the old
    // shortcut no longer inserts the expression.
    const uint8_t oldKey = std::exchange(selected.MetatoolKey, key);
    if (oldKey != 0 && oldKey != key) {
        DeleteDroppedMetatool(table, oldKey);
    }
    EDTShortcut shortcut;
    hostapi::WriteU16(shortcut.data(), kMetatoolNumber, static_cast<uint16_t>(selected.Number));
    hostapi::WriteI16(shortcut.data(), kMetatoolKind, kMetatoolTextExpression);
    if (SaveSmallRecord(key, shortcut, kTagMetatool)) {
        // The document changed: the command reports it like a written expression.
        table.SetWritten(true);
    }
    VxForm_SaveState(*this, "");
}

// ---- Filters ----

void TTextExprForm::ApplyFilter() {
    TTextExpressions& table = TextExpressionTable();
    const int32_t key = (xTextual->Checked() ? 1 : 0) + (xMusical->Checked() ? 2 : 0) + (xPlayback->Checked() ? 4 : 0) +
                        (xSearch->Checked() ? 8 : 0) + 16 * (4 - xUsage->ItemIndex()) + (xMeta->Checked() ? 256 : 0);
    m_state.FilterActive = key != 3 ? 1 : 0;
    if (key != m_state.LastFilterKey) {
        m_state.LastFilterKey = key;
        if (m_state.FilterActive != 0) {
            table.Filter(key, NumberOf(*xAtLeast), NumberOf(*xAtMost), win::Utf8ToAnsi(xSearchText->Text()));
        }
        ClearRowHeights();
        m_state.AddedWhileFiltered = 0;
    }
    if (m_state.FilterActive != 0) {
        m_state.ShownCount = table.FilteredCount() + m_state.AddedWhileFiltered;
    } else {
        m_state.ShownCount = table.ExpressionCount();
        m_state.AddedWhileFiltered = 0;
    }
}

void TTextExprForm::xTextualClick(vcl::TObject* /*Sender*/) {
    if (!xTextual->Checked()) {
        xMusical->SetChecked(true);
    }
    Relayout(0);
}

void TTextExprForm::xMusicalClick(vcl::TObject* /*Sender*/) {
    if (!xMusical->Checked()) {
        xTextual->SetChecked(true);
    }
    Relayout(0);
}

void TTextExprForm::xSearchTextChange(vcl::TObject* /*Sender*/) {
    if (m_applyingState) {
        return;  // a remembered text is no search the user typed
    }
    xSearch->SetChecked(true);
    m_state.LastFilterKey = 0;
    Relayout(0);
}

void TTextExprForm::xAllClick(vcl::TObject* /*Sender*/) {
    xTextual->SetChecked(true);
    xMusical->SetChecked(true);
    xPlayback->SetChecked(false);
    xUsage->SetItemIndex(kUsageAny);
    xSearch->SetChecked(false);
    xMeta->SetChecked(false);
    SetModalResult(vcl::mrNone);
    Relayout(0);
}

void TTextExprForm::CountUsageNow() {
    TextExpressionTable().CountUsage();
    m_state.LastFilterKey = 0;
}

void TTextExprForm::xUsageClick(vcl::TObject* /*Sender*/) {
    if (m_state.Loading != 0) {
        // The constructor's state only records the choice; the state applied on show decides.
        xUsage->SetItemIndex(-1);
        return;
    }
    TTextExpressions& table = TextExpressionTable();
    const bool needsCount = xUsage->ItemIndex() != kUsageAny && !table.UsageCounted();
    if (m_state.Drawn != 0) {
        if (needsCount) {
            xCalcUsageClick(this);
            return;
        }
    } else if (needsCount) {
        if (table.OtherDocument()) {
            xUsage->SetItemIndex(kUsageAny);
            return;
        }
        CountUsageNow();
    }
    Relayout(0);
}

void TTextExprForm::xAtLeastChange(vcl::TObject* /*Sender*/) {
    if (m_state.Drawn == 0) {
        return;
    }
    xUsage->SetItemIndex(kUsageAtLeast);
    m_state.LastFilterKey = -2;
    if (TextExpressionTable().UsageCounted()) {
        Relayout(0);
    } else {
        xCalcUsageClick(this);
    }
}

void TTextExprForm::xAtMostChange(vcl::TObject* /*Sender*/) {
    if (m_state.Drawn == 0) {
        return;
    }
    xUsage->SetItemIndex(kUsageAtMost);
    m_state.LastFilterKey = -2;
    if (TextExpressionTable().UsageCounted()) {
        Relayout(0);
    } else {
        xCalcUsageClick(this);
    }
}

void TTextExprForm::xCalcUsageClick(vcl::TObject* /*Sender*/) {
    if (m_state.Drawn == 0) {
        return;
    }
    CountUsageNow();
    Relayout(0);
}

// ---- Sorting and loading ----

void TTextExprForm::xSortedClick(vcl::TObject* /*Sender*/) {
    if (m_state.Drawn == 0) {
        return;
    }
    m_sorter.SetShowDeleteMark(false);
    // Unsorted is the document's order: the sort by expression number restores it.
    SortTextExpressions(m_sorter, !xSorted->Checked());
    ClearRowHeights();
    m_state.LastFilterKey = -2;
    Relayout(0);
}

void TTextExprForm::xOptionsClick(vcl::TObject* /*Sender*/) {
    m_sorter.SetShowDeleteMark(false);
    m_sorter.ShowModal();
    if (xSorted->Checked()) {
        SortTextExpressions(m_sorter, false);
        ClearRowHeights();
        m_state.LastFilterKey = -2;
        Relayout(0);
    }
}

void TTextExprForm::UpdateBtnClick(vcl::TObject* /*Sender*/) {
    if (!ConfirmDiscard()) {
        return;
    }
    TTextExpressions& table = TextExpressionTable();
    table.LoadFromDocument();
    m_state.ChangedCount = 0;
    // The reloaded expressions are unchanged: the next change counts whichever it is.
    m_state.LastChangedIndex = -1;
    m_state.LastFilterKey = -2;
    m_sorter.SetShowDeleteMark(false);
    if (xSorted->Checked()) {
        SortTextExpressions(m_sorter, false);
    }
    if (xUsage->ItemIndex() != kUsageAny) {
        table.CountUsage();
    }
    ClearRowHeights();
    Relayout(0);
}

// ---- Buttons ----

bool TTextExprForm::ConfirmDiscard() {
    if (m_state.ChangedCount < 2) {
        return true;
    }
    return Ask(FreeText::YouMadeChangesMoreThan) == Answer::Yes;
}

void TTextExprForm::OkBtnClick(vcl::TObject* /*Sender*/) {
    m_state.Cancelled = 0;
    SetModalResult(vcl::mrOk);
}

void TTextExprForm::CancelBtnClick(vcl::TObject* /*Sender*/) {
    if (!ConfirmDiscard()) {
        SetModalResult(vcl::mrNone);
        return;
    }
    VxForm_SaveState(*this, "");
    if (m_state.ChangedCount > 0) {
        TextExpressionTable().SetStale(true);
    }
    m_state.Cancelled = 1;
    SetModalResult(vcl::mrCancel);
}

void TTextExprForm::HelpBtnClick(vcl::TObject* /*Sender*/) {
    ShowExplorerInfo();
}

// ---- German captions ----

void TTextExprForm::SetGermanCaptions() {
    SetCaption("Explorer für Vortragsbezeichnungen");
    xLarger->SetCaption("Größer");
    xSmaller->SetCaption("Kleiner");
    xShrinkToFit->SetCaption("einpassen");
    xTwoDim->SetCaption("zweidimensional");
    NewBtn->SetCaption("Neu");
    DuplicateBtn->SetCaption("Duplizieren");
    CancelBtn->SetCaption("Abbruch");
    HelpBtn->SetCaption("Hilfe");
    QuickMode->SetCaption("nur 1x laden");
    UpdateBtn->SetCaption("jetzt neu laden");
    dAllBtn->SetCaption("Alle");
    xAll->SetCaption("Alle");
    dOthers->SetCaption("weitere");
    dPlayback->SetCaption("Wiedergabe");
    dAllStyles->SetCaption("alle Stile");
    dFonts->SetCaption("Schriftart");
    DetailBox->SetCaption("Details:");
    xColCount->Items().Clear();
    for (int32_t n = 2; n <= 12; ++n) {
        xColCount->Items().Add(FormatText(FreeTextOf(FreeText::ColumnCount).german, {std::to_string(n)}));
    }
    xColCount->Items().Add("anpassen");
    xOptions->SetCaption("Einstellungen...");
    xSorted->SetCaption("sortiert");
    SortBox->SetCaption("Sofortsortierung");
    xCalcUsage->SetCaption("Verw. berechnen");
    xUsage->SetCaption("Verwendung");
    const char* usage[] = {"verwendet", "nicht verwendet", ">=           x", "1 bis", "egal"};
    for (int32_t i = 0; i < xUsage->Items().Count() && i < 5; ++i) {
        xUsage->Items().SetStrings(i, usage[i]);
    }
    xSearch->SetCaption("suchen:");
    xPlayback->SetCaption("nur Wiederg. efx");
    xMeta->SetCaption("nur Tastaturkürzel");
    xTextual->SetCaption("Text");
    xMusical->SetCaption("Musik");
    ShowBox->SetCaption("anzeigen:");
    xSearchText->Items().SetStrings(6, "(leere Bezeichnungen)");
}

// ---- The command ----

int32_t RunTextExpressionExplorer() {
    std::unique_ptr<TTextExprSorter> sorter(vcl::Create<TTextExprSorter>(nullptr));
    {
        std::unique_ptr<TTextExprForm> explorer(vcl::Create<TTextExprForm>(nullptr, *sorter));
        explorer->ShowModal();
    }
    return TextExpressionTable().Written() ? 1 : 0;
}

}  // namespace orvex
