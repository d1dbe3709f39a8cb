// A folder on a tiny file system of its own, so that saves can be tried on a
// full disk. Mounting needs root; where it is not possible, Available() is
// false and the test skips with the reason.
#pragma once

#include <QString>
#include <QTemporaryDir>

class CSmallDisk
{
public:
    explicit CSmallDisk(int kilobytes);
    ~CSmallDisk();
    CSmallDisk(const CSmallDisk&) = delete;
    CSmallDisk& operator=(const CSmallDisk&) = delete;

    bool Available() const { return m_mounted; }
    QString Why() const { return m_why; }
    QString Path() const { return m_dir.path(); }
    QString FilePath(const QString& name) const { return m_dir.filePath(name); }

    // Takes up all the space that is left, and gives it back.
    void Fill();
    void Unfill();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_why;
};
