#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zelvan {

// Why an evaluation stopped.
enum class EvalFailure : unsigned char {
    None,
    Garbage,              // expression followed by garbage
    EndSimpleExpression,  // end where a simple expression is expected
    EndTerm,              // end where a term is expected
    EndFactor,            // end where a factor is expected
    FactorExpected,       // function, unsigned number, or "(" expected
    EndCloseParen,        // end where ")" was expected
    NoCloseParen,         // expression not followed by ")"
    EndDecimalPart,
    DecimalPartMissing,
    EndExponent,
    EndExponentMagnitude,
    NonnumericExponent,
    ExponentTooLarge,
    ConstantTooBig,
    CommaMissing,
    ArgumentsNotTerminated,
    UnknownFunction,
    ArgumentMissing,
    ExtraneousArgument,
    NotPositive,
    Negative,
    ExpOverflow,
    SqrOverflow,
    AddOverflow,
    SubOverflow,
    MulOverflow,
    DivOverflow,
    DivisionByZero,
};

// The outcome of one evaluation.
struct Evaluation {
    double value = 0;         // always set; the partial value after a failure
    int failurePosition = 0;  // 0, or the 1-based character position where evaluation stopped
    EvalFailure failure = EvalFailure::None;
    std::string functionName;  // the function a function failure names, upper-cased

    // The diagnostic text of the failure: "Error:  " + message + "."; empty without one.
    std::string message() const;
};

// Evaluates an arithmetic expression: numbers, + - * /, parentheses and the functions
// ABS, ARCTAN, COS, EXP, LN, PI, SIN, SQR and SQRT. Blanks are allowed only between
// the elements. Every step is guarded against overflow; the first failure stops the
// evaluation. Only ASCII characters are meaningful; any other character is a failure
// where it stands. Re-entrant: it keeps no state between calls.
Evaluation EvaluateExpression(std::string_view text);

// The same for program text; a character outside Latin-1 counts as an unknown one.
Evaluation EvaluateExpression(const QString& text);

}  // namespace zelvan
