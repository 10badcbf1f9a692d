#include "dialogs/InputBox.h"

#include "dialogs/DialogLayout.h"
#include "platform/qt/QtText.h"

#include <QInputDialog>
#include <QLineEdit>

bool InputBox(const std::string& caption, const std::string& prompt, int maxLength, std::string& value)
{
    QInputDialog box;
    box.setObjectName("InputBox");
    box.setFont(DesignedFont("Tahoma"));
    box.setWindowTitle(ToQString(caption));
    box.setLabelText(ToQString(prompt));
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(ToQString(value));
    box.findChild<QLineEdit*>()->setMaxLength(maxLength);
    // Laid out now, so that it is widened for its caption and centred by the size it
    // is shown at, not by that of a window not yet laid out.
    box.adjustSize();
    KeepTitleWhole(box);
    box.adjustSize();
    CentreOverMainWindow(box);
    if (box.exec() != QDialog::Accepted)
        return false;
    value = FromQString(box.textValue());
    return true;
}
