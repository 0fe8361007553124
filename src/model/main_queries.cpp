#include "model/main_queries.h"

#include <QFileInfo>
#include <QSqlQuery>

#include "app/app_settings.h"
#include "app/config_file.h"
#include "app/environment.h"
#include "app/error.h"
#include "model/backup.h"
#include "model/tdm.h"
#include "platform/database.h"

namespace zelvan {

StructurePeriod readStructurePeriod(TDM& dm) {
    QSqlQuery q = dm.db().exec(QStringLiteral("Select * From Danper"));
    StructurePeriod period;
    if (q.next()) {
        period.exists = true;
        period.kodDanper = q.value(QStringLiteral("KOD_DANPER")).toInt();
        period.start = fromIsoDate(q.value(QStringLiteral("NACHALO")).toString());
    }
    return period;
}

std::vector<QDate> localPeriodDates(TDM& dm) {
    QSqlQuery q = dm.db().exec(QStringLiteral("Select * From LocDanper"));
    std::vector<QDate> dates;
    while (q.next()) dates.push_back(fromIsoDate(q.value(QStringLiteral("NACHALO")).toString()));
    return dates;
}

QStringList reportTypeNames(TDM& dm) {
    QSqlQuery q = dm.db().exec(QStringLiteral("Select * From TYPE_ZVITNOST"));
    QStringList names;
    while (q.next()) names << q.value(QStringLiteral("NAME")).toString();
    return names;
}

int reportTypeCode(TDM& dm, const QString& name) {
    QSqlQuery q = dm.db().exec(QStringLiteral("Select * From Type_Zvitnost Where Name = :name"),
                               {{QStringLiteral(":name"), name}});
    return q.next() ? q.value(QStringLiteral("KOD_TYPE_ZVITNOST")).toInt() : 0;
}

namespace {

struct CardRow {
    QString sysName;
    QString softName;
};

std::vector<CardRow> cardRows(TDM& dm) {
    QSqlQuery q = dm.db().exec(QStringLiteral("Select * From SORG"));
    std::vector<CardRow> rows;
    while (q.next())
        rows.push_back({q.value(QStringLiteral("SYS_NAME")).toString(), q.value(QStringLiteral("SOFT_NAME")).toString()});
    return rows;
}

// Moves the cursor to the first row with that caption; leaves it where it is otherwise.
void locate(const std::vector<CardRow>& rows, size_t& cursor, const QString& sysName) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].sysName == sysName) {
            cursor = i;
            return;
        }
    }
}

std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

}  // namespace

CardReading readCard(TDM& dm) {
    const std::vector<CardRow> rows = cardRows(dm);
    CardReading reading;
    if (rows.empty()) return reading;
    size_t cursor = 0;
    locate(rows, cursor, QStringLiteral("Kod_Obj"));
    reading.kodObj = wholeNumber(rows[cursor].softName);
    if (!reading.kodObj) return reading;
    locate(rows, cursor, QStringLiteral("Kod_Stan"));
    const auto stan = wholeNumber(rows[cursor].softName);
    if (!stan) {
        throw ZelvanError(QStringLiteral("Код стану організації \"%1\" у картці організації не є цілим числом.")
                              .arg(rows[cursor].softName));
    }
    reading.kodStan = *stan;
    locate(rows, cursor, QStringLiteral("Форма фінансування"));
    reading.fundingForm = rows[cursor].softName;
    return reading;
}

QString organisationName(TDM& dm) {
    const std::vector<CardRow> rows = cardRows(dm);
    if (rows.empty()) return {};
    size_t cursor = 0;
    locate(rows, cursor, QStringLiteral("Назва організації"));
    return rows[cursor].softName;
}

QString formNumberText(const QVariant& value) {
    if (value.isNull()) return {};
    if (value.typeId() == QMetaType::Double) return QString::number(value.toDouble(), 'g', 15);
    return value.toString();
}

std::vector<FormListItem> formsOfType(TDM& dm, int kodDanper, const QString& typeText, int typeCode) {
    QSqlQuery q = typeText.isEmpty()
                      ? dm.db().exec(QStringLiteral("Select * From S_Form WHERE Kod_Danper = :danper Order by Nomer_Form"),
                                     {{QStringLiteral(":danper"), kodDanper}})
                      : dm.db().exec(QStringLiteral("Select * From S_Form WHERE Kod_Danper = :danper and "
                                                    "Kod_Type_Zvitnost = :type Order by Nomer_Form"),
                                     {{QStringLiteral(":danper"), kodDanper}, {QStringLiteral(":type"), typeCode}});
    std::vector<FormListItem> items;
    while (q.next()) {
        if (q.value(QStringLiteral("KOD_TYPE_FORM")).toInt() == 3) continue;
        FormListItem item;
        item.name = q.value(QStringLiteral("NAME_FORM")).toString();
        item.number = formNumberText(q.value(QStringLiteral("NOMER_FORM")));
        item.kodForm = q.value(QStringLiteral("KOD_FORM")).toString();
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<FormListItem> filledForms(TDM& dm, int kodObj, int kodStan, int kodDanper) {
    QSqlQuery combos = dm.db().exec(
        QStringLiteral("Select Distinct Nomer_Form,Name_Form,F.Kod_Form,kod_K,Kod_F,Kod_Z,Kod_G From Znachenie Z,S_Form F "
                       "Where  Z.Kod_Form = F.Kod_Form and Z.Kod_Obj = :obj and Z.kod_Stan = :stan and "
                       "Z.Kod_DanPer = :danper Order By F.Nomer_Form"),
        {{QStringLiteral(":obj"), kodObj}, {QStringLiteral(":stan"), kodStan}, {QStringLiteral(":danper"), kodDanper}});
    QSqlQuery form = dm.db().prepare(QStringLiteral("Select * From S_Form Where Kod_Form = :form"));
    QSqlQuery code = dm.db().prepare(QStringLiteral("Select K.Id From Klasifik K Where K.Kod = :kod"));
    std::vector<FormListItem> items;
    while (combos.next()) {
        FormListItem item;
        Database::run(form, {{QStringLiteral(":form"), combos.value(2)}});
        if (form.next()) {
            item.name = form.value(QStringLiteral("NAME_FORM")).toString();
            item.number = formNumberText(form.value(QStringLiteral("NOMER_FORM")));
            item.kodForm = form.value(QStringLiteral("KOD_FORM")).toString();
        }
        form.finish();
        for (int k = 0; k < 4; ++k) {
            Database::run(code, {{QStringLiteral(":kod"), combos.value(3 + k)}});
            item.codes[k] = code.next() ? code.value(0).toString() : QString();
            code.finish();
        }
        items.push_back(std::move(item));
    }
    return items;
}

std::optional<int> formKind(TDM& dm, int kodForm) {
    QSqlQuery q = dm.db().exec(QStringLiteral("Select * From S_Form Where Kod_Form = :form"),
                               {{QStringLiteral(":form"), kodForm}});
    if (!q.next()) return std::nullopt;
    return q.value(QStringLiteral("KOD_TYPE_FORM")).toInt();
}

void changeLocalPeriod(TDM& dm, const QString& configPath, const QString& periodText, const QDateTime& now) {
    ConfigFile file;
    if (QFileInfo::exists(configPath)) file = ConfigFile::load(configPath);
    for (const QString& name : {key::Dir, key::DB_Dir, key::WinRar_Dir, key::FTP_KOD_OBJ, key::FTP_KOD_STAN,
                                key::FTP_KOD_DANPER, key::FTP_Directory, key::FTP_IP_Server}) {
        file.setValue(name, file.value(name));
    }
    file.setValue(key::LocPeriod, periodText);
    file.save(configPath);

    writeBackup(dm.db(), dm.dbDir(), now);
    dm.db().exec(QStringLiteral("Delete from Znachenie"));
}

}  // namespace zelvan
