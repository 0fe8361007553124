#include "dict/classifier.h"

#include <QCollator>
#include <QLocale>
#include <QSqlQuery>
#include <algorithm>

#include "app/environment.h"
#include "model/tdm.h"
#include "platform/database.h"

namespace zelvan {

namespace {

ClassifierEntry readEntry(const QSqlQuery& q) {
    ClassifierEntry e;
    e.id = q.value(QStringLiteral("ID")).toString();
    e.name = q.value(QStringLiteral("NAME")).toString();
    e.kod = q.value(QStringLiteral("KOD")).toInt();
    e.kodParent2 = q.value(QStringLiteral("KOD_PARENT_2")).toString();
    e.start = fromIsoDate(q.value(QStringLiteral("DT_POCHATOK")).toString());
    e.end = fromIsoDate(q.value(QStringLiteral("DT_ZAKIN")).toString());
    return e;
}

}  // namespace

QString dictionaryTitle(ClassifierGroup group) {
    switch (group) {
        case ClassifierGroup::Expense: return QStringLiteral("Словник видатків");
        case ClassifierGroup::Fund: return QStringLiteral("Словник видів фонду");
        case ClassifierGroup::Order: return QStringLiteral("Словник видів замовлення");
        case ClassifierGroup::Funds: return QStringLiteral("Словник видів коштів");
    }
    return {};
}

std::optional<ClassifierEntry> lookupCode(TDM& dm, ClassifierGroup group, const QString& code, const QDate& periodStart) {
    bool isNumber = false;
    const qlonglong id = code.trimmed().toLongLong(&isNumber);
    if (!isNumber) return std::nullopt;
    QSqlQuery q = group == ClassifierGroup::Expense
                      ? dm.db().exec(QStringLiteral("Select * From Klasifik Where Kod_Parent=1 and ID = :id "
                                                    "and :start BETWEEN DT_Pochatok AND DT_Zakin order by KOD"),
                                     {{QStringLiteral(":id"), id}, {QStringLiteral(":start"), isoDate(periodStart)}})
                      : dm.db().exec(QStringLiteral("Select * From Klasifik Where Kod_Parent=:parent and ID = :id order by KOD"),
                                     {{QStringLiteral(":parent"), static_cast<int>(group)}, {QStringLiteral(":id"), id}});
    if (!q.next()) return std::nullopt;
    return readEntry(q);
}

std::optional<ClassifierEntry> lookupName(TDM& dm, ClassifierGroup group, const QString& name) {
    QSqlQuery q = dm.db().exec(QStringLiteral("Select * From Klasifik Where Kod_Parent=:parent and Name = :name order by KOD"),
                               {{QStringLiteral(":parent"), static_cast<int>(group)}, {QStringLiteral(":name"), name}});
    if (!q.next()) return std::nullopt;
    return readEntry(q);
}

std::vector<ClassifierEntry> pickList(TDM& dm, ClassifierGroup group, const QDate& periodStart) {
    QSqlQuery q = group == ClassifierGroup::Expense
                      ? dm.db().exec(QStringLiteral("Select * From Klasifik Where Kod_Parent = 1 and :start BETWEEN "
                                                    "DT_Pochatok AND DT_Zakin"),
                                     {{QStringLiteral(":start"), isoDate(periodStart)}})
                      : dm.db().exec(QStringLiteral("Select * From Klasifik Where Kod_Parent = :parent"),
                                     {{QStringLiteral(":parent"), static_cast<int>(group)}});
    std::vector<ClassifierEntry> entries;
    while (q.next()) entries.push_back(readEntry(q));
    // The database orders text by its code points, which puts І, Ї, Є and Ґ after Я;
    // the list is sorted the way Ukrainian users read it.
    QCollator collator{QLocale(QLocale::Ukrainian, QLocale::Ukraine)};
    std::stable_sort(entries.begin(), entries.end(), [&](const ClassifierEntry& a, const ClassifierEntry& b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return entries;
}

int findInPickList(const std::vector<ClassifierEntry>& entries, const QString& text) {
    if (text.isEmpty()) return -1;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].name.contains(text, Qt::CaseSensitive)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace zelvan
