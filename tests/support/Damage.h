// Damaged copies of a good file: the usual ways a file goes bad on disk or
// in transit, for the mutation tests of every reader.
#pragma once

#include <QByteArray>

#include <random>

// One damaged copy of seed: one to four edits among flipping a byte, cutting
// the file short, writing a large number over a small one, inserting noise,
// dropping bytes and repeating a piece.
QByteArray DamagedCopy(const QByteArray& seed, std::mt19937& rng);

// The same for text files: besides the byte edits, lines repeated, dropped or
// swapped, separators added, and digits turned into huge or negative numbers.
QByteArray DamagedTextCopy(const QByteArray& seed, std::mt19937& rng);
