#include "TestArchive.h"

#include <zip.h>

namespace TestArchive {

QByteArray make(const QList<Entry>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!archive)
        return {};
    zip_source_keep(buffer);
    for (const Entry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.bytes.constData(),
                                                 zip_uint64_t(entry.bytes.size()), 0);
        const zip_int64_t index =
            zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (entry.stored)
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    QByteArray bytes;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_close(archive) == 0 && zip_source_stat(buffer, &stat) == 0 &&
        zip_source_open(buffer) == 0) {
        bytes.resize(qsizetype(stat.size));
        zip_source_read(buffer, bytes.data(), stat.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

namespace {

zip_t* openArchive(const QByteArray& bytes)
{
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, nullptr);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, nullptr) : nullptr;
    if (source && !archive)
        zip_source_free(source);
    return archive;
}

} // namespace

QList<std::pair<QString, bool>> entryList(const QByteArray& bytes)
{
    QList<std::pair<QString, bool>> names;
    zip_t* archive = openArchive(bytes);
    if (!archive)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        zip_stat_index(archive, zip_uint64_t(i), 0, &stat);
        names.append({ QString::fromUtf8(stat.name), stat.comp_method == ZIP_CM_STORE });
    }
    zip_discard(archive);
    return names;
}

QByteArray entry(const QByteArray& bytes, const QString& name)
{
    zip_t* archive = openArchive(bytes);
    if (!archive)
        return {};
    QByteArray content;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, name.toUtf8().constData(), 0, &stat) == 0) {
        zip_file_t* file = zip_fopen(archive, name.toUtf8().constData(), 0);
        content.resize(qsizetype(stat.size));
        if (file && zip_fread(file, content.data(), stat.size) != zip_int64_t(stat.size))
            content.clear();
        if (file)
            zip_fclose(file);
    }
    zip_discard(archive);
    return content;
}

QByteArray plainProject(const QByteArray& lowerPng, const QByteArray& upperPng)
{
    const QByteArray stack = "<?xml version='1.0' encoding='UTF-8'?>\n"
                             "<image w='60' h='50'><stack>\n"
                             "  <layer x='25' y='30' src='data/upper.png'/>\n"
                             "  <layer x='5' y='0' src='data/lower.png'/>\n"
                             "</stack></image>\n";
    return make({ { "mimetype", "image/openraster", true },
                  { "stack.xml", stack },
                  { "data/lower.png", lowerPng, true },
                  { "data/upper.png", upperPng } });
}

} // namespace TestArchive
