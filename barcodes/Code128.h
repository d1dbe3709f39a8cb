// Code 128 in its fixed code sets A, B and C, with the automatic choice of
// code sets, EAN-128 (Code 128 led by FNC1) and GS1-128. One encoder serves
// them all: the data is expanded (percent escapes for the function
// characters and explicit code-set changes), the code sets are chosen, and
// each character becomes a codeword; the codewords then become the bars.
#pragma once

#include "Barcode.h"

#include <QByteArray>

// Values the expanded data uses for what is not a data byte; they lie above
// every byte, so no typed character can be taken for one of them.
enum Code128Function : char16_t
{
    C128_CODE_A = 0x181,
    C128_CODE_B = 0x182,
    C128_CODE_C = 0x183,
    C128_SHIFT = 0x184,
    C128_FNC1 = 0x185,
    C128_FNC2 = 0x186,
    C128_FNC3 = 0x187,
    C128_FNC4 = 0x188,
};

// Code sets as the encoder counts them.
enum Code128Set : int
{
    C128_SET_A = 1,
    C128_SET_B = 2,
    C128_SET_C = 3,
};

class CCode128 : public CBarcode
{
    DECLARE_RUNTIME(CCode128)

public:
    static constexpr int kStartA = 103;
    static constexpr int kStartB = 104;
    static constexpr int kStartC = 105;

    // The data is taken one character per byte (Windows-1252); besides the
    // escapes of every barcode it knows %1..%4 (FNC1..FNC4) and, where
    // explicit sets are allowed, %A, %B, %C (change of set) and %S (shift).
    int ExpandEscapes(QString& text) override;
    BOOL PrepareData() override;
    void BuildPattern() override;

    // Whether the data may change code sets itself (%A, %B, %C, %S).
    BOOL AllowsExplicitSets() const;

    // --- the encoder's steps ---------------------------------------------------
    // Rewrites the expanded data with the code-set changes and shifts that
    // the automatic choice makes; returns the start set.
    static int ChooseCodeSets(QString& expanded);
    // Start codeword, one codeword per character from the start set on, no
    // check codeword; FALSE when a character cannot be carried.
    static BOOL Encode(const QString& expanded, int startSet, QByteArray& codewords);
    // Start value plus each following codeword times its position, mod 103.
    static int CheckCodeword(const QByteArray& codewords);
    // Bar and space widths in modules of a symbol character (0..105), six
    // digits, bar first; the stop character has seven.
    static const char* SymbolWidths(int codeword);
    static const char* StopWidths();

    // Start codeword, data codewords and the check codeword.
    QByteArray m_codewords;

protected:
    explicit CCode128(int symbologyId);
    CCode128(const CCode128&) = default;
};

class CCode128A : public CCode128
{
    DECLARE_PERSISTENT(CCode128A)

public:
    CCode128A();
    CCode128A(const CCode128A&) = default;
};

class CCode128B : public CCode128
{
    DECLARE_PERSISTENT(CCode128B)

public:
    CCode128B();
    CCode128B(const CCode128B&) = default;
};

class CCode128C : public CCode128
{
    DECLARE_PERSISTENT(CCode128C)

public:
    CCode128C();
    CCode128C(const CCode128C&) = default;
};

class CCode128Auto : public CCode128
{
    DECLARE_PERSISTENT(CCode128Auto)

public:
    CCode128Auto();
    CCode128Auto(const CCode128Auto&) = default;

protected:
    explicit CCode128Auto(int symbologyId);
};

// Code 128 with FNC1 in first place: the data gains a leading "%1" when it
// lacks one.
class CEan128 : public CCode128
{
    DECLARE_PERSISTENT(CEan128)

public:
    CEan128();
    CEan128(const CEan128&) = default;
    BOOL PrepareData() override;

protected:
    explicit CEan128(int symbologyId);
};

class CEan128A : public CEan128
{
    DECLARE_PERSISTENT(CEan128A)

public:
    CEan128A();
    CEan128A(const CEan128A&) = default;
};

class CEan128B : public CEan128
{
    DECLARE_PERSISTENT(CEan128B)

public:
    CEan128B();
    CEan128B(const CEan128B&) = default;
};

class CEan128C : public CEan128
{
    DECLARE_PERSISTENT(CEan128C)

public:
    CEan128C();
    CEan128C(const CEan128C&) = default;
};

// GS1-128: the automatic encoder on data that starts with FNC1 (given a
// leading "%1" when it lacks one). Building the data from application
// identifiers is the GS1 data variable's work.
class CUccEan128 : public CCode128Auto
{
    DECLARE_PERSISTENT(CUccEan128)

public:
    CUccEan128();
    CUccEan128(const CUccEan128&) = default;
    BOOL PrepareData() override;
    // Linked to GS1 data, the element takes its element string and shows
    // its line with the identifiers in brackets.
    void LayoutHumanReadable() override;
    void SetDataSource(int kind, const QString& sourceName) override;
    void EndDataEntry() override;
};

// Tells the element copy how to copy each Code 128 class.
void RegisterCode128Copies();
