#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace zelvan {

// A text field for a folder with a button that opens the folder browser. The text
// keeps the letter case as typed: folder names on this system depend on it.
class DirectoryEdit : public QWidget {
    Q_OBJECT
public:
    explicit DirectoryEdit(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* lineEdit() const { return edit_; }

private:
    void browse();

    QLineEdit* edit_;
    QToolButton* button_;
};

}  // namespace zelvan
