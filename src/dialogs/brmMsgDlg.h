#pragma once

#include "settings/SingleInstance.h"

#include <deque>
#include <string>
#include <vector>

// Every question, error, warning and file chooser the program shows. Each
// operation fixes a box's caption, icon and buttons, and hands its caller a Boolean
// or a file name.
class TbrmMsgDlg : public TSingleInstance<TbrmMsgDlg> {
public:
    // Only the accessor MsgDlg constructs the service.
    TbrmMsgDlg();

    // True only when the user answered No (closing the box is no answer).
    bool QueryNo(const std::string& msg) const;
    // True only when the user answered Yes.
    bool QueryYes(const std::string& msg) const;
    void ShowError(const std::string& msg) const;
    void ShowWarning(const std::string& msg) const;

    // Filter: "description|pattern|description|pattern...". FileName becomes the full
    // path of the chosen file, or empty when nothing was chosen. An empty InitialDir
    // opens in the program's folder.
    void PromptOpenFile(const std::string& title, const std::string& filter, const std::string& initialDir,
        std::string& fileName) const;
    // The same for a file that need not exist, with DefaultExt added as below.
    void PromptOpenAnyFile(const std::string& title, const std::string& filter, const std::string& defaultExt,
        const std::string& initialDir, std::string& fileName) const;
    // DefaultExt (without its dot) is added to a name typed without an extension;
    // with OverwritePrompt an existing file is chosen only after a question.
    void PromptSaveFile(const std::string& title, const std::string& filter, const std::string& defaultExt,
        bool overwritePrompt, const std::string& initialDir, std::string& fileName) const;
};

// The single message service, made on the first call.
TbrmMsgDlg& MsgDlg();

// Box answers.
constexpr int AnswerOk = 1;
constexpr int AnswerClosed = 2;
constexpr int AnswerYes = 6;
constexpr int AnswerNo = 7;

// Tests give the service scripted answers instead of real boxes and choosers: each
// box takes the next answer, each chooser the next file name (empty: cancelled),
// and everything shown is recorded as "caption: text" or "title: chooser".
struct TScriptedDialogs {
    std::deque<int> answers;
    std::deque<std::string> fileNames;
    std::vector<std::string> shown;
};
void ScriptDialogs(TScriptedDialogs* script);
