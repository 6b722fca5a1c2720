#pragma once

// The settings file as the three settings dialogs: each dialog's entries are applied as if
// typed, then checked as the dialog's Next checks them. A refused entry is shown like the
// dialog's message box and ends the sequence, since there is nobody to correct it.

#include "import_sequence.h"
#include "settings_file.h"

class SettingsFileEntries : public SettingsEntries
{
public:
    SettingsFileEntries(const SettingsFile &settings, MessageSink &messages)
        : settings(settings)
        , messages(messages)
    { }

    DialogResult ChoiceOfVariable(ExperimentRecord &record) override;
    DialogResult DataInput(ExperimentRecord &record) override;
    DialogResult AdditionalDataInput(ExperimentRecord &record) override;

    // An entry was refused (the sequence then ended as if cancelled).
    bool Refused() const { return refused; }

private:
    DialogResult Refuse(const Refusal &refusal);

    const SettingsFile &settings;
    MessageSink &messages;
    bool refused = false;
};
