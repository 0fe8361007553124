#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace zelvan {

class TDM;

// The four classifier dictionaries, told apart by KLASIFIK.KOD_PARENT.
enum class ClassifierGroup { Expense = 1, Fund = 2, Order = 3, Funds = 1000 };

// One row of a dictionary.
struct ClassifierEntry {
    QString id;  // the code the user types and sees
    QString name;
    int kod = 0;  // the key stored with the values
    QString kodParent2;
    QDate start;
    QDate end;
};

// The title of a group's pick list ("Словник видатків", ...).
QString dictionaryTitle(ClassifierGroup group);

// Code lookup: the first row of the group whose ID is the typed code; expense codes
// only when the structure period's first day lies within their validity. The code is
// bound as a number; nothing when the text is not a number or no row matches.
std::optional<ClassifierEntry> lookupCode(TDM& dm, ClassifierGroup group, const QString& code, const QDate& periodStart);

// Name lookup: the first row of the group with exactly this name (no validity date).
std::optional<ClassifierEntry> lookupName(TDM& dm, ClassifierGroup group, const QString& name);

// The pick list of a group in name order (Ukrainian alphabetical order); expense codes
// only those valid on the structure period's first day.
std::vector<ClassifierEntry> pickList(TDM& dm, ClassifierGroup group, const QDate& periodStart);

// The search of the pick list: the index of the first entry whose name contains the
// text, letter case counting; -1 when none does (an empty text never matches).
int findInPickList(const std::vector<ClassifierEntry>& entries, const QString& text);

}  // namespace zelvan
