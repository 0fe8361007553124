#pragma once

#include <QDialog>

namespace zelvan {

// The splash window shown at start: the start goes on only when its button "ОК"
// closes it.
class TZastavka_Form : public QDialog {
    Q_OBJECT
public:
    explicit TZastavka_Form(QWidget* parent = nullptr);
};

// The window shown while the exchange commands copy files: "ЗАЧЕКАЙТЕ ...".
class TWaitForm : public QWidget {
    Q_OBJECT
public:
    explicit TWaitForm(QWidget* parent = nullptr);

signals:
    // The window went away: closed by the program, or by the user with Esc.
    void closed();

protected:
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace zelvan
