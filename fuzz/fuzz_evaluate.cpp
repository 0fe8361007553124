// Feeds arbitrary bytes to the evaluator and checks what every evaluation promises.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formula/infix.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const zelvan::Evaluation e = zelvan::EvaluateExpression(text);
    // The position is 0 or lies within the text or just after it.
    if (e.failurePosition < 0 || static_cast<size_t>(e.failurePosition) > size + 1) std::abort();
    // A message goes with a failure and only with one.
    if ((e.failurePosition == 0) != e.message().empty()) std::abort();
    // Every step is guarded: no value is ever infinite or undefined.
    if (!std::isfinite(e.value)) std::abort();
    if (std::fabs(e.value) > 1.0000001e37 && e.failurePosition == 0) std::abort();
    return 0;
}
