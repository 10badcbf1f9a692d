#include "DocumentDriver.h"

#include "ModalDriver.h"
#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "model/Stream.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

void AnswerPrompts(std::vector<std::string> answers, int& prompts)
{
    if (answers.empty())
        return;
    WhenModalShown([answers, &prompts](QWidget* modal) mutable {
        ++prompts;
        const std::string answer = answers.front();
        answers.erase(answers.begin());
        AnswerPrompts(answers, prompts);
        if (answer.empty()) {
            modal->findChild<QPushButton*>("btnCancel")->click();
            return;
        }
        for (auto* edit : modal->findChildren<QLineEdit*>())
            edit->setText(QString::fromStdString(answer));
        modal->findChild<QPushButton*>("btnOK")->click();
    });
}

std::string ReadMember(const std::string& path, const std::string& password)
{
    TArchiveReader reader;
    reader.SetPassword(password);
    reader.SetFileName(path);
    TMemoryStream text;
    reader.ExtractMember("Data", text);
    return text.Bytes();
}

void WriteMember(const std::string& path, const std::string& text, const std::string& password)
{
    TMemoryStream member(text);
    TArchiveWriter writer;
    writer.SetPassword(password);
    writer.SetFileName(path);
    writer.StoreMember("Data", member);
    writer.Close();
}
