#include "model/tdm.h"

#include <QDir>

#include "app/error.h"
#include "model/schema.h"
#include "platform/database.h"
#include "platform/files.h"

namespace zelvan {

namespace {

QString lines(std::initializer_list<const char16_t*> parts) {
    QStringList list;
    for (const char16_t* part : parts) list << QString::fromUtf16(part);
    return list.join(u'\n');
}

}  // namespace

const QString TDM::quZnKontrSql = lines({
    u"select NOMER_COL, NOMER_ROW, ZNACHENIE",
    u"from ZNACHENIE",
    u"where KOD_FORM=:Kod_Form",
    u"and KOD_DANPER=:KOD_DANPER",
    u"and KOD_K=:KOD_K and KOD_F=:KOD_F and KOD_Z=:KOD_Z and KOD_G=:KOD_G",
    u"and KOD_OBJ=:KOD_OBJ",
    u"and KOD_STAN=:KOD_STAN",
});

const QString TDM::quRazrah_FlagSql = lines({
    u"select SUM(ZNACHENIE)",
    u"from ZNACHENIE",
    u"where KOD_FORM=:Kod_Form",
    u"and NOMER_COL=:Nomer_Col",
    u"and NOMER_ROW=:Nomer_Row",
    u"and KOD_DANPER=:KOD_DANPER",
    u"and KOD_OBJ=:KOD_OBJ",
    u"group by CHECK_KONTROL",
});

const QString TDM::quFormExist_FlagSql = lines({
    u"select ZNACHENIE",
    u"from ZNACHENIE",
    u"where KOD_FORM=:Kod_Form",
    u"and KOD_DANPER=:KOD_DANPER",
    u"and KOD_OBJ=:KOD_OBJ",
});

const QString TDM::quViewKontrSql = lines({
    u"select f1.KOD_FORM, f1.KOD_DANPER, f1.NAME_LONG, f2.NAME_LONG, f1.NAME, f2.NAME, "
    u"sf.KOD_TYPE_ZVITNOST, sf.PRIZNAK_ZELVAN, f1.is_abs, f2.is_abs ",
    u"from FORMULA_NEW f1, FORMULA_NEW f2, S_FORM sf ",
    u"where f1.KOD_DANPER=f2.KOD_DANPER",
    u"and f1.KOD_FORM=sf.KOD_FORM",
    u"and f1.KOD_FORM=f2.KOD_FORM",
    u"and f1.NOMER_COL=2",
    u"and f2.NOMER_COL=3",
    u"and f1.NOMER_ROW=f2.NOMER_ROW",
    u"and sf.PRIZNAK_ZELVAN=1",
    u"and f1.KOD_DANPER=:KOD_DANPER",
    u"and sf.KOD_TYPE_ZVITNOST=:KOD_TYPE_ZVITNOST",
});

const QString TDM::quSorgSql = lines({
    u"Select * From SORG",
    u"where Sys_Name<>'Kod_Obj' and Sys_Name<>'Kod_Stan'",
});

const QString TDM::quSorgKeyedSql = lines({
    u"Select rowid, * From SORG",
    u"where Sys_Name<>'Kod_Obj' and Sys_Name<>'Kod_Stan'",
});

const QString TDM::quIntegerCellSql = lines({
    u"select d.nomer_col, d.nomer_row",
    u"  from disable_cell d",
    u" where d.name_cell = 'IntegerCell'",
    u"   and d.kod_form = :kod_form",
});

const QString TDM::quTempSql = lines({u"select *", u"from S_form"});

TDM::TDM() = default;
TDM::~TDM() = default;

void TDM::pointAt(const QString& dbDir) {
    znKontr_.reset();
    razrahFlag_.reset();
    formExistFlag_.reset();
    viewKontr_.reset();
    integerCell_.reset();
    db_.reset();
    dbDir_ = dbDir;
    openError_.clear();

    if (dbDir.isEmpty()) {
        openError_ = QStringLiteral("Папку з БД не вказано.");
        return;
    }
    if (!QDir(dbDir).exists()) {
        openError_ = QStringLiteral("Папки з БД \"%1\" не існує.").arg(QDir::toNativeSeparators(dbDir));
        return;
    }
    if (!fileExistsIgnoringCase(dbDir, kDatabaseFileName)) {
        openError_ = QStringLiteral("У папці \"%1\" немає файлу бази даних %2.")
                         .arg(QDir::toNativeSeparators(dbDir), kDatabaseFileName);
        return;
    }
    try {
        db_ = std::make_unique<Database>(findFileIgnoringCase(dbDir, kDatabaseFileName),
                                         Database::Mode::OpenExisting);
    } catch (const ZelvanError& error) {
        openError_ = error.message();
    }
}

const Database& TDM::db() const {
    if (!db_) throw DatabaseError(openError_.isEmpty() ? QStringLiteral("Базу даних не відкрито.") : openError_);
    return *db_;
}

void TDM::probe() {
    const Database& database = db();
    QSqlQuery query = database.exec(QStringLiteral("Select * From Sorg"));
    query.finish();
    const QString problems = schemaProblems(database);
    if (!problems.isEmpty())
        throw DatabaseError(QStringLiteral("База даних не відповідає програмі: %1.").arg(problems));
    ensureIndexes(database);
}

QSqlQuery& TDM::prepared(std::unique_ptr<QSqlQuery>& slot, const QString& sql) {
    if (!slot) slot = std::make_unique<QSqlQuery>(db().prepare(sql));
    return *slot;
}

std::vector<StoredCell> TDM::quZnKontr(const ValueKeys& k) {
    QSqlQuery& q = prepared(znKontr_, quZnKontrSql);
    Database::run(q, {{QStringLiteral(":Kod_Form"), k.kodForm},
                      {QStringLiteral(":KOD_DANPER"), k.kodDanper},
                      {QStringLiteral(":KOD_K"), k.kodK},
                      {QStringLiteral(":KOD_F"), k.kodF},
                      {QStringLiteral(":KOD_Z"), k.kodZ},
                      {QStringLiteral(":KOD_G"), k.kodG},
                      {QStringLiteral(":KOD_OBJ"), k.kodObj},
                      {QStringLiteral(":KOD_STAN"), k.kodStan}});
    std::vector<StoredCell> cells;
    while (q.next()) {
        StoredCell cell{q.value(0).toInt(), q.value(1).toInt(), std::nullopt};
        const QVariant v = q.value(2);
        if (!v.isNull()) cell.value = v.toDouble();
        cells.push_back(cell);
    }
    q.finish();
    return cells;
}

std::optional<double> TDM::quRazrah_Flag(int kodForm, int nomerCol, int nomerRow, int kodDanper, int kodObj) {
    // Run for every reference of every pair: prepared once, bound by position in the
    // order the statement names its parameters.
    if (!razrahFlag_) razrahFlag_ = std::make_unique<FastStatement>(db(), quRazrah_FlagSql);
    std::optional<double> sum;
    if (razrahFlag_->first({kodForm, nomerCol, nomerRow, kodDanper, kodObj}) && !razrahFlag_->row().isNull(0))
        sum = razrahFlag_->row().real(0);
    razrahFlag_->finish();
    return sum;
}

bool TDM::quFormExist_Flag(int kodForm, int kodDanper, int kodObj) {
    if (!formExistFlag_) formExistFlag_ = std::make_unique<FastStatement>(db(), quFormExist_FlagSql);
    const bool any = formExistFlag_->first({kodForm, kodDanper, kodObj});
    formExistFlag_->finish();
    return any;
}

std::vector<ControlPair> TDM::quViewKontr(int kodDanper, int kodTypeZvitnost) {
    QSqlQuery& q = prepared(viewKontr_, quViewKontrSql);
    Database::run(q, {{QStringLiteral(":KOD_DANPER"), kodDanper},
                      {QStringLiteral(":KOD_TYPE_ZVITNOST"), kodTypeZvitnost}});
    std::vector<ControlPair> pairs;
    while (q.next()) {
        ControlPair p;
        p.kodForm = q.value(0).toInt();
        p.kodDanper = q.value(1).toInt();
        p.nameLong = q.value(2);
        p.nameLong1 = q.value(3);
        p.name = q.value(4);
        p.name1 = q.value(5);
        p.kodTypeZvitnost = q.value(6).toInt();
        p.priznakZelvan = q.value(7).toInt();
        p.isAbs = q.value(8);
        p.isAbs1 = q.value(9);
        pairs.push_back(std::move(p));
    }
    q.finish();
    return pairs;
}

std::vector<CellPos> TDM::quIntegerCell(int kodForm) {
    QSqlQuery& q = prepared(integerCell_, quIntegerCellSql);
    Database::run(q, {{QStringLiteral(":kod_form"), kodForm}});
    std::vector<CellPos> cells;
    while (q.next()) cells.push_back({q.value(0).toInt(), q.value(1).toInt()});
    q.finish();
    return cells;
}

}  // namespace zelvan
