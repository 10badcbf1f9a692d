#include "dialogs/fmOpenPW.h"
#include "dialogs/fmSavePW.h"

#include "ModalDriver.h"
#include "dialogs/brmMsgDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Types into the dialog's edits, then presses Key in the last edit typed into.
void WhenDialogShown(std::vector<std::pair<const char*, QString>> typed, Qt::Key key,
    std::function<void(QDialog&)> look = nullptr)
{
    WhenModalShown([typed = std::move(typed), key, look = std::move(look)](QWidget* modal) {
        auto* dialog = qobject_cast<QDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        if (look)
            look(*dialog);
        QLineEdit* last = dialog->findChild<QLineEdit*>("edtPW");
        for (const auto& [edit, text] : typed) {
            last = dialog->findChild<QLineEdit*>(edit);
            last->setText(text);
        }
        QTest::keyClick(last, key);
    });
}

class PasswordDialogs : public testing::Test {
protected:
    void SetUp() override { ScriptDialogs(&script); }
    void TearDown() override { ScriptDialogs(nullptr); }
    TScriptedDialogs script;
};

TEST_F(PasswordDialogs, OpenDialogHandsBackThePasswordAsTypedOnEnter)
{
    WhenDialogShown({ { "edtPW", "  spaced  " } }, Qt::Key_Return, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Password");
        EXPECT_EQ(dialog.size(), QSize(241, 117));
        EXPECT_EQ(dialog.findChild<QLabel*>("lblPW")->text(), "Enter password");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("edtPW")->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dialog.findChild<QLineEdit*>("edtPW")->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), '*');
        EXPECT_EQ(dialog.findChild<QLineEdit*>("edtPW")->text(), "") << "the old password is not shown";
        EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QLineEdit*>("edtPW"));
        EXPECT_EQ(dialog.findChild<QPushButton*>("btnOK")->geometry(), QRect(56, 72, 75, 25));
        EXPECT_EQ(dialog.findChild<QPushButton*>("btnCancel")->text(), "&Cancel");
    });
    std::string password = "old";
    EXPECT_EQ(ExecOpenPW(password), 1);
    EXPECT_EQ(password, "  spaced  ");
}

TEST_F(PasswordDialogs, EmptyOrMismatchedPasswordsWarnAndStayOpen)
{
    script.answers = { AnswerOk, AnswerOk, AnswerOk, AnswerOk };
    // Empty first, then the right one, in the open dialog.
    WhenModalShown([](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>("edtPW");
        modal->findChild<QPushButton*>("btnOK")->click();
        EXPECT_TRUE(modal->isVisible());
        EXPECT_EQ(modal->focusWidget(), edit);
        edit->setText("pw");
        modal->findChild<QPushButton*>("btnOK")->click();
    });
    std::string password;
    EXPECT_EQ(ExecOpenPW(password), 1);
    EXPECT_EQ(password, "pw");

    WhenModalShown([](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>("edtPW");
        auto* confirm = modal->findChild<QLineEdit*>("edtConfirm");
        auto* ok = modal->findChild<QPushButton*>("btnOK");
        confirm->setText("Secret");
        ok->click();
        edit->setText("secret");
        ok->click();
        EXPECT_EQ(edit->text(), "secret") << "neither edit is cleared";
        EXPECT_EQ(confirm->text(), "Secret");
        EXPECT_EQ(modal->focusWidget(), edit);
        confirm->setText("secret");
        QTest::keyClick(confirm, Qt::Key_Enter);
    });
    EXPECT_EQ(ExecSavePW(password), 1);
    EXPECT_EQ(password, "secret");
    EXPECT_EQ(script.shown, (std::vector<std::string> { "Warning: Please a password", "Warning: Please a password",
                                "Warning: New password and confirmation must be the same" }));
}

TEST_F(PasswordDialogs, CancelEscapeAndCloseKeepTheCallersPassword)
{
    const std::function<void(QWidget*)> endings[] = {
        [](QWidget* modal) { modal->findChild<QPushButton*>("btnCancel")->click(); },
        [](QWidget* modal) { QTest::keyClick(modal->findChild<QLineEdit*>("edtPW"), Qt::Key_Escape); },
        [](QWidget* modal) { modal->close(); },
    };
    for (const auto& end : endings) {
        std::string password = "kept";
        WhenModalShown([end](QWidget* modal) {
            modal->findChild<QLineEdit*>("edtPW")->setText("typed");
            end(modal);
        });
        EXPECT_EQ(ExecOpenPW(password), 2);
        WhenModalShown([end](QWidget* modal) {
            modal->findChild<QLineEdit*>("edtPW")->setText("typed");
            end(modal);
        });
        EXPECT_EQ(ExecSavePW(password), 2);
        EXPECT_EQ(password, "kept");
    }
}

TEST_F(PasswordDialogs, AHundredThousandCharacterPasswordIsPastedWhole)
{
    const QString pasted(100000, QChar('k'));
    QApplication::clipboard()->setText(pasted);
    const auto pasteInto = [](std::vector<const char*> edits) {
        WhenModalShown([edits](QWidget* modal) {
            for (const char* name : edits) {
                auto* edit = modal->findChild<QLineEdit*>(name);
                edit->setFocus();
                QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            }
            QTest::keyClick(modal->findChild<QLineEdit*>(edits.back()), Qt::Key_Return);
        });
    };
    std::string opened;
    pasteInto({ "edtPW" });
    EXPECT_EQ(ExecOpenPW(opened), 1);
    std::string created;
    pasteInto({ "edtPW", "edtConfirm" });
    EXPECT_EQ(ExecSavePW(created), 1);
    QApplication::clipboard()->clear();
    for (const std::string* password : { &opened, &created }) {
        EXPECT_EQ(password->size(), 100000u);
        EXPECT_TRUE(*password == pasted.toStdString());
    }
    EXPECT_TRUE(script.shown.empty());
}

TEST_F(PasswordDialogs, SaveDialogLayout)
{
    WhenDialogShown({}, Qt::Key_Escape, [](QDialog& dialog) {
        EXPECT_EQ(dialog.size(), QSize(241, 170));
        EXPECT_EQ(dialog.findChild<QLabel*>("lblConfirm")->text(), "Confirm password");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("edtConfirm")->geometry(), QRect(16, 88, 202, 21));
        EXPECT_EQ(dialog.findChild<QLineEdit*>("edtConfirm")->echoMode(), QLineEdit::Password);
        for (QLabel* label : dialog.findChildren<QLabel*>())
            EXPECT_LE(label->geometry().right(), dialog.width()) << label->text().toStdString();
    });
    std::string password;
    EXPECT_EQ(ExecSavePW(password), 2);
}

} // namespace
