#pragma once

#include <QDialog>

namespace zelvan {

// The data entry window "Ввод / редагування данних".
class TInput_Znach_Form : public QDialog {
    Q_OBJECT
public:
    explicit TInput_Znach_Form(QWidget* parent = nullptr);
};

}  // namespace zelvan
