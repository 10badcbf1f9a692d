#include "dialogs/InputBox.h"
#include "dialogs/brmMsgDlg.h"
#include "dialogs/fmGenPW.h"
#include "dialogs/fmImport.h"
#include "dialogs/fmOpenPW.h"
#include "dialogs/fmSavePW.h"
#include "dialogs/fmSite.h"

#include "ModalDriver.h"
#include "model/brmPW.h"
#include "settings/brmState.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Presses Tab where the focus is until Target has it, as a user walks to a control.
void TabTo(QWidget& target)
{
    for (int step = 0; step < 30 && QApplication::focusWidget() != nullptr && QApplication::focusWidget() != &target;
         ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &target) << "Tab never reached " << target.objectName().toStdString();
}

void PressEnter()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

QPushButton& StandardButton(QWidget& box, QDialogButtonBox::StandardButton which)
{
    return *FindControl<QDialogButtonBox>(box, nullptr).button(which);
}

QPushButton& ButtonWithText(QWidget& box, const QString& text)
{
    for (QPushButton* button : box.findChildren<QPushButton*>()) {
        if (button->text() == text)
            return *button;
    }
    throw std::runtime_error("no button " + text.toStdString());
}

std::string Outcome(int result, const std::string& handedBack)
{
    return std::to_string(result) + " " + handedBack;
}

// One dialog with a default button: what a user enters, the control in which Enter
// is to press OK, the Cancel button, and the dialog's run, which tells its result and
// what the caller holds afterwards.
struct TDialogKeys {
    const char* dialog;
    std::function<void(QWidget&)> enter;
    std::function<QWidget&(QWidget&)> field;
    std::function<QWidget&(QWidget&)> cancel;
    std::function<std::string()> run;
    std::string cancelled;
    std::string confirmed;
};

std::vector<TDialogKeys> DialogsWithADefaultButton()
{
    return {
        { "site editor",
            [](QWidget& dialog) { FindControl<QLineEdit>(dialog, "edtUser").setText("ann"); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QLineEdit>(dialog, "edtUser"); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QPushButton>(dialog, "btnCancel"); },
            [] {
                TbrmPwRec rec;
                rec.SetLine("Mail=joe\tsecret\thttp://mail.example\t");
                const int result = ExecSite(rec);
                return Outcome(result, rec.UserName());
            },
            "2 joe", "1 ann" },
        { "archive password",
            [](QWidget& dialog) { FindControl<QLineEdit>(dialog, "edtPW").setText("new"); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QLineEdit>(dialog, "edtPW"); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QPushButton>(dialog, "btnCancel"); },
            [] {
                std::string password = "old";
                const int result = ExecOpenPW(password);
                return Outcome(result, password);
            },
            "2 old", "1 new" },
        { "new archive password",
            [](QWidget& dialog) {
                FindControl<QLineEdit>(dialog, "edtPW").setText("new");
                FindControl<QLineEdit>(dialog, "edtConfirm").setText("new");
            },
            [](QWidget& dialog) -> QWidget& { return FindControl<QLineEdit>(dialog, "edtConfirm"); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QPushButton>(dialog, "btnCancel"); },
            [] {
                std::string password = "old";
                const int result = ExecSavePW(password);
                return Outcome(result, password);
            },
            "2 old", "1 new" },
        { "generator",
            [](QWidget& dialog) { FindControl<QToolButton>(dialog, "spbGenPW").click(); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QLineEdit>(dialog, "edtPassword"); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QPushButton>(dialog, "btnCancel"); },
            [] {
                std::string password = "old";
                const int result = ExecGenPW(password);
                return Outcome(result, password == "old" ? "kept" : "generated");
            },
            "2 kept", "1 generated" },
        { "import selection",
            [](QWidget& dialog) {
                QListView& left = FindControl<QListView>(dialog, "lbxFromArchive");
                left.setCurrentIndex(left.model()->index(0, 0));
                FindControl<QPushButton>(dialog, "btnAdd").click();
            },
            [](QWidget& dialog) -> QWidget& { return FindControl<QListView>(dialog, "lbxCopyItems"); },
            [](QWidget& dialog) -> QWidget& { return FindControl<QPushButton>(dialog, "btnCancel"); },
            [] {
                TbrmPwList list;
                for (const char* line : { "beta=u\tp\t\t", "Alpha=u\tp\t\t", "gamma=u\tp\t\t" })
                    list.Add(line);
                const int result = ExecImport(list);
                return Outcome(result, std::to_string(list.Count()) + " sites");
            },
            "2 3 sites", "1 1 sites" },
        { "input box",
            [](QWidget& box) { FindControl<QLineEdit>(box, nullptr).setText("new"); },
            [](QWidget& box) -> QWidget& { return FindControl<QLineEdit>(box, nullptr); },
            [](QWidget& box) -> QWidget& { return StandardButton(box, QDialogButtonBox::Cancel); },
            [] {
                std::string value = "old";
                const bool confirmed = InputBox("Enter a name for the shortcut", "Shortcut name", 255, value);
                return Outcome(confirmed ? 1 : 2, value);
            },
            "2 old", "1 new" },
        { "question box",
            [](QWidget&) {},
            [](QWidget& box) -> QWidget& { return ButtonWithText(box, "&Yes"); },
            [](QWidget& box) -> QWidget& { return ButtonWithText(box, "&No"); },
            [] { return MsgDlg().QueryYes("Save changes?") ? std::string("Yes") : std::string("No"); },
            "No", "Yes" },
    };
}

class DialogKeys : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* placement : { "TfrmSite", "TfrmGenPW", "TfrmImport" })
            State().SetValues(placement, "");
    }
};

TEST_F(DialogKeys, EnterPressesTheFocusedButtonAndOkOnlyWhileNoOtherButtonHasTheFocus)
{
    for (const TDialogKeys& keys : DialogsWithADefaultButton()) {
        SCOPED_TRACE(keys.dialog);
        WhenModalActive([&keys](QWidget* dialog) {
            keys.enter(*dialog);
            TabTo(keys.cancel(*dialog));
            PressEnter();
        });
        EXPECT_EQ(keys.run(), keys.cancelled) << "Enter on the focused Cancel";

        WhenModalActive([&keys](QWidget* dialog) {
            keys.enter(*dialog);
            TabTo(keys.cancel(*dialog));
            TabTo(keys.field(*dialog));
            PressEnter();
        });
        EXPECT_EQ(keys.run(), keys.confirmed) << "Enter once the focus has left Cancel again";
    }
}

TEST_F(DialogKeys, EnterOnAnImportButtonPressesItAndLeavesTheDialogOpen)
{
    TbrmPwList list;
    for (const char* line : { "beta=u\tp\t\t", "Alpha=u\tp\t\t", "gamma=u\tp\t\t" })
        list.Add(line);
    WhenModalActive([](QWidget* dialog) {
        TabTo(FindControl<QPushButton>(*dialog, "btnAddAll"));
        PressEnter();
        ASSERT_TRUE(dialog->isVisible());
        EXPECT_EQ(FindControl<QListView>(*dialog, "lbxCopyItems").model()->rowCount(), 3);
        TabTo(FindControl<QPushButton>(*dialog, "btnRemove"));
        EXPECT_FALSE(FindControl<QPushButton>(*dialog, "btnOK").isDefault()) << "the focused button is the default";
        TabTo(FindControl<QListView>(*dialog, "lbxFromArchive"));
        EXPECT_TRUE(FindControl<QPushButton>(*dialog, "btnOK").isDefault()) << "and OK once more after it";
        PressEnter();
    });
    EXPECT_EQ(ExecImport(list), 1);
    EXPECT_EQ(list.Count(), 3);
}

TEST_F(DialogKeys, EnterOnTheGeneratorsCheckBoxesAndLengthPressesOk)
{
    for (const char* control : { "cbxUpperCase", "speLength", "edtSpecial" }) {
        WhenModalActive([control](QWidget* dialog) {
            FindControl<QPushButton>(*dialog, "btnCancel").setFocus(Qt::TabFocusReason);
            TabTo(FindControl<QWidget>(*dialog, control));
            PressEnter();
        });
        std::string password;
        EXPECT_EQ(ExecGenPW(password), 1) << control;
    }
}

} // namespace
