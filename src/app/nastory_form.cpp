#include "app/nastory_form.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/app_state.h"
#include "app/directory_edit.h"
#include "app/error.h"
#include "app/prompter.h"

namespace zelvan {

TNastory_Form::TNastory_Form(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      state_(state),
      prompter_(prompter),
      DirectoryEdit1(new DirectoryEdit(this)),
      DirectoryEdit2(new DirectoryEdit(this)),
      Edit1(new QLineEdit(this)),
      Edit2(new QLineEdit(this)),
      Edit3(new QLineEdit(this)),
      DirectoryEdit3(new DirectoryEdit(this)),
      MaskEdit1(new QLineEdit(this)),
      edFtpPort(new QLineEdit(this)),
      edFtpUser(new QLineEdit(this)),
      edFtpPassword(new QLineEdit(this)),
      cbFtpActive(new QCheckBox(QStringLiteral("Активний режим передачі (замість пасивного)"), this)),
      cbFtpTls(new QCheckBox(QStringLiteral("Захищене з'єднання (FTPS, явний TLS)"), this)),
      BitBtn1(new QPushButton(QStringLiteral("Зберегти"), this)),
      BitBtn2(new QPushButton(QStringLiteral("Закрити"), this)) {
    setObjectName(QStringLiteral("Nastory_Form"));
    setWindowTitle(QStringLiteral("Настройки"));
    DirectoryEdit1->setObjectName(QStringLiteral("DirectoryEdit1"));
    DirectoryEdit2->setObjectName(QStringLiteral("DirectoryEdit2"));
    DirectoryEdit3->setObjectName(QStringLiteral("DirectoryEdit3"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit3->setObjectName(QStringLiteral("Edit3"));
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setPlaceholderText(QStringLiteral("IPv4-адреса або ім'я сервера"));
    edFtpPort->setObjectName(QStringLiteral("edFtpPort"));
    edFtpPort->setPlaceholderText(QStringLiteral("21"));
    edFtpUser->setObjectName(QStringLiteral("edFtpUser"));
    edFtpPassword->setObjectName(QStringLiteral("edFtpPassword"));
    edFtpPassword->setEchoMode(QLineEdit::Password);
    cbFtpActive->setObjectName(QStringLiteral("cbFtpActive"));
    cbFtpTls->setObjectName(QStringLiteral("cbFtpTls"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    BitBtn1->setDefault(true);

    auto* folders = new QFormLayout;
    folders->addRow(QStringLiteral("Папка з БД"), DirectoryEdit1);
    folders->addRow(QStringLiteral("Папка з WinRar"), DirectoryEdit2);

    auto* ftpBox = new QGroupBox(QStringLiteral("FTP"), this);
    auto* ftp = new QFormLayout(ftpBox);
    ftp->addRow(QStringLiteral("Код організації"), Edit1);
    ftp->addRow(QStringLiteral("Код стану"), Edit2);
    ftp->addRow(QStringLiteral("Код періода"), Edit3);
    ftp->addRow(QStringLiteral("Папка з FTP-файлами"), DirectoryEdit3);
    ftp->addRow(QStringLiteral("IP адрес сервера"), MaskEdit1);
    ftp->addRow(QStringLiteral("Порт сервера"), edFtpPort);
    ftp->addRow(QStringLiteral("Ім'я користувача FTP"), edFtpUser);
    ftp->addRow(QStringLiteral("Пароль FTP"), edFtpPassword);
    ftp->addRow(QString(), cbFtpActive);
    ftp->addRow(QString(), cbFtpTls);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folders);
    layout->addWidget(ftpBox);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    DirectoryEdit1->setMinimumWidth(420);

    connect(BitBtn1, &QPushButton::clicked, this, &TNastory_Form::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TNastory_Form::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TNastory_Form::FormShow() {
    const AppSettings& s = state_.settings;
    DirectoryEdit1->setText(s.dbDir);
    DirectoryEdit2->setText(s.winRarDir);
    Edit1->setText(s.ftpKodObj);
    Edit2->setText(s.ftpKodStan);
    Edit3->setText(s.ftpKodDanper);
    DirectoryEdit3->setText(s.ftpDirectory);
    MaskEdit1->setText(s.ftpIpServer);
    edFtpPort->setText(s.ftpPort);
    edFtpUser->setText(s.ftpUser);
    edFtpPassword->setText(s.ftpPassword);
    cbFtpActive->setChecked(s.ftpActive == QStringLiteral("1"));
    cbFtpTls->setChecked(s.ftpTls == QStringLiteral("1"));
    DirectoryEdit1->setFocus();
}

void TNastory_Form::BitBtn1Click() {
    const SettingsFields fields{DirectoryEdit1->text(),
                                DirectoryEdit2->text(),
                                Edit1->text(),
                                Edit2->text(),
                                Edit3->text(),
                                DirectoryEdit3->text(),
                                MaskEdit1->text(),
                                edFtpPort->text(),
                                edFtpUser->text(),
                                edFtpPassword->text(),
                                cbFtpActive->isChecked() ? QStringLiteral("1") : QString(),
                                cbFtpTls->isChecked() ? QStringLiteral("1") : QString()};
    if (const QString problem = checkServerAddress(fields.ftpIpServer); !problem.isEmpty()) {
        prompter_.message(MessageKind::Error, problem);
        MaskEdit1->setFocus();
        MaskEdit1->selectAll();
        return;
    }
    if (const QString problem = checkServerPort(fields.ftpPort); !problem.isEmpty()) {
        prompter_.message(MessageKind::Error, problem);
        edFtpPort->setFocus();
        edFtpPort->selectAll();
        return;
    }
    try {
        saveSettings(state_.configPath, fields, state_.settings);
    } catch (const ZelvanError& error) {
        prompter_.message(MessageKind::Error, error.message());
        return;
    }
    accept();
}

}  // namespace zelvan
