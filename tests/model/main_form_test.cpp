#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "app/app_state.h"
#include "app/windows.h"
#include "model/database_folder.h"
#include "model/main_form.h"
#include "support/printers.h"
#include "support/scripted_prompter.h"

using namespace zelvan;

TEST(MainWindowShell, OpensOverTheDemoDatabaseWithItsButtons) {
    QTemporaryDir dir;
    createDatabaseFolder(dir.path(), true);
    AppState state;
    state.dm.pointAt(dir.path());
    state.dm.probe();
    test::ScriptedPrompter prompter;
    Windows windows(state, prompter);
    test::RecordingDesktop desktop;
    TMain_Form form(state, prompter, windows, desktop);
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Вибір форми"));
    EXPECT_EQ(form.Label7->text(), QStringLiteral("01.07.2026"));
    EXPECT_FALSE(form.Panel1->isVisible());
    EXPECT_FALSE(form.BitBtn6->isVisible());
    const std::pair<const char*, const char*> buttons[] = {
        {"BitBtn1", "Закрити"},           {"BitBtn2", "Настройки"},        {"BitBtn3", "Заповнення даними"},
        {"BitBtn4", "Оновлення структур"}, {"BitBtn5", "Передача даних"},   {"BitBtn7", "Міжформовий контроль"},
        {"BitBtn8", "Інструкція"},         {"BitBtn9", "Заповнені форми"}, {"bbBackData", "Повернення звітності"},
    };
    for (const auto& [name, caption] : buttons) {
        auto* b = form.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QString::fromUtf8(caption)) << name;
        EXPECT_TRUE(b->isVisible()) << name;
    }
    form.BitBtn1->click();
    EXPECT_FALSE(form.isVisible());
}
