#include "dialogs/About.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PasswordDialogs.h"
#include "platform/LocalTime.h"
#include "platform/qt/QtText.h"
#include "settings/ApplicationTitle.h"
#include "services/UtilFuncs.h"
#include "services/globals.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

constexpr int ClientWidth = 428;
constexpr int ClientHeight = 218;
constexpr int Margin = 16;
constexpr int TextLeft = 66;
constexpr int IconSide = 33;
// The icon file's own size nearest the image, drawn unscaled at its top left.
constexpr int IconPictureSide = 32;
constexpr int TitlePixels = 12; // 9 points
constexpr int GapBeforeButton = 8;

const QString RightsPattern = QStringLiteral("Copyright (c) %1 %2");
const QString Warning = QStringLiteral(
    "This program is provided as is, without warranty of any kind. Keep a backup copy of your archives "
    "and remember their passwords: a lost password cannot be recovered, and the sites of an archive "
    "cannot be read without it.");

QFont TitleFont()
{
    QFont font = DesignedFont("Tahoma");
    font.setPixelSize(TitlePixels);
    font.setBold(true);
    return font;
}

// Configured texts are shown as they stand, never as markup. One longer than its room is
// shortened in the middle and shown whole in its tooltip, so it neither runs off the
// box nor under the OK button.
void ShowFitted(QLabel& label, const QString& text, int room)
{
    label.setTextFormat(Qt::PlainText);
    const QString shown = label.fontMetrics().elidedText(text, Qt::ElideMiddle, room);
    label.setText(shown);
    label.setToolTip(shown == text ? QString() : text);
    label.adjustSize();
}

void ShowWrapped(QLabel& label, const QString& text, int width)
{
    label.setTextFormat(Qt::PlainText);
    label.setWordWrap(true);
    label.setText(text);
    label.resize(width, label.heightForWidth(width));
}

void ShowAsLink(QLabel& label)
{
    QFont font = label.font();
    font.setUnderline(true);
    label.setFont(font);
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label.setPalette(palette);
    label.setCursor(Qt::PointingHandCursor);
}

bool IsClickOn(const QLabel& label, const QEvent& event)
{
    if (event.type() != QEvent::MouseButtonRelease)
        return false;
    const auto& mouse = static_cast<const QMouseEvent&>(event);
    return mouse.button() == Qt::LeftButton && label.rect().contains(mouse.position().toPoint());
}

} // namespace

TFormAbout::TFormAbout(QWidget* owner) : QDialog(owner)
{
    setObjectName("FormAbout");
    SetUpFixedDialog(*this, QStringLiteral("About %1").arg(ToQString(ApplicationTitle())), ClientWidth, ClientHeight);
    CreateControls();
    FormCreate();
    ButtonOK->setFocus();
    CentreOverMainWindow(*this);
    connect(ButtonOK, &QPushButton::clicked, this, &TFormAbout::ButtonOKClick);
}

void TFormAbout::CreateControls()
{
    ImageIcon = AddLabel(*this, "ImageIcon", QString(), Margin, 8);
    ImageIcon->resize(IconSide, IconSide);
    ImageIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelAppName = AddLabel(*this, "LabelAppName", QString(), TextLeft, 8);
    LabelAppName->setFont(TitleFont());
    LabelVersion = AddLabel(*this, "LabelVersion", QString(), TextLeft, 26);
    LabelCopyRight = AddLabel(*this, "LabelCopyRight", QString(), TextLeft, 44);
    LabelWarning = AddLabel(*this, "LabelWarning", QString(), Margin, 72);
    LabelWeb = AddLabel(*this, "LabelWeb", QString(), Margin, 192);
    ShowAsLink(*LabelWeb);
    LabelWeb->installEventFilter(this);
    ButtonOK = AddButton(*this, "ButtonOK", "OK", 336, 184);
    ButtonOK->resize(81, 23);
    ButtonOK->setDefault(true);
}

void TFormAbout::FormCreate()
{
    ImageIcon->setPixmap(QApplication::windowIcon().pixmap(IconPictureSide, IconPictureSide));
    const int year = LocalNow().year;
    const int textRoom = ClientWidth - Margin - TextLeft;
    ShowFitted(*LabelAppName, ToQString(ApplicationTitle()), textRoom);
    ShowFitted(*LabelWeb, ToQString(GlobalVars.HelpHomePageLink), ButtonOK->x() - GapBeforeButton - Margin);
    ShowFitted(*LabelVersion, QStringLiteral("Version %1").arg(ToQString(GlobalVars.Version)), textRoom);
    ShowFitted(*LabelCopyRight, RightsPattern.arg(QString::number(year), ToQString(GlobalVars.Copyright)), textRoom);
    ShowWrapped(*LabelWarning, Warning, ClientWidth - 2 * Margin);
}

void TFormAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LabelWeb && IsClickOn(*LabelWeb, *event)) {
        LabelWebClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormAbout::reject()
{
    done(ModalCancel);
}

void TFormAbout::ButtonOKClick()
{
    done(ModalOk);
}

void TFormAbout::LabelWebClick()
{
    OpenLink(GlobalVars.HelpHomePageLink);
}

void ShowAboutBox(QWidget& mainWindow)
{
    TFormAbout about(&mainWindow);
    about.exec();
}
