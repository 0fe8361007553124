#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelvan {

// The name of the configuration file.
inline const QString kConfigFileName = QStringLiteral("Local_Zelvan.ini");

// The configuration file `Local_Zelvan.ini`: key=value lines in code page 1251, with
// no sections, comments or quoting. Lines that are not entries are kept as they are.
class ConfigFile {
public:
    ConfigFile() = default;

    // Splits the bytes into lines; CR, LF and CR LF all end a line.
    static ConfigFile fromBytes(const QByteArray& bytes);

    // Reads the file; throws ConfigError when it is missing, cannot be read or is not
    // a text file.
    static ConfigFile load(const QString& path);

    // The value of the first line whose text before its first "=" equals the key,
    // compared without regard to letter case: everything after that "=", blanks
    // included. Empty when no line has the key.
    QString value(const QString& key) const;

    // A non-empty value replaces the value of the first line with the key, or adds a
    // line at the end; an empty value deletes the first line with the key.
    void setValue(const QString& key, const QString& value);

    // True when some line holds the key.
    bool contains(const QString& key) const;

    const QStringList& lines() const { return lines_; }

    // The file's bytes: code page 1251, every line ended by CR LF. Throws ConfigError
    // when a value holds a character that code page 1251 cannot carry.
    QByteArray toBytes() const;

    // Writes the file whole or not at all; throws ZelvanError on failure.
    void save(const QString& path) const;

private:
    int indexOf(const QString& key) const;

    QStringList lines_;
};

// Where the configuration file lives: in the program's folder when the file is there
// or that folder is writable; otherwise in the user's configuration folder.
QString resolveConfigPath(const QString& programDir, const QString& userConfigDir);

// The same, with the folder of the running program and the user's configuration folder.
QString defaultConfigPath();

}  // namespace zelvan
