#include "expressions/txtexprsorter.h"

#include <algorithm>
#include <array>
#include <memory>

#include "core/free_texts.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "expressions/txtexpr.h"
#include "forms/designed.h"
#include "platform/vcl/forms.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

constexpr int32_t kFitStep = 5;
constexpr int32_t kFitMargin = 5;
constexpr int32_t kFitSlack = 14;
/// A priority that is not a number never matches a place in the sort key.
constexpr int32_t kNoPriority = 4;
constexpr int32_t kMessageSortFinished = 6;

vcl::TLabel* DesignedLabel(vcl::TWinControl* parent, vcl::TComponent* owner, const char* name, const char* caption,
                           int32_t left, int32_t top, int32_t width, int32_t height) {
    auto* label = Designed(parent, new vcl::TLabel(owner), name, left, top, width, height);
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetCaption(caption);
    return label;
}

vcl::TCheckBox* DesignedCheckBox(vcl::TWinControl* parent, vcl::TComponent* owner, const char* name,
                                 const char* caption, int32_t left, int32_t top, int32_t width, bool checked) {
    auto* box = Designed(parent, new vcl::TCheckBox(owner), name, left, top, width, 17);
    box->SetCaption(caption);
    box->SetChecked(checked);
    return box;
}

/// A priority edit with its up-down buttons (from 0).
vcl::TEdit* PriorityEdit(vcl::TWinControl* parent, vcl::TComponent* owner, const char* name, const char* upDownName,
                         int32_t left, int32_t value, vcl::TUpDown*& upDown) {
    auto* edit = Designed(parent, new vcl::TEdit(owner), name, left, 44, 33, 21);
    edit->SetText(std::to_string(value));
    upDown = Designed(parent, new vcl::TUpDown(owner), upDownName, left + 33, 44, 16, 21);
    upDown->SetMin(0);
    upDown->SetMax(3);
    upDown->SetPosition(value);
    upDown->SetAssociate(edit);
    return edit;
}

/// The edit's text as a whole number, `fallback` when it is not one.
int32_t NumberOf(const vcl::TEdit& edit, int32_t fallback) {
    int32_t value = 0;
    return vcl::ParseWholeNumber(edit.Text(), value) ? value : fallback;
}

}  // namespace

// ---- The form ----

TTextExprSorter::TTextExprSorter(vcl::TComponent* owner) : VxForm(owner) {
    SetName("TextExprSorter");
    SetCaption("Text Expression Sorter");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(625);
    SetClientHeight(290);

    Info = DesignedLabel(this, this, "Info", "This plug-in will sort your list of text expressions.", 8, 8, 609, 17);
    MusicFontsInfo =
        DesignedLabel(this, this, "Label5",
                      "Expressions using the following music fonts will automatically be sorted into separate "
                      "sections: Petrucci, Tamburo,  Engraver Fonts, Anastasia, Opus, Susato, Sonata.",
                      8, 32, 609, 30);
    FontSections = Designed(this, new vcl::TGroupBox(this), "GroupBox1", 8, 68, 609, 100);
    FontSections->SetCaption("sort into separate sections for different font types");
    CriteriaLabel = DesignedLabel(FontSections, this, "Label4", "criteria:", 12, 20, 64, 13);
    SepFamilies = DesignedCheckBox(FontSections, this, "SepFamilies", "families", 80, 18, 100, false);
    SepSizes = DesignedCheckBox(FontSections, this, "SepSizes", "sizes", 190, 18, 100, false);
    SepStyles = DesignedCheckBox(FontSections, this, "SepStyles", "styles", 300, 18, 100, false);
    PrioritiesLabel = DesignedLabel(FontSections, this, "Label3", "priorities:", 12, 48, 64, 13);
    FamPriority = PriorityEdit(FontSections, this, "FamPriority", "UpDown1", 80, 1, FamUpDown);
    SizePriority = PriorityEdit(FontSections, this, "SizePriority", "UpDown2", 190, 2, SizeUpDown);
    StylePriority = PriorityEdit(FontSections, this, "StylePriority", "UpDown3", 300, 3, StyleUpDown);
    AddFontsLabel =
        DesignedLabel(FontSections, this, "Label1", "additional music fonts (separate with comma):", 12, 74, 280, 13);
    AddFonts = Designed(FontSections, new vcl::TEdit(this), "AddFonts", 300, 70, 297, 21);
    MusicFontsFirst =
        DesignedCheckBox(this, this, "MusicFontsFirst", "expressions with music fonts first", 8, 176, 300, true);
    DoSortMusical =
        DesignedCheckBox(this, this, "DoSortMusical", "sort expressions with music fonts", 316, 176, 300, true);
    EmptyStick = DesignedCheckBox(this, this, "EmptyStick", "empty expressions stick to their preceding neighbor", 8,
                                  200, 300, true);
    CaseSens = DesignedCheckBox(this, this, "CaseSens", "case-sensitive sorting", 316, 200, 300, false);
    DeleteUnused = DesignedCheckBox(this, this, "DeleteUnused", "delete unused ones", 8, 224, 300, false);
    NoSorting = DesignedCheckBox(this, this, "NoSorting", "delete only, do not sort", 316, 224, 300, false);
    DefaultsBtn = DesignedButton(this, this, "DefaultsBtn", "&Defaults", 8, 256);
    TxtSortGoBtn = DesignedButton(this, this, "TxtSortGoBtn", "&Go!", 462, 256);
    TxtSortGoBtn->SetModalResult(vcl::mrOk);
    TxtSortGoBtn->SetDefault(true);
    CancelBtn = DesignedButton(this, this, "CancelBtn", "&Cancel", 542, 256);
    CancelBtn->SetModalResult(vcl::mrCancel);
    CancelBtn->SetCancel(true);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    TxtSortGoBtn->OnClick = [this](vcl::TObject* sender) { TxtSortGoBtnClick(sender); };
    DefaultsBtn->OnClick = [this](vcl::TObject* sender) { DefaultsBtnClick(sender); };
    FamPriority->OnChange = [this](vcl::TObject* sender) { FamPriorityChange(sender); };
    SizePriority->OnChange = [this](vcl::TObject* sender) { SizePriorityChange(sender); };
    StylePriority->OnChange = [this](vcl::TObject* sender) { StylePriorityChange(sender); };
    for (vcl::TCheckBox* box : {SepFamilies, SepSizes, SepStyles}) {
        box->OnClick = [this](vcl::TObject* sender) { visibilities(sender); };
    }
    DeleteUnused->OnClick = [this](vcl::TObject* sender) { DeleteUnusedClick(sender); };

    m_showDelete = 1;
    FitToContents();
}

void TTextExprSorter::FitToContents() {
    const vcl::TRect text = MusicFontsInfo->BoundsRect();
    const vcl::TRect go = TxtSortGoBtn->BoundsRect();
    while (ClientWidth() - kFitMargin < text.Right && Width() < vcl::Screen->Width()) {
        SetWidth(Width() + kFitStep);
    }
    while (ClientHeight() - kFitMargin < go.Bottom && Height() < vcl::Screen->Height()) {
        SetHeight(Height() + kFitStep);
    }
    while (ClientWidth() - kFitSlack > text.Right) {
        SetWidth(Width() - kFitStep);
    }
    while (ClientHeight() - kFitSlack > go.Bottom) {
        SetHeight(Height() - kFitStep);
    }
    if (vcl::Screen->Height() < Height()) {
        // The class library has no scrolling forms: the form is made as high as the screen.
        SetHeight(vcl::Screen->Height());
    }
}

void TTextExprSorter::ApplyGermanCaptions() {
    SetCaption("Vortragsbezeichnungen sortieren");
    MusicFontsInfo->SetCaption(
        "Bezeichnungen mit den folgenden Notensatzschriftarten werden automatisch in einen eigenen Abschnitt "
        "sortiert: Petrucci, Tamburo, Engraver, Anastasia, Opus, Susato, Sonata.");
    FontSections->SetCaption("eigene Abschnitte für verschiedene Schriftarten:");
    CriteriaLabel->SetCaption("Kriterien:");
    SepFamilies->SetCaption("Familie");
    SepSizes->SetCaption("Größe");
    SepStyles->SetCaption("Stile");
    PrioritiesLabel->SetCaption("Priorität");
    AddFontsLabel->SetCaption("weitere Notensatzschriften (mit Komma trennen)");
    MusicFontsFirst->SetCaption("Notensatzschrift-Abschnitte zuerst");
    DoSortMusical->SetCaption("Ausdrücke mit Notensatzschriften sortieren");
    EmptyStick->SetCaption("leere Bezeichnungen bleiben bei ihrem Vorgänger");
    CaseSens->SetCaption("Groß-/Kleinschreibung beachten");
    DeleteUnused->SetCaption("unbenutzte löschen");
    NoSorting->SetCaption("nur löschen, nicht sortieren");
    DefaultsBtn->SetCaption("Standard");
    CancelBtn->SetCaption("Abbruch");
}

void TTextExprSorter::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    // The remembered priorities are taken as they were saved, not moved one by one against the
    // ones still shown; then they are made whole once.
    m_adjusting = true;
    VxForm_LoadState(*this, false, StateSuffix());
    m_adjusting = false;
    NormalizePriorities();
    DeleteUnused->SetVisible(m_showDelete != 0);
    NoSorting->SetVisible(m_showDelete != 0);
    DeleteUnused->SetChecked(false);
    NoSorting->SetChecked(false);
    visibilities(this);
    const bool german = DispatcherEnvironment().Language() == 1;
    if (german) {
        ApplyGermanCaptions();
    }
    if (m_mode == kSorterApplyMode) {
        TxtSortGoBtn->SetCaption(german ? "Start" : "Go!");
        Info->SetCaption(german ? "Dieser Plug-In sortiert Ihre Vortragsbezeichnungen."
                                : "This plug-in will sort your text expressions.");
    } else {
        TxtSortGoBtn->SetCaption(german ? "Ok" : "save options");
        Info->SetCaption(german ? "Bitte wählen Sie die Einstellungen für die Sofortsortierung im Explorer für "
                                  "Vortragsbezeichnungen."
                                : "Please select the options for instantly sorted display in the Explorer for Text "
                                  "Expressions.");
    }
    SetCaption(Caption() + TheModule.process.VersionText);
}

void TTextExprSorter::visibilities(vcl::TObject* /*Sender*/) {
    const int32_t checked =
        (SepFamilies->Checked() ? 1 : 0) + (SepSizes->Checked() ? 1 : 0) + (SepStyles->Checked() ? 1 : 0);
    const bool more = checked >= 2;
    FamPriority->SetVisible(SepFamilies->Checked() && more);
    FamUpDown->SetVisible(SepFamilies->Checked() && more);
    SizePriority->SetVisible(SepSizes->Checked() && more);
    SizeUpDown->SetVisible(SepSizes->Checked() && more);
    StylePriority->SetVisible(SepStyles->Checked() && more);
    StyleUpDown->SetVisible(SepStyles->Checked() && more);
    PrioritiesLabel->SetVisible(more);
}

void TTextExprSorter::PriorityChanged(vcl::TEdit* changed) {
    if (m_adjusting) {
        return;
    }
    m_adjusting = true;
    for (vcl::TEdit* other : {FamPriority, SizePriority, StylePriority}) {
        if (other != changed && other->Text() == changed->Text()) {
            other->SetText("");
        }
    }
    m_adjusting = false;
    NormalizePriorities();
}

void TTextExprSorter::FamPriorityChange(vcl::TObject* /*Sender*/) {
    PriorityChanged(FamPriority);
}

void TTextExprSorter::SizePriorityChange(vcl::TObject* /*Sender*/) {
    PriorityChanged(SizePriority);
}

void TTextExprSorter::StylePriorityChange(vcl::TObject* /*Sender*/) {
    PriorityChanged(StylePriority);
}

void TTextExprSorter::NormalizePriorities() {
    if (m_adjusting) {
        return;
    }
    m_adjusting = true;
    const std::array<vcl::TEdit*, 3> edits = {FamPriority, SizePriority, StylePriority};
    std::array<int32_t, 3> values{};
    std::array<bool, 4> used{};
    for (size_t i = 0; i < edits.size(); ++i) {
        values[i] = NumberOf(*edits[i], 0);
        if (values[i] > 3) {
            // Typed above 3: it becomes 3, and another edit that holds 3 gives it up, as after
            // typing 3 itself, so that no two edits keep one priority.
            values[i] = 3;
            edits[i]->SetText("3");
            for (size_t j = 0; j < edits.size(); ++j) {
                if (j != i && NumberOf(*edits[j], 0) == 3) {
                    values[j] = 0;
                    edits[j]->SetText("");
                }
            }
        }
    }
    for (size_t i = 0; i < edits.size(); ++i) {
        if (values[i] >= 1 && values[i] <= 3) {
            used[static_cast<size_t>(values[i])] = true;
        }
    }
    for (int32_t p = 1; p <= 3; ++p) {
        if (used[static_cast<size_t>(p)]) {
            continue;
        }
        for (size_t i = 0; i < edits.size(); ++i) {
            if (values[i] == 0) {
                values[i] = p;
                edits[i]->SetText(std::to_string(p));
                break;
            }
        }
    }
    // The arrows step on from what the edits show.
    const std::array<vcl::TUpDown*, 3> upDowns = {FamUpDown, SizeUpDown, StyleUpDown};
    for (size_t i = 0; i < upDowns.size(); ++i) {
        int32_t shown = 0;
        if (vcl::ParseWholeNumber(edits[i]->Text(), shown) && shown >= upDowns[i]->Min() &&
            shown <= upDowns[i]->Max() && shown != upDowns[i]->Position()) {
            vcl::TWinControl* associate = upDowns[i]->Associate();
            upDowns[i]->SetAssociate(nullptr);
            upDowns[i]->SetPosition(shown);
            upDowns[i]->SetAssociate(associate);
        }
    }
    m_adjusting = false;
}

void TTextExprSorter::DeleteUnusedClick(vcl::TObject* /*Sender*/) {
    NoSorting->SetVisible(DeleteUnused->Checked());
    if (!DeleteUnused->Checked()) {
        NoSorting->SetChecked(false);
    }
}

void TTextExprSorter::DefaultsBtnClick(vcl::TObject* /*Sender*/) {
    VxForm_RestoreDefaults(*this);
    SetModalResult(vcl::mrNone);
}

void TTextExprSorter::TxtSortGoBtnClick(vcl::TObject* /*Sender*/) {
    VxForm_SaveState(*this, StateSuffix());
    const int32_t result = SortTextExpressions(*this, false);
    m_documentChanged = result == kSortRunChanged && m_mode == kSorterApplyMode;
    if (result == 0) {
        SetModalResult(vcl::mrNone);
    } else {
        SetModalResult(vcl::mrOk);
    }
}

void TTextExprSorter::ReadOptions() {
    TTextExpressions& table = TextExpressionTable();
    TSortOptions& options = table.Options();
    options.AdditionalFonts = win::Utf8ToAnsi(AddFonts->Text());
    options.EmptySticks = EmptyStick->Checked() ? 1 : 0;
    options.CaseFlag = CaseSens->Checked() ? 1 : 0;
    options.MusicFontsFirst = MusicFontsFirst->Checked() ? 1 : 0;
    options.SortMusicFonts = DoSortMusical->Checked() ? 1 : 0;
    options.SeparateFamilies = SepFamilies->Checked() ? 1 : 0;
    options.SeparateSizes = SepSizes->Checked() ? 1 : 0;
    options.SeparateStyles = SepStyles->Checked() ? 1 : 0;
    options.FamilyPriority = NumberOf(*FamPriority, kNoPriority);
    options.SizePriority = NumberOf(*SizePriority, kNoPriority);
    options.StylePriority = NumberOf(*StylePriority, kNoPriority);
    options.NumberOrder = 0;
    table.SortTables().Build(options.AdditionalFonts);
}

// ---- The sort run ----

int32_t SortTextExpressions(TTextExprSorter& form, bool numberOrder) {
    if (!form.ShowDeleteMark()) {
        form.DeleteUnused->SetChecked(false);
        form.DeleteUnused->SetVisible(false);
    }
    form.ReadOptions();
    TTextExpressions& table = TextExpressionTable();
    table.Options().NumberOrder = numberOrder ? 1 : 0;
    const bool apply = form.Mode() == kSorterApplyMode;
    if (apply) {
        table.LoadFromDocument();
    }
    if (!form.ShowDeleteMark()) {
        form.DeleteUnused->SetChecked(false);
    }
    const int32_t result = table.DeleteUnused(apply, form.DeleteUnused->Checked(), form.NoSorting->Checked());
    if (result == 0) {
        form.SetModalResult(vcl::mrNone);
    }
    return result;
}

int32_t TTextExpressions::DeleteUnused(bool writeBack, bool deleteUnused, bool noSorting) {
    if (writeBack && DispatcherEnvironment().WholeDocument().viewKey() != 0) {
        ShowMessage(FreeText::ChooseShowAllStavesIn);
        return 0;
    }
    if (writeBack && m_emptyMet != 0) {
        ShowMessage(FreeText::WarningThereAreEmptyText);
        return kSortRunUnchanged;
    }
    if (writeBack && deleteUnused) {
        m_records.resize(static_cast<size_t>(std::clamp(m_count, 0, Count())));  // no fillers of a sort
        if (!CountUsage()) {
            // The host stopped the count: with counts that are not whole nothing is deleted.
            ShowMessage(FreeText::CountUsedTextExpressionsWas);
            return 0;
        }
        const auto unused = std::count_if(m_records.begin(), m_records.end(),
                                          [](const auto& record) { return record->UsageCount == 0; });
        if (unused > 0) {
            if (Ask(FreeText::DeleteUnusedTextExpressions, {std::to_string(unused)}) != Answer::Yes) {
                return 0;
            }
            std::erase_if(m_records, [](const auto& record) { return record->UsageCount == 0; });
            m_count = Count();
        }
    }
    Sort(noSorting);
    if (writeBack) {
        ShowMessage({.id = kMessageSortFinished, .skippable = true});
        m_stale = 1;
        if (!RenumberDocument()) {
            ShowMessage(FreeText::RenumberingWasStoppedNothingIn);
            return kSortRunUnchanged;
        }
    }
    return kSortRunChanged;
}

int32_t RunTextExpressionSorter() {
    std::unique_ptr<TTextExprSorter> form(vcl::Create<TTextExprSorter>(nullptr));
    form->SetMode(kSorterApplyMode);
    // The host hears of a change only when the run rewrote the document.
    return form->ShowModal() == vcl::mrOk && form->DocumentChanged() ? 1 : 0;
}

bool RunSortTool(TFMisc& context) {
    TTextExpressions& table = TextExpressionTable();
    TSortOptions& options = table.Options();
    options.SeparateFamilies = RowOn(context.Options, SORT_SEPARATE_FAMILIES) ? 1 : 0;
    options.FamilyPriority = RowValue(context.Options, SORT_FAMILY_PRIORITY);
    options.SeparateSizes = RowOn(context.Options, SORT_SEPARATE_SIZES) ? 1 : 0;
    options.SizePriority = RowValue(context.Options, SORT_SIZE_PRIORITY);
    options.SeparateStyles = RowOn(context.Options, SORT_SEPARATE_STYLES) ? 1 : 0;
    options.StylePriority = RowValue(context.Options, SORT_STYLE_PRIORITY);
    options.MusicFontsFirst = RowOn(context.MoreOptions, SORT_MORE_MUSIC_FONTS_FIRST) ? 1 : 0;
    options.SortMusicFonts = RowOn(context.MoreOptions, SORT_MORE_SORT_MUSIC_FONTS) ? 1 : 0;
    options.EmptySticks = RowOn(context.MoreOptions, SORT_MORE_EMPTY_STICKS) ? 1 : 0;
    options.CaseFlag = RowOn(context.MoreOptions, SORT_MORE_CASE_SENSITIVE) ? 1 : 0;
    options.NumberOrder = 0;
    options.AdditionalFonts = win::Utf8ToAnsi(RowText(context.MoreOptions, SORT_MORE_MUSIC_FONTS));
    table.SortTables().Build(options.AdditionalFonts);
    table.LoadFromDocument();
    return table.DeleteUnused(true, RowOn(context.Options, SORT_DELETE_UNUSED),
                              RowOn(context.Options, SORT_DELETE_ONLY)) == kSortRunChanged;
}

}  // namespace orvex
