#include "app/windows.h"

#include "app/app_state.h"

#include "app/nastory_form.h"
#include "app/zastavka_form.h"
#include "dict/vidatki_forms.h"
#include "entry/input_znach_form.h"
#include "exchange/drive_form.h"
#include "exchange/ftp_main_form.h"

namespace zelvan {

Windows::Windows(AppState& state, Prompter& prompter) : state_(state), prompter_(prompter) {}

Windows::~Windows() = default;

TNastory_Form& Windows::nastoryForm() {
    if (!nastory_) nastory_ = std::make_unique<TNastory_Form>(state_, prompter_);
    return *nastory_;
}

TWaitForm& Windows::waitForm() {
    if (!wait_) wait_ = std::make_unique<TWaitForm>();
    return *wait_;
}

TVidatki_List_Form& Windows::vidatkiListForm() {
    if (!vidatkiList_) vidatkiList_ = std::make_unique<TVidatki_List_Form>();
    return *vidatkiList_;
}

TInput_Znach_Form& Windows::inputZnachForm() {
    if (!inputZnach_) inputZnach_ = std::make_unique<TInput_Znach_Form>(state_, prompter_);
    return *inputZnach_;
}

TDrive_Form& Windows::driveForm() {
    if (!drive_)
        drive_ = std::make_unique<TDrive_Form>(
            prompter_, state_.volumes ? state_.volumes : TDrive_Form::VolumeSource(mountedVolumes), state_.sysfsRoot);
    return *drive_;
}

TFTP_Main_Form& Windows::ftpMainForm() {
    // Made once: its polling goes on while it is closed, until the program ends.
    if (!ftpMain_) ftpMain_ = std::make_unique<TFTP_Main_Form>(state_, prompter_, *this);
    return *ftpMain_;
}

void Windows::showSettingsDialog() { nastoryForm().exec(); }

}  // namespace zelvan
