#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "platform/volumes.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace zelvan {

class Prompter;

// "Виберить електронний носій": the user names the volume that holds the medium; the
// dialog tells its kind and warns about volumes that are unlikely to be one.
class TDrive_Form : public QDialog {
    Q_OBJECT
public:
    using VolumeSource = std::function<std::vector<Volume>()>;

    // The volumes and the kernel's block device folder are injected for tests.
    TDrive_Form(Prompter& prompter, VolumeSource volumes = mountedVolumes, QString sysfsRoot = QStringLiteral("/sys"),
                QWidget* parent = nullptr);

    // Lists the volumes, enables the box and starts again from the first volume (the one
    // holding the home folder).
    void FormShow();
    // The box chose another volume.
    void dcbOutChange(int index);

    // The chosen volume's root.
    QString SelectedDrive;

    QLabel* laDrive;
    QComboBox* dcbOut;
    QPushButton* Button1;  // Ок
    QPushButton* Button2;  // Закрити

protected:
    void showEvent(QShowEvent* event) override;

private:
    Prompter& prompter_;
    VolumeSource volumes_;
    QString sysfsRoot_;
    std::vector<Volume> listed_;
};

}  // namespace zelvan
