#include "platform/locale_setup.h"

#include <clocale>
#include <cstring>

namespace zelvan {

void ensureUtf8Locale() {
    const char* current = std::setlocale(LC_CTYPE, "");
    if (current && (std::strstr(current, "UTF-8") || std::strstr(current, "utf8"))) return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "C.utf8");
}

}  // namespace zelvan
