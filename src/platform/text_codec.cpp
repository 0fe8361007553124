#include "platform/text_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zelvan {

QString decodeCp1251(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    QString text = decoder.decode(bytes);
    return text;
}

std::optional<QByteArray> encodeCp1251(const QString& text) {
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return std::nullopt;
    // ICU replaces an unmappable character by a substitute without always raising the
    // error flag; a round trip tells for certain.
    if (decodeCp1251(bytes) != text) return std::nullopt;
    return bytes;
}

}  // namespace zelvan
