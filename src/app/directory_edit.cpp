#include "app/directory_edit.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace zelvan {

DirectoryEdit::DirectoryEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    button_->setText(QStringLiteral("..."));
    button_->setToolTip(QStringLiteral("Вибрати папку"));
    setFocusProxy(edit_);
    connect(button_, &QToolButton::clicked, this, &DirectoryEdit::browse);
}

QString DirectoryEdit::text() const { return edit_->text(); }

void DirectoryEdit::setText(const QString& text) { edit_->setText(text); }

void DirectoryEdit::browse() {
    const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Вибір папки"), edit_->text());
    if (!chosen.isEmpty()) edit_->setText(chosen);
}

}  // namespace zelvan
