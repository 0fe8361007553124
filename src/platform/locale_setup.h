#pragma once

namespace zelvan {

// Makes the C library's character type UTF-8 when the process locale is not, so that
// archive entry names and console output in Cyrillic come through intact.
void ensureUtf8Locale();

}  // namespace zelvan
