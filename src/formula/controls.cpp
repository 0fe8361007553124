#include "formula/controls.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <charconv>
#include <cmath>

#include "formula/infix.h"
#include "formula/substitution.h"
#include "model/main_queries.h"
#include "model/tdm.h"
#include "platform/text_trim.h"
#include "platform/database.h"

namespace zelvan {

bool RunContinues = true;

QString reportNumber(double value, int decimals, QChar separator) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    QString out = QString::fromLatin1(text.data(), qsizetype(text.size()));
    if (separator != u'.') out.replace(u'.', separator);
    return out;
}

ReportOrganisation readReportOrganisation(TDM& dm) {
    QSqlQuery q = dm.db().exec(QStringLiteral("select * from SORG where Kod_Name = :name"),
                               {{QStringLiteral(":name"), QStringLiteral("за ЄДРПОУ")}});
    ReportOrganisation organisation;
    if (q.next()) {
        const QString code = q.value(QStringLiteral("SOFT_KOD")).toString();
        if (!code.isEmpty()) organisation.code = code;
        organisation.name = q.value(QStringLiteral("SOFT_NAME")).toString();
    }
    return organisation;
}

namespace {

// A formula as the control copies it: the stored value of its cell rounded as a
// NUMERIC(15, 2) column keeps it.
struct TempFormula {
    int kodFormula = 0;
    int col = 0;
    int row = 0;
    QString depend;
    double stored = 0;
    QString name;
    QString nameLong;
    int isAbs = 0;
    QString znak;
};

double roundTo2(double value) { return std::round(value * 100) / 100; }

double evaluate(const QString& expression, QChar separator) {
    if (separator == u',') {
        QString dotted = expression;
        dotted.replace(u',', u'.');
        return EvaluateExpression(dotted).value;
    }
    return EvaluateExpression(expression).value;
}

// The printed names of a form's rows and columns, read once when the first deviation
// needs them. A row or column without a printed name is named by its number; where
// several are stored the first counts.
class CellLabels {
public:
    CellLabels(TDM& dm, int kodForm) : dm_(dm), kodForm_(kodForm) {}

    QString label(int col, int row) {
        if (!loaded_) load();
        return QStringLiteral("рядок ") + rows_.value(row, QString::number(row)) + QStringLiteral(", графа ") +
               cols_.value(col, QString::number(col));
    }

private:
    void load() {
        loaded_ = true;
        QSqlQuery q = dm_.db().exec(QStringLiteral("SELECT KOD_KOORD, NOMER_ROW, NOMER_COL, NAME_CELL from DISABLE_CELL "
                                                   "where KOD_KOORD in (1, 2) and KOD_FORM = :form"),
                                    {{QStringLiteral(":form"), kodForm_}});
        while (q.next()) {
            QHash<int, QString>& names = q.value(0).toInt() == 1 ? rows_ : cols_;
            const int number = q.value(q.value(0).toInt() == 1 ? 1 : 2).toInt();
            if (!names.contains(number)) names.insert(number, q.value(3).toString());
        }
    }

    TDM& dm_;
    int kodForm_;
    bool loaded_ = false;
    QHash<int, QString> rows_;
    QHash<int, QString> cols_;
};

}  // namespace

FormControlResult runFormControl(TDM& dm, const ValueKeys& k, QChar separator, const ControlProgress& progress) {
    FormControlResult result;
    const Database& db = dm.db();
    result.organisation = readReportOrganisation(dm);

    int checkNegative = 0;
    QSet<int> invertedRows;
    struct Selected {
        TempFormula formula;
        QVariant storedValue;
    };
    std::vector<Selected> selected;
    ValueSet values;
    // The reads in one transaction: the formulas and the values they are checked against
    // come from the same state of the database.
    db.transaction([&] {
        {
            QSqlQuery q = db.exec(QStringLiteral("select KOD_TYPE_ZVITNOST, CHECK_NEGATIVE from S_FORM where KOD_FORM = :form"),
                                  {{QStringLiteral(":form"), k.kodForm}});
            if (q.next()) {
                result.reportType = q.value(0).toInt();
                checkNegative = q.value(1).toInt();
            }
        }
        {
            QSqlQuery q = db.exec(QStringLiteral("select r.nomer_row from s_row r where r.kod_form = :form and r.is_pos = 2 "
                                                 "order by r.nomer_row"),
                                  {{QStringLiteral(":form"), k.kodForm}});
            while (q.next()) invertedRows.insert(q.value(0).toInt());
        }

        // Every formula of the form and period once, with its cell's stored value or 0.
        {
            const QString join = QStringLiteral(
                "and z.KOD_OBJ = :obj and z.KOD_STAN = :stan and z.KOD_F = :f and z.KOD_K = :k and z.KOD_Z = :z and z.KOD_G = :g");
            QSqlQuery q = db.exec(
                QStringLiteral("select f.KOD_FORMULA, f.NOMER_COL, f.NOMER_ROW, f.DEPEND, z.ZNACHENIE, f.NAME, f.NAME_LONG, "
                               "f.is_abs, f.znak from FORMULA_NEW f join ZNACHENIE z on f.KOD_FORM = z.KOD_FORM and "
                               "f.KOD_DANPER = z.KOD_DANPER and f.NOMER_COL = z.NOMER_COL and f.NOMER_ROW = z.NOMER_ROW ") +
                    join +
                    QStringLiteral(" where f.KOD_FORM = :form and f.KOD_DANPER = :danper union select f.KOD_FORMULA, "
                                   "f.NOMER_COL, f.NOMER_ROW, f.DEPEND, 0, f.NAME, f.NAME_LONG, f.is_abs, f.znak from "
                                   "FORMULA_NEW f where f.KOD_FORM = :form and f.KOD_DANPER = :danper and not exists (select * "
                                   "from ZNACHENIE z where f.KOD_FORM = z.KOD_FORM and f.KOD_DANPER = z.KOD_DANPER and "
                                   "f.NOMER_COL = z.NOMER_COL and f.NOMER_ROW = z.NOMER_ROW ") +
                    join + QStringLiteral(") order by 2, 3"),
                {{QStringLiteral(":form"), k.kodForm},
                 {QStringLiteral(":danper"), k.kodDanper},
                 {QStringLiteral(":obj"), k.kodObj},
                 {QStringLiteral(":stan"), k.kodStan},
                 {QStringLiteral(":f"), k.kodF},
                 {QStringLiteral(":k"), k.kodK},
                 {QStringLiteral(":z"), k.kodZ},
                 {QStringLiteral(":g"), k.kodG}});
            while (q.next()) {
                Selected s;
                s.formula.kodFormula = q.value(0).toInt();
                s.formula.col = q.value(1).toInt();
                s.formula.row = q.value(2).toInt();
                s.formula.depend = q.value(3).toString();
                s.storedValue = q.value(4);
                s.formula.stored = roundTo2(q.value(4).toDouble());
                s.formula.name = q.value(5).toString();
                s.formula.nameLong = q.value(6).toString();
                s.formula.isAbs = q.value(7).toInt();
                s.formula.znak = q.value(8).toString();
                selected.push_back(std::move(s));
            }
        }
        if (!selected.empty()) values = ValueSet(dm.quZnKontr(k));
    });
    if (selected.empty()) return result;

    // The copy by the dependency rule: a formula whose partner is missing is dropped, and
    // so is one whose own cell holds zero while its partner's does not.
    QHash<QString, size_t> byKey;
    for (size_t i = 0; i < selected.size(); ++i) byKey.insert(QString::number(selected[i].formula.kodFormula), i);
    const auto isZero = [&](const Selected& s) { return valueText(s.storedValue.toDouble(), u'.') == QStringLiteral("0"); };
    std::vector<TempFormula> temp;
    for (const Selected& s : selected) {
        if (s.formula.depend.isEmpty()) {
            temp.push_back(s.formula);
            continue;
        }
        const auto partner = byKey.constFind(s.formula.depend);
        if (partner == byKey.constEnd()) continue;
        if (isZero(s) && !isZero(selected[*partner])) continue;
        temp.push_back(s.formula);
    }
    QHash<QString, const TempFormula*> tempByKey;
    for (const TempFormula& t : temp) tempByKey.insert(QString::number(t.kodFormula), &t);

    if (progress.start) progress.start(static_cast<int>(temp.size()) - 1);
    CellLabels labels(dm, k.kodForm);

    int processed = 0;
    for (const TempFormula& f : temp) {
        QString expression;
        SubstituteReferences(f.name, expression, values, result.reportType, separator);
        double computed = evaluate(expression, separator);
        double stored = result.reportType == 1 ? f.stored : f.stored / 1000;

        bool inverted = false;
        if (checkNegative == 0) {
            computed = std::fabs(computed);
            stored = std::fabs(stored);
        } else if (f.isAbs == 1) {
            computed = std::fabs(computed);
        } else if (invertedRows.contains(f.row)) {
            stored = -stored;
            inverted = true;
        }

        QString sign = trimmedBlanksAndControls(f.znak);
        if (sign.isEmpty()) sign = QStringLiteral("=");
        bool deviation = false;
        if (sign == QStringLiteral("=")) deviation = std::fabs(stored - computed) > 0.001;
        else if (sign == QStringLiteral(">=")) deviation = computed > stored;
        else if (sign == QStringLiteral("<=")) deviation = computed < stored;

        if (deviation && !f.depend.isEmpty()) {
            const TempFormula* partner = tempByKey.value(f.depend, nullptr);
            if (partner && !partner->depend.isEmpty()) {
                if (stored == 0) deviation = inverted ? computed < 0 : computed > 0;
                else if (std::fabs(std::fabs(stored) - std::fabs(computed)) < 0.001)
                    deviation = inverted ? computed > 0 : computed < 0;
            }
        }

        if (deviation) {
            FormDeviation line;
            line.col = f.col;
            line.row = f.row;
            line.columns[0] = labels.label(f.col, f.row);
            line.columns[1] = reportNumber(stored, 3, separator);
            line.columns[2] = f.nameLong;
            line.columns[3] = expression + u'=';
            line.columns[4] = reportNumber(computed, 3, separator);
            result.lines.push_back(std::move(line));
        }
        ++processed;
        ++result.formulas;
        if (progress.step && !progress.step(processed)) {
            result.outcome = ControlOutcome::Stopped;
            return result;
        }
    }
    result.outcome = result.lines.empty() ? ControlOutcome::NoDeviations : ControlOutcome::Deviations;
    return result;
}

namespace {

// The pre-scan of one side: every reference's form field must be an integer; returns
// whether any form of the side has values (nothing when a form field is not one).
std::optional<bool> anyFormFilled(TDM& dm, const QString& formula, int kodDanper, int kodObj,
                                  QHash<int, bool>& filledForms) {
    bool filled = false;
    qsizetype pos = 0;
    const qsizetype n = formula.size();
    while (pos < n) {
        const qsizetype comma = formula.indexOf(u',', pos);
        bool ok = false;
        const int form = (comma < 0 ? formula.mid(pos) : formula.mid(pos, comma - pos)).toInt(&ok);
        if (!ok) return std::nullopt;
        if (!filled) {
            // Within the run's read transaction the answer for a form cannot change.
            auto known = filledForms.constFind(form);
            if (known == filledForms.constEnd())
                known = filledForms.insert(form, dm.quFormExist_Flag(form, kodDanper, kodObj));
            filled = *known;
        }
        // Past the three fields and the joining character.
        qsizetype next = pos;
        for (int field = 0; field < 3 && next >= 0; ++field) {
            next = formula.indexOf(u',', next);
            if (next >= 0) ++next;
        }
        if (next < 0) break;
        pos = next + 1;
    }
    return filled;
}

}  // namespace

CrossControlResult runCrossControl(TDM& dm, int kodDanper, int kodObj, int reportType, QChar separator,
                                   const ControlProgress& progress) {
    CrossControlResult result;
    result.organisation = readReportOrganisation(dm);
    const std::vector<ControlPair> pairs = dm.quViewKontr(kodDanper, reportType);
    if (pairs.empty()) return result;
    if (progress.start) progress.start(static_cast<int>(pairs.size()) - 1);

    QHash<int, QString> formNumbers;
    const auto formNumber = [&](int kodForm) {
        const auto found = formNumbers.constFind(kodForm);
        if (found != formNumbers.constEnd()) return *found;
        QSqlQuery q = dm.db().exec(QStringLiteral("select NOMER_FORM from S_FORM where KOD_FORM = :form"),
                                   {{QStringLiteral(":form"), kodForm}});
        const QString number = q.next() ? formNumberText(q.value(0)) : QString();
        formNumbers.insert(kodForm, number);
        return number;
    };

    int processed = 0;
    QHash<int, bool> filledForms;
    // One read transaction for the whole run: every sum sees the same values.
    dm.db().transaction([&] {
        for (const ControlPair& pair : pairs) {
            if (pair.name.isNull() || pair.name1.isNull() || pair.name.toString().isEmpty() ||
                pair.name1.toString().isEmpty()) {
                result.stopMessage = QStringLiteral("Вкажить форму звітності!");
                return;
            }
            const QString left = pair.name.toString();
            const QString right = pair.name1.toString();
            const auto leftScan = anyFormFilled(dm, left, kodDanper, kodObj, filledForms);
            if (!leftScan) {
                result.stopMessage = QStringLiteral("Ошибка в формуле: ") + pair.nameLong.toString() +
                                     QStringLiteral("\n\rВведите формулу заново.");
                return;
            }
            const auto rightScan = anyFormFilled(dm, right, kodDanper, kodObj, filledForms);
            if (!rightScan) {
                result.stopMessage = QStringLiteral("Ошибка в формуле: ") + pair.nameLong1.toString() +
                                     QStringLiteral("\n\rВведите формулу заново.");
                return;
            }
            if (*rightScan) {
                QString leftExpression;
                SubstituteFlagSums(left, leftExpression, dm, kodDanper, kodObj, reportType, separator);
                double leftValue = evaluate(leftExpression, separator);
                if (pair.isAbs.toInt() == 1) leftValue = std::fabs(leftValue);
                QString rightExpression;
                SubstituteFlagSums(right, rightExpression, dm, kodDanper, kodObj, reportType, separator);
                double rightValue = evaluate(rightExpression, separator);
                if (pair.isAbs1.toInt() == 1) rightValue = std::fabs(rightValue);
                ++result.pairs;
                if (std::fabs(leftValue - rightValue) > 0.001) {
                    result.lines.push_back({formNumber(pair.kodForm), pair.nameLong.toString(),
                                            pair.nameLong1.toString(), reportNumber(leftValue, 2, separator),
                                            reportNumber(rightValue, 2, separator), leftExpression + u'=',
                                            rightExpression + u'='});
                }
            }
            ++processed;
            if (progress.step && !progress.step(processed)) {
                result.outcome = ControlOutcome::Stopped;
                return;
            }
        }
    });
    if (!result.stopMessage.isEmpty() || result.outcome == ControlOutcome::Stopped) return result;
    result.outcome = result.lines.empty() ? ControlOutcome::NoDeviations : ControlOutcome::Deviations;
    return result;
}

}  // namespace zelvan
