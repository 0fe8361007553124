#include "app/dialogsm.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <memory>

namespace zelvan {

namespace {

const char* const kModalResult = "modalResult";
const char* const kCancelButton = "cancelButton";

QColor toColor(std::uint32_t rgb) { return QColor((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff); }

QStyle::StandardPixmap iconOf(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::mtWarning: return QStyle::SP_MessageBoxWarning;
        case TMsgDlgType::mtError: return QStyle::SP_MessageBoxCritical;
        case TMsgDlgType::mtInformation: return QStyle::SP_MessageBoxInformation;
        case TMsgDlgType::mtConfirmation: return QStyle::SP_MessageBoxQuestion;
        case TMsgDlgType::mtCustom: break;
    }
    return QStyle::SP_CustomBase;
}

QStyle::StandardPixmap glyphOf(TMsgDlgBtn button) {
    switch (button) {
        case TMsgDlgBtn::mbYes: case TMsgDlgBtn::mbYesToAll: return QStyle::SP_DialogYesButton;
        case TMsgDlgBtn::mbNo: case TMsgDlgBtn::mbNoToAll: return QStyle::SP_DialogNoButton;
        case TMsgDlgBtn::mbOK: return QStyle::SP_DialogOkButton;
        case TMsgDlgBtn::mbCancel: return QStyle::SP_DialogCancelButton;
        case TMsgDlgBtn::mbAbort: return QStyle::SP_DialogAbortButton;
        case TMsgDlgBtn::mbRetry: return QStyle::SP_DialogRetryButton;
        case TMsgDlgBtn::mbIgnore: return QStyle::SP_DialogIgnoreButton;
        case TMsgDlgBtn::mbAll: return QStyle::SP_DialogApplyButton;
        case TMsgDlgBtn::mbHelp: return QStyle::SP_DialogHelpButton;
    }
    return QStyle::SP_CustomBase;
}

QFont styleFont(const QString& family, int pointSize, std::uint8_t styleBits) {
    QFont font(family, pointSize);
    font.setBold(styleBits & fs::Bold);
    font.setItalic(styleBits & fs::Italic);
    font.setUnderline(styleBits & fs::Underline);
    font.setStrikeOut(styleBits & fs::StrikeOut);
    return font;
}

QScreen* screenFor() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen;
}

}  // namespace

StyledMessageDialog::StyledMessageDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {}

void StyledMessageDialog::reject() { done(mr::Cancel); }

void StyledMessageDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Esc answers as the cancel button does; without one it does nothing.
        const QString cancelName = property(kCancelButton).toString();
        if (!cancelName.isEmpty()) {
            if (auto* cancel = findChild<QPushButton*>(cancelName)) cancel->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

StyledMessageDialog* CreateStyledMessageDialog(const QString& msg, const QString& caption, TMsgDlgType dlgType,
                                               TMsgDlgButtons buttons, const TMsgDlgStyle& style) {
    auto dialog = std::make_unique<StyledMessageDialog>();
    dialog->setAutoFillBackground(true);
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, toColor(style.Color));
    dialog->setPalette(palette);
    dialog->setFont(styleFont(style.FontName, style.FontSize, style.FontStyle));
    const int language = languageIndex(style.Language);

    const QRect screen = screenFor() ? screenFor()->geometry() : QRect(0, 0, 1024, 768);
    const QFontMetrics metrics(dialog->font());
    const QRect textRect =
        metrics.boundingRect(QRect(0, 0, screen.width() / 2, 0), Qt::TextWordWrap | Qt::AlignLeft, msg);

    auto* label = new QLabel(msg, dialog.get());
    label->setObjectName(QStringLiteral("Message"));
    label->setWordWrap(true);
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, toColor(style.TextColor));
    label->setPalette(labelPalette);

    DialogLayoutInput in;
    in.textWidth = textRect.width();
    in.textHeight = textRect.height();
    in.screenWidth = screen.width();
    in.screenHeight = screen.height();

    QLabel* image = nullptr;
    if (dlgType != TMsgDlgType::mtCustom) {
        const int size = dialog->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, dialog.get());
        const QPixmap pixmap = dialog->style()->standardIcon(iconOf(dlgType), nullptr, dialog.get()).pixmap(size, size);
        image = new QLabel(dialog.get());
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(pixmap);
        in.hasIcon = true;
        in.iconWidth = size;
        in.iconHeight = size;
    }

    const std::vector<DialogButton> specs = dialogButtons(buttons);
    in.buttonCount = static_cast<int>(specs.size());
    const DialogLayout layout = layoutDialog(in);

    label->setGeometry(layout.labelLeft, layout.labelTop, in.textWidth, in.textHeight);
    if (image) image->setGeometry(layout.iconLeft, layout.iconTop, in.iconWidth, in.iconHeight);

    QPushButton* focus = nullptr;
    for (size_t i = 0; i < specs.size(); ++i) {
        const DialogButton& spec = specs[i];
        auto* button = new QPushButton(DialogText(spec.captionKey, language), dialog.get());
        button->setObjectName(spec.name);
        button->setFont(QFont(QStringLiteral("Ms Sans Serif"), 8));
        button->setIcon(dialog->style()->standardIcon(glyphOf(spec.button), nullptr, button));
        button->setGeometry(layout.buttonLefts[i], layout.buttonTop, dialog_metrics::ButtonWidth,
                            dialog_metrics::ButtonHeight);
        button->setProperty(kModalResult, spec.modalResult);
        button->setAutoDefault(true);
        button->setDefault(spec.isDefault);
        if (spec.isDefault && !focus) focus = button;
        if (spec.isCancel) dialog->setProperty(kCancelButton, spec.name);
        StyledMessageDialog* target = dialog.get();
        QObject::connect(button, &QPushButton::clicked, target, [target, result = spec.modalResult] {
            if (result != mr::None) target->done(result);
        });
    }
    if (focus) focus->setFocus();

    QString title = caption;
    if (title.isEmpty() && titleKey(dlgType) >= 0) title = DialogText(static_cast<std::uint16_t>(titleKey(dlgType)), language);
    dialog->setWindowTitle(title);
    dialog->setFixedSize(layout.clientWidth, layout.clientHeight);
    dialog->move(screen.left() + layout.windowLeft, screen.top() + layout.windowTop);
    return dialog.release();
}

int StyledMessageDlgPos(const QString& msg, const QString& caption, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                        int helpCtx, int x, int y, const TMsgDlgStyle& style) {
    std::unique_ptr<StyledMessageDialog> dialog(CreateStyledMessageDialog(msg, caption, dlgType, buttons, style));
    dialog->setProperty("helpContext", helpCtx);
    if (x >= 0) dialog->move(x, dialog->y());
    if (y >= 0) dialog->move(dialog->x(), y);
    return dialog->exec();
}

int StyledMessageDlg(const QString& msg, const QString& caption, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                     int helpCtx, const TMsgDlgStyle& style) {
    return StyledMessageDlgPos(msg, caption, dlgType, buttons, helpCtx, -1, -1, style);
}

}  // namespace zelvan
