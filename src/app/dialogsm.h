#pragma once

#include <QDialog>
#include <QString>

#include "app/dialog_model.h"

class QKeyEvent;

namespace zelvan {

// The program's own message dialog: an optional system icon, a word-wrapped message
// and a row of buttons captioned from the built-in three-language text table, in the
// colours and font of a style.
class StyledMessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit StyledMessageDialog(QWidget* parent = nullptr);

    // The modal result that closing the window by its title bar gives.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Builds the dialog without showing it; the caller owns it.
StyledMessageDialog* CreateStyledMessageDialog(const QString& msg, const QString& caption, TMsgDlgType dlgType,
                                               TMsgDlgButtons buttons, const TMsgDlgStyle& style);

// Shows the dialog modally at the given place (−1 keeps it centred) and returns the
// modal result.
int StyledMessageDlgPos(const QString& msg, const QString& caption, TMsgDlgType dlgType,
                        TMsgDlgButtons buttons, int helpCtx, int x, int y, const TMsgDlgStyle& style);

// Shows the dialog modally, centred on the screen, and returns the modal result.
int StyledMessageDlg(const QString& msg, const QString& caption, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                     int helpCtx, const TMsgDlgStyle& style);

}  // namespace zelvan
