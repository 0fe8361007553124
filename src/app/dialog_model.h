#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <vector>

namespace zelvan {

// The program's own message dialog, without widgets: its styles, its three-language
// text table, its buttons and the layout of the window. The widgets that show it are
// built from these by the user-interface library.

// Dialog types, in the platform's order.
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The eleven buttons, in their fixed order.
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of buttons.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn b : buttons) bits_ |= bit(b);
    }
    constexpr bool contains(TMsgDlgBtn b) const { return (bits_ & bit(b)) != 0; }

private:
    static constexpr std::uint16_t bit(TMsgDlgBtn b) { return std::uint16_t(1u << static_cast<int>(b)); }
    std::uint16_t bits_ = 0;
};

// Modal results.
namespace mr {
constexpr int None = 0;
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
constexpr int All = 8;
constexpr int NoToAll = 9;
constexpr int YesToAll = 10;
}  // namespace mr

// Font style bits.
namespace fs {
constexpr std::uint8_t Bold = 1;
constexpr std::uint8_t Italic = 2;
constexpr std::uint8_t Underline = 4;
constexpr std::uint8_t StrikeOut = 8;
}  // namespace fs

// Colours are 0xRRGGBB.
constexpr std::uint32_t clSilver = 0xC0C0C0;
constexpr std::uint32_t clNavy = 0x000080;

struct TMsgDlgStyle {
    QChar Language;
    std::uint32_t Color = clSilver;
    std::uint32_t TextColor = clNavy;
    QString FontName;
    std::int32_t FontSize = 8;
    std::uint8_t FontStyle = 0;
};

extern const TMsgDlgStyle WarningStyleUkr;
extern const TMsgDlgStyle StyleRus;
extern const TMsgDlgStyle StyleUkrBold;
extern const TMsgDlgStyle StyleRusBold;

// 0 Ukrainian for "U"/"u", 1 Russian for "R"/"r", 2 English for anything else.
int languageIndex(QChar language);

// The text of the table row with this key in the language; empty when no row has it.
QString DialogText(std::uint16_t key, int languageIndex);

// The title key of a dialog type; -1 for the custom type.
int titleKey(TMsgDlgType type);

// One button of a dialog, as it is to be made.
struct DialogButton {
    TMsgDlgBtn button;
    int modalResult;          // what pressing it returns; mr::None keeps the dialog open
    std::uint16_t captionKey;  // row of the text table
    QString name;             // the control's name
    bool isDefault = false;   // answers Enter
    bool isCancel = false;    // answers Esc
};

// The buttons of the set in their fixed order, with the default and cancel rules
// applied: Yes and OK are default buttons, No and Cancel cancel buttons; No is not a
// cancel button when Cancel is there too; OK becomes the cancel button when Cancel
// is not there.
std::vector<DialogButton> dialogButtons(TMsgDlgButtons buttons);

// What the layout needs to know.
struct DialogLayoutInput {
    int textWidth = 0;   // of the message, measured with word breaks at half the screen
    int textHeight = 0;
    bool hasIcon = false;
    int iconWidth = 0;
    int iconHeight = 0;
    int buttonCount = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    int frameWidth = 0;  // what the window frame adds to the client area
    int frameHeight = 0;
};

// Where everything goes, in client coordinates, and where the window goes on screen.
struct DialogLayout {
    int clientWidth = 0;
    int clientHeight = 0;
    int labelLeft = 0;
    int labelTop = 0;
    int iconLeft = 0;
    int iconTop = 0;
    int buttonTop = 0;
    std::vector<int> buttonLefts;
    int windowLeft = 0;
    int windowTop = 0;
};

namespace dialog_metrics {
constexpr int ButtonWidth = 96;
constexpr int ButtonHeight = 30;
constexpr int ButtonGap = 8;
constexpr int MinClientWidth = 150;
constexpr int MinClientHeight = 55;
constexpr int Margin = 10;
}  // namespace dialog_metrics

DialogLayout layoutDialog(const DialogLayoutInput& in);

}  // namespace zelvan
