// The element's position, X (1002) and Y (1005), and where the pane shows
// it, its size, Width (1008) and Height (1007), in the display unit with
// the unit labels 1019 to 1022. The pane says where its element keeps
// them and how a typed value moves or sizes it; rows of its own (an angle,
// an orientation, a radius) go on the block's grid below them.
#pragma once

#include "PaneBlock.h"

class CRotationBlock;

class CPositionSizeBlock : public CPaneBlock
{
    Q_OBJECT

public:
    enum Field : int
    {
        FIELD_X,
        FIELD_Y,
        FIELD_WIDTH,
        FIELD_HEIGHT,
    };

    // Where the element stands and how large it is, in tenths of a
    // millimetre.
    struct Place
    {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
    };

    struct Shape
    {
        QString title;
        // "Origin X" and "Origin Y" in place of "X" and "Y".
        bool origin = false;
        // Width and Height rows, typed against sizeKind.
        bool size = false;
        LengthKind sizeKind = LENGTH_SIZE;
        // A refresh leaves the field being typed in as the user typed it.
        bool keepTyped = false;
    };

    using Reader = std::function<Place(const CElement*)>;
    // The reader of an element that stands at its m_position.
    template <class T> static Reader PositionOf()
    {
        return [](const CElement* e) {
            const CPoint& p = static_cast<const T*>(e)->m_position;
            return Place{p.x, p.y};
        };
    }
    // Writes a typed value (tenths of a millimetre) into the element,
    // between the pane's edit bracket.
    using Writer = std::function<void(CElement*, Field, int tenths)>;
    // Looks at a typed value before any edit starts; false refuses it
    // (the check has told the user why) and nothing is written.
    using Check = std::function<bool(Field, int tenths)>;

    CPositionSizeBlock(const Shape& shape, Edits edits, Reader read, Writer write,
                       QWidget* parent, Check check = {});

    void Bind(CElement* element);
    // Shows the element's position and size (and angle) again, after a
    // drag on the canvas.
    void Refresh();

    QGridLayout* Grid() const { return m_grid; }
    int NextRow() { return m_grid->rowCount(); }
    QLineEdit* FieldOf(Field field) const { return m_fields[field]; }
    // A field's typed value in tenths of a millimetre, or fallback when it
    // holds no number.
    int Typed(Field field, int fallback) const;
    // Puts a length into a field.
    void Show(Field field, int tenths);

    // The angle row (1029) on the block's grid, bound with the block; a
    // refresh of the block shows the angle too.
    CRotationBlock* AddRotation(const QString& label, int maxDegrees,
                                std::function<int(const CElement*)> read,
                                std::function<bool(CElement*, int degrees)> write);

private:
    friend class CRotationBlock;

    void OnTyped(Field field, int tenths);

    Shape m_shape;
    Reader m_read;
    Writer m_write;
    Check m_check;
    QGridLayout* m_grid = nullptr;
    QLineEdit* m_fields[4] = {};
    CRotationBlock* m_rotation = nullptr;
};
