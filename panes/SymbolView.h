// The symbol pane: the origin, the angle, the point size, the character
// chosen from the characters 33 to 124 drawn in the symbol's own font, the
// colours and the data source.
#pragma once

#include "ElementView.h"

class CPositionSizeBlock;
class CSymbol;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class CSymbolView : public CElementView
{
    Q_OBJECT

public:
    static constexpr int kFormId = 387;
    // The height the symbol list draws its characters at, device pixels.
    static constexpr int kListFontHeight = 47;

    explicit CSymbolView(CSymbol* symbol, QWidget* parent = nullptr);
    void UpdateFromElement() override;

private:
    void FillSymbolList(CSymbol* symbol);
    void ShowCharacter(const QString& text);
    void OnSymbolChosen();
    void OnPointSize(const QString& text);
    void ShowBackground(bool on);

    CPositionSizeBlock* m_position = nullptr;
    QComboBox* m_size = nullptr;
    QListWidget* m_symbols = nullptr;
    QLabel* m_ascii = nullptr;
    QLabel* m_decimal = nullptr;
    QCheckBox* m_background = nullptr;
    QLabel* m_backgroundLabel = nullptr;
    QWidget* m_backgroundSwatch = nullptr;
    QPushButton* m_backgroundButton = nullptr;
    COLORREF m_colour = 0;
    COLORREF m_backgroundColour = 0;
};
