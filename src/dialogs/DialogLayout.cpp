#include "dialogs/DialogLayout.h"

#include <QApplication>
#include <QMainWindow>
#include <QProxyStyle>

namespace {

constexpr int EditWidth = 202;
constexpr int EditHeight = 21;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

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

QLabel* AddLabel(QDialog& dialog, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, &dialog);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* AddPasswordEdit(QDialog& dialog, const char* name, int left, int top)
{
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(name);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyle(MaskStyle());
    edit->setGeometry(left, top, EditWidth, EditHeight);
    return edit;
}

QPushButton* AddButton(QDialog& dialog, const char* name, const QString& text, int left, int top)
{
    auto* button = new QPushButton(text, &dialog);
    button->setObjectName(name);
    button->setGeometry(left, top, ButtonWidth, ButtonHeight);
    button->setAutoDefault(false);
    return button;
}

void CentreOverMainWindow(QDialog& dialog)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) != nullptr && window->isVisible()) {
            dialog.move(window->frameGeometry().center() - dialog.rect().center());
            return;
        }
    }
}
