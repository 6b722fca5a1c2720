#pragma once

// Windowing services answered from a script, for driving a workflow without a window: each
// dialog takes the next queued answer (a settings dialog may first type its entries into
// the record), and every message is kept in order. A dialog with no answer left fails the
// test and is cancelled.

#include "windowing_services.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

struct ShownMessage
{
    std::string Caption;
    std::string Text;
    bool Exclamation = false;
    friend bool operator==(const ShownMessage &, const ShownMessage &) = default;
};

class ScriptedWindowingServices : public WindowingServices
{
public:
    struct SettingsAnswer
    {
        DialogResult Result = DialogResult::Cancel;
        std::function<void(ExperimentRecord &)> Type; // the entries typed before closing
    };

    void Show(const std::string &caption, const std::string &text) override
    {
        Messages.push_back({caption, text, false});
    }
    void ShowExclamation(const std::string &caption, const std::string &text) override
    {
        Messages.push_back({caption, text, true});
    }

    DialogResult RunSettingsDialog(SettingsDialog dialog, ExperimentRecord &record) override
    {
        DialogsRun.push_back(dialog);
        SettingsAnswer answer = Next(SettingsAnswers, "settings dialog").value_or(SettingsAnswer {});
        if (answer.Type) {
            answer.Type(record);
        }
        return answer.Result;
    }

    std::vector<ChosenFile> ChooseFilesToOpen(const std::vector<FileFilter> &) override
    {
        return Next(FilesToOpen, "file-open dialog").value_or(std::vector<ChosenFile> {});
    }

    std::optional<ChosenFile> ChooseFileToSave(const FileFilter &filter, ExistingFile existing) override
    {
        SaveDialogs.push_back({filter, existing});
        return Next(FilesToSave, "file-save dialog").value_or(std::nullopt);
    }

    std::optional<SaveChoice> ChooseSaveForm() override
    {
        return Next(SaveForms, "Save File As dialog").value_or(std::nullopt);
    }

    std::optional<PrinterChoice> ChoosePrinter(const PrintRequest &request) override
    {
        PrintRequests.push_back(request);
        return Next(Printers, "print dialog").value_or(std::nullopt);
    }

    std::deque<SettingsAnswer> SettingsAnswers;
    std::deque<std::vector<ChosenFile>> FilesToOpen;
    std::deque<std::optional<ChosenFile>> FilesToSave;
    std::deque<std::optional<PrinterChoice>> Printers;
    std::deque<std::optional<SaveChoice>> SaveForms;

    std::vector<ShownMessage> Messages;
    std::vector<SettingsDialog> DialogsRun;
    std::vector<PrintRequest> PrintRequests;
    struct SaveDialog
    {
        FileFilter Filter;
        ExistingFile Existing = ExistingFile::AskFirst;
    };
    std::vector<SaveDialog> SaveDialogs;

private:
    template<typename Answer>
    static std::optional<Answer> Next(std::deque<Answer> &queue, const char *dialog)
    {
        if (queue.empty()) {
            ADD_FAILURE() << "no scripted answer left for the " << dialog;
            return std::nullopt;
        }
        Answer answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};
