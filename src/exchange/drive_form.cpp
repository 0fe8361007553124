#include "exchange/drive_form.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/prompter.h"

namespace zelvan {

TDrive_Form::TDrive_Form(Prompter& prompter, VolumeSource volumes, QString sysfsRoot, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      prompter_(prompter),
      volumes_(std::move(volumes)),
      sysfsRoot_(std::move(sysfsRoot)) {
    setObjectName(QStringLiteral("Drive_Form"));
    setWindowTitle(QStringLiteral("Виберить електронний носій"));
    setModal(true);
    auto* group = new QGroupBox(this);
    laDrive = new QLabel(QStringLiteral("Жорсткий диск"), group);
    laDrive->setObjectName(QStringLiteral("laDrive"));
    dcbOut = new QComboBox(group);
    dcbOut->setObjectName(QStringLiteral("dcbOut"));
    dcbOut->setEnabled(false);
    dcbOut->setMinimumWidth(320);
    Button1 = new QPushButton(QStringLiteral("Ок"), group);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Закрити"), group);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(laDrive);
    inner->addWidget(dcbOut);
    inner->addLayout(buttons);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(group);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(dcbOut, qOverload<int>(&QComboBox::currentIndexChanged), this, &TDrive_Form::dcbOutChange);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TDrive_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TDrive_Form::FormShow() {
    listed_ = volumes_ ? volumes_() : std::vector<Volume>{};
    {
        const QSignalBlocker block(dcbOut);
        dcbOut->clear();
        for (const Volume& v : listed_)
            dcbOut->addItem(v.label.isEmpty() || v.label == v.root ? v.root : QStringLiteral("%1  [%2]").arg(v.root, v.label));
        dcbOut->setCurrentIndex(listed_.empty() ? -1 : 0);
    }
    dcbOut->setEnabled(true);
    SelectedDrive = listed_.empty() ? QString() : listed_.front().root;
    laDrive->setText(QStringLiteral("Жорсткий диск"));
}

void TDrive_Form::dcbOutChange(int index) {
    if (!dcbOut->isEnabled() || index < 0 || index >= int(listed_.size())) return;
    const Volume& volume = listed_[size_t(index)];
    if (volume.root == SelectedDrive) return;
    SelectedDrive = volume.root;
    laDrive->clear();
    // The warnings only warn: the chosen volume stays chosen.
    switch (driveKind(volume, sysfsRoot_)) {
        case DriveKind::Unknown: prompter_.message(MessageKind::Plain, QStringLiteral("Диск не визначено!")); break;
        case DriveKind::NotFormatted: prompter_.message(MessageKind::Plain, QStringLiteral("Диск не форматирован!")); break;
        case DriveKind::Removable: laDrive->setText(QStringLiteral("Флешка")); break;
        case DriveKind::Fixed: laDrive->setText(QStringLiteral("Жорсткий диск")); break;
        case DriveKind::Network: laDrive->setText(QStringLiteral("Мережевий диск")); break;
        case DriveKind::Optical:
            prompter_.message(MessageKind::Plain, QStringLiteral("Вибран оптичний диск (CD-ROM)!"));
            break;
        case DriveKind::Ram: prompter_.message(MessageKind::Plain, QStringLiteral("Вибран виртуальний диск!")); break;
    }
}

}  // namespace zelvan
