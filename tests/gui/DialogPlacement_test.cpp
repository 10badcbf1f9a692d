#include "dialogs/About.h"
#include "dialogs/InputBox.h"
#include "dialogs/brmMsgDlg.h"
#include "dialogs/fmGenPW.h"
#include "dialogs/fmImport.h"
#include "dialogs/fmOpenPW.h"
#include "dialogs/fmSavePW.h"
#include "dialogs/fmSite.h"
#include "shell/ExceptionHandler.h"

#include "ModalDriver.h"
#include "model/brmPW.h"
#include "platform/AppError.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

// How far a window's outer rectangle is from centred over the main window's: the
// difference of its margins on the left and right, and on the top and bottom.
QPoint OffCentre(const QWidget& window, const QWidget& main)
{
    const QRect inner = window.frameGeometry();
    const QRect outer = main.frameGeometry();
    return { (inner.left() - outer.left()) - (outer.right() - inner.right()),
        (inner.top() - outer.top()) - (outer.bottom() - inner.bottom()) };
}

// The least width a caption bar needs for the window's title: the title in the caption
// font, bold as window managers often draw it, beside the window icon and a close button.
int LeastCaptionWidth(const QWidget& window)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(window.windowTitle())
        + 2 * window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
}

class DialogPlacement : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* placement : { "TfrmSite", "TfrmGenPW", "TfrmImport" })
            State().SetValues(placement, "");
        main.setGeometry(50, 60, 760, 560);
        main.show();
    }
    void TearDown() override { SetApplicationTitle(""); }

    QMainWindow main;
};

TEST_F(DialogPlacement, EveryDialogIsCentredOverTheMainWindowByItsOuterRectangle)
{
    TbrmPwRec rec;
    TbrmPwList list;
    std::string text;
    const std::pair<const char*, std::function<void()>> dialogs[] = {
        { "site editor", [&rec] { ExecSite(rec); } },
        { "archive password", [&text] { ExecOpenPW(text); } },
        { "new archive password", [&text] { ExecSavePW(text); } },
        { "generator", [&text] { ExecGenPW(text); } },
        { "import selection", [&list] { ExecImport(list); } },
        { "import selection of a remembered size",
            [&list] {
                State().SetValues("TfrmImport", "0 40 30 420 700");
                ExecImport(list);
            } },
        { "About box", [this] { ShowAboutBox(main); } },
        { "input box", [&text] { InputBox("Enter a name for the shortcut", "Shortcut name", 255, text); } },
    };
    for (const auto& [name, run] : dialogs) {
        QPoint offCentre;
        QSize frame;
        WhenModalShown([this, &offCentre, &frame](QWidget* dialog) {
            offCentre = OffCentre(*dialog, main);
            frame = dialog->frameGeometry().size() - dialog->size();
            dialog->close();
        });
        run();
        EXPECT_FALSE(frame.isNull()) << name << ": the platform frames the dialog";
        EXPECT_LE(std::abs(offCentre.x()), 1) << name;
        EXPECT_LE(std::abs(offCentre.y()), 1) << name;
    }
}

TEST_F(DialogPlacement, MessageAndInputBoxesAreWideEnoughForTheirWholeTitle)
{
    const std::string longTitle = "SiteVault archive of the whole family, kept on the shared drive";
    const std::pair<const char*, std::function<void()>> boxes[] = {
        { "application's error box",
            [&longTitle] {
                SetApplicationTitle(longTitle);
                RunGuarded([] { throw AppError("x"); });
            } },
        { "start-up error box", [] { ShowStartupError(AppError("x")); } },
        { "error", [] { MsgDlg().ShowError("x"); } },
        { "warning", [] { MsgDlg().ShowWarning("x"); } },
        { "question", [] { MsgDlg().QueryYes("x"); } },
        { "input box",
            [] {
                std::string name;
                InputBox("Enter a name for the shortcut", "Shortcut name", 255, name);
            } },
    };
    for (const auto& [name, show] : boxes) {
        int width = 0;
        int needed = 0;
        QString title;
        WhenModalShown([&](QWidget* box) {
            width = box->width();
            needed = LeastCaptionWidth(*box);
            title = box->windowTitle();
            box->close();
        });
        show();
        EXPECT_GE(width, needed) << name << ": " << title.toStdString();
    }
}

TEST_F(DialogPlacement, AnOverlongTitleWidensTheBoxOnlyToTheScreen)
{
    SetApplicationTitle(std::string(600, 'W'));
    int width = 0;
    int screenWidth = 0;
    WhenModalShown([&width, &screenWidth](QWidget* box) {
        width = box->width();
        screenWidth = box->screen()->availableGeometry().width();
        box->close();
    });
    RunGuarded([] { throw AppError("x"); });
    EXPECT_GT(width, 0);
    EXPECT_LE(width, screenWidth);
}

} // namespace
