#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/dialogsm.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

using B = TMsgDlgBtn;

const QString kPeriodQuestion = QStringLiteral(
    "За зміною періоду звітності будуть знищені всі дані, введені раніше в форми звітності! Продовжити?");

// Shows the dialog modally and, once it is up, lets `act` answer it.
template <typename Act>
int runModal(StyledMessageDialog* dialog, Act act) {
    QTimer::singleShot(0, dialog, [dialog, act] { act(dialog); });
    return dialog->exec();
}

}  // namespace

TEST(StyledMessageDialog, PeriodQuestionInTheWarningStyle) {
    std::unique_ptr<StyledMessageDialog> d(
        CreateStyledMessageDialog(kPeriodQuestion, QString(), TMsgDlgType::mtWarning, {B::mbYes, B::mbNo}, WarningStyleUkr));
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Увага"));
    ASSERT_NE(d->findChild<QLabel*>(QStringLiteral("Image")), nullptr);
    auto* yes = d->findChild<QPushButton*>(QStringLiteral("YES"));
    auto* no = d->findChild<QPushButton*>(QStringLiteral("NO"));
    ASSERT_TRUE(yes && no);
    EXPECT_EQ(yes->text(), QStringLiteral("Так"));
    EXPECT_EQ(no->text(), QString::fromLatin1("Hi"));
    EXPECT_LT(yes->x(), no->x());
    EXPECT_EQ(yes->size(), QSize(96, 30));
    auto* message = d->findChild<QLabel*>(QStringLiteral("Message"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), kPeriodQuestion);
    EXPECT_EQ(message->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(d->palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST(StyledMessageDialog, KeysAndClosingGiveTheirResults) {
    struct Case {
        const char* name;
        TMsgDlgButtons buttons;
        std::function<void(StyledMessageDialog*)> act;
        int expected;
    };
    const auto key = [](Qt::Key k) {
        return [k](StyledMessageDialog* d) { QTest::keyClick(d->focusWidget() ? d->focusWidget() : d, k); };
    };
    const Case cases[] = {
        {"Enter answers Yes", {B::mbYes, B::mbNo}, key(Qt::Key_Return), 6},
        {"Esc answers No", {B::mbYes, B::mbNo}, key(Qt::Key_Escape), 7},
        {"system close is not Yes", {B::mbYes, B::mbNo}, [](StyledMessageDialog* d) { d->close(); }, 2},
        {"Esc closes a lone OK with OK", {B::mbOK}, key(Qt::Key_Escape), 1},
        {"Esc with Cancel gives Cancel, not No", {B::mbYes, B::mbNo, B::mbCancel}, key(Qt::Key_Escape), 2},
        {"clicking No", {B::mbYes, B::mbNo},
         [](StyledMessageDialog* d) { d->findChild<QPushButton*>(QStringLiteral("NO"))->click(); }, 7},
        {"Yes to all has a defined result", {B::mbYesToAll, B::mbCancel},
         [](StyledMessageDialog* d) { d->findChild<QPushButton*>(QStringLiteral("YesToAll"))->click(); }, 10},
    };
    for (const Case& c : cases) {
        std::unique_ptr<StyledMessageDialog> d(
            CreateStyledMessageDialog(QStringLiteral("Знищити всі дані?"), QString(), TMsgDlgType::mtWarning, c.buttons,
                                      WarningStyleUkr));
        EXPECT_EQ(runModal(d.get(), c.act), c.expected) << c.name;
    }
}

TEST(StyledMessageDialog, HelpDoesNotCloseAndEscWithoutCancelDoesNothing) {
    std::unique_ptr<StyledMessageDialog> d(CreateStyledMessageDialog(
        QStringLiteral("?"), QString(), TMsgDlgType::mtInformation, {B::mbAbort, B::mbHelp}, WarningStyleUkr));
    const int result = runModal(d.get(), [](StyledMessageDialog* dialog) {
        dialog->findChild<QPushButton*>(QStringLiteral("HELP"))->click();
        QTest::keyClick(dialog, Qt::Key_Escape);
        const bool stillOpen = dialog->isVisible();
        dialog->findChild<QPushButton*>(QStringLiteral("ABORT"))->click();
        if (!stillOpen) ADD_FAILURE() << "closed by Help or Esc";
    });
    EXPECT_EQ(result, 3);
}

TEST(StyledMessageDialog, CustomDialogHasNoIconAndAnEmptyTitle) {
    std::unique_ptr<StyledMessageDialog> d(
        CreateStyledMessageDialog(QStringLiteral("Текст"), QString(), TMsgDlgType::mtCustom, {B::mbOK}, StyleRus));
    EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("Image")), nullptr);
    EXPECT_EQ(d->windowTitle(), QString());
    EXPECT_GE(d->width(), 150);
    EXPECT_EQ(d->findChild<QPushButton*>(QStringLiteral("OK"))->text(), QStringLiteral("Готово"));
}

TEST(StyledMessageDialog, CaptionsFollowTheStyleLanguage) {
    TMsgDlgStyle english = WarningStyleUkr;
    english.Language = u'E';
    std::unique_ptr<StyledMessageDialog> e(CreateStyledMessageDialog(
        QStringLiteral("x"), QString(), TMsgDlgType::mtConfirmation, {B::mbYes, B::mbNo}, english));
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Confirm"));
    EXPECT_EQ(e->findChild<QPushButton*>(QStringLiteral("NO"))->text(), QStringLiteral("&No"));
    std::unique_ptr<StyledMessageDialog> r(CreateStyledMessageDialog(
        QStringLiteral("x"), QStringLiteral("Свій заголовок"), TMsgDlgType::mtError, {B::mbRetry}, StyleRusBold));
    EXPECT_EQ(r->windowTitle(), QStringLiteral("Свій заголовок"));
    EXPECT_EQ(r->findChild<QPushButton*>(QStringLiteral("RETRY"))->text(), QStringLiteral("Повтоpить"));
    EXPECT_TRUE(r->font().bold());
}

TEST(StyledMessageDialog, LongMessageWrapsAtHalfTheScreenAndStaysCentred) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QString longText = QString(QStringLiteral("Дуже довге повідомлення для перевірки перенесення рядків. ")).repeated(40);
    std::unique_ptr<StyledMessageDialog> d(
        CreateStyledMessageDialog(longText, QString(), TMsgDlgType::mtWarning, {B::mbOK}, WarningStyleUkr));
    auto* message = d->findChild<QLabel*>(QStringLiteral("Message"));
    EXPECT_LE(message->width(), screen.width() / 2);
    EXPECT_GT(message->height(), 3 * message->fontMetrics().height());
    EXPECT_GE(d->height(), message->y() + message->height() + 10 + 30);
    EXPECT_EQ(d->x(), screen.width() / 2 - d->width() / 2);
    EXPECT_EQ(d->y(), screen.height() / 2 - d->height() / 2);
}
