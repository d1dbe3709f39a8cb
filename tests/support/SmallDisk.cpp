#include "SmallDisk.h"

#include <QByteArray>
#include <QFile>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

CSmallDisk::CSmallDisk(int kilobytes)
{
    const QByteArray where = m_dir.path().toLocal8Bit();
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k,mode=0777";
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0)
        m_mounted = true;
    else
        m_why = QStringLiteral("cannot mount a small file system here: %1")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

CSmallDisk::~CSmallDisk()
{
    if (m_mounted)
        ::umount2(m_dir.path().toLocal8Bit().constData(), MNT_DETACH);
}

void CSmallDisk::Fill()
{
    QFile filler(FilePath(QStringLiteral(".filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QByteArray block(4096, 'F');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    // the last partial block
    for (int i = 0; i < 4096; ++i)
        if (filler.write("F", 1) != 1 || !filler.flush())
            break;
}

void CSmallDisk::Unfill()
{
    QFile::remove(FilePath(QStringLiteral(".filler")));
}
