#include "dialogs/fmSite.h"

#include "ModalDriver.h"
#include "dialogs/brmMsgDlg.h"
#include "model/brmPW.h"
#include "platform/qt/DesktopShell.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowGeometry.h"
#include "settings/brmState.h"
#include "services/brmFormRtn.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>
#include <string_view>

namespace {

const std::string MailLine = "Mail=joe\tsecret\thttp://mail.example\tfirst\\nsecond";

TbrmPwRec RecordOf(const std::string& line)
{
    TbrmPwRec rec;
    rec.SetLine(line);
    return rec;
}

QLineEdit* LineEdit(QWidget& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(name);
}

QPlainTextEdit* Memo(QWidget& dialog)
{
    return dialog.findChild<QPlainTextEdit*>("mmoNote");
}

void SetFieldText(QWidget& dialog, const char* name, const QString& text)
{
    if (std::string_view(name) == "mmoNote")
        Memo(dialog)->setPlainText(text);
    else
        LineEdit(dialog, name)->setText(text);
}

QPushButton* Button(QWidget& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(name);
}

QToolButton* SpeedButton(QWidget& dialog, const char* name)
{
    return dialog.findChild<QToolButton*>(name);
}

// The site editor with every box and link it would show scripted or caught.
class SiteEditor : public testing::Test {
protected:
    void SetUp() override
    {
        ScriptDialogs(&script);
        previousOpener = ReplaceDesktopOpener([this](const std::string& link) { opened.push_back(link); });
        State().SetValues("TfrmSite", "");
    }
    void TearDown() override
    {
        ReplaceDesktopOpener(previousOpener);
        ScriptDialogs(nullptr);
    }

    // Runs the editor on Rec; Use acts on the shown dialog as a user would.
    static int Run(TbrmPwRec& rec, std::function<void(QDialog&)> use)
    {
        WhenModalShown([use = std::move(use)](QWidget* modal) {
            auto* dialog = qobject_cast<TfrmSite*>(modal);
            ASSERT_NE(dialog, nullptr);
            use(*dialog);
        });
        return ExecSite(rec);
    }

    TScriptedDialogs script;
    TDesktopOpener previousOpener;
    std::vector<std::string> opened;
};

TEST_F(SiteEditor, ShowsTheSiteAtItsDesignedLayoutWithOkDisabled)
{
    TbrmPwRec rec = RecordOf(MailLine);
    const int result = Run(rec, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Site");
        EXPECT_EQ(dialog.size(), QSize(391, 391));
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed border";
        EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_EQ(dialog.font().pixelSize(), 11);
        const std::pair<const char*, QRect> bounds[] = {
            { "edtSite", QRect(16, 32, 369, 21) }, { "edtURL", QRect(16, 80, 265, 21) },
            { "spbLaunchURL", QRect(288, 80, 97, 22) }, { "edtUser", QRect(16, 128, 369, 21) },
            { "spbGenPW", QRect(16, 176, 57, 22) }, { "edtPW", QRect(80, 176, 201, 21) },
            { "spbClipboard", QRect(288, 176, 97, 22) }, { "mmoNote", QRect(16, 224, 369, 105) },
            { "btnOK", QRect(214, 349, 75, 25) }, { "btnCancel", QRect(302, 349, 75, 25) },
        };
        for (const auto& [name, rect] : bounds)
            EXPECT_EQ(dialog.findChild<QWidget*>(name)->geometry(), rect) << name;
        EXPECT_EQ(dialog.findChild<QLabel*>("lblSite")->text(), "Site name / description");
        EXPECT_EQ(dialog.findChild<QLabel*>("lblNote")->pos(), QPoint(16, 208));
        for (const char* name : { "spbLaunchURL", "spbGenPW", "spbClipboard" })
            EXPECT_EQ(SpeedButton(dialog, name)->focusPolicy(), Qt::NoFocus) << name;
        EXPECT_EQ(SpeedButton(dialog, "spbLaunchURL")->toolTip(), "Launch browser to this URL");
        EXPECT_EQ(LineEdit(dialog, "edtPW")->echoMode(), QLineEdit::Normal);
        EXPECT_EQ(Memo(dialog)->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        EXPECT_EQ(LineEdit(dialog, "edtSite")->text(), "Mail");
        EXPECT_EQ(LineEdit(dialog, "edtURL")->text(), "http://mail.example");
        EXPECT_EQ(LineEdit(dialog, "edtUser")->text(), "joe");
        EXPECT_EQ(LineEdit(dialog, "edtPW")->text(), "secret");
        EXPECT_EQ(Memo(dialog)->toPlainText(), "first\nsecond");
        EXPECT_EQ(Memo(dialog)->blockCount(), 2);
        EXPECT_FALSE(Button(dialog, "btnOK")->isEnabled());
        EXPECT_TRUE(Button(dialog, "btnOK")->isDefault());
        EXPECT_EQ(dialog.focusWidget(), LineEdit(dialog, "edtSite"));

        QTest::keyClick(LineEdit(dialog, "edtUser"), Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible()) << "Enter does nothing while OK is disabled";
        QTest::keyClick(LineEdit(dialog, "edtUser"), Qt::Key_Escape);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(rec.GetLine(), MailLine);
}

TEST_F(SiteEditor, TabVisitsTheFieldsThenTheButtons)
{
    TbrmPwRec rec;
    Run(rec, [](QDialog& dialog) {
        QTest::keyClicks(LineEdit(dialog, "edtSite"), "x");
        QStringList visited { dialog.focusWidget()->objectName() };
        for (int step = 0; step < 6; ++step) {
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
            visited << dialog.focusWidget()->objectName();
        }
        EXPECT_EQ(visited, (QStringList { "edtSite", "edtURL", "edtUser", "edtPW", "mmoNote", "btnOK", "btnCancel" }));
        dialog.close();
    });
}

TEST_F(SiteEditor, TypingEnablesOkForTheRestAndOkStoresTheFieldsTrimmed)
{
    TbrmPwRec rec;
    const int result = Run(rec, [](QDialog& dialog) {
        EXPECT_EQ(LineEdit(dialog, "edtSite")->text(), "");
        EXPECT_FALSE(Button(dialog, "btnOK")->isEnabled());
        QTest::keyClicks(LineEdit(dialog, "edtUser"), "a");
        EXPECT_TRUE(Button(dialog, "btnOK")->isEnabled());
        QTest::keyClick(LineEdit(dialog, "edtUser"), Qt::Key_Backspace);
        EXPECT_TRUE(Button(dialog, "btnOK")->isEnabled()) << "undoing by hand leaves OK enabled";

        LineEdit(dialog, "edtSite")->setText("  Bank  ");
        LineEdit(dialog, "edtURL")->setText(" https://bank.example ");
        LineEdit(dialog, "edtUser")->setText("\tann ");
        LineEdit(dialog, "edtPW")->setText(" pw ");
        Memo(dialog)->setPlainText("\n  \nline one\n  line two  \n\n");
        QTest::keyClick(LineEdit(dialog, "edtSite"), Qt::Key_Return);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(rec.SiteName(), "Bank");
    EXPECT_EQ(rec.URL(), "https://bank.example");
    EXPECT_EQ(rec.UserName(), "ann");
    EXPECT_EQ(rec.Password(), "pw");
    EXPECT_EQ(rec.Notes(), "line one\r\n  line two");
}

TEST_F(SiteEditor, EveryOtherEndingLeavesTheRecordAsItWas)
{
    const std::function<void(QDialog&)> endings[] = {
        [](QDialog& dialog) { Button(dialog, "btnCancel")->click(); },
        [](QDialog& dialog) { QTest::keyClick(LineEdit(dialog, "edtURL"), Qt::Key_Escape); },
        [](QDialog& dialog) { dialog.close(); },
    };
    for (const auto& end : endings) {
        TbrmPwRec rec = RecordOf(MailLine);
        const int result = Run(rec, [&end](QDialog& dialog) {
            for (const char* name : { "edtSite", "edtURL", "edtUser", "edtPW" })
                LineEdit(dialog, name)->setText("changed");
            Memo(dialog)->setPlainText("changed");
            end(dialog);
        });
        EXPECT_EQ(result, 2);
        EXPECT_EQ(rec.GetLine(), MailLine);
    }
}

TEST_F(SiteEditor, EmptyNameIsRefusedButBlanksPassAndAreStoredEmpty)
{
    script.answers = { AnswerOk };
    TbrmPwRec rec = RecordOf(MailLine);
    const int result = Run(rec, [](QDialog& dialog) {
        LineEdit(dialog, "edtSite")->clear();
        LineEdit(dialog, "edtUser")->setFocus();
        Button(dialog, "btnOK")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), LineEdit(dialog, "edtSite"));
        EXPECT_EQ(LineEdit(dialog, "edtUser")->text(), "joe");
        LineEdit(dialog, "edtSite")->setText("   ");
        Button(dialog, "btnOK")->click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(script.shown, std::vector<std::string> { "Error: Site name / Description must be filled" });
    EXPECT_EQ(rec.GetLine(), "=joe\tsecret\thttp://mail.example\tfirst\\nsecond");
}

TEST_F(SiteEditor, DataTheSiteLineCannotCarryIsRefusedInItsField)
{
    const std::string equalsRefused = "Error: Site name / Description must not contain \"=\"";
    const std::string breaksRefused = "Error: Tabs and line breaks are not allowed in this field";
    const std::string nulRefused = "Error: Null characters are not allowed in this field";
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    const struct {
        std::vector<std::pair<const char*, QString>> typed;
        std::string shown;
        const char* focused;
    } cases[] = {
        { { { "edtSite", "a=b" } }, equalsRefused, "edtSite" },
        { { { "edtSite", "a\tb" } }, breaksRefused, "edtSite" },
        { { { "edtURL", "http://x\ny" } }, breaksRefused, "edtURL" },
        { { { "edtUser", "a\rb" } }, breaksRefused, "edtUser" },
        { { { "edtPW", "p\tw" } }, breaksRefused, "edtPW" },
        { { { "edtUser", withNul } }, nulRefused, "edtUser" },
        { { { "mmoNote", "line\n" + withNul } }, nulRefused, "mmoNote" },
        { { { "edtPW", "p\tw" }, { "edtSite", "" } }, "Error: Site name / Description must be filled", "edtSite" },
        { { { "edtPW", "p\tw" }, { "edtSite", "a=b" } }, equalsRefused, "edtSite" },
    };
    for (const auto& refused : cases) {
        script = {};
        script.answers = { AnswerOk };
        TbrmPwRec rec = RecordOf(MailLine);
        const int result = Run(rec, [&refused](QDialog& dialog) {
            for (const auto& [name, text] : refused.typed)
                SetFieldText(dialog, name, text);
            Button(dialog, "btnCancel")->setFocus();
            Button(dialog, "btnOK")->click();
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(dialog.focusWidget()->objectName(), refused.focused);
            Button(dialog, "btnCancel")->click();
        });
        SCOPED_TRACE(refused.typed.back().second.toStdString());
        EXPECT_EQ(result, 2);
        EXPECT_EQ(script.shown, std::vector<std::string> { refused.shown });
        EXPECT_EQ(rec.GetLine(), MailLine) << "nothing is written";
    }
}

TEST_F(SiteEditor, ALaterEqualsSignAndBreaksAtTheEndsAreAccepted)
{
    TbrmPwRec rec = RecordOf(MailLine);
    const int result = Run(rec, [](QDialog& dialog) {
        LineEdit(dialog, "edtUser")->setText("b=c");
        LineEdit(dialog, "edtPW")->setText("\tpasted\r\n");
        Button(dialog, "btnOK")->click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(script.shown.empty());
    EXPECT_EQ(rec.UserName(), "b=c");
    EXPECT_EQ(rec.Password(), "pasted");
}

TEST_F(SiteEditor, NotesKeepTabsLineBreaksAndEveryCharacter)
{
    TbrmPwRec rec = RecordOf(MailLine);
    const int result = Run(rec, [](QDialog& dialog) {
        QPlainTextEdit* memo = Memo(dialog);
        memo->setFocus();
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        EXPECT_TRUE(Button(dialog, "btnOK")->isEnabled());
        EXPECT_TRUE(dialog.isVisible()) << "Enter in the notes makes a new line";
        QTest::keyClick(memo, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible()) << "and Escape there does not cancel";
        QTest::keyClicks(memo, "third");
        memo->textCursor().insertText(QString::fromUtf8("\tC:\\new\u00a0=x"));
        EXPECT_EQ(memo->blockCount(), 3);
        Button(dialog, "btnOK")->click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(script.shown.empty());
    EXPECT_EQ(rec.Notes(), "first\r\nsecond\r\nthird\tC:\\new\xc2\xa0=x");
    EXPECT_EQ(rec.GetLine(), "Mail=joe\tsecret\thttp://mail.example\tfirst\\nsecond\\nthird\\tC:\\\\new\xc2\xa0=x");
}

TEST_F(SiteEditor, FieldsLeftAsShownKeepTheirBytes)
{
    const std::string line = "Caf\xe9=J\xf6rg\tpa\xdf\thttp://caf\xe9.example\tn\xf6tes";
    ASSERT_NE(FromQString(ToQString("\xe9")), "\xe9") << "the bytes do not survive Qt's text";
    TbrmPwRec rec = RecordOf(line);
    const int result = Run(rec, [](QDialog& dialog) {
        LineEdit(dialog, "edtPW")->setText("new");
        Button(dialog, "btnOK")->click();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(rec.GetLine(), "Caf\xe9=J\xf6rg\tnew\thttp://caf\xe9.example\tn\xf6tes");
}

TEST_F(SiteEditor, FieldsOfAHundredThousandCharactersAreKeptWholeWhenEdited)
{
    constexpr std::size_t Long = 100000;
    TbrmPwRec rec;
    rec.SetSiteName(std::string(Long, 's'));
    rec.SetURL(std::string(Long, 'u'));
    rec.SetUserName(std::string(Long, 'n'));
    const QString pasted(static_cast<qsizetype>(Long), QChar('p'));
    QApplication::clipboard()->setText(pasted);
    const int result = Run(rec, [](QDialog& dialog) {
        for (const char* name : { "edtSite", "edtURL", "edtUser" }) {
            QLineEdit* edit = LineEdit(dialog, name);
            edit->setFocus();
            edit->end(false);
            QTest::keyClicks(edit, "!");
        }
        LineEdit(dialog, "edtPW")->setFocus();
        QTest::keyClick(LineEdit(dialog, "edtPW"), Qt::Key_V, Qt::ControlModifier);
        Button(dialog, "btnOK")->click();
    });
    QApplication::clipboard()->clear();
    EXPECT_EQ(result, 1);
    const std::pair<std::string, char> fields[] = { { rec.SiteName(), 's' }, { rec.URL(), 'u' },
        { rec.UserName(), 'n' } };
    for (const auto& [field, letter] : fields) {
        EXPECT_EQ(field.size(), Long + 1) << letter;
        EXPECT_TRUE(field == std::string(Long, letter) + "!") << letter;
    }
    EXPECT_EQ(rec.Password().size(), Long) << "pasted whole";
}

TEST_F(SiteEditor, LaunchHandsTheDesktopTheAddressAsTyped)
{
    TbrmPwRec rec = RecordOf(MailLine);
    const int result = Run(rec, [](QDialog& dialog) {
        QToolButton* launch = SpeedButton(dialog, "spbLaunchURL");
        launch->click();
        EXPECT_FALSE(Button(dialog, "btnOK")->isEnabled()) << "launching changes nothing";
        LineEdit(dialog, "edtURL")->setText("  example.org/a b  ");
        launch->click();
        LineEdit(dialog, "edtURL")->clear();
        launch->click();
        EXPECT_TRUE(dialog.isVisible());
        Button(dialog, "btnCancel")->click();
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(opened, (std::vector<std::string> { "http://mail.example", "  example.org/a b  ", "" }));
    EXPECT_TRUE(script.shown.empty()) << "nothing is reported";
}

TEST_F(SiteEditor, CopyPutsThePasswordAsEditedOnTheClipboardMarkedSecret)
{
    TbrmPwRec rec = RecordOf(MailLine);
    QApplication::clipboard()->clear();
    const int result = Run(rec, [](QDialog& dialog) {
        LineEdit(dialog, "edtPW")->setText(" edited pw ");
        SpeedButton(dialog, "spbClipboard")->click();
        Button(dialog, "btnCancel")->click();
    });
    EXPECT_EQ(result, 2);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), " edited pw ");
    EXPECT_EQ(copied->data("x-kde-passwordManagerHint"), "secret");
    EXPECT_EQ(rec.Password(), "secret") << "copying writes nothing";
}

TEST_F(SiteEditor, PlacementIsRestoredAndStoredUnderItsClassName)
{
    State().SetValues("TfrmSite", "0 120 140 300 300");
    TbrmPwRec rec;
    std::string saved;
    Run(rec, [&saved](QDialog& dialog) {
        EXPECT_EQ(OuterGeometry(dialog).topLeft(), QPoint(140, 120));
        EXPECT_EQ(dialog.size(), QSize(391, 391)) << "a fixed dialog keeps its size";
        MoveOuter(dialog, QPoint(150, 130));
        saved = FormRtn().SavePlacement(dialog);
        dialog.close();
    });
    EXPECT_EQ(saved.rfind("0 130 150 ", 0), 0u) << saved;
    EXPECT_EQ(State().Values("TfrmSite"), saved);
}

// The generator dialog that the Generate button opens above the editor.
void WhenGeneratorShown(std::function<void(QWidget&)> use)
{
    WhenWidgetShown(
        [] {
            QWidget* modal = QApplication::activeModalWidget();
            return modal != nullptr && modal->inherits("TfrmGenPW") ? modal : nullptr;
        },
        [use = std::move(use)](QWidget* generator) { use(*generator); });
}

TEST_F(SiteEditor, GenerateTakesWhatTheGeneratorHandsBackOnlyOnOk)
{
    const struct {
        const char* ending;
        std::function<QString(QWidget&)> use; // yields the password expected in the editor
        bool okEnabled;
    } cases[] = {
        { "OK without generating",
            [](QWidget& generator) {
                Button(generator, "btnOK")->click();
                return QString();
            },
            true },
        { "Cancel after generating",
            [](QWidget& generator) {
                SpeedButton(generator, "spbGenPW")->click();
                Button(generator, "btnCancel")->click();
                return QStringLiteral("secret");
            },
            false },
        { "OK after generating",
            [](QWidget& generator) {
                SpeedButton(generator, "spbGenPW")->click();
                const QString generated = LineEdit(generator, "edtPassword")->text();
                EXPECT_FALSE(generated.isEmpty());
                Button(generator, "btnOK")->click();
                return generated;
            },
            true },
    };
    for (const auto& generation : cases) {
        SCOPED_TRACE(generation.ending);
        TbrmPwRec rec = RecordOf(MailLine);
        QString expected;
        const int result = Run(rec, [&generation, &expected](QDialog& dialog) {
            WhenGeneratorShown([&generation, &expected](QWidget& generator) { expected = generation.use(generator); });
            SpeedButton(dialog, "spbGenPW")->click();
            EXPECT_EQ(LineEdit(dialog, "edtPW")->text(), expected);
            EXPECT_EQ(Button(dialog, "btnOK")->isEnabled(), generation.okEnabled);
            (generation.okEnabled ? Button(dialog, "btnOK") : Button(dialog, "btnCancel"))->click();
        });
        EXPECT_EQ(result, generation.okEnabled ? 1 : 2);
        EXPECT_EQ(rec.Password(), FromQString(expected));
    }
}

} // namespace
