#pragma once

#include "core/VaultFile.h"

#include <QList>
#include <QMetaType>

#include <memory>

// Makes one file operation of a save fail, counted from the start of the save: once, or at the same place of
// every later save until lifted. It can also make the folder refuse new files, which sends saves down the path
// that writes the vault in place. Records the steps each save made.
class StepFault final {
public:
    using Step = VaultFile::Step;

    void arm(int at, int error, bool everySave)
    {
        state_->at = at;
        state_->error = error;
        state_->everySave = everySave;
    }
    void refuseNewFiles(int error) { state_->refuseNewFiles = error; }
    // Ends the armed fault; a folder that refuses new files goes on refusing them.
    void lift()
    {
        state_->at = 0;
        state_->error = 0;
        state_->everySave = false;
    }

    // Call before each save: the steps are counted from here.
    void beginSave()
    {
        state_->count = 0;
        state_->steps.clear();
    }

    VaultFile::FaultHook hook() const
    {
        return [state = state_](Step step) {
            state->steps.append(step);
            ++state->count;
            if (state->at > 0 && state->count == state->at) {
                ++state->fired;
                if (!state->everySave) {
                    state->at = 0;
                }
                return state->error;
            }
            return step == Step::CreateTemp ? state->refuseNewFiles : 0;
        };
    }

    const QList<Step> &steps() const { return state_->steps; }
    int fired() const { return state_->fired; }

private:
    struct State {
        int at = 0; // 1-based; 0: no fault
        int error = 0;
        bool everySave = false;
        int refuseNewFiles = 0;
        int count = 0;
        int fired = 0;
        QList<Step> steps;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

Q_DECLARE_METATYPE(VaultFile::Step)

inline const char *stepName(VaultFile::Step step)
{
    using Step = VaultFile::Step;
    switch (step) {
    case Step::CreateTemp:
        return "CreateTemp";
    case Step::Write:
        return "Write";
    case Step::FlushFile:
        return "FlushFile";
    case Step::Close:
        return "Close";
    case Step::Rename:
        return "Rename";
    case Step::OpenFolder:
        return "OpenFolder";
    case Step::FlushFolder:
        return "FlushFolder";
    case Step::OpenInPlace:
        return "OpenInPlace";
    case Step::Reserve:
        return "Reserve";
    case Step::Truncate:
        return "Truncate";
    }
    return "?";
}
