#include "model/organisation_card.h"

#include <QSqlQuery>
#include <algorithm>

#include "model/tdm.h"
#include "platform/database.h"

namespace zelvan {

namespace {

const char16_t* const kColumns[4] = {u"SYS_NAME", u"SOFT_NAME", u"KOD_NAME", u"SOFT_KOD"};

}  // namespace

OrganisationCardModel::OrganisationCardModel(TDM& dm, QObject* parent) : QAbstractTableModel(parent), dm_(dm) {}

void OrganisationCardModel::reload() {
    beginResetModel();
    rows_.clear();
    QSqlQuery q = dm_.db().exec(TDM::quSorgKeyedSql);
    while (q.next()) {
        Row row;
        row.rowid = q.value(0).toLongLong();
        for (int c = 0; c < 4; ++c) row.fields[size_t(c)] = q.value(QString::fromUtf16(kColumns[c])).toString();
        rows_.push_back(std::move(row));
    }
    endResetModel();
}

int OrganisationCardModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int OrganisationCardModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant OrganisationCardModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return rows_[size_t(index.row())].fields[size_t(index.column())];
}

Qt::ItemFlags OrganisationCardModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const bool isNew = rows_[size_t(index.row())].rowid == 0;
    if (index.column() == SoftName || index.column() == SoftKod || isNew) f |= Qt::ItemIsEditable;
    return f;
}

bool OrganisationCardModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    Row& row = rows_[size_t(index.row())];
    const QString text = value.toString();
    if (row.fields[size_t(index.column())] == text) return true;
    row.fields[size_t(index.column())] = text;
    row.dirty = true;
    row.touched = true;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

int OrganisationCardModel::addRow(int at) {
    if (at < 0 || at > rowCount()) at = rowCount();
    beginInsertRows({}, at, at);
    rows_.insert(rows_.begin() + at, Row{});
    endInsertRows();
    return at;
}

void OrganisationCardModel::deleteRow(int at) {
    if (at < 0 || at >= rowCount()) return;
    if (const qint64 rowid = rows_[size_t(at)].rowid; rowid != 0)
        dm_.db().exec(QStringLiteral("delete from SORG where rowid = :id"), {{QStringLiteral(":id"), rowid}});
    beginRemoveRows({}, at, at);
    rows_.erase(rows_.begin() + at);
    endRemoveRows();
}

bool OrganisationCardModel::hasPendingChanges() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.dirty; });
}

void OrganisationCardModel::cancelUntouchedNewRows() {
    for (int i = rowCount() - 1; i >= 0; --i) {
        if (rows_[size_t(i)].rowid == 0 && !rows_[size_t(i)].touched) {
            beginRemoveRows({}, i, i);
            rows_.erase(rows_.begin() + i);
            endRemoveRows();
        }
    }
}

void OrganisationCardModel::post() {
    cancelUntouchedNewRows();
    if (!hasPendingChanges()) return;
    const Database& db = dm_.db();
    std::vector<std::pair<size_t, qint64>> inserted;
    db.transaction([&] {
        QSqlQuery update = db.prepare(QStringLiteral(
            "update SORG set SYS_NAME = :sys, SOFT_NAME = :soft, KOD_NAME = :kod, SOFT_KOD = :softKod where rowid = :id"));
        QSqlQuery insert = db.prepare(QStringLiteral(
            "insert into SORG (SYS_NAME, SOFT_NAME, KOD_NAME, SOFT_KOD) values (:sys, :soft, :kod, :softKod)"));
        for (size_t i = 0; i < rows_.size(); ++i) {
            const Row& row = rows_[i];
            if (!row.dirty) continue;
            // An empty cell is stored as no value, as the card's own rows have it.
            const auto v = [](const QString& s) { return s.isEmpty() ? QVariant() : QVariant(s); };
            QSqlQuery& q = row.rowid ? update : insert;
            q.bindValue(QStringLiteral(":sys"), v(row.fields[0]));
            q.bindValue(QStringLiteral(":soft"), v(row.fields[1]));
            q.bindValue(QStringLiteral(":kod"), v(row.fields[2]));
            q.bindValue(QStringLiteral(":softKod"), v(row.fields[3]));
            if (row.rowid) q.bindValue(QStringLiteral(":id"), row.rowid);
            Database::run(q);
            if (!row.rowid) inserted.emplace_back(i, q.lastInsertId().toLongLong());
        }
    });
    for (const auto& [i, rowid] : inserted) rows_[i].rowid = rowid;
    for (Row& row : rows_) row.dirty = false;
}

}  // namespace zelvan
