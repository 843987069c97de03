#include "forms/copies.h"

#include <algorithm>
#include <cctype>

#include "core/free_texts.h"
#include "core/messages.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "forms/designed.h"
#include "forms/file_controls.h"
#include "forms/printfiles.h"
#include "platform/vcl/registry.h"

namespace orvex {
namespace {

constexpr int32_t kRuleSlots = 49;
constexpr int32_t kRuleRows = 100;  ///< the header and 99 rules

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    return upper;
}

/// A copies text as a number; one that is not a number reads as 1 copy, as Go! reads it.
int32_t CopiesOrOne(const std::string& text) {
    int32_t value = 0;
    return vcl::ParseWholeNumber(text, value) ? value : 1;
}

/// The stored text of a rule-set slot; "" when the slot is free (or holds no text).
std::string ReadSlot(vcl::TRegistry& registry, int32_t slot) {
    try {
        return registry.ReadString(RuleSlotName(slot));
    } catch (const vcl::ERegistryException&) {
        return {};
    }
}

bool OpenRuleKey(vcl::TRegistry& registry) {
    try {
        return registry.OpenKey(kSettingsKey, true);
    } catch (const vcl::ERegistryException&) {
        return false;
    }
}

void SetHeader(TStringGrid& grid, const char* first, const char* second) {
    grid.SetCells(0, 0, first);
    grid.SetCells(1, 0, second);
}

void SetColumnWidths(TStringGrid& grid, int32_t first, int32_t second, int32_t whole) {
    const int32_t width = grid.Width() - 4;
    grid.SetColWidths(0, width * first / whole);
    grid.SetColWidths(1, width * second / whole);
}

}  // namespace

// ---- TStringGrid ----

TStringGrid::TStringGrid(vcl::TComponent* owner) : vcl::TDrawGrid(owner) {}

std::string TStringGrid::Cells(int32_t col, int32_t row) const {
    const auto it = m_cells.find({col, row});
    return it == m_cells.end() ? std::string() : it->second;
}

void TStringGrid::SetCells(int32_t col, int32_t row, std::string_view text) {
    if (text.empty()) {
        m_cells.erase({col, row});
    } else {
        m_cells[{col, row}] = std::string(text);
    }
    InvalidateCell(col, row);
}

std::string TStringGrid::ValueText() const {
    return std::to_string(RowCount()) + " rows";
}

std::vector<std::string> TStringGrid::DetailLines() const {
    int32_t last = -1;
    for (const auto& [cell, text] : m_cells) {
        if (cell.second < RowCount() && cell.first < ColCount()) {
            last = std::max(last, cell.second);
        }
    }
    std::vector<std::string> lines;
    for (int32_t row = 0; row <= last; ++row) {
        std::string line;
        for (int32_t col = 0; col < ColCount(); ++col) {
            line += (col == 0 ? "" : " | ") + Cells(col, row);
        }
        lines.push_back(line);
    }
    return lines;
}

std::string TStringGrid::UserSet(std::string_view value) {
    const size_t equals = value.find('=');
    const std::string refused = vcl::TDrawGrid::UserSet(value.substr(0, equals));
    if (!refused.empty() || equals == std::string_view::npos) {
        return refused;
    }
    if (!m_editing) {
        return "the cell cannot be edited";
    }
    SetCells(Col(), Row(), value.substr(equals + 1));
    return "";
}

// ---- Rule sets ----

std::string RuleSlotName(int32_t slot) {
    return "Rule#" + std::to_string(slot);
}

std::vector<std::pair<std::string, std::string>> ReadRulePairs(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t at = text.find(':');
    while (at != std::string_view::npos && pairs.size() < static_cast<size_t>(kRuleRows - 1)) {
        const size_t end = text.find(':', at + 1);
        const std::string_view pair = text.substr(at + 1, end == std::string_view::npos ? end : end - at - 1);
        const size_t comma = pair.find(',');
        if (comma == std::string_view::npos) {
            break;  // not a pair the form wrote
        }
        pairs.emplace_back(pair.substr(0, comma), pair.substr(comma + 1));
        at = end;
    }
    return pairs;
}

// ---- TfmCopies ----

TfmCopies::TfmCopies(vcl::TComponent* owner) : VxForm(owner) {
    SetName("fmCopies");
    SetCaption("Specify number of copies to print");
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(460);
    SetClientHeight(436);

    pnMain = Designed(this, new vcl::TPanel(this), "Panel1", 0, 0, 452, 431);
    sgCopies = Designed(pnMain, new TStringGrid(this), "sgCopies", 8, 8, 436, 145);
    sgCopies->SetColCount(2);
    sgCopies->SetFixedCols(0);
    sgCopies->SetRowCount(2);
    lbRulesHeading = Designed(pnMain, new vcl::TLabel(this), "Label1", 8, 162, 160, 13);
    lbRulesHeading->SetCaption("How many copies ... ?");
    sgRules = Designed(pnMain, new TStringGrid(this), "sgRules", 8, 180, 436, 145);
    sgRules->SetColCount(2);
    sgRules->SetFixedCols(0);
    sgRules->SetRowCount(kRuleRows);
    sgRules->SetEditing(true);
    btApply = DesignedButton(pnMain, this, "btApply", "&Apply", 8, 332, 75);
    OkBtn = DesignedButton(pnMain, this, "OkBtn", "Go!", 8, 398, 75);
    OkBtn->SetModalResult(vcl::mrOk);
    OkBtn->SetDefault(true);
    btCancel = DesignedButton(pnMain, this, "btCancel", "Cancel", 91, 398, 75);
    btCancel->SetCancel(true);
    lbRuleSet = Designed(pnMain, new vcl::TLabel(this), "Label2", 8, 370, 64, 13);
    lbRuleSet->SetCaption("Set of rules:");
    btSave = DesignedButton(pnMain, this, "btSave", "&Save", 236, 365, 49);
    cbRules = Designed(pnMain, new vcl::TComboBox(this), "cbRules", 80, 366, 150, 21);
    btDelete = DesignedButton(pnMain, this, "btDelete", "&Delete", 291, 365, 49);
    btClear = DesignedButton(pnMain, this, "btClear", "&Clear", 346, 365, 49);
    // Tab goes as the user reads: the rule set's line before the Go! line below it.
    TabInOrder({sgCopies, sgRules, btApply, cbRules, btSave, btDelete, btClear, OkBtn});

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
    OnCanResize = [this](vcl::TObject* sender, int32_t& width, int32_t& height, bool& resize) {
        FormCanResize(sender, width, height, resize);
    };
    OnResize = [this](vcl::TObject* sender) { FormResize(sender); };
    sgCopies->OnSelectCell = [this](vcl::TObject* sender, int32_t col, int32_t row, bool& canSelect) {
        sgCopiesSelectCell(sender, col, row, canSelect);
    };
    btApply->OnClick = [this](vcl::TObject* sender) { btApplyClick(sender); };
    cbRules->OnChange = [this](vcl::TObject* sender) { cbRulesChange(sender); };
    btSave->OnClick = [this](vcl::TObject* sender) { btSaveClick(sender); };
    btDelete->OnClick = [this](vcl::TObject* sender) { btDeleteClick(sender); };
    btClear->OnClick = [this](vcl::TObject* sender) { btClearClick(sender); };
    OkBtn->OnClick = [this](vcl::TObject* sender) { OkBtnClick(sender); };
    btCancel->OnClick = [this](vcl::TObject* sender) { btCancelClick(sender); };
}

void TfmCopies::FormShow(vcl::TObject* /*Sender*/) {
    SetOwnerWindow(DispatcherEnvironment().HostWindow());
    pnMain->SetBounds(pnMain->Left(), pnMain->Top(), ClientWidth() - 8 - pnMain->Left(),
                      ClientHeight() - 5 - pnMain->Top());
    SetHeader(*sgCopies, "File", "Copies");
    SetColumnWidths(*sgCopies, 130, 40, 170);
    std::vector<std::string> files;
    if (PrintForm != nullptr) {
        const TFileListBox& list = *PrintForm->ListBox;
        for (int32_t i = 0; i < list.Items().Count(); ++i) {
            if (list.Selected(i)) {
                files.push_back(list.Items()[i]);
            }
        }
    }
    const std::string copies = std::to_string(PrintForm != nullptr ? CopiesOrOne(PrintForm->edCopies->Text()) : 1);
    sgCopies->SetRowCount(static_cast<int32_t>(files.size()) + 1);
    sgCopies->SetFixedRows(std::min(1, sgCopies->RowCount() - 1));
    for (int32_t row = 1; row <= static_cast<int32_t>(files.size()); ++row) {
        sgCopies->SetCells(0, row, files[static_cast<size_t>(row - 1)]);
        sgCopies->SetCells(1, row, copies);
    }
    SetHeader(*sgRules, "Look for", "Copies");
    SetColumnWidths(*sgRules, 130, 40, 170);
    cbRules->Items().Clear();
    vcl::TRegistry registry;
    if (OpenRuleKey(registry)) {
        for (int32_t slot = 1; slot <= kRuleSlots; ++slot) {
            if (registry.ValueExists(RuleSlotName(slot))) {
                const std::string text = ReadSlot(registry, slot);
                cbRules->Items().Add(text.substr(0, text.find(':')));
            }
        }
    }
}

void TfmCopies::sgCopiesSelectCell(vcl::TObject* /*Sender*/, int32_t ACol, int32_t /*ARow*/, bool& CanSelect) {
    sgCopies->SetEditing(ACol == 1);
    CanSelect = true;
}

void TfmCopies::btApplyClick(vcl::TObject* /*Sender*/) {
    for (int32_t file = 1; file < sgCopies->RowCount(); ++file) {
        const std::string name = Upper(sgCopies->Cells(0, file));
        for (int32_t rule = 1; rule < sgRules->RowCount(); ++rule) {
            const std::string lookFor = Upper(sgRules->Cells(0, rule));
            if (!lookFor.empty() && name.find(lookFor) != std::string::npos) {
                sgCopies->SetCells(1, file, sgRules->Cells(1, rule));
            }
        }
    }
}

void TfmCopies::cbRulesChange(vcl::TObject* /*Sender*/) {
    const std::string prefix = cbRules->Text() + ":";
    vcl::TRegistry registry;
    if (!OpenRuleKey(registry)) {
        return;
    }
    for (int32_t slot = 1; slot <= kRuleSlots; ++slot) {
        const std::string text = ReadSlot(registry, slot);
        if (!text.starts_with(prefix)) {
            continue;
        }
        ClearRuleRows();
        sgRules->SetRowCount(1);
        for (const auto& [lookFor, copies] : ReadRulePairs(text)) {
            const int32_t row = sgRules->RowCount();
            sgRules->SetRowCount(row + 1);
            sgRules->SetCells(0, row, lookFor);
            sgRules->SetCells(1, row, copies);
        }
        sgRules->SetRowCount(kRuleRows);
        sgRules->SetFixedRows(1);
        return;
    }
}

std::string TfmCopies::RuleSetText(const std::string& name) const {
    std::string text = name;
    for (int32_t row = 1; row < kRuleRows; ++row) {
        text += ":" + sgRules->Cells(0, row) + "," + sgRules->Cells(1, row);
    }
    return text;
}

std::vector<int32_t> TfmCopies::SlotsNamed(const std::string& name) const {
    std::vector<int32_t> slots;
    vcl::TRegistry registry;
    if (OpenRuleKey(registry)) {
        for (int32_t slot = 1; slot <= kRuleSlots; ++slot) {
            if (ReadSlot(registry, slot).starts_with(name + ":")) {
                slots.push_back(slot);
            }
        }
    }
    return slots;
}

void TfmCopies::btSaveClick(vcl::TObject* /*Sender*/) {
    const std::string name = cbRules->Text();
    // ":" ends the name and each rule in the stored text and "," parts a rule's two texts: a set
    // holding either could no longer be read back, so it is not saved.
    const auto unreadable = [](const std::string& text) { return text.find_first_of(":,") != std::string::npos; };
    bool refused = unreadable(name);
    for (int32_t row = 1; row < kRuleRows && !refused; ++row) {
        refused = unreadable(sgRules->Cells(0, row)) || unreadable(sgRules->Cells(1, row));
    }
    if (refused) {
        ShowMessage(FreeText::NameSetRulesAndIts);
        return;
    }
    vcl::TRegistry registry;
    if (!OpenRuleKey(registry)) {
        return;
    }
    const std::vector<int32_t> named = SlotsNamed(name);
    int32_t slot = named.empty() ? 0 : named.front();
    if (slot == 0) {
        for (int32_t free = 1; free <= kRuleSlots && slot == 0; ++free) {
            if (!registry.ValueExists(RuleSlotName(free))) {
                slot = free;
            }
        }
        if (slot == 0) {
            ShowMessage(FreeText::All49PlacesForSets);
            return;
        }
        cbRules->Items().Add(name);
    }
    try {
        registry.WriteString(RuleSlotName(slot), RuleSetText(name));
    } catch (const vcl::ERegistryException&) {
        // Not saved: the set stays in the grid.
    }
}

void TfmCopies::btDeleteClick(vcl::TObject* /*Sender*/) {
    const std::string name = cbRules->Text();
    vcl::TRegistry registry;
    if (OpenRuleKey(registry)) {
        for (int32_t slot : SlotsNamed(name)) {
            registry.DeleteValue(RuleSlotName(slot));
        }
    }
    for (int32_t index = cbRules->Items().IndexOf(name); index >= 0; index = cbRules->Items().IndexOf(name)) {
        cbRules->Items().Delete(index);
    }
    cbRules->SetText("");
}

void TfmCopies::ClearRuleRows() {
    for (int32_t row = 1; row < kRuleRows; ++row) {
        sgRules->SetCells(0, row, "");
        sgRules->SetCells(1, row, "");
    }
}

void TfmCopies::btClearClick(vcl::TObject* /*Sender*/) {
    ClearRuleRows();
    cbRules->SetText("");
}

void TfmCopies::OkBtnClick(vcl::TObject* /*Sender*/) {
    GoFlag = 1;
    // Shown modally, the form ends with its Go! button's result, OK; closing it would answer
    // Cancel.
    if (Modal()) {
        SetModalResult(vcl::mrOk);
    } else {
        Close();
    }
}

void TfmCopies::btCancelClick(vcl::TObject* /*Sender*/) {
    GoFlag = 0;
    Close();
}

void TfmCopies::FormResize(vcl::TObject* /*Sender*/) {
    SetColumnWidths(*sgCopies, 130, 40, 170);
    SetColumnWidths(*sgRules, 100, 40, 140);
}

void TfmCopies::FormCanResize(vcl::TObject* /*Sender*/, int32_t& NewWidth, int32_t& NewHeight, bool& Resize) {
    NewWidth = std::max(NewWidth, 9 * btDelete->Width());
    NewHeight = std::max(NewHeight, 12 * btDelete->Height());
    Resize = true;
}

int32_t TfmCopies::CopiesOf(std::string_view fileName) const {
    for (int32_t row = 1; row < sgCopies->RowCount(); ++row) {
        if (sgCopies->Cells(0, row) == fileName) {
            return CopiesOrOne(sgCopies->Cells(1, row));
        }
    }
    return -1;
}

}  // namespace orvex
