#include "app/dialog_model.h"

#include <algorithm>
#include <array>

namespace zelvan {

const TMsgDlgStyle WarningStyleUkr{u'U', clSilver, clNavy, QStringLiteral("Ms Sans Serif"), 8, 0};
const TMsgDlgStyle StyleRus{u'r', clSilver, clNavy, QStringLiteral("Ms Sans Serif"), 8, 0};
const TMsgDlgStyle StyleUkrBold{u'u', clSilver, clNavy, QStringLiteral("Ms Sans Serif"), 8, fs::Bold};
const TMsgDlgStyle StyleRusBold{u'r', clSilver, clNavy, QStringLiteral("Ms Sans Serif"), 8, fs::Bold};

namespace {

struct TextRow {
    std::uint16_t key;
    std::array<const char16_t*, 3> texts;
};

// Several Cyrillic words here carry Latin look-alike letters on purpose ("Hi" is the
// Latin H and i; "Iнфоpмацiя" has a Latin I, p and i); they are kept as they are.
constexpr TextRow kTextTable[27] = {
    {0, {u"Увага", u"Внимание", u"Warning"}},
    {1, {u"Помилка", u"Ошибка", u"Error"}},
    {2, {u"Iнфоpмацiя", u"Инфоpмация", u"Information"}},
    {3, {u"Пiдтвеpдження", u"Подтвеpждение", u"Confirm"}},
    {4, {u"Так", u"Да", u"&Yes"}},
    {5, {u"Hi", u"Hет", u"&No"}},
    {6, {u"Готово", u"Готово", u"&OK"}},
    {7, {u"Вiдмова", u"Отказ", u"&Cancel"}},
    {8, {u"Допомога", u"Помощь", u"&Help"}},
    {9, {u"Допомоги немає", u"Помощь не доступна", u"No help available"}},
    {10, {u"Допомога", u"Помощь", u"Help"}},
    {11, {u"Зупинка", u"Авост", u"Abort"}},
    {12, {u"Повтоpити", u"Повтоpить", u"&Retry"}},
    {13, {u"Iгноpувати", u"Игноpиpовать", u"&Ignore"}},
    {14, {u"Усе", u"Все", u"&All"}},
    {15, {u"Нi для усiх", u"Нет для всех", u"&NotToAll"}},
    {16, {u"Так для усiх", u"Да для всех", u"&YesToAll"}},
    {17, {u"Готово", u"Готово", u"OK"}},
    {18, {u"Вiдмова", u"Отказ", u"Cancel"}},
    {19, {u"Так", u"Да", u"&Yes"}},
    {20, {u"Hi", u"Hет", u"&No"}},
    {21, {u"Допомога", u"Помощь", u"&Help"}},
    {22, {u"Закpити", u"Закpыть", u"&Close"}},
    {23, {u"Iгноpувати", u"Игноpиpовать", u"&Ignore"}},
    {24, {u"Повтоpити", u"Повтоpить", u"&Retry"}},
    {25, {u"Аварія", u"Авост", u"Abort"}},
    {26, {u"Усе", u"Все", u"&All"}},
};

struct ButtonDef {
    TMsgDlgBtn button;
    int modalResult;
    std::uint16_t captionKey;
    const char16_t* name;
};

// No to all and Yes to all have no kind of their own on the platform; they get the
// results that the later platform versions gave them.
constexpr ButtonDef kButtons[11] = {
    {TMsgDlgBtn::mbYes, mr::Yes, 4, u"YES"},
    {TMsgDlgBtn::mbNo, mr::No, 5, u"NO"},
    {TMsgDlgBtn::mbOK, mr::OK, 6, u"OK"},
    {TMsgDlgBtn::mbCancel, mr::Cancel, 7, u"CANCEL"},
    {TMsgDlgBtn::mbAbort, mr::Abort, 11, u"ABORT"},
    {TMsgDlgBtn::mbRetry, mr::Retry, 12, u"RETRY"},
    {TMsgDlgBtn::mbIgnore, mr::Ignore, 13, u"IGNORE"},
    {TMsgDlgBtn::mbAll, mr::All, 14, u"ALL"},
    {TMsgDlgBtn::mbNoToAll, mr::NoToAll, 15, u"NotToAll"},
    {TMsgDlgBtn::mbYesToAll, mr::YesToAll, 16, u"YesToAll"},
    {TMsgDlgBtn::mbHelp, mr::None, 8, u"HELP"},
};

}  // namespace

int languageIndex(QChar language) {
    if (language == u'U' || language == u'u') return 0;
    if (language == u'R' || language == u'r') return 1;
    return 2;
}

QString DialogText(std::uint16_t key, int language) {
    if (language < 0 || language > 2) return {};
    for (const TextRow& row : kTextTable) {
        if (row.key == key) return QString::fromUtf16(row.texts[static_cast<size_t>(language)]);
    }
    return {};
}

int titleKey(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::mtWarning: return 0;
        case TMsgDlgType::mtError: return 1;
        case TMsgDlgType::mtInformation: return 2;
        case TMsgDlgType::mtConfirmation: return 3;
        case TMsgDlgType::mtCustom: return -1;
    }
    return -1;
}

std::vector<DialogButton> dialogButtons(TMsgDlgButtons set) {
    std::vector<DialogButton> result;
    for (const ButtonDef& def : kButtons) {
        if (!set.contains(def.button)) continue;
        DialogButton b{def.button, def.modalResult, def.captionKey, QString::fromUtf16(def.name)};
        b.isDefault = def.button == TMsgDlgBtn::mbYes || def.button == TMsgDlgBtn::mbOK;
        b.isCancel = def.button == TMsgDlgBtn::mbNo || def.button == TMsgDlgBtn::mbCancel;
        result.push_back(b);
    }
    const bool hasCancel = set.contains(TMsgDlgBtn::mbCancel);
    for (DialogButton& b : result) {
        if (b.button == TMsgDlgBtn::mbNo && hasCancel) b.isCancel = false;
        if (b.button == TMsgDlgBtn::mbOK && !hasCancel) b.isCancel = true;
    }
    return result;
}

DialogLayout layoutDialog(const DialogLayoutInput& in) {
    using namespace dialog_metrics;
    DialogLayout out;
    const int tw = in.textWidth;
    const int th = in.textHeight;
    const int blockWidth = tw + 2 * Margin + (in.hasIcon ? in.iconWidth + Margin : 0);
    const int blockHeight = in.hasIcon ? std::max(in.iconHeight + Margin, th + Margin) : th + Margin;
    const int n = in.buttonCount;
    const int rowWidth = n * ButtonWidth + (n - 1) * ButtonGap + 30;

    out.clientWidth = std::max({MinClientWidth, blockWidth, rowWidth});
    out.clientHeight = std::max(MinClientHeight, blockHeight + ButtonHeight + 18);

    int contentBottom = 0;
    if (in.hasIcon && in.iconHeight > th) {
        out.iconTop = Margin;
        out.labelTop = out.iconTop + in.iconHeight / 2 - th / 2;
        contentBottom = out.iconTop + in.iconHeight;
    } else {
        out.labelTop = Margin;
        if (in.hasIcon) out.iconTop = out.labelTop + th / 2 - in.iconHeight / 2;
        contentBottom = out.labelTop + th;
    }
    out.iconLeft = Margin;
    out.labelLeft = in.hasIcon ? Margin + in.iconWidth + Margin : Margin;

    out.buttonTop = contentBottom + Margin;
    int left = out.clientWidth / 2 - rowWidth / 2 + 15;
    for (int i = 0; i < n; ++i) {
        out.buttonLefts.push_back(left);
        left += ButtonWidth + ButtonGap;
    }

    const int windowWidth = out.clientWidth + in.frameWidth;
    const int windowHeight = out.clientHeight + in.frameHeight;
    out.windowLeft = in.screenWidth / 2 - windowWidth / 2;
    out.windowTop = in.screenHeight / 2 - windowHeight / 2;
    return out;
}

}  // namespace zelvan
