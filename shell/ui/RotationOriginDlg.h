// The "Rotation Origin" dialog: nine buttons in a 3 by 3 grid stand for the
// corners, the middles of the edges and the centre of the selection; the
// pressed one shows "X" and names the point the selection turns about. It
// always opens with the top-left corner chosen.
#pragma once

#include <QDialog>
#include <QFont>

class QPushButton;

class CRotationOriginDlg : public QDialog
{
    Q_OBJECT

public:
    enum : int
    {
        IDD = 306,
    };
    // The buttons' ids in origin order (row by row from the top left).
    static constexpr int kButtonIds[9] = {1451, 1452, 1453, 1458, 1459, 1454, 1457, 1456, 1455};

    explicit CRotationOriginDlg(QWidget* parent = nullptr);

    // 0 top left .. 8 bottom right, row by row.
    int Origin() const { return m_origin; }
    QPushButton* OriginButton(int index) const;

    void OnOrigin(int index);

private:
    QFont m_bold; // shared by the nine buttons while the dialog lives
    QPushButton* m_buttons[9] = {};
    int m_origin = 0;
};
