// The angle of an element in whole degrees (1029), with its "degrees"
// label, on a row of the position block's grid. A typed angle outside
// 0 to the block's maximum is refused with the range message and nothing
// changes; "" or "-" while typing apply nothing yet.
#pragma once

#include <QObject>
#include <functional>

class CElement;
class CPositionSizeBlock;
class QLineEdit;

class CRotationBlock : public QObject
{
    Q_OBJECT

public:
    using Reader = std::function<int(const CElement*)>;
    // Turns the element to the typed angle, between the pane's edit
    // bracket; false when the element was already turned so.
    using Writer = std::function<bool(CElement*, int degrees)>;

    CRotationBlock(CPositionSizeBlock* host, const QString& label, int maxDegrees, Reader read,
                   Writer write);

    QLineEdit* Field() const { return m_angle; }
    // Shows the element's angle.
    void Refresh(bool keepTyped);

signals:
    // The element was turned.
    void edited();

private:
    void OnTyped();

    CPositionSizeBlock* m_host;
    int m_max;
    Reader m_read;
    Writer m_write;
    QLineEdit* m_angle = nullptr;
};
