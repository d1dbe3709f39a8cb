// Damaged copies of a good file: the usual ways a file goes bad on disk or
// in transit, for the mutation tests of every reader.
#pragma once

#include <QByteArray>

#include <random>
#include <vector>

// One damaged copy of seed: one to four edits among flipping a byte, cutting
// the file short, writing a large number over a small one, inserting noise,
// dropping bytes and repeating a piece.
QByteArray DamagedCopy(const QByteArray& seed, std::mt19937& rng);

// Where an archive of objects (a sign) holds class records and class
// references, which start the objects it stores: each tag's position and
// length. Found by their shape, so a few may be other bytes of that shape.
struct CArchiveTag
{
    qsizetype at = 0;
    qsizetype length = 0;
};
std::vector<CArchiveTag> FindArchiveTags(const QByteArray& archive);

// A copy of an archive where an object is, or is preceded by, a reference to
// the class or object numbered index (a reference back to something read
// before, or beyond); big selects the long form of the reference.
QByteArray WithBackReference(const QByteArray& archive, const CArchiveTag& tag, quint32 index,
                             bool replace, bool big = false);

// One such copy at random: a tag, an index up to a little beyond what can be
// numbered before it, replaced or put before.
QByteArray BackReferenceCopy(const QByteArray& archive, std::mt19937& rng);

// The same for text files: besides the byte edits, lines repeated, dropped or
// swapped, separators added, and digits turned into huge or negative numbers.
QByteArray DamagedTextCopy(const QByteArray& seed, std::mt19937& rng);
