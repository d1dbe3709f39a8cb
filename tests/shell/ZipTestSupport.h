// What the zip package tests share: a folder with a sign that uses a picture
// and a CSV file, packages written entry by entry (also ones no honest
// program writes), and the names a package holds.
#pragma once

#include "DatabaseLink.h"
#include "ElementList.h"
#include "Image.h"
#include "SignData.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>

#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>
#include <zip.h>

// The records of the CSV file.
inline QStringList ZipFixtureNames()
{
    return {QStringLiteral("Apples"), QStringLiteral("Pears"), QStringLiteral("Plums")};
}

// A folder holding art/logo.png (a red picture) and data/stock.csv; signs
// written into signs/ use both.
class CZipFixture
{
public:
    explicit CZipFixture(const QString& folder) : m_folder(folder)
    {
        QDir().mkpath(folder + "/art");
        QDir().mkpath(folder + "/data");
        QDir().mkpath(folder + "/signs");
        QImage picture(240, 120, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(folder + "/art/logo.png");
        QFile csv(folder + "/data/stock.csv");
        if (csv.open(QIODevice::WriteOnly)) {
            QByteArray bytes = "Name,Code\r\n";
            int code = 1;
            for (const QString& name : ZipFixtureNames())
                bytes += name.toLatin1() + ",C" + QByteArray::number(code++) + "\r\n";
            csv.write(bytes);
        }
    }

    QString Folder() const { return m_folder; }

    // Puts the picture and the link into the current sign (at 10 mm, 40 mm
    // wide) without saving it.
    bool FillSign() const
    {
        auto* image = static_cast<CImage*>(TheElementList().CreateElement("CImage"));
        if (!image || !image->LoadFile(nullptr, m_folder + "/art/logo.png"))
            return false;
        image->BeginCreate(nullptr, 100, 100);
        CDatabaseLink& link = TheDatabaseLink();
        link.SetDatabaseType(kDatabaseTypeText);
        link.m_textHeader = TRUE;
        if (!link.Connect(m_folder + "/data/stock.csv", TRUE))
            return false;
        link.m_linkKind = 0;
        return link.OpenTable(QStringLiteral("stock#csv"));
    }

    // Writes such a sign as signs/<name>; its full path, or empty.
    QString WriteSign(const QString& name) const
    {
        CSignData document;
        document.DeleteContents();
        const QString path = m_folder + "/signs/" + name;
        const bool written = FillSign() && document.OnSaveDocument(path);
        document.DeleteContents();
        return written ? path : QString();
    }

private:
    QString m_folder;
};

// A package written entry by entry: links and names twice included.
class CHostilePackage
{
public:
    void Add(const std::string& name, const std::string& content) { Put(name, content, false); }
    void AddLink(const std::string& name, const std::string& target) { Put(name, target, true); }

    bool Write(const QString& path) const
    {
        QFile::remove(path);
        int error = 0;
        zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE, &error);
        if (!archive)
            return false;
        for (const Entry& entry : m_entries) {
            zip_source_t* source =
                zip_source_buffer(archive, entry.content.data(), entry.content.size(), 0);
            const zip_int64_t index = zip_file_add(archive, entry.stored.c_str(), source, 0);
            if (index < 0) {
                zip_source_free(source);
                zip_discard(archive);
                return false;
            }
            if (entry.link)
                zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                                 zip_uint32_t(S_IFLNK | 0777) << 16);
        }
        if (zip_close(archive) != 0) {
            zip_discard(archive);
            return false;
        }
        // libzip refuses a name twice: the stand-ins become the real names.
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite))
            return false;
        QByteArray bytes = file.readAll();
        for (const Entry& entry : m_entries)
            if (entry.stored != entry.name)
                bytes.replace(QByteArray::fromStdString(entry.stored),
                              QByteArray::fromStdString(entry.name));
        file.seek(0);
        return file.write(bytes) == bytes.size();
    }

private:
    struct Entry
    {
        std::string name, stored, content;
        bool link;
    };

    void Put(const std::string& name, const std::string& content, bool link)
    {
        std::string stored = name;
        for (const Entry& entry : m_entries)
            if (entry.name == name)
                stored.back() = char('#' + m_entries.size() % 10);
        m_entries.push_back({name, stored, content, link});
    }

    std::vector<Entry> m_entries;
};

// The names in a package, in order; empty when it cannot be read.
inline QStringList PackageNames(const QString& path)
{
    QStringList names;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return names;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i)
        names << QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), 0));
    zip_close(archive);
    return names;
}
