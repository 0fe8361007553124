#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>
#include <unordered_map>
#include <vector>

#include "app/error.h"
#include "model/tdm.h"

namespace zelvan {

// A reference field of a formula text that is not a decimal integer.
class IntegerConversionError : public ZelvanError {
public:
    using ZelvanError::ZelvanError;
};

// A value as the controls write it into an expression: the general format with up to
// 15 significant digits, plain when the value is at least 0.00001 in magnitude and has
// at most 15 integer digits, otherwise scientific (1E20, 1.5E-6); the given decimal
// separator; no thousands separator.
QString valueText(double value, QChar decimalSeparator);

// The stored values of one form for one selection, looked up by grid column and row.
// When the set holds a cell twice, the first row counts.
class ValueSet {
public:
    ValueSet() = default;
    explicit ValueSet(const std::vector<StoredCell>& cells);

    // Nothing when the set has no row for the cell; an empty stored value counts as 0.
    std::optional<double> find(int col, int row) const;

private:
    static long long key(int col, int row) { return (static_cast<long long>(col) << 32) ^ static_cast<unsigned>(row); }
    std::unordered_map<long long, double> values_;
};

// The value scale of a report type: 1 keeps values in hryvnias, any other divides by 1000.
inline double scaledValue(double stored, int reportType) { return reportType == 1 ? stored : stored / 1000; }

// Turns a reference formula into an arithmetic expression appended to `output`: every
// cell reference form,column,row, becomes "(" + the cell's value + ")" (0 for a cell
// without a value); the characters ( ) * + - / are copied; #text@ copies the text.
// A "#" without a closing "@" copies the rest of the formula and ends the substitution.
// Throws IntegerConversionError for a column or row field that is not an integer.
void SubstituteReferences(QStringView formula, QString& output, const ValueSet& values, int reportType,
                          QChar decimalSeparator);

// Turns a flag-sum formula (references each followed by one joining character) into an
// arithmetic expression appended to `output`: each reference becomes "(" + the sum of
// the cell's values over all classifier combinations and states of the organisation
// for the period + ")" followed by the joining character. Throws
// IntegerConversionError for a field that is not an integer.
void SubstituteFlagSums(QStringView formula, QString& output, TDM& dm, int period, int organisation, int reportType,
                        QChar decimalSeparator);

}  // namespace zelvan
