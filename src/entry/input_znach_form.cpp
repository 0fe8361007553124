#include "entry/input_znach_form.h"

namespace zelvan {

TInput_Znach_Form::TInput_Znach_Form(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Input_Znach_Form"));
    setWindowTitle(QStringLiteral("Ввод / редагування данних"));
    setMinimumSize(221, 196);
    resize(900, 600);
}

}  // namespace zelvan
