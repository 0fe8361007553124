#include <gtest/gtest.h>

#include "app/dialog_model.h"
#include "support/printers.h"

using namespace zelvan;

TEST(DialogText, KeysAndLanguages) {
    EXPECT_EQ(DialogText(0, 0), QStringLiteral("Увага"));
    EXPECT_EQ(DialogText(0, 1), QStringLiteral("Внимание"));
    EXPECT_EQ(DialogText(0, 2), QStringLiteral("Warning"));
    EXPECT_EQ(DialogText(4, 0), QStringLiteral("Так"));
    EXPECT_EQ(DialogText(6, 2), QStringLiteral("&OK"));
    EXPECT_EQ(DialogText(16, 0), QStringLiteral("Так для усiх"));
    EXPECT_EQ(DialogText(26, 1), QStringLiteral("Все"));
    EXPECT_EQ(DialogText(27, 0), QString());
    EXPECT_EQ(DialogText(65535, 2), QString());
}

TEST(DialogText, LatinLookAlikeLettersAreKept) {
    // "Hi" is the Latin H and i; the Russian No begins with a Latin H.
    EXPECT_EQ(DialogText(5, 0), QString::fromLatin1("Hi"));
    EXPECT_EQ(DialogText(5, 1).at(0).unicode(), u'H');
    EXPECT_EQ(DialogText(5, 1).mid(1), QStringLiteral("ет"));
    const QString info = DialogText(2, 0);  // Iнфоpмацiя
    EXPECT_EQ(info.at(0).unicode(), u'I');
    EXPECT_EQ(info.at(4).unicode(), u'p');
    EXPECT_EQ(info.at(8).unicode(), u'i');
    EXPECT_EQ(DialogText(7, 0).at(1).unicode(), u'i');  // Вiдмова
    EXPECT_EQ(DialogText(12, 0).at(5).unicode(), u'p');  // Повтоpити
    EXPECT_EQ(DialogText(25, 0), QStringLiteral("Аварія"));  // all Cyrillic
}

TEST(DialogStyle, LanguageChoice) {
    const struct {
        char16_t language;
        int index;
    } cases[] = {{u'U', 0}, {u'u', 0}, {u'R', 1}, {u'r', 1}, {u'E', 2}, {u'x', 2}, {u'У', 2}, {u' ', 2}};
    for (const auto& c : cases) EXPECT_EQ(languageIndex(QChar(c.language)), c.index) << int(c.language);
    EXPECT_EQ(languageIndex(WarningStyleUkr.Language), 0);
    EXPECT_EQ(languageIndex(StyleRus.Language), 1);
    EXPECT_EQ(WarningStyleUkr.Color, 0xC0C0C0u);
    EXPECT_EQ(WarningStyleUkr.TextColor, 0x000080u);
    EXPECT_EQ(StyleUkrBold.FontStyle, fs::Bold);
    EXPECT_EQ(WarningStyleUkr.FontSize, 8);
}

TEST(DialogButtons, OrderResultsAndDefaultCancelRules) {
    struct Expect {
        QString name;
        int result;
        bool isDefault;
        bool isCancel;
    };
    const auto check = [](TMsgDlgButtons set, std::vector<Expect> expected, const char* what) {
        const auto buttons = dialogButtons(set);
        ASSERT_EQ(buttons.size(), expected.size()) << what;
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i].name, expected[i].name) << what;
            EXPECT_EQ(buttons[i].modalResult, expected[i].result) << what;
            EXPECT_EQ(buttons[i].isDefault, expected[i].isDefault) << what << ' ' << i;
            EXPECT_EQ(buttons[i].isCancel, expected[i].isCancel) << what << ' ' << i;
        }
    };
    using B = TMsgDlgBtn;
    check({B::mbNo, B::mbYes}, {{QStringLiteral("YES"), 6, true, false}, {QStringLiteral("NO"), 7, false, true}},
          "yes/no in fixed order");
    check({B::mbOK}, {{QStringLiteral("OK"), 1, true, true}}, "OK alone is also cancel");
    check({B::mbYes, B::mbNo, B::mbCancel},
          {{QStringLiteral("YES"), 6, true, false},
           {QStringLiteral("NO"), 7, false, false},
           {QStringLiteral("CANCEL"), 2, false, true}},
          "No is not cancel beside Cancel");
    check({B::mbOK, B::mbCancel}, {{QStringLiteral("OK"), 1, true, false}, {QStringLiteral("CANCEL"), 2, false, true}},
          "OK with Cancel");
    check({B::mbHelp, B::mbYesToAll, B::mbNoToAll, B::mbAll, B::mbIgnore, B::mbRetry, B::mbAbort},
          {{QStringLiteral("ABORT"), 3, false, false},
           {QStringLiteral("RETRY"), 4, false, false},
           {QStringLiteral("IGNORE"), 5, false, false},
           {QStringLiteral("ALL"), 8, false, false},
           {QStringLiteral("NotToAll"), 9, false, false},
           {QStringLiteral("YesToAll"), 10, false, false},
           {QStringLiteral("HELP"), 0, false, false}},
          "the rest");
}

TEST(DialogLayout, TableOfCases) {
    struct Case {
        const char* name;
        DialogLayoutInput in;
        int clientWidth, clientHeight, labelLeft, labelTop, iconTop, buttonTop, firstButtonLeft, windowLeft, windowTop;
    };
    const Case cases[] = {
        // Icon 32 high, one text line of 13: the icon is taller, so it sits at the top and
        // the message is centred on its middle.
        {"icon taller than text", {200, 13, true, 32, 32, 2, 1024, 768}, 262, 90, 52, 20, 10, 52, 31, 381, 339},
        // A text taller than the icon: the message at the top and the icon on its middle.
        {"text taller than icon", {300, 60, true, 32, 32, 2, 1024, 768}, 362, 118, 52, 10, 24, 80, 81, 331, 325},
        // One OK button: never narrower than 150.
        {"one-button OK", {40, 13, false, 0, 0, 1, 1024, 768}, 150, 71, 10, 10, 0, 33, 27, 437, 349},
        // A long message measured at half the screen: the window grows with it.
        {"long wrapped text", {512, 130, false, 0, 0, 2, 1024, 768}, 532, 188, 10, 10, 0, 150, 166, 246, 290},
        // Custom dialog without icon and without text.
        {"custom, no text", {0, 0, false, 0, 0, 1, 800, 600}, 150, 58, 10, 10, 0, 20, 27, 325, 271},
        // Four buttons are wider than a short text.
        {"button row widest", {50, 13, false, 0, 0, 4, 1024, 768}, 438, 71, 10, 10, 0, 33, 15, 293, 349},
    };
    for (const Case& c : cases) {
        const DialogLayout l = layoutDialog(c.in);
        EXPECT_EQ(l.clientWidth, c.clientWidth) << c.name;
        EXPECT_EQ(l.clientHeight, c.clientHeight) << c.name;
        EXPECT_EQ(l.labelLeft, c.labelLeft) << c.name;
        EXPECT_EQ(l.labelTop, c.labelTop) << c.name;
        if (c.in.hasIcon) {
            EXPECT_EQ(l.iconTop, c.iconTop) << c.name;
        }
        EXPECT_EQ(l.buttonTop, c.buttonTop) << c.name;
        ASSERT_EQ(int(l.buttonLefts.size()), c.in.buttonCount) << c.name;
        EXPECT_EQ(l.buttonLefts.front(), c.firstButtonLeft) << c.name;
        for (size_t i = 1; i < l.buttonLefts.size(); ++i)
            EXPECT_EQ(l.buttonLefts[i], l.buttonLefts[i - 1] + 96 + 8) << c.name;
        EXPECT_EQ(l.windowLeft, c.windowLeft) << c.name;
        EXPECT_EQ(l.windowTop, c.windowTop) << c.name;
    }
}

TEST(DialogLayout, HalvingsRoundTowardsZero) {
    // Odd sizes: 33 / 2 = 16 and 13 / 2 = 6, so the label top is 10 + 16 - 6 = 20.
    const DialogLayout l = layoutDialog({10, 13, true, 33, 33, 1, 1001, 701});
    EXPECT_EQ(l.labelTop, 20);
    EXPECT_EQ(l.windowLeft, 1001 / 2 - l.clientWidth / 2);
}
