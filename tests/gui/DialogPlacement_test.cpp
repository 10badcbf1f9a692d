#include "dialogs/About.h"
#include "dialogs/InputBox.h"
#include "dialogs/fmGenPW.h"
#include "dialogs/fmImport.h"
#include "dialogs/fmOpenPW.h"
#include "dialogs/fmSavePW.h"
#include "dialogs/fmSite.h"

#include "ModalDriver.h"
#include "model/brmPW.h"
#include "settings/brmState.h"

#include <QApplication>
#include <QMainWindow>

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

class DialogPlacement : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* placement : { "TfrmSite", "TfrmGenPW", "TfrmImport" })
            State().SetValues(placement, "");
        main.setGeometry(50, 60, 760, 560);
        main.show();
    }

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

} // namespace
