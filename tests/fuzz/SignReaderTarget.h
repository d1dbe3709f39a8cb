// Reading a sign from arbitrary bytes, and what the programs then do with
// it: the entry point that the fuzzer and the mutation test share.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

class CSignData;

// Makes what reading a sign needs once per process: an application object,
// a private program folder and the parts of the file frame.
void PrepareSignReading();

// How far a sign that was read is taken.
enum class SignUse
{
    ReadOnly, // reading alone
    Use,      // drawn, exported, saved and read back
    Print,    // and printed to a PDF file as well
};

// What became of one input.
struct SignOutcome
{
    bool read = false; // the bytes were read as a sign
    // Empty, or what went wrong after reading: a sign saved by the program
    // that the program cannot read back.
    QString problem;
};

// Reads the bytes as a sign; any error must end in an exception that the
// reader handles, never in a crash. A sign that was read is then used as
// far as asked.
SignOutcome ReadSignBytes(const std::uint8_t* data, std::size_t size,
                          SignUse use = SignUse::ReadOnly);

// What follows reading in the programs: every element laid out and drawn
// at screen and at printer resolution, the text export, saving and reading
// the saved sign back, and when asked printing to PDF.
QString UseSign(CSignData& document, bool print);

// A sign with a bit of everything, to start the mutations from: boxes,
// ellipses, lines, rich text, barcodes and a page label.
QByteArray MakeSeedSign();
