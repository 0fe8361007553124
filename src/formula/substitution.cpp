#include "formula/substitution.h"

#include <charconv>
#include <cstdlib>

namespace zelvan {

namespace {

// Reads the text up to the next comma as a decimal integer and moves past the comma.
int readField(QStringView formula, qsizetype& pos) {
    const qsizetype comma = formula.indexOf(u',', pos);
    const QStringView field = comma < 0 ? QStringView() : formula.mid(pos, comma - pos);
    bool ok = false;
    int value = 0;
    // An optional sign and decimal digits only: no blanks, no other notation.
    if (!field.isEmpty()) {
        qsizetype i = (field.front() == u'+' || field.front() == u'-') ? 1 : 0;
        ok = i < field.size();
        for (; ok && i < field.size(); ++i) ok = field.at(i).isDigit() && field.at(i).unicode() < 128;
        if (ok) value = field.toInt(&ok);
    }
    if (!ok || comma < 0) {
        const QString shown = comma < 0 ? formula.mid(pos).toString() : field.toString();
        throw IntegerConversionError(
            QStringLiteral("Помилка в тексті формули: \"%1\" не є цілим числом (формула \"%2\").")
                .arg(shown, formula.toString()));
    }
    pos = comma + 1;
    return value;
}

void appendValue(QString& output, double value, QChar decimalSeparator) {
    output += u'(';
    output += valueText(value, decimalSeparator);
    output += u')';
}

}  // namespace

QString valueText(double value, QChar decimalSeparator) {
    if (value == 0) return QStringLiteral("0");
    // 15 significant digits, rounded: d.dddddddddddddde±x
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 14);
    *result.ptr = '\0';  // to_chars writes no terminator; the exponent is read up to it
    const char* p = buffer;
    const bool negative = *p == '-';
    if (negative) ++p;
    char digits[16];
    int count = 0;
    for (; p < result.ptr && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') digits[count++] = *p;
    }
    const int exponent = std::atoi(p + 1);
    while (count > 1 && digits[count - 1] == '0') --count;

    // The text is made in a byte buffer with '.' standing for the separator.
    char out[48];
    int n = 0;
    if (negative) out[n++] = '-';
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            for (int i = 0; i <= exponent; ++i) out[n++] = i < count ? digits[i] : '0';
            if (count > exponent + 1) {
                out[n++] = '.';
                for (int i = exponent + 1; i < count; ++i) out[n++] = digits[i];
            }
        } else {
            out[n++] = '0';
            out[n++] = '.';
            for (int i = -1; i > exponent; --i) out[n++] = '0';
            for (int i = 0; i < count; ++i) out[n++] = digits[i];
        }
    } else {
        out[n++] = digits[0];
        if (count > 1) {
            out[n++] = '.';
            for (int i = 1; i < count; ++i) out[n++] = digits[i];
        }
        out[n++] = 'E';
        const auto e = std::to_chars(out + n, out + sizeof out, exponent);
        n = int(e.ptr - out);
    }
    QString text = QString::fromLatin1(out, n);
    if (decimalSeparator != u'.') text.replace(u'.', decimalSeparator);
    return text;
}

ValueSet::ValueSet(const std::vector<StoredCell>& cells) {
    values_.reserve(cells.size());
    for (const StoredCell& cell : cells) values_.emplace(key(cell.col, cell.row), cell.value.value_or(0));
}

std::optional<double> ValueSet::find(int col, int row) const {
    const auto it = values_.find(key(col, row));
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void SubstituteReferences(QStringView formula, QString& output, const ValueSet& values, int reportType,
                          QChar decimalSeparator) {
    qsizetype pos = 0;
    const qsizetype n = formula.size();
    while (pos < n) {
        const QChar c = formula.at(pos);
        switch (c.unicode()) {
            case u'(': case u')': case u'*': case u'+': case u'-': case u'/':
                output += c;
                ++pos;
                continue;
            case u'#': {
                const qsizetype close = formula.indexOf(u'@', pos + 1);
                if (close < 0) {
                    output += formula.mid(pos + 1);
                    return;
                }
                output += formula.mid(pos + 1, close - pos - 1);
                pos = close + 1;
                continue;
            }
            default: break;
        }
        // A cell reference: the form field is skipped unread.
        const qsizetype formEnd = formula.indexOf(u',', pos);
        pos = formEnd < 0 ? pos : formEnd + 1;
        if (formEnd < 0) readField(formula, pos);  // reports the missing comma
        const int col = readField(formula, pos);
        const int row = readField(formula, pos);
        const std::optional<double> stored = values.find(col, row);
        appendValue(output, stored ? scaledValue(*stored, reportType) : 0.0, decimalSeparator);
    }
}

void SubstituteFlagSums(QStringView formula, QString& output, TDM& dm, int period, int organisation, int reportType,
                        QChar decimalSeparator) {
    qsizetype pos = 0;
    const qsizetype n = formula.size();
    do {
        const int form = readField(formula, pos);
        const int col = readField(formula, pos);
        const int row = readField(formula, pos);
        QChar joining;
        if (pos < n) joining = formula.at(pos++);
        const std::optional<double> sum = dm.quRazrah_Flag(form, col, row, period, organisation);
        if (sum) {
            appendValue(output, scaledValue(*sum, reportType), decimalSeparator);
        } else {
            output += QStringLiteral("(0)");
        }
        if (!joining.isNull()) output += joining;
    } while (pos < n);
}

}  // namespace zelvan
