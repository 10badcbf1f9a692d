#include "dialogs/DialogLayout.h"

#include "platform/qt/WindowGeometry.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLayout>
#include <QMainWindow>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace {

constexpr int EditWidth = 202;
constexpr int EditHeight = 21;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int SpeedButtonHeight = 22;
constexpr int UnlimitedLength = std::numeric_limits<int>::max();
// A caption bar's window icon and its three buttons, each about as wide as the bar is high.
constexpr int CaptionBarIcons = 4;

// Masked edits show "*" for every character, whatever the style's own mask is.
class AsteriskMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle* MaskStyle()
{
    static QStyle* const style = [] {
        auto* made = new AsteriskMaskStyle();
        made->setParent(qApp);
        return made;
    }();
    return style;
}

QSize FrameExtra(const QWidget& window)
{
    return window.frameGeometry().size() - window.geometry().size();
}

QWidget* VisibleMainWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) != nullptr && window->isVisible())
            return window;
    }
    return nullptr;
}

// Until the window system has framed the dialog, the main window's frame is the best
// guess of the dialog's own.
void MoveCentred(QDialog& dialog, const QWidget& mainWindow)
{
    if (dialog.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QSize frame = FrameExtra(dialog).isNull() ? FrameExtra(mainWindow) : FrameExtra(dialog);
    const QSize outer = dialog.size() + frame;
    const QRect over = OuterGeometry(mainWindow);
    MoveOuter(dialog,
        over.topLeft() + QPoint((over.width() - outer.width()) / 2, (over.height() - outer.height()) / 2));
}

// Keeps a dialog centred while it opens: when it is shown at its final size, when the
// window system frames it or corrects its size after that, until it first becomes the
// active window. From then on it stays where the user puts it.
class TCentring : public QObject {
public:
    TCentring(QDialog& dialog, QWidget& mainWindow) : QObject(&dialog), dialog(dialog), mainWindow(&mainWindow)
    {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &dialog)
            return false;
        const QEvent::Type type = event->type();
        if (type == QEvent::WindowActivate) {
            dialog.removeEventFilter(this);
            deleteLater();
        } else if ((type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) && dialog.isVisible()
            && mainWindow != nullptr) {
            MoveCentred(dialog, *mainWindow);
        }
        return false;
    }

private:
    QDialog& dialog;
    QPointer<QWidget> mainWindow;
};

// The width a caption bar needs for the window's whole title beside its icon and
// buttons, at most the screen's width.
int CaptionWidth(const QWidget& window)
{
    QFont captionFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    // Window managers often draw captions bold; measured bold, the title fits either way.
    captionFont.setBold(true);
    const int captionBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const int wanted = QFontMetrics(captionFont).horizontalAdvance(window.windowTitle()) + CaptionBarIcons * captionBar;
    return std::min(wanted, window.screen()->availableGeometry().width());
}

} // namespace

QFont DesignedFont(const char* family)
{
    QFont font(family);
    font.setPixelSize(11);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void SetUpFixedDialog(QDialog& dialog, const QString& caption, int clientWidth, int clientHeight)
{
    dialog.setFont(DesignedFont("Tahoma"));
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(clientWidth, clientHeight);
}

QLabel* AddLabel(QWidget& parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, &parent);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* AddPasswordEdit(QWidget& parent, const char* name, int left, int top)
{
    QLineEdit* edit = AddEdit(parent, name, left, top, EditWidth);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyle(MaskStyle());
    return edit;
}

QLineEdit* AddEdit(QWidget& parent, const char* name, int left, int top, int width)
{
    auto* edit = new QLineEdit(&parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, width, EditHeight);
    edit->setMaxLength(UnlimitedLength);
    return edit;
}

QPushButton* AddButton(QWidget& parent, const char* name, const QString& text, int left, int top)
{
    auto* button = new QPushButton(text, &parent);
    button->setObjectName(name);
    button->setGeometry(left, top, ButtonWidth, ButtonHeight);
    button->setAutoDefault(true);
    return button;
}

QToolButton* AddSpeedButton(QWidget& parent, const char* name, const QString& text, const QString& hint,
    int left, int top, int width)
{
    auto* button = new QToolButton(&parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, top, width, SpeedButtonHeight);
    return button;
}

void CentreOverMainWindow(QDialog& dialog)
{
    QWidget* mainWindow = VisibleMainWindow();
    if (mainWindow == nullptr)
        return;
    MoveCentred(dialog, *mainWindow);
    new TCentring(dialog, *mainWindow);
    // Kept above the main window and framed as its dialog, without being owned by it.
    dialog.winId();
    dialog.windowHandle()->setTransientParent(mainWindow->windowHandle());
}

void KeepTitleWhole(QDialog& box)
{
    auto* buttons = box.findChild<QDialogButtonBox*>();
    if (buttons == nullptr || box.layout() == nullptr)
        return;
    // The box takes the width its layout needs when it is shown, and its row of
    // buttons spans that layout.
    const QMargins margins = box.layout()->contentsMargins();
    buttons->setMinimumWidth(CaptionWidth(box) - margins.left() - margins.right());
}
