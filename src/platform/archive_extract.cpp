#include "platform/archive_extract.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <vector>

namespace zelvan {

namespace {

struct ReadCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};

using Reader = std::unique_ptr<archive, ReadCloser>;

Reader openReader(const QString& path, const QString& shown) {
    Reader reader(archive_read_new());
    archive_read_support_format_rar(reader.get());
    archive_read_support_format_rar5(reader.get());
    archive_read_support_format_zip(reader.get());
    archive_read_support_format_7zip(reader.get());
    archive_read_support_filter_all(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(path).constData(), 1 << 16) != ARCHIVE_OK)
        throw ArchiveError(QStringLiteral("Архів \"%1\" не вдалося відкрити: це не архів RAR, ZIP чи 7z, або він пошкоджений.")
                               .arg(shown));
    return reader;
}

QString entryName(archive_entry* entry) {
    const char* utf8 = archive_entry_pathname_utf8(entry);
    QString name = utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(archive_entry_pathname(entry));
    // Archives made on Windows may separate folders with backslashes.
    name.replace(u'\\', u'/');
    return name;
}

// The entry's path inside the folder, or empty when it is absolute or leaves it.
QString safeRelativePath(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'/') || (name.size() > 1 && name.at(1) == u':')) return {};
    QStringList parts;
    for (const QString& part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QStringLiteral(".")) continue;
        if (part == QStringLiteral("..")) return {};
        parts << part;
    }
    return parts.join(u'/');
}

}  // namespace

QStringList extractArchive(const QString& archivePath, const QString& folder, const ExtractLimits& limits,
                           const std::function<void()>& tick) {
    const QString shown = QDir::toNativeSeparators(archivePath);
    const auto refused = [&](const QString& why) {
        return ArchiveError(QStringLiteral("Архів \"%1\" відхилено: %2").arg(shown, why));
    };
    const auto damaged = [&](archive* a) {
        const char* why = archive_error_string(a);
        return ArchiveError(QStringLiteral("Архів \"%1\" пошкоджений або неповний: %2")
                                .arg(shown, why ? QString::fromUtf8(why) : QStringLiteral("невідома помилка")));
    };

    Reader reader = openReader(archivePath, shown);
    const QDir target(folder);
    QStringList written;
    archive_entry* entry = nullptr;
    qint64 total = 0;
    int entries = 0;
    int rc;
    while ((rc = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK || rc == ARCHIVE_WARN) {
        const QString name = entryName(entry);
        const QString relative = safeRelativePath(name);
        if (relative.isEmpty()) {
            // Only the archive's own top folder may have no path of its own.
            if (name.isEmpty() || name == QStringLiteral("/") || name == QStringLiteral("./")) continue;
            throw refused(QStringLiteral("шлях \"%1\" виходить за межі папки розпакування.").arg(name));
        }
        const char* symlink = archive_entry_symlink_utf8(entry) ? archive_entry_symlink_utf8(entry) : archive_entry_symlink(entry);
        const char* hardlink =
            archive_entry_hardlink_utf8(entry) ? archive_entry_hardlink_utf8(entry) : archive_entry_hardlink(entry);
        if (symlink || hardlink) {
            QString link = QString::fromUtf8(symlink ? symlink : hardlink);
            link.replace(u'\\', u'/');
            // A symbolic link is read from its own folder, a hard link from the top.
            const QString base = symlink ? QFileInfo(relative).path() : QStringLiteral(".");
            const QString resolved = link.startsWith(u'/') ? QString()
                                     : safeRelativePath(base == QStringLiteral(".") ? link : base + u'/' + link);
            if (resolved.isEmpty())
                throw refused(QStringLiteral("посилання \"%1\" вказує за межі папки розпакування.").arg(name));
            continue;  // links inside are not made: the files they name are in the archive
        }
        if (limits.maxEntries > 0 && ++entries > limits.maxEntries)
            throw refused(QStringLiteral("у ньому більше %1 файлів.").arg(limits.maxEntries));
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFDIR) {
            if (!target.mkpath(relative)) throw refused(QStringLiteral("не вдалося створити папку \"%1\".").arg(relative));
            continue;
        }
        if (type != AE_IFREG) throw refused(QStringLiteral("запис \"%1\" не є звичайним файлом.").arg(name));

        const QString path = target.filePath(relative);
        if (!target.mkpath(QFileInfo(relative).path()))
            throw refused(QStringLiteral("не вдалося створити папку для \"%1\".").arg(relative));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw ArchiveError(QStringLiteral("Не вдалося записати файл \"%1\" з архіву \"%2\": %3")
                                   .arg(QDir::toNativeSeparators(path), shown, file.errorString()));
        qint64 size = 0;
        char buffer[1 << 16];
        la_ssize_t got;
        while ((got = archive_read_data(reader.get(), buffer, sizeof buffer)) > 0) {
            size += got;
            total += got;
            if (limits.maxTotalBytes > 0 && total > limits.maxTotalBytes)
                throw refused(QStringLiteral("розпакований, він займав би понад %1 МБ.").arg(limits.maxTotalBytes >> 20));
            if (file.write(buffer, got) != got)
                throw ArchiveError(QStringLiteral("Не вдалося записати файл \"%1\" з архіву \"%2\": %3")
                                       .arg(QDir::toNativeSeparators(path), shown, file.errorString()));
        }
        // A truncated or damaged entry is found by reading its data to the end.
        if (got < 0) throw damaged(reader.get());
        if (archive_entry_size_is_set(entry) && size != archive_entry_size(entry)) throw damaged(reader.get());
        if (!file.flush()) throw damaged(reader.get());
        written << relative;
        if (tick) tick();
    }
    if (rc != ARCHIVE_EOF) throw damaged(reader.get());
    return written;
}

}  // namespace zelvan
