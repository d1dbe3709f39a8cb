// "Select Barcode Type": the symbologies the program can make, with a live
// preview of the chosen one and the choice to let the printer draw the
// symbol itself.
#pragma once

#include "Types.h"

#include <QDialog>
#include <QWidget>

#include <memory>

class CBarcode;
class QCheckBox;
class QListWidget;

// The preview frame (control 1178): draws the element through the one draw
// path, scaled to fit 10 pixels inside the frame and centred.
class CBarcodePreviewFrame : public QWidget
{
    Q_OBJECT

public:
    explicit CBarcodePreviewFrame(QWidget* parent = nullptr);
    void SetElement(CBarcode* element);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CBarcode* m_element = nullptr;
};

class CSelectBarcodeTypeDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kDialogId = 169;

    explicit CSelectBarcodeTypeDlg(QWidget* parent = nullptr);
    ~CSelectBarcodeTypeDlg() override;

    // After Accepted: the chosen symbology and whether the printer is to
    // draw it itself.
    int SelectedId() const { return m_selectedId; }
    BOOL NativePrint() const { return m_native; }

    // Selects the entry of a symbology (as a click on it would).
    bool SelectSymbology(int id);
    const CBarcode* Preview() const { return m_preview.get(); }

    // The native-print choice remembered between openings.
    static BOOL& RememberedNativeChoice();

private:
    void OnSelectionChanged();
    void CreatePreview();

    QListWidget* m_list = nullptr;
    QCheckBox* m_nativeBox = nullptr;
    CBarcodePreviewFrame* m_frame = nullptr;
    int m_selectedId = 0;
    BOOL m_native = FALSE;
    std::unique_ptr<CBarcode> m_preview;
};
