#include "dialogs/fmGenPW.h"

#include "ModalDriver.h"
#include "model/PasswordGenerator.h"
#include "model/Random.h"
#include "settings/brmState.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t Seed = 77u;

const char* const Keys[] = { "TfrmGenPW", "TfrmGenPW.cbxUpperCase.Checked", "TfrmGenPW.cbxLowerCase.Checked",
    "TfrmGenPW.cbxNumbers.Checked", "TfrmGenPW.cbxSpecialChars.Checked", "TfrmGenPW.cbxTemplate.Checked",
    "TfrmGenPW.edtSpecial.Text", "TfrmGenPW.edtTemplate.Text", "TfrmGenPW.speLength.Value" };

QCheckBox& Box(QWidget& dialog, const char* name) { return FindControl<QCheckBox>(dialog, name); }
QLineEdit& Edit(QWidget& dialog, const char* name) { return FindControl<QLineEdit>(dialog, name); }
QSpinBox& Length(QWidget& dialog) { return FindControl<QSpinBox>(dialog, "speLength"); }
QString Shown(QWidget& dialog) { return Edit(dialog, "edtPassword").text(); }

void Generate(QWidget& dialog)
{
    QTest::mouseClick(&FindControl<QToolButton>(dialog, "spbGenPW"), Qt::LeftButton);
}

// Types into the length box the way a user does, after selecting what it holds.
void TypeLength(QWidget& dialog, const QString& keys)
{
    QSpinBox& length = Length(dialog);
    length.setFocus();
    length.selectAll();
    QTest::keyClicks(&length, keys);
}

void Ok(QWidget& dialog) { FindControl<QPushButton>(dialog, "btnOK").click(); }

// Runs the dialog once: Use drives it, then it ends as Use left it or, if still open,
// with Cancel.
int RunDialog(std::string& password, std::function<void(QWidget&)> use)
{
    WhenModalActive([use = std::move(use)](QWidget* modal) {
        use(*modal);
        if (modal->isVisible())
            FindControl<QPushButton>(*modal, "btnCancel").click();
    });
    return ExecGenPW(password);
}

int RunDialog(std::function<void(QWidget&)> use)
{
    std::string password;
    return RunDialog(password, std::move(use));
}

bool StoreHas(const std::string& name)
{
    for (int i = 0; i < State().Count(); ++i) {
        if (State().Names(i) == name)
            return true;
    }
    return false;
}

// Each test starts as on first use, with the deterministic random source.
class GenPW : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* key : Keys)
            State().SetValues(key, "");
        SelectRandomSource(RandomSource::Deterministic);
        SetRandomState(Seed);
    }
    void TearDown() override { SelectRandomSource(RandomSource::System); }
};

TEST_F(GenPW, LayoutAtItsDesignedPixels)
{
    struct Placed {
        const char* name;
        const char* parent;
        QRect bounds;
    };
    const Placed placed[] = {
        { "gbxParms", "frmGenPW", { 8, 8, 433, 218 } },
        { "gbxCharacters", "gbxParms", { 13, 16, 188, 145 } },
        { "cbxUpperCase", "gbxCharacters", { 15, 25, 155, 17 } },
        { "cbxSpecialChars", "gbxCharacters", { 15, 90, 155, 17 } },
        { "edtSpecial", "gbxCharacters", { 32, 112, 134, 21 } },
        { "speLength", "gbxParms", { 13, 184, 58, 22 } },
        { "cbxTemplate", "gbxParms", { 216, 21, 101, 17 } },
        { "edtTemplate", "gbxParms", { 232, 45, 190, 21 } },
        { "gbxTemplate", "gbxParms", { 232, 70, 190, 135 } },
        { "edtPassword", "frmGenPW", { 8, 239, 433, 21 } },
        { "spbGenPW", "frmGenPW", { 8, 269, 153, 22 } },
        { "spbClipboard", "frmGenPW", { 248, 269, 193, 22 } },
        { "bvlWindowDressing", "frmGenPW", { 8, 304, 433, 9 } },
        { "btnOK", "frmGenPW", { 280, 319, 75, 25 } },
        { "btnCancel", "frmGenPW", { 366, 319, 75, 25 } },
    };
    RunDialog([&placed](QWidget& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Generate a password");
        EXPECT_EQ(dialog.size(), QSize(450, 356));
        for (const Placed& control : placed) {
            const QWidget& widget = FindControl<QWidget>(dialog, control.name);
            EXPECT_EQ(widget.parentWidget()->objectName(), control.parent) << control.name;
            EXPECT_EQ(widget.geometry(), control.bounds) << control.name;
        }
        EXPECT_EQ(FindControl<QGroupBox>(dialog, "gbxCharacters").title(), "Characters to include");
        EXPECT_EQ(FindControl<QGroupBox>(dialog, "gbxTemplate").title(), "Template characters");
        EXPECT_EQ(Box(dialog, "cbxNumbers").text(), "Numbers (0-9)");
        EXPECT_EQ(FindControl<QLabel>(dialog, "lblLgth").text(), "Length");
        EXPECT_EQ(Length(dialog).minimum(), 1);
        EXPECT_EQ(Length(dialog).maximum(), 32);
        const QLabel& letters = FindControl<QLabel>(dialog, "lblCharacters");
        const QLabel& meanings = FindControl<QLabel>(dialog, "lblDescription");
        EXPECT_EQ(letters.text(), "A\na\nC\nc\nV\nv\n9\n$");
        EXPECT_EQ(meanings.text().split('\n').size(), 8);
        EXPECT_TRUE(meanings.text().startsWith("Uppercase alpha\nLowercase alpha\nUppercase consonant"));
        EXPECT_EQ(letters.font().family(), "Verdana");
        EXPECT_EQ(letters.pos(), QPoint(16, 20));
        EXPECT_EQ(meanings.pos(), QPoint(35, 20));
        for (const QLabel* legend : { &letters, &meanings })
            EXPECT_EQ(legend->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        for (const char* speedButton : { "spbGenPW", "spbClipboard" }) {
            const QToolButton& button = FindControl<QToolButton>(dialog, speedButton);
            EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
            EXPECT_EQ(button.toolTip(), button.text());
        }
        EXPECT_TRUE(FindControl<QPushButton>(dialog, "btnOK").isDefault());
    });
}

TEST_F(GenPW, TabOrderRunsThroughTheBoxesThenThePasswordAndButtons)
{
    RunDialog([](QWidget& dialog) {
        Box(dialog, "cbxTemplate").setChecked(true);
        QStringList visited;
        for (int i = 0; i < 12; ++i) {
            visited << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(visited, (QStringList { "cbxUpperCase", "cbxLowerCase", "cbxNumbers", "cbxSpecialChars", "edtSpecial",
                               "speLength", "cbxTemplate", "edtTemplate", "edtPassword", "btnOK", "btnCancel",
                               "cbxUpperCase" }));
    });
}

TEST_F(GenPW, FirstUseDefaultsAndOkWithoutGenerationHandsBackAnEmptyPassword)
{
    std::string password = "old";
    std::string generated;
    EXPECT_EQ(RunDialog(password, [&generated](QWidget& dialog) {
        for (const char* ticked : { "cbxUpperCase", "cbxLowerCase", "cbxNumbers", "cbxSpecialChars" })
            EXPECT_TRUE(Box(dialog, ticked).isChecked()) << ticked;
        EXPECT_FALSE(Box(dialog, "cbxTemplate").isChecked());
        EXPECT_EQ(Edit(dialog, "edtSpecial").text(), "");
        EXPECT_TRUE(Edit(dialog, "edtSpecial").isEnabled());
        EXPECT_EQ(Edit(dialog, "edtTemplate").text(), "");
        EXPECT_FALSE(Edit(dialog, "edtTemplate").isEnabled());
        EXPECT_EQ(Length(dialog).value(), 9);
        EXPECT_EQ(Shown(dialog), "") << "the caller's password is not shown";
        Generate(dialog);
        generated = Shown(dialog).toStdString();
        Ok(dialog);
    }), 1);
    SetRandomState(Seed);
    EXPECT_EQ(generated, GeneratePassword(TGeneratorSettings())) << "the controls hold the engine's defaults";
    EXPECT_EQ(password, generated);

    password = "old";
    EXPECT_EQ(RunDialog(password, [](QWidget& dialog) {
        EXPECT_EQ(Shown(dialog), "") << "every dialog starts without a password";
        Ok(dialog);
    }), 1);
    EXPECT_EQ(password, "");
}

TEST_F(GenPW, OkHandsBackTheGeneratedPasswordWhileCopyTakesTheEditedText)
{
    std::string password;
    std::string generated;
    EXPECT_EQ(RunDialog(password, [&generated](QWidget& dialog) {
        Generate(dialog);
        generated = Shown(dialog).toStdString();
        Edit(dialog, "edtPassword").setText(Shown(dialog) + "-edited");
        QTest::mouseClick(&FindControl<QToolButton>(dialog, "spbClipboard"), Qt::LeftButton);
        EXPECT_EQ(Edit(dialog, "edtPassword").selectedText(), Shown(dialog));
        Ok(dialog);
    }), 1);
    EXPECT_EQ(generated.size(), 9u);
    EXPECT_EQ(password, generated);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text().toStdString(), generated + "-edited");
    EXPECT_EQ(copied->data("x-kde-passwordManagerHint"), "secret");
}

TEST_F(GenPW, CancelEscapeAndCloseKeepTheCallersPasswordButStoreTheSettings)
{
    const std::function<void(QWidget&)> endings[] = {
        [](QWidget& dialog) { FindControl<QPushButton>(dialog, "btnCancel").click(); },
        [](QWidget& dialog) { QTest::keyClick(&Edit(dialog, "edtPassword"), Qt::Key_Escape); },
        [](QWidget& dialog) { dialog.close(); },
    };
    for (const auto& end : endings) {
        State().SetValues("TfrmGenPW.cbxNumbers.Checked", "");
        std::string password = "kept";
        EXPECT_EQ(RunDialog(password, [&end](QWidget& dialog) {
            Generate(dialog);
            Box(dialog, "cbxNumbers").setChecked(false);
            end(dialog);
        }), 2);
        EXPECT_EQ(password, "kept");
        EXPECT_EQ(State().Values("TfrmGenPW.cbxNumbers.Checked"), "0");
    }
}

TEST_F(GenPW, EveryKeyIsWrittenAndReadBack)
{
    State().SetValues("TfrmGenPW.edtSpecial.Text", "#!");
    RunDialog([](QWidget& dialog) {
        EXPECT_EQ(Edit(dialog, "edtSpecial").text(), "#!");
        Box(dialog, "cbxUpperCase").setChecked(false);
        Box(dialog, "cbxSpecialChars").setChecked(false);
        Box(dialog, "cbxTemplate").setChecked(true);
        Edit(dialog, "edtSpecial").clear();
        Edit(dialog, "edtTemplate").setText("Cvc-99");
        Length(dialog).setValue(17);
        Ok(dialog);
    });
    EXPECT_EQ(State().Values("TfrmGenPW").substr(0, 2), "0 ");
    EXPECT_EQ(State().Values("TfrmGenPW.cbxUpperCase.Checked"), "0");
    EXPECT_EQ(State().Values("TfrmGenPW.cbxLowerCase.Checked"), "1");
    EXPECT_EQ(State().Values("TfrmGenPW.cbxNumbers.Checked"), "1");
    EXPECT_EQ(State().Values("TfrmGenPW.cbxSpecialChars.Checked"), "0");
    EXPECT_EQ(State().Values("TfrmGenPW.cbxTemplate.Checked"), "1");
    EXPECT_FALSE(StoreHas("TfrmGenPW.edtSpecial.Text")) << "an emptied field removes its key";
    EXPECT_EQ(State().Values("TfrmGenPW.edtTemplate.Text"), "Cvc-99");
    EXPECT_EQ(State().Values("TfrmGenPW.speLength.Value"), "17");

    RunDialog([](QWidget& dialog) {
        EXPECT_FALSE(Box(dialog, "cbxUpperCase").isChecked());
        EXPECT_FALSE(Box(dialog, "cbxSpecialChars").isChecked());
        EXPECT_FALSE(Edit(dialog, "edtSpecial").isEnabled());
        EXPECT_TRUE(Box(dialog, "cbxTemplate").isChecked());
        EXPECT_TRUE(Edit(dialog, "edtTemplate").isEnabled());
        EXPECT_EQ(Edit(dialog, "edtSpecial").text(), "");
        EXPECT_EQ(Edit(dialog, "edtTemplate").text(), "Cvc-99");
        EXPECT_EQ(Length(dialog).value(), 17);
        Generate(dialog);
        EXPECT_EQ(Shown(dialog).size(), 5) << "the template decides, not the length";
    });
}

TEST_F(GenPW, MalformedStoredValuesFallBackAndLengthsComeBackInRange)
{
    const std::pair<const char*, int> lengths[] = { { "50", 32 }, { "-4", 1 }, { "0", 1 }, { "32", 32 }, { "+7", 7 },
        { "abc", 9 }, { "99999999999", 9 }, { "1.5", 9 } };
    for (const auto& [stored, shown] : lengths) {
        State().SetValues("TfrmGenPW.speLength.Value", stored);
        State().SetValues("TfrmGenPW.cbxLowerCase.Checked", "yes");
        State().SetValues("TfrmGenPW.cbxTemplate.Checked", "2");
        RunDialog([shown = shown, stored = stored](QWidget& dialog) {
            EXPECT_EQ(Length(dialog).value(), shown) << stored;
            EXPECT_TRUE(Box(dialog, "cbxLowerCase").isChecked());
            EXPECT_FALSE(Box(dialog, "cbxTemplate").isChecked());
        });
    }
}

TEST_F(GenPW, ATypedLengthCountsAsTypedUntilTheBoxLosesTheFocus)
{
    struct Case {
        QString typed;
        int generatedLength;
        int afterFocusLeaves;
    };
    const Case cases[] = {
        { "50", 50, 32 }, { "0", 0, 1 }, { "-3", 0, 1 }, { "-", 1, 1 }, { "1.5", 1, 1 }, { "+12", 12, 12 },
        { "12345", 1234, 32 },
    };
    for (const Case& c : cases) {
        RunDialog([&c](QWidget& dialog) {
            TypeLength(dialog, QString(c.typed).replace('.', Length(dialog).locale().decimalPoint()));
            Generate(dialog);
            EXPECT_EQ(Shown(dialog).size(), c.generatedLength) << c.typed.toStdString();
            EXPECT_EQ(QApplication::focusWidget(), &Length(dialog)) << "generating leaves the focus where it was";
            Edit(dialog, "edtPassword").setFocus();
            EXPECT_EQ(Length(dialog).value(), c.afterFocusLeaves) << c.typed.toStdString();
            EXPECT_EQ(Length(dialog).text(), QString::number(c.afterFocusLeaves)) << c.typed.toStdString();
        });
    }
}

TEST_F(GenPW, TheLengthBoxRefusesOtherKeysAndEnterPressesOk)
{
    EXPECT_EQ(RunDialog([](QWidget& dialog) {
        TypeLength(dialog, "1a x*2");
        EXPECT_EQ(Length(dialog).text(), "12");
        QTest::keyClick(&Length(dialog), Qt::Key_Up);
        EXPECT_EQ(Length(dialog).value(), 13);
        TypeLength(dialog, "32");
        QTest::keyClick(&Length(dialog), Qt::Key_Up);
        EXPECT_EQ(Length(dialog).value(), 32) << "the arrows stop at the bounds";
        TypeLength(dialog, "40");
        QTest::keyClick(&Length(dialog), Qt::Key_Return);
    }), 1);
    EXPECT_EQ(State().Values("TfrmGenPW.speLength.Value"), "32");
}

TEST_F(GenPW, OnlyTheTwoFieldsFollowTheirBoxes)
{
    RunDialog([](QWidget& dialog) {
        Box(dialog, "cbxSpecialChars").click();
        EXPECT_FALSE(Edit(dialog, "edtSpecial").isEnabled());
        Box(dialog, "cbxSpecialChars").click();
        EXPECT_TRUE(Edit(dialog, "edtSpecial").isEnabled());
        Box(dialog, "cbxTemplate").click();
        EXPECT_TRUE(Edit(dialog, "edtTemplate").isEnabled());
        for (const char* stillUsable : { "cbxUpperCase", "cbxLowerCase", "cbxNumbers", "cbxSpecialChars" })
            EXPECT_TRUE(Box(dialog, stillUsable).isEnabled()) << stillUsable;
        EXPECT_TRUE(Length(dialog).isEnabled());
        Generate(dialog);
        EXPECT_EQ(Shown(dialog), "") << "an empty template gives an empty password";
        Box(dialog, "cbxTemplate").click();
        EXPECT_FALSE(Edit(dialog, "edtTemplate").isEnabled());
    });
}

TEST_F(GenPW, ALongTemplateGivesAPasswordShownCopiedAndHandedBackWhole)
{
    const QString longTemplate(40000, QChar('9'));
    QApplication::clipboard()->setText(longTemplate);
    std::string password;
    EXPECT_EQ(RunDialog(password, [](QWidget& dialog) {
        Box(dialog, "cbxTemplate").click();
        Edit(dialog, "edtTemplate").setFocus();
        QTest::keyClick(&Edit(dialog, "edtTemplate"), Qt::Key_V, Qt::ControlModifier);
        Generate(dialog);
        EXPECT_EQ(Shown(dialog).size(), 40000);
        FindControl<QToolButton>(dialog, "spbClipboard").click();
        Ok(dialog);
    }), 1);
    EXPECT_EQ(QApplication::clipboard()->text().size(), 40000) << "copied whole";
    QApplication::clipboard()->clear();
    EXPECT_EQ(password.size(), 40000u);
    EXPECT_EQ(State().Values("TfrmGenPW.edtTemplate.Text").size(), 40000u) << "the template is stored whole";
}

TEST_F(GenPW, StoredPositionGivesWayToCentringOverTheMainWindow)
{
    State().SetValues("TfrmGenPW", "0 100 120 1 1");
    RunDialog([](QWidget& dialog) {
        EXPECT_EQ(dialog.frameGeometry().topLeft(), QPoint(120, 100));
        EXPECT_EQ(dialog.size(), QSize(450, 356)) << "a fixed dialog keeps its size";
    });
    QMainWindow main;
    main.setGeometry(50, 60, 700, 500);
    main.show();
    RunDialog([&main](QWidget& dialog) {
        // Centred to within the width of the dialog's frame, which the platform adds.
        const QPoint frame = dialog.geometry().topLeft() - dialog.frameGeometry().topLeft();
        EXPECT_LE((dialog.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(),
            frame.manhattanLength() + 2);
        EXPECT_GT((dialog.frameGeometry().topLeft() - QPoint(120, 100)).manhattanLength(), 20);
    });
}

} // namespace
