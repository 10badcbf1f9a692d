#include "SiteEditorDriver.h"

#include "ModalDriver.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

void Type(QWidget& editor, const char* field, const std::string& text)
{
    if (text.empty())
        return;
    auto* edit = editor.findChild<QLineEdit*>(field);
    ASSERT_NE(edit, nullptr) << field;
    edit->setText(QString::fromStdString(text));
}

} // namespace

void AnswerSiteEditor(std::optional<TSiteTyping> typing, std::string* shownName)
{
    WhenModalShown([typing, shownName](QWidget* editor) {
        ASSERT_EQ(editor->windowTitle(), "Site");
        if (shownName != nullptr)
            *shownName = editor->findChild<QLineEdit*>("edtSite")->text().toStdString();
        if (!typing) {
            editor->findChild<QPushButton*>("btnCancel")->click();
            return;
        }
        Type(*editor, "edtSite", typing->site);
        Type(*editor, "edtURL", typing->url);
        Type(*editor, "edtUser", typing->user);
        Type(*editor, "edtPW", typing->password);
        if (!typing->notes.empty())
            editor->findChild<QPlainTextEdit*>("mmoNote")->setPlainText(QString::fromStdString(typing->notes));
        editor->findChild<QPushButton*>("btnOK")->click();
    });
}
