#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zelvan {

class TDM;

// The statements the main window runs, without any widget.

// The structure period: the first row of DANPER.
struct StructurePeriod {
    bool exists = false;
    int kodDanper = 0;
    QDate start;
};
StructurePeriod readStructurePeriod(TDM& dm);

// The first days of the local reporting periods of LocDANPER, in the order returned.
std::vector<QDate> localPeriodDates(TDM& dm);

// The names of the report types, in the order returned.
QStringList reportTypeNames(TDM& dm);

// The code of the report type of that name; 0 when no row has it.
int reportTypeCode(TDM& dm, const QString& name);

// What the main window reads from the organisation card. The card is walked as one
// cursor: a row that is not found leaves the cursor where it was, and that row is read.
struct CardReading {
    std::optional<int> kodObj;  // empty when "Kod_Obj" is not a whole number: the filling stops there
    int kodStan = 0;
    QString fundingForm;
};
// Throws ZelvanError when the organisation code is a number but the state code is not.
CardReading readCard(TDM& dm);

// The organisation's name from the card row "Назва організації" (the first row's value
// when there is none).
QString organisationName(TDM& dm);

// One item of the form list.
struct FormListItem {
    QString name;    // Name_Form
    QString number;  // Nomer_Form as shown
    QString kodForm;
    QString codes[4];  // ID of the expense code, fund kind, order kind and kind of funds (filled forms only)
};

// The forms of the structure period, of one report type when `typeText` is not empty,
// in the order of their numbers; forms meant only for control are left out.
std::vector<FormListItem> formsOfType(TDM& dm, int kodDanper, const QString& typeText, int typeCode);

// Every form and classifier combination under which the organisation has stored values
// in the structure period, in the order of the form numbers.
std::vector<FormListItem> filledForms(TDM& dm, int kodObj, int kodStan, int kodDanper);

// The form's KOD_TYPE_FORM; nothing when the form is unknown.
std::optional<int> formKind(TDM& dm, int kodForm);

// A form number as the lists show it ("4.1", "2").
QString formNumberText(const QVariant& value);

// The change of the local reporting period, after the user confirmed it twice: the
// configuration file gets LocPeriod (the keys the program knows are written back as read,
// so an empty one loses its line; other lines stay), a backup copy of the database is
// written, and every stored value is deleted. Throws ZelvanError and deletes nothing when
// the file or the backup cannot be written.
void changeLocalPeriod(TDM& dm, const QString& configPath, const QString& periodText, const QDateTime& now);

}  // namespace zelvan
