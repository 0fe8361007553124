#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

#include "model/report_selection.h"

namespace zelvan {

class FastStatement;

class Database;

// One stored value of the value set of a form (statement quZnKontr).
struct StoredCell {
    int col = 0;
    int row = 0;
    std::optional<double> value;  // empty when the row holds no value
};

// A grid position.
struct CellPos {
    int col = 0;
    int row = 0;
    bool operator==(const CellPos&) const = default;
};

// One control pair of a control form (statement quViewKontr): the left side is the
// formula of column 2, the right side the formula of column 3 on the same row.
struct ControlPair {
    int kodForm = 0;
    int kodDanper = 0;
    QVariant nameLong;   // left side's description
    QVariant nameLong1;  // right side's description
    QVariant name;       // left side's formula text
    QVariant name1;      // right side's formula text
    int kodTypeZvitnost = 0;
    int priznakZelvan = 0;
    QVariant isAbs;
    QVariant isAbs1;
};

// The data module: owns the connection to the reporting database of the database
// folder and the ready-made statements. Statements are prepared once per connection
// and bound for every use.
class TDM {
public:
    TDM();
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    // Points the data module at a database folder. The database file is opened when
    // the folder holds it; it is never created here. Failures are kept for probe().
    void pointAt(const QString& dbDir);

    const QString& dbDir() const { return dbDir_; }
    bool isOpen() const { return db_ != nullptr; }

    // Checks that the folder holds a reporting database: runs "Select * From Sorg" and
    // checks every table and column. Throws DatabaseError with the reason.
    void probe();

    // The open database; throws DatabaseError when the folder gave none.
    const Database& db() const;

    // The statements, as the data module carries them.
    static const QString quZnKontrSql;
    static const QString quRazrah_FlagSql;
    static const QString quFormExist_FlagSql;
    static const QString quViewKontrSql;
    static const QString quSorgSql;
    static const QString quSorgKeyedSql;  // the same rows with the rowid first, for editing
    static const QString quIntegerCellSql;
    static const QString quTempSql;

    // The stored values of one form for one selection.
    std::vector<StoredCell> quZnKontr(const ValueKeys& keys);

    // The sum of one cell's values over all classifier combinations and states of the
    // organisation for the period, of the first CHECK_KONTROL group the engine returns;
    // empty when there is no row or the sum is empty.
    std::optional<double> quRazrah_Flag(int kodForm, int nomerCol, int nomerRow, int kodDanper, int kodObj);

    // True when the organisation has any stored value in the form for the period.
    bool quFormExist_Flag(int kodForm, int kodDanper, int kodObj);

    // The control pairs of the control forms of the period and report type.
    std::vector<ControlPair> quViewKontr(int kodDanper, int kodTypeZvitnost);

    // The grid positions of the form's cells that take whole numbers only.
    std::vector<CellPos> quIntegerCell(int kodForm);

private:
    QSqlQuery& prepared(std::unique_ptr<QSqlQuery>& slot, const QString& sql);

    QString dbDir_;
    QString openError_;
    std::unique_ptr<Database> db_;
    std::unique_ptr<QSqlQuery> znKontr_;
    std::unique_ptr<FastStatement> razrahFlag_;
    std::unique_ptr<FastStatement> formExistFlag_;
    std::unique_ptr<QSqlQuery> viewKontr_;
    std::unique_ptr<QSqlQuery> integerCell_;
};

}  // namespace zelvan
