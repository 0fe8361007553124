#include "entry/form_entry.h"

#include <QSqlQuery>

#include "app/environment.h"
#include "app/prompter.h"
#include "formula/substitution.h"
#include "model/main_queries.h"
#include "model/tdm.h"
#include "platform/database.h"

namespace zelvan {

QString formCaptionText(const QString& nomerForm, const QString& nameForm, int typeZvitnost) {
    QString caption = QStringLiteral("№") + nomerForm + QStringLiteral("  ") + nameForm;
    if (typeZvitnost == 1) caption += QStringLiteral(" Бюджетна(грн.)");
    else if (typeZvitnost == 2) caption += QStringLiteral(" Госпрозрахункова(тис.грн.)");
    return caption;
}

FormEntry::FormEntry(TDM& dm, const UserLocale& locale, TextWidth measure)
    : dm_(dm), locale_(locale), measure_(std::move(measure)) {}

FormEntry::FormRow FormEntry::readForm(int kodForm) {
    QSqlQuery q = dm_.db().exec(QStringLiteral("Select * From S_Form Where Kod_Form = :form"),
                                {{QStringLiteral(":form"), kodForm}});
    FormRow row;
    if (q.next()) {
        row.typeZvitnost = q.value(QStringLiteral("KOD_TYPE_ZVITNOST")).toInt();
        row.fileName2 = q.value(QStringLiteral("FILE_NAME2")).toString();
        row.kodMainForm = q.value(QStringLiteral("KOD_MAIN_FORM"));
        row.nomerForm = formNumberText(q.value(QStringLiteral("NOMER_FORM")));
        row.nameForm = q.value(QStringLiteral("NAME_FORM")).toString();
    }
    return row;
}

void FormEntry::build(const FormSheet& form, const ValueKeys& keys) {
    const FormRow row = readForm(form.kodForm);
    // The description is read and checked first, so that a form that cannot be shown
    // changes nothing.
    FormGrid described = readDescription(form.kodForm);
    checkShowable(described, form.nomerForm, form.nameForm);

    kodForm_ = form.kodForm;
    grid_.setUnsaved(false);
    caption_ = formCaptionText(form.nomerForm, form.nameForm, row.typeZvitnost);
    if (row.typeZvitnost == 1 || row.typeZvitnost == 2) reportType_ = row.typeZvitnost;
    templateStatus_ = QStringLiteral("Шаблон : ") + row.fileName2;

    if (!row.kodMainForm.isNull() && !row.kodMainForm.toString().isEmpty()) {
        QSqlQuery q = dm_.db().exec(
            QStringLiteral("Select * From S_Form Where Kod_Main_Form = :main and Kod_Danper = :danper order by Nomer_Form"),
            {{QStringLiteral(":main"), row.kodMainForm}, {QStringLiteral(":danper"), keys.kodDanper}});
        group_.clear();
        groupIndex_ = -1;
        while (q.next()) {
            FormSheet sheet{q.value(QStringLiteral("KOD_FORM")).toInt(), formNumberText(q.value(QStringLiteral("NOMER_FORM"))),
                            q.value(QStringLiteral("NAME_FORM")).toString()};
            if (sheet.kodForm == form.kodForm) groupIndex_ = static_cast<int>(group_.size());
            group_.push_back(sheet);
        }
    }

    adopt(std::move(described));
    loadValues(keys, false);
    finishLayout();

    // The first cell open to entry becomes current.
    grid_.setEditableCell(false);
    for (int r = 1; r < grid_.rowCount() && !grid_.editableCell(); ++r) {
        for (int c = 1; c < grid_.colCount(); ++c) {
            if (grid_.isOpen(c, r)) {
                grid_.placeCurrent(c, r);
                grid_.setEditableCell(true);
                break;
            }
        }
    }
}

void FormEntry::switchSheet(int index, const ValueKeys& keys) {
    if (index < 0 || index >= static_cast<int>(group_.size())) return;
    const FormSheet& sheet = group_[size_t(index)];
    const FormRow row = readForm(sheet.kodForm);
    FormGrid described = readDescription(sheet.kodForm);
    checkShowable(described, sheet.nomerForm, sheet.nameForm);
    groupIndex_ = index;
    kodForm_ = sheet.kodForm;
    caption_ = formCaptionText(sheet.nomerForm, sheet.nameForm, row.typeZvitnost);
    if (row.typeZvitnost == 1 || row.typeZvitnost == 2) reportType_ = row.typeZvitnost;
    templateStatus_ = QStringLiteral("Шаблон : ") + row.fileName2;
    adopt(std::move(described));
    loadValues(keys, true);
    finishLayout();
}

void FormEntry::adopt(FormGrid&& described) {
    // The flags and the status texts belong to the window, not to the form shown.
    const bool unsaved = grid_.unsaved();
    const bool editable = grid_.editableCell();
    const QString statusColumn = grid_.statusColumn();
    const QString statusRow = grid_.statusRow();
    grid_ = std::move(described);
    grid_.setUnsaved(unsaved);
    grid_.setEditableCell(editable);
    grid_.setStatus(statusColumn, statusRow);
}

FormGrid FormEntry::readDescription(int kodForm) const {
    FormGrid grid_;
    const Database& db = dm_.db();
    const auto count = [&](const QString& sql) {
        QSqlQuery q = db.exec(sql, {{QStringLiteral(":form"), kodForm}});
        return q.next() ? q.value(0).toInt() : 0;
    };
    const int cols = count(QStringLiteral("Select Count(*) as C1 From S_Column Where Kod_Form = :form")) + 1;
    const int rows = count(QStringLiteral("Select Count(*) as C1 From S_Row Where Kod_Form = :form")) + 1;
    grid_.reset(cols, rows);

    QSqlQuery marks = db.exec(QStringLiteral("Select * From S_Column Where kod_Prizn = 1 and Kod_Form = :form"),
                              {{QStringLiteral(":form"), kodForm}});
    while (marks.next()) grid_.setText(marks.value(QStringLiteral("NOMER_GRID")).toInt(), 0, QStringLiteral("1"));
    QSqlQuery rowMarks = db.exec(QStringLiteral("Select * From S_Row Where Kod_Prizn = 1 and Kod_Form = :form"),
                                 {{QStringLiteral(":form"), kodForm}});
    while (rowMarks.next()) grid_.setText(0, rowMarks.value(QStringLiteral("NOMER_GRID")).toInt(), QStringLiteral("1"));

    QSqlQuery fixed = db.exec(
        QStringLiteral("Select D.Name_Cell,C.Nomer_Grid as nCol,R.Nomer_Grid as nRow From Disable_Cell D join S_Column C "
                       "on (D.Nomer_Col = C.Nomer_Col) and (D.Kod_Form = C.Kod_Form) join S_Row R on (D.Nomer_Row = "
                       "R.Nomer_Row) and (D.Kod_Form = R.Kod_Form) Where D.Kod_Prizn = 1 and D.Kod_Form = :form"),
        {{QStringLiteral(":form"), kodForm}});
    while (fixed.next()) {
        const QString name = fixed.value(0).toString();
        if (name == QStringLiteral("Vexa_Formula")) continue;
        const int c = fixed.value(1).toInt();
        const int r = fixed.value(2).toInt();
        if (c > 0 && r > 0) grid_.setText(c, r, name);
    }
    return grid_;
}

void FormEntry::loadValues(const ValueKeys& k, bool followStoredMark) {
    controlMark_ = true;
    bool first = true;
    const QChar separator = locale_.decimalSeparator;
    forEachRow(dm_.db(),
               QStringLiteral("Select NOMER_COL, NOMER_ROW, ZNACHENIE, CHECK_KONTROL From Znachenie Where Kod_Form = :form "
                              "and Kod_Obj = :obj and Kod_DanPer = :danper and Kod_K = :k and Kod_F = :f and Kod_Z = :z "
                              "and Kod_G = :g and Kod_Stan = :stan"),
               {{QStringLiteral(":form"), kodForm_},
                {QStringLiteral(":obj"), k.kodObj},
                {QStringLiteral(":danper"), k.kodDanper},
                {QStringLiteral(":k"), k.kodK},
                {QStringLiteral(":f"), k.kodF},
                {QStringLiteral(":z"), k.kodZ},
                {QStringLiteral(":g"), k.kodG},
                {QStringLiteral(":stan"), k.kodStan}},
               [&](const RowReader& row) {
                   if (first && followStoredMark) controlMark_ = row.integer(3) != 0;
                   first = false;
                   const int c = int(row.integer(0));
                   const int r = int(row.integer(1));
                   if (c <= 0 || r <= 0 || !grid_.inside(c, r)) return;  // a value outside the grid is not shown
                   if (row.isNull(2)) {
                       grid_.setText(c, r, QString());
                       return;
                   }
                   const double value = reportType_ == 2 ? row.real(2) / 1000 : row.real(2);
                   grid_.setText(c, r, valueText(value, separator));
               });
}

void FormEntry::finishLayout() {
    // Column widths: wide enough for every text below row 0.
    for (int c = 1; c < grid_.colCount(); ++c) {
        for (int r = 1; r < grid_.rowCount(); ++r) {
            const QString& text = grid_.text(c, r);
            if (text.isEmpty()) continue;
            const int needed = measure_ ? measure_(text) + 10 : 0;
            if (needed >= grid_.columnWidth(c)) grid_.setColumnWidth(c, needed);
        }
    }
    // Fixed columns: column 0, column 1 and every further heading column that follows
    // them without a gap.
    int fixedCols = 2;
    for (int c = 2; c < grid_.colCount(); ++c) {
        if (grid_.columnMarked(c - 1) && grid_.columnMarked(c)) ++fixedCols;
        else break;
    }
    int col = 1;
    while (col < grid_.colCount() && grid_.columnMarked(col)) ++col;
    int row = 1;
    while (row < grid_.rowCount() && grid_.rowMarked(row)) ++row;
    grid_.placeCurrent(col, row);
    grid_.setFixed(fixedCols, 3);
}

void FormEntry::checkShowable(const FormGrid& grid_, const QString& number, const QString& name) {
    const QString form = QStringLiteral("Форму № %1 \"%2\"").arg(number, name);
    int fixedCols = 2;
    for (int c = 2; c < grid_.colCount(); ++c) {
        if (grid_.columnMarked(c - 1) && grid_.columnMarked(c)) ++fixedCols;
        else break;
    }
    if (fixedCols >= grid_.colCount() || 3 >= grid_.rowCount()) {
        throw GridBuildError(QStringLiteral("%1 не можна відкрити: в її описі %2 колонок і %3 рядків, а для заголовків "
                                            "таблиці потрібно щонайменше %4 колонки і 3 рядки та ще по одній для даних.")
                                 .arg(form)
                                 .arg(grid_.colCount() - 1)
                                 .arg(grid_.rowCount() - 1)
                                 .arg(fixedCols - 1));
    }
    bool dataColumn = false;
    for (int c = 1; c < grid_.colCount(); ++c) dataColumn = dataColumn || !grid_.columnMarked(c);
    bool dataRow = false;
    for (int r = 1; r < grid_.rowCount(); ++r) dataRow = dataRow || !grid_.rowMarked(r);
    if (!dataColumn || !dataRow) {
        throw GridBuildError(QStringLiteral("%1 не можна відкрити: у її описі всі %2 позначені як заголовки, тож у "
                                            "таблиці немає місця для даних.")
                                 .arg(form, dataColumn ? QStringLiteral("рядки") : QStringLiteral("колонки")));
    }
}

bool FormEntry::save(const ValueKeys& k, Prompter& prompter, const SaveProgress& progress) {
    if (progress.start) progress.start((grid_.colCount() - 1) * (grid_.rowCount() - 1));
    const auto resetProgress = [&] {
        if (progress.reset) progress.reset();
    };
    const Database& db = dm_.db();
    SaveRules rules;
    rules.reportType = reportType_;
    rules.decimalSeparator = locale_.decimalSeparator;
    {
        QSqlQuery q = db.exec(QStringLiteral("select f.roundtowhole from s_form f where f.kod_form = :form"),
                              {{QStringLiteral(":form"), kodForm_}});
        rules.roundToWhole = q.next() ? q.value(0).toInt() : 0;
        QSqlQuery rows = db.exec(QStringLiteral("select r.nomer_row from s_row r where r.kod_form = :form and "
                                                "r.is_pos in (1, 2) order by r.nomer_row"),
                                 {{QStringLiteral(":form"), kodForm_}});
        while (rows.next()) rules.nonNegativeRows.insert(rows.value(0).toInt());
        for (const CellPos& cell : dm_.quIntegerCell(kodForm_)) rules.integerCells.insert(SaveRules::cellKey(cell.col, cell.row));
    }

    const SaveCheck check = checkForSave(grid_, rules, progress.step);
    if (check.failure != SaveFailure::None) {
        resetProgress();
        if (check.failure == SaveFailure::Invalid) prompter.message(MessageKind::Warning, check.message);
        else prompter.errorWithYesButton(check.message);
        return false;
    }

    try {
        db.transaction([&] {
            db.exec(QStringLiteral("Delete From Znachenie Where Kod_Form = :form and Kod_Obj = :obj and Kod_Stan = :stan "
                                   "and Kod_DanPer = :danper and Kod_K = :k and Kod_F = :f and Kod_Z = :z and Kod_G = :g"),
                    {{QStringLiteral(":form"), kodForm_},
                     {QStringLiteral(":obj"), k.kodObj},
                     {QStringLiteral(":stan"), k.kodStan},
                     {QStringLiteral(":danper"), k.kodDanper},
                     {QStringLiteral(":k"), k.kodK},
                     {QStringLiteral(":f"), k.kodF},
                     {QStringLiteral(":z"), k.kodZ},
                     {QStringLiteral(":g"), k.kodG}});
            QSqlQuery insert = db.prepare(QStringLiteral(
                "Insert Into Znachenie(Kod_Form,Kod_Obj,Kod_DanPer,Nomer_Row,Nomer_Col,Znachenie,Check_Kontrol,Kod_Stan,"
                "Kod_F,Kod_K,Kod_Z,Kod_G) Values(?,?,?,?,?,?,?,?,?,?,?,?)"));
            int stored = 0;
            for (const CellValue& v : check.values) {
                const QVariant values[12] = {kodForm_, k.kodObj, k.kodDanper, v.row, v.col, v.value,
                                             controlMark_ ? 1 : 0, k.kodStan, k.kodF, k.kodK, k.kodZ, k.kodG};
                for (int i = 0; i < 12; ++i) insert.bindValue(i, values[i]);
                Database::run(insert);
                ++stored;
                if (afterInsert) afterInsert(stored);
            }
        });
    } catch (...) {
        resetProgress();
        throw;
    }
    grid_.setUnsaved(false);
    resetProgress();
    prompter.message(MessageKind::Information, QStringLiteral("Ведені дані збережені."));
    return true;
}

void FormEntry::clear(const ValueKeys& k, Prompter& prompter) {
    if (!prompter.question(MessageKind::Confirmation, QStringLiteral("Ви впевнені, що бажаєте очистити форму?"))) return;
    dm_.db().exec(QStringLiteral("delete From znachenie Where Kod_Form = :form and Kod_Obj = :obj and Kod_Stan = :stan "
                                 "and Kod_DanPer = :danper and kod_f = :f and kod_k = :k and kod_z = :z and kod_g = :g"),
                  {{QStringLiteral(":form"), kodForm_},
                   {QStringLiteral(":obj"), k.kodObj},
                   {QStringLiteral(":stan"), k.kodStan},
                   {QStringLiteral(":danper"), k.kodDanper},
                   {QStringLiteral(":f"), k.kodF},
                   {QStringLiteral(":k"), k.kodK},
                   {QStringLiteral(":z"), k.kodZ},
                   {QStringLiteral(":g"), k.kodG}});
    for (int c = 1; c < grid_.colCount(); ++c) {
        if (grid_.columnMarked(c)) continue;
        for (int r = 1; r < grid_.rowCount(); ++r) {
            if (!grid_.rowMarked(r) && grid_.text(c, r) != kProtected) grid_.setText(c, r, QString());
        }
    }
}

}  // namespace zelvan
