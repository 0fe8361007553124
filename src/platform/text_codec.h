#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zelvan {

// Code page 1251 at the file boundaries the department relies on (the configuration
// file, the FTP request and answer files). Inside the program all text is UTF-16/UTF-8.
QString decodeCp1251(const QByteArray& bytes);

// Encodes text in code page 1251; nothing when a character has no place in it,
// so that a caller never writes a silently damaged file.
std::optional<QByteArray> encodeCp1251(const QString& text);

}  // namespace zelvan
