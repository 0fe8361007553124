// Feeds arbitrary formula texts to the reference substitution and evaluates what it
// gives, as the control of one form does.
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "formula/infix.h"
#include "formula/substitution.h"

namespace {

const zelvan::ValueSet& values() {
    static const zelvan::ValueSet set({{3, 40, 1500.0},
                                       {4, 40, -200.0},
                                       {5, 41, std::nullopt},
                                       {6, 41, 1234.5},
                                       {1, 1, 1e30},
                                       {2, 2, -1.5e-7},
                                       {0, 0, 0.1}});
    return set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte chooses the report type and the decimal separator.
    const int reportType = (data[0] & 1) ? 1 : 2;
    const QChar separator = (data[0] & 2) ? QChar(u',') : QChar(u'.');
    const QString formula = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QString output;
    try {
        zelvan::SubstituteReferences(formula, output, values(), reportType, separator);
    } catch (const zelvan::IntegerConversionError& error) {
        if (error.message().isEmpty()) std::abort();
        return 0;
    }
    // A formula of operators and parentheses alone is copied as it stands.
    const bool operatorsOnly = std::all_of(formula.begin(), formula.end(), [](QChar c) {
        return QStringView(u"()*+-/").contains(c);
    });
    if (operatorsOnly && output != formula) std::abort();
    QString expression = output;
    if (separator == u',') expression.replace(u',', u'.');
    const zelvan::Evaluation e = zelvan::EvaluateExpression(expression);
    if (!std::isfinite(e.value)) std::abort();
    return 0;
}
