#include "platform/zip_archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDir>
#include <memory>

#include "app/error.h"

namespace zelvan {

namespace {

struct ReadCloser {
    void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteCloser {
    void operator()(archive* a) const { archive_write_free(a); }
};

}  // namespace

std::vector<ZipEntry> readZip(const QByteArray& bytes, const QString& shownName) {
    const auto broken = [&](const QString& why) {
        return ZelvanError(QStringLiteral("Файл \"%1\" не є архівом zip: %2")
                               .arg(QDir::toNativeSeparators(shownName), why));
    };
    std::unique_ptr<archive, ReadCloser> reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_memory(reader.get(), bytes.constData(), size_t(bytes.size())) != ARCHIVE_OK)
        throw broken(QString::fromUtf8(archive_error_string(reader.get())));
    std::vector<ZipEntry> entries;
    archive_entry* entry = nullptr;
    int rc;
    while ((rc = archive_read_next_header(reader.get(), &entry)) == ARCHIVE_OK || rc == ARCHIVE_WARN) {
        if (archive_entry_filetype(entry) == AE_IFDIR) continue;
        const char* utf8 = archive_entry_pathname_utf8(entry);
        ZipEntry file{QString::fromUtf8(utf8 ? utf8 : archive_entry_pathname(entry)), {}};
        const la_int64_t size = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : -1;
        if (size > 0 && size < (la_int64_t(1) << 31)) file.data.reserve(qsizetype(size));
        char buffer[65536];
        la_ssize_t got;
        while ((got = archive_read_data(reader.get(), buffer, sizeof buffer)) > 0) file.data.append(buffer, got);
        if (got < 0) throw broken(QString::fromUtf8(archive_error_string(reader.get())));
        if (size >= 0 && file.data.size() != size)
            throw broken(QStringLiteral("запис \"%1\" прочитано не повністю").arg(file.name));
        entries.push_back(std::move(file));
    }
    if (rc != ARCHIVE_EOF) throw broken(QString::fromUtf8(archive_error_string(reader.get())));
    return entries;
}

QByteArray writeZip(const std::vector<ZipEntry>& entries) { return writeArchive(entries, ArchiveFormat::Zip); }

QByteArray writeArchive(const std::vector<ZipEntry>& entries, ArchiveFormat format) {
    std::unique_ptr<archive, WriteCloser> writer(archive_write_new());
    if (format == ArchiveFormat::Zip) {
        archive_write_set_format_zip(writer.get());
        archive_write_set_options(writer.get(), "zip:hdrcharset=UTF-8,zip:compression=deflate");
    } else {
        archive_write_set_format_7zip(writer.get());
    }
    // No padding of the last block: the archive ends where its data ends.
    archive_write_set_bytes_in_last_block(writer.get(), 1);
    // The archive is assembled in memory: its final size is not known beforehand, so the
    // buffer grows as needed through the write callbacks.
    QByteArray out;
    // Deflated text is smaller than the text: room for all of it avoids growing the buffer.
    qsizetype total = 1024;
    for (const ZipEntry& file : entries) total += file.data.size() + file.name.size() + 128;
    out.reserve(total);
    const auto write = [](archive*, void* target, const void* data, size_t length) -> la_ssize_t {
        static_cast<QByteArray*>(target)->append(static_cast<const char*>(data), qsizetype(length));
        return la_ssize_t(length);
    };
    if (archive_write_open(writer.get(), &out, nullptr, write, nullptr) != ARCHIVE_OK)
        throw ZelvanError(QString::fromUtf8(archive_error_string(writer.get())));
    for (const ZipEntry& file : entries) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> entry(archive_entry_new(), archive_entry_free);
        const QByteArray name = file.name.toUtf8();
        archive_entry_set_pathname_utf8(entry.get(), name.constData());
        if (!file.linkTarget.isEmpty()) {
            archive_entry_set_filetype(entry.get(), AE_IFLNK);
            archive_entry_set_symlink_utf8(entry.get(), file.linkTarget.toUtf8().constData());
            archive_entry_set_size(entry.get(), 0);
        } else {
            archive_entry_set_filetype(entry.get(), AE_IFREG);
            archive_entry_set_size(entry.get(), file.data.size());
        }
        archive_entry_set_perm(entry.get(), 0644);
        // A fixed time keeps the same content byte-identical from run to run.
        archive_entry_set_mtime(entry.get(), 1577836800, 0);
        if (archive_write_header(writer.get(), entry.get()) != ARCHIVE_OK ||
            (file.linkTarget.isEmpty() &&
             archive_write_data(writer.get(), file.data.constData(), size_t(file.data.size())) != file.data.size()))
            throw ZelvanError(QString::fromUtf8(archive_error_string(writer.get())));
    }
    if (archive_write_close(writer.get()) != ARCHIVE_OK)
        throw ZelvanError(QString::fromUtf8(archive_error_string(writer.get())));
    return out;
}

}  // namespace zelvan
