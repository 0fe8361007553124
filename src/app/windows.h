#pragma once

#include <memory>

#include "app/startup.h"

namespace zelvan {

struct AppState;
class Prompter;
class TInput_Znach_Form;
class TDrive_Form;
class TFTP_Main_Form;
class TNastory_Form;
class TVidatki_List_Form;
class TWaitForm;

// The program's windows other than the main window, each created once when first
// needed and kept until the end of the run.
class Windows final : public StartupHost {
public:
    Windows(AppState& state, Prompter& prompter);
    ~Windows() override;

    TNastory_Form& nastoryForm();
    TWaitForm& waitForm();
    TVidatki_List_Form& vidatkiListForm();
    TInput_Znach_Form& inputZnachForm();
    TDrive_Form& driveForm();
    TFTP_Main_Form& ftpMainForm();

    // Shows the settings dialog modally.
    void showSettingsDialog() override;

private:
    AppState& state_;
    Prompter& prompter_;
    std::unique_ptr<TNastory_Form> nastory_;
    std::unique_ptr<TWaitForm> wait_;
    std::unique_ptr<TVidatki_List_Form> vidatkiList_;
    std::unique_ptr<TInput_Znach_Form> inputZnach_;
    std::unique_ptr<TDrive_Form> drive_;
    std::unique_ptr<TFTP_Main_Form> ftpMain_;
};

}  // namespace zelvan
