#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <vector>

namespace zelvan {

class TDM;

// The organisation card as the main window's grid shows it: every SORG row but the two
// code rows "Kod_Obj" and "Kod_Stan", with the columns Sys_Name, Soft_Name, Kod_Name and
// Soft_Kod. Soft_Name and Soft_Kod can be edited; a new row can be given all four.
// Edits stay pending until post() writes them in one transaction.
class OrganisationCardModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { SysName = 0, SoftName = 1, KodName = 2, SoftKod = 3 };

    explicit OrganisationCardModel(TDM& dm, QObject* parent = nullptr);

    // Reads the card again; pending edits are dropped.
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Adds an empty new row at `row` (the end when out of range); returns its row.
    int addRow(int row);
    // Deletes a row from the card at once (a new, unposted row is simply dropped).
    void deleteRow(int row);

    bool hasPendingChanges() const;
    // Writes every pending edit and new row. New rows nobody typed into are dropped.
    // Throws ZelvanError on failure; the edits then stay pending.
    void post();
    // Drops new rows that were never typed into.
    void cancelUntouchedNewRows();

private:
    struct Row {
        qint64 rowid = 0;  // 0 for a row not yet in the table
        std::array<QString, 4> fields;
        bool dirty = false;
        bool touched = false;
    };

    TDM& dm_;
    std::vector<Row> rows_;
};

}  // namespace zelvan
