#include "dialogs/About.h"

#include "MainWindowFixture.h"
#include "ModalDriver.h"
#include "platform/LocalTime.h"
#include "platform/qt/DesktopShell.h"
#include "services/globals.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace {

const QColor IconColour(200, 30, 30);
const std::string HomePage = "https://example.org/vault";

QLabel& Label(QWidget& dialog, const char* name)
{
    return FindControl<QLabel>(dialog, name);
}

bool HourglassShown()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

// Keys go where a user's would: to the control with the focus.
void PressKey(QWidget& dialog, Qt::Key key)
{
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused != nullptr ? focused : &dialog, key);
}

void ExpectNothingClippedOrOverlapping(TFormAbout& about)
{
    const QList<QWidget*> controls = about.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    EXPECT_EQ(controls.size(), 7);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget& control = *controls[i];
        const QString name = control.objectName();
        EXPECT_TRUE(about.rect().contains(control.geometry())) << name.toStdString();
        if (const auto* label = qobject_cast<const QLabel*>(&control)) {
            const QSize needed = label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                                   : label->sizeHint();
            EXPECT_LE(needed.width(), label->width()) << name.toStdString();
            EXPECT_LE(needed.height(), label->height()) << name.toStdString();
            if (label->pixmap().isNull()) {
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << name.toStdString();
            }
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(control.geometry().intersects(controls[j]->geometry()))
                << name.toStdString() << " and " << controls[j]->objectName().toStdString();
    }
}

// A shown main window whose configuration and clock the test sets; the application icon
// is a plain colour and the desktop's opener only records what it is handed.
class AboutBox : public MainWindowFixture {
protected:
    struct OpenedLink {
        std::string link;
        bool busy;
        bool operator==(const OpenedLink&) const = default;
    };

    void SetUp() override
    {
        MainWindowFixture::SetUp();
        Configure({ "Version=2.4.1", "Copyright=Example Works", "HelpHomePageLink=" + HomePage });
        FixLocalNow(TLocalTime { .year = 2031, .month = 5, .day = 6 });
        previousIcon = QApplication::windowIcon();
        QPixmap picture(32, 32);
        picture.fill(IconColour);
        QApplication::setWindowIcon(QIcon(picture));
        previousOpener = ReplaceDesktopOpener(
            [this](const std::string& link) { opened.push_back({ link, HourglassShown() }); });
        window->show();
    }
    void TearDown() override
    {
        ReplaceDesktopOpener(previousOpener);
        QApplication::setWindowIcon(previousIcon);
        FixLocalNow(std::nullopt);
        MainWindowFixture::TearDown();
    }

    // The section's pairs after the title, read as the main window reads them.
    void Configure(const std::vector<std::string>& pairs)
    {
        std::string bytes = InvertedConfig({ "[SYSTEM]", "Name=Demo" });
        for (const std::string& pair : pairs)
            bytes += InvertedConfig({ pair });
        program.Write("vezozivi.dll", bytes);
        LoadGlobalVars();
    }

    // Shows the box from the main window and hands it to Use once it is the active window;
    // closes it if Use left it open. Gives the result it ended with.
    int Run(const std::function<void(TFormAbout&)>& use)
    {
        int result = -1;
        WhenModalActive([&use, &result](QWidget* modal) {
            auto* about = qobject_cast<TFormAbout*>(modal);
            if (about == nullptr) {
                ADD_FAILURE() << "another window was shown";
                modal->close();
                return;
            }
            QObject::connect(about, &QDialog::finished, [&result](int ended) { result = ended; });
            use(*about);
            if (about->isVisible())
                about->close();
        });
        ShowAboutBox(*window);
        return result;
    }

    std::vector<OpenedLink> opened;

private:
    QIcon previousIcon;
    TDesktopOpener previousOpener;
};

TEST_F(AboutBox, ShowsTheProductOverTheMainWindowThatOwnsIt)
{
    Run([this](TFormAbout& about) {
        EXPECT_EQ(about.windowTitle(), "About Demo");
        EXPECT_EQ(about.size(), QSize(428, 218));
        EXPECT_EQ(about.parentWidget(), window.get());
        // Within the width of a window frame, which the placement does not count.
        EXPECT_LE((about.frameGeometry().center() - window->frameGeometry().center()).manhattanLength(), 8);
        const QLabel& icon = Label(about, "ImageIcon");
        EXPECT_EQ(icon.geometry(), QRect(16, 8, 33, 33));
        EXPECT_EQ(icon.pixmap().toImage().pixelColor(0, 0), IconColour);
        const QLabel& title = Label(about, "LabelAppName");
        EXPECT_EQ(title.text(), "Demo");
        EXPECT_EQ(title.pos(), QPoint(66, 8));
        EXPECT_TRUE(title.font().bold());
        EXPECT_EQ(title.font().pixelSize(), 12);
        EXPECT_EQ(Label(about, "LabelVersion").text(), "Version 2.4.1");
        EXPECT_EQ(Label(about, "LabelVersion").pos(), QPoint(66, 26));
        EXPECT_EQ(Label(about, "LabelCopyRight").text(), "Copyright (c) 2031 Example Works");
        EXPECT_TRUE(Label(about, "LabelWarning").text().contains("password cannot be recovered"));
        const QLabel& link = Label(about, "LabelWeb");
        EXPECT_EQ(link.text().toStdString(), HomePage);
        EXPECT_EQ(link.pos(), QPoint(16, 192));
        EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_TRUE(link.font().underline());
        EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
        const QPushButton& ok = FindControl<QPushButton>(about, "ButtonOK");
        EXPECT_EQ(ok.text(), "OK");
        EXPECT_EQ(ok.geometry(), QRect(336, 184, 81, 23));
        EXPECT_TRUE(ok.isDefault());
        EXPECT_EQ(QApplication::focusWidget(), &ok);
        ExpectNothingClippedOrOverlapping(about);
    });
    EXPECT_TRUE(window->findChildren<TFormAbout*>().isEmpty()) << "the box is freed once it has ended";
}

TEST_F(AboutBox, LongOrEmptyValuesNeitherClipNorOverlap)
{
    const std::string longText(400, 'w');
    SetApplicationTitle(longText);
    Configure({ "Version=" + longText, "Copyright=<b>" + longText + "</b>", "HelpHomePageLink=https://" + longText });
    Run([&longText](TFormAbout& about) {
        ExpectNothingClippedOrOverlapping(about);
        EXPECT_EQ(Label(about, "LabelWeb").toolTip().toStdString(), "https://" + longText) << "shortened, shown whole";
        EXPECT_TRUE(Label(about, "LabelCopyRight").text().startsWith("Copyright (c) 2031 <b>"));
    });

    SetApplicationTitle("");
    Configure({});
    Run([](TFormAbout& about) {
        ExpectNothingClippedOrOverlapping(about);
        EXPECT_EQ(about.windowTitle(), "About ");
        EXPECT_EQ(Label(about, "LabelVersion").text(), "Version ");
        EXPECT_EQ(Label(about, "LabelCopyRight").text(), "Copyright (c) 2031 ");
        EXPECT_EQ(Label(about, "LabelWeb").text(), "");
    });
}

TEST_F(AboutBox, OkAndEnterEndItWithOneTheCloseBoxWithTwoAndEscapeNot)
{
    struct Ending {
        const char* how;
        std::function<void(TFormAbout&)> end;
        int result;
    };
    const Ending endings[] = {
        { "OK", [](TFormAbout& about) { QTest::mouseClick(&FindControl<QPushButton>(about, "ButtonOK"), Qt::LeftButton); }, 1 },
        { "Enter", [](TFormAbout& about) { PressKey(about, Qt::Key_Return); }, 1 },
        { "close box", [](TFormAbout& about) { about.close(); }, 2 },
    };
    for (const Ending& ending : endings) {
        EXPECT_EQ(Run([&ending](TFormAbout& about) {
            PressKey(about, Qt::Key_Escape);
            EXPECT_TRUE(about.isVisible()) << "Escape";
            ending.end(about);
            EXPECT_FALSE(about.isVisible()) << ending.how;
        }), ending.result) << ending.how;
    }
}

TEST_F(AboutBox, ClickingTheLinkHandsTheConfiguredLinkToTheDesktopAndLeavesTheBoxOpen)
{
    const std::string deepGuide = "file:///home/someone/Applications/password-tools/sitevault-2.4.1/guide/index.html";
    for (const std::string& link : { HomePage, std::string(), deepGuide }) {
        Configure({ "HelpHomePageLink=" + link });
        opened.clear();
        Run([](TFormAbout& about) {
            QTest::mouseClick(&Label(about, "LabelWeb"), Qt::LeftButton);
            EXPECT_TRUE(about.isVisible());
        });
        EXPECT_EQ(opened, (std::vector<OpenedLink> { { link, true } })) << link;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    opened.clear();
    Run([](TFormAbout& about) {
        QLabel& web = Label(about, "LabelWeb");
        QTest::mousePress(&web, Qt::LeftButton);
        QTest::mouseRelease(&web, Qt::LeftButton, {}, QPoint(web.width() + 20, -20));
    });
    EXPECT_TRUE(opened.empty()) << "a press released away from the link is no click";
}

} // namespace
