// TStaffListManager, the staff list manager (menu command 3, "Vx Staff &List Manager..."): a
// modal form that shows the kernel as a check list, one row per score staff (checked = shown in
// the system), with a column of distance edits beside it. The user edits visibility and
// positions, moves between systems by system, page or measure number, resets or re-optimizes a
// system, scales positions, copies optimizations between systems, has the document redrawn, and
// searches for optimization errors. The form is created on first use and kept until the plug-in
// is unloaded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/option_element.h"
#include "forms/vxform.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "tools/layout/stafflist.h"

namespace orvex {

/// The check list of the staves. It keeps the row shown at its top: a row the user picks or
/// ticks is scrolled into view first, as the user would scroll to reach it.
class TStaffCheckListBox : public vcl::TCheckListBox {
public:
    explicit TStaffCheckListBox(vcl::TComponent* owner) : vcl::TCheckListBox(owner) {}

    int32_t TopIndex() const { return m_topIndex; }
    void SetTopIndex(int32_t index);
    /// The height of a row: a line of the list's font.
    int32_t ItemHeight() const;
    /// The rows the list shows at once.
    int32_t VisibleRows() const;
    void MakeVisible(int32_t index);

    std::string UserSet(std::string_view value) override;

protected:
    void ItemsChanged(vcl::TStrings::Change change, int32_t index) override;

private:
    int32_t m_topIndex = 0;
};

class TStaffListManager : public VxForm {
public:
    /// The most distance edits the form makes.
    static constexpr int32_t kMaxEdits = 200;
    static constexpr int32_t kMinWidth = 652;
    static constexpr int32_t kMinHeight = 272;
    static constexpr const char* kHeightValue = "StaffListManagerHeight";

    explicit TStaffListManager(vcl::TComponent* owner);
    ~TStaffListManager() override;

    TSLMKernel Kernel;

    // ---- Designed controls ----
    vcl::TPanel* PosiPanel;
    vcl::TLabel* positions;
    vcl::TEdit* dist1;
    TStaffCheckListBox* StaffListBox;
    vcl::TLabel* OnPage;
    vcl::TEdit* PgNum;
    vcl::TUpDown* PgUpDown;
    vcl::TLabel* SysDesc;
    vcl::TEdit* SysNum;
    vcl::TUpDown* SysUpDown;
    vcl::TLabel* MeasTxt;
    vcl::TEdit* Measure;
    vcl::TUpDown* MeasureUpDown;
    vcl::TStaticText* MeasTo;
    vcl::TCheckBox* relative;
    vcl::TButton* Revert;
    vcl::TButton* ReOptimize;
    vcl::TButton* Reset;
    vcl::TButton* SpaceBtn;
    vcl::TButton* CopyFrom;
    vcl::TButton* CopyTo;
    vcl::TButton* FindErrorBtn;
    vcl::TButton* RedispBtn;
    vcl::TBitBtn* StaffListOk;
    vcl::TBitBtn* StaffListCancel;
    vcl::TTimer* Timer;  ///< runs while the form shows

    /// The system the form shows when it is next shown (a caller's start value); below 0 none.
    void SetStartValue(int32_t system) { Kernel.PendingSystem = system; }

    // ---- Handlers ----
    void FormShow(vcl::TObject* Sender);
    /// Keeps the form at least kMinWidth x kMinHeight, remembers the height and moves the controls
    /// with the new size; the form runs it before every change of its size.
    void FormCanResize(vcl::TObject* Sender, int32_t& NewWidth, int32_t& NewHeight, bool& Resize);
    void SysNumChange(vcl::TObject* Sender);
    void PgNumChange(vcl::TObject* Sender);
    void MeasureChange(vcl::TObject* Sender);
    void SysUpDownMouseUp(vcl::TObject* Sender);
    void PgUpDownMouseUp(vcl::TObject* Sender);
    void MeasureUpDownMouseUp(vcl::TObject* Sender);
    void StaffListBoxClickCheck(vcl::TObject* Sender);
    void relativeClick(vcl::TObject* Sender);
    /// Before the display mode changes: the edits as shown go into the kernel's lists.
    void relativeMouseDown(vcl::TObject* Sender);
    void StaffListOkClick(vcl::TObject* Sender);
    void StaffListCancelClick(vcl::TObject* Sender);
    void RevertClick(vcl::TObject* Sender);
    void ResetClick(vcl::TObject* Sender);
    void ReOptimizeClick(vcl::TObject* Sender);
    void SpaceBtnClick(vcl::TObject* Sender);
    void CopyFromClick(vcl::TObject* Sender);
    void CopyToClick(vcl::TObject* Sender);
    void FindErrorBtnClick(vcl::TObject* Sender);
    void RedispBtnClick(vcl::TObject* Sender);
    void TimerTimer(vcl::TObject* Sender);

    int32_t EditCount() const { return static_cast<int32_t>(m_edits.size()); }
    vcl::TEdit* Edit(int32_t r) const { return m_edits.at(static_cast<size_t>(r)); }
    int32_t TickCount() const { return m_ticks; }

    void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
    void AfterConstruction() override;

private:
    /// Loads SlmCurrentSystem into the kernel and the list (re-read from the document or not).
    void LoadIntoForm(bool reread);
    /// Refreshes the distance edits when the list's top row changed since they were filled.
    void RefreshEdits(bool checking);
    /// The edits as shown go into the kernel's positions (and visible flags); with `apply` the
    /// kernel then applies them (saving them without `keep`). False when the kernel refused the
    /// save (a system left without staves).
    bool ReadBackEdits(bool keep, bool apply);
    /// The row the edits show at their top (the list's top row before they show any): edits are
    /// read back against the rows they show, also after the list scrolled.
    int32_t ShownTop() const;
    /// Applies a change of the form's size to the controls (the list and the controls below it).
    void MoveControls(int32_t dh, int32_t dw);
    /// Adds edits while the last leaves room for another in the list, or removes trailing ones
    /// (never the first) while the last reaches the list's bottom edge, reading the edits back
    /// first with `readBack`. Answers whether it did either.
    bool FitEdits(bool readBack);
    void AddEdit();
    void RemoveEditsAfterFirst();
    void ShowNumber(vcl::TEdit* edit, vcl::TUpDown* upDown, const std::string& text);
    /// Runs tool 14 or 16 in a fresh context through its options dialog (with values given).
    void RunToolFromForm(int32_t item, const OptionArray* values);
    void RunCopy(int32_t from, int32_t first, int32_t last, int32_t sameStaves, int32_t unoptimized);
    void ApplyGermanCaptions();
    void FitToScreen();

    std::vector<vcl::TEdit*> m_edits;
    int32_t m_lastTop = -1;   ///< the list's top row at the last refresh; -1 asks for a refresh
    int32_t m_editsTop = -1;  ///< the row the edits show at their top, -1 before they show any
    bool m_shown = false;
    bool m_relativeShown = true;  ///< the edits show gaps (else positions)
    int32_t m_ticks = 0;
    bool m_ready = false;  ///< constructed: size changes move the controls
};

}  // namespace orvex
