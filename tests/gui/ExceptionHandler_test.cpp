#include "shell/ExceptionHandler.h"

#include "ModalDriver.h"
#include "platform/AppError.h"
#include "settings/ApplicationTitle.h"

#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Reads the next message box and presses its only button.
void ReadAndConfirmNextBox(BoxSeen& seen)
{
    WhenModalShown([&seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen = { box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->buttons().size()) };
        box->button(QMessageBox::Ok)->click();
    });
}

TEST(ExceptionHandler, FullStopRule)
{
    struct Case {
        const char* message;
        const char* shown;
    };
    const Case cases[] = {
        { "", "" }, { "Failed", "Failed." }, { "Done.", "Done." }, { "Stop!", "Stop!" },
        { "(see above)", "(see above)" }, { "value 7", "value 7." }, { "a-", "a-" }, { "a/", "a/." },
        { "path\"", "path\"" }, { "caf\xC3\xA9", "caf\xC3\xA9." }, { "line\n", "line\n" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithFullStop(c.message), c.shown) << c.message;
}

TEST(ExceptionHandler, GuardShowsTheEscapingErrorInTheApplicationBox)
{
    SetApplicationTitle("Demo");
    BoxSeen seen;
    ReadAndConfirmNextBox(seen);
    RunGuarded([] { throw AppError("Cannot extract file - invalid password"); });
    EXPECT_EQ(seen.title, "Demo");
    EXPECT_EQ(seen.text, "Cannot extract file - invalid password.");
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, 1);
}

TEST(ExceptionHandler, StartupTextNamesKindProgramAndAddress)
{
    const std::string text = StartupErrorText(AppError("Cannot open file \"/x/vezozivi.dll\". No such file or directory"));
    EXPECT_EQ(text.rfind("Exception AppError in module ", 0), 0u) << text;
    EXPECT_NE(text.find("gui_tests at "), std::string::npos) << text;
    EXPECT_NE(text.find("\nCannot open file \"/x/vezozivi.dll\". No such file or directory."), std::string::npos);

    const std::string other = StartupErrorText(std::runtime_error("boom"));
    EXPECT_EQ(other.rfind("Exception std::runtime_error in module ", 0), 0u) << other;
    EXPECT_NE(other.find("\nboom."), std::string::npos);
}

} // namespace
