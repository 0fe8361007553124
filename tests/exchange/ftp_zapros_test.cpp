#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "app/app_state.h"
#include "exchange/ftp_exchange.h"
#include "exchange/ftp_zapros_form.h"
#include "platform/ftp_client.h"
#include "platform/text_codec.h"
#include "support/ftp_server.h"
#include "support/printers.h"
#include "support/test_files.h"
#include "support/scripted_prompter.h"

using namespace zelvan;
using namespace zelvan::test;

namespace {



QByteArray cp1251(const QString& text) { return *encodeCp1251(text); }

class Zapros : public ::testing::Test {
protected:
    void SetUp() override {
        state.settings.ftpDirectory = local.filePath(QStringLiteral("ftp"));
        state.workstationId = QStringLiteral("77");
        state.ftpPollMs = 0;
        client.connect();
        form = std::make_unique<TFTP_Zapros_Form>(state, prompter, [this] { return connected ? &client : nullptr; });
    }
    QTreeWidgetItem* root(int i) const { return form->TView->topLevelItem(i); }
    QStringList listRows() const {
        QStringList rows;
        for (int i = 0; i < form->ListView1->topLevelItemCount(); ++i)
            rows << form->ListView1->topLevelItem(i)->text(0) + u'=' + form->ListView1->topLevelItem(i)->text(1);
        return rows;
    }

    FtpServer server;
    QTemporaryDir local;
    AppState state;
    ScriptedPrompter prompter;
    FtpClient client{{server.address(), QStringLiteral("zelvan"), QStringLiteral("secret"), false, false, {}}};
    bool connected = true;
    std::unique_ptr<TFTP_Zapros_Form> form;
};

}  // namespace

TEST_F(Zapros, ARequestWithSomeFieldsIsSentAndShown) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Заявки / відповіді на відбір даних"));
    form->FormShow();
    form->Edit1->setText(QStringLiteral("Ліцей № 7"));
    form->Edit3->setText(QStringLiteral("02145678"));
    form->BitBtn1Click();
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Відправлення заявки завершилося")});
    const QByteArray expected = cp1251(QStringLiteral("Short_Name_Obj=Ліцей № 7\r\nKod_ZKPO=02145678\r\n"));
    EXPECT_EQ(read(state.settings.ftpDirectory + QStringLiteral("/ZAMOV/OUT/001.ftp")), expected);
    EXPECT_EQ(read(server.path(QStringLiteral("Zamov/IN/77/001.ftp"))), expected);

    // Not connected: the number is free again.
    connected = false;
    form->BitBtn2->click();  // the button beside the date sends the same request
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("Помилка при передачі заявки на сервер"));
    EXPECT_FALSE(QFileInfo::exists(state.settings.ftpDirectory + QStringLiteral("/ZAMOV/OUT/002.ftp")));

    form->SpeedButton1Click();
    ASSERT_EQ(root(0)->text(0), QStringLiteral("Заявки"));
    EXPECT_EQ(root(1)->text(0), QStringLiteral("Відповіді"));
    EXPECT_EQ(root(0)->child(0)->text(0), QStringLiteral("TEMP"));
    form->TViewExpanding(root(0));
    ASSERT_EQ(root(0)->childCount(), 1);
    EXPECT_EQ(root(0)->child(0)->text(0), QStringLiteral("001"));
    form->TViewChanging(root(0)->child(0));
    EXPECT_EQ(listRows(), (QStringList{QStringLiteral("Назва підприємства=Ліцей № 7"), QStringLiteral("Номер підприємства="),
                                       QStringLiteral("Код ЄДРПОУ=02145678"), QStringLiteral("Назва вулиці="),
                                       QStringLiteral("Номер дома="), QStringLiteral("Номер корпуса="),
                                       QStringLiteral("Період для вода даних=")}));
    EXPECT_FALSE(form->SpeedButton2->isEnabled());

    // A second expansion does not read the folder again; a refresh does.
    write(state.settings.ftpDirectory + QStringLiteral("/ZAMOV/OUT/005.ftp"), "Nachalo=01.07.2026\r\n");
    form->TViewExpanding(root(0));
    EXPECT_EQ(root(0)->childCount(), 1);
    form->SpeedButton1Click();
    form->TViewExpanding(root(0));
    EXPECT_EQ(root(0)->childCount(), 2);
}

TEST_F(Zapros, AnswersAreDownloadedOnceAndBrowsed) {
    QString three = QStringLiteral("Count_Predpr=3\r\n");
    for (int k = 1; k <= 3; ++k) {
        three += QStringLiteral("%1@Назва=Школа %1\r\n%1@Номер=%2\r\n").arg(k).arg(k * 10);
        three += QStringLiteral("%1@Орган госп управлыння (ЗКГНГ)=Орган %1\r\n").arg(k);
    }
    three += QStringLiteral("2@телефон бухгалтера=42-15-07\r\n");
    write(server.path(QStringLiteral("Zamov/Out/77/a3.ftp")), cp1251(three));
    write(server.path(QStringLiteral("Zamov/Out/77/a0.ftp")), "count_predpr=0\r\n");
    write(server.path(QStringLiteral("Zamov/Out/77/bad.ftp")), "Count_Predpr=many\r\n");
    write(server.path(QStringLiteral("Zamov/Out/77/notes.txt")), "not an answer");

    form->Timer1Timer();
    QStringList received = prompter.texts();
    received.sort();
    EXPECT_EQ(received, (QStringList{QStringLiteral("Отримана відповідь на заявку a0.ftp."),
                                     QStringLiteral("Отримана відповідь на заявку a3.ftp."),
                                     QStringLiteral("Отримана відповідь на заявку bad.ftp.")}));
    form->Timer1Timer();
    EXPECT_EQ(prompter.texts().size(), 3);  // never twice

    form->TViewExpanding(root(1));
    ASSERT_EQ(root(1)->childCount(), 3);
    QTreeWidgetItem* a0 = nullptr;
    QTreeWidgetItem* a3 = nullptr;
    QTreeWidgetItem* bad = nullptr;
    for (int i = 0; i < 3; ++i) {
        QTreeWidgetItem* item = root(1)->child(i);
        if (item->text(0) == QStringLiteral("a0")) a0 = item;
        if (item->text(0) == QStringLiteral("a3")) a3 = item;
        if (item->text(0) == QStringLiteral("bad")) bad = item;
    }
    ASSERT_TRUE(a0 && a3 && bad);
    form->TViewExpanding(a0);
    EXPECT_EQ(a0->childCount(), 0);
    form->TViewExpanding(a3);
    ASSERT_EQ(a3->childCount(), 3);
    EXPECT_EQ(a3->child(1)->text(0), QStringLiteral("Школа 2 №20"));
    form->TViewChanging(a3->child(1));
    const QStringList rows = listRows();
    ASSERT_EQ(rows.size(), 23);
    EXPECT_EQ(rows[0], QStringLiteral("Назва=Школа 2"));
    EXPECT_EQ(rows[2], QStringLiteral("Номер=20"));
    EXPECT_EQ(rows[3], QStringLiteral("Код ЄДРОПУ="));
    EXPECT_EQ(rows[6], QStringLiteral("Орган госп управління (ЗКГНГ)=Орган 2"));
    EXPECT_EQ(rows[22], QStringLiteral("телефон бухгалтера=42-15-07"));
    EXPECT_TRUE(form->SpeedButton2->isEnabled());
    EXPECT_TRUE(form->SpeedButton3->isEnabled());

    form->TViewExpanding(bad);
    EXPECT_EQ(prompter.texts().last(), QStringLiteral("У відповіді \"bad.ftp\" кількість підприємств \"many\" не є цілим числом."));
    EXPECT_EQ(bad->childCount(), 0);
}
