// The readers of the binary formats rest on libraries that do not all
// survive a damaged file. Each such read runs in a child process of its own:
// what it read comes back through a pipe, and a child that crashes, hangs or
// runs out of memory only makes the file count as damaged.

#include "SourceReaders.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QIODevice>

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A read that takes longer than this (and a millisecond more for every
// kilobyte read) is taken for a library caught in a loop: reading is linear,
// and far quicker than that.
constexpr qint64 kReadTimeoutMs = 3000;

bool WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

bool ReadIsolated(const std::function<bool(CSourceTable*, QStringList*, QString*)>& read,
                  CSourceTable* table, QStringList* names, QString* error, qint64 inputBytes)
{
    const qint64 timeoutMs = kReadTimeoutMs + std::max<qint64>(inputBytes, 0) / 1024;
    QElapsedTimer clock;
    clock.start();
    int fds[2];
    if (::pipe(fds) != 0) {
        if (error)
            *error = QStringLiteral("The file cannot be read: no pipe to the reader.");
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        if (error)
            *error = QStringLiteral("The file cannot be read: the reader cannot be started.");
        return false;
    }
    if (child == 0) {
        ::close(fds[0]);
        // The libraries' own complaints about a damaged file stay out of the
        // program's output.
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, 2);
        CSourceTable got;
        QStringList gotNames;
        QString gotError;
        const bool ok = read(table ? &got : nullptr, names ? &gotNames : nullptr, &gotError);
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << ok << gotError << gotNames << qint32(got.textIsFinal)
                << qint32(got.columns.size());
            for (const CSourceColumn& c : got.columns)
                out << c.name << qint32(c.kind);
            out << qint64(got.rows.size());
            for (const QVector<QVariant>& row : got.rows)
                out << row;
            out << qint64(got.sparseRows.size());
            for (const QVector<CSourceCell>& record : got.sparseRows) {
                out << qint32(record.size());
                for (const CSourceCell& cell : record)
                    out << qint32(cell.column) << cell.value;
            }
        }
        const bool sent = WriteAll(fds[1], bytes);
        ::close(fds[1]);
        ::_exit(sent ? 0 : 1);
    }
    ::close(fds[1]);
    QByteArray bytes;
    bool timedOut = false;
    char buffer[65536];
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const qint64 left = timeoutMs - clock.elapsed();
        const int ready =
            left > 0 ? ::poll(&p, 1, static_cast<int>(std::min<qint64>(left, INT_MAX))) : 0;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = true;
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const bool exitedWell = !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!exitedWell) {
        if (error)
            *error =
                timedOut
                    ? QStringLiteral("The file is damaged: reading it does not come to an end.")
                    : QStringLiteral("The file is damaged: its reader stopped on it.");
        return false;
    }
    QDataStream in(bytes);
    bool ok = false;
    QString gotError;
    QStringList gotNames;
    qint32 textIsFinal = 0, columnCount = 0;
    in >> ok >> gotError >> gotNames >> textIsFinal >> columnCount;
    if (in.status() != QDataStream::Ok || columnCount < 0 ||
        columnCount > CSourceTable::kMaxColumns) {
        if (error)
            *error = QStringLiteral("The file is damaged: its reader stopped on it.");
        return false;
    }
    if (!ok) {
        if (error)
            *error = gotError;
        return false;
    }
    if (names)
        *names = gotNames;
    if (table) {
        table->textIsFinal = textIsFinal != 0;
        table->columns.clear();
        for (qint32 c = 0; c < columnCount; ++c) {
            QString name;
            qint32 kind = 0;
            in >> name >> kind;
            table->columns.append({name, static_cast<ColumnKind>(std::clamp<qint32>(
                                             kind, 0, qint32(ColumnKind::Guess)))});
        }
        qint64 rowCount = 0;
        in >> rowCount;
        table->rows.clear();
        for (qint64 r = 0; r < rowCount && in.status() == QDataStream::Ok; ++r) {
            QVector<QVariant> row;
            in >> row;
            table->rows.append(std::move(row));
        }
        // Sparse records: cells in rising column order within the table.
        qint64 recordCount = 0;
        in >> recordCount;
        table->sparseRows.clear();
        bool inOrder = true;
        for (qint64 r = 0; r < recordCount && in.status() == QDataStream::Ok && inOrder; ++r) {
            qint32 cellCount = 0;
            in >> cellCount;
            if (cellCount < 0 || cellCount > CSourceTable::kMaxColumns) {
                inOrder = false;
                break;
            }
            QVector<CSourceCell> record;
            for (qint32 i = 0; i < cellCount && in.status() == QDataStream::Ok; ++i) {
                CSourceCell cell;
                qint32 column = 0;
                in >> column >> cell.value;
                cell.column = column;
                if (column < 0 || column >= CSourceTable::kMaxColumns ||
                    (!record.isEmpty() && column <= record.last().column)) {
                    inOrder = false;
                    break;
                }
                record.append(std::move(cell));
            }
            if (!record.isEmpty())
                table->sparseRows.append(std::move(record));
        }
        if (in.status() != QDataStream::Ok || !inOrder) {
            table->rows.clear();
            table->sparseRows.clear();
            if (error)
                *error = QStringLiteral("The file is damaged: its reader stopped on it.");
            return false;
        }
    }
    return true;
}
