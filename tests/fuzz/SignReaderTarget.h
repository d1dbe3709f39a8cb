// Reading a sign from arbitrary bytes: the entry point that the fuzzer and
// the mutation test share.
#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Makes what reading a sign needs once per process: an application object,
// a private program folder and the parts of the file frame.
void PrepareSignReading();

// Reads the bytes as a sign; any error must end in an exception that the
// reader handles, never in a crash.
void ReadSignBytes(const std::uint8_t* data, std::size_t size);

// A sign with a bit of everything, to start the mutations from.
QByteArray MakeSeedSign();
