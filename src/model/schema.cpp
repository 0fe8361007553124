#include "model/schema.h"

#include <QHash>
#include <QSqlQuery>

#include "platform/database.h"

namespace zelvan {

namespace {

// Dates are stored as ISO texts (YYYY-MM-DD): their order is the order of the dates.
// Memo columns are TEXT. ZNACHENIE holds money as a double.
const QString kInt = QStringLiteral("INTEGER");
const QString kText = QStringLiteral("TEXT");
const QString kDate = QStringLiteral("TEXT");
const QString kReal = QStringLiteral("REAL");
const QString kNumber = QStringLiteral("NUMERIC");

std::vector<TableDef> makeTables() {
    auto c = [](const char16_t* name, const QString& type) {
        return ColumnDef{QString::fromUtf16(name), type};
    };
    return {
        {QStringLiteral("ZNACHENIE"),
         {c(u"KOD_FORM", kInt), c(u"KOD_OBJ", kInt), c(u"KOD_STAN", kInt), c(u"KOD_DANPER", kInt),
          c(u"KOD_K", kInt), c(u"KOD_F", kInt), c(u"KOD_Z", kInt), c(u"KOD_G", kInt),
          c(u"NOMER_ROW", kInt), c(u"NOMER_COL", kInt), c(u"ZNACHENIE", kReal),
          c(u"CHECK_KONTROL", kInt), c(u"KOD_KLASIFIK", kInt)},
         {}},
        {QStringLiteral("S_FORM"),
         {c(u"KOD_FORM", kInt), c(u"NOMER_FORM", kNumber), c(u"NAME_FORM", kText),
          c(u"KOD_DANPER", kInt), c(u"KOD_TYPE_ZVITNOST", kInt), c(u"KOD_TYPE_FORM", kInt),
          c(u"KOD_MAIN_FORM", kInt), c(u"FILE_NAME2", kText), c(u"ROUNDTOWHOLE", kInt),
          c(u"CHECK_NEGATIVE", kInt), c(u"PRIZNAK_ZELVAN", kInt)},
         QStringLiteral("KOD_FORM")},
        {QStringLiteral("S_COLUMN"),
         {c(u"KOD_FORM", kInt), c(u"NOMER_COL", kInt), c(u"NOMER_GRID", kInt), c(u"KOD_PRIZN", kInt)},
         {}},
        {QStringLiteral("S_ROW"),
         {c(u"KOD_FORM", kInt), c(u"NOMER_ROW", kInt), c(u"NOMER_GRID", kInt), c(u"KOD_PRIZN", kInt),
          c(u"IS_POS", kInt)},
         {}},
        {QStringLiteral("DISABLE_CELL"),
         {c(u"KOD_FORM", kInt), c(u"NOMER_COL", kInt), c(u"NOMER_ROW", kInt), c(u"NAME_CELL", kText),
          c(u"KOD_PRIZN", kInt), c(u"KOD_KOORD", kInt)},
         {}},
        {QStringLiteral("FORMULA_NEW"),
         {c(u"KOD_FORMULA", kInt), c(u"KOD_FORM", kInt), c(u"KOD_DANPER", kInt), c(u"NOMER_COL", kInt),
          c(u"NOMER_ROW", kInt), c(u"NAME", kText), c(u"NAME_LONG", kText),
          c(u"DEPEND", QStringLiteral("VARCHAR(15)")), c(u"IS_ABS", kInt),
          c(u"ZNAK", QStringLiteral("VARCHAR(2)")), c(u"USER_KOREG", kText), c(u"DATE_KOREG", kDate)},
         QStringLiteral("KOD_FORMULA")},
        {QStringLiteral("DANPER"), {c(u"KOD_DANPER", kInt), c(u"NACHALO", kDate)}, {}},
        {QStringLiteral("LocDANPER"), {c(u"NACHALO", kDate), c(u"PERIOD", kText)}, {}},
        {QStringLiteral("TYPE_ZVITNOST"), {c(u"KOD_TYPE_ZVITNOST", kInt), c(u"NAME", kText)}, {}},
        {QStringLiteral("KLASIFIK"),
         {c(u"KOD", kInt), c(u"ID", kInt), c(u"NAME", kText), c(u"KOD_PARENT", kInt),
          c(u"KOD_PARENT_2", kText), c(u"DT_POCHATOK", kDate), c(u"DT_ZAKIN", kDate)},
         QStringLiteral("KOD")},
        {QStringLiteral("SORG"),
         {c(u"SYS_NAME", kText), c(u"SOFT_NAME", kText), c(u"KOD_NAME", kText), c(u"SOFT_KOD", kText)},
         {}},
        {QStringLiteral("PRE_KLASIFIK"),
         {c(u"KOD_KLASIFIK", kInt), c(u"KOD_K", kInt), c(u"KOD_F", kInt), c(u"KOD_Z", kInt),
          c(u"KOD_G", kInt)},
         QStringLiteral("KOD_KLASIFIK")},
    };
}

// Indexes for the lookups that run on every cell, formula and reference.
// The cell index serves the flag sums of the control across forms, the selection index
// serves loading (it holds every column the grid reads, so the rows
// need not be visited), saving and clearing one form's values.
const char16_t* const kIndexes[] = {
    u"create index if not exists ZNACHENIE_CELL on ZNACHENIE (KOD_FORM, NOMER_COL, NOMER_ROW, KOD_DANPER, KOD_OBJ, "
    u"CHECK_KONTROL, ZNACHENIE)",
    u"create index if not exists ZNACHENIE_VALUES on ZNACHENIE (KOD_FORM, KOD_OBJ, KOD_DANPER, KOD_K, KOD_F, KOD_Z, "
    u"KOD_G, KOD_STAN, NOMER_COL, NOMER_ROW, ZNACHENIE, CHECK_KONTROL)",
    u"create index if not exists S_COLUMN_NUMBER on S_COLUMN (KOD_FORM, NOMER_COL)",
    u"create index if not exists S_ROW_NUMBER on S_ROW (KOD_FORM, NOMER_ROW)",
    u"create index if not exists DISABLE_CELL_FORM on DISABLE_CELL (KOD_FORM)",
    u"create index if not exists FORMULA_NEW_CELL on FORMULA_NEW (KOD_FORM, KOD_DANPER, NOMER_COL, NOMER_ROW)",
    u"create index if not exists KLASIFIK_PARENT on KLASIFIK (KOD_PARENT, ID)",
};

}  // namespace

QStringList TableDef::columnNames() const {
    QStringList names;
    for (const ColumnDef& column : columns) names << column.name;
    return names;
}

const std::vector<TableDef>& reportingTables() {
    static const std::vector<TableDef> tables = makeTables();
    return tables;
}

const TableDef* findTable(const QString& name) {
    for (const TableDef& table : reportingTables()) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0) return &table;
    }
    return nullptr;
}

void createSchema(const Database& db) {
    db.transaction([&] {
        for (const TableDef& table : reportingTables()) {
            QStringList columns;
            for (const ColumnDef& column : table.columns) {
                QString definition = column.name + u' ' + column.type;
                if (column.name == table.primaryKey) definition += QStringLiteral(" PRIMARY KEY");
                columns << definition;
            }
            db.exec(QStringLiteral("create table %1 (%2)").arg(table.name, columns.join(QStringLiteral(", "))));
        }
    });
    ensureIndexes(db);
}

void ensureIndexes(const Database& db) {
    // The names of the indexes the program wants, from their statements.
    QStringList wanted;
    for (const char16_t* index : kIndexes) {
        const QString statement = QString::fromUtf16(index);
        const qsizetype start = statement.indexOf(QStringLiteral("exists ")) + 7;
        wanted << statement.mid(start, statement.indexOf(u' ', start) - start);
    }
    QStringList present;
    QSqlQuery existing = db.exec(QStringLiteral("select name from sqlite_master where type = 'index'"));
    while (existing.next()) present << existing.value(0).toString();
    // An index of an earlier version that a wider one replaced.
    if (present.contains(QStringLiteral("FORMULA_NEW_FORM"))) db.exec(QStringLiteral("drop index FORMULA_NEW_FORM"));
    for (qsizetype i = 0; i < wanted.size(); ++i)
        if (!present.contains(wanted.at(i))) db.exec(QString::fromUtf16(kIndexes[i]));
}

QString schemaProblems(const Database& db) {
    // Every column of every table, in one statement.
    QSqlQuery info = db.exec(QStringLiteral(
        "select m.name, p.name from sqlite_master m join pragma_table_info(m.name) p where m.type = 'table'"));
    QHash<QString, QStringList> present;
    while (info.next()) present[info.value(0).toString().toUpper()] << info.value(1).toString();
    QStringList problems;
    for (const TableDef& table : reportingTables()) {
        const QStringList columns = present.value(table.name.toUpper());
        if (columns.isEmpty()) {
            problems << QStringLiteral("немає таблиці %1").arg(table.name);
            continue;
        }
        for (const ColumnDef& column : table.columns) {
            if (!columns.contains(column.name, Qt::CaseInsensitive))
                problems << QStringLiteral("у таблиці %1 немає стовпця %2").arg(table.name, column.name);
        }
    }
    return problems.join(QStringLiteral("; "));
}

}  // namespace zelvan
