// The explorer for text expressions on a simulated host with one document: the form is made as
// the menu command makes it (with a sorter in options mode) and shown without blocking, so that
// a test can act on it as the user would, then closed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/module.h"
#include "core/options_store.h"
#include "expressions/txtexpleditor.h"
#include "expressions/txtexplgrid.h"
#include "expressions/txtexplorer.h"
#include "expressions/txtexpr.h"
#include "expressions/txtexprsorter.h"
#include "platform/vcl/registry.h"
#include "platform/win/keys.h"
#include "tests/expressions/expressions_fixture.h"

namespace exprtest {

/// Three expressions in "Arial" (font 2); "Times New Roman" is font 3. Expression 1 is bold with
/// metatool key 'A', expression 3 has the key 'B'. Expression 1 is placed twice, 2 once.
inline const char* const kExplorerScore = R"(
font 2 "Arial"
font 3 "Times New Roman"
staff "Flute"
measures 2
notes 1 1 c5/4 d5/4 e5/4 f5/4
expression 1 "dolce" font 2 style 1 metatool 65
expression 2 "pizz." font 2 size 10
expression 3 "arco" font 2 metatool 66
measureexpression 1 1
measureexpression 2 1
noteexpression 1 1:1 2
)";

class ExplorerTest : public ExpressionsTest {
protected:
    void SetUp() override {
        ExpressionsTest::SetUp();
        orvex::TheModule.options.ExplorerMetatoolKey = '1';
        SetInfoLevelKnown(true);
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_form.reset();
        m_sorter.reset();
        ExpressionsTest::TearDown();
    }

    static void SetInfoLevelKnown(bool known) {
        vcl::TRegistry registry;
        registry.OpenKey("Software\\HALVORAN", true);
        if (known) {
            registry.WriteString("InfoLevel", "1");
        } else {
            registry.DeleteValue("InfoLevel");
        }
    }

    /// Makes the explorer for the document in front.
    orvex::TTextExprForm& Make() {
        m_form.reset();
        m_sorter.reset(vcl::Create<orvex::TTextExprSorter>(nullptr));
        m_form.reset(vcl::Create<orvex::TTextExprForm>(nullptr, *m_sorter));
        return *m_form;
    }
    /// Opens the score and shows the explorer without blocking, in one or two dimensions.
    orvex::TTextExprForm& Show(const std::string& score, bool twoDimensional) {
        OpenScore(score);
        Make();
        m_form->Show();
        m_form->xTwoDim->SetChecked(twoDimensional);
        return *m_form;
    }
    /// The user closes the explorer with OK (or Cancel).
    void Close(bool ok) {
        if (ok) {
            m_form->OkBtnClick(m_form.get());
        } else {
            m_form->CancelBtnClick(m_form.get());
        }
        m_form->Close();
    }

    /// The grid column of a kind in the one-dimensional layout; -1 when it is not shown.
    int32_t ColumnOf(int32_t kind) const {
        const auto& kinds = m_form->State().ColumnKinds;
        for (int32_t col = 1; col < m_form->Grid->ColCount(); ++col) {
            if (kinds[static_cast<size_t>(col)] == kind) {
                return col;
            }
        }
        return -1;
    }
    orvex::TTxtExprRec& Record(int32_t position) { return orvex::TextExpressionTable().Item(position); }
    orvex::TGridEditor& Editor() { return m_form->GridEditor(); }
    /// The user types a text into the open in-place editor.
    void Type(const std::string& text) { Editor().Editor().SetText(text); }

    std::unique_ptr<orvex::TTextExprSorter> m_sorter;
    std::unique_ptr<orvex::TTextExprForm> m_form;
};

}  // namespace exprtest
